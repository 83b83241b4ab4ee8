// The printer layer on real CUPS queues (set up by .ci/cups-setup) and on PDF files: the canvas's
// origin sits at the printable area, so a position less the physical offset lands on paper
// where it was meant, with or without unprintable margins. Built for Windows and run under Wine,
// the same queues are met through Wine's spooler and its PostScript driver.
#include "platform/printer.h"
#include "support/systemfiles.h"
#include "testqueues.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using platform::TPrinter;

namespace platform {
// Failures name the trays and sizes they compare.
void PrintTo(const TPaperSource &tray, std::ostream *os)
{
    *os << tray.Option << '=' << tray.Keyword << " \"" << tray.Text.toStdString() << '"';
}
void PrintTo(const TSize &size, std::ostream *os) { *os << size.cx << 'x' << size.cy; }
} // namespace platform

namespace {

#ifdef Q_OS_WIN
constexpr bool kWineSpooler = true;
#else
constexpr bool kWineSpooler = false;
#endif

constexpr double kMmPerPoint = 25.4 / 72.0;
struct WordBox {
    double xMinMm, yMinMm;
};

QString wordBoxes(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Where pdftotext finds `word` on the first page, in millimetres from the sheet's corner.
std::optional<WordBox> findWord(const QString &pdf, const QString &word)
{
    const QString html = wordBoxes(pdf);
    const QRegularExpression re(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>") +
        QRegularExpression::escape(word) + QStringLiteral("</word>"));
    const auto m = re.match(html);
    if (!m.hasMatch())
        return std::nullopt;
    return WordBox{m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint};
}

int queueIndex(const std::string &name)
{
    const auto names = TPrinter::Printers();
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

// Prints `word` at paper position (x, y) mm, compensating the printer's physical offset.
void printWordAt(TPrinter &printer, const std::string &word, double xMm, double yMm)
{
    printer.BeginDoc();
    auto &canvas = printer.PrinterCanvas();
    canvas.setFont({"Arial", 12, 0, platform::clBlack});
    const auto offset = printer.PhysicalOffset();
    const int x = static_cast<int>(std::lround(xMm / 25.4 * printer.PixelsPerInchX())) - offset.cx;
    const int y = static_cast<int>(std::lround(yMm / 25.4 * printer.PixelsPerInchY())) - offset.cy;
    canvas.textOut(x, y, word);
    printer.EndDoc();
}

} // namespace

TEST(Printer, APdfFileHasNoOffsetAndTakesTheDeviceModesPaper)
{
    TAVLE_SKIP_WITHOUT_PDF_TOOLS();
    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("TAVLE_KEEP_TEST_FILES"));
    TPrinter printer;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    printer.SetOutputFile(pdf);
    platform::TDeviceMode mode = printer.DeviceMode();
    mode.Fields |= platform::dm::PaperSize;
    mode.PaperSize = 9; // A4
    printer.SetDeviceMode(&mode);
    EXPECT_EQ(printer.PhysicalOffset(), (platform::TSize{0, 0}));
    printWordAt(printer, "FILEPOS", 30.0, 40.0);
    EXPECT_TRUE(QFile::exists(pdf));

    // An aborted document leaves nothing behind.
    const QString aborted = dir.filePath(QStringLiteral("aborted.pdf"));
    printer.SetOutputFile(aborted);
    printer.BeginDoc();
    printer.PrinterCanvas().textOut(10, 10, "GONE");
    printer.Abort();
    EXPECT_FALSE(printer.Printing());
    EXPECT_FALSE(QFile::exists(aborted));

    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext not installed; where the word landed is not checked";
    const auto box = findWord(pdf, QStringLiteral("FILEPOS"));
    ASSERT_TRUE(box) << "text not found in " << pdf.toStdString() << ":\n"
                     << wordBoxes(pdf).toStdString();
    EXPECT_NEAR(box->xMinMm, 30.0, 0.2);
    EXPECT_NEAR(box->yMinMm, 40.0, 0.2);
}

TEST(Printer, SelectionAndUnsupportedSettings)
{
    TPrinter printer;
    EXPECT_THROW(printer.SetPrinterIndex(static_cast<int>(TPrinter::Printers().size())),
                 platform::EPrinter);
    EXPECT_THROW(printer.SetPrinterIndex(-2), platform::EPrinter);
    EXPECT_THROW(printer.NewPage(), platform::EPrinter);
    EXPECT_THROW(printer.PrinterCanvas(), platform::EPrinter);

    // No paper source can be chosen by its code: the field is not in the mask and keeps its value
    // (a tray goes by its name, TDeviceMode::PaperSource).
    platform::TDeviceMode wanted = printer.DeviceMode();
    EXPECT_FALSE(wanted.Fields & platform::dm::DefaultSource);
    wanted.Fields |= platform::dm::DefaultSource | platform::dm::Copies;
    wanted.DefaultSource = 4;
    wanted.Copies = 3;
    printer.SetDeviceMode(&wanted);
    EXPECT_EQ(printer.DeviceMode().DefaultSource, platform::dm::SourceAuto);
    EXPECT_EQ(printer.DeviceMode().Copies, 3);
    printer.SetDeviceMode(nullptr);
    EXPECT_EQ(printer.DeviceMode().Copies, 1) << "the driver's defaults again";
}

TEST(Printer, EveryPrinterListedIsSelectedWithItsPapersAndTrays)
{
    const std::vector<std::string> names = TPrinter::Printers();
    if (names.empty())
        GTEST_SKIP() << (kWineSpooler ? "no printers under this Wine" : "no printer installed");
    const std::string standard = TPrinter::StandardPrinterName();
    EXPECT_NE(std::find(names.begin(), names.end(), standard), names.end()) << standard;
    if (queueIndex("tavle-pdf") >= 0) {
        EXPECT_EQ(standard, "tavle-pdf") << ".ci/cups-setup makes it the default";
    }

    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        TPrinter printer;
        printer.SetPrinterIndex(static_cast<int>(i));
        EXPECT_TRUE(printer.HasPrinter());
        EXPECT_EQ(printer.DeviceName(), names[i]);
        EXPECT_GT(printer.PixelsPerInchX(), 0);
        const std::vector<int> papers = printer.PaperCodes();
        EXPECT_FALSE(papers.empty());
        EXPECT_TRUE(std::is_sorted(papers.begin(), papers.end()));
        EXPECT_EQ(std::adjacent_find(papers.begin(), papers.end()), papers.end()) << "each once";
        // Trays only where there is a choice, each known by its own keyword.
        const std::vector<platform::TPaperSource> trays = printer.PaperSources();
        EXPECT_NE(trays.size(), 1u);
        for (const platform::TPaperSource &tray : trays) {
            EXPECT_FALSE(tray.Option.empty());
            EXPECT_FALSE(tray.Text.isEmpty());
            EXPECT_EQ(std::count_if(trays.begin(), trays.end(),
                                    [&](const auto &t) { return t.Keyword == tray.Keyword; }),
                      1)
                << tray.Keyword;
        }
    }
    TPrinter standardPrinter;
    standardPrinter.SetPrinterIndex(-1);
    EXPECT_EQ(standardPrinter.DeviceName(), standard);
}

class CupsQueue : public ::testing::TestWithParam<const char *> {};

TEST_P(CupsQueue, TextLandsWhereItWasMeantOnPaper)
{
    const std::string queue = GetParam();
    const int index = queueIndex(queue);
    if (index < 0)
        GTEST_SKIP() << "CUPS test printer " << queue << " is not set up "
                     << testqueues::kSetUpHint;
    TPrinter printer;
    printer.SetPrinterIndex(index);
    ASSERT_TRUE(printer.HasPrinter());
    EXPECT_EQ(printer.DeviceName(), queue);
    if (kWineSpooler) {
        EXPECT_EQ(printer.PortName(), "CUPS:" + queue);
    } else {
        EXPECT_EQ(printer.PortName(), "tavlefile:" + testqueues::kSpool.toStdString() + queue);
    }
    const auto papers = printer.PaperCodes();
    EXPECT_NE(std::find(papers.begin(), papers.end(), 9), papers.end()) << "A4 offered";

    platform::TDeviceMode mode = printer.DeviceMode();
    mode.PaperSize = 9;
    printer.SetDeviceMode(&mode);
    if (queue == "tavle-margins") {
        // 18 pt and 36 pt, at 600 pixels per inch as the driver file says (Wine's driver keeps
        // a resolution of its own)
        if (!kWineSpooler) {
            EXPECT_EQ(printer.PixelsPerInchX(), 600);
        }
        const auto pixels = [&](double points) {
            return static_cast<int>(std::lround(points / 72.0 * printer.PixelsPerInchX()));
        };
        EXPECT_EQ(printer.PhysicalOffset(), (platform::TSize{pixels(18), pixels(36)}));
    } else {
        EXPECT_EQ(printer.PhysicalOffset(), (platform::TSize{0, 0}));
    }
    EXPECT_EQ(printer.PhysicalPageSize().cx,
              static_cast<int>(std::lround(210 / 25.4 * printer.PixelsPerInchX())));
    if (kWineSpooler)
        GTEST_SKIP() << "Wine's PostScript driver prints the offscreen platform's text as "
                        "outlines: the job holds no word to find";

    // The word is this test's own: the job is known by it.
    const QString word = QStringLiteral("QUEUEPOS") + testqueues::ownMark();
    testqueues::JobWatch jobs(QString::fromStdString(queue), word);
    printer.SetTitle("Tavleplanner printer test");
    printWordAt(printer, word.toStdString(), 52.0, 61.0);
    const QString pdf = jobs.next();
    ASSERT_FALSE(pdf.isEmpty()) << "no job arrived from " << queue;
    const auto box = findWord(pdf, word);
    ASSERT_TRUE(box) << "text not found in " << pdf.toStdString() << ":\n"
                     << wordBoxes(pdf).toStdString();
    EXPECT_NEAR(box->xMinMm, 52.0, 0.2);
    EXPECT_NEAR(box->yMinMm, 61.0, 0.2);
}

INSTANTIATE_TEST_SUITE_P(Queues, CupsQueue, ::testing::Values("tavle-pdf", "tavle-margins"));

TEST(Printer, TheTrayChosenGoesWithTheJobToAQueueWithTwoTrays)
{
    const int index = queueIndex("tavle-trays");
    if (index < 0)
        GTEST_SKIP() << "CUPS test printer tavle-trays is not set up " << testqueues::kSetUpHint;
    TPrinter printer;
    printer.SetPrinterIndex(index);
    // Wine's driver numbers the driver file's trays from the first driver-defined bin, and adds
    // its own automatic choice.
    const std::vector<platform::TPaperSource> trays =
        kWineSpooler
            ? std::vector<platform::TPaperSource>{{"DMBIN", "15",
                                                   QStringLiteral("Automatically Select")},
                                                  {"DMBIN", "256", QStringLiteral("Bakke 1")},
                                                  {"DMBIN", "257", QStringLiteral("Bakke 2")}}
            : std::vector<platform::TPaperSource>{
                  {"InputSlot", "Tray1", QStringLiteral("Bakke 1")},
                  {"InputSlot", "Tray2", QStringLiteral("Bakke 2")}};
    EXPECT_EQ(printer.PaperSources(), trays);
    EXPECT_EQ(TPrinter::PaperSourcesOf(QStringLiteral("tavle-pdf")),
              std::vector<platform::TPaperSource>{})
        << "a printer with one tray offers no choice";

    platform::TDeviceMode mode = printer.DeviceMode();
    mode.PaperSource = trays.back().Keyword; // Bakke 2
    printer.SetDeviceMode(&mode);
    const QString word = QStringLiteral("TRAYTWO") + testqueues::ownMark();
    // Wine's driver draws the text as outlines: its job is told by its title.
    testqueues::JobWatch jobs(QStringLiteral("tavle-trays"), word,
                              kWineSpooler ? testqueues::JobWatch::MarkIn::Title
                                           : testqueues::JobWatch::MarkIn::Text);
    printer.SetTitle(word.toStdString());
    printWordAt(printer, word.toStdString(), 30.0, 40.0);
    const QString pdf = jobs.next();
    ASSERT_FALSE(pdf.isEmpty()) << "no job arrived from tavle-trays";
    if (kWineSpooler) {
        // Wine's driver chooses the tray inside the PostScript it sends, where the test
        // printer's tray code names the tray as the document's subject.
        QFile job(pdf);
        ASSERT_TRUE(job.open(QIODevice::ReadOnly)) << pdf.toStdString();
        EXPECT_TRUE(job.readAll().contains("(InputSlot=Tray2)"));
        return;
    }
    QFile options(pdf.chopped(3) + QStringLiteral("options"));
    ASSERT_TRUE(options.open(QIODevice::ReadOnly)) << options.fileName().toStdString();
    const QStringList sent = QString::fromUtf8(options.readAll()).simplified().split(u' ');
    EXPECT_TRUE(sent.contains(QStringLiteral("InputSlot=Tray2"))) << sent.join(u' ').toStdString();
}
