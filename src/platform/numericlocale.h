#pragma once
// Numbers written for other programs (spreadsheet XML, the engine's stored number lists) use a
// point, whatever the desktop's language: Qt sets the C library's locale from the environment,
// and under da_DK printf writes "0,25". A CNumericLocale holds the C numeric rules on the
// calling thread for its lifetime, leaving every other thread and category alone.

#include <clocale>
#include <locale.h>
#include <string>

namespace platform {

class CNumericLocale {
public:
    CNumericLocale();
    ~CNumericLocale();
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
#ifdef _WIN32
    // The run-time library has no locale objects to switch to: the thread gets a locale of its
    // own, whose numbers are set to C and back (numericlocale_win.cpp).
    int previousMode_;
    std::string previous_;
#else
    locale_t own_;
    locale_t previous_;
#endif
};

} // namespace platform
