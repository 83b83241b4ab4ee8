#include "output/export/xlsfilter.h"

#include "output/export/pagegrid.h"
#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "platform/fileio.h"
#include "platform/length.h"
#include "platform/numericlocale.h"

#include <xlsxwriter.h>

#include <cerrno>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace output {

namespace {
constexpr double marginInches = 0.25;
// Spreadsheet programs lay a column out somewhat wider than its nominal width (LibreOffice with
// Calibri's metric twin Carlito: about 6 %), so the scale leaves that much room.
constexpr double readerAllowance = 1.1;
constexpr int fullScale = 100;
constexpr int smallestScale = 10;
// A column of width w characters of the default font is 7 w + 5 pixels of the standard screen.
constexpr double pixelsPerCharacter = 7, columnPadding = 5;
constexpr int defaultHeadingPoints = 9;
// Excel's paper codes.
constexpr int paperA4 = 9, paperA3 = 8, paperLetter = 1;

double columnCharacters(double mm)
{
    return std::max(1.0, (platform::pixelsFromMm(mm, platform::screenDpi) - columnPadding) /
                             pixelsPerCharacter);
}

int excelPaper(double widthMM, double lengthMM)
{
    const double shortSide = std::min(widthMM, lengthMM), longSide = std::max(widthMM, lengthMM);
    const auto is = [&](double w, double l) {
        return std::abs(shortSide - w) < 1 && std::abs(longSide - l) < 1;
    };
    return is(210, 297) ? paperA4 : is(297, 420) ? paperA3 : is(215.9, 279.4) ? paperLetter : 0;
}
} // namespace

TBRXLSFilter::TBRXLSFilter(std::filesystem::path file)
    : TBRExportFilter(std::move(file)), canvas_(PixelsPerInchX(), PixelsPerInchY())
{}

TBRXLSFilter::~TBRXLSFilter()
{
    abandon();
    closeScratch();
}

void TBRXLSFilter::openDocument()
{
    // The target's folder is asked first, so that a file that cannot be written is said before
    // the run. The library writes the workbook into a scratch file (in memory where the system
    // has that); the file is then written whole from it, and a full disk is the program's own
    // message.
    save_ = std::make_unique<platform::TSaveFile>(FileName());
    scratch_ = std::make_unique<platform::TScratchFile>(FileName());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    workbook_ = workbook_new_opt(scratch_->Name().c_str(), &options);
    if (workbook_ == nullptr)
        throw platform::EFileNotWritten(FileName(), ENOMEM);
    sheet_ = workbook_add_worksheet(workbook_, SheetName);
    formats_.clear();
    columns_.clear();
    columnWidthsMM_.clear();
    breaks_.clear();
    nextRow_ = 0;
}

lxw_format *TBRXLSFilter::format(bool bold, int size)
{
    lxw_format *&made = formats_[{bold, size}];
    if (made == nullptr) {
        made = workbook_add_format(workbook_);
        format_set_font_name(made, "Arial");
        format_set_font_size(made, size);
        if (bold)
            format_set_bold(made);
    }
    return made;
}

void TBRXLSFilter::endPage()
{
    const TBRPageGrid grid = BuildPageGrid(canvas_.ops(), PixelsPerInchY(), columns_);
    canvas_.clear();
    if (nextRow_ > 0 && breaks_.size() < LXW_BREAKS_MAX)
        breaks_.push_back(nextRow_);
    std::string heading = "Side " + std::to_string(SectionPage());
    if (TitledSections)
        heading = SectionTitle() + " \x96 side " + std::to_string(SectionPage());
    // The heading in the page's largest text size, 9 points at least.
    int headingSize = defaultHeadingPoints;
    for (const TBRGridRow &row : grid.Rows)
        for (const TBRGridCell &cell : row.Cells)
            headingSize = std::max(headingSize, cell.Size);
    worksheet_write_string(sheet_, nextRow_++, 0, platform::cp1252ToUtf8(heading).c_str(),
                           format(true, headingSize));
    for (const TBRGridRow &row : grid.Rows) {
        for (const TBRGridCell &cell : row.Cells)
            worksheet_write_string(sheet_, nextRow_, static_cast<lxw_col_t>(cell.Column),
                                   platform::cp1252ToUtf8(cell.Text).c_str(),
                                   format(cell.Bold, cell.Size));
        ++nextRow_;
    }
    if (columnWidthsMM_.size() < grid.ColumnWidthsMM.size())
        columnWidthsMM_.resize(grid.ColumnWidthsMM.size());
    for (std::size_t i = 0; i < grid.ColumnWidthsMM.size(); ++i)
        columnWidthsMM_[i] = std::max(columnWidthsMM_[i], grid.ColumnWidthsMM[i]);
}

void TBRXLSFilter::finishDocument()
{
    for (std::size_t i = 0; i < columnWidthsMM_.size(); ++i)
        worksheet_set_column(sheet_, static_cast<lxw_col_t>(i), static_cast<lxw_col_t>(i),
                             columnCharacters(columnWidthsMM_[i]), nullptr);
    if (!breaks_.empty()) {
        std::vector<lxw_row_t> breaks(breaks_.begin(), breaks_.end());
        breaks.push_back(0);
        worksheet_set_h_pagebreaks(sheet_, breaks.data());
    }
    // A block as wide as the page's texts, scaled down (never up) to the paper's width.
    const bool landscape = PaperWidthMM() > PaperLengthMM();
    if (landscape)
        worksheet_set_landscape(sheet_);
    if (const int paper = excelPaper(PaperWidthMM(), PaperLengthMM()))
        worksheet_set_paper(sheet_, static_cast<uint8_t>(paper));
    worksheet_set_margins(sheet_, marginInches, marginInches, marginInches, marginInches);
    const double width =
        readerAllowance * std::accumulate(columnWidthsMM_.begin(), columnWidthsMM_.end(), 0.0);
    const double room =
        PaperWidthMM() - 2 * marginInches * static_cast<double>(platform::mmPerInch);
    if (width > room)
        worksheet_set_print_scale(
            sheet_, static_cast<uint16_t>(
                        std::max<double>(smallestScale, std::floor(fullScale * room / width))));
    lxw_workbook *workbook = workbook_;
    workbook_ = nullptr;
    sheet_ = nullptr;
    // The library writes its numbers with the C library's printf while it closes.
    const platform::CNumericLocale point;
    if (workbook_close(workbook) != LXW_NO_ERROR)
        throw platform::EFileNotWritten(FileName(), errno);
    save_->WriteFrom(scratch_->Descriptor());
    save_->Commit();
    closeScratch();
    save_.reset();
}

void TBRXLSFilter::closeScratch() noexcept { scratch_.reset(); }

void TBRXLSFilter::discardDocument() noexcept
{
    // Nothing reaches the file before the workbook is closed.
    if (workbook_ != nullptr)
        lxw_workbook_free(workbook_);
    workbook_ = nullptr;
    sheet_ = nullptr;
    closeScratch();
    save_.reset(); // the old file stays as it was
}

} // namespace output
