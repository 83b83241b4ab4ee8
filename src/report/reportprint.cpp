// Print: the run on the calling thread straight onto the printer.
#include "output/brprinter.h"
#include "output/progressform.h"
#include "report/customreport.h"

#include <QApplication>

namespace report {

namespace {
TCustomBandReport::TBRPrinterDeviceSource &deviceSource()
{
    static TCustomBandReport::TBRPrinterDeviceSource source;
    return source;
}
} // namespace

void TCustomBandReport::SetPrinterDeviceSource(TBRPrinterDeviceSource source)
{
    deviceSource() = std::move(source);
}

output::TBRPrinterDevice *TCustomBandReport::PrinterDevice()
{
    return deviceSource() ? deviceSource()() : nullptr;
}

void TCustomBandReport::Print()
{
    if (!available_)
        return;
    output::TBRPrinterDevice *device = PrinterDevice();
    if (device == nullptr)
        return; // no printer installed: nothing is printed, nothing is reported

    // The preview's page output, if any, is kept aside for the length of the print.
    std::unique_ptr<output::TBRPrinter> previous = std::move(pageOutput_);
    pageOutput_ = makePageOutput(device);
    if (previous != nullptr)
        pageOutput_->SetClient(previous->Client());
    pageOutput_->Destination = output::TBRPrinter::TDestination::Printer;
    SetPageTarget(pageOutput_.get());
    std::unique_ptr<output::TBRProgressForm> progress;
    const auto restore = [&] {
        SetPageTarget(nullptr);
        progress.reset();
        pageOutput_ = std::move(previous);
        SetPageTarget(pageOutput_.get());
    };
    try {
        // A window needs a widget application; the command-line tool prints without one.
        if (qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr)
            progress = std::make_unique<output::TBRProgressForm>(*pageOutput_, ShowProgress);
        RunReport();
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

} // namespace report
