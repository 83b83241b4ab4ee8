#pragma once
// Test doubles and definitions shared by the report tests: a page output that records what is
// drawn, a report whose run space can be set, and the tile sheet's definition at 96 dpi.

#include "output/pagetarget.h"
#include "platform/recordingcanvas.h"
#include "platform/screen.h"
#include "report/band.h"
#include "report/customreport.h"
#include "report/label.h"

#include <array>
#include <memory>
#include <ostream>

namespace platform {
inline void PrintTo(const TRect &r, std::ostream *os)
{
    *os << "{" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "}";
}
} // namespace platform

namespace reporttest {

inline constexpr long double nativePerScreenPixel = 254.0L / 96.0L; // at zoom 100

class RecordingPageTarget : public output::TBRPageTarget {
public:
    explicit RecordingPageTarget(int dpi = 96, bool toPrinter = false)
        : canvas(dpi, dpi), toPrinter_(toPrinter)
    {
        HorizontalFactor = VerticalFactor = dpi / 254.0L;
    }
    platform::Canvas *PageCanvas() override { return hasPage ? &canvas : nullptr; }
    bool DrawsToPrinter() const override { return toPrinter_; }

    platform::RecordingCanvas canvas;
    bool hasPage = true;

private:
    bool toPrinter_;
};

class TestReport : public report::TCustomBandReport {
public:
    using TCustomBandReport::TCustomBandReport;
    long long AvailableSpace() const override
    {
        return runSpace ? TCustomBandReport::AvailableSpace() : space;
    }
    long long space = 0;
    bool runSpace = false; // the run's own space instead of `space`
};

// The tile sheet's report as its definition stores it, loaded at 96 pixels per inch, then
// fitted to the given margins (mm) the way the tile sheet does when it is created.
struct TileSheet {
    explicit TileSheet(long double top = 8.5L, long double bottom = 9.0L, long double left = 12.0L,
                       long double right = 20.0L, bool heightFirst = false, bool fitLabels = true);

    platform::ScreenResolutionOverride screen{96};
    TestReport report;
    report::TBRBand *detail = nullptr;
    std::array<report::TBRLabel *, 5> labels{}; // Fag, Laerer, Klasse, Lokale, Periode
    report::TBRLabel *sideLabel = nullptr;
    report::TBRLabel *fileLabel = nullptr;
};

} // namespace reporttest
