#pragma once
// What reading and writing files needs from the operating system, one version per system
// (fileio_posix.cpp, fileio_win.cpp, chosen by the build). Errors come back as the C library's
// errno numbers, which fileerror.h turns into the run-time texts.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

class QFileDevice;

namespace platform {

// A C library file descriptor, closed with the object; -1 holds none.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

struct FileBytes;

// Up to `size` bytes of `fd` into `into`: the count read (0 at the end), or -1 with errno set.
std::int64_t readSome(const FileDescriptor &fd, char *into, unsigned size);
// The rest of the open file `fd`, `size` bytes long when it was opened, in chunks; a file that
// grows past `maxBytes` while being read is refused. Each system's readFileBytes opens and
// checks the file, then reads it so.
FileBytes readOpenFile(const FileDescriptor &fd, std::uintmax_t size, std::uintmax_t maxBytes);

// 0 when `file`, which exists, may be written; else the errno that says why not.
int writeAccessError(const std::filesystem::path &file);
// The errno of a Qt file call that just failed, an open or a rename (Qt calls the system
// itself); on Windows EIO when the system kept no cause.
int failedFileCallError();
// Writes all of `data` on `file`; 0, or the errno of the failure.
int writeAll(QFileDevice &file, const char *data, std::size_t size);
// Puts what was written on `file` on the disk; 0, or the errno of the failure.
int flushToDisk(QFileDevice &file);

// std::fopen for a path in the system's own encoding of file names.
std::FILE *openFile(const std::filesystem::path &file, const char *mode);

// ftello and fseeko with 64-bit offsets on every system (saved report files reach 2 GiB).
std::int64_t tellFile(std::FILE *file);
int seekFile(std::FILE *file, std::int64_t offset, int origin);

// Standard output and error write their bytes as given: Windows' C library would otherwise
// write "\r\n" for every "\n", and a command's output would differ from system to system.
void writeStandardStreamsAsBytes();

// A new, empty file in `folder` for reading and writing, gone from the disk once it is closed
// or the program ends, however. `name` is set to the name it was made under. Returns nullptr
// with errno set when none could be made.
std::FILE *openTemporaryFile(const std::filesystem::path &folder, const char *prefix,
                             std::filesystem::path &name);

// A file for a C library that writes by file name only (the spreadsheet writer): Name() takes
// the bytes, which are read back whole from Descriptor() once the library has closed it. Made
// in memory where the system can; removed with the object.
class TScratchFile {
public:
    // Throws EFileNotWritten for `target` when no scratch file can be made.
    explicit TScratchFile(const std::filesystem::path &target);
    ~TScratchFile();
    TScratchFile(const TScratchFile &) = delete;
    TScratchFile &operator=(const TScratchFile &) = delete;

    // The name to hand to the library (the system's narrow encoding).
    const std::string &Name() const { return name_; }
    // A descriptor on the written bytes, valid until the object goes; throws EFileNotWritten.
    int Descriptor();

private:
    std::filesystem::path target_;
    std::filesystem::path path_; // where there is a file on the disk
    std::string name_;
    int fd_ = -1;
};

} // namespace platform
