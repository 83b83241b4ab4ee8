#pragma once
// The engine's exception class. A page store that cannot be read (a saved report file from
// anywhere, a stream cut short) raises it with a message saying what does not hold.

#include <stdexcept>
#include <string>

namespace output {

class EBRError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A read that found fewer bytes than it needed.
class EReadError : public EBRError {
public:
    EReadError() : EBRError("Stream read error") {}
};

inline constexpr const char *msgNotReady = "BRPrinter not ready";
inline constexpr const char *msgIllegalNewPage = "Illegal call to NewPage";

} // namespace output
