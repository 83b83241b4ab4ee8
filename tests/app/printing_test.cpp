// Tile sheets printed on real CUPS queues, one with unprintable margins and one without, through
// the same print path as "Udskriv": every tile text must land on the paper within 0.2 mm of
// where the sheet's geometry puts it. The queues are set up by .ci/cups-setup.
#include "output/systemprinter.h"
#include "platform/cp1252.h"
#include "platform/printer.h"
#include "report/customreport.h"
#include "report/services.h"
#include "testqueues.h"
#include "tilesheet/rapform.h"
#include "timetable/timetable.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;
constexpr double kTolerance = 0.2; // mm
struct Word {
    QString text;
    double xMin, yMin, xMax; // mm
};

// The words of the first page of a PDF, by pdftotext.
std::vector<Word> firstPageWords(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                   QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression re(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"[0-9.]+\">([^<]*)</word>"));
    std::vector<Word> words;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(4), m.captured(1).toDouble() * kMmPerPoint,
                         m.captured(2).toDouble() * kMmPerPoint,
                         m.captured(3).toDouble() * kMmPerPoint});
    }
    return words;
}

// The sheet's geometry in millimetres, default margins: the detail band advances by whole native
// units, so the columns (40 pixels at zoom 60, 176.389 native units) step by 17.6 mm from the
// left margin and the rows ((297 - 8.5 - 9) / 6 - 0.05 mm) by 46.5 mm from the top margin; the
// band labels stand 6 pixels in from either side of the band, at their tops in whole pixels.
constexpr double kPixel = 25.4 / 96.0 * 100.0 / 60.0; // one control pixel at zoom 60, mm
constexpr double kColumnWidth = 17.6;
constexpr double kRowHeight = 46.5;
constexpr double kLeftMargin = 12.0, kTopMargin = 8.5;

struct Expected {
    std::string text; // Windows-1252
    bool rightJustified;
    double x, y; // left (or right) end and top of the text, mm
};

std::vector<Expected> expectedFirstPage(const std::vector<const timetable::TBrik *> &tiles)
{
    std::vector<Expected> expected;
    const int bandsOnPage = std::min<int>(60, static_cast<int>(tiles.size()) * 3);
    for (int band = 0; band < bandsOnPage; ++band) {
        const timetable::TBrik &tile = *tiles[static_cast<std::size_t>(band / 3)];
        const double bandX = kLeftMargin + (band / 6) * kColumnWidth;
        const double bandY = kTopMargin + (band % 6) * kRowHeight;
        const double left = bandX + 6 * kPixel, right = bandX + (40 - 6) * kPixel;
        expected.push_back({tile.Fag, false, left, bandY + 12 * kPixel});
        expected.push_back({tile.Laerer, true, right, bandY + 22 * kPixel});
        expected.push_back({tile.Klasse, false, left, bandY + 31 * kPixel});
        expected.push_back({tile.Lokale, true, right, bandY + 41 * kPixel});
    }
    return expected;
}

class PrintedSheet : public ::testing::TestWithParam<const char *> {};

} // namespace

TEST_P(PrintedSheet, EveryTileTextLandsWhereTheGeometryPutsIt)
{
    const std::string queue = GetParam();
    const auto queues = platform::TPrinter::Printers();
    const auto it = std::find(queues.begin(), queues.end(), queue);
    if (it == queues.end())
        GTEST_SKIP() << "CUPS test printer " << queue << " is not set up "
                     << testqueues::kSetUpHint;
    const int index = static_cast<int>(it - queues.begin());

    timetable::Timetable table;
    table.LoadBrikker(TAVLE_SOURCE_DIR "/examples/skema.csv");
    const auto names = table.Listing(timetable::SelectionMode::Teachers).names;
    table.BuildPrintList(names.front());

    platform::TPrinter printer;
    printer.SetPrinterIndex(index);
    output::TBRSystemPrinter device(printer);
    const report::TBRServicesScope services({.PrinterDevice = [&device] { return &device; }});
    tilesheet::TRapFormInputs inputs;
    // The file name printed on every sheet is this test's own: the job is known by it.
    const QString fileName = QStringLiteral("skema%1.csv").arg(testqueues::ownMark());
    inputs.FileName = fileName.toStdString();
    inputs.PrintList = &table.printList();
    testqueues::JobWatch jobs(QString::fromStdString(queue), fileName);
    {
        tilesheet::TRapForm sheet(inputs);
        sheet.BRBrikker.PrinterSettings.PrinterIndex = index;
        sheet.BRBrikker.ShowProgress = false;
        sheet.BRBrikker.ReportTitle = names.front();
        sheet.BRBrikker.Print();
    }

    const QString pdf = jobs.next();
    ASSERT_FALSE(pdf.isEmpty()) << "no job arrived from " << queue;
    const std::vector<Word> words = firstPageWords(pdf);
    const auto expected = expectedFirstPage(table.printList());
    ASSERT_FALSE(expected.empty());
    int checked = 0;
    for (const Expected &e : expected) {
        if (e.text.empty() || e.text.find(' ') != std::string::npos)
            continue;
        const QString text = platform::toQString(e.text);
        const bool found = std::any_of(words.begin(), words.end(), [&](const Word &w) {
            const double x = e.rightJustified ? w.xMax : w.xMin;
            return w.text == text && std::abs(x - e.x) <= kTolerance &&
                   std::abs(w.yMin - e.y) <= kTolerance;
        });
        EXPECT_TRUE(found) << queue << ": \"" << platform::cp1252ToUtf8(e.text) << "\" not within "
                           << kTolerance << " mm of (" << e.x << ", " << e.y << ")";
        ++checked;
    }
    EXPECT_GT(checked, 100);
}

INSTANTIATE_TEST_SUITE_P(Queues, PrintedSheet,
                         ::testing::Values("tavle-pdf", "tavle-margins", "tavle-letter"));
