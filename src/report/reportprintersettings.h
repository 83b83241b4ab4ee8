#pragma once
// TBandReportPrinterSettings, the report's PrinterSettings: the job options the run gives the
// page output's printer settings at the start of every run, and the report's printer.

#include "output/printersettings.h"

#include <optional>

namespace report {

// Paper sources, with the device codes they send.
using output::TBRBin;

struct TBandReportPrinterSettings : output::TJobOptions {
    int PrinterIndex = -1; // the system's default printer
};

// What the print settings dialog recorded the last time it was accepted: the report's printer
// settings as the dialog chose them, with the dialog's raw device values and orientation.
struct TBRRecordedPrintSettings : TBandReportPrinterSettings {
    output::TOrientation Orientation = output::TOrientation::Portrait;
};

// The paper sources' device codes in TBRBin order: a raw paper source code (less 256 when it is
// 256 or more) names the first bin of its code; TBRBin::Auto and the report's bin otherwise.
std::optional<TBRBin> binOfSourceCode(int sourceCode);

} // namespace report
