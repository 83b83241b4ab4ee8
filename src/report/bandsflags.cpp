#include "report/bandsflags.h"

#include "report/customreport.h"

namespace report {

std::optional<TBRBandType> TBRBands::TypeOf(int index)
{
    switch (index) {
    case HasTitleIndex:
        return TBRBandType::rbTitle;
    case HasPageHeaderIndex:
        return TBRBandType::rbPageHeader;
    case HasColumnHeaderIndex:
        return TBRBandType::rbColumnHeader;
    case HasDetailIndex:
        return TBRBandType::rbDetail;
    case HasPageFooterIndex:
        return TBRBandType::rbPageFooter;
    case HasSummaryIndex:
        return TBRBandType::rbSummary;
    default:
        return std::nullopt;
    }
}

bool TBRBands::GetFlag(int index) const
{
    const auto type = TypeOf(index);
    return type && report_.FirstBand(*type) != nullptr;
}

void TBRBands::SetFlag(int index, bool on)
{
    const auto type = TypeOf(index);
    if (!type || on == GetFlag(index))
        return;
    if (on)
        report_.CreateBand(*type);
    else
        report_.DestroyBand(report_.FirstBand(*type));
}

} // namespace report
