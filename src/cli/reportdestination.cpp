#include "cli/reportdestination.h"

#include "output/export/htmldocumentfilter.h"
#include "output/export/pdfdocumentfilter.h"
#include "output/export/xlsfilter.h"
#include "platform/printer.h"

#include <algorithm>

namespace cli {

std::unique_ptr<output::TBRExportFilter> exportFilterFor(ReportDestination destination,
                                                         const std::string &file)
{
    switch (destination) {
    case ReportDestination::Pdf:
        return std::make_unique<output::TBRPDFDocumentFilter>(file);
    case ReportDestination::Xlsx:
        return std::make_unique<output::TBRXLSFilter>(file);
    case ReportDestination::Html:
        return std::make_unique<output::TBRGHTMLDocumentFilter>(file);
    default:
        return nullptr;
    }
}

std::optional<int> printerIndex(const std::string &queue, std::ostream &err)
{
    const auto queues = platform::TPrinter::Printers();
    if (queues.empty()) {
        err << "tavleprint: no printer is installed\n";
        return std::nullopt;
    }
    if (queue.empty())
        return -1;
    const auto it = std::find(queues.begin(), queues.end(), queue);
    if (it == queues.end()) {
        err << "tavleprint: " << queue << ": no such printer\n";
        return std::nullopt;
    }
    return static_cast<int>(it - queues.begin());
}

} // namespace cli
