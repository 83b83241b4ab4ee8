// The report run: the data loop, the placement of bands down the columns and across the pages,
// the space check, forced pages and columns, child bands, page footers and the run's flags.
#include "support/reportfixtures.h"

#include "output/brprinter.h"
#include "report/customreport.h"
#include "report/label.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

using namespace report;

namespace {

using Position = std::pair<long long, long long>;

// The height a band advances by: bands laid out again are whole pixels high.
long long advance(const TBRCustomBand &band)
{
    return std::llround(band.Size.Native(TBRBandSize::HeightIndex));
}

// A control that notes where its band put it, and on which page.
class Probe : public TBRPrintable {
public:
    void PrintControl(long double x, long double y) override
    {
        const auto *report = ParentReport();
        hits.push_back({static_cast<long long>(x), static_cast<long long>(y)});
        pages.push_back(report != nullptr ? report->PageNumber() : -1);
    }
    std::vector<Position> hits;
    std::vector<int> pages;
};

// A report with one detail band on A4, margins 100 native units all round, run in native units.
struct SmallReport {
    explicit SmallReport(long double detailHeight, int columns = 1)
    {
        report.SetUnits(TBRUnit::Native);
        report.Page.SetTopMargin(100);
        report.Page.SetBottomMargin(100);
        report.Page.SetLeftMargin(100);
        report.Page.SetRightMargin(100);
        report.Page.SetColumns(columns);
        detail = &report.CreateBand(TBRBandType::rbDetail);
        report.SetUnits(TBRUnit::Native); // a new band shows its size in millimetres
        detail->Size.SetHeight(detailHeight);
        heights.emplace_back(detail, detailHeight);
        probe = &report.CreateControl<Probe>(*detail);
        pageProbe = &report.CreateControl<Probe>(report);
        report.OnNeedData = [this](TCustomBandReport &, bool &more) {
            more = given < records;
            ++given;
        };
    }
    TBRBand &add(TBRBandType type, long double height)
    {
        TBRBand &band = report.CreateBand(type);
        report.SetUnits(TBRUnit::Native);
        heights.emplace_back(&band, height);
        // A band joining lays the others out again, which leaves them whole pixels high.
        for (auto [b, h] : heights)
            b->Size.SetHeight(h);
        return band;
    }
    Probe &probeIn(TBRBand &band) { return report.CreateControl<Probe>(band); }
    int run(int n)
    {
        records = n;
        given = 0;
        report.RunReport();
        return report.PageOutput()->PageList().PageCount();
    }

    platform::ScreenResolutionOverride screen{96};
    TBandReport report{TBRPaperSize::A4, 96};
    TBRBand *detail = nullptr;
    Probe *probe = nullptr;
    Probe *pageProbe = nullptr;
    std::vector<std::pair<TBRBand *, long double>> heights;
    int records = 0;
    int given = 0;
};

TEST(RunDataLoop, NoDataGivesAJobWithoutPagesWhateverPrintIfEmptySays)
{
    for (bool printIfEmpty : {true, false}) {
        SmallReport r(500);
        r.report.PrintIfEmpty = printIfEmpty;
        int calls = 0;
        r.report.OnNeedData = [&](TCustomBandReport &, bool &more) {
            ++calls;
            EXPECT_TRUE(more); // True on entry to the first call
            more = false;
        };
        r.report.RunReport();
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(r.report.PageOutput()->PageList().PageCount(), 0);
        EXPECT_EQ(r.report.PageOutput()->OutputState(), output::TBRPrinter::TOutputState::Finished);
        EXPECT_TRUE(r.probe->hits.empty());
        EXPECT_TRUE(r.pageProbe->hits.empty()); // no page was begun, so none was finished
        EXPECT_TRUE(r.report.Available());
    }
}

TEST(RunDataLoop, WithoutAnyDataSourcePrintIfEmptyPrintsTheBandsOnce)
{
    SmallReport r(500);
    r.report.OnNeedData = nullptr;
    TBRBand &title = r.add(TBRBandType::rbTitle, 200);
    TBRBand &summary = r.add(TBRBandType::rbSummary, 150);
    Probe &t = r.probeIn(title);
    Probe &s = r.probeIn(summary);
    r.report.RunReport();
    EXPECT_EQ(r.report.PageOutput()->PageList().PageCount(), 1);
    const long long below = 100 + advance(title);
    EXPECT_EQ(t.hits, (std::vector<Position>{{100, 100}}));
    EXPECT_EQ(r.probe->hits, (std::vector<Position>{{100, below}}));
    EXPECT_EQ(s.hits, (std::vector<Position>{{100, below + advance(*r.detail)}}));

    SmallReport empty(500);
    empty.report.OnNeedData = nullptr;
    empty.report.PrintIfEmpty = false;
    empty.report.RunReport();
    EXPECT_EQ(empty.report.PageOutput()->PageList().PageCount(), 0);
}

TEST(RunDataLoop, TheHandlerIsAskedBeforeTheFirstBandAndAfterEveryBand)
{
    SmallReport r(500);
    std::vector<bool> entries;
    std::vector<int> bandsBefore;
    r.report.OnNeedData = [&](TCustomBandReport &, bool &more) {
        entries.push_back(more);
        bandsBefore.push_back(static_cast<int>(r.probe->hits.size()));
        more = entries.size() <= 3;
    };
    r.report.RunReport();
    EXPECT_EQ(entries, (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(bandsBefore, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(r.report.Controller().DetailNumber(), 3);
}

TEST(RunDataLoop, BeforePrintClearingPrintReportStartsNoJob)
{
    SmallReport r(500);
    bool asked = false;
    r.report.OnNeedData = [&](TCustomBandReport &, bool &more) {
        asked = true;
        more = false;
    };
    r.report.BeforePrint = [](TCustomBandReport &, bool &print) {
        EXPECT_TRUE(print);
        print = false;
    };
    r.report.RunReport();
    EXPECT_FALSE(asked);
    EXPECT_EQ(r.report.PageOutput()->OutputState(), output::TBRPrinter::TOutputState::Idle);
    EXPECT_TRUE(r.report.Available());
}

TEST(RunDataLoop, BeforePrintSeesTheReportsUnitsAndHandlersDuringTheRunSeeNative)
{
    SmallReport r(500);
    r.report.SetUnits(TBRUnit::MM);
    TBRUnit inBeforePrint = TBRUnit::Native;
    long double heightSeen = 0;
    r.report.BeforePrint = [&](TCustomBandReport &rep, bool &) { inBeforePrint = rep.Units(); };
    r.detail->BeforePrint = [&](TBRCustomBand &band, bool &) { heightSeen = band.Size.Height(); };
    r.run(1);
    EXPECT_EQ(inBeforePrint, TBRUnit::MM);
    EXPECT_DOUBLE_EQ(static_cast<double>(heightSeen), 500.0);
    EXPECT_EQ(r.report.Units(), TBRUnit::MM); // restored after the run
}

TEST(RunDataLoop, ASecondRunStartsAgainFromTheBeginning)
{
    SmallReport r(500);
    int beforePrints = 0;
    r.report.BeforePrint = [&](TCustomBandReport &, bool &) { ++beforePrints; };
    EXPECT_EQ(r.run(7), 2);
    r.report.SetPageOutput(nullptr);
    EXPECT_EQ(r.run(7), 2);
    EXPECT_EQ(beforePrints, 2);
    EXPECT_EQ(r.probe->hits.size(), 14u);
    EXPECT_EQ(r.probe->hits[7], (Position{100, 100}));
}

TEST(RunSpaceCheck, ABandThatIsNotPrintedUsesNoSpace)
{
    SmallReport r(500);
    std::vector<bool> afterPrint;
    int n = 0;
    r.detail->BeforePrint = [&](TBRCustomBand &, bool &print) { print = (n++ % 2) == 0; };
    r.detail->AfterPrint = [&](TBRCustomBand &, bool printed) { afterPrint.push_back(printed); };
    EXPECT_EQ(r.run(6), 1);
    EXPECT_EQ(afterPrint, (std::vector<bool>{true, false, true, false, true, false}));
    EXPECT_EQ(r.probe->hits, (std::vector<Position>{{100, 100}, {100, 600}, {100, 1100}}));
}

TEST(RunSpaceCheck, AFirstBandThatIsNotPrintedBeginsNoPage)
{
    SmallReport r(500);
    r.detail->BeforePrint = [](TBRCustomBand &, bool &print) { print = false; };
    EXPECT_EQ(r.run(3), 0);
    EXPECT_EQ(r.report.PageNumber(), 0);
}

TEST(RunSpaceCheck, ADisabledBandIsNotAskedAndReportsNotPrinted)
{
    SmallReport r(500);
    bool asked = false;
    bool printed = true;
    r.detail->SetEnabled(false);
    r.detail->BeforePrint = [&](TBRCustomBand &, bool &) { asked = true; };
    r.detail->AfterPrint = [&](TBRCustomBand &, bool p) { printed = p; };
    r.run(2);
    EXPECT_FALSE(asked);
    EXPECT_FALSE(printed);
    EXPECT_TRUE(r.probe->hits.empty());
}

TEST(RunSpaceCheck, ABandExactlyAsHighAsTheSpaceLeftPrintsThere)
{
    // 2970 - 100 - 100 = 2770 = 5 x 554: five bands to a page, the fifth in exactly its space.
    SmallReport r(554);
    EXPECT_EQ(r.run(5), 1);
    EXPECT_EQ(r.probe->hits.back(), (Position{100, 100 + 4 * 554}));
    SmallReport r2(554);
    EXPECT_EQ(r2.run(6), 2);
    EXPECT_EQ(r2.probe->hits.back(), (Position{100, 100}));
    EXPECT_EQ(r2.probe->pages.back(), 2);
    // One unit more and only four fit.
    SmallReport r3(555);
    EXPECT_EQ(r3.run(5), 2);
    EXPECT_EQ(r3.probe->pages, (std::vector<int>{1, 1, 1, 1, 2}));
}

TEST(RunSpaceCheck, ABandTallerThanThePrintableHeightPrintsWhereItIs)
{
    SmallReport r(3000);
    EXPECT_EQ(r.run(2), 1);
    EXPECT_EQ(r.probe->hits, (std::vector<Position>{{100, 100}, {100, 3100}}));
    EXPECT_EQ(r.probe->pages, (std::vector<int>{1, 1}));
}

TEST(RunSpaceCheck, AvailableSpaceIsZeroOutsideARunAndCountsDownInside)
{
    SmallReport r(500);
    EXPECT_EQ(r.report.AvailableSpace(), 0);
    std::vector<long long> spaces;
    r.detail->AfterPrint = [&](TBRCustomBand &, bool) {
        spaces.push_back(r.report.AvailableSpace());
    };
    r.run(2);
    EXPECT_EQ(spaces, (std::vector<long long>{2970 - 100 - 600, 2970 - 100 - 1100}));
    EXPECT_EQ(r.report.AvailableSpace(), 0);
}

TEST(RunColumns, OneColumnStartsEachNewPageAtTheTopMargin)
{
    SmallReport r(1000);
    EXPECT_EQ(r.run(5), 3);
    EXPECT_EQ(r.probe->hits, (std::vector<Position>{
                                 {100, 100}, {100, 1100}, {100, 100}, {100, 1100}, {100, 100}}));
    EXPECT_EQ(r.pageProbe->hits.size(), 3u); // the report's own controls end every page
    EXPECT_EQ(r.pageProbe->hits[0], (Position{0, 0}));
}

TEST(RunColumns, TheTileSheetsGeometryHolds60BandsAPage)
{
    reporttest::TileSheet sheet;
    sheet.report.runSpace = true;
    Probe &probe = sheet.report.CreateControl<Probe>(*sheet.detail);
    int given = 0;
    int records = 60;
    sheet.report.OnNeedData = [&](TCustomBandReport &, bool &more) { more = given++ < records; };
    sheet.report.RunReport();
    ASSERT_EQ(probe.hits.size(), 60u);
    EXPECT_EQ(sheet.report.PageOutput()->PageList().PageCount(), 1);
    const long long rows[] = {85, 550, 1015, 1480, 1945, 2410};
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(probe.hits[i], (Position{120 + 176 * (i / 6), rows[i % 6]})) << i;
    }
    sheet.report.SetPageOutput(nullptr);
    given = 0;
    records = 61;
    probe.hits.clear();
    probe.pages.clear();
    sheet.report.RunReport();
    EXPECT_EQ(sheet.report.PageOutput()->PageList().PageCount(), 2);
    EXPECT_EQ(probe.hits.back(), (Position{120, 85}));
    EXPECT_EQ(probe.pages.back(), 2);
}

TEST(RunColumns, TheFirstDetailBandsBeforePrintComesBeforePageOne)
{
    SmallReport r(500);
    std::vector<std::string> events;
    r.report.OnStartPage = [&](TCustomBandReport &rep) {
        events.push_back("start " + std::to_string(rep.PageNumber()));
    };
    r.report.OnEndPage = [&](TCustomBandReport &rep) {
        events.push_back("end " + std::to_string(rep.PageNumber()));
    };
    r.detail->BeforePrint = [&](TBRCustomBand &, bool &) {
        events.push_back("band on " + std::to_string(r.report.PageNumber()));
    };
    r.run(1);
    EXPECT_EQ(events, (std::vector<std::string>{"band on 0", "start 1", "end 1"}));
}

TEST(RunColumns, ColumnsWithoutADetailBandShareTheWidthLessTheColumnSpace)
{
    SmallReport r(500, 3);
    r.report.Page.SetColumnSpace(50);
    TBRBand &title = r.add(TBRBandType::rbTitle, 300);
    Probe &t = r.probeIn(title);
    std::erase_if(r.heights, [&r](const auto &entry) { return entry.first == r.detail; });
    r.report.DestroyBand(r.detail); // the fixture must not size it again
    EXPECT_FALSE(r.report.Bands.HasDetail());
    r.report.OnNeedData = nullptr;
    r.report.RunReport();
    ASSERT_EQ(t.hits.size(), 1u);
    // (1900 - 2 x 50) / 3 = 600: forcing columns steps 650 at a time.
    r.report.SetPageOutput(nullptr);
    TBRBand &detail = r.add(TBRBandType::rbDetail, 500);
    Probe &p = r.probeIn(detail);
    detail.ForceNewColumn = true;
    r.report.OnNeedData = [&r](TCustomBandReport &, bool &more) { more = r.given++ < 3; };
    r.given = 0;
    r.report.RunReport();
    ASSERT_EQ(p.hits.size(), 3u);
    EXPECT_EQ(p.hits[1].first - p.hits[0].first,
              static_cast<long long>(50 + detail.Size.Native(TBRBandSize::WidthIndex) + 0.5L));
}

TEST(RunColumns, LaterColumnsOfPageOneStartBelowTheTitle)
{
    SmallReport r(1000, 2);
    TBRBand &title = r.add(TBRBandType::rbTitle, 300);
    Probe &t = r.probeIn(title);
    r.run(4);
    EXPECT_EQ(t.hits, (std::vector<Position>{{100, 100}}));
    // Column 1: 400, 1400; column 2 begins at ColumnTop 400 as well.
    ASSERT_EQ(r.probe->hits.size(), 4u);
    EXPECT_EQ(r.probe->hits[0].second, 400);
    EXPECT_EQ(r.probe->hits[1].second, 1400);
    EXPECT_EQ(r.probe->hits[2].second, 400);
    EXPECT_GT(r.probe->hits[2].first, 100);
}

TEST(RunForcing, ForceNewPagePutsEveryRecordButTheFirstOnANewPage)
{
    SmallReport r(500);
    r.detail->ForceNewPage = true;
    EXPECT_EQ(r.run(3), 3);
    EXPECT_EQ(r.probe->pages, (std::vector<int>{1, 2, 3}));
}

TEST(RunForcing, AForcedPageAfterTheTitleStaysOnTheTitlesPage)
{
    SmallReport r(500);
    r.add(TBRBandType::rbTitle, 300);
    r.detail->ForceNewPage = true;
    EXPECT_EQ(r.run(2), 2);
    EXPECT_EQ(r.probe->pages, (std::vector<int>{1, 2}));
    EXPECT_EQ(r.probe->hits[0].second, 400);
}

TEST(RunForcing, TheFirstForcedColumnStaysInColumnOne)
{
    SmallReport r(500, 3);
    r.detail->ForceNewColumn = true;
    r.run(5);
    ASSERT_EQ(r.probe->hits.size(), 5u);
    const long long pitch = std::llround(r.detail->Size.Native(TBRBandSize::WidthIndex));
    EXPECT_GT(pitch, 0);
    // The first band begins the page; the first forced column stays in column 1, below it.
    EXPECT_EQ(r.probe->hits[0], (Position{100, 100}));
    EXPECT_EQ(r.probe->hits[1], (Position{100, 600}));
    EXPECT_EQ(r.probe->hits[2], (Position{100 + pitch, 100}));
    EXPECT_EQ(r.probe->hits[3], (Position{100 + 2 * pitch, 100}));
    EXPECT_EQ(r.probe->hits[4], (Position{100, 100}));
    EXPECT_EQ(r.probe->pages, (std::vector<int>{1, 1, 1, 1, 2}));
}

TEST(RunBands, PageFootersReserveTheirSpaceAndPrintAtTheBottom)
{
    SmallReport r(1000);
    TBRBand &footer = r.add(TBRBandType::rbPageFooter, 200);
    TBRBand &footerChild = r.add(TBRBandType::rbChild, 70);
    footer.SetChildBand(&footerChild);
    Probe &f = r.probeIn(footer);
    Probe &fc = r.probeIn(footerChild);
    // About 2600 below the top margin: two bands of 1000 fit, a third does not.
    EXPECT_EQ(r.run(3), 2);
    const long double total = footer.Size.Native(TBRBandSize::HeightIndex) +
                              footerChild.Size.Native(TBRBandSize::HeightIndex);
    EXPECT_NEAR(static_cast<double>(total), 270.0, 2.7);
    EXPECT_EQ(r.report.PageFooterTotal(), total);
    EXPECT_EQ(r.probe->pages, (std::vector<int>{1, 1, 2}));
    const long long footerTop = std::llround(2970 - 100 - total);
    EXPECT_EQ(f.hits, (std::vector<Position>{{100, footerTop}, {100, footerTop}}));
    const long long childTop = footerTop + advance(footer);
    EXPECT_EQ(fc.hits, (std::vector<Position>{{100, childTop}, {100, childTop}}));

    SmallReport noLast(1000);
    TBRBand &footer2 = noLast.add(TBRBandType::rbPageFooter, 200);
    Probe &f2 = noLast.probeIn(footer2);
    noLast.report.Options.LastPageFooter = false;
    EXPECT_EQ(noLast.run(3), 2);
    EXPECT_EQ(f2.pages, (std::vector<int>{1}));
}

TEST(RunBands, PageHeadersFollowFirstPageHeader)
{
    for (bool first : {true, false}) {
        SmallReport r(1000);
        r.report.Options.FirstPageHeader = first;
        TBRBand &header = r.add(TBRBandType::rbPageHeader, 150);
        Probe &h = r.probeIn(header);
        r.run(4);
        EXPECT_EQ(h.pages, first ? (std::vector<int>{1, 2}) : (std::vector<int>{2}));
        const long long below = 100 + advance(header);
        EXPECT_EQ(r.probe->hits[0].second, first ? below : 100);
        EXPECT_EQ(r.probe->hits[2].second, below); // the first band of page 2
    }
}

TEST(RunBands, AChildBandPrintsRightBelowItsParent)
{
    SmallReport r(500);
    TBRBand &child = r.add(TBRBandType::rbChild, 100);
    r.detail->SetChildBand(&child);
    Probe &c = r.probeIn(child);
    r.run(2);
    const long long d = advance(*r.detail);
    const long long both = d + advance(child);
    EXPECT_EQ(r.probe->hits, (std::vector<Position>{{100, 100}, {100, 100 + both}}));
    EXPECT_EQ(c.hits, (std::vector<Position>{{100, 100 + d}, {100, 100 + both + d}}));
}

TEST(RunBands, TheSummaryFollowsTheLastRecordAndCanAlignToTheBottom)
{
    SmallReport r(500);
    TBRBand &summary = r.add(TBRBandType::rbSummary, 300);
    Probe &s = r.probeIn(summary);
    r.run(2);
    EXPECT_EQ(s.hits, (std::vector<Position>{{100, 1100}}));

    SmallReport bottom(500);
    TBRBand &summary2 = bottom.add(TBRBandType::rbSummary, 300);
    summary2.AlignToBottom = true;
    Probe &s2 = bottom.probeIn(summary2);
    bottom.run(2);
    EXPECT_EQ(s2.hits, (std::vector<Position>{{100, 2970 - 300 - 100}}));
}

TEST(RunBands, TheBandsFlagsMakeAndDestroyBands)
{
    SmallReport r(500);
    EXPECT_TRUE(r.report.Bands.HasDetail());
    EXPECT_FALSE(r.report.Bands.HasTitle());
    r.report.Bands.SetHasTitle(true);
    ASSERT_TRUE(r.report.Bands.HasTitle());
    EXPECT_EQ(r.report.BandList().front()->BandType(), TBRBandType::rbTitle);
    EXPECT_FALSE(r.report.Bands.GetFlag(5));
    r.report.Bands.SetFlag(5, true);
    EXPECT_FALSE(r.report.Bands.GetFlag(5));
    r.report.Bands.SetHasTitle(false);
    EXPECT_FALSE(r.report.Bands.HasTitle());
    EXPECT_EQ(r.report.BandList().size(), 1u);
}

TEST(RunState, TheEnvironmentFollowsPagesColumnsAndTitle)
{
    SmallReport r(1000, 2);
    r.report.ReportTitle = "Lærer";
    std::vector<std::string> seen;
    r.detail->AfterPrint = [&](TBRCustomBand &, bool) {
        seen.push_back(r.report.Environment.Value(envPageNumber) + "/" +
                       r.report.Environment.Value(envColumnNumber));
    };
    EXPECT_EQ(r.report.Environment.Value(envReportTitle), "''");
    r.run(5);
    EXPECT_EQ(seen, (std::vector<std::string>{"1/1", "1/1", "1/2", "1/2", "2/1"}));
    EXPECT_EQ(r.report.Environment.Value(envReportTitle), "'Lærer'");
    EXPECT_EQ(r.report.PageOutput()->Title, "Lærer");
}

TEST(RunState, MarginsThatLeaveNoRoomAreDropped)
{
    SmallReport r(500);
    r.report.Page.SetLeftMargin(1500);
    r.report.Page.SetRightMargin(1000);
    r.run(1);
    EXPECT_EQ(r.report.Page.LeftMargin(), 0);
    EXPECT_EQ(r.report.Page.RightMargin(), 0);
    EXPECT_EQ(r.report.Page.TopMargin(), 100);
    EXPECT_EQ(r.probe->hits[0], (Position{0, 100}));
}

TEST(RunCancel, CancellingThePageOutputFinishesThePagesSoFar)
{
    SmallReport r(1000);
    r.report.OnNeedData = [&r](TCustomBandReport &rep, bool &more) {
        more = true;
        if (++r.given == 4)
            rep.PageOutput()->CancelJob();
    };
    r.report.RunReport();
    EXPECT_EQ(r.probe->hits.size(), 3u);
    EXPECT_EQ(r.report.PageOutput()->PageList().PageCount(), 2);
    EXPECT_EQ(r.pageProbe->hits.size(), 2u); // the last page was finished
    EXPECT_TRUE(r.report.Available());
}

TEST(RunCancel, CancellingTheReportAbandonsTheJobKeepingTheUnfinishedPage)
{
    SmallReport r(1000);
    r.report.OnNeedData = [&r](TCustomBandReport &rep, bool &more) {
        more = true;
        if (++r.given == 4)
            rep.Cancel();
    };
    r.report.RunReport();
    EXPECT_TRUE(r.report.Cancelled());
    EXPECT_EQ(r.probe->hits.size(), 3u);
    EXPECT_EQ(r.report.PageOutput()->PageList().PageCount(), 2);
    EXPECT_EQ(r.pageProbe->hits.size(), 1u); // page 2 was not finished
    EXPECT_TRUE(r.report.Available());
}

TEST(RunCancel, CancelOutsideARunDoesNothing)
{
    SmallReport r(1000);
    r.report.Cancel();
    EXPECT_FALSE(r.report.Cancelled());
    EXPECT_EQ(r.run(1), 1);
}

TEST(RunFailure, AFailingHandlerEndsTheRunAndLeavesTheReportUnavailable)
{
    SmallReport r(1000);
    r.report.OnNeedData = [&r](TCustomBandReport &, bool &more) {
        more = true;
        if (++r.given == 3)
            throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(r.report.RunReport(), std::runtime_error);
    EXPECT_FALSE(r.report.Available());
    EXPECT_EQ(r.report.PageOutput()->OutputState(), output::TBRPrinter::TOutputState::Finished);
    EXPECT_EQ(r.report.PageOutput()->PageList().PageCount(), 1);
    r.report.RunReport(); // refused
    EXPECT_EQ(r.given, 3);
}

} // namespace

namespace {

// The texts drawn on every page of a recorded run.
std::vector<std::vector<std::string>> pageTexts(output::TBRPrinter &output)
{
    std::vector<std::vector<std::string>> pages;
    for (int n = 1; n <= output.PageList().PageCount(); ++n)
        pages.push_back(output.GetPage(n)->texts());
    return pages;
}

TEST(RunStretching, AStretchingLabelGoesOnAtTheTopOfTheNextPage)
{
    SmallReport r(100);
    TBRLabel &label = r.report.CreateControl<TBRLabel>(*r.detail);
    label.AutoSize = false;
    label.AutoStretch = true;
    label.SetBounds(0, 0, 200, 20);
    std::string text;
    for (int i = 1; i <= 150; ++i)
        text += "line" + std::to_string(i) + "\r";
    text.pop_back();
    label.SetCaption(text);
    EXPECT_GE(r.run(1), 2);
    // Every line once, in order, each page going on where the one before stopped.
    std::vector<std::string> all;
    for (const auto &page : pageTexts(*r.report.PageOutput())) {
        ASSERT_FALSE(page.empty());
        all.insert(all.end(), page.begin(), page.end());
    }
    ASSERT_EQ(all.size(), 150u);
    for (int i = 0; i < 150; ++i)
        EXPECT_EQ(all[i], "line" + std::to_string(i + 1));
    EXPECT_EQ(r.probe->hits.size(), 1u);
    EXPECT_EQ(advance(*r.detail), 100); // the band keeps its height
}

TEST(RunStretching, ALineTallerThanAColumnEndsTheLabelInsteadOfPagingForEver)
{
    SmallReport r(2700);
    TBRLabel &label = r.report.CreateControl<TBRLabel>(*r.detail);
    label.AutoSize = false;
    label.AutoStretch = true;
    label.SetBounds(0, 0, 200, 20);
    label.SetCaption("one\rtwo\rthree");
    const int pages = r.run(2);
    EXPECT_LE(pages, 4);
    EXPECT_TRUE(label.PrintFinished);
}

} // namespace

namespace {

TEST(RunBands, KeepOnOnePageMovesABandWhosePrecalculatedHeightDoesNotFit)
{
    SmallReport r(300);
    TBRBand &block = r.add(TBRBandType::rbSummary, 300);
    block.KeepOnOnePage = true;
    block.PrecalculatedHeight = 2000;
    Probe &b = r.probeIn(block);
    // Five details of 300 leave 2970 - 100 - 1600 = 1270 < 2000: the summary moves on.
    EXPECT_EQ(r.run(5), 2);
    EXPECT_EQ(b.pages, (std::vector<int>{2}));
    EXPECT_EQ(b.hits, (std::vector<Position>{{100, 100}}));
}

TEST(RunBands, ASummaryAlignedToTheBottomLeavesRoomForThePageFooterOnlyWhenItPrints)
{
    for (bool lastFooter : {true, false}) {
        SmallReport r(300);
        r.report.Options.LastPageFooter = lastFooter;
        TBRBand &footer = r.add(TBRBandType::rbPageFooter, 200);
        TBRBand &summary = r.add(TBRBandType::rbSummary, 300);
        summary.AlignToBottom = true;
        Probe &s = r.probeIn(summary);
        Probe &f = r.probeIn(footer);
        r.run(1);
        const long long footerRoom = lastFooter ? advance(footer) : 0;
        ASSERT_EQ(s.hits.size(), 1u);
        EXPECT_EQ(s.hits[0].second, 2970 - advance(summary) - std::llround(100.0L + footerRoom))
            << lastFooter;
        EXPECT_EQ(f.hits.size(), lastFooter ? 1u : 0u);
    }
}

TEST(RunBands, AColumnHeaderStartsEveryColumnButTheFirstOnPageOneGetsItFromTheDataLoop)
{
    SmallReport r(1000, 2);
    TBRBand &header = r.add(TBRBandType::rbColumnHeader, 100);
    Probe &h = r.probeIn(header);
    r.run(5);
    // Page 1: column 1 (data loop), column 2; page 2: column 1.
    EXPECT_EQ(h.pages, (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(r.probe->hits[0].second, 100 + advance(header));
}

} // namespace
