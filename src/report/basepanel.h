#pragma once
// TBRBasePanel: what the report and its bands share. The panels are never shown, so their
// pixel bounds are plain data: screen pixels at the report's zoom.

#include "platform/canvas.h"
#include "report/frame.h"
#include "report/reportunits.h"

#include <vector>

namespace report {

class TCustomBandReport;
class TBRPrintable;

struct PixelBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const PixelBounds &) const = default;
};

class TBRBasePanel {
public:
    TBRBasePanel() = default;
    virtual ~TBRBasePanel() = default;
    TBRBasePanel(const TBRBasePanel &) = delete;
    TBRBasePanel &operator=(const TBRBasePanel &) = delete;

    TBRFrame Frame;
    // Point size stored with a definition; zoom in percent.
    int FontSize = 12;
    platform::TFont Font;
    platform::TColor Color = platform::clWhite;

    int Zoom() const { return zoom_; }

    const PixelBounds &Bounds() const { return bounds_; }
    virtual void SetBounds(int left, int top, int width, int height) = 0;

    // The report this panel is or belongs to; none for a band outside a report.
    virtual TCustomBandReport *ParentReport() = 0;
    virtual bool IsBand() const { return false; }

    // The printable controls placed on this panel, in control order.
    const std::vector<TBRPrintable *> &Controls() const { return controls_; }
    void AddControl(TBRPrintable *control) { controls_.push_back(control); }
    void RemoveControl(TBRPrintable *control);

protected:
    PixelBounds bounds_;
    int zoom_ = standardZoom;
    std::vector<TBRPrintable *> controls_;
};

} // namespace report
