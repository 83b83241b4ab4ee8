#include "cli/commandline.h"

#include <algorithm>

namespace cli {
namespace {

constexpr std::string_view kNothingChangedNote =
    "  When the chosen names have nothing new (sheets --since) or no change (changes), a\n"
    "  line says so on standard output, nothing is written or printed, and the exit code is 0.\n";

constexpr std::string_view kMarginsNote =
    "  Margins must leave the A4 sheet room for its ten columns and six rows of tiles (top\n"
    "  and bottom together at most 87.3 mm, left and right at most 76.5 mm): others are\n"
    "  refused (exit code 2); kept margins that cannot be used are warned of on stderr\n"
    "  and read as the standard ones.\n";

} // namespace

std::string fullUsage(std::span<const Command> commands)
{
    std::string text;
    const auto synopsis = [&text](std::string_view line) {
        text += text.empty() ? "usage: " : "       ";
        text += line;
    };
    for (const Command &command : commands)
        synopsis(command.synopsis);
    synopsis("tavleprint --help\n");
    synopsis("tavleprint --version\n");
    text += "\n";
    for (const Command &command : commands)
        text += command.description;
    return text + std::string(kMarginsNote) + std::string(kNothingChangedNote);
}

std::string commandUsage(const Command &command)
{
    std::string text =
        "usage: " + std::string(command.synopsis) + "\n" + std::string(command.description);
    if (command.marginsNote)
        text += kMarginsNote;
    if (command.nothingChangedNote)
        text += kNothingChangedNote;
    return text;
}

bool readWords(const Words &words, const std::vector<std::string> &args, std::string &problem)
{
    for (std::size_t i = 0; i < args.size() && problem.empty(); ++i) {
        const std::string &word = args[i];
        if (!word.starts_with("--")) {
            words.positional(word, problem);
            continue;
        }
        const auto option = std::find_if(words.options.begin(), words.options.end(),
                                         [&word](const Option &o) { return o.name == word; });
        if (option == words.options.end())
            problem = words.unknown(word);
        else if (option->valueMissing.empty())
            option->take({}, problem);
        else if (i + 1 < args.size())
            option->take(args[++i], problem);
        else
            problem = option->valueMissing;
    }
    return problem.empty();
}

Option modeOption(timetable::SelectionMode m, OneOf &given, timetable::SelectionMode &mode)
{
    return {m == timetable::SelectionMode::Teachers ? "--teachers" : "--classes",
            [m, &given, &mode](const std::string &, std::string &problem) {
                given.given(problem);
                mode = m;
            }};
}

} // namespace cli
