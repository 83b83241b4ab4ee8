#pragma once
// The C library's locale of a Danish desktop, where Qt sets it from the environment, for the
// life of the object: printf then writes "0,25". Tests that write files or read numbers run
// under it as well as under C.
#include <clocale>
#include <string>

class DanishLocale {
public:
    DanishLocale() : previous_(std::setlocale(LC_ALL, nullptr))
    {
        active_ = std::setlocale(LC_ALL, "da_DK.UTF-8") != nullptr;
    }
    ~DanishLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    DanishLocale(const DanishLocale &) = delete;
    DanishLocale &operator=(const DanishLocale &) = delete;
    // False where the machine lacks the locale (CI generates it: .ci/run).
    bool active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};
