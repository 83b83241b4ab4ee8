#include "cli/pagescommand.h"
#include "output/brprinter.h"
#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::filesystem::path tempPath(const std::string &name)
{
    return std::filesystem::temp_directory_path() /
           ("tavle-pages-" + std::to_string(::getpid()) + "-" + name);
}

} // namespace

TEST(PagesCommand, ListsThePageCountAndEveryPagesTextsInDrawingOrder)
{
    const auto path = tempPath("two.brp");
    {
        output::TBRPrinter printer;
        printer.StartJob();
        printer.NewPage();
        printer.PageCanvas()->textOut(10, 10, "L\xE6rer");
        printer.PageCanvas()->textOut(10, 30, "1.a");
        printer.NewPage();
        printer.PageCanvas()->textOut(10, 10, "Fag");
        printer.FinishJob();
        printer.SavePages(path);
    }
    std::ostringstream out, err;
    EXPECT_EQ(cli::runPagesCommand(path.string(), out, err), 0);
    EXPECT_EQ(out.str(), "2\npage 1\n  Lærer\n  1.a\npage 2\n  Fag\n");
    EXPECT_EQ(err.str(), "");
    std::filesystem::remove(path);
}

TEST(PagesCommand, ReadsAReportFileWhosePageLibreOfficeWrote)
{
    const std::filesystem::path brp = std::filesystem::path(TAVLE_SOURCE_DIR) / "tests" / "output" /
                                      "data" / "libreoffice-page.brp";
    std::ostringstream out, err;
    EXPECT_EQ(cli::runPagesCommand(brp.string(), out, err), 0);
    EXPECT_EQ(out.str(), "1\npage 1\n  Fag MAT\n  Lærer ABC\n  Lokale 12\n");
    EXPECT_EQ(err.str(), "");
}

TEST(PagesCommand, AFileItCannotReadNamesTheFileAndTheReason)
{
    const auto path = tempPath("bad.brp");
    {
        std::ofstream bad(path, std::ios::binary);
        bad << std::string(200, '\x01');
    }
    std::ostringstream out, err;
    EXPECT_EQ(cli::runPagesCommand(path.string(), out, err), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find(path.string()), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("page count"), std::string::npos) << err.str();
    std::filesystem::remove(path);

    std::ostringstream out2, err2;
    EXPECT_EQ(cli::runPagesCommand(tempPath("missing.brp").string(), out2, err2), 1);
    EXPECT_NE(err2.str().find("missing.brp"), std::string::npos);
}
