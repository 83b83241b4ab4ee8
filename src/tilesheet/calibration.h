#pragma once
// Calibration of a printer's margins: where the tile sheet's outer cutting lines fall, and the
// margins that bring them where the standard margins put them on a printer that is exact.

#include "tilesheet/keptmargins.h"

#include <optional>
#include <string>

namespace tilesheet {

// Distances in millimetres from the paper's edges to the outer side of the four outer cutting
// lines: the top and left lines along the margins, the bottom line under the sixth row and the
// right line right of the tenth column, where the tiles' whole-unit and whole-pixel sizes put
// them.
struct OuterLines {
    double top, left, bottom, right;
};

// The outer lines of a tile sheet with `margins` on a printer that is exact.
OuterLines OuterCuttingLines(const Margins &margins);

// What the calibration sheet asks for: the standard margins' lines, to the tenth of a
// millimetre that the sheet prints.
OuterLines CalibrationTargets();

// The distances measured on a printed calibration sheet; none where nothing was measured.
struct MeasuredLines {
    std::optional<double> top, left, bottom, right;
};

// new margin = current margin + (target distance - measured distance), for each measured line;
// the others keep their margins. A larger margin moves its line away from its own paper edge
// on every side, so the same rule holds for all four. Clamped as the margin fields clamp.
Margins CorrectedMargins(const Margins &current, const MeasuredLines &measured,
                         const OuterLines &targets);

// A distance as the sheet and the windows show it: one decimal with a decimal comma
// ("8,5"), Windows-1252.
std::string millimetreText(double mm);

} // namespace tilesheet
