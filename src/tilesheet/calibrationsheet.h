#pragma once
// TCalibrationSheet: one tile sheet page for measuring a printer. An ordinary tile sheet with
// cutting lines and empty tiles, so that its lines fall exactly where every tile sheet's fall,
// and beside each outer line the distance from its paper edge that the line should have (where
// the standard margins put it on a printer that is exact), with what to do with the measures.

#include "report/label.h"
#include "tilesheet/keptmargins.h"
#include "tilesheet/rapform.h"
#include "timetable/tbrik.h"

#include <memory>
#include <string>
#include <vector>

namespace tilesheet {

class TCalibrationSheet {
public:
    // The job title of a printed calibration sheet.
    static std::string JobTitle();

    // The sheet with the printer's current `margins`; `printer` is named on it (Windows-1252).
    TCalibrationSheet(const Margins &margins, const std::string &printer);
    ~TCalibrationSheet();
    TCalibrationSheet(const TCalibrationSheet &) = delete;
    TCalibrationSheet &operator=(const TCalibrationSheet &) = delete;

    report::TBandReport &Report() { return sheet_->BRBrikker; }

private:
    void place(report::TBRLabel &label, const std::string &text, double leftMm, double topMm,
               double widthMm, double heightMm, report::TAlignment alignment);

    // The empty tiles that fill one page, and the print list that hands them out.
    std::vector<timetable::TBrik> tiles_;
    std::vector<const timetable::TBrik *> printList_;
    std::unique_ptr<TRapForm> sheet_;
    // Declared after the sheet, so that they leave its report before it goes.
    report::TBRLabel LblTop, LblLeft, LblBottom, LblRight, LblHow, LblMargins;
};

} // namespace tilesheet
