#include "report/controller.h"

#include "report/customreport.h"

namespace report {

void TBRController::Execute()
{
    if (!OnNeedData) {
        // No data source at all.
        if (PrintIfEmpty) {
            report_.OutputBand(HeaderBand);
            report_.OutputBand(DetailBand);
            report_.OutputBand(FooterBand);
        }
        return;
    }
    bool moreData = true;
    OnNeedData(report_, moreData);
    detailNumber_ = 0;
    if (!moreData)
        return; // no band, no page
    report_.processMessages();
    if (report_.Cancelled())
        return;
    if (HeaderBand != nullptr) {
        report_.OutputBand(HeaderBand);
        report_.run_.TitlePrinted();
    }
    TBRCustomBand *columnHeader = report_.FirstBand(TBRBandType::rbColumnHeader);
    if (report_.PageNumber() < 2 && columnHeader != nullptr && columnHeader->Enabled()) {
        report_.OutputBand(columnHeader);
        report_.run_.TitlePrinted();
    }
    while (moreData) {
        report_.processMessages();
        if (report_.outputCancelled())
            return; // no further band of any kind
        ++detailNumber_;
        report_.OutputBand(DetailBand);
        moreData = false;
        OnNeedData(report_, moreData);
    }
    if (FooterBand != nullptr) {
        if (report_.PageNumber() == 0)
            report_.StartNewPage();
        if (FooterBand->Size.Native(TBRBandSize::HeightIndex) > report_.AvailableSpace())
            report_.StartNewColumn();
        report_.OutputBand(FooterBand);
    }
}

} // namespace report
