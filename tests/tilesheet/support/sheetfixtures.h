#pragma once
// A tile sheet made from tiles of the test's own, run into a recording page output, and the
// texts of its recorded pages with their device positions.

#include "platform/emf/emfmetafile.h"
#include "platform/screen.h"
#include "report/customreport.h"
#include "tilesheet/rapform.h"
#include "timetable/tbrik.h"

#include <memory>
#include <string>
#include <vector>

namespace sheettest {

struct PlacedText {
    std::string Text;
    int X = 0;
    int Y = 0;
};

// Tiles "F<i>", "L<i>", "K<i>", "R<i>", "P<i>" for i = 1 .. n.
std::vector<timetable::TBrik> makeTiles(int n);

// The rectangles filled with a black brush on a page (the cutting lines), in drawing order.
std::vector<platform::TRect> blackFills(const platform::TMetafile &page);

// The texts of a page of a report's recorded run, with their device positions.
std::vector<PlacedText> pageTexts(const report::TCustomBandReport &report, int page);

struct Sheet {
    explicit Sheet(int tiles, tilesheet::TRapFormInputs inputs = {});
    // Runs the report into a new recording page output; returns the page count.
    int run();
    std::vector<PlacedText> texts(int page);

    platform::ScreenResolutionOverride screen{96};
    std::vector<timetable::TBrik> tiles;
    std::vector<const timetable::TBrik *> printList;
    std::unique_ptr<tilesheet::TRapForm> form;
};

} // namespace sheettest
