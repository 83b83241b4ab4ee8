#pragma once
// What a preview window takes from the report it shows, and the slot through which a report
// hands a page output to the preview window. The report side names these through
// report/reportpreviewsettings.h.

#include <functional>
#include <string>

namespace output {

class TBRPrinter;
class TBRReportLink;

enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TBRZoomState { brZoomToFit, brZoomToWidth, brZoomOther };

struct TBRPreviewSettings {
    TFormStyle PrevFormStyle = TFormStyle::fsNormal;
    TWindowState PreviewInitialState = TWindowState::wsNormal;
    TBRZoomState PrevInitialZoom = TBRZoomState::brZoomToFit;
    int PreviewWidth = 0; // 0 or less: the window's own default
    int PreviewHeight = 0;
    bool PrevShowThumbs = true;
    bool PrevShowSearch = true;
};

// One preview: the page output the run records into (it may still be running), the link to the
// report behind it (print now, the preview is closing, print settings), and the report's
// settings for the window. The provider shows the window modally and returns when it has been
// closed; it must call the link's EndPreview before it returns and not touch the page output
// afterwards. A request without a report link shows pages that no report stands behind.
struct TBRPreviewRequest {
    TBRPrinter &Output;
    TBRReportLink *Report;
    TBRPreviewSettings Settings;
    std::string ReportTitle; // Windows-1252
    bool Landscape = false;
    int Zoom = 100;
};

using TBRPreviewProvider = std::function<void(const TBRPreviewRequest &)>;

} // namespace output
