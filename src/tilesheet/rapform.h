#pragma once
// TRapForm: the tile sheet, the one report of the program. It prints the tiles of the print
// list on A4 portrait sheets, 10 columns by 6 rows, each tile three times, one copy below the
// other, with optional cutting lines, a vertical maker label in the right margin and the export
// file's path in the bottom margin. The container is never shown.

#include "report/band.h"
#include "report/customreport.h"
#include "report/label.h"
#include "tilesheet/keptmargins.h"
#include "timetable/tbrik.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tilesheet {

// The largest margin, either way, that the printer adjustment takes (mm).
inline constexpr double kMarginLimitMm = 500.0;

// Two opposite margins that leave the sheet too little room for its tiles: together `taken`
// millimetres where at most `most` leave each tile three quarters of its standard size.
struct CrampedMargins {
    MarginSide first, second; // top and bottom (the six rows), or left and right (ten columns)
    double taken, most;
};
// The one rule for margins, whoever gives them: the A4 sheet must hold its ten columns and six
// rows of tiles, each at least three quarters of the standard tile's width and height, which is
// where the tile's texts are laid out (the lowest ends 34.4 mm down a 34.9 mm tile). Smaller
// tiles lose their texts under the next tile, and with no room the engine drops whole tiles.
// The pair that breaks it, rows first; none for margins that leave room.
std::optional<CrampedMargins> TooLittleRoom(const Margins &margins);

// What the tile sheet reads from the application when it is created.
struct TRapFormInputs {
    // Margins in millimetres, from the printer adjustment window (as Margins holds them).
    double TopMargin = 8.5;
    double LeftMargin = 12.0;
    double BottomMargin = 9.0;
    double RightMargin = 20.0;
    // The main window's cut-frame box.
    bool CutFrames = false;
    // The export file's full path, Windows-1252.
    std::string FileName;
    // The print list; read by index, never changed, and alive as long as the sheet.
    const std::vector<const timetable::TBrik *> *PrintList = nullptr;
    // Print-list indices where a name of a shared sheet begins: such a tile starts at the top
    // of a new column. Empty for one name's own sheets; ascending otherwise.
    std::vector<std::size_t> NameStarts;
    // The margins kept for a printer (a queue name, Windows-1252), asked when the preview's
    // print settings choose another printer than the one the sheets were made for: its pages
    // are made again with them. None: the margins stay whatever the printer.
    std::function<Margins(const std::string &printer)> MarginsForPrinter;
};

class TRapForm {
public:
    static constexpr int copiesPerTile = 3;
    static constexpr int rowsPerColumn = 6;
    static constexpr int columnsPerPage = 10;
    // The tile is six times this much less than a sixth of the height between the margins, so
    // that six rows always fit a column.
    static constexpr long double bandHeightAllowanceMM = 0.05L;
    // The band labels span the band less this many pixels on either side.
    static constexpr int labelInsetPixels = 6;

    explicit TRapForm(const TRapFormInputs &inputs);
    // Stops a preview's run first: its handlers use this object.
    ~TRapForm();
    TRapForm(const TRapForm &) = delete;
    TRapForm &operator=(const TRapForm &) = delete;

    // The definition. The report is declared first so that it outlives the band and the
    // labels it holds.
    // Its sheets are A4 whatever the printer's paper is: nothing needs asking.
    report::TBandReport BRBrikker{report::TBRPaperSize::A4};
    report::TBRBand BrikDetail;
    report::TBRLabel LblFag1;
    report::TBRLabel LblLaerer1;
    report::TBRLabel LblKlasse1;
    report::TBRLabel LblLokale1;
    report::TBRLabel LblPeriode1;
    report::TBRLabel BRLabel1;
    report::TBRLabel LblFilnavn;

    // Run state, reset at the start of every run: the copy (1 to 3) of the current tile that
    // the last data request delivered, and the tile's index in the print list.
    int CopyCounter = 0;
    int BrikIndex = 0;

    // Handlers.
    void BRBrikkerBeforePrint(report::TCustomBandReport &Sender, bool &PrintReport);
    void BRBrikkerNeedData(report::TCustomBandReport &Sender, bool &MoreData);
    void BrikDetailBeforePrint(report::TBRCustomBand &Sender, bool &PrintBand);
    void LblFag1Print(report::TBRCustomLabel &Sender, std::string &Value);
    void LblLaerer1Print(report::TBRCustomLabel &Sender, std::string &Value);
    void LblKlasse1Print(report::TBRCustomLabel &Sender, std::string &Value);
    void LblLokale1Print(report::TBRCustomLabel &Sender, std::string &Value);
    void LblPeriode1Print(report::TBRCustomLabel &Sender, std::string &Value);

    const TRapFormInputs &Inputs() const { return inputs_; }

private:
    void define();
    void create();
    // The page's margins, and the tiles sized between them.
    void setMargins(const Margins &margins);
    // Six rows between the page's margins, and the band labels across the column: at creation
    // and again for another paper or orientation.
    void sizeTiles();
    int tileCount() const;
    // A tile other than the first that begins a name of a shared sheet.
    bool startsLaterName(int index) const;
    const timetable::TBrik &currentTile() const;
    void fitLabel(report::TBRCustomLabel &label);

    TRapFormInputs inputs_;
    Margins margins_ = kStandardMargins; // the page's, as last given
};

} // namespace tilesheet
