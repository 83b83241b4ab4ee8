#pragma once
// Generates a realistic Windows-1252 timetable export of a Danish school, of any size.

#include <string>

namespace bench {

// An export of `lessons` data lines: about one class per 32 lessons (at least 25) and one
// teacher per 20 lessons (at least 40), in class and period order as the planning programs
// write it, with CR LF line ends.
std::string generateExport(int lessons, unsigned seed = 1);

// The same school some weeks later: `percent` of the lessons of a generated export changed, one
// teacher's lessons all given to a substitute ("VIK") and the rest of the share split between
// lessons moved to another room and lessons moved to another period.
std::string changeExport(const std::string &generated, double percent, unsigned seed = 1);

} // namespace bench
