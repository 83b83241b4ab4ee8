#pragma once
// A margin field: millimetres with one decimal, step 0.1, from -500.0 to 500.0. A typed value
// outside the range is accepted while typing and replaced by the nearer bound when the edit ends
// (a plain spin box would refuse the third digit of "600"). Both '.' and ',' are taken as the
// decimal separator, whatever the desktop's language (a Danish desktop would read "8.5" as 85
// with '.' as a group separator); the value is shown with the desktop's separator.

#include <QDoubleSpinBox>

namespace app {

class MarginSpinBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    static constexpr double kMinimum = -500.0;
    static constexpr double kMaximum = 500.0;

    explicit MarginSpinBox(QWidget *parent = nullptr);

    QValidator::State validate(QString &text, int &pos) const override;
    void fixup(QString &input) const override;
    double valueFromText(const QString &text) const override;
};

} // namespace app
