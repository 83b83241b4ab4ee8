#pragma once
// The preview provider: the class that builds the preview window for a page output, held
// process-wide and set at program start. For each preview an instance of it is made, called
// and freed at once; the window lives on by itself. The base class shows nothing.

#include "output/previewsettings.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace output {

class TBRPreviewInterface {
public:
    virtual ~TBRPreviewInterface() = default;

    // Shows the window modelessly and returns it.
    virtual QWidget *Show(const TBRPreviewRequest &request);
    // Shows the window modally and returns when it has been closed.
    virtual void ShowModal(const TBRPreviewRequest &request);

    using TClass = std::function<std::unique_ptr<TBRPreviewInterface>()>;
    // The process-wide provider class (user-interface thread only).
    static void SetPreviewClass(TClass previewClass);
    template <class T> static void SetPreviewClass()
    {
        SetPreviewClass([] { return std::make_unique<T>(); });
    }
    // The page output's preview step: an instance of the provider class shows the request
    // modally and is freed at once. Without a class nothing is shown.
    static void PreviewWithClass(const TBRPreviewRequest &request);
};

class TBRStandardPreviewInterface : public TBRPreviewInterface {
public:
    // The window frees itself when it is closed.
    QWidget *Show(const TBRPreviewRequest &request) override;
    void ShowModal(const TBRPreviewRequest &request) override;
};

// The preview's process-wide state, shared by every preview window (user-interface thread
// only). The loaded-file flag lives with the page output (TBRPrinter::LoadedFileFlag).
struct TBRPreviewState {
    // The report title when a preview opens, the file name after a load; the third status
    // panel shows it. Windows-1252.
    std::string StatusText;
    // True only while a window moves the thumbnail selection itself, so that the grid's
    // selection handler does not navigate again.
    bool ThumbnailSync = false;
    // The application's error display, which shows what a preview command failed with (a
    // file that cannot be read, a printer error). Without one a message box shows it.
    std::function<void(const std::exception &)> ErrorDisplay;

    static TBRPreviewState &Instance();
};

} // namespace output
