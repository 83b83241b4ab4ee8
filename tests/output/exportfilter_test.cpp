// Export filters as the page output drives them, the filter library, and the grid the Excel
// filter lays a page's texts out in.
#include "output/brprinter.h"
#include "output/export/exportfilterlibrary.h"
#include "output/export/htmldocumentfilter.h"
#include "output/export/pagegrid.h"
#include "output/export/pdfdocumentfilter.h"
#include "output/export/xlsfilter.h"
#include "platform/cp1252.h"
#include "platform/recordingcanvas.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace output;

namespace {

// Drives `filter` through one page output run of `pages` pages with one text each.
void runInto(TBRExportFilter &filter, int pages, bool abort = false)
{
    TBRPrinter printer({}, &filter);
    printer.Destination = TBRPrinter::TDestination::Printer;
    printer.StartJob();
    for (int n = 1; n <= pages; ++n) {
        printer.NewPage();
        // Measured on the page canvas, text must come out in the filter's own pixels.
        EXPECT_EQ(printer.PageCanvas()->pixelsPerInchY(), filter.PixelsPerInchY());
        EXPECT_EQ(printer.VerticalFactor, filter.PixelsPerInchY() / 254.0L);
        printer.PageCanvas()->textOut(100, 100, "Side " + std::to_string(n));
    }
    if (abort)
        printer.AbortJob();
    else
        printer.FinishJob();
}

struct Kind {
    const char *name;
    std::function<std::unique_ptr<TBRExportFilter>(const std::filesystem::path &)> make;
};
void PrintTo(const Kind &kind, std::ostream *os) { *os << kind.name; }

class EveryFilter : public ::testing::TestWithParam<Kind> {
protected:
    QTemporaryDir dir;
    std::filesystem::path file = dir.filePath(QStringLiteral("out")).toStdString();
};

} // namespace

TEST_P(EveryFilter, TwoRunsAndFinishMakeOneFile)
{
    auto filter = GetParam().make(file);
    runInto(*filter, 2);
    runInto(*filter, 1);
    EXPECT_FALSE(filter->Finished());
    filter->Finish();
    EXPECT_TRUE(filter->Finished());
    EXPECT_GT(std::filesystem::file_size(file), 0u);
}

TEST_P(EveryFilter, AnAbortedRunOrAnUnfinishedFilterLeavesNoFile)
{
    {
        auto filter = GetParam().make(file);
        runInto(*filter, 1);
        runInto(*filter, 2, true);
        filter->Finish();
        EXPECT_FALSE(filter->Finished());
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    {
        auto filter = GetParam().make(file);
        runInto(*filter, 2);
    }
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_P(EveryFilter, AnUnwritableFileIsAFailure)
{
    auto filter = GetParam().make("/nonexistent/dir/out");
    EXPECT_ANY_THROW({
        runInto(*filter, 1);
        filter->Finish();
    });
}

INSTANTIATE_TEST_SUITE_P(
    Filters, EveryFilter,
    ::testing::Values(
        Kind{"Pdf", [](const auto &f) { return std::make_unique<TBRPDFDocumentFilter>(f); }},
        Kind{"Xlsx", [](const auto &f) { return std::make_unique<TBRXLSFilter>(f); }},
        Kind{"Html", [](const auto &f) { return std::make_unique<TBRGHTMLDocumentFilter>(f); }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ExportFilterLibrary, ListsFiltersInJoiningOrderOncePerClassAndRemovesByName)
{
    TBRExportFilterLibrary library;
    {
        std::vector<std::unique_ptr<TBRExportFilterRegistration>> components;
        for (const TBRExportFilterLibraryEntry &entry : StandardExportFilters())
            components.push_back(std::make_unique<TBRExportFilterRegistration>(library, entry));
        library.Add({"TBRXLSFilter", "Excel igen", "XLS", nullptr});
        std::string dialogFilter = "Rapportfiler(*.BRP)|*.BRP";
        for (const TBRExportFilterLibraryEntry &e : library.Entries())
            dialogFilter += "|" + e.Name + " (*." + e.Extension + ")|*." + e.Extension;
        EXPECT_EQ(dialogFilter, "Rapportfiler(*.BRP)|*.BRP|PDF document (*.PDF)|*.PDF|Excel "
                                "regneark (*.XLSX)|*.XLSX|HTML dokument (*.HTM)|*.HTM");
        const auto made = library.Entries()[2].Create("x.htm");
        EXPECT_NE(dynamic_cast<TBRGHTMLDocumentFilter *>(made.get()), nullptr);
        EXPECT_EQ(made->FileName(), "x.htm");

        library.Remove("Excel regneark");
        ASSERT_EQ(library.Entries().size(), 2u);
        EXPECT_EQ(library.Entries()[1].ClassName, "TBRGHTMLDocumentFilter");
        library.Remove("no such filter");
        EXPECT_EQ(library.Entries().size(), 2u);
    }
    EXPECT_TRUE(library.Entries().empty()) << "the components took their filters with them";
}

TEST(HtmlDocumentFilter, EscapesMarkupAndWritesUtf8)
{
    EXPECT_EQ(
        TBRGHTMLDocumentFilter::EscapeText("<script>alert(1)</script> &amp; \"'\xE6\xF8\xE5"),
        "&lt;script&gt;alert(1)&lt;/script&gt; &amp;amp; &quot;&#39;\xC3\xA6\xC3\xB8\xC3\xA5");
}

// ---- The grid of a page ----

namespace {

constexpr int gridDpi = 600;

// A label as the report draws it: its background box, then its text.
void label(platform::RecordingCanvas &c, platform::TRect box, int x, const std::string &text,
           platform::TTextAlign align = platform::TTextAlign::Left, unsigned style = 0)
{
    c.setBrush({platform::clWhite, platform::TBrushStyle::bsSolid});
    c.fillRect(box);
    c.setFont({"Arial", 9, style, platform::clBlack});
    c.textOut(x, box.Top, text, align);
}

// Two columns of tiles, 400 pixels wide at 0 and 500, a text left and one right in each.
void tiles(platform::RecordingCanvas &c, int columns, int rows)
{
    for (int col = 0; col < columns; ++col)
        for (int row = 0; row < rows; ++row) {
            const int x = col * 500, y = row * 1000;
            label(c, {x, y, x + 400, y + 100}, x, "F" + std::to_string(col) + std::to_string(row));
            label(c, {x, y + 200, x + 400, y + 300}, x + 400, "L", platform::TTextAlign::Right);
        }
}

std::vector<std::vector<std::string>> cells(const TBRPageGrid &grid)
{
    std::vector<std::vector<std::string>> rows;
    for (const TBRGridRow &row : grid.Rows) {
        rows.emplace_back();
        for (const TBRGridCell &cell : row.Cells) {
            rows.back().resize(static_cast<std::size_t>(cell.Column) + 1);
            rows.back()[static_cast<std::size_t>(cell.Column)] = cell.Text;
        }
    }
    return rows;
}

} // namespace

TEST(PageGrid, TextsOfALineShareARowAndTextsOfABoxColumnShareAColumn)
{
    platform::RecordingCanvas page(gridDpi, gridDpi);
    tiles(page, 2, 2);
    std::vector<TBRGridColumn> columns;
    const TBRPageGrid grid = BuildPageGrid(page.ops(), gridDpi, columns);
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(cells(grid), (Rows{{"F00", "F10"}, {"L", "L"}, {"F01", "F11"}, {"L", "L"}}));
    ASSERT_EQ(grid.ColumnWidthsMM.size(), 2u);
    EXPECT_NEAR(grid.ColumnWidthsMM[0], 500 * 25.4 / gridDpi, 0.01) << "box and gap";
}

TEST(PageGrid, AFooterLineAcrossColumnsJoinsTheColumnItStartsIn)
{
    platform::RecordingCanvas page(gridDpi, gridDpi);
    tiles(page, 3, 1);
    label(page, {100, 5000, 1300, 5100}, 100, "C:\\skema.csv");
    label(page, {2000, 400, 2040, 500}, 2000, "K");
    std::vector<TBRGridColumn> columns;
    const TBRPageGrid grid = BuildPageGrid(page.ops(), gridDpi, columns);
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(cells(grid),
              (Rows{{"F00", "F10", "F20"}, {"L", "L", "L"}, {"", "", "", "K"}, {"C:\\skema.csv"}}));
    EXPECT_EQ(columns.size(), 4u);
}

TEST(PageGrid, ColumnsCarryOverToAPageWithFewerColumns)
{
    std::vector<TBRGridColumn> columns;
    platform::RecordingCanvas full(gridDpi, gridDpi), partial(gridDpi, gridDpi);
    tiles(full, 3, 1);
    label(full, {2000, 0, 2040, 100}, 2000, "K");
    BuildPageGrid(full.ops(), gridDpi, columns);
    tiles(partial, 1, 1);
    label(partial, {2000, 0, 2040, 100}, 2000, "K");
    const TBRPageGrid grid = BuildPageGrid(partial.ops(), gridDpi, columns);
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(cells(grid), (Rows{{"F00", "", "", "K"}, {"L"}}));
}

TEST(PageGrid, BoldTextsMakeBoldCellsAndTextsSharingACellJoinWithABlank)
{
    platform::RecordingCanvas page(gridDpi, gridDpi);
    label(page, {0, 0, 1000, 100}, 0, "Uge");
    page.setFont({"Arial", 11, platform::fsBold, platform::clBlack});
    page.textOut(600, 0, "7");
    // Centred right of "7" but starting left of it: a text's place is its left edge as the
    // canvases draw it.
    page.setFont({"Arial", 9, 0, platform::clBlack});
    page.textOut(620, 0, "(lige)", platform::TTextAlign::Center);
    std::vector<TBRGridColumn> columns;
    const TBRPageGrid grid = BuildPageGrid(page.ops(), gridDpi, columns);
    ASSERT_EQ(grid.Rows.size(), 1u);
    ASSERT_EQ(grid.Rows[0].Cells.size(), 1u);
    EXPECT_EQ(grid.Rows[0].Cells[0].Text, "Uge (lige) 7");
    EXPECT_TRUE(grid.Rows[0].Cells[0].Bold);
    EXPECT_EQ(grid.Rows[0].Cells[0].Size, 9);
}
