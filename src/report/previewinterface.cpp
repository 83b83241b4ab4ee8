#include "report/previewinterface.h"

#include "report/services.h"

namespace report {

QWidget *TBRPreviewInterface::Show(const TBRPreviewRequest &) { return nullptr; }

void TBRPreviewInterface::ShowModal(const TBRPreviewRequest &) {}

void TBRPreviewInterface::PreviewWithClass(const TBRPreviewRequest &request)
{
    const auto &previewClass = TBRServicesScope::Current().PreviewClass;
    if (!previewClass)
        return;
    const std::unique_ptr<TBRPreviewInterface> provider = previewClass();
    provider->ShowModal(request);
}

} // namespace report
