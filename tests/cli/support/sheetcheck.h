#pragma once
// What the tests of exported sheets check against: where the tile sheet's geometry puts every
// tile text on every page, the words an independent PDF reader (pdftotext -bbox) finds on each
// page of a PDF, and the external programs that read the other formats.
#include "timetable/tbrik.h"

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace sheetcheck {

// A tile text where the sheet puts it: its left (or, right-justified, right) end and its top,
// in millimetres from the paper's corner, default margins.
struct Placed {
    std::string text; // Windows-1252, blanks included
    bool rightJustified;
    double x, y;
};

// The tile texts of all five labels on each page of one name's sheets, for its print list.
std::vector<std::vector<Placed>> expectedPages(const std::vector<const timetable::TBrik *> &tiles);

struct Word {
    QString text;
    double xMin, yMin, xMax; // mm
    double yMax = 0;         // mm; the baseline's side, which a redrawn font's box keeps
};

// The words of every page of a PDF, page by page.
std::vector<std::vector<Word>> pdfWords(const QString &pdf);
int pdfPageCount(const QString &pdf);
// pdfinfo's "Page size" line of page 1 in points, e.g. "595 x 842".
QString pdfPageSize(const QString &pdf);

// Where `text` (its words in a row, left to right) stands on `words` with its left end (or right
// end) and top within `tolerance` mm of (x, y), and where its left end stands; returns false when
// it does not.
bool findText(const std::vector<Word> &words, const Placed &text, double tolerance,
              double *foundX = nullptr, double *foundY = nullptr, double *foundLeft = nullptr);

// Runs `program` with `args`; the exit code, or -1 when it could not start or took longer
// than `seconds`.
int run(const QString &program, const QStringList &args, int seconds, QString *output = nullptr);
// The path of an installed program, or empty.
QString installed(const QString &program);

} // namespace sheetcheck
