#pragma once
// "HTML dokument": all pages in one self-contained UTF-8 file. Each page is a box of the
// paper's size in millimetres holding its texts, in the font, size and weight they were drawn
// with, each with its left edge where every canvas places it (placeRun), and its coloured fills
// and lines; the page colour is left to the paper. The project's font files travel inside the
// file (@font-face), so that every browser lays the texts out with the program's metrics, and
// print CSS gives one sheet per page. The pages are written to a scratch file as they come and
// joined to the head (which names only the faces used) when the file is finished.

#include "output/export/exportfilter.h"
#include "platform/recordingcanvas.h"
#include "platform/savefile.h"

#include <QTemporaryFile>
#include <memory>
#include <set>
#include <string>

namespace output {

class TBRGHTMLDocumentFilter : public TBRExportFilter {
public:
    explicit TBRGHTMLDocumentFilter(std::filesystem::path file);
    ~TBRGHTMLDocumentFilter() override;

    // `cp1252` as UTF-8 HTML text: the markup characters as character references.
    static std::string EscapeText(std::string_view cp1252);

protected:
    void openDocument() override;
    void beginPage() override;
    void endPage() override;
    platform::Canvas &pageCanvas() override { return canvas_; }
    void finishDocument() override;
    void discardDocument() noexcept override;

private:
    std::string head() const;

    platform::RecordingCanvas canvas_;
    std::unique_ptr<platform::TSaveFile> save_;
    std::unique_ptr<QTemporaryFile> pages_; // nameless, in the temporary folder
    std::string html_;                      // the page being written, reused
    std::set<unsigned> faces_;
    std::string documentTitle_;
    double firstPageWidthMM_ = 0, firstPageLengthMM_ = 0;
};

} // namespace output
