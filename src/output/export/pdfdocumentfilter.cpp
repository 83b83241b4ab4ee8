#include "output/export/pdfdocumentfilter.h"

#include <QString>

namespace output {

TBRPDFDocumentFilter::TBRPDFDocumentFilter(std::filesystem::path file)
    : TBRExportFilter(std::move(file))
{
    printer_.SetOutputFile(QString::fromStdString(FileName().string()));
}

void TBRPDFDocumentFilter::ApplySettings(TPrinterSettings &settings)
{
    TBRExportFilter::ApplySettings(settings);
    settings.ApplySettings(printer_);
}

void TBRPDFDocumentFilter::ReadSettings(TPrinterSettings &settings)
{
    settings.ReadSettings(printer_);
    TBRExportFilter::ReadSettings(settings);
}

void TBRPDFDocumentFilter::openDocument()
{
    pageCount_ = 0;
    printer_.SetTitle(SectionTitle());
    printer_.BeginDoc();
}

void TBRPDFDocumentFilter::beginPage()
{
    // The document's first page came with the document.
    if (pageCount_++ > 0)
        printer_.NewPage();
}

} // namespace output
