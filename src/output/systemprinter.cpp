#include "output/systemprinter.h"

#include "platform/length.h"

namespace output {

void TBRSystemPrinter::ApplySettings(TPrinterSettings &settings)
{
    settings.ApplySettings(printer_);
    // The offsets were measured with the driver's default paper and orientation; the job's may
    // have other unprintable margins, so they are measured again for what was just applied.
    const platform::TSize offset = printer_.PhysicalOffset();
    if (printer_.PixelsPerInchX() > 0 && printer_.PixelsPerInchY() > 0) {
        using platform::TLength;
        settings.LeftOffset = static_cast<int>(
            TLength::fromPixels(offset.cx, printer_.PixelsPerInchX()).roundedNative());
        settings.TopOffset = static_cast<int>(
            TLength::fromPixels(offset.cy, printer_.PixelsPerInchY()).roundedNative());
    }
}

int TBRSystemPrinter::DefaultPaperSize()
{
    const platform::TPrinter standard; // the default printer with its driver's settings
    if (!standard.HasPrinter())
        return paperA4;
    TPrinterSettings settings;
    settings.ReadSettings(standard);
    const int size = settings.PaperSize();
    return size == paperDefault || size == paperCustom ? paperA4 : size;
}

void TBRSystemPrinter::SelectPrinter(int index, TPrinterSettings &settings)
{
    printer_.SetPrinterIndex(index);
    printer_.SetDeviceMode(nullptr);
    settings.ReadSettings(printer_);
}

} // namespace output
