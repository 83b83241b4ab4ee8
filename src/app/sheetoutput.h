#pragma once
// The selection run's work: for one name the tile sheet of the print list just built, or for
// the changes since the earlier export the change list and the new tiles; previewed or
// printed, and destroyed again.

#include "app/selectform.h"

#include <string>
#include <vector>

namespace report {
class TCustomBandReport;
}
namespace tilesheet {
struct TRapFormInputs;
}
namespace timetable {
class Timetable;
struct TileDiff;
} // namespace timetable

namespace app {

class TMainForm;
class TJusterForm;

class SheetOutput {
public:
    // `owner`: the window that starts the runs; the progress window of a print belongs to it.
    SheetOutput(timetable::Timetable &table, TMainForm &mainForm, TJusterForm &justerForm,
                QWidget *owner = nullptr)
        : table_(table), mainForm_(mainForm), justerForm_(justerForm), owner_(owner)
    {}

    // Creates the tile sheet of `names[index]` (it reads the cut-frame box and the margins for
    // the standard printer now, and another printer's when the preview chooses one), previews
    // it or prints it, titled with the name in the preview's caption and as the
    // job, then destroys it. Without any printer a print does nothing, as the engine has it,
    // and the message area says so. A print stopped by "Afbryd" says how far it came and that
    // the names after it were not printed, and returns false. A print of several names shows
    // which one it is in the progress window, and the last one ends the message area's lines
    // with the names and sheets sent. A preview run that failed raises its failure once the
    // preview has ended.
    bool operator()(OutputAction action, const std::vector<std::string> &names, std::size_t index);

    // The changes of `names` (list order) since the earlier export: first the report
    // "Ændringsliste", then "Nye brikker", their new tiles together on shared sheets, each name
    // from the top of a column. Said in the message area, and nothing made, when nothing
    // changed (`diff` empty). The messages and "Afbryd" as for a name's sheets; false when
    // stopped.
    bool changes(OutputAction action, const timetable::TileDiff &diff,
                 const std::vector<std::string> &names) const;

private:
    // How the message area names what a report holds: "Brikkerne for AB" begins a sentence,
    // "brikkerne for AB" follows "Udskriften af"; `later` is what a stop leaves unprinted
    // ("Brikkerne for CD og EF"), empty when nothing follows; `unrecorded` the names whose
    // record of the board a stop leaves as it was ("AB", "HD og JK"), empty for none.
    struct Subject {
        std::string asSubject;
        std::string inSentence;
        std::string later;
        std::string unrecorded;
    };
    tilesheet::TRapFormInputs sheetInputs() const;
    // The line that ends a print of several names: "40 lærere sendt til tavle-pdf: 170 ark."
    void sentMessage(std::size_t names) const;
    // Previews or prints one report; false when "Afbryd" stopped its print. `sheets` gains
    // the sheets a print sent; `sent` tells whether the job went to a printer whole.
    bool output(OutputAction action, report::TCustomBandReport &report, const Subject &subject,
                int *sheets = nullptr, bool *sent = nullptr) const;
    // `names` went to the printer whole: the board now holds their tiles of the loaded export.
    void record(const std::vector<std::string> &names) const;

    timetable::Timetable &table_;
    TMainForm &mainForm_;
    TJusterForm &justerForm_;
    QWidget *owner_;
    // The sheets sent so far by the run over several names that is going on.
    int sheetsSent_ = 0;
};

} // namespace app
