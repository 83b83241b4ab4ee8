#include "app/sheetoutput.h"

#include "app/justerform.h"
#include "app/mainform.h"
#include "platform/cp1252.h"
#include "report/customreport.h"
#include "tilesheet/rapform.h"
#include "timetable/timetable.h"

#include <memory>

namespace app {

void SheetOutput::operator()(OutputAction action, const std::string &name) const
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

    if (action == OutputAction::Preview) {
        sheet->BRBrikker.Preview();
        if (const std::exception_ptr failure = sheet->BRBrikker.RunFailure())
            std::rethrow_exception(failure);
        return;
    }
    if (report::TCustomBandReport::PrinterDevice() == nullptr) {
        mainForm_.appendMessage(platform::cp1252(u8"Brikkerne for ") + name +
                                platform::cp1252(u8" blev ikke udskrevet, fordi der ikke er "
                                                 u8"installeret nogen printer.\r\n\r\n"));
        return;
    }
    sheet->BRBrikker.ReportTitle = name;
    sheet->BRBrikker.Print();
}

} // namespace app
