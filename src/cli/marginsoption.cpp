#include "cli/marginsoption.h"

#include "platform/cp1252.h"
#include "platform/printer.h"
#include "tilesheet/rapform.h"

#include <algorithm>
#include <sstream>

namespace cli {

bool parseMargins(const std::string &text, tilesheet::Margins &margins)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double values[4];
    char comma;
    for (int i = 0; i < 4; ++i) {
        if (!(in >> values[i]) || (i < 3 && !(in >> comma && comma == ',')))
            return false;
    }
    if (!in.eof() && in.peek() != EOF)
        return false;
    const auto limit = static_cast<double>(tilesheet::kMarginLimitMm);
    for (double &value : values)
        value = std::clamp(value, -limit, limit);
    margins = {values[0], values[1], values[2], values[3]};
    return true;
}

std::string queueFor(const std::string &queue)
{
    return queue.empty() ? platform::TPrinter::StandardPrinterName()
                         : platform::utf8ToCp1252(queue).text;
}

tilesheet::Margins keptMarginsFor(const std::string &queue)
{
    return tilesheet::KeptMargins().read(queue);
}

} // namespace cli
