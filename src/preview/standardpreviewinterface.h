#pragma once
// The preview class the application lends its reports: the standard preview window, and the
// window state every preview window shares.

#include "report/previewinterface.h"
#include "report/services.h"

#include <string>

namespace preview {

class TBRStandardPreviewInterface : public report::TBRPreviewInterface {
public:
    // The window frees itself when it is closed.
    QWidget *Show(const report::TBRPreviewRequest &request) override;
    void ShowModal(const report::TBRPreviewRequest &request) override;
};

// The preview windows' shared state (user-interface thread only).
struct TBRPreviewState {
    // The report title when a preview opens, the file name after a load; the third status
    // panel shows it. Windows-1252.
    std::string StatusText;
    // True only while a window moves the thumbnail selection itself, so that the grid's
    // selection handler does not navigate again.
    bool ThumbnailSync = false;

    static TBRPreviewState &Instance();
};

// The windows the desktop program lends its reports: the standard preview window (as the
// preview and as the preview class), the progress window and the print dialog. The printer
// and the error display are the caller's to add.
report::TBRServices StandardWindowServices();

} // namespace preview
