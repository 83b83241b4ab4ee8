#pragma once
// TCustomBandReport: the report's definition and geometry — its page, its bands in band order,
// the printable controls placed on it, units and zoom fanned out to all of them, the band
// layout, text measuring for its labels and the frame around the printable area. The run
// builds on this class.

#include "platform/canvas.h"
#include "platform/screen.h"
#include "report/band.h"
#include "report/basepanel.h"
#include "report/page.h"

#include <memory>
#include <string_view>
#include <vector>

namespace output {
class TBRPageTarget;
}
namespace platform {
class FontMetrics;
}

namespace report {

class TBRPrintable;

inline constexpr int minZoom = 1;
inline constexpr int maxZoom = 300;
// The resolution that printer text widths are scaled to, so that a label breaks its lines
// alike on the printer and on the reference device.
inline constexpr int referencePixelsPerInch = 96;

// Measures text for line breaking: on the printer canvas when the run prints directly,
// otherwise on the report's reference device (width plus one pixel).
class TBRTextMeasure {
public:
    TBRTextMeasure(const platform::FontMetrics &reference, platform::Canvas *printerCanvas)
        : reference_(&reference), printerCanvas_(printerCanvas)
    {}
    long double Width(std::string_view text) const;

private:
    const platform::FontMetrics *reference_;
    platform::Canvas *printerCanvas_;
};

class TCustomBandReport : public TBRBasePanel {
public:
    // `defaultPaper` is the paper of the system's default printer (A4 without a printer).
    explicit TCustomBandReport(TBRPaperSize defaultPaper = TBRPaperSize::A4,
                               int resolution = platform::screenPixelsPerInch());
    ~TCustomBandReport() override;

    TBRPage Page;

    TCustomBandReport *ParentReport() override { return this; }

    // Units live in the page; setting them sets the units of the page, of every band's size
    // and of the size of every printable control in a band or on the report.
    TBRUnit Units() const { return Page.Units(); }
    void SetUnits(TBRUnit units);
    void SaveUnits(TBRUnit switchTo);
    void RestoreUnits();

    void SetZoom(int zoom);

    // The report control's pixel bounds. When they change the bands are laid out again; a
    // Custom paper takes a new pixel size as its Width and Length.
    void SetBounds(int left, int top, int width, int height) override;

    // The bands in band order: page headers, titles, column headers, details, summaries, page
    // footers, then all others; a child band follows its parent.
    const std::vector<TBRCustomBand *> &BandList() const { return bandOrder_; }
    // The first band of `type` in band order, or none.
    TBRCustomBand *FirstBand(TBRBandType type) const;

    // The band layout: gives every band its pixel bounds and its width.
    void ArrangeBands();

    // Defining a report: between BeginLoading and EndLoading stored values are taken as they
    // are; EndLoading runs the after-load updates of the report, its bands and its controls.
    void BeginLoading();
    void EndLoading();
    bool Loading() const { return loading_; }
    bool Destroying() const { return destroying_; }

    // Text measuring for the labels.
    int ReferenceResolution() const { return Page.Resolution(); }
    TBRTextMeasure Measure(const platform::TFont &font) const;
    platform::TSize ReferenceTextExtent(const platform::TFont &font, std::string_view text) const;

    // The page output of the current run, or none.
    output::TBRPageTarget *PageTarget() const { return pageTarget_; }
    void SetPageTarget(output::TBRPageTarget *target) { pageTarget_ = target; }
    // Bands and controls draw onto the page canvas (False only while an export filter re-runs).
    bool Rendering = true;
    // Native units left on the page for the run's next band; 0 when no run is in progress.
    virtual long long AvailableSpace() const { return 0; }

    // The report's frame around the area inside the page margins of the current page.
    void PaintReportFrame();

    // Bands and controls made and owned by the report (a definition may also own them itself
    // and give them a parent).
    TBRBand &CreateBand(TBRBandType type);
    template <class T> T &CreateControl(TBRBasePanel &parent)
    {
        auto control = std::make_unique<T>();
        T &result = *control;
        ownedControls_.push_back(std::move(control));
        result.SetParent(&parent);
        return result;
    }

    // Every printable control, those in bands (in band order) and those on the report.
    std::vector<TBRPrintable *> AllControls() const;

    // Called by bands as they join, leave or change type.
    void AddBand(TBRCustomBand *band);
    void RemoveBand(TBRCustomBand *band);
    void BandsChanged();

protected:
    virtual void Loaded();

private:
    void rebuildBandOrder();

    std::vector<TBRCustomBand *> bands_; // in joining order
    std::vector<TBRCustomBand *> bandOrder_;
    bool loading_ = false;
    bool destroying_ = false;
    bool arranging_ = false;
    output::TBRPageTarget *pageTarget_ = nullptr;
    std::vector<std::unique_ptr<TBRPrintable>> ownedControls_;
    std::vector<std::unique_ptr<TBRBand>> ownedBands_;
};

} // namespace report
