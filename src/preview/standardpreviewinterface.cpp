#include "preview/standardpreviewinterface.h"

#include "preview/printdialog.h"
#include "preview/progressform.h"
#include "preview/standardpreview.h"

namespace preview {

using report::TBRPreviewRequest;

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

report::TBRServices StandardWindowServices()
{
    return {
        .Preview = &report::TBRPreviewInterface::PreviewWithClass,
        .PreviewClass = [] { return std::make_unique<TBRStandardPreviewInterface>(); },
        .Progress = &TBRProgressForm::Provide,
        .PrinterDevice = {},
        .PrintDialog = &ShowPrintDialog,
        .ErrorDisplay = {},
    };
}

} // namespace preview
