// tavleprint sheets: saved report files, one PDF for many names, print jobs, and its errors;
// diff, changes and sheets --since between two exports or an export and the board's record;
// the program stopped while it writes.
#include "cli/marginsoption.h"
#include "cli/pagescommand.h"
#include "output/brprinter.h"
#include "platform/emf/emfmetafile.h"
#include "platform/printer.h"
#include "support/sheetcheck.h"
#include "support/smalldisk.h"
#include "support/systemfiles.h"
#include "support/tavleprintrun.h"
#include "testlocale.h"
#include "testqueues.h"
#include "tilesheet/keptmargins.h"
#include "timetable/board.h"
#include "timetable/timetable.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>
#ifdef _WIN32
constexpr int SIGKILL = 9; // only names a case that skips there
#endif
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>

namespace {

int pdfPages(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    process.waitForFinished(30000);
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    const auto at = info.indexOf(QStringLiteral("Pages:"));
    return at < 0 ? -1 : info.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
}

class Sheets : public ::testing::Test {
protected:
    Sheets()
    {
        // Two teachers: AB with 21 lessons (two pages), \xD8J with one.
        std::ofstream file(exportPath, std::ios::binary);
        file << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
                "PERIODEBETEGNELSE\r\n";
        for (int i = 0; i < 21; ++i)
            file << "AB;" << i % 3 << "a;f" << i << ";A" << i << ";Ma " << i % 7 + 1 << "\r\n";
        file << "\xD8J;9c;da;B2;Ti 2\r\n";
    }
    std::string path(const char *name) const
    {
        return dir.filePath(QString::fromLatin1(name)).toStdString();
    }

    QTemporaryDir dir;
    std::string exportPath = path("skema.csv");
};

} // namespace

TEST_F(Sheets, SaveWritesOneNamesSheetsAsAReportFile)
{
    const std::string brp = path("ab.brp");
    const Outcome saved = tavleprint({"sheets", "--teachers", exportPath, "AB", "--save", brp});
    ASSERT_EQ(saved.code, 0) << saved.err;
    std::ostringstream pages, err;
    ASSERT_EQ(cli::runPagesCommand(brp, pages, err), 0) << err.str();
    const std::string listing = pages.str();
    EXPECT_EQ(listing.substr(0, listing.find('\n')), "2") << "21 tiles: 60 bands and 3 more";
    EXPECT_NE(listing.find("  f20\n"), std::string::npos);
    EXPECT_NE(listing.find(
                  "  " +
                  QDir::toNativeSeparators(QDir(dir.path()).filePath("skema.csv")).toStdString() +
                  "\n"),
              std::string::npos)
        << "the file-name label shows the export's absolute path";
}

TEST_F(Sheets, PdfHoldsEveryListedNameOneAfterTheOther)
{
    TAVLE_SKIP_WITHOUT_PDF_TOOLS();
    const std::string pdf = path("all.pdf");
    const Outcome all =
        tavleprint({"sheets", "--teachers", exportPath, "--pdf", pdf, "--cut-frames"});
    ASSERT_EQ(all.code, 0) << all.err;
    EXPECT_EQ(pdfPages(QString::fromStdString(pdf)), 3) << "two pages for AB, one for \xD8J";

    const std::string one = path("one.pdf");
    ASSERT_EQ(tavleprint({"sheets", "--teachers", exportPath, "\xC3\x98J", "--pdf", one}).code, 0)
        << "names are typed in UTF-8";
    EXPECT_EQ(pdfPages(QString::fromStdString(one)), 1);
}

TEST_F(Sheets, UsageAndFailures)
{
    const std::string pdf = path("x.pdf");
    EXPECT_EQ(tavleprint({"sheets", exportPath, "--pdf", pdf}).code, 2) << "no mode";
    EXPECT_EQ(tavleprint({"sheets", "--teachers", exportPath}).code, 2) << "no destination";
    EXPECT_EQ(tavleprint({"sheets", "--teachers", exportPath, "--save", path("x.brp")}).code, 2);
    EXPECT_EQ(
        tavleprint({"sheets", "--teachers", exportPath, "AB", "\xC3\x98J", "--save", path("x.brp")})
            .code,
        2);
    EXPECT_EQ(tavleprint({"sheets", "--teachers", exportPath, "--pdf", pdf, "--printer", "q"}).code,
              2);
    EXPECT_EQ(
        tavleprint({"sheets", "--teachers", exportPath, "--pdf", pdf, "--margins", "1,2,3"}).code,
        2);
    EXPECT_EQ(tavleprint({"sheets", "--teachers", "--classes", exportPath, "--pdf", pdf}).code, 2);

    const Outcome unknown = tavleprint({"sheets", "--classes", exportPath, "7z", "--pdf", pdf});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_NE(unknown.err.find("7z: no such class"), std::string::npos) << unknown.err;
    const Outcome unwritable =
        tavleprint({"sheets", "--teachers", exportPath, "--pdf", "/nonexistent/dir/x.pdf"});
    EXPECT_EQ(unwritable.code, 1);
    const Outcome noPrinter =
        tavleprint({"sheets", "--teachers", exportPath, "--print", "--printer", "no-such-queue"});
    EXPECT_EQ(noPrinter.code, 1);
}

TEST_F(Sheets, PrintSendsOneJobPerName)
{
    const auto queues = platform::TPrinter::Printers();
    if (std::find(queues.begin(), queues.end(), "tavle-pdf") == queues.end())
        GTEST_SKIP() << "CUPS test printer tavle-pdf is not set up " << testqueues::kSetUpHint;
    const Outcome printed =
        tavleprint({"sheets", "--teachers", exportPath, "--print", "--printer", "tavle-pdf"});
    EXPECT_EQ(printed.code, 0) << printed.err;
    EXPECT_EQ(printed.out, "printed AB\nprinted \xC3\x98J\n");
}

TEST_F(Sheets, AFileThatIsNoExportIsAFailureWithAPlainMessage)
{
    const std::string empty = path("tom.csv");
    std::ofstream(empty, std::ios::binary)
        << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
           "PERIODEBETEGNELSE\r\n";
    const std::string headless = path("uden.csv");
    std::ofstream(headless, std::ios::binary) << "AB;1a;da;A1;Ma 1\r\n";
    const std::string program = path("program.csv");
    std::ofstream(program, std::ios::binary) << std::string("\x7F"
                                                            "ELF\x02\x01\x01\0\0;x\n",
                                                            12);
    for (const auto &[file, says] : {std::pair{empty, "the file holds no lessons"},
                                     {headless, "the file has no header line and is not an export "
                                                "file"},
                                     {program, "the file is not a text file and cannot be an "
                                               "export file"}}) {
        for (const char *command : {"sheets", "list"}) {
            const Outcome refused =
                std::string(command) == "list"
                    ? tavleprint({"list", "--teachers", file})
                    : tavleprint({"sheets", "--teachers", file, "--pdf", path("x.pdf")});
            EXPECT_EQ(refused.code, 1) << command << " " << file;
            EXPECT_EQ(refused.err, "tavleprint: " + file + ": " + says + "\n") << command;
            EXPECT_TRUE(refused.out.empty()) << command;
        }
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path("x.pdf"))));
}

TEST_F(Sheets, MarginsAreClampedLikeThePrinterAdjustmentWindowClampsThem)
{
    // Where the first page's texts stand, for a left margin of `left` mm.
    const auto positions = [this](const std::string &left) {
        const std::string brp = path("m.brp");
        const Outcome run = tavleprint({"sheets", "--teachers", exportPath, "AB", "--margins",
                                        "8.5," + left + ",9,20", "--save", brp});
        EXPECT_EQ(run.code, 0) << run.err;
        output::TBRPrinter printer;
        printer.LoadPages(brp);
        platform::EmfTextEnumerator texts;
        if (const auto page = printer.GetPage(1))
            page->walk(texts);
        std::vector<std::pair<double, double>> at;
        for (const QPointF &p : texts.Positions)
            at.emplace_back(p.x(), p.y());
        return at;
    };
    const auto clamped = positions("-900");
    ASSERT_FALSE(clamped.empty());
    EXPECT_EQ(clamped, positions("-500"));
    EXPECT_NE(clamped, positions("-400")) << "the margin does move the tiles";
}

namespace {

// The export a board was printed from, and a newer one with its columns in another order and
// one more column: AB's f1 in another room, AB's f2 given to \xD8J, \xD8J's da twice, CD new,
// EF gone.
class Changes : public ::testing::Test {
protected:
    Changes()
    {
        std::ofstream before(earlier, std::ios::binary);
        before << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
                  "PERIODEBETEGNELSE\r\n";
        for (int i = 0; i < 6; ++i)
            before << "AB;" << i % 3 << "a;f" << i << ";A" << i << ";Ma " << i + 1 << "\r\n";
        before << "EF;2a;bi;B1;Fr 1\r\n\xD8J;9c;da;B2;Ti 2\r\n";
        std::ofstream after(current, std::ios::binary);
        after << "[PERIODEBETEGNELSE;NOTE;LOKALEBETEGNELSE;FAGBETEGNELSE;KLASSEBETEGNELSE;"
                 "L\xC6RERBETEGNELSE\r\n"
                 "Ma 1;;A0;f0;0a;AB\r\nMa 2;x;A9;f1;1a;AB\r\nMa 3;;A2;f2;2a;\xD8J\r\n"
                 "Ma 4;;A3;f3;0a;AB\r\nMa 5;;A4;f4;1a;AB\r\nMa 6;;A5;f5;2a;AB\r\n"
                 "Ti 2;;B2;da;9c;\xD8J\r\nTi 2;;B2;da;9c;\xD8J\r\n"
                 "On 3;;M1;mu;1a;CD\r\n";
    }
    std::string path(const char *name) const
    {
        return dir.filePath(QString::fromLatin1(name)).toStdString();
    }
    // A saved report file's page count and texts, as tavleprint pages lists them.
    static std::string pagesOf(const std::string &brp)
    {
        std::ostringstream pages, err;
        EXPECT_EQ(cli::runPagesCommand(brp, pages, err), 0) << err.str();
        return pages.str();
    }

    QTemporaryDir dir;
    std::string earlier = path("tavlen.csv");
    std::string current = path("skema.csv");
};

} // namespace

TEST_F(Changes, DiffListsTheChangedTilesByNameRemovedFirst)
{
    const Outcome diff = tavleprint({"diff", "--teachers", earlier, current});
    EXPECT_EQ(diff.code, 0) << diff.err;
    EXPECT_EQ(diff.out, "-\tAB\t1a\tf1\tA1\tMa 2\n"
                        "-\tAB\t2a\tf2\tA2\tMa 3\n"
                        "+\tAB\t1a\tf1\tA9\tMa 2\n"
                        "+\tCD\t1a\tmu\tM1\tOn 3\n"
                        "+\t\xC3\x98J\t2a\tf2\tA2\tMa 3\n"
                        "+\t\xC3\x98J\t9c\tda\tB2\tTi 2\n"
                        "-\tEF\t2a\tbi\tB1\tFr 1\n")
        << "names in EXPORT's list order, then EF, found only in EARLIER";
    EXPECT_EQ(diff.err, "");
    EXPECT_FALSE(cli::needsQtApplication("diff"));

    const Outcome same = tavleprint({"diff", "--classes", current, current});
    EXPECT_EQ(same.code, 0);
    EXPECT_EQ(same.out, "") << "an export compared with itself has no change";
}

TEST_F(Changes, NewTilesShareSheetsAndTheChangeListHasEveryChangedName)
{
    TAVLE_SKIP_WITHOUT_PDF_TOOLS();
    const std::string brp = path("nye.brp");
    const Outcome since =
        tavleprint({"sheets", "--teachers", current, "--since", earlier, "--save", brp});
    ASSERT_EQ(since.code, 0) << since.err;
    const std::string sheets = pagesOf(brp);
    EXPECT_EQ(sheets.substr(0, sheets.find('\n')), "1") << "four new tiles, three names";
    EXPECT_NE(sheets.find("  A9\n"), std::string::npos);
    EXPECT_EQ(sheets.find("  A0\n"), std::string::npos) << "only the new tiles";
    EXPECT_EQ(
        tavleprint({"sheets", "--teachers", current, "--since", earlier, "--pdf", path("nye.pdf")})
            .code,
        0);
    EXPECT_EQ(pdfPages(QString::fromStdString(path("nye.pdf"))), 1);
    // The new tiles take the margins given, as every sheet does: 21.5 mm more at the top.
    ASSERT_EQ(tavleprint({"sheets", "--teachers", current, "--since", earlier, "--margins",
                          "30,12,9,20", "--pdf", path("nye-30.pdf")})
                  .code,
              0);
    const auto standard = sheetcheck::pdfWords(QString::fromStdString(path("nye.pdf")));
    const auto lower = sheetcheck::pdfWords(QString::fromStdString(path("nye-30.pdf")));
    ASSERT_FALSE(standard.empty() || lower.empty() || standard[0].empty() || lower[0].empty());
    EXPECT_NEAR(lower[0][0].yMin - standard[0][0].yMin, 21.5, 0.3);

    const std::string list = path("liste.brp");
    const Outcome changes = tavleprint({"changes", "--teachers", earlier, current, "--save", list});
    ASSERT_EQ(changes.code, 0) << changes.err;
    const std::string texts = pagesOf(list);
    for (const char *text : {"  \xC3\x86ndringsliste\n", "  Tages ned:\n", "  Nye brikker:\n",
                             "  EF\n", "  bi\n", "  Side 1\n"})
        EXPECT_NE(texts.find(text), std::string::npos) << text;
    const Outcome pdf =
        tavleprint({"changes", "--classes", earlier, current, "9c", "--pdf", path("liste.pdf")});
    EXPECT_EQ(pdf.code, 0) << pdf.err;
    EXPECT_EQ(pdfPages(QString::fromStdString(path("liste.pdf"))), 1);

    // EF has only tiles to take down: nothing new to print, and nothing is written.
    const Outcome nothing = tavleprint(
        {"sheets", "--teachers", current, "EF", "--since", earlier, "--pdf", path("ef.pdf")});
    EXPECT_EQ(nothing.code, 0) << nothing.err;
    EXPECT_NE(nothing.out.find("no new tiles"), std::string::npos) << nothing.out;
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path("ef.pdf"))));
    const Outcome same =
        tavleprint({"changes", "--teachers", current, current, "--pdf", path("same.pdf")});
    EXPECT_EQ(same.code, 0);
    EXPECT_NE(same.out.find("no changes"), std::string::npos) << same.out;
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path("same.pdf"))));
}

TEST_F(Changes, UsageAndAnEarlierFileThatCannotBeRead)
{
    EXPECT_EQ(tavleprint({"diff", earlier, current}).code, 2) << "no mode";
    EXPECT_EQ(tavleprint({"diff", "--teachers", current}).code, 2) << "one file";
    EXPECT_EQ(tavleprint({"diff", "--teachers", earlier, current, "AB"}).code, 2);
    EXPECT_EQ(tavleprint({"diff", "--teachers", earlier, current, "--pdf", path("x.pdf")}).code, 2);
    EXPECT_EQ(tavleprint({"changes", "--teachers", earlier, current}).code, 2) << "no output";
    const std::string help = tavleprint({"--help"}).out;
    for (const char *usage :
         {"tavleprint diff (", "tavleprint changes (", "[--since (EARLIER | --board)]"})
        EXPECT_NE(help.find(usage), std::string::npos) << usage;
    EXPECT_EQ(tavleprint({"sheets", "--teachers", current, "--pdf", path("x.pdf"), "--since"}).code,
              2);

    const std::string missing = path("none.csv");
    const std::string headless = path("uden.csv");
    std::ofstream(headless, std::ios::binary) << "AB;1a;da;A1;Ma 1\r\n";
    for (const auto &[file, says] :
         {std::pair{missing, "File not found"},
          {headless, "the file has no header line and is not an export file"}}) {
        for (const std::vector<std::string> &command :
             {std::vector<std::string>{"diff", "--teachers", file, current},
              {"changes", "--teachers", file, current, "--pdf", path("x.pdf")},
              {"sheets", "--teachers", current, "--since", file, "--pdf", path("x.pdf")}}) {
            const Outcome refused = tavleprint(command);
            EXPECT_EQ(refused.code, 1) << command[0] << " " << file;
            EXPECT_EQ(refused.err, "tavleprint: " + file + ": " + says + "\n") << command[0];
            EXPECT_EQ(refused.out, "") << command[0];
        }
    }
    const Outcome unknown =
        tavleprint({"changes", "--teachers", earlier, current, "ZZ", "--pdf", path("x.pdf")});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_NE(unknown.err.find("ZZ: no such teacher"), std::string::npos) << unknown.err;
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path("x.pdf"))));
}

TEST_F(Changes, SinceGivesOnePrintJobOfTheNewTiles)
{
    const auto queues = platform::TPrinter::Printers();
    if (std::find(queues.begin(), queues.end(), "tavle-pdf") == queues.end())
        GTEST_SKIP() << "CUPS test printer tavle-pdf is not set up " << testqueues::kSetUpHint;
    // The sheet's file label carries the test's own folder.
    testqueues::JobWatch jobs(QStringLiteral("tavle-pdf"), dir.path());
    const Outcome printed = tavleprint(
        {"sheets", "--teachers", current, "--since", earlier, "--print", "--printer", "tavle-pdf"});
    EXPECT_EQ(printed.code, 0) << printed.err;
    EXPECT_EQ(printed.out, "printed Nye brikker\n");
    const QString job = jobs.next();
    ASSERT_FALSE(job.isEmpty()) << "no job with the test's word came";
    QFile title(job.chopped(4) + QStringLiteral(".title"));
    ASSERT_TRUE(title.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(title.readAll()).trimmed(), QStringLiteral("Nye brikker"));
    const QString text = testqueues::firstPageText(job);
    EXPECT_TRUE(text.contains(QStringLiteral("A9")) && text.contains(QStringLiteral("f2")))
        << text.toStdString();
}

TEST_F(Sheets, MarginsThatLeaveNoRoomForTheTilesAreRefusedBeforeAnythingIsMade)
{
    struct Row {
        const char *margins;
        const char *says;
    };
    const Row rows[] = {
        {"500,500,500,500", "the top margin 500.0 mm and the bottom margin 500.0 mm leave no room "
                            "for the sheet's six rows of tiles; together they may take at most "
                            "87.3 mm"},
        {"148,12,148,20", "the top margin 148.0 mm and the bottom margin 148.0 mm"},
        {"600,12,9,20", "the top margin 500.0 mm and the bottom margin 9.0 mm"},
        {"8.5,40,9,40", "the left margin 40.0 mm and the right margin 40.0 mm leave no room for "
                        "the sheet's ten columns of tiles; together they may take at most 76.5 mm"},
    };
    const std::string pdf = path("x.pdf");
    for (const Row &row : rows) {
        for (const std::vector<std::string> &command :
             {std::vector<std::string>{"sheets", "--teachers", exportPath, "AB", "--margins",
                                       row.margins, "--pdf", pdf},
              {"sheets", "--teachers", exportPath, "AB", "--margins", row.margins, "--print",
               "--printer", "no-such-queue"},
              {"calibrate", "--printer", "no-such-queue", "--margins", row.margins}}) {
            const Outcome refused = tavleprint(command);
            EXPECT_EQ(refused.code, 2) << command[0] << " " << row.margins;
            EXPECT_NE(refused.err.find(std::string("tavleprint: --margins: ") + row.says),
                      std::string::npos)
                << refused.err;
            EXPECT_EQ(refused.out, "") << "nothing printed: " << row.margins;
        }
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(pdf)));
    EXPECT_EQ(tavleprint({"sheets", "--teachers", exportPath, "AB", "--margins", "43.6,12,43.6,20",
                          "--pdf", pdf})
                  .code,
              0)
        << "the most the rows allow";
}

TEST_F(Sheets, KeptMarginsAndSettingsThatCannotBeUsedAreWarnedOfAndReadAsTheStandard)
{
    const QString settings = tilesheet::KeptMargins().file();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).path()));
    const auto holding = [&settings](const QByteArray &bytes) {
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    struct Row {
        QByteArray kept;
        tilesheet::Margins read;
        std::vector<std::string> warnings;
    };
    const Row rows[] = {
        {"[margins]\ntavle-pdf\\top=10.5\n", {10.5, 12.0, 9.0, 20.0}, {}},
        {"[margins]\ntavle-pdf\\top=1e308\ntavle-pdf\\left=11\n",
         {8.5, 11.0, 9.0, 20.0},
         {"tavleprint: warning: the top margin kept for tavle-pdf (1e308) is not a margin from "
          "-500 to 500 mm; the standard 8.5 mm is used\n"}},
        {"[margins]\ntavle-pdf\\right=600\n",
         tilesheet::kStandardMargins,
         {"the right margin kept for tavle-pdf (600)"}},
        {"[margins]\ntavle-pdf\\top=148\ntavle-pdf\\bottom=148\n",
         tilesheet::kStandardMargins,
         {"tavleprint: warning: the margins kept for tavle-pdf leave no room for the sheet's "
          "tiles; the standard margins are used\n"}},
        {"lorem ipsum\n[margins]\ntavle-pdf\\top=10.5\n",
         {10.5, 12.0, 9.0, 20.0},
         {"tavleprint: warning: the kept settings in " + settings.toStdString() +
          " could not be read; what could not be read takes its standard value\n"}},
    };
    // Read and said alike on a Danish desktop, whose C library writes "8,5".
    std::optional<DanishLocale> danish;
    for (const bool onDanish : {false, true}) {
        if (onDanish)
            danish.emplace();
        for (const Row &row : rows) {
            holding(row.kept);
            std::ostringstream err;
            EXPECT_EQ(cli::keptMarginsFor("tavle-pdf", err), row.read) << row.kept.toStdString();
            const std::string said = err.str();
            for (const std::string &warning : row.warnings)
                EXPECT_NE(said.find(warning), std::string::npos) << said;
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'),
                      static_cast<long>(row.warnings.size()))
                << "each said once: " << said;
        }
    }
    danish.reset();

    // Through the program: a calibration sheet printed with the standard margins, not 500 mm.
    const auto queues = platform::TPrinter::Printers();
    if (std::find(queues.begin(), queues.end(), "tavle-pdf") != queues.end()) {
        holding("[margins]\ntavle-pdf\\top=600\n");
        const Outcome printed = tavleprint({"calibrate", "--printer", "tavle-pdf"});
        EXPECT_EQ(printed.code, 0) << printed.err;
        EXPECT_NE(printed.out.find("with margins 8.5,12.0,9.0,20.0"), std::string::npos)
            << printed.out;
        EXPECT_NE(printed.err.find("the top margin kept for tavle-pdf (600)"), std::string::npos)
            << printed.err;
    }
    QFile::remove(settings);
}

// ---- tavleprint itself, stopped while it writes or on a full disk ----

namespace {

// A school of 17,700 lessons: T0 with 6,000, whose sheets fill a page store of several
// megabytes, and 39 teachers with 300 each; everyone's sheets make a large export.
class Interrupted : public ::testing::TestWithParam<std::tuple<const char *, int>> {
protected:
    Interrupted()
    {
        QDir(dir.path()).mkdir(QStringLiteral("out"));
        QDir(dir.path()).mkdir(QStringLiteral("tmp"));
        std::ofstream file(exportPath, std::ios::binary);
        file << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
                "PERIODEBETEGNELSE\r\n";
        for (int t = 0; t < 40; ++t)
            for (int i = 0; i < (t == 0 ? 6000 : 300); ++i)
                file << "T" << t << ";" << i % 9 + 1 << "a;fag " << i << ";L" << i % 40 << ";Ma "
                     << i % 7 + 1 << "\r\n";
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList folder(const QString &name) const
    {
        return QDir(path(name))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }
    // The command line writing `target` in the given way.
    QStringList command(const std::string &how, const QString &target) const
    {
        const QString file = QString::fromStdString(exportPath);
        if (how == "save")
            return {QStringLiteral("sheets"), QStringLiteral("--teachers"), file,
                    QStringLiteral("T0"),     QStringLiteral("--save"),     target};
        return {QStringLiteral("sheets"), QStringLiteral("--teachers"), file,
                QStringLiteral("--") + QString::fromStdString(how), target};
    }
    // tavleprint as a process of its own, with the test's temporary folder and no session
    // runtime folder.
    void start(QProcess &process, const QStringList &args) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("tmp")));
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TAVLE_TAVLEPRINT), args);
        process.waitForStarted();
    }
    // Whether `pid` has a file open in folder `out` or a page store in `tmp`.
    bool writing(qint64 pid) const
    {
        const QString out = path(QStringLiteral("out")) + QLatin1Char('/');
        const QString store = path(QStringLiteral("tmp")) + QStringLiteral("/BRP");
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System)) {
            const QString target = QFile::symLinkTarget(fds.filePath(fd));
            if (target.startsWith(out) || target.startsWith(store))
                return true;
        }
        return false;
    }

    QTemporaryDir dir;
    std::string exportPath = dir.filePath(QStringLiteral("skema.csv")).toStdString();
};

} // namespace

TEST_P(Interrupted, AKilledRunLeavesTheOldFileAsItWasAndNoFileBehind)
{
#ifdef _WIN32
    GTEST_SKIP() << "sends POSIX signals and watches the run's files in /proc: Windows has neither";
#else
    const auto [how, signal] = GetParam();
    const QString target = path(QStringLiteral("out/out.") +
                                QString::fromLatin1(std::string(how) == "save" ? "brp" : how));
    // The good file: a small run of the same kind.
    QStringList good = command(how, target);
    good.replace(2, path(QStringLiteral("small.csv")));
    std::ofstream(path(QStringLiteral("small.csv")).toStdString(), std::ios::binary)
        << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
           "PERIODEBETEGNELSE\r\nT0;1a;da;A1;Ma 1\r\n";
    QProcess first;
    start(first, good);
    ASSERT_TRUE(first.waitForFinished(60000));
    ASSERT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    QFile oldFile(target);
    ASSERT_TRUE(oldFile.open(QIODevice::ReadOnly));
    const QByteArray old = oldFile.readAll();
    oldFile.close();

    QProcess run;
    start(run, command(how, target));
    QElapsedTimer waited;
    waited.start();
    while (run.state() == QProcess::Running && !writing(run.processId()) &&
           waited.elapsed() < 60000)
        QThread::msleep(5);
    ASSERT_EQ(run.state(), QProcess::Running) << "the run ended before it was stopped";
    QThread::msleep(150); // well into the writing
    ::kill(static_cast<pid_t>(run.processId()), signal);
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitStatus(), QProcess::CrashExit) << "stopped by the signal";

    ASSERT_TRUE(oldFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(oldFile.readAll() == old) << "the old file is as it was";
    EXPECT_EQ(folder(QStringLiteral("out")), QStringList{QFileInfo(target).fileName()});
    EXPECT_EQ(folder(QStringLiteral("tmp")), QStringList{})
        << "no page store, no empty folder in the temporary folder";
#endif
}

INSTANTIATE_TEST_SUITE_P(Outputs, Interrupted,
                         ::testing::Combine(::testing::Values("save", "pdf", "xlsx", "html"),
                                            ::testing::Values(SIGKILL, SIGTERM)),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) == SIGKILL ? "Killed" : "Terminated");
                         });

TEST_F(Sheets, AFileThatCannotBeWrittenIsSaidInOneLineNamingTheFileAndTheCause)
{
    const SmallDisk disk(4 << 20);
    if (!disk.mounted())
        GTEST_SKIP() << SmallDisk::unmounted();
    disk.fill(4096);
    for (const char *how : {"save", "pdf", "xlsx", "html"}) {
        const std::string file =
            disk.file(std::string("out.") + (std::string(how) == "save" ? "brp" : how)).string();
        QStringList args{QStringLiteral("sheets"), QStringLiteral("--teachers"),
                         QString::fromStdString(exportPath)};
        if (std::string(how) == "save")
            args << QStringLiteral("AB");
        args << QStringLiteral("--") + QString::fromLatin1(how) << QString::fromStdString(file);
        // The real program, so that whatever a library writes on stderr shows.
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), dir.path());
        run.setProcessEnvironment(env);
        run.start(QStringLiteral(TAVLE_TAVLEPRINT), args);
        ASSERT_TRUE(run.waitForFinished(60000));
        EXPECT_EQ(run.exitCode(), 1) << how;
        EXPECT_EQ(run.readAllStandardError().toStdString(),
                  "tavleprint: cannot write " + file + ": the disk is full\n");
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file))) << how;
    }
    const Outcome missing =
        tavleprint({"sheets", "--teachers", exportPath, "--pdf", "/nonexistent/dir/x.pdf"});
    EXPECT_EQ(missing.err, "tavleprint: cannot write /nonexistent/dir/x.pdf: the folder does "
                           "not exist\n");
}

TEST_F(Changes, TheBoardListsWhatPrintsRecordedAndStandsInForTheEarlierFile)
{
    using timetable::SelectionMode;
    {
        timetable::TBoard board; // the test program's own data folder
        board.ForgetBoard(SelectionMode::Teachers);
        board.ForgetBoard(SelectionMode::Classes);
    }
    EXPECT_EQ(tavleprint({"board", "--teachers"}).out, "nothing recorded on the teachers' board\n");
    EXPECT_EQ(tavleprint({"board"}).code, 2) << "no mode";
    EXPECT_EQ(tavleprint({"board", "--classes", "--at", "10.08.2026"}).code, 2) << "not ISO";
    EXPECT_EQ(tavleprint({"diff", "--teachers", "--board"}).code, 2) << "no export";
    EXPECT_EQ(tavleprint({"diff", "--teachers", "--board", earlier, current}).code, 2);
    // Nothing printed yet: every tile of the export is new.
    const Outcome fresh = tavleprint({"diff", "--classes", "--board", current});
    EXPECT_EQ(fresh.code, 0) << fresh.err;
    EXPECT_EQ(std::count(fresh.out.begin(), fresh.out.end(), '+'), 9) << fresh.out;

    // The earlier export printed whole on 12.08.2026 at noon (local time).
    timetable::Timetable printed;
    printed.LoadBrikker(earlier);
    const std::int64_t noon = QDateTime(QDate(2026, 8, 12), QTime(12, 0)).toMSecsSinceEpoch();
    timetable::TBoard().RecordPrint(SelectionMode::Teachers, printed,
                                    printed.Listing(SelectionMode::Teachers).names,
                                    {earlier, "hash", "tavle-pdf", noon});
    EXPECT_EQ(tavleprint({"board", "--teachers"}).out, "AB\t6\t2026-08-12 12:00\t" + earlier +
                                                           "\ttavle-pdf\n"
                                                           "EF\t1\t2026-08-12 12:00\t" +
                                                           earlier +
                                                           "\ttavle-pdf\n"
                                                           "\xC3\x98J\t1\t2026-08-12 12:00\t" +
                                                           earlier + "\ttavle-pdf\n");
    EXPECT_EQ(tavleprint({"board", "--teachers", "--at", "2026-08-11"}).out,
              "nothing recorded on the teachers' board\n");
    EXPECT_EQ(tavleprint({"board", "--teachers", "--at", "2026-08-12"}).out.substr(0, 3), "AB\t");
    // The board stands in for the file it was printed from.
    const Outcome fromBoard = tavleprint({"diff", "--teachers", "--board", current});
    EXPECT_EQ(fromBoard.code, 0) << fromBoard.err;
    EXPECT_EQ(fromBoard.out, tavleprint({"diff", "--teachers", earlier, current}).out);
    const Outcome list =
        tavleprint({"changes", "--teachers", "--board", current, "--save", path("tavle.brp")});
    ASSERT_EQ(list.code, 0) << list.err;
    EXPECT_NE(pagesOf(path("tavle.brp")).find("  EF\n"), std::string::npos);
    // And for "Nye brikker": the same sheets as against the file.
    const Outcome newTiles = tavleprint(
        {"sheets", "--teachers", current, "--since", "--board", "--save", path("nye-tavle.brp")});
    ASSERT_EQ(newTiles.code, 0) << newTiles.err;
    ASSERT_EQ(tavleprint({"sheets", "--teachers", current, "--since", earlier, "--save",
                          path("nye-fil.brp")})
                  .code,
              0);
    EXPECT_EQ(pagesOf(path("nye-tavle.brp")), pagesOf(path("nye-fil.brp")));

    const auto queues = platform::TPrinter::Printers();
    if (std::find(queues.begin(), queues.end(), "tavle-pdf") == queues.end())
        GTEST_SKIP() << "CUPS test printer tavle-pdf is not set up " << testqueues::kSetUpHint;
    // A print records its names; --no-record and a file leave the board alone.
    ASSERT_EQ(tavleprint({"sheets", "--teachers", current, "CD", "--print", "--printer",
                          "tavle-pdf", "--no-record"})
                  .code,
              0);
    ASSERT_EQ(tavleprint({"sheets", "--teachers", current, "--pdf", path("alle.pdf")}).code, 0);
    EXPECT_EQ(tavleprint({"diff", "--teachers", "--board", current}).out, fromBoard.out);
    const Outcome ab =
        tavleprint({"sheets", "--teachers", current, "AB", "--print", "--printer", "tavle-pdf"});
    ASSERT_EQ(ab.code, 0) << ab.err;
    const std::string after = tavleprint({"diff", "--teachers", "--board", current}).out;
    EXPECT_EQ(after.find("\tAB\t"), std::string::npos) << after;
    EXPECT_NE(after.find("+\tCD\t"), std::string::npos) << after;
    // "Nye brikker" printed: \xD8J holds all its tiles of the export, the old ones taken down.
    const Outcome since = tavleprint({"sheets", "--teachers", current, "\xC3\x98J", "--since",
                                      earlier, "--print", "--printer", "tavle-pdf"});
    ASSERT_EQ(since.code, 0) << since.err;
    const std::string afterSince = tavleprint({"diff", "--teachers", "--board", current}).out;
    EXPECT_EQ(afterSince.find("\xC3\x98J"), std::string::npos) << afterSince;
    EXPECT_NE(afterSince.find("+\tCD\t"), std::string::npos) << afterSince;
    const std::string listed = tavleprint({"board", "--teachers"}).out;
    EXPECT_NE(listed.find("AB\t5\t"), std::string::npos) << listed;
    EXPECT_NE(
        listed.find(QFileInfo(QString::fromStdString(current)).absoluteFilePath().toStdString()),
        std::string::npos)
        << listed;
}
