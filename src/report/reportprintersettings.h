#pragma once
// TBandReportPrinterSettings, the report's PrinterSettings: what the run gives the page
// output's printer settings at the start of every run.

#include "output/printersettings.h"

#include <cstdint>

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

} // namespace report
