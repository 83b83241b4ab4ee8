#include "app/marginspinbox.h"

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

QValidator::State MarginSpinBox::validate(QString &text, int &pos) const
{
    const QValidator::State state = QDoubleSpinBox::validate(text, pos);
    if (state != QValidator::Invalid)
        return state;
    bool ok = false;
    locale().toDouble(text.trimmed(), &ok);
    return ok ? QValidator::Intermediate : state;
}

void MarginSpinBox::fixup(QString &input) const
{
    bool ok = false;
    const double typed = locale().toDouble(input.trimmed(), &ok);
    if (ok)
        input = textFromValue(std::clamp(typed, minimum(), maximum()));
    else
        QDoubleSpinBox::fixup(input);
}

} // namespace app
