#pragma once
// What the application lends every report while it runs: the preview window, the progress
// window, the print dialog, the system printer and the error display, and the one piece of
// state the previews share with the reports. main() (and each test that needs them) installs
// them for a scope; leaving the scope restores what was there before, also when a command
// throws, so no report can reach a provider that is gone.

#include "output/progressview.h"
#include "report/reportpreviewsettings.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>

class QPrinter;

namespace output {
class TBRPrinterDevice;
}

namespace report {

class TBRPreviewInterface;

struct TBRServices {
    // Shows a preview window; none: a preview waits for its run and keeps the pages.
    TBRPreviewProvider Preview;
    // Makes the preview class that TBRPreviewInterface::PreviewWithClass shows; none: nothing
    // is shown.
    std::function<std::unique_ptr<TBRPreviewInterface>()> PreviewClass;
    // Makes the progress window of a print or replay; none: nothing is shown.
    output::TBRProgressProvider Progress;
    // The printer a print uses now; none, or nullptr answered: no printer is installed.
    std::function<output::TBRPrinterDevice *()> PrinterDevice;
    // Shows the print settings dialog modally on `printer`, which holds the report's printer,
    // paper, orientation and copies, for pages `minPage` to `maxPage`, and `paperSource`, the
    // report's paper tray (a tray's keyword, empty for the printer's own); true when the user
    // accepted it, `printer` and `paperSource` then holding the choice. None: the settings stay
    // as they are.
    std::function<bool(QPrinter &printer, int minPage, int maxPage, std::string &paperSource)>
        PrintDialog;
    // Shows what a preview command failed with (a file that cannot be read, a printer error);
    // none: the preview shows it in a message box of its own.
    std::function<void(const std::exception &)> ErrorDisplay;
};

// Installs `services` on the user-interface thread for the life of the scope object.
class TBRServicesScope {
public:
    explicit TBRServicesScope(TBRServices services);
    ~TBRServicesScope();
    TBRServicesScope(const TBRServicesScope &) = delete;
    TBRServicesScope &operator=(const TBRServicesScope &) = delete;

    // What is installed now (empty services outside every scope).
    static const TBRServices &Current();

    // The loaded-file flag: true once a preview has loaded a saved report file in place of a
    // report's pages, until the next report is made. Pages loaded from a file are what they
    // are: the print settings keep the report's own settings and never record the pages
    // again. Each scope starts without a loaded file.
    static bool LoadedFile();
    static void SetLoadedFile(bool loaded);

private:
    TBRServices previous_;
    bool previousLoadedFile_;
};

} // namespace report
