#pragma once
// Runs tavleprint's command line in the test process, keeping what it writes.
#include "cli/tavleprint.h"

#include <sstream>
#include <string>
#include <vector>

struct Outcome {
    int code;
    std::string out, err;
};

inline Outcome tavleprint(const std::vector<std::string> &args)
{
    std::ostringstream out, err;
    const int code = cli::runTavleprint(args, out, err);
    return {code, out.str(), err.str()};
}
