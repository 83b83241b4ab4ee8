// Pages drawn straight onto a printer: one document, a device page per page inside the page
// range, nothing stored.
#include "output/brerror.h"
#include "output/brprinter.h"
#include "support/fakeprinter.h"

#include <gtest/gtest.h>

using namespace output;

namespace {

// 600 by 300 pixels per inch.
class FakePrinter : public testsupport::FakePrinter {
public:
    FakePrinter() : testsupport::FakePrinter({.dpiX = 600, .dpiY = 300}) {}
};

// Prints pages 1..count, each with its number as its only text.
void printPages(TBRPrinter &printer, int count)
{
    printer.StartJob();
    for (int n = 1; n <= count; ++n) {
        printer.NewPage();
        printer.PageCanvas()->textOut(0, 0, std::to_string(n));
    }
}

} // namespace

TEST(PrinterDestination, OnlyPagesInsideTheRangeReachTheDevice)
{
    FakePrinter device;
    TBRPrinter printer({}, &device);
    printer.Destination = TBRPrinter::TDestination::Printer;
    printer.Title = "L\xE6rer AB";
    printer.Settings().FirstPage = 2;
    printer.Settings().LastPage = 3;
    bool afterPrint = false;
    printer.OnAfterPrint = [&] { afterPrint = true; };
    printPages(printer, 5);
    EXPECT_EQ(device.log, "begin;page;") << "no device page after the range's last page";
    EXPECT_TRUE(device.printing);
    printer.FinishJob();
    EXPECT_EQ(device.log, "begin;page;end;");
    EXPECT_EQ(device.title, "L\xE6rer AB");
    std::vector<std::string> printed;
    for (const auto &page : device.pageTexts())
        printed.insert(printed.end(), page.begin(), page.end());
    EXPECT_EQ(printed, (std::vector<std::string>{"2", "3"}));
    EXPECT_TRUE(afterPrint);
    EXPECT_EQ(printer.GetPage(1), nullptr) << "nothing is stored";
    EXPECT_TRUE(printer.DrawsToPrinter());
}

TEST(PrinterDestination, FactorsFollowThePrintersResolution)
{
    FakePrinter device;
    TBRPrinter printer({}, &device);
    printer.Destination = TBRPrinter::TDestination::Printer;
    printer.Settings().LeftOffset = 50;
    printer.StartJob();
    printer.NewPage();
    EXPECT_EQ(printer.ToDeviceWidth(254), 600);
    EXPECT_EQ(printer.ToDeviceHeight(254), 300);
    EXPECT_EQ(printer.ToDeviceX(304), 600) << "less the printer's left offset";
    printer.AbortJob();
    EXPECT_EQ(device.log, "begin;abort;");
    EXPECT_EQ(printer.OutputState(), TBRPrinter::TOutputState::Finished);
}

TEST(PrinterDestination, WithoutAPrinterAPrintJobIsRefused)
{
    TBRPrinter printer;
    printer.Destination = TBRPrinter::TDestination::Printer;
    EXPECT_FALSE(printer.HasPrinters());
    EXPECT_THROW(printer.StartJob(), EBRError);
    EXPECT_EQ(printer.OutputState(), TBRPrinter::TOutputState::Idle);
}
