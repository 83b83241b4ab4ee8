#include "platform/printer.h"

#include "platform/cp1252.h"
#include "platform/emf/emfmetafile.h"
#include "platform/fileerror.h"
#include "platform/length.h"
#include "platform/paintercanvas.h"
#include "platform/pathtext.h"
#include "platform/printing/printerbackend.h"
#include "platform/savefile.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

namespace platform {
namespace {

constexpr int kFallbackPixelsPerInch = 600;

const unsigned kAlwaysSupported =
    dm::Orientation | dm::PaperSize | dm::PaperLength | dm::PaperWidth | dm::Copies | dm::Collate;

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

// One document. For a queue it goes to the spooler's job, which hands it over only whole. For a
// file it goes through a TSaveFile, so that the old file stays until the new one is complete.
struct TPrinter::Job {
    std::unique_ptr<printing::QueueJob> queue;
    std::unique_ptr<TSaveFile> file;
    std::optional<QPdfWriter> writer;
    QPainter painter;
    std::unique_ptr<PainterCanvas> canvas;
    QPagedPaintDevice &device() { return queue ? queue->device() : *writer; }
};

namespace {
// The printer the program prints on when none is chosen: the system's default, or else the
// first installed one, so that a machine with printers but no default can still print.
QString standardPrinter()
{
    const QString chosen = printing::defaultPrinterName();
    if (!chosen.isEmpty())
        return chosen;
    const std::vector<QString> all = printing::printerNames();
    return all.empty() ? QString() : all.front();
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
    for (const QString &name : printing::printerNames())
        names.push_back(fromQString(name));
    return names;
}

std::string TPrinter::StandardPrinterName() { return fromQString(standardPrinter()); }

void TPrinter::SetPrinterIndex(int index)
{
    if (job_)
        throw EPrinter("Der udskrives allerede");
    const std::vector<QString> names = printing::printerNames();
    if (index < -1 || index >= static_cast<int>(names.size()))
        throw EPrinter("Den valgte printer findes ikke");
    index_ = index;
    name_ = index < 0 ? QString() : names[static_cast<std::size_t>(index)];
    readDefaults();
}

bool TPrinter::HasPrinter() const
{
    return name_.isEmpty() ? !standardPrinter().isEmpty() : printing::printerExists(name_);
}

void TPrinter::readDefaults()
{
    if (name_.isEmpty())
        name_ = standardPrinter();
    // What the system says of the printer is asked once per selection: a print run reads the
    // settings once per report, and asking the spooler each time cost more than drawing the
    // pages.
    const printing::PrinterFacts facts =
        name_.isEmpty() ? printing::PrinterFacts{} : printing::printerFacts(name_);
    TDeviceMode mode;
    mode.Fields = kAlwaysSupported;
    if (facts.duplex)
        mode.Fields |= dm::Duplex;
    const QPageSize size = facts.exists ? facts.defaultPaper : QPageSize(QPageSize::A4);
    mode.PaperSize = size.windowsId() > 0 ? size.windowsId() : dm::PaperUser;
    const QSizeF mm = size.size(QPageSize::Millimeter);
    mode.PaperWidth = static_cast<int>(std::lround(mm.width() * static_cast<double>(nativePerMm)));
    mode.PaperLength =
        static_cast<int>(std::lround(mm.height() * static_cast<double>(nativePerMm)));
    mode.Duplex = facts.defaultDuplex;
    mode.Collate = 1;
    defaults_ = mode;
    mode_ = mode;
    dpi_ = facts.pixelsPerInch > 0 ? facts.pixelsPerInch : kFallbackPixelsPerInch;
    driverName_ = fromQString(facts.driverName);
    portName_ = fromQString(facts.portName);
    paperCodes_ = facts.paperCodes;
    paperSources_.reset();
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

QPageLayout::Orientation orientationOf(const TDeviceMode &mode)
{
    return mode.Orientation == dm::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

QMarginsF TPrinter::unprintableMargins(const QPageSize &size, int orientation) const
{
    if (name_.isEmpty())
        return {};
    const auto key = std::make_pair(size.key(), orientation);
    auto it = margins_.find(key);
    if (it == margins_.end())
        it = margins_
                 .emplace(key, printing::unprintableMargins(name_, size,
                                                            orientation == dm::Landscape
                                                                ? QPageLayout::Landscape
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
    std::vector<TPaperSource> sources = printing::paperSources(name);
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
    const bool toQueue = outputFile_.isEmpty();
    if (toQueue && name_.isEmpty())
        throw EPrinter("Der er ikke installeret nogen printer");
    const QPageSize size = pageSizeOf(mode_);
    const QPageLayout::Orientation orientation = orientationOf(mode_);
    if (toQueue) {
        printing::JobSettings settings;
        settings.printer = name_;
        settings.title = toQString(title_);
        settings.paper = size;
        settings.orientation = orientation;
        settings.margins = unprintableMargins(size, mode_.Orientation);
        settings.pixelsPerInch = dpi_;
        settings.copies = std::max(1, mode_.Copies);
        settings.collate = mode_.Collate == 1;
        if (defaults_.Fields & dm::Duplex)
            settings.duplex = mode_.Duplex;
        if (!mode_.PaperSource.empty()) {
            // Only a tray of this printer: one chosen for another printer means nothing here.
            for (const TPaperSource &source : PaperSources()) {
                if (source.Keyword == mode_.PaperSource) {
                    settings.tray = source;
                    break;
                }
            }
        }
        job->queue = printing::beginQueueJob(settings);
        if (!job->painter.begin(&job->queue->device()))
            throw EPrinter("Printeren er ikke i gang med at udskrive");
    } else {
        // A file has no unprintable margins.
        job->file = std::make_unique<TSaveFile>(qStringToPath(outputFile_));
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
    job->queue->submit();
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
        job->queue->abort();
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
