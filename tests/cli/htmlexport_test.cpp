// "HTML dokument" through tavleprint, printed by a real browser (Chromium, headless) and read
// back by poppler: the same pages as the PDF document with every tile text where the PDF has
// it, each text's left edge (left, right or centred) where the PDF has it, and texts that look
// like markup printed as the characters they are.
#include "support/exportfixture.h"

#include "output/brprinter.h"
#include "output/export/htmldocumentfilter.h"
#include "output/export/pdfdocumentfilter.h"
#include "platform/cp1252.h"
#include "platform/fontmetrics.h"
#include "platform/textrun.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace sheetcheck;

namespace {

constexpr double kPdfTolerance = 0.2;  // mm, the PDF document against the sheet's geometry
constexpr double kHtmlTolerance = 0.5; // mm, the browser's print against the PDF document
// mm, a text's left edge in the browser's print against the PDF document: the filters place it
// alike, the PDF's pixels and the browser's rounding apart.
constexpr double kLeftEdgeTolerance = 0.1;

// Chromium prints `html` into `pdf`; false when it could not.
bool printInBrowser(const QString &chromium, const QString &html, const QString &pdf,
                    const QString &profile)
{
    return run(chromium,
               {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                QStringLiteral("--disable-gpu"), QStringLiteral("--no-pdf-header-footer"),
                QStringLiteral("--user-data-dir=") + profile,
                QStringLiteral("--print-to-pdf=") + pdf, QStringLiteral("file://") + html},
               300) == 0 &&
           QFile::exists(pdf);
}

QString browser()
{
    QString path = installed(QStringLiteral("chromium"));
    return path.isEmpty() ? installed(QStringLiteral("chromium-browser")) : path;
}

// A word drawn on a filter's page: its left edge by the canvases' rule and its top, in mm.
struct Edge {
    QString text;
    double left, top;
};

// Draws one page of words in two sizes and weights into `filter`, each left of, centred on and
// right of one point, and tells where the canvases' rule puts each word on the filter's pixels.
std::vector<Edge> drawAlignedTexts(output::TBRExportFilter &filter)
{
    output::TBRPrinter printer({}, &filter);
    printer.Destination = output::TBRPrinter::TDestination::Printer;
    printer.StartJob();
    printer.NewPage();
    platform::Canvas &canvas = *printer.PageCanvas();
    const int inch = canvas.pixelsPerInchY();
    const double mmPerPixel = 25.4 / inch;
    std::vector<Edge> edges;
    int y = inch;
    for (const unsigned style : {0u, unsigned{platform::fsBold}})
        for (const int size : {9, 14})
            for (const auto &[text, align] :
                 {std::pair{"Venstre", platform::TTextAlign::Left},
                  std::pair{"Midten", platform::TTextAlign::Center},
                  std::pair{"H\xF8jre", platform::TTextAlign::Right},
                  std::pair{"Tavleplanl\xE6gning", platform::TTextAlign::Center}}) {
                const platform::TFont font{"Arial", size, style, platform::clBlack};
                canvas.setFont(font);
                canvas.textOut(4 * inch, y, text, align);
                const platform::FontMetrics &metrics = platform::fontMetrics(font, inch);
                const QPointF topLeft =
                    platform::placeRun(QPointF(4 * inch, y), metrics.width(text), metrics, align);
                edges.push_back({platform::toQString(text), topLeft.x() * mmPerPixel,
                                 topLeft.y() * mmPerPixel});
                y += inch / 2;
            }
    printer.FinishJob();
    filter.Finish();
    return edges;
}

// Each of `edges` among `words` with its left edge within kLeftEdgeTolerance.
void expectLeftEdges(const std::vector<Edge> &edges, const std::vector<Word> &words,
                     const char *where)
{
    // pdftotext's top of a word is the font's, a little above the text's box.
    constexpr double lineTolerance = 3; // mm
    for (const Edge &edge : edges) {
        const auto word = std::find_if(words.begin(), words.end(), [&](const Word &w) {
            return w.text == edge.text && std::abs(w.yMin - edge.top) <= lineTolerance;
        });
        ASSERT_NE(word, words.end()) << where << ": " << edge.text.toStdString();
        EXPECT_NEAR(word->xMin, edge.left, kLeftEdgeTolerance)
            << where << ": " << edge.text.toStdString() << " at " << edge.top << " mm";
    }
}

} // namespace

TEST(HtmlExport, ABrowserPrintsEveryTileTextWhereThePdfDocumentHasIt)
{
    const QString chromium = browser();
    if (chromium.isEmpty())
        GTEST_SKIP() << "needs a browser to print the page (Debian package chromium)";
    ExportedSheets sheets;
    const std::string pdf = sheets.path("all.pdf"), html = sheets.path("all.htm");
    for (const auto &[option, file] : {std::pair{"--pdf", pdf}, std::pair{"--html", html}}) {
        const Outcome made =
            tavleprint({"sheets", "--teachers", sheets.exportPath, option, file, "--cut-frames"});
        ASSERT_EQ(made.code, 0) << made.err;
    }
    const QString printed = QString::fromStdString(sheets.path("printed.pdf"));
    ASSERT_TRUE(printInBrowser(chromium, QString::fromStdString(html), printed,
                               QString::fromStdString(sheets.path("chromium"))));
    EXPECT_EQ(pdfPageCount(printed), pdfPageCount(QString::fromStdString(pdf)));
    EXPECT_TRUE(pdfPageSize(printed).startsWith(QStringLiteral("59"))) << "A4 portrait";

    const auto expected = sheets.expected({sheets.firstCp1252, sheets.secondCp1252});
    const auto fromPdf = pdfWords(QString::fromStdString(pdf));
    const auto fromBrowser = pdfWords(printed);
    ASSERT_EQ(fromPdf.size(), expected.size());
    ASSERT_EQ(fromBrowser.size(), expected.size());
    int checked = 0;
    for (std::size_t page = 0; page < expected.size(); ++page) {
        for (const Placed &text : expected[page]) {
            Placed inPdf = text;
            double pdfLeft = 0, browserLeft = 0;
            ASSERT_TRUE(findText(fromPdf[page], text, kPdfTolerance, &inPdf.x, &inPdf.y, &pdfLeft))
                << platform::cp1252ToUtf8(text.text);
            EXPECT_TRUE(
                findText(fromBrowser[page], inPdf, kHtmlTolerance, nullptr, nullptr, &browserLeft))
                << "page " << page + 1 << ": \"" << platform::cp1252ToUtf8(text.text)
                << "\" not within " << kHtmlTolerance << " mm of (" << inPdf.x << ", " << inPdf.y
                << ")";
            EXPECT_NEAR(browserLeft, pdfLeft, kLeftEdgeTolerance)
                << "page " << page + 1 << ": left edge of \"" << platform::cp1252ToUtf8(text.text)
                << "\"";
            ++checked;
        }
    }
    EXPECT_EQ(checked, (25 + 1) * 3 * 5);

    // Every other word too: the side label's letters, one a line, and the file name.
    for (std::size_t page = 0; page < expected.size(); ++page)
        for (const Word &word : fromPdf[page])
            EXPECT_TRUE(std::any_of(fromBrowser[page].begin(), fromBrowser[page].end(),
                                    [&](const Word &w) {
                                        return w.text == word.text &&
                                               std::abs(w.xMin - word.xMin) <= kHtmlTolerance &&
                                               std::abs(w.yMin - word.yMin) <= kHtmlTolerance;
                                    }))
                << "page " << page + 1 << ": " << word.text.toStdString() << " at (" << word.xMin
                << ", " << word.yMin << ")";
}

TEST(HtmlExport, EveryAlignmentPutsATextsLeftEdgeWhereTheCanvasesPutIt)
{
    const QString chromium = browser();
    if (chromium.isEmpty())
        GTEST_SKIP() << "needs a browser to print the page (Debian package chromium)";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("a.pdf")),
                  html = dir.filePath(QStringLiteral("a.htm")),
                  printed = dir.filePath(QStringLiteral("printed.pdf"));
    // Each filter on its own pixels: the PDF document on the printer's, the HTML page on its own.
    output::TBRPDFDocumentFilter pdfFilter(pdf.toStdString());
    const std::vector<Edge> inPdf = drawAlignedTexts(pdfFilter);
    output::TBRGHTMLDocumentFilter htmlFilter(html.toStdString());
    const std::vector<Edge> inHtml = drawAlignedTexts(htmlFilter);
    ASSERT_TRUE(printInBrowser(chromium, html, printed, dir.filePath("chromium")));

    const auto fromPdf = pdfWords(pdf), fromBrowser = pdfWords(printed);
    ASSERT_EQ(fromPdf.size(), 1u);
    ASSERT_EQ(fromBrowser.size(), 1u);
    expectLeftEdges(inPdf, fromPdf[0], "PDF document");
    expectLeftEdges(inHtml, fromBrowser[0], "HTML page in the browser");
}

TEST(HtmlExport, TextsThatLookLikeMarkupPrintAsTheirOwnCharacters)
{
    const QString chromium = browser();
    if (chromium.isEmpty())
        GTEST_SKIP() << "needs a browser to print the page (Debian package chromium)";
    QTemporaryDir dir;
    // One tile, so that the long subject runs over empty neighbours only. The fields hold no
    // ';' (the export's separator); an entity without it is still one to a browser.
    const std::string exportPath = dir.filePath(QStringLiteral("skema.csv")).toStdString();
    {
        std::ofstream file(exportPath, std::ios::binary);
        file << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
                "PERIODEBETEGNELSE\r\n"
                "&amp;<b>7a;<script>alert(1)</script>;\"x\";'y' &lt\r\n";
    }
    const std::string html = dir.filePath(QStringLiteral("p.htm")).toStdString();
    const std::string pdf = dir.filePath(QStringLiteral("p.pdf")).toStdString();
    for (const auto &[option, file] : {std::pair{"--pdf", pdf}, std::pair{"--html", html}}) {
        const Outcome made = tavleprint({"sheets", "--teachers", exportPath, option, file});
        ASSERT_EQ(made.code, 0) << made.err;
    }
    QFile file(QString::fromStdString(html));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("<script")) << "no script element at all";

    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    ASSERT_TRUE(
        printInBrowser(chromium, QString::fromStdString(html), printed, dir.filePath("chromium")));
    // The browser prints the words the PDF document holds (the subject is cut where its label
    // ends), markup characters and all.
    const auto words = [](const QString &pdf) {
        QStringList list;
        const auto pages = pdfWords(pdf);
        for (const auto &page : pages)
            for (const Word &w : page)
                list << w.text;
        list.sort();
        return list;
    };
    const QStringList printedWords = words(printed);
    EXPECT_EQ(printedWords, words(QString::fromStdString(pdf)));
    for (const char *literal : {"&amp", "<b>7a", "<script>", "\"x\"", "'y'", "&lt"})
        EXPECT_TRUE(printedWords.contains(QString::fromUtf8(literal)))
            << literal << " not printed as such: " << printedWords.join(' ').toStdString();
}
