// tavlegen LESSONS [SEED]: writes a generated Windows-1252 timetable export to standard output.
#include "exportgen.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3 || std::atoi(argv[1]) < 0) {
        std::cerr << "usage: tavlegen LESSONS [SEED]\n";
        return 2;
    }
    const std::string text = bench::generateExport(
        std::atoi(argv[1]), argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 1);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::ferror(stdout) ? 1 : 0;
}
