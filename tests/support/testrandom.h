#pragma once
// The tests' random numbers: std::mt19937's engine and sequence, spelled with unsigned long.
// On Linux that is std::mt19937 itself. On Windows it is a type of its own, so that its
// out-of-line code never takes the place of the static Qt's copy of std::mt19937: Qt, built with
// other options, calls its own copy trusting registers a copy built here would not keep.
#include <random>

namespace testsupport {

using Random =
    std::mersenne_twister_engine<unsigned long, 32, 624, 397, 31, 0x9908b0dfUL, 11, 0xffffffffUL, 7,
                                 0x9d2c5680UL, 15, 0xefc60000UL, 18, 1812433253UL>;

} // namespace testsupport
