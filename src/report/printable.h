#pragma once
// TBRPrintable: a rectangle of a report definition that draws itself onto the page when the
// report runs. Its Size is its true geometry; its pixel bounds (screen pixels at the report's
// zoom) are derived from it, and pixel bounds set from outside are converted back into it.

#include "report/basepanel.h"
#include "report/frame.h"
#include "report/printablesize.h"

namespace output {
class TBRPageTarget;
}

namespace report {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TBRPrintable {
public:
    static constexpr int newControlPixels = 10;

    TBRPrintable();
    virtual ~TBRPrintable();
    TBRPrintable(const TBRPrintable &) = delete;
    TBRPrintable &operator=(const TBRPrintable &) = delete;

    TBRPrintableSize Size;
    TBRFrame Frame;
    platform::TColor Color = platform::clWhite;
    bool Transparent = false;
    bool Enabled = true;
    bool Visible = true;
    // False while a stretching control still has lines for the next column or page.
    bool PrintFinished = true;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool AlignToBand() const { return alignToBand_; }
    void SetAlignToBand(bool align);

    // Pixel bounds. Outside loading all four are converted into Size at once; while the
    // definition is loaded, non-zero values are kept as loaded bounds.
    const PixelBounds &Bounds() const { return bounds_; }
    int Left() const { return bounds_.Left; }
    int Top() const { return bounds_.Top; }
    int Width() const { return bounds_.Width; }
    int Height() const { return bounds_.Height; }
    void SetLeft(int v) { SetBounds(v, bounds_.Top, bounds_.Width, bounds_.Height); }
    void SetTop(int v) { SetBounds(bounds_.Left, v, bounds_.Width, bounds_.Height); }
    void SetWidth(int v) { SetBounds(bounds_.Left, bounds_.Top, v, bounds_.Height); }
    void SetHeight(int v) { SetBounds(bounds_.Left, bounds_.Top, bounds_.Width, v); }
    void SetBounds(int left, int top, int width, int height);
    const PixelBounds &LoadedBounds() const { return loadedBounds_; }

    // The band or report the control is placed on; none to take it off.
    TBRBasePanel *Parent() const { return parent_; }
    void SetParent(TBRBasePanel *parent);
    TCustomBandReport *ParentReport() const { return parentReport_; }
    void SetParentReport(TCustomBandReport *report);
    // The band that holds the control, or none for a control placed on the report.
    TBRBasePanel *ParentBand() const;

    int Zoom() const { return Size.Zoom(); }
    void SetZoom(int zoom);

    output::TBRPageTarget *Printer() const { return printer_; }
    bool Printing() const { return printing_; }

    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    virtual void Loaded();

    // The engine's operations, in slot order.
    virtual bool MayPrint() const { return Enabled || !Visible; }
    virtual void AlignToBandNow();
    virtual void BeginPrinting();
    // Prints the control with Size.Left and Size.Top shifted by the offset (native units).
    virtual void PrintControl(long double offsetX, long double offsetY);
    virtual void BandBoundsChanged() { AlignToBandNow(); }
    virtual void EndPrinting() { printing_ = false; }

protected:
    // Called when the control gets a parent (a label breaks its text then).
    virtual void ParentChanged() {}
    bool Drawing() const;
    // While the control changes its own bounds (keeps AlignToBand from re-entering).
    bool aligning_ = false;

private:
    PixelBounds bounds_{0, 0, newControlPixels, newControlPixels};
    PixelBounds loadedBounds_;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool alignToBand_ = false;
    bool printing_ = false;
    bool loading_ = false;
    TBRBasePanel *parent_ = nullptr;
    TCustomBandReport *parentReport_ = nullptr;
    output::TBRPageTarget *printer_ = nullptr;
};

} // namespace report
