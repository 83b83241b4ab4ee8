#include "timetable/exportfile.h"

namespace timetable {

std::string_view GetField(std::string_view line, int n)
{
    for (int i = 1; i < n; ++i) {
        const auto sep = line.find(';');
        if (sep == std::string_view::npos)
            break; // past the last field: the rest stays the last field
        line.remove_prefix(sep + 1);
    }
    return line.substr(0, line.find(';'));
}

std::vector<std::string_view> missingColumns(std::string_view headerLine)
{
    std::vector<std::string_view> missing;
    for (const auto name : kColumnNames) {
        if (headerLine.find(name) == std::string_view::npos)
            missing.push_back(name);
    }
    return missing;
}

} // namespace timetable
