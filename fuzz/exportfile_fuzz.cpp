// libFuzzer target: any bytes as a timetable export file (Windows-1252 or UTF-8, columns in any
// order or missing, lines of any length), loaded and listed as the main window does it.
#include "fuzzbodies.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzbodies::readExportFile(data, size);
    return 0;
}
