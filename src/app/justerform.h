#pragma once
// TJusterForm, the printer adjustment window, named after the Danish button that opens it
// ("Juster printer"; its title is "Printerjustering"): the four page margins, in millimetres, that
// every tile sheet uses, for the printer chosen in its list (the standard printer at first). They
// are kept per printer: read when a printer is chosen and written whenever the window closes or
// another printer is chosen. Margins that leave the sheet no room for its tiles are refused.

#include "tilesheet/keptmargins.h"

#include <QDialog>
#include <QPixmap>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace Ui {
class TJusterForm;
}
namespace tilesheet {
struct CrampedMargins;
}

class QComboBox;

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
    // Puts `margins` into the fields (each clamped as a typed value is) and keeps them. False,
    // and nothing changed, when they leave the sheet no room for its tiles; `refusal` then
    // says why (Windows-1252).
    bool setMargins(const Margins &margins, std::string *refusal = nullptr);
    // The printer the margins belong to (Windows-1252); empty when none is installed.
    const std::string &printerName() const { return printer_; }
    // Shows and keeps the margins of `printer` from now on (as choosing it in the list does);
    // those of the printer before are kept first.
    void choosePrinter(const std::string &printer);
    // The margins for sheets that go to `printer`: the fields' for the chosen printer, else
    // those set for it while the program runs, else those kept for it.
    Margins marginsFor(const std::string &printer);

    // Where a failed write of the kept margins, kept settings that cannot be read and kept
    // margins that cannot be used are told (the main window's message area), each once. What
    // was found before the sink is set is told when it is set.
    void setMessageSink(std::function<void(const std::string &)> sink);

    // "Sæt standard"; also run once when the window is created.
    void Button1Click();
    // "Prøveark…": the calibration dialog for this printer.
    void ButtonCalibrateClick();

    void done(int result) override;

private:
    void FormCreate();
    void keep();
    // The fields show `margins`, taken as the last good ones.
    void showMargins(const Margins &margins);
    // Clears the message area, or tells that without a printer nothing is kept.
    void showIdleMessage();
    // An edited field: refused, and set back to its last good value, when the margins would
    // leave no room for the tiles.
    void fieldChanged();
    // The margins kept for `printer`, what cannot be used of them told.
    Margins readKept(const std::string &printer);
    void tellOnce(const std::string &what, const std::string &message);

    std::unique_ptr<Ui::TJusterForm> ui_;
    const tilesheet::KeptMargins *kept_;
    std::string printer_;
    Margins lastGood_ = kStandardMargins;
    // The margins set for each printer while the program runs; they hold even when the
    // settings file cannot be written.
    std::map<std::string, Margins> set_;
    std::function<void(const std::string &)> tell_;
    std::vector<std::string> untold_;
    std::set<std::string> told_;
};

// Fills `list` with the installed printers by queue name, `chosen` (Windows-1252) selected;
// disabled and empty when none is installed.
void FillPrinterList(QComboBox &list, const std::string &chosen);

// Why `cramped` margins are refused, in the windows' words (Windows-1252): "Top- og
// bundmargen må tilsammen højst være 87,3 mm, ...".
std::string NoRoomText(const tilesheet::CrampedMargins &cramped);

// The window's picture: a tile sheet, turned a quarter so that each margin field stands next to
// its side, with the four margins marked. 128 by 150 pixels.
QPixmap marginIllustration();

} // namespace app
