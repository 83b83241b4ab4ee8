// libFuzzer target: a saved report file from anywhere, opened as the preview opens it, then
// every page read forwards and backwards and its texts enumerated. Damage must end in an
// EBRError, never in a crash, a hang or a huge allocation.
#include "fuzzbodies.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzbodies::readReportFile(data, size);
    return 0;
}
