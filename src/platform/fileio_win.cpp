#include "platform/fileio.h"

#include "platform/fileerror.h"

#include <QFileDevice>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace platform {

FileDescriptor::~FileDescriptor()
{
    if (fd_ >= 0)
        ::_close(fd_);
}

namespace {

// A console, NUL or a pipe is a character device or a FIFO here, a folder is a folder.
void refuseStat(const struct _stat64 &st, std::uintmax_t maxBytes)
{
    if ((st.st_mode & _S_IFMT) != _S_IFREG)
        throw ERefusedFile("not a regular file");
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        throw ERefusedFile::TooLarge(maxBytes);
}

// The C library's number for the system's error of the call that just failed.
int errnoOfLastError()
{
    switch (::GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

// Six letters and digits, as mkstemp's pattern gets them.
std::wstring uniqueSuffix()
{
    static const wchar_t letters[] =
        L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::wstring suffix;
    for (int i = 0; i < 6; ++i)
        suffix += letters[QRandomGenerator::global()->bounded(int(std::size(letters) - 1))];
    return suffix;
}

// Makes a new file under `folder`/`prefix`XXXXXX with the given extra open flags; -1 with errno
// when none could be made.
int createUnique(const std::filesystem::path &folder, const std::wstring &prefix,
                 const std::wstring &suffix, int flags, std::filesystem::path &name)
{
    constexpr int attempts = 100;
    for (int i = 0; i < attempts; ++i) {
        const std::filesystem::path candidate = folder / (prefix + uniqueSuffix() + suffix);
        const int fd = ::_wopen(candidate.c_str(),
                                _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_NOINHERIT | flags,
                                _S_IREAD | _S_IWRITE);
        if (fd >= 0) {
            name = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

} // namespace

void refuseUnreadableFile(const std::filesystem::path &path, std::uintmax_t maxBytes)
{
    // A device such as NUL is known by its open handle; a folder, which cannot be opened, by
    // its name.
    struct _stat64 st {};
    const FileDescriptor fd(::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT));
    if (fd.get() >= 0 ? ::_fstat64(fd.get(), &st) == 0 : ::_wstat64(path.c_str(), &st) == 0)
        refuseStat(st, maxBytes);
}

FileBytes readFileBytes(const std::filesystem::path &path, std::uintmax_t maxBytes)
{
    // A folder cannot be opened here at all; it is refused as it is where it can.
    refuseUnreadableFile(path, maxBytes);
    const FileDescriptor fd(::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT));
    if (fd.get() < 0)
        throw EInOutError::fromErrno(errno);
    struct _stat64 st {};
    if (::_fstat64(fd.get(), &st) != 0)
        throw EInOutError::fromErrno(errno);
    refuseStat(st, maxBytes);

    return readOpenFile(fd, static_cast<std::uintmax_t>(st.st_size), maxBytes);
}

std::int64_t readSome(const FileDescriptor &fd, char *into, unsigned size)
{
    return ::_read(fd.get(), into, size);
}

int writeAccessError(const std::filesystem::path &file)
{
    constexpr int writable = 2;
    return ::_waccess(file.c_str(), writable) == 0 ? 0 : errno;
}

int failedFileCallError() { return errnoOfLastError(); }

int writeAll(QFileDevice &file, const char *data, std::size_t size)
{
    // Qt writes with the system's calls here: the file has no C library descriptor.
    ::SetLastError(ERROR_SUCCESS);
    if (file.write(data, static_cast<qint64>(size)) != static_cast<qint64>(size) || !file.flush())
        return ::GetLastError() == ERROR_SUCCESS ? EIO : errnoOfLastError();
    return 0;
}

int flushToDisk(QFileDevice &file)
{
    // QSaveFile puts the file on the disk itself before it takes the target's place.
    ::SetLastError(ERROR_SUCCESS);
    return file.flush() ? 0 : errnoOfLastError();
}

std::FILE *openFile(const std::filesystem::path &file, const char *mode)
{
    const std::string narrow(mode);
    return ::_wfopen(file.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
}

std::int64_t tellFile(std::FILE *file) { return ::_ftelli64(file); }

int seekFile(std::FILE *file, std::int64_t offset, int origin)
{
    return ::_fseeki64(file, offset, origin);
}

void writeStandardStreamsAsBytes()
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

std::FILE *openTemporaryFile(const std::filesystem::path &folder, const char *prefix,
                             std::filesystem::path &name)
{
    // The system deletes the file when its last handle closes, which a killed program's
    // handles do too: nothing is left behind.
    std::filesystem::path made;
    const int fd = createUnique(folder, std::filesystem::path(prefix).wstring(), L"",
                                _O_TEMPORARY | _O_SHORT_LIVED, made);
    if (fd < 0)
        return nullptr;
    std::FILE *file = ::_fdopen(fd, "w+b");
    if (!file) {
        const int err = errno;
        ::_close(fd);
        errno = err;
        return nullptr;
    }
    name = made;
    return file;
}

TScratchFile::TScratchFile(const std::filesystem::path &target) : target_(target)
{
    // A named file in the temporary folder: the library opens it by name and Windows has no
    // name for a file in memory. The name is taken now, so that no other program has it.
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error)
        throw EFileNotWritten(target_, error.value());
    std::filesystem::path made;
    const int fd = createUnique(folder, L"tavleplanner-", L".tmp", 0, made);
    if (fd < 0)
        throw EFileNotWritten(target_, errno);
    ::_close(fd);
    path_ = made;
    name_ = made.string();
}

TScratchFile::~TScratchFile()
{
    if (fd_ >= 0)
        ::_close(fd_);
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

int TScratchFile::Descriptor()
{
    if (fd_ < 0) {
        fd_ = ::_wopen(path_.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
        if (fd_ < 0)
            throw EFileNotWritten(target_, errno);
    }
    return fd_;
}

} // namespace platform
