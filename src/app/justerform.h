#pragma once
// The printer adjustment window: the four page margins, in millimetres, that every tile sheet
// uses. They last while the program runs; every start begins with the standard values.

#include <QDialog>
#include <QPixmap>
#include <memory>

namespace Ui {
class TJusterForm;
}

namespace app {

struct Margins {
    double top, left, bottom, right; // millimetres
};

inline constexpr Margins kStandardMargins{8.5, 12.0, 9.0, 20.0};

class TJusterForm : public QDialog {
    Q_OBJECT
public:
    explicit TJusterForm(QWidget *parent = nullptr);
    ~TJusterForm() override;

    // The current values of the four fields.
    Margins margins() const;

    // "Sæt standard"; also run once when the window is created.
    void Button1Click();

private:
    void FormCreate();

    std::unique_ptr<Ui::TJusterForm> ui_;
};

// The window's picture: a tile sheet, turned a quarter so that each margin field stands next to
// its side, with the four margins marked. 128 by 150 pixels.
QPixmap marginIllustration();

} // namespace app
