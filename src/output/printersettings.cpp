#include "output/printersettings.h"

#include "platform/length.h"
#include "platform/rounding.h"

#include <array>

namespace output {

namespace {
using platform::TLength;
constexpr int userDefinedPaperCode = platform::dm::PaperUser;

constexpr std::array<int, 14> binCodes = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};

int nativeOf(int pixels, int pixelsPerInch)
{
    return pixelsPerInch > 0
               ? static_cast<int>(TLength::fromPixels(pixels, pixelsPerInch).roundedNative())
               : 0;
}
} // namespace

int binCode(TBRBin bin) { return binCodes[static_cast<std::size_t>(bin)]; }

int paperCode(int paperSize) { return paperSize == paperCustom ? userDefinedPaperCode : paperSize; }

int paperSizeOfCode(int code)
{
    if (code == userDefinedPaperCode)
        return paperCustom;
    return code > paperDefault && code < paperCustom ? code : paperDefault;
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

void TPrinterSettings::SetOrientation(TOrientation o)
{
    if (deviceHas(platform::dm::Orientation))
        orientation_ = o;
}

void TPrinterSettings::SetCopies(int copies)
{
    if (deviceHas(platform::dm::Copies))
        copies_ = copies;
}

void TPrinterSettings::SetDuplex(bool duplex)
{
    if (deviceHas(platform::dm::Duplex))
        duplex_ = duplex;
}

void TPrinterSettings::SetOutputBin(TBRBin bin)
{
    if (deviceHas(platform::dm::DefaultSource))
        outputBin_ = bin;
}

TJobOptions TPrinterSettings::JobOptions() const
{
    return {
        .Copies = copies_,
        .OutputBin = outputBin_,
        .Duplex = duplex_,
        .FirstPage = FirstPage,
        .LastPage = LastPage,
        .UseStandardprinter = UseStandardprinter,
        .UseCustomBinCode = UseCustomBinCode,
        .CustomBinCode = CustomBinCode,
        .ExtendedDuplex = ExtendedDuplex,
        .UseCustomPaperCode = UseCustomPaperCode,
        .CustomPaperCode = CustomPaperCode,
        .PrintMetaFile = PrintMetaFile,
        .MemoryLimit = MemoryLimit,
        .PrintQuality = PrintQuality,
        .Collate = Collate,
        .ColorOption = ColorOption,
        .PaperSource = PaperSource,
    };
}

void TPrinterSettings::SetJobOptions(const TJobOptions &options)
{
    SetCopies(options.Copies);
    SetOutputBin(options.OutputBin);
    SetDuplex(options.Duplex);
    FirstPage = options.FirstPage;
    LastPage = options.LastPage;
    UseStandardprinter = options.UseStandardprinter;
    UseCustomBinCode = options.UseCustomBinCode;
    CustomBinCode = options.CustomBinCode;
    ExtendedDuplex = options.ExtendedDuplex;
    UseCustomPaperCode = options.UseCustomPaperCode;
    CustomPaperCode = options.CustomPaperCode;
    PrintMetaFile = options.PrintMetaFile;
    MemoryLimit = options.MemoryLimit;
    PrintQuality = options.PrintQuality;
    Collate = options.Collate;
    ColorOption = options.ColorOption;
    PaperSource = options.PaperSource;
}

std::pair<TLength, TLength> TPrinterSettings::portraitPaper() const
{
    if (paperSize_ != paperDefault && paperSize_ != paperCustom)
        return {TLength::fromMm(paperTable[paperSize_].Width),
                TLength::fromMm(paperTable[paperSize_].Length)};
    return {TLength::fromNative(CustomWidth), TLength::fromNative(CustomLength)};
}

long double TPrinterSettings::PaperWidth() const
{
    const auto [width, length] = portraitPaper();
    return (orientation_ == TOrientation::Landscape ? length : width).native();
}

long double TPrinterSettings::PaperLength() const
{
    const auto [width, length] = portraitPaper();
    return (orientation_ == TOrientation::Landscape ? width : length).native();
}

void TPrinterSettings::ReadFrom(const platform::TDeviceMode &mode, const Capabilities &caps)
{
    using namespace platform;
    deviceFields_ = mode.Fields;
    PixelsPerInchX = caps.pixelsPerInchX;
    PixelsPerInchY = caps.pixelsPerInchY;
    copies_ = (mode.Fields & dm::Copies) ? mode.Copies : 1;
    outputBin_ = TBRBin::First;
    if (mode.Fields & dm::DefaultSource) {
        for (std::size_t b = 0; b < binCodes.size(); ++b) {
            if (binCodes[b] == mode.DefaultSource) {
                outputBin_ = static_cast<TBRBin>(b);
                break;
            }
        }
    }
    if (mode.Fields & dm::Duplex) {
        duplex_ = mode.Duplex != dm::DuplexSimplex;
        ExtendedDuplex = mode.Duplex;
    }
    LeftOffset = nativeOf(caps.physicalOffset.cx, caps.pixelsPerInchX);
    TopOffset = nativeOf(caps.physicalOffset.cy, caps.pixelsPerInchY);
    paperSize_ = (mode.Fields & dm::PaperSize) ? paperSizeOfCode(mode.PaperSize) : paperDefault;
    CustomWidth = nativeOf(caps.physicalPageSize.cx, caps.pixelsPerInchX);
    CustomLength = nativeOf(caps.physicalPageSize.cy, caps.pixelsPerInchY);
    SupportedPapers.reset();
    for (const int code : caps.paperCodes) {
        const int size = paperSizeOfCode(code);
        if (size != paperDefault)
            SupportedPapers.set(static_cast<std::size_t>(size));
    }
    PrintQuality = mode.PrintQuality;
    Collate = mode.Collate;
    ColorOption = mode.Color;
    PaperSource = mode.PaperSource;
}

platform::TDeviceMode TPrinterSettings::DeviceModeFor(platform::TDeviceMode mode) const
{
    using namespace platform;
    // The page's paper for the paper size, portrait, in native units: the device's unit.
    const bool table = paperSize_ != paperDefault && paperSize_ != paperCustom;
    mode.Fields |= dm::PaperLength | dm::PaperWidth;
    mode.PaperWidth = static_cast<int>(platform::roundHalfEven(
        table ? TLength::fromMm(paperTable[paperSize_].Width).native() : CustomWidth));
    mode.PaperLength = static_cast<int>(platform::roundHalfEven(
        table ? TLength::fromMm(paperTable[paperSize_].Length).native() : CustomLength));
    if ((mode.Fields & dm::PaperSize) && paperSize_ != paperDefault)
        mode.PaperSize = UseCustomPaperCode ? CustomPaperCode : paperCode(paperSize_);
    mode.Fields |= dm::Copies;
    mode.Copies = copies_;
    mode.Fields |= dm::Duplex;
    mode.Duplex = ExtendedDuplex != 0 ? ExtendedDuplex
                  : duplex_           ? dm::DuplexHorizontal
                                      : dm::DuplexSimplex;
    mode.Fields |= dm::DefaultSource;
    mode.DefaultSource = UseCustomBinCode ? CustomBinCode : binCode(outputBin_);
    mode.Fields |= dm::Orientation;
    mode.Orientation = orientation_ == TOrientation::Landscape ? dm::Landscape : dm::Portrait;
    mode.Collate = Collate; // written without its mark
    mode.PaperSource = PaperSource;
    return mode;
}

void TPrinterSettings::ReadSettings(const platform::TPrinter &printer)
{
    DeviceName = printer.DeviceName();
    DriverName = printer.DriverName();
    PortName = printer.PortName();
    platform::TDeviceMode mode = printer.DeviceMode();
    bool handled = false;
    if (OnGetPrinterSettings)
        OnGetPrinterSettings(*this, handled, mode);
    if (handled)
        return;
    ReadFrom(mode, {printer.PixelsPerInchX(), printer.PixelsPerInchY(), printer.PhysicalOffset(),
                    printer.PhysicalPageSize(), printer.PaperCodes()});
}

void TPrinterSettings::ApplySettings(platform::TPrinter &printer)
{
    platform::TDeviceMode mode = DeviceModeFor(printer.DeviceMode());
    bool handled = false;
    if (OnApplyPrinterSettings)
        OnApplyPrinterSettings(*this, handled, mode);
    if (!handled)
        printer.SetDeviceMode(&mode);
}

} // namespace output
