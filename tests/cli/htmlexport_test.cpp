// "HTML dokument" through tavleprint, printed by a real browser (Chromium, headless) and read
// back by poppler: the same pages as the PDF document with every tile text where the PDF has
// it, and texts that look like markup printed as the characters they are.
#include "support/exportfixture.h"

#include "platform/cp1252.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace sheetcheck;

namespace {

constexpr double kPdfTolerance = 0.2;  // mm, the PDF document against the sheet's geometry
constexpr double kHtmlTolerance = 0.5; // mm, the browser's print against the PDF document

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
            ASSERT_TRUE(findText(fromPdf[page], text, kPdfTolerance, &inPdf.x, &inPdf.y))
                << platform::cp1252ToUtf8(text.text);
            EXPECT_TRUE(findText(fromBrowser[page], inPdf, kHtmlTolerance))
                << "page " << page + 1 << ": \"" << platform::cp1252ToUtf8(text.text)
                << "\" not within " << kHtmlTolerance << " mm of (" << inPdf.x << ", " << inPdf.y
                << ")";
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
