#pragma once
// What the application lends every report while it runs: the preview window, the progress
// window and the system printer. main() (and each test that needs them) installs them for a
// scope; leaving the scope restores what was there before, also when a command throws, so no
// report can reach a provider that is gone.

#include "output/progressview.h"
#include "report/reportpreviewsettings.h"

#include <functional>

namespace output {
class TBRPrinterDevice;
}

namespace report {

struct TBRServices {
    // Shows a preview window; none: a preview waits for its run and keeps the pages.
    TBRPreviewProvider Preview;
    // Makes the progress window of a print or replay; none: nothing is shown.
    output::TBRProgressProvider Progress;
    // The printer a print uses now; none, or nullptr answered: no printer is installed.
    std::function<output::TBRPrinterDevice *()> PrinterDevice;
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

private:
    TBRServices previous_;
};

} // namespace report
