#include "output/systemprinter.h"

#include "platform/rounding.h"
#include "platform/units.h"

namespace output {

void TBRSystemPrinter::ApplySettings(TPrinterSettings &settings)
{
    settings.ApplySettings(printer_);
    // The offsets were measured with the driver's default paper and orientation; the job's may
    // have other unprintable margins, so they are measured again for what was just applied.
    const platform::TSize offset = printer_.PhysicalOffset();
    if (printer_.PixelsPerInchX() > 0 && printer_.PixelsPerInchY() > 0) {
        settings.LeftOffset = platform::roundHalfEven(offset.cx * platform::nativePerInch /
                                                      printer_.PixelsPerInchX());
        settings.TopOffset = platform::roundHalfEven(offset.cy * platform::nativePerInch /
                                                     printer_.PixelsPerInchY());
    }
}

void TBRSystemPrinter::SelectPrinter(int index, TPrinterSettings &settings)
{
    printer_.SetPrinterIndex(index);
    printer_.SetDeviceMode(nullptr);
    settings.ReadSettings(printer_);
}

} // namespace output
