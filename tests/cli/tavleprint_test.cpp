// tavleprint list, tiles and calibrate, through the same entry point as the program.
#include "support/sheetcheck.h"
#include "support/systemfiles.h"
#include "support/tavleprintrun.h"
#include "testqueues.h"
#include "tilesheet/calibration.h"
#include "tilesheet/keptmargins.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>

namespace {

class Tavleprint : public ::testing::Test {
protected:
    Tavleprint()
    {
        std::ofstream(path, std::ios::binary)
            << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
               "PERIODEBETEGNELSE\r\n"
               "\xD8J;2b;da;A1;Ma 1\r\n"
               "ab;1a;ma;A2;Ti 2\r\n"
               "AB;1a;fy;Fys;On 3\r\n";
    }
    QTemporaryDir dir;
    std::string path = dir.filePath("skema.csv").toStdString();
};

} // namespace

TEST_F(Tavleprint, ListPrintsTheNamesOfTheLastListingAsUtf8)
{
    const Outcome teachers = tavleprint({"list", "--teachers", path});
    EXPECT_EQ(teachers.code, 0);
    EXPECT_EQ(teachers.out, "AB\n\xC3\x98J\n");
    // The case variant "ab" is reported, not silently dropped, and in the terminal's English.
    EXPECT_EQ(teachers.err, "tavleprint: note: 1 tile does not appear on any print by teacher: 1 "
                            "whose name differs from the listed one only in letter case (ab "
                            "listed as AB)\n");

    const Outcome classes = tavleprint({"list", "--teachers", "--classes", path});
    EXPECT_EQ(classes.out, "1a\n2b\n");

    const std::string utf8 = dir.filePath("utf8.csv").toStdString();
    std::ofstream(utf8, std::ios::binary) << "\xEF\xBB\xBF[L\xC3\x86RERBETEGNELSE;KLASSEBETEGNELSE;"
                                             "FAGBETEGNELSE;LOKALEBETEGNELSE;PERIODEBETEGNELSE\n"
                                             "\xC3\x98J;2b;da;A1;Ma 1\n";
    const Outcome converted = tavleprint({"list", "--teachers", utf8});
    EXPECT_EQ(converted.out, "\xC3\x98J\n");
    EXPECT_EQ(converted.err, "tavleprint: the file is saved as UTF-8 and was converted to "
                             "Windows-1252.\n");
}

TEST_F(Tavleprint, TilesInFileOrderOrInTheOrderTheListingsLeave)
{
    EXPECT_EQ(tavleprint({"tiles", path}).out,
              "\xC3\x98J\t2b\tda\tA1\tMa 1\nab\t1a\tma\tA2\tTi 2\nAB\t1a\tfy\tFys\tOn 3\n");
    EXPECT_EQ(tavleprint({"tiles", "--classes", path}).out,
              "AB\t1a\tfy\tFys\tOn 3\nab\t1a\tma\tA2\tTi 2\n\xC3\x98J\t2b\tda\tA1\tMa 1\n");
}

TEST_F(Tavleprint, UsageAndFileErrors)
{
    EXPECT_EQ(tavleprint({}).code, 2);
    EXPECT_EQ(tavleprint({"list", path}).code, 2) << "list needs a mode";
    EXPECT_EQ(tavleprint({"list", "--teachers"}).code, 2);
    EXPECT_EQ(tavleprint({"list", "--teachers", path, path}).code, 2);
    EXPECT_EQ(tavleprint({"list", "--pupils", path}).code, 2);
    EXPECT_EQ(tavleprint({"frobnicate"}).code, 2);
    EXPECT_EQ(tavleprint({"pages"}).code, 2);
    EXPECT_EQ(tavleprint({"pages", "a.brp", "b.brp"}).code, 2);
    EXPECT_EQ(tavleprint({"calibrate", "--tray", "1"}).code, 2);
    EXPECT_EQ(tavleprint({"calibrate", "--margins", "8.5,12"}).code, 2);
    EXPECT_EQ(tavleprint({"calibrate", "--printer", "no-such-queue"}).code, 1);
    const Outcome help = tavleprint({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("usage: tavleprint list"), std::string::npos);
    // Each command's --help is its own usage on standard output, whatever else is given.
    for (const std::string command :
         {"list", "tiles", "pages", "sheets", "diff", "changes", "board", "calibrate"}) {
        const Outcome own = tavleprint({command, "--margins", "x", "--help"});
        EXPECT_EQ(own.code, 0) << command;
        EXPECT_TRUE(own.out.starts_with("usage: tavleprint " + command + " ")) << own.out;
        EXPECT_EQ(own.out.find("tavleprint --version"), std::string::npos) << command;
        EXPECT_EQ(own.err, "") << command;
    }

    const std::string missing = dir.filePath("none.csv").toStdString();
    const Outcome failed = tavleprint({"list", "--classes", missing});
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(failed.err, "tavleprint: " + missing + ": File not found\n");
    EXPECT_EQ(failed.out, "");
}

TEST_F(Tavleprint, AFileThatNeverEndsOrBlocksIsRefusedWithAPlainMessage)
{
    std::vector<std::string> refused{testsupport::kDevice};
    if (testsupport::kHasFifos) {
        const std::string fifo = dir.filePath("fifo.csv").toStdString();
        ASSERT_TRUE(testsupport::makeFifo(fifo));
        refused.push_back(fifo);
    }
    for (const std::string &path : refused) {
        for (const std::vector<std::string> &command :
             {std::vector<std::string>{"list", "--teachers", path}, {"pages", path}}) {
            const Outcome refused = tavleprint(command);
            EXPECT_EQ(refused.code, 1) << command[0];
            EXPECT_EQ(refused.err, "tavleprint: " + path + ": not a regular file\n") << command[0];
            EXPECT_EQ(refused.out, "") << command[0];
        }
    }
}

TEST_F(Tavleprint, VersionIsTheProjectsReleaseAndNeedsNoWindowSystem)
{
    std::ifstream cmake(TAVLE_SOURCE_DIR "/CMakeLists.txt");
    const std::string text{std::istreambuf_iterator<char>(cmake), {}};
    std::smatch release;
    ASSERT_TRUE(
        std::regex_search(text, release, std::regex(R"(project\(Tavleplanner VERSION ([0-9.]+))")));

    const Outcome version = tavleprint({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "tavleprint " + release[1].str() + "\n");
    EXPECT_EQ(version.err, "");
    EXPECT_FALSE(cli::needsQtApplication("--version"));
    EXPECT_NE(tavleprint({"--help"}).out.find("tavleprint --version"), std::string::npos);
}

namespace {

// The outer cutting lines of a kept job's page, in millimetres from the paper's edges, as a
// rendering at 400 dpi shows them: the outermost rows and columns that are dark over more
// than half the page (the texts never are).
std::optional<tilesheet::OuterLines> printedLines(const QString &job)
{
    constexpr int dpi = 400;
    const QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("page"));
    if (sheetcheck::run(QStringLiteral("pdftoppm"),
                        {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi),
                         QStringLiteral("-singlefile"), job, base},
                        120) != 0)
        return std::nullopt;
    const QImage page(base + QStringLiteral(".pgm"));
    if (page.isNull())
        return std::nullopt;
    std::vector<int> rows(page.height()), columns(page.width());
    for (int y = 0; y < page.height(); ++y) {
        const uchar *line = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x)
            if (line[x] < 128) {
                ++rows[y];
                ++columns[x];
            }
    }
    const auto first = [](const std::vector<int> &counts, int across) {
        for (std::size_t i = 0; i < counts.size(); ++i)
            if (counts[i] > across / 2)
                return static_cast<int>(i);
        return -1;
    };
    const auto last = [](const std::vector<int> &counts, int across) {
        for (std::size_t i = counts.size(); i-- > 0;)
            if (counts[i] > across / 2)
                return static_cast<int>(i) + 1;
        return -1;
    };
    const int top = first(rows, page.width()), bottom = last(rows, page.width());
    const int left = first(columns, page.height()), right = last(columns, page.height());
    if (top < 0 || left < 0)
        return std::nullopt;
    const auto mm = [](int pixels) { return pixels * 25.4 / dpi; };
    return tilesheet::OuterLines{mm(top), mm(left), mm(page.height() - bottom),
                                 mm(page.width() - right)};
}

} // namespace

TEST_F(Tavleprint, ACalibrationSheetMeasuredOnAPrinterThatShiftsThePageCorrectsItsMargins)
{
    const QString queue = QStringLiteral("tavle-shift");
    if (!testqueues::keepsJobs(queue) || !sheetcheck::installed(QStringLiteral("pdftoppm")).size())
        GTEST_SKIP() << "CUPS test printer " << queue.toStdString() << " not set up "
                     << testqueues::kSetUpHint;
    // The first sheet's margins are this test's own, so that its jobs are told from others:
    // the sheet prints them.
    const int own = static_cast<int>(QCoreApplication::applicationPid() % 9);
    const tilesheet::Margins first{8.5, 11.1 + own / 10.0, 9.0, 20.0};
    // The queue is this test's alone under the queues' lock; its left margin, printed on the
    // sheet as one word, tells its jobs from those printed by hand meanwhile.
    const auto mark = [](const tilesheet::Margins &m) {
        return QStringLiteral("venstre %1,")
            .arg(QString::fromStdString(tilesheet::millimetreText(m.left)));
    };
    testqueues::JobWatch watch(queue, mark(first));
    const std::string firstArg = QStringLiteral("%1,%2,%3,%4")
                                     .arg(first.top, 0, 'f', 1)
                                     .arg(first.left, 0, 'f', 1)
                                     .arg(first.bottom, 0, 'f', 1)
                                     .arg(first.right, 0, 'f', 1)
                                     .toStdString();
    const Outcome printed =
        tavleprint({"calibrate", "--printer", queue.toStdString(), "--margins", firstArg});
    ASSERT_EQ(printed.code, 0) << printed.err;
    const QString job = watch.next();
    ASSERT_FALSE(job.isEmpty()) << "the calibration sheet never reached " << queue.toStdString();
    QFile title(job.left(job.size() - 4) + QStringLiteral(".title"));
    ASSERT_TRUE(title.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(title.readAll()).trimmed(), QStringLiteral("Prøveark"));
    const auto measured = printedLines(job);
    ASSERT_TRUE(measured);
    const tilesheet::OuterLines targets = tilesheet::CalibrationTargets();
    // The queue moves the page 1.5 mm right and 2.0 mm down.
    const tilesheet::OuterLines exact = tilesheet::OuterCuttingLines(first);
    EXPECT_NEAR(measured->top, exact.top + 2.0, 0.2);
    EXPECT_NEAR(measured->left, exact.left + 1.5, 0.2);
    EXPECT_NEAR(measured->bottom, exact.bottom - 2.0, 0.2);
    EXPECT_NEAR(measured->right, exact.right - 1.5, 0.2);

    // Typed to the tenth, as a ruler and the fields give them; the result kept for the queue
    // and taken from there by the next sheet.
    const auto tenth = [](double mm) { return std::round(mm * 10.0) / 10.0; };
    const tilesheet::Margins corrected =
        tilesheet::CorrectedMargins(first,
                                    {tenth(measured->top), tenth(measured->left),
                                     tenth(measured->bottom), tenth(measured->right)},
                                    targets);
    ASSERT_TRUE(tilesheet::KeptMargins().write(queue.toStdString(),
                                               {tenth(corrected.top), tenth(corrected.left),
                                                tenth(corrected.bottom), tenth(corrected.right)}));
    testqueues::JobWatch again(queue, mark(tilesheet::KeptMargins().read(queue.toStdString())));
    ASSERT_EQ(tavleprint({"calibrate", "--printer", queue.toStdString()}).code, 0);
    const QString second = again.next();
    ASSERT_FALSE(second.isEmpty());
    const auto after = printedLines(second);
    ASSERT_TRUE(after);
    EXPECT_NEAR(after->top, targets.top, 0.2);
    EXPECT_NEAR(after->left, targets.left, 0.2);
    EXPECT_NEAR(after->bottom, targets.bottom, 0.2);
    EXPECT_NEAR(after->right, targets.right, 0.2);

    // Tile sheets printed there take the margins kept for the queue: every tile's word lands
    // where a printer that is exact puts it with the standard margins (the export's path, printed
    // on each sheet, tells this test's job). Measured at the words' lower edges: Ghostscript gives
    // the fonts it embeds again taller boxes above the baseline.
    const std::string standard = dir.filePath(QStringLiteral("standard.pdf")).toStdString();
    ASSERT_EQ(tavleprint({"sheets", "--teachers", path, "AB", "--pdf", standard}).code, 0);
    testqueues::JobWatch sheets(queue, QString::fromStdString(path));
    ASSERT_EQ(tavleprint(
                  {"sheets", "--teachers", path, "AB", "--print", "--printer", queue.toStdString()})
                  .code,
              0);
    const QString printedSheet = sheets.next();
    ASSERT_FALSE(printedSheet.isEmpty());
    const auto got = sheetcheck::pdfWords(printedSheet),
               want = sheetcheck::pdfWords(QString::fromStdString(standard));
    ASSERT_EQ(got.size(), 1u);
    ASSERT_EQ(want.size(), 1u);
    ASSERT_FALSE(want[0].empty());
    for (const sheetcheck::Word &w : want[0]) {
        // The side label and the file name stand at their places on the paper, whatever the
        // margins: the printer moves them, and no margin moves them back.
        if (w.text == QString::fromStdString(path) || w.text.size() == 1)
            continue;
        const bool found = std::any_of(got[0].begin(), got[0].end(), [&w](const auto &g) {
            return g.text == w.text && std::abs(g.xMin - w.xMin) <= 0.2 &&
                   std::abs(g.yMax - w.yMax) <= 0.2;
        });
        EXPECT_TRUE(found) << w.text.toStdString() << " at " << w.xMin << ", " << w.yMax;
    }
}
