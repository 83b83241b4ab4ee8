// The preview's print settings command: the platform's print dialog on the system printer, and
// what its answer gives the report's printer settings, the recorded print settings and the
// preview's page output.
#include "output/brprinter.h"
#include "platform/printer.h"
#include "report/customreport.h"

#include <QPageLayout>
#include <QPrintDialog>
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

void TCustomBandReport::PreparePrintDialog(QPrinter &printer, int &minPage, int &maxPage) const
{
    const std::vector<std::string> printers = platform::TPrinter::Printers();
    const int index = PrinterSettings.PrinterIndex;
    if (index >= 0 && index < static_cast<int>(printers.size()))
        printer.setPrinterName(QString::fromStdString(printers[static_cast<std::size_t>(index)]));
    printer.setPageOrientation(Page.Orientation() == TBROrientation::poLandscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    printer.setCopyCount(PrinterSettings.Copies);
    minPage = 0;
    maxPage = maxDialogPage;
    const output::TBRPrinter *shown = PageOutput();
    if (shown != nullptr && shown->OutputState() == output::TBRPrinter::TOutputState::Finished) {
        minPage = 1;
        maxPage = shown->PageNumber();
        printer.setFromTo(1, shown->PageNumber());
    }
}

void TCustomBandReport::PrinterSetup(output::TBRPrinter *output)
{
    // The run reads the page and the printer settings on its own thread: nothing changes them
    // while it goes.
    waitForFinishedPreviewRun();
    {
        const std::lock_guard lock(previewMutex_);
        if (threadActive_)
            return;
    }
    if (!available_)
        return;
    QPrinter printer(QPrinter::HighResolution);
    int minPage = 0, maxPage = 0;
    PreparePrintDialog(printer, minPage, maxPage);
    QPrintDialog dialog(&printer);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setMinMax(minPage, maxPage);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    TakePrinterSetup(accepted ? &printer : nullptr, output);
}

void TCustomBandReport::TakePrinterSetup(const QPrinter *chosen, output::TBRPrinter *output)
{
    if (!printSettingsRecorded_) {
        static_cast<TBandReportPrinterSettings &>(RecordedPrintSettings) = PrinterSettings;
        RecordedPrintSettings.Orientation = Page.Orientation() == TBROrientation::poLandscape
                                                ? output::TOrientation::Landscape
                                                : output::TOrientation::Portrait;
        printSettingsRecorded_ = true;
    }
    if (chosen != nullptr) {
        const std::vector<std::string> printers = platform::TPrinter::Printers();
        const auto listed =
            std::find(printers.begin(), printers.end(), chosen->printerName().toStdString());
        const int printerIndex =
            listed != printers.end() ? static_cast<int>(listed - printers.begin()) : -1;
        const bool landscape = chosen->pageLayout().orientation() == QPageLayout::Landscape;
        PrinterSettings.Copies = chosen->copyCount();
        PrinterSettings.PrinterIndex = printerIndex;
        Page.SetOrientation(landscape ? TBROrientation::poLandscape : TBROrientation::poPortrait);

        TBRRecordedPrintSettings &recorded = RecordedPrintSettings;
        const int sourceCode = sourceCodeOf(chosen->paperSource());
        const int duplexCode = duplexCodeOf(chosen->duplex());
        recorded.CustomBinCode = sourceCode;
        recorded.ExtendedDuplex = duplexCode;
        recorded.PrintQuality = chosen->resolution();
        recorded.Collate = chosen->collateCopies() ? collateTrue : 0;
        recorded.ColorOption =
            chosen->colorMode() == QPrinter::Color ? colourColour : colourMonochrome;
        recorded.Copies = chosen->copyCount();
        recorded.Orientation =
            landscape ? output::TOrientation::Landscape : output::TOrientation::Portrait;
        recorded.FirstPage = chosen->fromPage();
        recorded.LastPage = chosen->toPage();
        recorded.OutputBin = binOfSourceCode(sourceCode).value_or(PrinterSettings.OutputBin);
        recorded.CustomPaperCode = chosen->pageLayout().pageSize().windowsId();
        recorded.PrinterIndex = printerIndex;
        recorded.Duplex = duplexCode != platform::dm::DuplexSimplex;
        if (chosen->printRange() == QPrinter::PageRange) {
            PrinterSettings.FirstPage = chosen->fromPage();
            PrinterSettings.LastPage = chosen->toPage();
        } else {
            PrinterSettings.FirstPage = 0;
            PrinterSettings.LastPage = 0;
        }
        Tag = 0;
    } else {
        Tag = 1;
    }

    // The preview's page output prints (replays) with these settings. A run still drawing
    // into it reads its settings on its own thread: they stay as they are until it ends.
    if (output != nullptr && output->OutputState() != output::TBRPrinter::TOutputState::Running) {
        output::TPrinterSettings &settings = output->Settings();
        // The pages keep their paper and orientation whatever the printer's defaults are.
        const int paperSize = settings.PaperSize();
        const output::TOrientation orientation = settings.Orientation();
        const long double customWidth = settings.CustomWidth;
        const long double customLength = settings.CustomLength;
        output->SelectPrinter(PrinterSettings.PrinterIndex);
        settings.CustomWidth = customWidth;
        settings.CustomLength = customLength;
        settings.SetPaperSize(paperSize);
        settings.SetOrientation(orientation);

        const TBRRecordedPrintSettings &recorded = RecordedPrintSettings;
        settings.SetOutputBin(binOfSourceCode(recorded.CustomBinCode).value_or(settings.OutputBin()));
        settings.Collate = recorded.Collate;
        settings.ColorOption = recorded.ColorOption;
        settings.PrintQuality = recorded.PrintQuality;
        settings.SetCopies(recorded.Copies);
        settings.CustomBinCode = recorded.CustomBinCode;
        settings.FirstPage = recorded.FirstPage;
        settings.LastPage = recorded.LastPage;
        settings.ExtendedDuplex = recorded.ExtendedDuplex;
        settings.SetDuplex(recorded.Duplex);
        settings.UseCustomBinCode = PrinterSettings.UseCustomBinCode;
    }

    // Pages loaded from a file leave the report's own settings as they are.
    if (!output::TBRPrinter::LoadedFileFlag)
        PrinterSettings = RecordedPrintSettings;
}

} // namespace report
