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

protected:
    EInOutError(int code, const std::string &text);

private:
    int code_;
};

// A path refused before anything is read from it: not a regular file (a device that never
// ends, a FIFO that blocks, a directory) or larger than the caller accepts. The run-time
// library's text is "File access denied"; `reason()` says why in plain words.
class ERefusedFile : public EInOutError {
public:
    explicit ERefusedFile(std::string reason) : EInOutError(5), reason_(std::move(reason)) {}
    const std::string &reason() const { return reason_; }
    static ERefusedFile TooLarge(std::uintmax_t maxBytes);

private:
    std::string reason_;
};

// A file that could not be written (saved or exported): the file as the user named it and the
// cause, in plain words. what() is the English line, "cannot write out.pdf: the disk is full";
// Danish() is the desktop's, "Disken er fuld: kunne ikke skrive out.pdf".
class EFileNotWritten : public EInOutError {
public:
    // `err` is the C library's errno of the call that failed; 0 when it said nothing.
    EFileNotWritten(std::filesystem::path file, int err);
    const std::filesystem::path &File() const { return file_; }
    int Cause() const { return cause_; }
    // The Danish sentence in Windows-1252, naming the file by its name alone.
    std::string Danish() const;

    // The cause of errno `err` in plain words.
    static std::string PlainCause(int err);
    static std::string DanishCause(int err); // Windows-1252

private:
    std::filesystem::path file_;
    int cause_;
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
