#include "app/sheetoutput.h"

#include "app/justerform.h"
#include "app/mainform.h"
#include "output/printerdevice.h"
#include "platform/cp1252.h"
#include "report/customreport.h"
#include "tilesheet/rapform.h"
#include "timetable/timetable.h"

#include <memory>

namespace app {

namespace {

// "AB", "AB og BB", "AB, BB og CC".
std::string listOfNames(const std::vector<std::string> &names)
{
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            list += i + 1 == names.size() ? " og " : ", ";
        list += names[i];
    }
    return list;
}

} // namespace

bool SheetOutput::operator()(OutputAction action, const std::string &name,
                             const std::vector<std::string> &later) const
{
    const Margins margins = justerForm_.margins();
    tilesheet::TRapFormInputs inputs;
    inputs.TopMargin = margins.top;
    inputs.LeftMargin = margins.left;
    inputs.BottomMargin = margins.bottom;
    inputs.RightMargin = margins.right;
    inputs.CutFrames = mainForm_.cutFrames();
    inputs.FileName = platform::fromQString(mainForm_.exportFilePath());
    inputs.PrintList = &table_.printList();
    const auto sheet = std::make_unique<tilesheet::TRapForm>(inputs);
    sheet->BRBrikker.ProgressOwner = owner_;
    sheet->BRBrikker.ReportTitle = name;

    if (action == OutputAction::Preview) {
        sheet->BRBrikker.Preview();
        if (const std::exception_ptr failure = sheet->BRBrikker.RunFailure())
            std::rethrow_exception(failure);
        return true;
    }
    output::TBRPrinterDevice *printer = report::TCustomBandReport::PrinterDevice();
    if (printer == nullptr) {
        mainForm_.appendMessage(platform::cp1252(u8"Brikkerne for ") + name +
                                platform::cp1252(u8" blev ikke udskrevet, fordi der ikke er "
                                                 u8"installeret nogen printer.\r\n\r\n"));
        return true;
    }
    const report::TCustomBandReport::TBRPrintOutcome printed = sheet->BRBrikker.Print();
    if (printed.Stopped) {
        std::string message = platform::cp1252(u8"Udskriften af brikkerne for ") + name +
                              " blev afbrudt efter " + std::to_string(printed.Pages) +
                              " ark.\r\n\r\n";
        if (!later.empty())
            message += platform::cp1252(u8"Brikkerne for ") + listOfNames(later) +
                       " blev ikke udskrevet.\r\n\r\n";
        mainForm_.appendMessage(message);
        return false;
    }
    const std::string printerName = printer->PrinterName();
    if (!printerName.empty())
        mainForm_.appendMessage(platform::cp1252(u8"Brikkerne for ") + name +
                                platform::cp1252(u8" er sendt til printeren ") + printerName +
                                ".\r\n\r\n");
    return true;
}

} // namespace app
