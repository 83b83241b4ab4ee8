#pragma once
// The preview provider: the class that builds the preview window for a page output. The
// application lends it to the reports through the services scope; for each preview an instance
// of it is made, called and freed at once, and the window lives on by itself. The base class
// shows nothing.

#include "report/reportpreviewsettings.h"

#include <memory>

class QWidget;

namespace report {

class TBRPreviewInterface {
public:
    virtual ~TBRPreviewInterface() = default;

    // Shows the window modelessly and returns it.
    virtual QWidget *Show(const TBRPreviewRequest &request);
    // Shows the window modally and returns when it has been closed.
    virtual void ShowModal(const TBRPreviewRequest &request);

    // The page output's preview step: an instance of the preview class the services lend shows
    // the request modally and is freed at once. Without a class nothing is shown.
    static void PreviewWithClass(const TBRPreviewRequest &request);
};

} // namespace report
