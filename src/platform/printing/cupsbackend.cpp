// The printers of CUPS: queues and their defaults as Qt's CUPS support reads them, the driver's
// resolution, make and model, address and trays asked of CUPS itself, and a document drawn with
// Qt's PDF engine into a spool file that CUPS takes as one job.
#include "platform/printing/printerbackend.h"

#include "platform/cp1252.h"
#include "platform/length.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cups/cups.h>
#include <cups/ppd.h>

namespace platform::printing {
namespace {

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

// The document drawn with Qt's PDF engine into a nameless temporary file, handed to CUPS at its
// end, so that an aborted document never reaches the printer and a killed run leaves no file
// behind.
class CupsJob : public QueueJob {
public:
    explicit CupsJob(const JobSettings &settings) : settings_(settings)
    {
        spool_.setFileTemplate(QDir::tempPath() + QStringLiteral("/tavleplanner-XXXXXX.pdf"));
        if (!spool_.open())
            throw EPrinter(cp1252(u8"Udskriftsfilen til printerkøen kan ikke oprettes"));
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(spoolName());
        printer_.setResolution(settings.pixelsPerInch);
        printer_.setFullPage(false);
        printer_.setPageLayout(QPageLayout(settings.paper, settings.orientation, settings.margins,
                                           QPageLayout::Point));
        printer_.setDocName(settings.title);
        printer_.setCreator(QStringLiteral("Tavleplanner"));
    }

    QPagedPaintDevice &device() override { return printer_; }

    void submit() override
    {
        // The job's settings as CUPS job options. The pages already have their final size; the
        // printer must not scale them, or the tiles would miss their places.
        cups_option_t *options = nullptr;
        int count = 0;
        count = cupsAddIntegerOption("copies", std::max(1, settings_.copies), count, &options);
        count = cupsAddOption("multiple-document-handling",
                              settings_.collate ? "separate-documents-collated-copies"
                                                : "separate-documents-uncollated-copies",
                              count, &options);
        if (settings_.duplex) {
            const char *sides = *settings_.duplex == dm::DuplexVertical     ? "two-sided-long-edge"
                                : *settings_.duplex == dm::DuplexHorizontal ? "two-sided-short-edge"
                                                                            : "one-sided";
            count = cupsAddOption("sides", sides, count, &options);
        }
        count = cupsAddOption("media", settings_.paper.key().toUtf8().constData(), count, &options);
        if (settings_.tray)
            count = cupsAddOption(settings_.tray->Option.c_str(), settings_.tray->Keyword.c_str(),
                                  count, &options);
        count = cupsAddOption("print-scaling", "none", count, &options);
        count = cupsAddOption("fit-to-page", "false", count, &options);
        const QString title =
            settings_.title.isEmpty() ? QStringLiteral("Tavleplanner") : settings_.title;
        const int id =
            cupsPrintFile(settings_.printer.toUtf8().constData(), spoolName().toUtf8().constData(),
                          title.toUtf8().constData(), count, options);
        cupsFreeOptions(count, options);
        if (id == 0)
            throw EPrinter(std::string("The printer did not take the job: ") +
                           cupsLastErrorString());
    }

    void abort() override { printer_.abort(); }

private:
    // The spool file by a name that reaches it without giving it one in the folder.
    QString spoolName() const { return QStringLiteral("/proc/self/fd/%1").arg(spool_.handle()); }

    JobSettings settings_;
    QTemporaryFile spool_;
    QPrinter printer_{QPrinter::HighResolution};
};

} // namespace

std::vector<QString> printerNames()
{
    const QStringList names = QPrinterInfo::availablePrinterNames();
    return {names.begin(), names.end()};
}

QString defaultPrinterName() { return QPrinterInfo::defaultPrinterName(); }

bool printerExists(const QString &name) { return !QPrinterInfo::printerInfo(name).isNull(); }

PrinterFacts printerFacts(const QString &name)
{
    PrinterFacts facts;
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return facts;
    facts.exists = true;
    const CupsDest dest(name);
    facts.pixelsPerInch = defaultResolution(dest);
    facts.driverName = QString::fromUtf8(dest.option("printer-make-and-model"));
    facts.portName = QString::fromUtf8(dest.option("device-uri"));
    facts.defaultPaper = info.defaultPageSize();
    for (const QPageSize &page : info.supportedPageSizes()) {
        if (page.windowsId() > 0 && page.windowsId() != dm::PaperUser)
            facts.paperCodes.push_back(page.windowsId());
    }
    if (info.supportsCustomPageSizes())
        facts.paperCodes.push_back(dm::PaperUser);
    const auto duplexModes = info.supportedDuplexModes();
    facts.duplex = duplexModes.contains(QPrinter::DuplexLongSide) ||
                   duplexModes.contains(QPrinter::DuplexShortSide);
    switch (info.defaultDuplexMode()) {
    case QPrinter::DuplexLongSide:
        facts.defaultDuplex = dm::DuplexVertical;
        break;
    case QPrinter::DuplexShortSide:
        facts.defaultDuplex = dm::DuplexHorizontal;
        break;
    default:
        facts.defaultDuplex = dm::DuplexSimplex;
        break;
    }
    return facts;
}

std::vector<TPaperSource> paperSources(const QString &name)
{
    std::vector<TPaperSource> sources = inputSlots(name);
    if (sources.empty())
        sources = mediaSources(CupsDest(name));
    return sources;
}

QMarginsF unprintableMargins(const QString &name, const QPageSize &paper,
                             QPageLayout::Orientation orientation)
{
    QPrinter probe(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
    probe.setPageSize(paper);
    probe.setPageOrientation(orientation);
    QPageLayout layout = probe.pageLayout();
    layout.setUnits(QPageLayout::Point);
    return layout.minimumMargins();
}

std::unique_ptr<QueueJob> beginQueueJob(const JobSettings &settings)
{
    return std::make_unique<CupsJob>(settings);
}

} // namespace platform::printing
