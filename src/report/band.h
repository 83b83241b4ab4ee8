#pragma once
// TBRCustomBand and TBRBand: a horizontal strip of a report, printed as a whole at the report's
// current position: background, printable controls, frame.

#include "report/bandsize.h"
#include "report/basepanel.h"

#include <functional>

namespace report {

enum class TBRBandType {
    rbTitle,
    rbPageHeader,
    rbDetail,
    rbPageFooter,
    rbSummary,
    rbGroupHeader,
    rbGroupFooter,
    rbSubDetail,
    rbColumnHeader,
    rbOverlay,
    rbChild
};

class TBRCustomBand;
using TBRBandBeforePrintEvent = std::function<void(TBRCustomBand &Sender, bool &PrintBand)>;
using TBRBandAfterPrintEvent = std::function<void(TBRCustomBand &Sender, bool BandPrinted)>;

class TBRCustomBand : public TBRBasePanel {
public:
    static constexpr int newBandPixelHeight = 40;

    TBRCustomBand();
    ~TBRCustomBand() override;

    TBRBandSize Size;
    bool TransparentBand = false;
    bool ParentFont = true;
    bool ForceNewColumn = false;
    bool ForceNewPage = false;
    bool AlignToBottom = false;
    bool KeepOnOnePage = false;
    bool PreCaluculateBandHeight = false;
    // With PreCaluculateBandHeight, the height (native) that stands in for Size.Height in the
    // band's background rectangle.
    long double PrecalculatedHeight = 0;
    TBRBandBeforePrintEvent BeforePrint;
    TBRBandAfterPrintEvent AfterPrint;

    TBRBandType BandType() const { return bandType_; }
    void SetBandType(TBRBandType type);
    // The type that decides the band's width and place: a child band takes the type of the
    // first band up its parent chain that is not a child band.
    TBRBandType EffectiveType() const;
    // The band a child band belongs to, and the child band of this band.
    TBRCustomBand *ParentBand() const { return parentBand_; }
    TBRCustomBand *ChildBand() const { return childBand_; }
    void SetChildBand(TBRCustomBand *child);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // Joins `parent` (a report, or a band, whose report is then joined), or leaves the report
    // when `parent` is none.
    void SetParent(TBRBasePanel *parent);
    TCustomBandReport *ParentReport() override { return report_; }
    bool IsBand() const override { return true; }

    // Passes the zoom to the size and the printable controls and pushes the size into bounds.
    void SetZoom(int zoom);
    void SetBounds(int left, int top, int width, int height) override;

    // The frame reaches this many native units below the band, so that the bottom line of one
    // tile meets the top of the next.
    static constexpr platform::TLength FrameOverhang = platform::TLength::fromNative(1);

    // Run fields of the band's latest print.
    platform::TRect BandFrameRect;
    long double Expanded = 0;  // native units added by stretching controls
    bool BeingPlaced = false;  // set while the band layout places the band
    int StreamPixelHeight = 0; // the pixel height read while the definition was loaded

    // Draws the band with its top left corner at (x, y) native units on the page: background,
    // every enabled printable control, frame one native unit taller than the band.
    void Draw(long double x, long double y);
    // Prints the controls that did not finish (stretching text) at (x, y), then the frame.
    void DrawUnfinished(long double x, long double y);
    bool ControlsFinished() const;

    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    // The definition has been loaded: the size is pushed into the pixel bounds.
    virtual void Loaded();

private:
    friend class TCustomBandReport;
    void joinReport(TCustomBandReport *report);
    void leaveReport();
    void drawFrame(platform::TLength left, platform::TLength top);
    void realignControls();

    TBRBandType bandType_ = TBRBandType::rbTitle;
    bool enabled_ = true;
    bool loading_ = false;
    TCustomBandReport *report_ = nullptr;
    TBRCustomBand *parentBand_ = nullptr;
    TBRCustomBand *childBand_ = nullptr;
};

// The band of report definitions.
class TBRBand : public TBRCustomBand {
public:
    using TBRCustomBand::TBRCustomBand;
};

} // namespace report
