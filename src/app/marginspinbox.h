#pragma once
// A margin field: millimetres with one decimal, step 0.1, from -500.0 to 500.0. A typed value
// outside the range is accepted while typing and replaced by the nearer bound when the edit ends
// (a plain spin box would refuse the third digit of "600"). Both '.' and ',' are taken as the
// decimal separator, whatever the desktop's language (a Danish desktop would read "8.5" as 85
// with '.' as a group separator); the value is shown with the desktop's separator.

#include "tilesheet/rapform.h"

#include <QDoubleSpinBox>

namespace app {

// Reads a typed length: an optional sign, digits, and one decimal separator ('.' or ',')
// followed by at most one digit; no group separators. Intermediate for "", "-" or "." on the
// way to a number; `value` is set when Acceptable.
QValidator::State readTypedMillimetres(const QString &text, double &value);

class MarginSpinBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    static constexpr double kMinimum = -static_cast<double>(tilesheet::kMarginLimitMm);
    static constexpr double kMaximum = static_cast<double>(tilesheet::kMarginLimitMm);

    explicit MarginSpinBox(QWidget *parent = nullptr);

    QValidator::State validate(QString &text, int &pos) const override;
    void fixup(QString &input) const override;
    double valueFromText(const QString &text) const override;
};

} // namespace app
