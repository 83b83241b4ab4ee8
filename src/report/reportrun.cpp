// The run: the data loop's surroundings, the placement of bands down a column, across the
// columns and on to new pages, and the run's position on the page.
#include "report/reportrun.h"

#include "output/brprinter.h"
#include "platform/rounding.h"
#include "report/customreport.h"
#include "report/label.h"
#include "report/printable.h"

#include <atomic>

namespace report {

using platform::TLength;

namespace {
long long rounded(TLength length) { return length.roundedNative(); }

// True while a detail band's space check, or a band re-started on a new column, is starting a
// new column or page; every band print clears it when it ends. One flag for the whole process,
// as the engine has always kept it; atomic because a preview runs on a thread of its own.
std::atomic<bool> pageStarting{false};

bool isPageBoundType(TBRBandType type)
{
    return type == TBRBandType::rbTitle || type == TBRBandType::rbPageHeader ||
           type == TBRBandType::rbPageFooter || type == TBRBandType::rbOverlay;
}

// Where the unfinished labels of a band stand in their lines.
std::vector<int> unfinishedLineCursors(const TBRCustomBand &band)
{
    std::vector<int> cursors;
    for (const TBRPrintable *control : band.Controls())
        if (!control->PrintFinished)
            if (const auto *label = dynamic_cast<const TBRCustomLabel *>(control))
                cursors.push_back(label->LineCursor());
    return cursors;
}

} // namespace

void TBRReportRun::Prepare()
{
    titlePrinted_ = false;
    firstForcedColumn_ = false;
    lastPage_ = false;
}

long long TBRReportRun::SpaceLeft() const
{
    if (currentY_ == -1)
        return 0;
    return rounded(paperLength() - report_.Page.LengthAt(TBRPage::BottomMarginIndex) -
                   pageFooterTotal_ - TLength::fromNative(currentY_));
}

TLength TBRReportRun::paperLength() const
{
    const output::TPrinterSettings &settings = report_.PageOutput()->Settings();
    // A custom paper is taken as the page gives it, already turned.
    if (settings.PaperSize() == output::paperCustom)
        return TLength::fromNative(settings.CustomLength);
    return TLength::fromNative(settings.PaperLength());
}

TLength TBRReportRun::computePageFooterTotal() const
{
    TLength total;
    for (TBRCustomBand *band : report_.BandList()) {
        if (band->BandType() != TBRBandType::rbPageFooter || !band->Enabled())
            continue;
        for (TBRCustomBand *b = band; b != nullptr; b = b->ChildBand())
            total += b->Size.LengthAt(TBRBandSize::HeightIndex);
    }
    return total;
}

void TBRReportRun::Execute()
{
    currentY_ = -1;
    pageNumber_ = 0;
    currentColumn_ = report_.Page.Columns();
    pageFooterTotal_ = computePageFooterTotal();
    for (TBRPrintable *control : report_.AllControls())
        control->SetParentReport(&report_);
    currentX_ = rounded(report_.Page.LengthAt(TBRPage::LeftMarginIndex));

    report_.Controller().Prepare();
    report_.Environment.Set(envPageNumber, "0");
    report_.Environment.Set(envColumnNumber, "0");
    report_.Environment.Set(envReportTitle, "'" + report_.ReportTitle + "'");
    const std::vector<TBRPrintable *> controls = report_.AllControls();
    for (TBRPrintable *control : controls)
        control->BeginPrinting();

    report_.Controller().DetailBand = report_.FirstBand(TBRBandType::rbDetail);
    report_.Controller().HeaderBand = report_.FirstBand(TBRBandType::rbTitle);
    report_.Controller().FooterBand = report_.FirstBand(TBRBandType::rbSummary);
    report_.Controller().OnNeedData = report_.OnNeedData;
    report_.Controller().PrintIfEmpty = report_.PrintIfEmpty;
    report_.Controller().Execute();

    currentX_ = rounded(report_.Page.LengthAt(TBRPage::LeftMarginIndex));
    lastPage_ = true;
    if (!report_.Cancelled())
        FinishPage();

    for (TBRPrintable *control : controls)
        control->EndPrinting();
    report_.Controller().Unprepare();
}

void TBRReportRun::OutputBand(TBRCustomBand *band)
{
    if (band == nullptr)
        return;
    if (band->AlignToBottom)
        alignToBottom(*band);
    printBand(*band);
}

void TBRReportRun::alignToBottom(TBRCustomBand &band)
{
    if (band.BandType() == TBRBandType::rbSummary && !report_.Options.LastPageFooter)
        pageFooterTotal_ = {};
    const TLength p = paperLength();
    const TLength h = band.Size.LengthAt(TBRBandSize::HeightIndex);
    const TLength bottom = report_.Page.LengthAt(TBRPage::BottomMarginIndex);
    if (p - TLength::fromNative(currentY_) >=
        TLength::fromNative(rounded(h + bottom + pageFooterTotal_)))
        currentY_ = rounded(p) - rounded(h) - rounded(bottom + pageFooterTotal_);
}

void TBRReportRun::printBand(TBRCustomBand &band)
{
    bool printBand = band.Enabled();
    if (band.Enabled() && band.BeforePrint)
        band.BeforePrint(band, printBand);
    if (printBand) {
        const TBRBandType type = band.EffectiveType();
        if (band.ForceNewPage && !pageStarting && !isPageBoundType(type) && pageNumber_ > 0) {
            forceNewPage();
            pageStarting = false;
        } else if (band.ForceNewColumn && !isPageBoundType(type) && pageNumber_ > 0) {
            forceNewColumn();
        } else {
            spaceCheck(band);
        }
        if (band.KeepOnOnePage && band.PrecalculatedHeight > report_.AvailableSpace())
            StartNewColumn();

        const TLength height = band.Size.LengthAt(TBRBandSize::HeightIndex);
        band.Draw(currentX_, currentY_);
        std::vector<int> lastCursors;
        while (!band.ControlsFinished()) {
            // A stretching control goes on in the next column. One whose next line is taller
            // than a whole column would begin pages for ever: it ends where it is.
            const std::vector<int> before = unfinishedLineCursors(band);
            if (!before.empty() && before == lastCursors) {
                for (TBRPrintable *control : band.Controls())
                    control->PrintFinished = true;
                break;
            }
            lastCursors = before;
            pageStarting = true;
            StartNewColumn();
            pageStarting = false;
            if (band.Size.LengthAt(TBRBandSize::HeightIndex) != height)
                band.Size.SetHeight(height.native());
            band.Expanded = 0;
            band.DrawUnfinished(currentX_, currentY_);
        }
        if (band.Bounds().Height != 0)
            currentY_ += rounded(band.Size.LengthAt(TBRBandSize::HeightIndex) +
                                 TLength::fromNative(band.Expanded));
        if (band.Size.LengthAt(TBRBandSize::HeightIndex) != height)
            band.Size.SetHeight(height.native());
    }
    if (band.AfterPrint)
        band.AfterPrint(band, printBand);
    if (band.ChildBand() != nullptr)
        OutputBand(band.ChildBand());
    pageStarting = false;
}

void TBRReportRun::spaceCheck(TBRCustomBand &band)
{
    const long long h = rounded(band.Size.LengthAt(TBRBandSize::HeightIndex));
    const TLength printableHeight = report_.Page.LengthAt(TBRPage::LengthIndex) -
                                    (report_.Page.LengthAt(TBRPage::TopMarginIndex) +
                                     report_.Page.LengthAt(TBRPage::BottomMarginIndex));
    // A band taller than the printable height never waits for a better place.
    const bool fits = band.EffectiveType() == TBRBandType::rbPageFooter ||
                      report_.AvailableSpace() >= h || TLength::fromNative(h) > printableHeight;
    if (fits && pageNumber_ != 0) {
        if (band.BandType() == TBRBandType::rbDetail)
            pageStarting = false;
        return;
    }
    pageStarting = band.BandType() == TBRBandType::rbDetail;
    StartNewColumn();
}

long long TBRReportRun::columnPitch() const
{
    if (const TBRCustomBand *detail = report_.FirstBand(TBRBandType::rbDetail))
        return rounded(detail->Size.LengthAt(TBRBandSize::WidthIndex));
    const int columns = report_.Page.Columns();
    const long long space = rounded(report_.Page.LengthAt(TBRPage::ColumnSpaceIndex));
    return (rounded(report_.Page.LengthAt(TBRPage::WidthIndex) -
                    (report_.Page.LengthAt(TBRPage::LeftMarginIndex) +
                     report_.Page.LengthAt(TBRPage::RightMarginIndex))) -
            space * (columns - 1)) /
           columns;
}

void TBRReportRun::StartNewColumn()
{
    if (currentColumn_ >= report_.Page.Columns()) {
        currentColumn_ = 1;
        currentX_ = rounded(report_.Page.LengthAt(TBRPage::LeftMarginIndex));
        StartNewPage();
    } else {
        currentX_ += rounded(report_.Page.LengthAt(TBRPage::ColumnSpaceIndex)) + columnPitch();
        currentY_ = columnTop_;
        ++currentColumn_;
    }
    report_.Environment.Set(envColumnNumber, std::to_string(currentColumn_));
    if (!(currentColumn_ == 1 && pageNumber_ == 1))
        OutputBand(report_.FirstBand(TBRBandType::rbColumnHeader));
}

void TBRReportRun::StartNewPage()
{
    FinishPage();
    ++pageNumber_;
    report_.Environment.Set(envPageNumber, std::to_string(pageNumber_));
    report_.PageOutput()->NewPage();
    currentY_ = rounded(report_.Page.LengthAt(TBRPage::TopMarginIndex));
    if (report_.OnStartPage)
        report_.OnStartPage(report_);
    if (pageNumber_ > 1 || report_.Options.FirstPageHeader)
        OutputBand(report_.FirstBand(TBRBandType::rbPageHeader));
    columnTop_ = currentY_;
    if (pageNumber_ == 1)
        if (const TBRCustomBand *title = report_.FirstBand(TBRBandType::rbTitle))
            columnTop_ += rounded(title->Size.LengthAt(TBRBandSize::HeightIndex));
}

void TBRReportRun::FinishPage()
{
    if (pageNumber_ <= 0)
        return;
    currentY_ = rounded(report_.Page.LengthAt(TBRPage::LengthIndex) -
                        report_.Page.LengthAt(TBRPage::BottomMarginIndex) - pageFooterTotal_);
    currentX_ = rounded(report_.Page.LengthAt(TBRPage::LeftMarginIndex));
    if (!(lastPage_ && !report_.Options.LastPageFooter))
        OutputBand(report_.FirstBand(TBRBandType::rbPageFooter));
    for (TBRPrintable *control : std::vector<TBRPrintable *>(report_.Controls()))
        control->PrintControl(0, 0);
    report_.PaintReportFrame();
    if (report_.OnEndPage)
        report_.OnEndPage(report_);
}

void TBRReportRun::forceNewPage()
{
    if (report_.Available())
        return;
    if (titlePrinted_) {
        titlePrinted_ = false; // the title or column header just printed starts this page
        return;
    }
    do {
        StartNewColumn();
    } while (currentColumn_ != 1);
}

void TBRReportRun::forceNewColumn()
{
    if (report_.Available())
        return;
    if (firstForcedColumn_ || currentColumn_ > 1)
        StartNewColumn();
    else
        firstForcedColumn_ = true;
}

} // namespace report
