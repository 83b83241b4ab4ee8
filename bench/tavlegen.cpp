// tavlegen LESSONS [SEED] [--changed PERCENT [CHANGESEED]]: writes a generated Windows-1252
// timetable export to standard output; with --changed, the same school with PERCENT % of its
// lessons changed (a teacher replaced, lessons moved to other rooms and periods).
#include "exportgen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

int main(int argc, char **argv)
{
    int plain = argc;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--changed") == 0)
            plain = i;
    const bool changed = plain < argc;
    if (plain < 2 || plain > 3 || std::atoi(argv[1]) < 0 ||
        (changed && (argc - plain < 2 || argc - plain > 3))) {
        std::cerr << "usage: tavlegen LESSONS [SEED] [--changed PERCENT [CHANGESEED]]\n";
        return 2;
    }
    std::string text = bench::generateExport(std::atoi(argv[1]),
                                             plain == 3 ? std::strtoul(argv[2], nullptr, 10) : 1);
    if (changed)
        text =
            bench::changeExport(text, std::strtod(argv[plain + 1], nullptr),
                                argc - plain == 3 ? std::strtoul(argv[plain + 2], nullptr, 10) : 1);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::ferror(stdout) ? 1 : 0;
}
