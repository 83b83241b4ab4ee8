// A saved report file whose page another program wrote (LibreOffice's EMF export, whose header
// counts one record less than it holds) opens, and its page is the metafile as it came.
#include "output/brprinter.h"
#include "support/testpages.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
const std::filesystem::path sourceDir(TAVLE_SOURCE_DIR);
}

TEST(ForeignPages, AReportFileWithALibreOfficePageLoadsWithItsTexts)
{
    output::TBRPrinter printer;
    printer.LoadPages(sourceDir / "tests" / "output" / "data" / "libreoffice-page.brp");
    ASSERT_EQ(printer.PageNumber(), 1);
    const std::unique_ptr<platform::TMetafile> page = printer.GetPage(1);
    ASSERT_TRUE(page);
    const auto emf =
        testpages::fileBytes(sourceDir / "tests" / "platform" / "data" / "libreoffice-page.emf");
    EXPECT_EQ(page->bytes(), std::vector<std::uint8_t>(emf.begin(), emf.end()));
    EXPECT_EQ(page->texts(), (std::vector<std::string>{"Fag MAT", "L\xE6rer ABC", "Lokale 12"}));
}
