#pragma once
// The settings a page output takes its paper, page range, memory limit and printer offsets
// from. The printer side (reading and applying a device's settings) builds on this.

#include "output/papersize.h"

#include <bitset>
#include <cstdint>

namespace output {

enum class TOrientation { Portrait, Landscape };

class TPrinterSettings {
public:
    static constexpr std::int64_t DefaultMemoryLimit = 250000;

    int PaperSize() const { return paperSize_; }
    // Takes a paper size only when the printer offers it; Default is always taken.
    bool SetPaperSize(int size);
    TOrientation Orientation() const { return orientation_; }
    void SetOrientation(TOrientation o) { orientation_ = o; }

    // The paper of the page in native units (0.1 mm), with the orientation applied.
    long double PaperWidth() const;
    long double PaperLength() const;
    // The free paper size of Default and Custom, native units, portrait.
    long double CustomWidth = 2100;
    long double CustomLength = 2970;

    std::int64_t MemoryLimit = DefaultMemoryLimit;
    bool UseStandardprinter = false;
    int FirstPage = 0;
    int LastPage = 0;
    // The printer's physical offsets (native units) and resolution.
    long double LeftOffset = 0;
    long double TopOffset = 0;
    int PixelsPerInchX = 0;
    int PixelsPerInchY = 0;
    // Paper sizes 1 to 69 the printer offers; until a printer is read, all of them.
    std::bitset<paperSizeCount> SupportedPapers = std::bitset<paperSizeCount>().set();

private:
    int paperSize_ = paperA4;
    TOrientation orientation_ = TOrientation::Portrait;
};

} // namespace output
