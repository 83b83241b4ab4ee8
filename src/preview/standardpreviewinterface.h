#pragma once
// The preview class the application lends its reports: the standard preview window. The
// window state every preview window shares is in previewstate.h.

#include "report/previewinterface.h"
#include "report/services.h"

namespace preview {

class TBRStandardPreviewInterface : public report::TBRPreviewInterface {
public:
    // The window frees itself when it is closed.
    QWidget *Show(const report::TBRPreviewRequest &request) override;
    void ShowModal(const report::TBRPreviewRequest &request) override;
};

// The windows the desktop program lends its reports: the standard preview window (as the
// preview and as the preview class), the progress window and the print dialog. The printer
// and the error display are the caller's to add.
report::TBRServices StandardWindowServices();

} // namespace preview
