#include "report/unitbase.h"

#include "platform/numericlocale.h"
#include "report/customreport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace report {

namespace {
// The shortest text that reads back as exactly the same extended value.
std::string formatValue(long double value)
{
    constexpr int maxDecimals = 20;
    constexpr int maxDigits = 21;
    const platform::CNumericLocale point; // "90.5" under any desktop language
    char buffer[128];
    bool exact = false;
    for (int decimals = 1; decimals <= maxDecimals && !exact; ++decimals) {
        std::snprintf(buffer, sizeof buffer, "%.*Lf", decimals, value);
        exact = std::strtold(buffer, nullptr) == value;
    }
    if (!exact) // very small or very large values
        std::snprintf(buffer, sizeof buffer, "%.*Lg", maxDigits, value);
    std::string text(buffer);
    // Trailing zeros beyond the first decimal say nothing.
    if (exact)
        while (text.size() > 2 && text.back() == '0' && text[text.size() - 2] != '.')
            text.pop_back();
    return text;
}
} // namespace

TBRUnitBase::TBRUnitBase(int resolution, const std::vector<platform::TLength> &initial,
                         std::vector<bool> horizontal)
    : resolution_(resolution), horizontal_(std::move(horizontal))
{
    for (const platform::TLength length : initial)
        native_.push_back(length.native());
}

TBRUnitContext TBRUnitBase::context() const
{
    TBRUnitContext c;
    c.Resolution = resolution_;
    c.Zoom = zoom_;
    if (parentReport_ != nullptr)
        c.FontSize = parentReport_->Font.Size;
    return c;
}

long double TBRUnitBase::FromNative(long double x, TBRUnit unit, bool horizontal) const
{
    return NativeToUnit(x, unit, horizontal, context());
}

long double TBRUnitBase::ToNative(long double x, TBRUnit unit, bool horizontal) const
{
    return UnitToNative(x, unit, horizontal, context());
}

long double TBRUnitBase::GetValue(int index) const
{
    return FromNative(Native(index), Units(), Horizontal(index));
}

void TBRUnitBase::SetValue(int index, long double value)
{
    if (index < 0 || index >= static_cast<int>(native_.size()) || !TakesValue(index))
        return;
    StoreNative(index, platform::TLength::fromNative(ToNative(value, Units(), Horizontal(index))));
    ValueSet(index);
}

void TBRUnitBase::SaveUnits(TBRUnit switchTo)
{
    savedUnits_.push_back(Units());
    SetUnits(switchTo);
}

void TBRUnitBase::RestoreUnits()
{
    if (savedUnits_.empty())
        return;
    const TBRUnit previous = savedUnits_.back();
    savedUnits_.pop_back();
    SetUnits(previous);
}

void TBRUnitBase::SetValues(const std::vector<long double> &values)
{
    if (values.size() != native_.size())
        throw std::invalid_argument("a Values list of " + std::to_string(native_.size()) +
                                    " lengths was expected, " + std::to_string(values.size()) +
                                    " were given");
    native_ = values;
    ValuesTaken();
}

void TBRUnitBase::WriteValues(std::ostream &out) const
{
    out << '(';
    for (std::size_t i = 0; i < native_.size(); ++i)
        out << (i == 0 ? "" : " ") << formatValue(native_[i]);
    out << ')';
}

void TBRUnitBase::ReadValues(std::istream &in)
{
    char open = 0;
    if (!(in >> open) || open != '(')
        throw std::invalid_argument("a Values list starts with '('");
    std::vector<long double> values;
    std::string token;
    const platform::CNumericLocale point; // the list's numbers are written with a point
    for (;;) {
        if (!(in >> token))
            throw std::invalid_argument("a Values list ends with ')'");
        bool closes = false;
        if (token.back() == ')') {
            closes = true;
            token.pop_back();
        }
        if (!token.empty()) {
            char *end = nullptr;
            errno = 0;
            values.push_back(std::strtold(token.c_str(), &end));
            if (end != token.c_str() + token.size() || errno == ERANGE)
                throw std::invalid_argument("not a number in a Values list: " + token);
        }
        if (closes)
            break;
    }
    SetValues(values);
}

std::string TBRUnitBase::ValuesText() const
{
    std::ostringstream out;
    WriteValues(out);
    return out.str();
}

void TBRUnitBase::SetValuesText(const std::string &text)
{
    std::istringstream in(text);
    ReadValues(in);
}

} // namespace report
