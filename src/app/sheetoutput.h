#pragma once
// The selection run's work for one name: the tile sheet of the print list just built, previewed
// or printed, and destroyed again.

#include "app/selectform.h"

#include <string>
#include <vector>

namespace timetable {
class Timetable;
}

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

    // Creates the tile sheet (it reads the margins and the cut-frame box now), previews it or
    // prints it, titled `name` in the preview's caption and as the job, then destroys it.
    // Without any printer a print does nothing, as the engine has it, and the message area
    // says so. A print stopped by "Afbryd" says how far it came and that the names `later`
    // were not printed, and returns false. A preview run that failed raises its failure once
    // the preview has ended.
    bool operator()(OutputAction action, const std::string &name,
                    const std::vector<std::string> &later) const;

private:
    timetable::Timetable &table_;
    TMainForm &mainForm_;
    TJusterForm &justerForm_;
    QWidget *owner_;
};

} // namespace app
