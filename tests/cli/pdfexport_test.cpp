// "PDF document" through tavleprint, read back by poppler: the paper, the page count and every
// tile text at the sheet's geometry on every page.
#include "support/exportfixture.h"

#include "platform/cp1252.h"
#include "support/systemfiles.h"

#include <gtest/gtest.h>

using namespace sheetcheck;

namespace {
constexpr double kTolerance = 0.2; // mm
} // namespace

TEST(PdfExport, EveryTileTextOfEveryPageLandsWhereTheSheetPutsIt)
{
    TAVLE_SKIP_WITHOUT_PDF_TOOLS();
    ExportedSheets sheets;
    const std::string pdf = sheets.path("all.pdf");
    const Outcome made =
        tavleprint({"sheets", "--teachers", sheets.exportPath, "--pdf", pdf, "--cut-frames"});
    ASSERT_EQ(made.code, 0) << made.err;
    const QString file = QString::fromStdString(pdf);
    EXPECT_EQ(pdfPageCount(file), 3) << "two pages for \xC3\x85"
                                        "B, one for \xC3\x98J";
    EXPECT_TRUE(pdfPageSize(file).startsWith(QStringLiteral("595")))
        << pdfPageSize(file).toStdString();
    EXPECT_TRUE(pdfPageSize(file).contains(QStringLiteral("x 841.")) ||
                pdfPageSize(file).contains(QStringLiteral("x 842")))
        << pdfPageSize(file).toStdString();

    const auto expected = sheets.expected({sheets.firstCp1252, sheets.secondCp1252});
    const auto words = pdfWords(file);
    ASSERT_EQ(words.size(), expected.size());
    int checked = 0, withBlanks = 0;
    for (std::size_t page = 0; page < expected.size(); ++page) {
        for (const Placed &text : expected[page]) {
            EXPECT_TRUE(findText(words[page], text, kTolerance))
                << "page " << page + 1 << ": \"" << platform::cp1252ToUtf8(text.text)
                << "\" not within " << kTolerance << " mm of (" << text.x << ", " << text.y << ")";
            ++checked;
            withBlanks += text.text.find(' ') != std::string::npos;
        }
    }
    EXPECT_EQ(checked, (25 + 1) * 3 * 5);
    EXPECT_GT(withBlanks, 200);
}
