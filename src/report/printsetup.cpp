// The print settings the preview's "&Indstil" gives: what the platform's print dialog shows,
// and what its answer gives the report's printer settings, the recorded print settings, the
// page and the preview's page output.
#include "report/printsetup.h"

#include "output/brprinter.h"
#include "output/papersize.h"
#include "platform/length.h"
#include "platform/printer.h"
#include "report/customreport.h"
#include "report/services.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <algorithm>
#include <array>

namespace report {

namespace {

constexpr int maxDialogPage = 9999;
constexpr int userDefinedCode = 256;

// The device codes of the paper sources, in TBRBin order.
constexpr std::array<int, 14> sourceCodes = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};

// The raw paper source code of the printer's paper source.
int sourceCodeOf(QPrinter::PaperSource source)
{
    switch (source) {
    case QPrinter::Cassette:
        return 14;
    case QPrinter::FormSource:
        return 15;
    case QPrinter::CustomSource:
        return userDefinedCode;
    default:
        return static_cast<int>(source) + 1; // OnlyOne (Upper) 1 to LargeCapacity 11
    }
}

// The raw duplex code: 1 simplex, 2 vertical (long side), 3 horizontal (short side).
int duplexCodeOf(QPrinter::DuplexMode mode)
{
    switch (mode) {
    case QPrinter::DuplexNone:
        return platform::dm::DuplexSimplex;
    case QPrinter::DuplexShortSide:
        return platform::dm::DuplexHorizontal;
    default:
        return platform::dm::DuplexVertical;
    }
}

// The page's paper as Qt names it: a standard paper by its Windows code, which TBRPaperSize
// shares, any other by its size.
QPageSize pageSizeOf(const TBRPage &page)
{
    if (PaperDimensions(page.PaperSize())) {
        const QPageSize standard(QPageSize::id(PaperCode(page.PaperSize())));
        if (standard.isValid())
            return standard;
        // The table's own millimetres, as the printer system names the paper.
        const output::TPaperDimensions &row =
            output::paperTable[static_cast<std::size_t>(page.PaperSize())];
        return QPageSize(QSizeF(row.Width, row.Length), QPageSize::Millimeter);
    }
    const bool landscape = page.Orientation() == TBROrientation::poLandscape;
    const QSizeF portrait(static_cast<qreal>(page.LengthAt(TBRPage::WidthIndex).mm()),
                          static_cast<qreal>(page.LengthAt(TBRPage::LengthIndex).mm()));
    return QPageSize(landscape ? portrait.transposed() : portrait, QPageSize::Millimeter);
}

QPageLayout::Orientation orientationOf(const TBRPage &page)
{
    return page.Orientation() == TBROrientation::poLandscape ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait;
}

// The paper the dialog chose: the standard paper of its Windows code, or none for any other
// (which the page then takes as a custom paper of that size).
std::optional<TBRPaperSize> standardPaperOf(const QPageSize &size)
{
    const int code = size.windowsId();
    if (code < 1 || code >= static_cast<int>(TBRPaperSize::Custom))
        return std::nullopt;
    const auto paper = static_cast<TBRPaperSize>(code);
    if (!PaperDimensions(paper))
        return std::nullopt;
    return paper;
}

// Gives `page` the paper and orientation the dialog chose; true when either differs from the
// page's. The page is left alone when both are the same.
bool takePaper(TBRPage &page, const QPageLayout &chosen)
{
    const TBROrientation orientation = chosen.orientation() == QPageLayout::Landscape
                                           ? TBROrientation::poLandscape
                                           : TBROrientation::poPortrait;
    const std::optional<TBRPaperSize> paper = standardPaperOf(chosen.pageSize());
    const QSizeF chosenMM = chosen.pageSize().size(QPageSize::Millimeter);
    const bool samePaper =
        paper ? *paper == page.PaperSize()
              : pageSizeOf(page).size(QPageSize::Millimeter).toSize() == chosenMM.toSize();
    if (samePaper && orientation == page.Orientation())
        return false;
    page.SetOrientation(orientation);
    if (paper) {
        page.SetPaperSize(*paper);
    } else {
        const QSizeF across =
            orientation == TBROrientation::poLandscape ? chosenMM.transposed() : chosenMM;
        page.SetPaperSize(TBRPaperSize::Custom);
        page.SaveUnits(TBRUnit::MM);
        page.SetWidth(across.width());
        page.SetLength(across.height());
        page.RestoreUnits();
    }
    return true;
}

// The queue `index` of the system's printers names; the standard printer for any other index,
// as a print with no printer chosen goes there.
std::string printerNameAt(int index)
{
    const std::vector<std::string> printers = platform::TPrinter::Printers();
    return index >= 0 && index < static_cast<int>(printers.size())
               ? printers[static_cast<std::size_t>(index)]
               : platform::TPrinter::StandardPrinterName();
}

constexpr int colourMonochrome = 1;
constexpr int colourColour = 2;
constexpr int collateTrue = 1;

} // namespace

std::optional<TBRBin> binOfSourceCode(int sourceCode)
{
    if (sourceCode >= userDefinedCode)
        sourceCode -= userDefinedCode;
    const auto *found = std::find(sourceCodes.begin(), sourceCodes.end(), sourceCode);
    if (found == sourceCodes.end())
        return std::nullopt;
    return static_cast<TBRBin>(found - sourceCodes.begin());
}

void TBRPrintSetup::PrepareDialog(QPrinter &printer, int &minPage, int &maxPage) const
{
    const std::vector<std::string> printers = platform::TPrinter::Printers();
    const int index = report_.PrinterSettings.PrinterIndex;
    if (index >= 0 && index < static_cast<int>(printers.size()))
        printer.setPrinterName(QString::fromStdString(printers[static_cast<std::size_t>(index)]));
    // The dialog offers the report's paper, not the printer's default one: accepted unchanged,
    // it must leave the pages as they are.
    printer.setPageSize(pageSizeOf(report_.Page));
    printer.setPageOrientation(orientationOf(report_.Page));
    printer.setCopyCount(report_.PrinterSettings.Copies);
    minPage = 0;
    maxPage = maxDialogPage;
    const output::TBRPrinter *shown = report_.PageOutput();
    if (shown != nullptr && shown->OutputState() == output::TBRPrinter::TOutputState::Finished) {
        minPage = 1;
        maxPage = shown->PageNumber();
        printer.setFromTo(1, shown->PageNumber());
    }
}

bool TBRPrintSetup::Take(const QPrinter *chosen, output::TBRPrinter *output,
                         const std::string &paperSource)
{
    recordOnce();
    bool pageChanged = false;
    if (chosen != nullptr) {
        pageChanged = takeChoice(*chosen, paperSource);
        report_.Tag = 0;
    } else {
        report_.Tag = 1;
    }
    // The preview's page output prints (replays) with these settings. A run still drawing
    // into it reads its settings on its own thread: they stay as they are until it ends.
    if (output != nullptr && output->OutputState() != output::TBRPrinter::TOutputState::Running)
        giveOutput(*output);
    // Pages loaded from a file leave the report's own settings as they are.
    if (!TBRServicesScope::LoadedFile())
        report_.PrinterSettings = report_.RecordedPrintSettings;
    return pageChanged;
}

void TBRPrintSetup::recordOnce()
{
    if (recorded_)
        return;
    TBRRecordedPrintSettings &recorded = report_.RecordedPrintSettings;
    static_cast<TBandReportPrinterSettings &>(recorded) = report_.PrinterSettings;
    recorded.Orientation = report_.Page.Orientation() == TBROrientation::poLandscape
                               ? output::TOrientation::Landscape
                               : output::TOrientation::Portrait;
    recorded_ = true;
}

bool TBRPrintSetup::takeChoice(const QPrinter &chosen, const std::string &paperSource)
{
    const std::vector<std::string> printers = platform::TPrinter::Printers();
    const auto listed =
        std::find(printers.begin(), printers.end(), chosen.printerName().toStdString());
    const int printerIndex =
        listed != printers.end() ? static_cast<int>(listed - printers.begin()) : -1;
    TBandReportPrinterSettings &settings = report_.PrinterSettings;
    const std::string before = printerNameAt(settings.PrinterIndex);
    settings.Copies = chosen.copyCount();
    settings.PrinterIndex = printerIndex;
    bool pageChanged = takePaper(report_.Page, chosen.pageLayout());
    if (pageChanged && report_.OnPageChanged)
        report_.OnPageChanged(report_);
    if (const std::string after = printerNameAt(printerIndex);
        after != before && report_.OnPrinterChanged)
        report_.OnPrinterChanged(report_, after, pageChanged);

    recordChoice(chosen, printerIndex, paperSource);
    if (chosen.printRange() == QPrinter::PageRange) {
        settings.FirstPage = chosen.fromPage();
        settings.LastPage = chosen.toPage();
    } else {
        settings.FirstPage = 0;
        settings.LastPage = 0;
    }
    return pageChanged;
}

void TBRPrintSetup::recordChoice(const QPrinter &chosen, int printerIndex,
                                 const std::string &paperSource)
{
    TBRRecordedPrintSettings &recorded = report_.RecordedPrintSettings;
    const int sourceCode = sourceCodeOf(chosen.paperSource());
    const int duplexCode = duplexCodeOf(chosen.duplex());
    recorded.CustomBinCode = sourceCode;
    recorded.ExtendedDuplex = duplexCode;
    recorded.PrintQuality = chosen.resolution();
    recorded.Collate = chosen.collateCopies() ? collateTrue : 0;
    recorded.ColorOption = chosen.colorMode() == QPrinter::Color ? colourColour : colourMonochrome;
    recorded.Copies = chosen.copyCount();
    recorded.Orientation = chosen.pageLayout().orientation() == QPageLayout::Landscape
                               ? output::TOrientation::Landscape
                               : output::TOrientation::Portrait;
    recorded.FirstPage = chosen.fromPage();
    recorded.LastPage = chosen.toPage();
    recorded.OutputBin = binOfSourceCode(sourceCode).value_or(report_.PrinterSettings.OutputBin);
    recorded.CustomPaperCode = chosen.pageLayout().pageSize().windowsId();
    recorded.PrinterIndex = printerIndex;
    recorded.Duplex = duplexCode != platform::dm::DuplexSimplex;
    recorded.PaperSource = paperSource;
}

void TBRPrintSetup::giveOutput(output::TBRPrinter &output) const
{
    // The pages keep their paper and orientation whatever the printer's defaults are (pages
    // recorded anew for a changed paper get theirs from the page when that run starts).
    output.SelectPrinterKeepingPaper(report_.PrinterSettings.PrinterIndex);
    // The recorded choice, the bin named by its raw paper source (or the page output's own),
    // as the report's next run would give it.
    output::TJobOptions job = report_.RecordedPrintSettings;
    job.OutputBin = binOfSourceCode(job.CustomBinCode).value_or(output.Settings().OutputBin());
    job.UseCustomBinCode = report_.PrinterSettings.UseCustomBinCode;
    output.Settings().SetJobOptions(job);
}

} // namespace report
