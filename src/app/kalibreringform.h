#pragma once
// TKalibreringForm, named after its Danish window title "Kalibrering" (the rules it works by
// are in tilesheet/calibration.h): the calibration dialog of the printer adjustment window; prints
// a calibration sheet on the printer chosen in its list (the adjustment window's) with that
// printer's current margins, takes the four distances measured on it, and corrects the margins so
// that the lines land where the sheet says they should.

#include "tilesheet/calibration.h"

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class TKalibreringForm;
}

class QLineEdit;

namespace app {

class TJusterForm;

class TKalibreringForm : public QDialog {
    Q_OBJECT
public:
    // Calibrates the margins of `justerForm`, for its printer.
    explicit TKalibreringForm(TJusterForm &justerForm, QWidget *parent = nullptr);
    ~TKalibreringForm() override;

    // The distances typed into the four fields; none for an empty field.
    tilesheet::MeasuredLines measured() const;

    // "Udskriv prøveark": one calibration sheet on the printer with the current margins.
    void ButtonPrintClick();
    // "Ret marginer": the measured margins corrected in the printer adjustment window and kept.
    void ButtonCorrectClick();
    // Another printer chosen in the list: its margins, shown and corrected from now on in both
    // windows.
    void ComboPrinterChange(const std::string &printer);

private:
    std::unique_ptr<Ui::TKalibreringForm> ui_;
    TJusterForm &justerForm_;
};

} // namespace app
