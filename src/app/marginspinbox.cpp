#include "app/marginspinbox.h"

#include <QRegularExpression>
#include <algorithm>

namespace app {

MarginSpinBox::MarginSpinBox(QWidget *parent) : QDoubleSpinBox(parent)
{
    setDecimals(1);
    setSingleStep(0.1);
    setRange(kMinimum, kMaximum);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(false);
}

namespace {

// A typed margin: an optional sign, digits, and one decimal separator ('.' or ',') followed by
// at most one digit. Group separators are no part of it.
struct Typed {
    QValidator::State state;
    double value = 0;
};

Typed readTyped(QString text)
{
    text = text.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]*)(\\.([0-9]?))?$"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return {QValidator::Invalid};
    if (match.captured(1).isEmpty() && match.captured(3).isEmpty())
        return {QValidator::Intermediate}; // "", "-", "." on the way to a number
    bool ok = false;
    const double value = text.toDouble(&ok); // QString reads '.' as the decimal point
    return {ok ? QValidator::Acceptable : QValidator::Invalid, value};
}

} // namespace

QValidator::State readTypedMillimetres(const QString &text, double &value)
{
    const Typed typed = readTyped(text);
    if (typed.state == QValidator::Acceptable)
        value = typed.value;
    return typed.state;
}

QValidator::State MarginSpinBox::validate(QString &text, int &) const
{
    const Typed typed = readTyped(text);
    if (typed.state != QValidator::Acceptable)
        return typed.state;
    // Outside the range while typing: taken, and clamped when the edit ends.
    return typed.value < minimum() || typed.value > maximum() ? QValidator::Intermediate
                                                              : QValidator::Acceptable;
}

double MarginSpinBox::valueFromText(const QString &text) const
{
    const Typed typed = readTyped(text);
    return typed.state == QValidator::Acceptable ? std::clamp(typed.value, minimum(), maximum())
                                                 : value();
}

void MarginSpinBox::fixup(QString &input) const
{
    const Typed typed = readTyped(input);
    if (typed.state == QValidator::Acceptable)
        input = textFromValue(std::clamp(typed.value, minimum(), maximum()));
    else // an emptied field, or a lone sign or point, keeps the margin it had
        input = textFromValue(value());
}

} // namespace app
