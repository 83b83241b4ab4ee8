// libFuzzer target: a saved report file from anywhere, opened as the preview opens it, then
// every page read forwards and backwards and its texts enumerated. Damage must end in an
// EBRError, never in a crash, a hang or a huge allocation.
#include "output/brerror.h"
#include "output/pagelist.h"

#include <cstddef>
#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The bytes in a stream that never moves to a file.
    auto stream = std::make_unique<output::TBRStream>(std::numeric_limits<std::int64_t>::max());
    stream->Write(data, size);
    output::TBRPageList pages;
    try {
        pages.Open(std::move(stream));
        for (int n = 1; n <= pages.PageCount(); ++n)
            pages.GetPage(n)->texts();
        for (int n = pages.PageCount(); n >= 1; n -= 2)
            pages.GetPage(n);
    } catch (const output::EBRError &) {
    }
    return 0;
}
