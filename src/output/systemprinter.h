#pragma once
// The system's printer as the page output's printer device: a TBRPrinterDevice on the platform
// printer (Qt Print Support over the system's spooler).

#include "output/printerdevice.h"
#include "platform/printer.h"

namespace output {

class TBRSystemPrinter : public TBRPrinterDevice {
public:
    // Draws on `printer`, which must outlive this object.
    explicit TBRSystemPrinter(platform::TPrinter &printer) : printer_(printer) {}

    std::string PrinterName() const override { return printer_.DeviceName(); }
    int PixelsPerInchX() const override { return printer_.PixelsPerInchX(); }
    int PixelsPerInchY() const override { return printer_.PixelsPerInchY(); }
    bool Printing() const override { return printer_.Printing(); }
    void SetTitle(const std::string &title) override { printer_.SetTitle(title); }
    void BeginDoc() override { printer_.BeginDoc(); }
    void NewPage() override { printer_.NewPage(); }
    void EndDoc() override { printer_.EndDoc(); }
    void Abort() override { printer_.Abort(); }
    platform::Canvas *Canvas() override
    {
        return printer_.Printing() ? &printer_.PrinterCanvas() : nullptr;
    }

    void ApplySettings(TPrinterSettings &settings) override;
    void SelectPrinter(int index, TPrinterSettings &settings) override;
    void ReadSettings(TPrinterSettings &settings) override { settings.ReadSettings(printer_); }
    // Asked of a printer object of its own: the one printed on keeps its selection.
    int DefaultPaperSize() override;
    void StretchPage(const platform::TMetafile &page, const platform::TRect &target) override
    {
        printer_.StretchDraw(page, target);
    }

    platform::TPrinter &Printer() { return printer_; }

private:
    platform::TPrinter &printer_;
};

} // namespace output
