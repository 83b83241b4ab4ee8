#pragma once
// TBandReportPrinterSettings, the report's PrinterSettings: what the run gives the page
// output's printer settings at the start of every run.

#include "output/printersettings.h"

#include <cstdint>
#include <optional>

namespace report {

// Paper sources, with the device codes they send.
using output::TBRBin;

struct TBandReportPrinterSettings {
    static constexpr std::int64_t defaultMemoryLimit = 250000;

    int Copies = 1;
    TBRBin OutputBin = TBRBin::Auto;
    bool Duplex = false;
    int FirstPage = 0; // 0: no bound
    int LastPage = 0;
    bool UseStandardprinter = false;
    bool UseCustomBinCode = false;
    int CustomBinCode = 0;
    int ExtendedDuplex = 0;
    bool UseCustomPaperCode = false;
    int CustomPaperCode = 0;
    bool PrintMetaFile = false;
    std::int64_t MemoryLimit = defaultMemoryLimit;
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;
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
