#include "report/reportpaper.h"

#include "output/papersize.h"

namespace report {

std::optional<TBRPaperDimensions> PaperDimensions(TBRPaperSize size)
{
    // One table for the page and the page output, so that both see the same paper.
    const int code = static_cast<int>(size);
    if (code < 1 || code >= static_cast<int>(output::paperTable.size()))
        return std::nullopt;
    const output::TPaperDimensions &row = output::paperTable[static_cast<std::size_t>(code)];
    return TBRPaperDimensions{platform::TLength::fromMm(row.Width),
                              platform::TLength::fromMm(row.Length)};
}

int PaperCode(TBRPaperSize size)
{
    return size == TBRPaperSize::Custom ? customPaperCode : static_cast<int>(size);
}

} // namespace report
