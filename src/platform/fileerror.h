#pragma once
// The file errors of the run-time library, with its texts: "File not found",
// "File access denied", "I/O error %d", ...

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace platform {

class EInOutError : public std::runtime_error {
public:
    // `code` is the run-time error number (2 file not found, 3 path not found, 4 too many open
    // files, 5 access denied); any other number is shown as "I/O error <number>".
    explicit EInOutError(int code);
    int errorCode() const { return code_; }

    // The error for a failed open or read, from the C library's errno.
    static EInOutError fromErrno(int err);
    // The error for a failed write: from errno, or the run-time's disk write error (101) when
    // the failing call left errno at 0.
    static EInOutError fromWriteErrno(int err);

private:
    EInOutError(int code, const std::string &text);
    int code_;
};

// A path refused before anything is read from it: not a regular file (a device that never
// ends, a FIFO that blocks, a directory) or larger than the caller accepts. The run-time
// library's text is "File access denied"; `reason()` says why in plain words.
class ERefusedFile : public EInOutError {
public:
    explicit ERefusedFile(std::string reason) : EInOutError(5), reason_(std::move(reason)) {}
    const std::string &reason() const { return reason_; }

private:
    std::string reason_;
};

// Refuses `path` with ERefusedFile unless it is a regular file of at most `maxBytes`; a path
// that cannot be examined passes, so that opening it raises the ordinary file error.
void refuseUnreadableFile(const std::filesystem::path &path, std::uintmax_t maxBytes);

// The bytes of a file as far as they could be read. A failed open throws EInOutError; a read
// that fails part-way returns what came before it together with the error, so that the caller
// can keep the complete lines and then raise. Anything but a regular file of at most
// `maxBytes` is refused with ERefusedFile, without blocking on it.
struct FileBytes {
    std::string bytes;
    int readErrno = 0; // 0 when the whole file was read
};
FileBytes readFileBytes(const std::filesystem::path &path, std::uintmax_t maxBytes);

} // namespace platform
