#include "platform/printer.h"

#include "platform/cp1252.h"
#include "platform/emf/emfmetafile.h"
#include "platform/fileerror.h"
#include "platform/length.h"
#include "platform/paintercanvas.h"
#include "platform/savefile.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cups/cups.h>
#include <cups/ppd.h>

namespace platform {
namespace {

constexpr int kFallbackPixelsPerInch = 600;

const unsigned kAlwaysSupported =
    dm::Orientation | dm::PaperSize | dm::PaperLength | dm::PaperWidth | dm::Copies | dm::Collate;

// A CUPS destination, released when it goes out of scope.
class CupsDest {
public:
    explicit CupsDest(const QString &name)
        : dest_(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toUtf8().constData(), nullptr))
    {}
    ~CupsDest()
    {
        if (dest_)
            cupsFreeDests(1, dest_);
    }
    CupsDest(const CupsDest &) = delete;
    CupsDest &operator=(const CupsDest &) = delete;
    cups_dest_t *get() const { return dest_; }
    std::string option(const char *name) const
    {
        const char *value =
            dest_ ? cupsGetOption(name, dest_->num_options, dest_->options) : nullptr;
        return value ? value : "";
    }

private:
    cups_dest_t *dest_;
};

// The printer's default resolution as its driver declares it, or 0 when it says nothing.
int defaultResolution(const CupsDest &dest)
{
    if (!dest.get())
        return 0;
    cups_dinfo_t *info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get());
    if (!info)
        return 0;
    int dpi = 0;
    if (ipp_attribute_t *attr =
            cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest.get(), info, "printer-resolution")) {
        ipp_res_t units;
        int y = 0;
        const int x = ippGetResolution(attr, 0, &y, &units);
        dpi = units == IPP_RES_PER_INCH
                  ? x
                  : static_cast<int>(std::lround(x * static_cast<double>(cmPerInch)));
    }
    cupsFreeDestInfo(info);
    return dpi;
}

// The input slots of the queue's driver file (PPD), with the driver's texts.
std::vector<TPaperSource> inputSlots(const QString &name)
{
    std::vector<TPaperSource> found;
    // The driver file is how CUPS describes a queue with a driver; its calls are marked as
    // going away in favour of IPP, which names no input slot.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const char *file = cupsGetPPD(name.toUtf8().constData());
    if (file == nullptr)
        return found;
    if (ppd_file_t *ppd = ppdOpenFile(file)) {
        if (ppd_option_t *option = ppdFindOption(ppd, "InputSlot")) {
            for (int i = 0; i < option->num_choices; ++i) {
                const ppd_choice_t &choice = option->choices[i];
                found.push_back({"InputSlot", choice.choice,
                                 QString::fromUtf8(*choice.text ? choice.text : choice.choice)});
            }
        }
        ppdClose(ppd);
    }
#pragma GCC diagnostic pop
    QFile::remove(QFile::decodeName(file));
    return found;
}

// The media sources a queue without a driver file offers over IPP.
std::vector<TPaperSource> mediaSources(const CupsDest &dest)
{
    std::vector<TPaperSource> sources;
    if (!dest.get())
        return sources;
    cups_dinfo_t *info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get());
    if (!info)
        return sources;
    if (ipp_attribute_t *supported =
            cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest.get(), info, "media-source")) {
        for (int i = 0; i < ippGetCount(supported); ++i) {
            const char *keyword = ippGetString(supported, i, nullptr);
            if (keyword == nullptr)
                continue;
            const char *text =
                cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, dest.get(), info, "media-source", keyword);
            sources.push_back(
                {"media-source", keyword, QString::fromUtf8(text != nullptr ? text : keyword)});
        }
    }
    cupsFreeDestInfo(info);
    return sources;
}

QPageSize pageSizeOf(const TDeviceMode &mode)
{
    if (mode.PaperSize != dm::PaperUser && mode.PaperSize > 0) {
        const QPageSize::PageSizeId id = QPageSize::id(mode.PaperSize);
        if (id != QPageSize::Custom)
            return QPageSize(id);
    }
    if (mode.PaperWidth > 0 && mode.PaperLength > 0)
        return QPageSize(QSizeF(mode.PaperWidth / static_cast<double>(nativePerMm),
                                mode.PaperLength / static_cast<double>(nativePerMm)),
                         QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageSize(QPageSize::A4);
}

} // namespace

// One document, drawn with Qt's PDF engine. For a queue it goes into a nameless temporary file,
// handed to CUPS at its end, so that an aborted document never reaches the printer and a killed
// run leaves no file behind. For a file it goes through a TSaveFile, so that the old file stays
// until the new one is complete.
struct TPrinter::Job {
    QTemporaryFile spool;
    std::optional<QPrinter> printer;
    std::unique_ptr<TSaveFile> file;
    std::optional<QPdfWriter> writer;
    QPainter painter;
    std::unique_ptr<PainterCanvas> canvas;
    bool toQueue = true;
    QPagedPaintDevice &device()
    {
        return printer ? static_cast<QPagedPaintDevice &>(*printer) : *writer;
    }
    // The spool file by a name that reaches it without giving it one in the folder.
    QString spoolName() const { return QStringLiteral("/proc/self/fd/%1").arg(spool.handle()); }
};

namespace {
// The printer the program prints on when none is chosen: the system's default, or else the
// first installed one, so that a machine with printers but no default can still print.
QPrinterInfo standardPrinter()
{
    const QPrinterInfo chosen = QPrinterInfo::defaultPrinter();
    if (!chosen.isNull())
        return chosen;
    const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
    return all.isEmpty() ? QPrinterInfo() : all.first();
}
} // namespace

TPrinter::TPrinter() { readDefaults(); }

TPrinter::~TPrinter()
{
    if (job_)
        Abort();
}

std::vector<std::string> TPrinter::Printers()
{
    std::vector<std::string> names;
    for (const QString &name : QPrinterInfo::availablePrinterNames())
        names.push_back(fromQString(name));
    return names;
}

std::string TPrinter::StandardPrinterName()
{
    const QPrinterInfo info = standardPrinter();
    return info.isNull() ? std::string() : fromQString(info.printerName());
}

void TPrinter::SetPrinterIndex(int index)
{
    if (job_)
        throw EPrinter("Der udskrives allerede");
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (index < -1 || index >= names.size())
        throw EPrinter("Den valgte printer findes ikke");
    index_ = index;
    name_ = index < 0 ? QString() : names[index];
    readDefaults();
}

bool TPrinter::HasPrinter() const
{
    return !(name_.isEmpty() ? standardPrinter() : QPrinterInfo::printerInfo(name_)).isNull();
}

void TPrinter::readDefaults()
{
    const QPrinterInfo info =
        name_.isEmpty() ? standardPrinter() : QPrinterInfo::printerInfo(name_);
    if (!info.isNull())
        name_ = info.printerName();
    TDeviceMode mode;
    mode.Fields = kAlwaysSupported;
    const auto duplexModes = info.supportedDuplexModes();
    if (duplexModes.contains(QPrinter::DuplexLongSide) ||
        duplexModes.contains(QPrinter::DuplexShortSide))
        mode.Fields |= dm::Duplex;
    const QPageSize size = info.isNull() ? QPageSize(QPageSize::A4) : info.defaultPageSize();
    mode.PaperSize = size.windowsId() > 0 ? size.windowsId() : dm::PaperUser;
    const QSizeF mm = size.size(QPageSize::Millimeter);
    mode.PaperWidth = static_cast<int>(std::lround(mm.width() * static_cast<double>(nativePerMm)));
    mode.PaperLength =
        static_cast<int>(std::lround(mm.height() * static_cast<double>(nativePerMm)));
    switch (info.defaultDuplexMode()) {
    case QPrinter::DuplexLongSide:
        mode.Duplex = dm::DuplexVertical;
        break;
    case QPrinter::DuplexShortSide:
        mode.Duplex = dm::DuplexHorizontal;
        break;
    default:
        mode.Duplex = dm::DuplexSimplex;
        break;
    }
    mode.Collate = 1;
    defaults_ = mode;
    mode_ = mode;
    // What the system says of the printer is asked once per selection: a print run reads the
    // settings once per report, and asking CUPS each time cost more than drawing the pages.
    const CupsDest dest(name_);
    const int dpi = info.isNull() ? 0 : defaultResolution(dest);
    dpi_ = dpi > 0 ? dpi : kFallbackPixelsPerInch;
    driverName_ = dest.option("printer-make-and-model");
    portName_ = dest.option("device-uri");
    paperCodes_.clear();
    for (const QPageSize &page : info.supportedPageSizes()) {
        if (page.windowsId() > 0 && page.windowsId() != dm::PaperUser)
            paperCodes_.push_back(page.windowsId());
    }
    paperSources_.reset();
    if (info.supportsCustomPageSizes())
        paperCodes_.push_back(dm::PaperUser);
    std::sort(paperCodes_.begin(), paperCodes_.end());
    paperCodes_.erase(std::unique(paperCodes_.begin(), paperCodes_.end()), paperCodes_.end());
    margins_.clear();
}

std::string TPrinter::DeviceName() const { return fromQString(name_); }

std::string TPrinter::DriverName() const { return driverName_; }

std::string TPrinter::PortName() const { return portName_; }

void TPrinter::SetDeviceMode(const TDeviceMode *mode)
{
    if (!mode) {
        mode_ = defaults_;
        return;
    }
    const unsigned supported = defaults_.Fields;
    TDeviceMode next = mode_;
    const auto take = [&](unsigned field, int TDeviceMode::*member) {
        if (mode->Fields & field & supported)
            next.*member = mode->*member;
    };
    take(dm::Orientation, &TDeviceMode::Orientation);
    take(dm::PaperSize, &TDeviceMode::PaperSize);
    take(dm::PaperLength, &TDeviceMode::PaperLength);
    take(dm::PaperWidth, &TDeviceMode::PaperWidth);
    take(dm::Copies, &TDeviceMode::Copies);
    take(dm::Duplex, &TDeviceMode::Duplex);
    next.Collate = mode->Collate; // written without its mark
    next.PaperSource = mode->PaperSource;
    next.PrintQuality = mode->PrintQuality;
    next.Color = mode->Color;
    // A length and width that name another paper than the paper code win, as with any driver.
    if ((mode->Fields & dm::PaperLength) && (mode->Fields & dm::PaperWidth) &&
        !(mode->Fields & dm::PaperSize))
        next.PaperSize = dm::PaperUser;
    mode_ = next;
}

namespace {

// The printer's unprintable margins for a page size and orientation, in points.
QMarginsF minimumMargins(const QString &printerName, const QPageSize &size,
                         QPageLayout::Orientation orientation)
{
    if (printerName.isEmpty())
        return {};
    QPrinter probe(QPrinterInfo::printerInfo(printerName), QPrinter::HighResolution);
    probe.setPageSize(size);
    probe.setPageOrientation(orientation);
    QPageLayout layout = probe.pageLayout();
    layout.setUnits(QPageLayout::Point);
    return layout.minimumMargins();
}

QPageLayout::Orientation orientationOf(const TDeviceMode &mode)
{
    return mode.Orientation == dm::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

QMarginsF TPrinter::unprintableMargins(const QPageSize &size, int orientation) const
{
    const auto key = std::make_pair(size.key(), orientation);
    auto it = margins_.find(key);
    if (it == margins_.end())
        it = margins_
                 .emplace(key, minimumMargins(name_, size,
                                              orientation == dm::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait))
                 .first;
    return it->second;
}

TSize TPrinter::PhysicalOffset() const
{
    if (!outputFile_.isEmpty())
        return {};
    const QMarginsF margins = unprintableMargins(pageSizeOf(mode_), mode_.Orientation);
    return {
        static_cast<int>(std::lround(margins.left() / static_cast<double>(pointsPerInch) * dpi_)),
        static_cast<int>(std::lround(margins.top() / static_cast<double>(pointsPerInch) * dpi_))};
}

TSize TPrinter::PhysicalPageSize() const
{
    QSizeF mm = pageSizeOf(mode_).size(QPageSize::Millimeter);
    if (orientationOf(mode_) == QPageLayout::Landscape)
        mm.transpose();
    const auto pixels = [this](double length) {
        return static_cast<int>(std::lround(pixelsFromMm(length, dpi_)));
    };
    return {pixels(mm.width()), pixels(mm.height())};
}

std::vector<int> TPrinter::PaperCodes() const { return paperCodes_; }

std::vector<TPaperSource> TPrinter::PaperSourcesOf(const QString &name)
{
    if (name.isEmpty())
        return {};
    std::vector<TPaperSource> sources = inputSlots(name);
    if (sources.empty())
        sources = mediaSources(CupsDest(name));
    // One tray is no choice.
    if (sources.size() < 2)
        sources.clear();
    return sources;
}

std::vector<TPaperSource> TPrinter::PaperSources() const
{
    if (!paperSources_)
        paperSources_ = HasPrinter() ? PaperSourcesOf(name_) : std::vector<TPaperSource>{};
    return *paperSources_;
}

void TPrinter::SetOutputFile(const QString &pdfPath) { outputFile_ = pdfPath; }

bool TPrinter::Printing() const { return job_ != nullptr; }

void TPrinter::BeginDoc()
{
    if (job_)
        throw EPrinter("Der udskrives allerede");
    auto job = std::make_unique<Job>();
    job->toQueue = outputFile_.isEmpty();
    if (job->toQueue && name_.isEmpty())
        throw EPrinter("Der er ikke installeret nogen printer");
    const QPageSize size = pageSizeOf(mode_);
    const QPageLayout::Orientation orientation = orientationOf(mode_);
    if (job->toQueue) {
        job->spool.setFileTemplate(QDir::tempPath() + QStringLiteral("/tavleplanner-XXXXXX.pdf"));
        if (!job->spool.open())
            throw EPrinter(cp1252(u8"Udskriftsfilen til printerkøen kan ikke oprettes"));
        QPrinter &p = job->printer.emplace(QPrinter::HighResolution);
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(job->spoolName());
        p.setResolution(dpi_);
        p.setFullPage(false);
        p.setPageLayout(QPageLayout(size, orientation, unprintableMargins(size, mode_.Orientation),
                                    QPageLayout::Point));
        p.setDocName(toQString(title_));
        p.setCreator(QStringLiteral("Tavleplanner"));
        if (!job->painter.begin(&p))
            throw EPrinter("Printeren er ikke i gang med at udskrive");
    } else {
        // A file has no unprintable margins.
        job->file = std::make_unique<TSaveFile>(
            std::filesystem::path(QFile::encodeName(outputFile_).toStdString()));
        QPdfWriter &w = job->writer.emplace(&job->file->Device());
        w.setResolution(dpi_);
        w.setPageLayout(QPageLayout(size, orientation, QMarginsF(), QPageLayout::Point));
        w.setTitle(toQString(title_));
        w.setCreator(QStringLiteral("Tavleplanner"));
        if (!job->painter.begin(&w))
            throw EFileNotWritten(job->file->Target(), 0);
    }
    job->canvas = std::make_unique<PainterCanvas>(job->painter, dpi_, dpi_);
    job_ = std::move(job);
}

void TPrinter::NewPage()
{
    if (!job_)
        throw EPrinter("Printeren er ikke i gang med at udskrive");
    if (!job_->device().newPage())
        throw EPrinter("Printeren er ikke i gang med at udskrive");
    // A full disk stops the run at the page it shows on.
    if (job_->file)
        job_->file->ThrowIfFailed();
}

void TPrinter::EndDoc()
{
    if (!job_)
        throw EPrinter("Printeren er ikke i gang med at udskrive");
    std::unique_ptr<Job> job = std::move(job_);
    job->canvas.reset();
    const bool ended = job->painter.end();
    if (job->file) {
        job->file->ThrowIfFailed();
        if (!ended)
            throw EFileNotWritten(job->file->Target(), 0);
        job->file->Commit();
        return;
    }
    if (!ended)
        throw EPrinter("Printeren er ikke i gang med at udskrive");

    // The job's settings as CUPS job options. The pages already have their final size; the
    // printer must not scale them, or the tiles would miss their places.
    cups_option_t *options = nullptr;
    int count = 0;
    count = cupsAddIntegerOption("copies", std::max(1, mode_.Copies), count, &options);
    count = cupsAddOption("multiple-document-handling",
                          mode_.Collate == 1 ? "separate-documents-collated-copies"
                                             : "separate-documents-uncollated-copies",
                          count, &options);
    if (defaults_.Fields & dm::Duplex) {
        const char *sides = mode_.Duplex == dm::DuplexVertical     ? "two-sided-long-edge"
                            : mode_.Duplex == dm::DuplexHorizontal ? "two-sided-short-edge"
                                                                   : "one-sided";
        count = cupsAddOption("sides", sides, count, &options);
    }
    count = cupsAddOption("media", pageSizeOf(mode_).key().toUtf8().constData(), count, &options);
    if (!mode_.PaperSource.empty()) {
        // Only a tray of this printer: one chosen for another printer means nothing here.
        for (const TPaperSource &source : PaperSources()) {
            if (source.Keyword == mode_.PaperSource) {
                count =
                    cupsAddOption(source.Option.c_str(), source.Keyword.c_str(), count, &options);
                break;
            }
        }
    }
    count = cupsAddOption("print-scaling", "none", count, &options);
    count = cupsAddOption("fit-to-page", "false", count, &options);
    const std::string title = cp1252ToUtf8(title_.empty() ? std::string("Tavleplanner") : title_);
    const int id = cupsPrintFile(name_.toUtf8().constData(), job->spoolName().toUtf8().constData(),
                                 title.c_str(), count, options);
    cupsFreeOptions(count, options);
    if (id == 0)
        throw EPrinter(std::string("The printer did not take the job: ") + cupsLastErrorString());
}

void TPrinter::Abort()
{
    if (!job_)
        return;
    std::unique_ptr<Job> job = std::move(job_);
    job->canvas.reset();
    if (job->file)
        job->file->Discard(); // the old file stays as it was
    else
        job->printer->abort();
    job->painter.end(); // into the spool file or nowhere; either goes with the job
}

void TPrinter::StretchDraw(const TMetafile &page, const TRect &target)
{
    if (!job_)
        throw EPrinter("Printeren er ikke i gang med at udskrive");
    page.play(job_->painter, QRectF(target.Left, target.Top, target.width(), target.height()));
}

Canvas &TPrinter::PrinterCanvas()
{
    if (!job_)
        throw EPrinter("Printeren er ikke i gang med at udskrive");
    return *job_->canvas;
}

} // namespace platform
