#pragma once
// The printer adjustment window: the four page margins, in millimetres, that every tile sheet
// uses. They are kept for the printer the sheets go to: read when the window is created and
// written whenever it closes.

#include "tilesheet/keptmargins.h"

#include <QDialog>
#include <QPixmap>
#include <functional>
#include <memory>
#include <string>

namespace Ui {
class TJusterForm;
}

namespace app {

using tilesheet::kStandardMargins;
using tilesheet::Margins;

class TJusterForm : public QDialog {
    Q_OBJECT
public:
    // With `kept`, the margins are those kept for the printer the sheets go to, and are kept
    // for it again whenever the window closes; without, they last while the window lives.
    explicit TJusterForm(QWidget *parent = nullptr, const tilesheet::KeptMargins *kept = nullptr);
    ~TJusterForm() override;

    // The current values of the four fields.
    Margins margins() const;
    // Puts `margins` into the fields (each clamped as a typed value is) and keeps them.
    void setMargins(const Margins &margins);
    // The printer the margins belong to (Windows-1252); empty when none is installed.
    const std::string &printerName() const { return printer_; }

    // Where a failed write of the kept margins is told (the main window's message area), once.
    void setMessageSink(std::function<void(const std::string &)> sink) { tell_ = std::move(sink); }

    // "Sæt standard"; also run once when the window is created.
    void Button1Click();
    // "Prøveark…": the calibration dialog for this printer.
    void ButtonCalibrateClick();

    void done(int result) override;

private:
    void FormCreate();
    void keep();

    std::unique_ptr<Ui::TJusterForm> ui_;
    const tilesheet::KeptMargins *kept_;
    std::string printer_;
    std::function<void(const std::string &)> tell_;
    bool failureTold_ = false;
};

// The window's picture: a tile sheet, turned a quarter so that each margin field stands next to
// its side, with the four margins marked. 128 by 150 pixels.
QPixmap marginIllustration();

} // namespace app
