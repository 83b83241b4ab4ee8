// Tavleplanner: prints timetable tiles for the board.
#include "app/justerform.h"
#include "app/mainform.h"
#include "app/selectform.h"
#include "app/tapplication.h"
#include "timetable/timetable.h"

int main(int argc, char **argv)
{
    app::TApplication application(argc, argv);

    timetable::Timetable table;
    app::TMainForm mainForm(table);
    table.setMessageSink(
        [&mainForm](const std::string &message) { mainForm.appendMessage(message); });
    app::TSelectForm selectForm(table, &mainForm);
    app::TJusterForm justerForm(&mainForm);
    mainForm.setSelectForm(&selectForm);
    selectForm.setJusterForm(&justerForm);

    mainForm.show();
    return application.exec();
}
