#include "output/export/exportfilter.h"

namespace output {

TBRExportFilter::TBRExportFilter(std::filesystem::path file, int pixelsPerInch)
    : file_(std::move(file)), pixelsPerInch_(pixelsPerInch)
{}

void TBRExportFilter::abandon() noexcept
{
    if (documentOpen_)
        discardDocument();
    documentOpen_ = runOpen_ = pageOpen_ = false;
}

void TBRExportFilter::BeginDoc()
{
    if (!documentOpen_) {
        finished_ = false;
        openDocument();
        documentOpen_ = true;
    }
    runOpen_ = true;
    sectionPage_ = 1;
    beginPage();
    pageOpen_ = true;
}

void TBRExportFilter::NewPage()
{
    if (!runOpen_)
        return;
    pageOpen_ = false;
    endPage();
    ++sectionPage_;
    beginPage();
    pageOpen_ = true;
}

void TBRExportFilter::EndDoc()
{
    if (pageOpen_) {
        pageOpen_ = false;
        endPage();
    }
    runOpen_ = false;
}

void TBRExportFilter::Abort() { abandon(); }

void TBRExportFilter::Finish()
{
    if (!documentOpen_ || runOpen_)
        return;
    try {
        finishDocument();
    } catch (...) {
        abandon();
        throw;
    }
    documentOpen_ = false;
    finished_ = true;
}

platform::Canvas *TBRExportFilter::Canvas() { return pageOpen_ ? &pageCanvas() : nullptr; }

void TBRExportFilter::StretchPage(const platform::TMetafile &page, const platform::TRect &target)
{
    if (pageOpen_)
        page.play(pageCanvas(), target);
}

void TBRExportFilter::ApplySettings(TPrinterSettings &settings)
{
    paperWidthMM_ = platform::mmFromNative(settings.PaperWidth());
    paperLengthMM_ = platform::mmFromNative(settings.PaperLength());
}

void TBRExportFilter::ReadSettings(TPrinterSettings &settings)
{
    settings.SupportedPapers.set();
    settings.LeftOffset = settings.TopOffset = 0;
    settings.PixelsPerInchX = PixelsPerInchX();
    settings.PixelsPerInchY = PixelsPerInchY();
}

} // namespace output
