// The printers of the Windows spooler: the printers and the default one, the driver's default
// device mode, papers and numbered paper bins asked of the driver, the unprintable margins
// measured on an information context made with the device mode of the paper, and a document
// drawn through Qt's native Windows print engine, which hands it to the spooler as one job.
#include "platform/printing/printerbackend.h"

#include "platform/length.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <tuple>
#include <windows.h>
#include <winspool.h>

namespace platform::printing {
namespace {

// A paper bin's name as the driver gives it: at most this many characters, not always ended.
constexpr std::size_t kBinNameLength = 24;

std::wstring wide(const QString &text) { return text.toStdWString(); }

QString fromWide(const wchar_t *text) { return text ? QString::fromWCharArray(text) : QString(); }

// A printer opened on the spooler, closed when it goes out of scope.
class PrinterHandle {
public:
    explicit PrinterHandle(const QString &name) : name_(wide(name))
    {
        if (!OpenPrinterW(name_.data(), &handle_, nullptr))
            handle_ = nullptr;
    }
    ~PrinterHandle()
    {
        if (handle_)
            ClosePrinter(handle_);
    }
    PrinterHandle(const PrinterHandle &) = delete;
    PrinterHandle &operator=(const PrinterHandle &) = delete;
    explicit operator bool() const { return handle_ != nullptr; }

    // The driver's default device mode, with its private part; empty when it gives none.
    std::vector<std::byte> defaultDevMode()
    {
        const LONG size = DocumentPropertiesW(nullptr, handle_, name_.data(), nullptr, nullptr, 0);
        if (size < static_cast<LONG>(sizeof(DEVMODEW)))
            return {};
        std::vector<std::byte> mode(static_cast<std::size_t>(size));
        if (DocumentPropertiesW(nullptr, handle_, name_.data(), devMode(mode), nullptr,
                                DM_OUT_BUFFER) != IDOK)
            return {};
        return mode;
    }

    // Lets the driver settle the fields of `mode` set by hand (a paper it maps to another, say).
    void settle(std::vector<std::byte> &mode)
    {
        std::vector<std::byte> settled(mode.size());
        if (DocumentPropertiesW(nullptr, handle_, name_.data(), devMode(settled), devMode(mode),
                                DM_IN_BUFFER | DM_OUT_BUFFER) == IDOK)
            mode = std::move(settled);
    }

    // The printer's level-2 information: driver and port.
    std::pair<QString, QString> driverAndPort()
    {
        DWORD needed = 0;
        GetPrinterW(handle_, 2, nullptr, 0, &needed);
        if (needed == 0)
            return {};
        std::vector<std::byte> buffer(needed);
        if (!GetPrinterW(handle_, 2, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed))
            return {};
        const auto *info = reinterpret_cast<const PRINTER_INFO_2W *>(buffer.data());
        return {fromWide(info->pDriverName), fromWide(info->pPortName)};
    }

    static DEVMODEW *devMode(std::vector<std::byte> &mode)
    {
        return mode.empty() ? nullptr : reinterpret_cast<DEVMODEW *>(mode.data());
    }

private:
    std::wstring name_;
    HANDLE handle_ = nullptr;
};

// An information context of the printer under a device mode, deleted when it goes out of
// scope: the device's measures without a document.
class InformationContext {
public:
    InformationContext(const QString &name, std::vector<std::byte> &mode)
        : dc_(CreateICW(nullptr, wide(name).c_str(), nullptr, PrinterHandle::devMode(mode)))
    {}
    ~InformationContext()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    InformationContext(const InformationContext &) = delete;
    InformationContext &operator=(const InformationContext &) = delete;
    explicit operator bool() const { return dc_ != nullptr; }
    int caps(int index) const { return GetDeviceCaps(dc_, index); }

private:
    HDC dc_;
};

// What the driver lists for `capability`: as many items of T as it says it has.
template <typename T>
std::vector<T> capabilities(const QString &name, WORD capability, std::size_t itemLength = 1)
{
    const std::wstring device = wide(name);
    const int count = DeviceCapabilitiesW(device.c_str(), nullptr, capability, nullptr, nullptr);
    if (count <= 0)
        return {};
    std::vector<T> items(static_cast<std::size_t>(count) * itemLength);
    if (DeviceCapabilitiesW(device.c_str(), nullptr, capability,
                            reinterpret_cast<LPWSTR>(items.data()), nullptr) != count)
        return {};
    return items;
}

// The paper a device mode names: its paper code, or else its length and width.
QPageSize paperOf(const DEVMODEW &mode)
{
    if ((mode.dmFields & DM_PAPERSIZE) && mode.dmPaperSize > 0 &&
        mode.dmPaperSize != DMPAPER_USER) {
        const QPageSize::PageSizeId id = QPageSize::id(mode.dmPaperSize);
        if (id != QPageSize::Custom)
            return QPageSize(id);
    }
    if ((mode.dmFields & DM_PAPERWIDTH) && (mode.dmFields & DM_PAPERLENGTH) &&
        mode.dmPaperWidth > 0 && mode.dmPaperLength > 0)
        return QPageSize(QSizeF(mode.dmPaperWidth / static_cast<double>(nativePerMm),
                                mode.dmPaperLength / static_cast<double>(nativePerMm)),
                         QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return {};
}

// Puts `paper` and `orientation` into a device mode: a paper with a code by its code, any other
// by its portrait width and length.
void setPaper(DEVMODEW &mode, const QPageSize &paper, QPageLayout::Orientation orientation)
{
    mode.dmFields |= DM_ORIENTATION;
    mode.dmOrientation =
        orientation == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    const int code = paper.windowsId();
    if (code > 0 && code != DMPAPER_USER && QPageSize::id(code) == paper.id()) {
        mode.dmFields = (mode.dmFields | DM_PAPERSIZE) & ~(DM_PAPERWIDTH | DM_PAPERLENGTH);
        mode.dmPaperSize = static_cast<short>(code);
        return;
    }
    const QSizeF mm = paper.size(QPageSize::Millimeter);
    mode.dmFields |= DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
    mode.dmPaperSize = DMPAPER_USER;
    mode.dmPaperWidth =
        static_cast<short>(std::lround(mm.width() * static_cast<double>(nativePerMm)));
    mode.dmPaperLength =
        static_cast<short>(std::lround(mm.height() * static_cast<double>(nativePerMm)));
}

// Qt's name for the numbered bins it knows (QPrinter::PaperSource), in the spooler's numbers:
// bins 1 to 11 are Qt's sources 0 to 10.
constexpr int kFirstNumberedBin = DMBIN_UPPER;
constexpr int kLastNumberedBin = DMBIN_LARGECAPACITY;

// The tray's bin as Qt's print engine takes it: a bin Qt names by that name, a driver's own bin
// (numbered from DMBIN_USER) by its number; nothing for a bin Qt cannot name.
std::optional<QPrinter::PaperSource> paperSourceOf(const TPaperSource &tray)
{
    bool ok = false;
    const int bin = QString::fromStdString(tray.Keyword).toInt(&ok);
    if (!ok)
        return std::nullopt;
    if (bin >= kFirstNumberedBin && bin <= kLastNumberedBin)
        return static_cast<QPrinter::PaperSource>(bin - kFirstNumberedBin);
    if (bin == DMBIN_CASSETTE)
        return QPrinter::Cassette;
    if (bin == DMBIN_FORMSOURCE)
        return QPrinter::FormSource;
    if (bin >= DMBIN_USER)
        return static_cast<QPrinter::PaperSource>(bin);
    return std::nullopt;
}

QPrinter::DuplexMode duplexModeOf(int duplex)
{
    switch (duplex) {
    case dm::DuplexVertical:
        return QPrinter::DuplexLongSide;
    case dm::DuplexHorizontal:
        return QPrinter::DuplexShortSide;
    default:
        return QPrinter::DuplexNone;
    }
}

QPrinterInfo printerOrThrow(const QString &name)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        throw EPrinter("Den valgte printer findes ikke");
    return info;
}

// The document drawn by Qt's native engine on the printer's device context: it begins the
// spooler's document with the first page and ends it with the painter, and an aborted one is
// dropped by the spooler.
class SpoolerJob : public QueueJob {
public:
    explicit SpoolerJob(const JobSettings &settings)
        : printer_(printerOrThrow(settings.printer), QPrinter::HighResolution)
    {
        printer_.setResolution(settings.pixelsPerInch);
        printer_.setFullPage(false);
        printer_.setPageLayout(QPageLayout(settings.paper, settings.orientation, settings.margins,
                                           QPageLayout::Point));
        printer_.setCopyCount(settings.copies);
        printer_.setCollateCopies(settings.collate);
        if (settings.duplex)
            printer_.setDuplex(duplexModeOf(*settings.duplex));
        if (settings.tray) {
            if (const auto source = paperSourceOf(*settings.tray))
                printer_.setPaperSource(*source);
        }
        // The spooler knows the job by the document's name.
        printer_.setDocName(settings.title.isEmpty() ? QStringLiteral("Tavleplanner")
                                                     : settings.title);
        printer_.setCreator(QStringLiteral("Tavleplanner"));
    }

    QPagedPaintDevice &device() override { return printer_; }

    void submit() override
    {
        if (printer_.printerState() == QPrinter::Error)
            throw EPrinter("The printer did not take the job");
    }

    void abort() override { printer_.abort(); }

private:
    QPrinter printer_;
};

} // namespace

std::vector<QString> printerNames()
{
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
    if (needed == 0)
        return {};
    std::vector<std::byte> buffer(needed);
    if (!EnumPrintersW(flags, nullptr, 4, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed,
                       &count))
        return {};
    const auto *printers = reinterpret_cast<const PRINTER_INFO_4W *>(buffer.data());
    std::vector<QString> names;
    for (DWORD i = 0; i < count; ++i)
        names.push_back(fromWide(printers[i].pPrinterName));
    return names;
}

QString defaultPrinterName()
{
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size == 0)
        return {};
    std::wstring name(size, L'\0');
    if (!GetDefaultPrinterW(name.data(), &size))
        return {};
    return fromWide(name.c_str());
}

bool printerExists(const QString &name) { return static_cast<bool>(PrinterHandle(name)); }

PrinterFacts printerFacts(const QString &name)
{
    PrinterFacts facts;
    PrinterHandle printer(name);
    if (!printer)
        return facts;
    facts.exists = true;
    std::tie(facts.driverName, facts.portName) = printer.driverAndPort();
    std::vector<std::byte> mode = printer.defaultDevMode();
    if (const DEVMODEW *defaults = PrinterHandle::devMode(mode)) {
        facts.defaultPaper = paperOf(*defaults);
        if ((defaults->dmFields & DM_DUPLEX) && defaults->dmDuplex >= DMDUP_SIMPLEX &&
            defaults->dmDuplex <= DMDUP_HORIZONTAL)
            facts.defaultDuplex = defaults->dmDuplex;
    }
    if (const InformationContext ic(name, mode); ic)
        facts.pixelsPerInch = ic.caps(LOGPIXELSX);
    for (const WORD code : capabilities<WORD>(name, DC_PAPERS)) {
        if (code > 0)
            facts.paperCodes.push_back(code);
    }
    const std::wstring device = wide(name);
    facts.duplex = DeviceCapabilitiesW(device.c_str(), nullptr, DC_DUPLEX, nullptr, nullptr) == 1;
    return facts;
}

std::vector<TPaperSource> paperSources(const QString &name)
{
    const std::vector<WORD> bins = capabilities<WORD>(name, DC_BINS);
    const std::vector<wchar_t> names = capabilities<wchar_t>(name, DC_BINNAMES, kBinNameLength);
    std::vector<TPaperSource> sources;
    for (std::size_t i = 0; i < bins.size(); ++i) {
        QString text;
        if ((i + 1) * kBinNameLength <= names.size()) {
            const wchar_t *binName = names.data() + i * kBinNameLength;
            text = QString::fromWCharArray(
                binName, std::find(binName, binName + kBinNameLength, L'\0') - binName);
        }
        const std::string number = std::to_string(bins[i]);
        sources.push_back(
            {"DMBIN", number, text.isEmpty() ? QString::fromStdString(number) : text});
    }
    return sources;
}

QMarginsF unprintableMargins(const QString &name, const QPageSize &paper,
                             QPageLayout::Orientation orientation)
{
    PrinterHandle printer(name);
    if (!printer)
        return {};
    std::vector<std::byte> mode = printer.defaultDevMode();
    if (DEVMODEW *devMode = PrinterHandle::devMode(mode)) {
        setPaper(*devMode, paper, orientation);
        printer.settle(mode);
    }
    const InformationContext ic(name, mode);
    if (!ic)
        return {};
    const double dpiX = ic.caps(LOGPIXELSX);
    const double dpiY = ic.caps(LOGPIXELSY);
    if (dpiX <= 0 || dpiY <= 0)
        return {};
    const int left = ic.caps(PHYSICALOFFSETX);
    const int top = ic.caps(PHYSICALOFFSETY);
    const int right = ic.caps(PHYSICALWIDTH) - ic.caps(HORZRES) - left;
    const int bottom = ic.caps(PHYSICALHEIGHT) - ic.caps(VERTRES) - top;
    const double x = static_cast<double>(pointsPerInch) / dpiX;
    const double y = static_cast<double>(pointsPerInch) / dpiY;
    return {std::max(0, left) * x, std::max(0, top) * y, std::max(0, right) * x,
            std::max(0, bottom) * y};
}

std::unique_ptr<QueueJob> beginQueueJob(const JobSettings &settings)
{
    return std::make_unique<SpoolerJob>(settings);
}

} // namespace platform::printing
