#pragma once
// An export filter: a file format that a report run draws into instead of a printer. The run
// drives it as it drives a printer (its document, pages and page canvas), so a filter gets the
// same drawing calls as every page canvas and serves any report. One filter may take several
// runs, one after the other, into one file (each run's pages form a section named by the run's
// title); Finish completes the file. A filter that is freed unfinished, or whose run is aborted,
// leaves no file behind.

#include "output/printerdevice.h"
#include "platform/length.h"

#include <filesystem>
#include <string>

namespace output {

class TBRExportFilter : public TBRPrinterDevice {
public:
    // Texts and lines are placed in device pixels of this resolution unless a filter has its
    // own: fine enough that rounding to whole pixels moves nothing visibly.
    static constexpr int DefaultPixelsPerInch = 600;

    explicit TBRExportFilter(std::filesystem::path file, int pixelsPerInch = DefaultPixelsPerInch);
    // Each filter's destructor calls abandon() while the filter's own members still exist.
    ~TBRExportFilter() override = default;
    TBRExportFilter(const TBRExportFilter &) = delete;
    TBRExportFilter &operator=(const TBRExportFilter &) = delete;

    const std::filesystem::path &FileName() const { return file_; }
    // Sections carry their run's title where the format names its pages (set when several
    // names share one file).
    bool TitledSections = false;

    // Completes the file after the last run. Nothing after an aborted run.
    void Finish();
    bool Finished() const { return finished_; }

    // The run's side.
    int PixelsPerInchX() const override { return pixelsPerInch_; }
    int PixelsPerInchY() const override { return pixelsPerInch_; }
    bool Printing() const override { return runOpen_; }
    void SetTitle(const std::string &title) override { title_ = title; }
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    platform::Canvas *Canvas() override;
    void ApplySettings(TPrinterSettings &settings) override;
    // A file takes any paper and has no unprintable margins.
    void SelectPrinter(int index, TPrinterSettings &settings) override { ReadSettings(settings); }
    void ReadSettings(TPrinterSettings &settings) override;
    // A stored page (kept by a preview or loaded from a saved report file) drawn again into
    // the current page through the page canvas.
    void StretchPage(const platform::TMetafile &page, const platform::TRect &target) override;

protected:
    // The run's title (Windows-1252) and the page's number within its run, from 1.
    const std::string &SectionTitle() const { return title_; }
    int SectionPage() const { return sectionPage_; }
    // The current page's paper in millimetres, as the run set it up.
    double PaperWidthMM() const { return paperWidthMM_; }
    double PaperLengthMM() const { return paperLengthMM_; }
    double ToMM(double pixels) const { return platform::mmFromPixels(pixels, pixelsPerInch_); }

    virtual void openDocument() = 0;
    virtual void beginPage() = 0;
    virtual void endPage() = 0;
    virtual platform::Canvas &pageCanvas() = 0;
    virtual void finishDocument() = 0;
    // Drops what was written so far; must not throw.
    virtual void discardDocument() noexcept = 0;
    // Drops an unfinished document.
    void abandon() noexcept;

private:
    std::filesystem::path file_;
    int pixelsPerInch_;
    std::string title_;
    int sectionPage_ = 0;
    double paperWidthMM_ = 210, paperLengthMM_ = 297;
    bool documentOpen_ = false;
    bool runOpen_ = false;
    bool pageOpen_ = false;
    bool finished_ = false;
};

} // namespace output
