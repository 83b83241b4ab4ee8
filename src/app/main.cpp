// Tavleplanner: prints timetable tiles for the board.
#include "app/justerform.h"
#include "app/mainform.h"
#include "app/selectform.h"
#include "app/sheetoutput.h"
#include "app/tapplication.h"
#include "output/previewinterface.h"
#include "output/systemprinter.h"
#include "platform/printer.h"
#include "report/customreport.h"
#include "timetable/timetable.h"

int main(int argc, char **argv)
{
    app::TApplication application(argc, argv);

    // The process-wide printer; every print run selects its printer on it.
    platform::TPrinter printer;
    output::TBRSystemPrinter printerDevice(printer);
    report::TCustomBandReport::SetPrinterDeviceSource(
        [&printerDevice]() -> output::TBRPrinterDevice * {
            return platform::TPrinter::Printers().empty() ? nullptr : &printerDevice;
        });

    // Every preview shows the standard preview window.
    output::TBRPreviewInterface::SetPreviewClass<output::TBRStandardPreviewInterface>();
    report::TCustomBandReport::SetPreviewProvider(&output::TBRPreviewInterface::PreviewWithClass);

    timetable::Timetable table;
    app::TMainForm mainForm(table);
    table.setMessageSink(
        [&mainForm](const std::string &message) { mainForm.appendMessage(message); });
    app::TSelectForm selectForm(table, &mainForm);
    app::TJusterForm justerForm(&mainForm);
    mainForm.setSelectForm(&selectForm);
    selectForm.setJusterForm(&justerForm);
    selectForm.setSheetOutput(app::SheetOutput(table, mainForm, justerForm));

    mainForm.show();
    return application.exec();
}
