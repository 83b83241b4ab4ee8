// The tile sheet: its page counts, where the tiles land on the recorded pages, its progress and
// run state, and the geometry its creation step gives.
#include "support/sheetfixtures.h"

#include "output/brprinter.h"
#include "platform/printer.h"
#include "platform/rounding.h"
#include "report/customreport.h"
#include "report/label.h"
#include "report/services.h"
#include "support/fakeprinter.h"
#include "testqueues.h"
#include "tilesheet/changelist.h"
#include "timetable/timetable.h"

#include <QPageSize>
#include <QPrinter>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace sheettest;
using tilesheet::TRapForm;
using tilesheet::TRapFormInputs;

namespace {

constexpr long double devicePerNative = 96.0L / 254.0L;    // recorded pages, 96 dpi
constexpr long double pixel60 = 254.0L / 96.0L * 100 / 60; // one control pixel at zoom 60

int device(long double native)
{
    return static_cast<int>(platform::roundHalfEven(native * devicePerNative));
}

// Label tops in whole control pixels (what setting pixel bounds leaves of them).
const std::map<char, int> labelTopPixels{{'F', 12}, {'L', 22}, {'K', 31}, {'R', 41}, {'P', 71}};

// Where the text of `field` ('F', 'L', 'K', 'R', 'P') of a tile at band (x, y) is drawn: the
// left-justified fields at the label's left, the right-justified ones at its right edge.
std::pair<int, int> expectedAt(char field, long double x, long double y)
{
    const bool right = field == 'L' || field == 'R';
    const int labelPixels = 40 - 2 * TRapForm::labelInsetPixels; // band 40 px wide
    const long double left = x + TRapForm::labelInsetPixels * pixel60;
    const long double textX = right ? left + labelPixels * pixel60 : left;
    return {device(textX), device(y + labelTopPixels.at(field) * pixel60)};
}

// The positions of every text of tile `n`'s fields on a page, per field letter.
std::map<char, std::vector<std::pair<int, int>>> positionsOf(const std::vector<PlacedText> &texts,
                                                             int n)
{
    std::map<char, std::vector<std::pair<int, int>>> found;
    const std::string number = std::to_string(n);
    for (const PlacedText &t : texts)
        if (t.Text.size() > 1 && t.Text.substr(1) == number && labelTopPixels.count(t.Text[0]))
            found[t.Text[0]].push_back({t.X, t.Y});
    return found;
}

int countStarting(const std::vector<PlacedText> &texts, char field)
{
    int n = 0;
    for (const PlacedText &t : texts)
        n += !t.Text.empty() && t.Text[0] == field && t.Text.size() > 1 && std::isdigit(t.Text[1]);
    return n;
}

const long double columnX[] = {120, 296, 472, 648, 824, 1000, 1176, 1352, 1528, 1704};
const long double rowY[] = {85, 550, 1015, 1480, 1945, 2410};

} // namespace

TEST(TileSheetPages, OneTileGivesOnePageWithThreeCopiesDownTheFirstColumn)
{
    Sheet sheet(1);
    ASSERT_EQ(sheet.run(), 1);
    const auto found = positionsOf(sheet.texts(1), 1);
    for (char field : {'F', 'L', 'K', 'R', 'P'}) {
        ASSERT_EQ(found.at(field).size(), 3u) << field;
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(found.at(field)[row], expectedAt(field, columnX[0], rowY[row]))
                << field << " row " << row + 1;
    }
}

TEST(TileSheetPages, TwentyTilesFillOnePageAndTheTwentyFirstBeginsTheNext)
{
    Sheet full(20);
    ASSERT_EQ(full.run(), 1);
    const std::vector<PlacedText> page = full.texts(1);
    EXPECT_EQ(countStarting(page, 'F'), 60);
    // Tile 20 is the last of the tenth column: rows 4 to 6.
    const auto last = positionsOf(page, 20);
    ASSERT_EQ(last.at('K').size(), 3u);
    for (int copy = 0; copy < 3; ++copy)
        EXPECT_EQ(last.at('K')[copy], expectedAt('K', columnX[9], rowY[3 + copy]));
    // Tile 2 stands in rows 4 to 6 of the first column.
    EXPECT_EQ(positionsOf(page, 2).at('F')[0], expectedAt('F', columnX[0], rowY[3]));

    Sheet over(21);
    ASSERT_EQ(over.run(), 2);
    const std::vector<PlacedText> second = over.texts(2);
    EXPECT_EQ(countStarting(second, 'F'), 3);
    const auto tile21 = positionsOf(second, 21);
    ASSERT_EQ(tile21.at('R').size(), 3u);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(tile21.at('R')[row], expectedAt('R', columnX[0], rowY[row]));
}

TEST(TileSheetPages, EachNameOfASharedSheetBeginsAtTheTopOfANewColumn)
{
    // Names of 1, 2, 2 and 2 tiles: a name that ends a column exactly leaves no empty column.
    Sheet shared(7, {.NameStarts = {0, 1, 3, 5}});
    ASSERT_EQ(shared.run(), 1);
    const std::vector<PlacedText> page = shared.texts(1);
    const std::pair<int, int> at[] = {{0, 0}, {1, 0}, {1, 3}, {2, 0}, {2, 3}, {3, 0}, {3, 3}};
    for (int n = 1; n <= 7; ++n) {
        const auto [column, row] = at[n - 1];
        const auto found = positionsOf(page, n).at('F');
        ASSERT_EQ(found.size(), 3u) << "tile " << n;
        EXPECT_EQ(found[0], expectedAt('F', columnX[column], rowY[row])) << "tile " << n;
        EXPECT_EQ(found[2], expectedAt('F', columnX[column], rowY[row + 2])) << "tile " << n;
    }

    // A name that would begin in the middle of the tenth column begins the next page.
    Sheet turn(20, {.NameStarts = {0, 19}});
    ASSERT_EQ(turn.run(), 2);
    EXPECT_EQ(countStarting(turn.texts(1), 'F'), 57);
    EXPECT_EQ(positionsOf(turn.texts(2), 20).at('F')[0], expectedAt('F', columnX[0], rowY[0]));
}

TEST(TileSheetPages, SixtyTilesGiveThreePagesAndNoEmptyFourth)
{
    Sheet sheet(60);
    EXPECT_EQ(sheet.run(), 3);
    EXPECT_EQ(countStarting(sheet.texts(3), 'P'), 60);
}

TEST(TileSheetPages, TheMakerAndFileNameLabelsStandOnEveryPage)
{
    Sheet sheet(21, {.FileName = "C:\\Skema\\eksport.csv"});
    ASSERT_EQ(sheet.run(), 2);
    for (int page = 1; page <= 2; ++page) {
        const std::vector<PlacedText> texts = sheet.texts(page);
        int fileLabels = 0;
        int makerX = -1;
        for (const PlacedText &t : texts) {
            if (t.Text == "C:\\Skema\\eksport.csv") {
                ++fileLabels;
                EXPECT_EQ(t.X, device(123.47L));
                EXPECT_EQ(t.Y, device(2897.19L));
            }
            if (t.Text.rfind("K ", 0) == 0)
                makerX = t.X;
        }
        EXPECT_EQ(fileLabels, 1) << "page " << page;
        // Right of the tenth column, which ends at 1704 + 176.389.
        EXPECT_EQ(makerX, device(1989.67L)) << "page " << page;
        EXPECT_GT(makerX, device(1704 + 176.389L));
    }
}

TEST(TileSheetPages, TheSideLabelReadsTheMakerOneLetterALineFromTopToBottom)
{
    Sheet sheet(1);
    ASSERT_EQ(sheet.run(), 1);
    std::vector<std::pair<int, std::string>> side; // top, text
    for (const PlacedText &t : sheet.texts(1))
        if (t.X == device(1989.67L))
            side.emplace_back(t.Y, t.Text);
    std::sort(side.begin(), side.end());
    std::string letters;
    for (std::size_t i = 0; i < side.size(); ++i) {
        std::string text = side[i].second;
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        EXPECT_EQ(text.size(), 1u) << "line " << i << " reads \"" << side[i].second << "\"";
        letters += text;
        if (i > 0)
            EXPECT_GT(side[i].first, side[i - 1].first);
    }
    EXPECT_EQ(letters, "KVADRIX");
}

TEST(TileSheetPages, AnEmptyFieldPrintsNoText)
{
    Sheet sheet(1);
    sheet.tiles[0].Fag.clear();
    ASSERT_EQ(sheet.run(), 1);
    const std::vector<PlacedText> texts = sheet.texts(1);
    EXPECT_EQ(countStarting(texts, 'F'), 0);
    EXPECT_EQ(countStarting(texts, 'L'), 3);
}

TEST(TileSheetRun, ProgressGoesByTileAndEndsAt100)
{
    for (auto [tiles, expected] : std::vector<std::pair<int, std::vector<int>>>{
             {1, {0, 0, 0, 100}}, {4, {0, 0, 0, 25, 25, 25, 50, 50, 50, 75, 75, 75, 100}}}) {
        Sheet sheet(tiles);
        std::vector<int> progress;
        const report::TBROnNeedDataEvent handler = sheet.form->BRBrikker.OnNeedData;
        sheet.form->BRBrikker.OnNeedData = [&](report::TCustomBandReport &s, bool &more) {
            handler(s, more);
            progress.push_back(s.PageOutput()->Progress());
        };
        sheet.run();
        EXPECT_EQ(progress, expected) << tiles << " tiles";
        EXPECT_EQ(sheet.form->BrikIndex, tiles);
        EXPECT_EQ(sheet.form->CopyCounter, 1);
    }
}

TEST(TileSheetRun, AnEmptyPrintListGivesNoPage)
{
    Sheet sheet(0);
    EXPECT_EQ(sheet.run(), 0);
    EXPECT_EQ(sheet.form->BrikIndex, 0);
    EXPECT_EQ(sheet.form->CopyCounter, 1);
}

TEST(TileSheetRun, EveryRunStartsFromTheFirstTileAndGivesTheSamePages)
{
    Sheet sheet(25, {.CutFrames = true, .FileName = "skema.csv"});
    ASSERT_EQ(sheet.run(), 2);
    auto first1 = sheet.form->BRBrikker.PageOutput()->GetPage(1);
    auto first2 = sheet.form->BRBrikker.PageOutput()->GetPage(2);
    ASSERT_EQ(sheet.run(), 2);
    auto second1 = sheet.form->BRBrikker.PageOutput()->GetPage(1);
    auto second2 = sheet.form->BRBrikker.PageOutput()->GetPage(2);
    EXPECT_TRUE(*first1 == *second1);
    EXPECT_TRUE(*first2 == *second2);
}

TEST(TileSheetGeometry, TheBandIsASixthOfTheHeightBetweenTheMarginsLessAFraction)
{
    // The sheet is A4 also where the default printer's paper is Letter.
    testsupport::FakePrinter letter{{.defaultPaper = 1}};
    const report::TBRServicesScope services{{.PrinterDevice = [&letter] { return &letter; }}};
    Sheet sheet(0);
    EXPECT_EQ(sheet.form->BRBrikker.Page.PaperSize(), report::TBRPaperSize::A4);
    sheet.form->BRBrikker.SetUnits(report::TBRUnit::MM);
    EXPECT_NEAR(static_cast<double>(sheet.form->BrikDetail.Size.Height()), 46.5333, 5e-5);
    EXPECT_EQ(sheet.form->BRBrikker.Page.Columns(), 10);
    EXPECT_NEAR(static_cast<double>(sheet.form->BRBrikker.Page.RightMargin()), 20.0, 1e-9);

    TRapFormInputs margins;
    margins.TopMargin = 20.0L;
    margins.BottomMargin = 20.0L;
    Sheet tall(20, margins);
    tall.form->BRBrikker.SetUnits(report::TBRUnit::MM);
    EXPECT_NEAR(static_cast<double>(tall.form->BrikDetail.Size.Height()), 42.7833, 5e-5);
    // Six rows of round(427.833) = 428 still fill each column: 20 tiles, one page.
    ASSERT_EQ(tall.run(), 1);
    const auto last = positionsOf(tall.texts(1), 20);
    EXPECT_EQ(last.at('F')[2], expectedAt('F', columnX[9], 200 + 5 * 428));
}

// The print settings dialog: accepted with the sheet's own paper and orientation, it leaves
// the band exactly as it was (placing it again would round it up to a whole pixel, and six rows
// of 46.74 mm no longer fit); another orientation sizes six rows for that page.
TEST(TileSheetGeometry, ThePrintSettingsKeepAnUnchangedPageAndSizeSixRowsForAnother)
{
    Sheet sheet(20);
    report::TBandReport &rep = sheet.form->BRBrikker;
    const std::vector<long double> band = sheet.form->BrikDetail.Size.Values();
    QPrinter chosen(QPrinter::HighResolution);
    chosen.setPageSize(QPageSize(QPageSize::Letter)); // as a queue with Letter paper opens
    int minPage = 0, maxPage = 0;
    rep.PreparePrintDialog(chosen, minPage, maxPage);
    EXPECT_EQ(chosen.pageLayout().pageSize().id(), QPageSize::A4) << "the dialog offers A4";
    EXPECT_FALSE(rep.TakePrinterSetup(&chosen, nullptr));
    EXPECT_EQ(sheet.form->BrikDetail.Size.Values(), band) << "not a fraction moved";
    EXPECT_EQ(sheet.run(), 1) << "20 tiles of six rows: one page";

    chosen.setPageOrientation(QPageLayout::Landscape);
    EXPECT_TRUE(rep.TakePrinterSetup(&chosen, nullptr));
    rep.SetUnits(report::TBRUnit::MM);
    EXPECT_EQ(rep.Page.Orientation(), report::TBROrientation::poLandscape);
    EXPECT_NEAR(static_cast<double>(sheet.form->BrikDetail.Size.Height()),
                (210.0 - 8.5 - 9.0) / 6 - 0.05, 5e-5);
    EXPECT_EQ(sheet.run(), 1) << "six rows fit the landscape page too";
    chosen.setPageOrientation(QPageLayout::Portrait);
    EXPECT_TRUE(rep.TakePrinterSetup(&chosen, nullptr));
    EXPECT_NEAR(static_cast<double>(sheet.form->BrikDetail.Size.Height()), 46.5333, 5e-5);
}

// Margins make up for one printer's paper feed: the print settings choosing another printer
// make the sheet again with the margins kept for it, and choosing the first one again with its.
TEST(TileSheetGeometry, AnotherPrinterInThePrintSettingsTakesTheMarginsKeptForIt)
{
    const std::vector<std::string> queues = platform::TPrinter::Printers();
    const std::string standard = platform::TPrinter::StandardPrinterName();
    const auto other = std::find_if(queues.begin(), queues.end(), [&standard](const auto &q) {
        return q != standard && q != "tavle-letter"; // one of A4 paper, as the sheet's
    });
    if (standard.empty() || other == queues.end())
        GTEST_SKIP() << "fewer than two A4 printers installed " << testqueues::kSetUpHint;
    const tilesheet::Margins kept{6.3, 10.3, 9.0, 20.0};
    std::vector<std::string> asked;
    TRapFormInputs inputs;
    inputs.MarginsForPrinter = [&](const std::string &printer) {
        asked.push_back(printer);
        return printer == *other ? kept : tilesheet::kStandardMargins;
    };
    Sheet sheet(20, inputs);
    report::TBandReport &rep = sheet.form->BRBrikker;
    QPrinter chosen(QPrinter::HighResolution);
    int minPage = 0, maxPage = 0;
    rep.PreparePrintDialog(chosen, minPage, maxPage);
    chosen.setPrinterName(QString::fromStdString(standard));
    EXPECT_FALSE(rep.TakePrinterSetup(&chosen, nullptr)) << "the printer the sheet was made for";
    EXPECT_TRUE(asked.empty());

    chosen.setPrinterName(QString::fromStdString(*other));
    chosen.setPageSize(QPageSize(QPageSize::A4));
    EXPECT_TRUE(rep.TakePrinterSetup(&chosen, nullptr));
    EXPECT_EQ(asked, std::vector<std::string>{*other});
    rep.SetUnits(report::TBRUnit::MM);
    EXPECT_NEAR(static_cast<double>(rep.Page.TopMargin()), 6.3, 1e-9);
    EXPECT_NEAR(static_cast<double>(rep.Page.LeftMargin()), 10.3, 1e-9);
    EXPECT_NEAR(static_cast<double>(sheet.form->BrikDetail.Size.Height()),
                (297.0 - 6.3 - 9.0) / 6 - 0.05, 5e-5);
    ASSERT_EQ(sheet.run(), 1) << "six rows still fill each column";
    // The first tile 2.2 mm higher and 1.7 mm further left than with the standard margins.
    const auto first = positionsOf(sheet.texts(1), 1).at('F')[0];
    EXPECT_EQ(first, expectedAt('F', 103, 63));

    chosen.setPrinterName(QString::fromStdString(standard));
    chosen.setPageSize(QPageSize(QPageSize::A4));
    EXPECT_TRUE(rep.TakePrinterSetup(&chosen, nullptr));
    rep.SetUnits(report::TBRUnit::MM);
    EXPECT_NEAR(static_cast<double>(rep.Page.TopMargin()), 8.5, 1e-9);
}

TEST(TileSheetGeometry, TheBandLabelsTakeTheirHandlersBoundsAtCreation)
{
    Sheet sheet(0);
    for (report::TBRLabel *label :
         {&sheet.form->LblFag1, &sheet.form->LblLaerer1, &sheet.form->LblKlasse1,
          &sheet.form->LblLokale1, &sheet.form->LblPeriode1}) {
        EXPECT_EQ(label->Left(), 6);
        EXPECT_EQ(label->Width(), 28);
    }
    EXPECT_EQ(sheet.form->LblLaerer1.Top(), 22);
    EXPECT_NEAR(
        static_cast<double>(sheet.form->LblLaerer1.Size.Native(report::TBRPrintableSize::TopIndex)),
        97.014, 5e-4);
}

TEST(TileSheetCutFrames, EveryTileGetsARightAndBottomLineAndThePageTheTopAndLeft)
{
    Sheet plain(1);
    ASSERT_EQ(plain.run(), 1);
    EXPECT_TRUE(blackFills(*plain.form->BRBrikker.PageOutput()->GetPage(1)).empty());

    TRapFormInputs cutFrames;
    cutFrames.CutFrames = true;
    Sheet cut(1, cutFrames);
    ASSERT_EQ(cut.run(), 1);
    const std::vector<platform::TRect> fills =
        blackFills(*cut.form->BRBrikker.PageOutput()->GetPage(1));
    ASSERT_EQ(fills.size(), 8u); // three tiles of two lines, then the page frame's two
    const int right = device(120 + 176.3889L);
    for (int copy = 0; copy < 3; ++copy) {
        const platform::TRect &r = fills[2 * copy];     // bottom line
        const platform::TRect &l = fills[2 * copy + 1]; // right line
        const int bottom = device(rowY[copy] + 465.3333L + 1);
        EXPECT_EQ(r.Bottom, bottom) << copy;
        EXPECT_EQ(r.Top, bottom - 1) << copy;
        EXPECT_EQ(r.Left, device(120)) << copy;
        EXPECT_EQ(l.Right, right) << copy;
        EXPECT_EQ(l.Left, right - 1) << copy;
        EXPECT_EQ(l.Top, device(rowY[copy])) << copy;
    }
    // The report frame: top along y = 85 from x = 120 to 1900, left down to 2880.
    EXPECT_EQ(fills[6], (platform::TRect{device(120), device(85), device(1900), device(85) + 1}));
    EXPECT_EQ(fills[7], (platform::TRect{device(120), device(85), device(120) + 1, device(2880)}));
}

namespace {

std::unique_ptr<timetable::Timetable> exportOf(const std::vector<std::string> &lines)
{
    auto table = std::make_unique<timetable::Timetable>();
    std::string content =
        "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;PERIODEBETEGNELSE\n";
    for (const std::string &line : lines)
        content += line + "\n";
    table->LoadBrikkerFromBytes(content);
    return table;
}

// The texts of a page from top to bottom, those of one line joined by a blank.
std::vector<std::string> linesOf(const std::vector<PlacedText> &texts)
{
    std::map<int, std::map<int, std::string>> rows;
    for (const PlacedText &t : texts)
        rows[t.Y][t.X] = t.Text;
    std::vector<std::string> out;
    for (const auto &[y, row] : rows) {
        std::string line;
        for (const auto &[x, text] : row)
            line += (line.empty() ? "" : " ") + text;
        out.push_back(line);
    }
    return out;
}

// The lines of a change list's page, column by column: the left column, with the page's
// centred footer, then the right one, which begins 108 mm from the paper's left edge.
std::vector<std::vector<std::string>> columnsOf(const std::vector<PlacedText> &texts)
{
    const int middle = device(1080);
    std::vector<PlacedText> left, right;
    for (const PlacedText &t : texts)
        (t.X < middle ? left : right).push_back(t);
    return {linesOf(left), linesOf(right)};
}

// A change list of `diff`'s names in teacher mode, run into a recording page output.
struct ChangeListRun {
    ChangeListRun(const timetable::TileDiff &diff, std::vector<std::string> names)
        : list({.Diff = &diff,
                .Names = std::move(names),
                .Mode = timetable::SelectionMode::Teachers,
                .EarlierFileName = "gammel.csv",
                .FileName = "ny.csv"})
    {
        list.Report().SetPageOutput(nullptr);
        list.Report().RunReport();
    }
    int pages() { return list.Report().PageOutput()->PageList().PageCount(); }

    platform::ScreenResolutionOverride screen{96};
    tilesheet::TChangeList list;
};

// The page header's lines in a column: the left column carries the title, the two file names
// and the note; both carry the field titles.
constexpr std::size_t leftHeaderLines = 5;
constexpr std::size_t rightHeaderLines = 1;

} // namespace

TEST(ChangeList, EachNameHasItsHeadingThenTheTilesToTakeDownAndTheNewOnes)
{
    std::vector<std::string> before{"AB;1a;da;A1;p1", "CD;2b;ma;B1;p2"};
    std::vector<std::string> after{"AB;1a;da;A2;p1", "CD;2b;ma;B1;p2"};
    for (int i = 0; i < 150; ++i) // EF leaves: enough lines for a second page
        before.push_back("EF;3c;fy;C" + std::to_string(i) + ";p3");
    const auto earlier = exportOf(before);
    const auto current = exportOf(after);
    const auto diff =
        timetable::CompareTiles(*earlier, *current, timetable::SelectionMode::Teachers);
    ChangeListRun run(diff, {"AB", "CD", "EF"});
    report::TBandReport &r = run.list.Report();
    EXPECT_EQ(r.ReportTitle, "\xC6ndringsliste");
    ASSERT_EQ(run.pages(), 2);

    const auto first = columnsOf(pageTexts(r, 1));
    const std::vector<std::string> top(first[0].begin(), first[0].begin() + 11);
    EXPECT_EQ(top, (std::vector<std::string>{
                       "\xC6ndringsliste", "Tidligere fil: gammel.csv", "Ny fil: ny.csv",
                       "Hver linje er tre brikker: de tre kopier af \xE9n lektion.",
                       "Fag Klasse Lokale Periode", "AB", "Tages ned: da 1a A1 p1",
                       "Nye brikker: da 1a A2 p1", "EF", "Tages ned: fy 3c C0 p3", "fy 3c C1 p3"}))
        << "CD has no change; EF's tiles in the listing's order";
    EXPECT_EQ(first[0].back(), "Side 1");
    EXPECT_EQ(first[1].front(), "Fag Klasse Lokale Periode") << "each column has its titles";
    const auto second = columnsOf(pageTexts(r, 2));
    EXPECT_EQ(second[0].front(), "\xC6ndringsliste");
    EXPECT_EQ(second[0].back(), "Side 2");
}

TEST(ChangeList, ANameGoingOnInAnotherColumnOrPageOpensItWithTheNameFortsatAndTheSectionWord)
{
    std::vector<std::string> before{"AB;1a;da;A1;p1"}, after;
    for (int i = 0; i < 100; ++i) { // 100 tiles down and 100 new: four columns, two pages
        before.push_back("BB;2b;ma;B" + std::to_string(i) + ";p2");
        after.push_back("BB;2b;ma;N" + std::to_string(i) + ";p2");
    }
    const auto earlier = exportOf(before);
    const auto current = exportOf(after);
    const auto diff =
        timetable::CompareTiles(*earlier, *current, timetable::SelectionMode::Teachers);
    ChangeListRun run(diff, {"AB", "BB"});
    ASSERT_EQ(run.pages(), 3);
    int continued = 0;
    for (int page = 1; page <= run.pages(); ++page) {
        const auto columns = columnsOf(pageTexts(run.list.Report(), page));
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::size_t headerLines = c == 0 ? leftHeaderLines : rightHeaderLines;
            const std::vector<std::string> &lines = columns[c];
            if (lines.size() <= headerLines + 1)
                continue; // the right column of the last page may hold nothing
            const std::string &opening = lines[headerLines];
            if (page == 1 && c == 0) {
                EXPECT_EQ(opening, "AB");
                continue;
            }
            ++continued;
            EXPECT_EQ(opening, "BB (fortsat)") << "page " << page << " column " << c;
            const std::string &tile = lines[headerLines + 1];
            EXPECT_TRUE(tile.starts_with("Tages ned: ma 2b B") ||
                        tile.starts_with("Nye brikker: ma 2b N"))
                << "page " << page << " column " << c << ": " << tile;
        }
    }
    EXPECT_GE(continued, 4);
}

TEST(ChangeList, APageHoldsTwoColumnsOfLinesAtNinePointsOrMore)
{
    std::vector<std::string> before;
    for (int i = 0; i < 180; ++i)
        before.push_back("AB;1a;da;A" + std::to_string(i) + ";p1");
    const auto earlier = exportOf(before);
    const auto current = exportOf({"CD;2b;ma;B1;p2"});
    const auto diff =
        timetable::CompareTiles(*earlier, *current, timetable::SelectionMode::Teachers);
    ChangeListRun run(diff, {"AB"});
    EXPECT_EQ(run.pages(), 2) << "one column of 5.5 mm lines took five pages";
    for (const report::TBRPrintable *control : run.list.Report().AllControls()) {
        if (const auto *text = dynamic_cast<const report::TBRCustomLabel *>(control)) {
            EXPECT_GE(text->FontSize, 9) << text->Caption();
        }
    }
}
