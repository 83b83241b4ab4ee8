// Export: the run on the calling thread into an export filter, which the page output drives as
// it drives a printer.
#include "output/brprinter.h"
#include "output/export/exportfilter.h"
#include "report/customreport.h"

namespace report {

void TCustomBandReport::Export(output::TBRExportFilter &filter)
{
    waitForFinishedPreviewRun();
    if (!available_)
        return;
    // A print stopped from the progress window keeps the pages so far; an export stopped there
    // leaves no file.
    if (runOntoDevice(filter, true).Stopped)
        filter.Abort();
}

} // namespace report
