// Printer settings between the report and the printer's device mode.
#include "output/brprinter.h"
#include "output/printersettings.h"

#include <gtest/gtest.h>

using output::TBRBin;
using output::TPrinterSettings;
namespace dm = platform::dm;

namespace {

platform::TDeviceMode fullMode()
{
    platform::TDeviceMode mode;
    mode.Fields = dm::Orientation | dm::PaperSize | dm::PaperLength | dm::PaperWidth | dm::Copies |
                  dm::DefaultSource | dm::Duplex | dm::Collate;
    return mode;
}

} // namespace

TEST(PrinterSettings, DeviceModeCarriesBinDuplexPaperAndOrientation)
{
    TPrinterSettings s;
    auto mode = s.DeviceModeFor(fullMode());
    EXPECT_EQ(mode.DefaultSource, 7) << "Auto sends paper source 7";
    EXPECT_EQ(mode.Duplex, dm::DuplexSimplex);
    EXPECT_EQ(mode.PaperSize, 9);
    EXPECT_EQ(mode.PaperWidth, 2100);
    EXPECT_EQ(mode.PaperLength, 2970);
    EXPECT_EQ(mode.Orientation, dm::Portrait);

    s.SetDuplex(true);
    EXPECT_EQ(s.DeviceModeFor(fullMode()).Duplex, dm::DuplexHorizontal);
    s.ExtendedDuplex = 2;
    EXPECT_EQ(s.DeviceModeFor(fullMode()).Duplex, 2);
    s.SetDuplex(false);
    EXPECT_EQ(s.DeviceModeFor(fullMode()).Duplex, 2) << "the raw code wins whatever Duplex says";

    // A custom paper sends the user-defined size with the page's own width and length.
    ASSERT_TRUE(s.SetPaperSize(output::paperCustom));
    s.CustomWidth = 1500;
    s.CustomLength = 2000;
    mode = s.DeviceModeFor(fullMode());
    EXPECT_EQ(mode.PaperSize, 256);
    EXPECT_EQ(mode.PaperWidth, 1500);
    EXPECT_EQ(mode.PaperLength, 2000);
    EXPECT_TRUE(mode.Fields & dm::PaperLength);

    // Without paper size in the printer's mask the code stays; custom codes replace the table's.
    platform::TDeviceMode noPaper = fullMode();
    noPaper.Fields &= ~dm::PaperSize;
    noPaper.PaperSize = 1;
    EXPECT_EQ(s.DeviceModeFor(noPaper).PaperSize, 1);
    s.UseCustomPaperCode = true;
    s.CustomPaperCode = 123;
    s.UseCustomBinCode = true;
    s.CustomBinCode = 260;
    s.Collate = 1;
    s.SetOrientation(output::TOrientation::Landscape);
    mode = s.DeviceModeFor(fullMode());
    EXPECT_EQ(mode.PaperSize, 123);
    EXPECT_EQ(mode.DefaultSource, 260);
    EXPECT_EQ(mode.Orientation, dm::Landscape);
    EXPECT_EQ(mode.Collate, 1);

    // The tray travels by its CUPS name, from the report's job options to the device mode.
    EXPECT_EQ(mode.PaperSource, "");
    output::TJobOptions job = s.JobOptions();
    job.PaperSource = "Tray2";
    s.SetJobOptions(job);
    EXPECT_EQ(s.DeviceModeFor(fullMode()).PaperSource, "Tray2");
    EXPECT_EQ(s.JobOptions().PaperSource, "Tray2");
}

TEST(PrinterSettings, ReadingTakesOffsetsPapersAndWhatTheMaskOffers)
{
    // 600 pixels per inch, physical offsets of 4.2 mm and 4.0 mm (99 and 94 pixels).
    platform::TDeviceMode mode = fullMode();
    mode.Fields &= ~dm::DefaultSource;
    mode.Copies = 2;
    mode.Duplex = dm::DuplexVertical;
    mode.PaperSize = 9;
    TPrinterSettings s;
    s.ReadFrom(mode, {600, 600, {99, 94}, {4961, 7016}, {1, 9, 256}});
    EXPECT_EQ(s.LeftOffset, 42);
    EXPECT_EQ(s.TopOffset, 40);
    EXPECT_EQ(s.CustomWidth, 2100);
    EXPECT_EQ(s.CustomLength, 2970);
    EXPECT_EQ(s.Copies(), 2);
    EXPECT_TRUE(s.Duplex());
    EXPECT_EQ(s.ExtendedDuplex, 2);
    EXPECT_EQ(s.OutputBin(), TBRBin::First) << "no source in the mask";
    EXPECT_EQ(s.PaperSize(), 9);

    // Settings the printer does not support keep the values read.
    s.SetOutputBin(TBRBin::Manual);
    EXPECT_EQ(s.OutputBin(), TBRBin::First);
    EXPECT_FALSE(s.SetPaperSize(11)) << "A5 is not offered";
    EXPECT_TRUE(s.SetPaperSize(output::paperCustom));
    EXPECT_TRUE(s.SetPaperSize(output::paperDefault));

    // A frame line at 12.0 mm lands at device x = round((120 - 42) * 600 / 254) = 184.
    output::TBRPrinter page;
    page.LeftWaste = s.LeftOffset;
    page.HorizontalFactor = s.PixelsPerInchX / platform::nativePerInch;
    EXPECT_EQ(page.ToDeviceX(120), 184);

    mode.Fields |= dm::DefaultSource;
    mode.DefaultSource = 14;
    s.ReadFrom(mode, {600, 600, {}, {}, {}});
    EXPECT_EQ(s.OutputBin(), TBRBin::Cassette);
    EXPECT_EQ(output::binCode(TBRBin::Last), 14);
}

TEST(PrinterSettings, AHandledHookReplacesReadingAndApplying)
{
    platform::TPrinter printer;
    TPrinterSettings s;
    s.OnGetPrinterSettings = [](TPrinterSettings &settings, bool &handled,
                                platform::TDeviceMode &) {
        settings.PixelsPerInchX = 1234;
        handled = true;
    };
    s.ReadSettings(printer);
    EXPECT_EQ(s.PixelsPerInchX, 1234);

    const platform::TDeviceMode before = printer.DeviceMode();
    s.SetCopies(5);
    s.OnApplyPrinterSettings = [](TPrinterSettings &, bool &handled, platform::TDeviceMode &) {
        handled = true;
    };
    s.ApplySettings(printer);
    EXPECT_EQ(printer.DeviceMode(), before);
    s.OnApplyPrinterSettings = nullptr;
    s.ApplySettings(printer);
    EXPECT_EQ(printer.DeviceMode().Copies, 5);
}
