#pragma once
// "Excel regneark": the pages' texts as one worksheet, "Brikker", holding the pages one below
// the other. Each page's block starts with a bold row naming the page; its texts follow in a
// grid that mirrors the page (TBRPageGrid), in the page's size and weight. A manual page break
// stands before every block, so that the printed worksheet gives one page per block (Excel
// keeps at most 1023 such breaks in a sheet). The rows are written out as they come
// (libxlsxwriter's constant-memory mode), so memory does not grow with the page count; the
// compressed workbook is held in memory and written whole over the target.

#include "output/export/exportfilter.h"
#include "output/export/pagegrid.h"
#include "platform/fileio.h"
#include "platform/recordingcanvas.h"
#include "platform/savefile.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace output {

class TBRXLSFilter : public TBRExportFilter {
public:
    static constexpr const char *SheetName = "Brikker";

    explicit TBRXLSFilter(std::filesystem::path file);
    ~TBRXLSFilter() override;

protected:
    void openDocument() override;
    void beginPage() override { canvas_.clear(); }
    void endPage() override;
    platform::Canvas &pageCanvas() override { return canvas_; }
    void finishDocument() override;
    void discardDocument() noexcept override;

private:
    lxw_format *format(bool bold, int size);
    void closeScratch() noexcept;

    platform::RecordingCanvas canvas_;
    std::unique_ptr<platform::TSaveFile> save_;
    std::unique_ptr<platform::TScratchFile> scratch_; // the workbook until it is complete
    lxw_workbook *workbook_ = nullptr;
    lxw_worksheet *sheet_ = nullptr;
    std::map<std::pair<bool, int>, lxw_format *> formats_;
    std::vector<TBRGridColumn> columns_;
    std::vector<double> columnWidthsMM_;
    std::vector<unsigned> breaks_;
    unsigned nextRow_ = 0;
};

} // namespace output
