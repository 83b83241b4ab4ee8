#include "output/printersettings.h"

namespace output {

namespace {
constexpr long double nativePerMm = 10;
}

bool TPrinterSettings::SetPaperSize(int size)
{
    if (size < 0 || size >= paperSizeCount)
        return false;
    if (size != paperDefault && !SupportedPapers.test(static_cast<std::size_t>(size)))
        return false;
    paperSize_ = size;
    return true;
}

long double TPrinterSettings::PaperWidth() const
{
    const bool table = paperSize_ != paperDefault && paperSize_ != paperCustom;
    const long double w = table ? paperTable[paperSize_].Width * nativePerMm : CustomWidth;
    const long double l = table ? paperTable[paperSize_].Length * nativePerMm : CustomLength;
    return orientation_ == TOrientation::Landscape ? l : w;
}

long double TPrinterSettings::PaperLength() const
{
    const bool table = paperSize_ != paperDefault && paperSize_ != paperCustom;
    const long double w = table ? paperTable[paperSize_].Width * nativePerMm : CustomWidth;
    const long double l = table ? paperTable[paperSize_].Length * nativePerMm : CustomLength;
    return orientation_ == TOrientation::Landscape ? w : l;
}

} // namespace output
