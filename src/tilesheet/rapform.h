#pragma once
// TRapForm: the tile sheet, the one report of the program. It prints the tiles of the print
// list on A4 portrait sheets, 10 columns by 6 rows, each tile three times, one copy below the
// other, with optional cutting lines, a vertical maker label in the right margin and the export
// file's path in the bottom margin. The container is never shown.

#include "report/band.h"
#include "report/customreport.h"
#include "report/label.h"
#include "timetable/tbrik.h"

#include <string>
#include <vector>

namespace tilesheet {

// The largest margin, either way, that the printer adjustment takes (mm).
inline constexpr long double kMarginLimitMm = 500.0L;

// What the tile sheet reads from the application when it is created.
struct TRapFormInputs {
    // Margins in millimetres, from the printer adjustment window.
    long double TopMargin = 8.5L;
    long double LeftMargin = 12.0L;
    long double BottomMargin = 9.0L;
    long double RightMargin = 20.0L;
    // The main window's cut-frame box.
    bool CutFrames = false;
    // The export file's full path, Windows-1252.
    std::string FileName;
    // The print list; read by index, never changed, and alive as long as the sheet.
    const std::vector<const timetable::TBrik *> *PrintList = nullptr;
    // Print-list indices where a name of a shared sheet begins: such a tile starts at the top
    // of a new column. Empty for one name's own sheets; ascending otherwise.
    std::vector<std::size_t> NameStarts;
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
    // Six rows between the page's margins, and the band labels across the column: at creation
    // and again for another paper or orientation.
    void sizeTiles();
    int tileCount() const;
    // A tile other than the first that begins a name of a shared sheet.
    bool startsLaterName(int index) const;
    const timetable::TBrik &currentTile() const;
    void fitLabel(report::TBRCustomLabel &label);

    TRapFormInputs inputs_;
};

} // namespace tilesheet
