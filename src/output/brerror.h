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

// A failure that concerns a file the user named (a saved report file loaded, a file saved or
// exported): the cause's own text, and the file, so that a desktop can name it in its words.
class EBRFileFailure : public EBRError {
public:
    EBRFileFailure(std::string file, const std::exception &cause)
        : EBRError(cause.what()), file_(std::move(file))
    {}
    const std::string &File() const { return file_; } // as the system names it (UTF-8)

private:
    std::string file_;
};

inline constexpr const char *msgNotReady = "BRPrinter not ready";
inline constexpr const char *msgIllegalNewPage = "Illegal call to NewPage";
// Record offsets are signed 32-bit numbers, so a store or a saved file ends at 2 GiB.
inline constexpr const char *msgStoreTooLarge = "Page store full: a report cannot exceed 2 GiB";
inline constexpr const char *msgFileTooLarge = "Report file too large: it exceeds 2 GiB";

} // namespace output
