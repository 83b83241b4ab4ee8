#pragma once
// The texts of one drawn page as a grid of cells, for formats that hold a table rather than a
// picture. Texts whose tops stand on one line share a row; texts of one column of the page
// share a column. A text's column is found from the box it sits in (the last filled rectangle
// drawn under it, such as a label's or a band's background, else its own extent): the boxes of
// ordinary width laid side by side give the columns, and a wider box that reaches across
// columns (a heading or a footer line) joins the column it starts in. The columns carry over
// from page to page, so that a page with fewer columns keeps its texts where a full page has
// them.

#include "platform/recordingcanvas.h"

#include <string>
#include <vector>

namespace output {

struct TBRGridCell {
    int Column = 0;
    std::string Text; // Windows-1252; texts sharing a cell are joined by a blank, left to right
    bool Bold = false;
    int Size = 10; // points
};

struct TBRGridRow {
    std::vector<TBRGridCell> Cells; // by column
};

// A column's extent in device pixels.
struct TBRGridColumn {
    int Left = 0, Right = 0;
};

struct TBRPageGrid {
    std::vector<TBRGridRow> Rows;       // top to bottom
    std::vector<double> ColumnWidthsMM; // left to right
};

// `ops` are one page's drawing calls on a canvas of `pixelsPerInch`; `knownColumns` the
// columns of the pages before, updated with this page's.
TBRPageGrid BuildPageGrid(const std::vector<platform::CanvasOp> &ops, int pixelsPerInch,
                          std::vector<TBRGridColumn> &knownColumns);

} // namespace output
