#pragma once
// "PDF document": vector pages of the paper's exact size drawn through the painter canvas, the
// same path as printing; texts stay text in the embedded project font. Qt's PDF engine
// compresses the page streams and embeds a subset of the font.

#include "output/export/exportfilter.h"
#include "platform/printer.h"

namespace output {

class TBRPDFDocumentFilter : public TBRExportFilter {
public:
    explicit TBRPDFDocumentFilter(std::filesystem::path file);
    ~TBRPDFDocumentFilter() override { abandon(); }

    int PixelsPerInchX() const override { return printer_.PixelsPerInchX(); }
    int PixelsPerInchY() const override { return printer_.PixelsPerInchY(); }
    void ApplySettings(TPrinterSettings &settings) override;
    void ReadSettings(TPrinterSettings &settings) override;

protected:
    void openDocument() override;
    void beginPage() override;
    void endPage() override {}
    platform::Canvas &pageCanvas() override { return printer_.PrinterCanvas(); }
    void finishDocument() override { printer_.EndDoc(); }
    void discardDocument() noexcept override { printer_.Abort(); }

private:
    platform::TPrinter printer_;
    int pageCount_ = 0;
};

} // namespace output
