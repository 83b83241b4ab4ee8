#include "output/previewinterface.h"

#include "output/standardpreview.h"

namespace output {

namespace {
TBRPreviewInterface::TClass &previewClass()
{
    static TBRPreviewInterface::TClass theClass;
    return theClass;
}
} // namespace

QWidget *TBRPreviewInterface::Show(const TBRPreviewRequest &) { return nullptr; }

void TBRPreviewInterface::ShowModal(const TBRPreviewRequest &) {}

void TBRPreviewInterface::SetPreviewClass(TClass theClass) { previewClass() = std::move(theClass); }

void TBRPreviewInterface::PreviewWithClass(const TBRPreviewRequest &request)
{
    if (!previewClass())
        return;
    const std::unique_ptr<TBRPreviewInterface> provider = previewClass()();
    provider->ShowModal(request);
}

QWidget *TBRStandardPreviewInterface::Show(const TBRPreviewRequest &request)
{
    auto *window = new TBRStandardPreview(request); // frees itself when closed
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->ShowPageInfo();
    return window;
}

void TBRStandardPreviewInterface::ShowModal(const TBRPreviewRequest &request)
{
    TBRStandardPreview window(request);
    window.exec();
}

TBRPreviewState &TBRPreviewState::Instance()
{
    static TBRPreviewState state;
    return state;
}

} // namespace output
