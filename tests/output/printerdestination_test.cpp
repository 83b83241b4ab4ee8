// Pages drawn straight onto a printer: one document, a device page per page inside the page
// range, nothing stored.
#include "output/brerror.h"
#include "output/brprinter.h"
#include "platform/recordingcanvas.h"

#include <gtest/gtest.h>

using namespace output;

namespace {

class FakePrinter : public TBRPrinterDevice {
public:
    int PixelsPerInchX() const override { return 600; }
    int PixelsPerInchY() const override { return 300; }
    bool Printing() const override { return printing; }
    void SetTitle(const std::string &t) override { title = t; }
    void BeginDoc() override
    {
        printing = true;
        log += "begin;";
    }
    void NewPage() override { log += "page;"; }
    void EndDoc() override
    {
        printing = false;
        log += "end;";
    }
    void Abort() override
    {
        printing = false;
        log += "abort;";
    }
    platform::Canvas *Canvas() override { return &canvas; }

    bool printing = false;
    std::string title, log;
    platform::RecordingCanvas canvas{600, 300};
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
    for (const auto &op : device.canvas.texts())
        printed.push_back(op.text);
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
