#pragma once
// Generates a realistic Windows-1252 timetable export of a Danish school, of any size.

#include <string>

namespace bench {

// An export of `lessons` data lines: about one class per 32 lessons (at least 25) and one
// teacher per 20 lessons (at least 40), in class and period order as the planning programs
// write it, with CR LF line ends.
std::string generateExport(int lessons, unsigned seed = 1);

} // namespace bench
