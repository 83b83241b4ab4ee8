#pragma once
// The numbered messages the report's own window accepts: print the report now (1026, posted by
// the page output when the preview's print command finds the pages complete) and the preview
// is closing (1028, sent by the preview window with its page output as LParam).

#include "output/brmessage.h"

namespace report {

inline constexpr QEvent::Type msgPrintReport = output::msgPrintReport;
inline constexpr QEvent::Type msgEndPreview = output::msgEndPreview;
inline constexpr QEvent::Type msgStopRun = output::msgStopRun;
inline constexpr QEvent::Type msgPrinterSetup = output::msgPrinterSetup;

} // namespace report
