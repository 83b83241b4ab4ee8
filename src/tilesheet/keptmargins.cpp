#include "tilesheet/keptmargins.h"

#include "platform/cp1252.h"
#include "platform/recentfiles.h"
#include "platform/settingsfile.h"
#include "tilesheet/rapform.h"

#include <QSettings>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace tilesheet {
namespace {

// The margins' keys below the printer's group, each with its member.
struct Key {
    const char *name;
    double Margins::*member;
    MarginSide side;
};
constexpr std::array<Key, 4> kKeys{{
    {"top", &Margins::top, MarginSide::Top},
    {"left", &Margins::left, MarginSide::Left},
    {"bottom", &Margins::bottom, MarginSide::Bottom},
    {"right", &Margins::right, MarginSide::Right},
}};

constexpr qsizetype kKeptTextLength = 24;

QString groupOf(const std::string &printer)
{
    return QStringLiteral("margins/") + platform::toQString(printer);
}

} // namespace

KeptMargins::KeptMargins() : file_(platform::UserSettingsFile()) {}

KeptMargins::KeptMargins(QString file) : file_(std::move(file)) {}

Margins KeptMargins::read(const std::string &printer,
                          std::vector<KeptMarginsProblem> *problems) const
{
    Margins margins = kStandardMargins;
    if (printer.empty())
        return margins;
    const auto tell = [problems](KeptMarginsProblem problem) {
        if (problems != nullptr)
            problems->push_back(std::move(problem));
    };
    const QSettings settings(file_, QSettings::IniFormat);
    const double limit = kMarginLimitMm;
    for (const auto &[key, member, side] : kKeys) {
        const QVariant kept = settings.value(groupOf(printer) + '/' + QLatin1String(key));
        if (!kept.isValid())
            continue;
        bool ok = false;
        const double value = kept.toString().toDouble(&ok);
        // What the fields could never have held was not written by this program: clamping
        // 1e308 to 500 would only leave a sheet without tiles.
        if (ok && std::isfinite(value) && std::abs(value) <= limit)
            margins.*member = value;
        else // told as the file holds it, but no longer than a message line takes
            tell({KeptMarginsProblem::Kind::Unusable, side, kept.toString().left(kKeptTextLength)});
    }
    if (TooLittleRoom(margins)) {
        tell({KeptMarginsProblem::Kind::NoRoom});
        return kStandardMargins;
    }
    return margins;
}

bool KeptMargins::write(const std::string &printer, const Margins &margins) const
{
    if (printer.empty())
        return true; // nothing to keep them for
    std::vector<std::pair<QString, QVariant>> values;
    for (const auto &[key, member, side] : kKeys)
        values.emplace_back(groupOf(printer) + '/' + QLatin1String(key),
                            QString::number(margins.*member, 'f', 1));
    return platform::WriteSettings(file_, values);
}

bool KeptMargins::readsCleanly() const { return platform::SettingsReadCleanly(file_); }

void SetMargins(TRapFormInputs &inputs, const Margins &margins)
{
    inputs.TopMargin = margins.top;
    inputs.LeftMargin = margins.left;
    inputs.BottomMargin = margins.bottom;
    inputs.RightMargin = margins.right;
}

} // namespace tilesheet
