#pragma once
// Where the commands send a report: a saved report file, one exported file, or the printer.

#include "output/export/exportfilter.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace cli {

enum class ReportDestination { Save, Pdf, Xlsx, Html, Print };

// The export filter that writes `file` for a file destination; nullptr for Save and Print.
std::unique_ptr<output::TBRExportFilter> exportFilterFor(ReportDestination destination,
                                                         const std::string &file);

// The printer index of the queue named with --printer, -1 for the default printer; none, with
// the reason on `err`, when no printer is installed or the queue is unknown.
std::optional<int> printerIndex(const std::string &queue, std::ostream &err);

} // namespace cli
