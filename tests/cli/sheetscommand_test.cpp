// tavleprint sheets: saved report files, one PDF for many names, print jobs, and its errors.
#include "cli/pagescommand.h"
#include "output/brprinter.h"
#include "platform/emfmetafile.h"
#include "platform/printer.h"
#include "support/tavleprintrun.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
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
    EXPECT_NE(listing.find("  " + QDir(dir.path()).absolutePath().toStdString() + "/skema.csv\n"),
              std::string::npos)
        << "the file-name label shows the export's absolute path";
}

TEST_F(Sheets, PdfHoldsEveryListedNameOneAfterTheOther)
{
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
    EXPECT_NE(unwritable.err.find("Cannot write the file /nonexistent/dir/x.pdf"),
              std::string::npos);
    const Outcome noPrinter =
        tavleprint({"sheets", "--teachers", exportPath, "--print", "--printer", "no-such-queue"});
    EXPECT_EQ(noPrinter.code, 1);
}

TEST_F(Sheets, PrintSendsOneJobPerName)
{
    const auto queues = platform::TPrinter::Printers();
    if (std::find(queues.begin(), queues.end(), "tavle-pdf") == queues.end())
        GTEST_SKIP() << "CUPS test printer tavle-pdf is not set up (run .ci/cups-setup as root)";
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
