#pragma once
// The selection run's work for one name: the tile sheet of the print list just built, previewed
// or printed, and destroyed again.

#include "app/selectform.h"

#include <string>

namespace timetable {
class Timetable;
}

namespace app {

class TMainForm;
class TJusterForm;

class SheetOutput {
public:
    SheetOutput(timetable::Timetable &table, TMainForm &mainForm, TJusterForm &justerForm)
        : table_(table), mainForm_(mainForm), justerForm_(justerForm)
    {}

    // Creates the tile sheet (it reads the margins and the cut-frame box now), previews it or
    // prints it as a job titled `name`, then destroys it. Without any printer a print does
    // nothing, as the engine has it, and the message area says so.
    void operator()(OutputAction action, const std::string &name) const;

private:
    timetable::Timetable &table_;
    TMainForm &mainForm_;
    TJusterForm &justerForm_;
};

} // namespace app
