#include "platform/fileerror.h"

#include "platform/cp1252.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// The run-time library's number for a write error with no better cause.
constexpr int diskWriteError = 101;

std::string messageFor(int code)
{
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Path not found";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    default:
        return "I/O error " + std::to_string(code);
    }
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

EInOutError::EInOutError(int code) : std::runtime_error(messageFor(code)), code_(code) {}

EInOutError::EInOutError(int code, const std::string &text) : std::runtime_error(text), code_(code)
{}

EInOutError EInOutError::fromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return EInOutError(2);
    case ENOTDIR:
        return EInOutError(3);
    case EMFILE:
    case ENFILE:
        return EInOutError(4);
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return EInOutError(5);
    default:
        // Not a run-time code: errno 5 (EIO) is no "File access denied".
        return EInOutError(err, "I/O error " + std::to_string(err));
    }
}

EInOutError EInOutError::fromWriteErrno(int err)
{
    return err != 0 ? fromErrno(err) : EInOutError(diskWriteError);
}

EFileNotWritten::EFileNotWritten(std::filesystem::path file, int err)
    : EInOutError(err == 0 ? diskWriteError : err,
                  "cannot write " + file.string() + ": " + PlainCause(err)),
      file_(std::move(file)), cause_(err)
{}

std::string EFileNotWritten::Danish() const
{
    return DanishCause(cause_) + ": kunne ikke skrive " + file_.filename().string();
}

std::string EFileNotWritten::PlainCause(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return "the disk is full";
    case EACCES:
    case EPERM:
        return "no permission to write there";
    case EROFS:
        return "the disk is read-only";
    case ENOENT:
    case ENOTDIR:
        return "the folder does not exist";
    case EISDIR:
        return "that is a folder";
    case EFBIG:
        return "the file is larger than the disk takes";
    case ENAMETOOLONG:
        return "the name is too long";
    case EMFILE:
    case ENFILE:
        return "too many files are open";
    case EIO:
        return "the disk failed to write it";
    case 0:
        return "the write failed";
    default:
        return std::string("the write failed (") + std::strerror(err) + ")";
    }
}

std::string EFileNotWritten::DanishCause(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return "Disken er fuld";
    case EACCES:
    case EPERM:
        return "Du har ikke lov til at skrive der";
    case EROFS:
        return "Disken er skrivebeskyttet";
    case ENOENT:
    case ENOTDIR:
        return "Mappen findes ikke";
    case EISDIR:
        return "Navnet er en mappe";
    case EFBIG:
        return "Filen er for stor til disken";
    case ENAMETOOLONG:
        return "Navnet er for langt";
    case EMFILE:
    case ENFILE:
        return cp1252(u8"Der er for mange åbne filer");
    case EIO:
        return "Disken kunne ikke skrive filen";
    case 0:
        return "Skrivningen mislykkedes";
    default:
        return std::string("Skrivningen mislykkedes (") + std::strerror(err) + ")";
    }
}

namespace {

ERefusedFile tooLarge(std::uintmax_t maxBytes)
{
    return ERefusedFile("larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB");
}

void refuseStat(const struct stat &st, std::uintmax_t maxBytes)
{
    if (!S_ISREG(st.st_mode))
        throw ERefusedFile("not a regular file");
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        throw tooLarge(maxBytes);
}

} // namespace

void refuseUnreadableFile(const std::filesystem::path &path, std::uintmax_t maxBytes)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        refuseStat(st, maxBytes);
}

FileBytes readFileBytes(const std::filesystem::path &path, std::uintmax_t maxBytes)
{
    // Non-blocking, so that a FIFO put in the file's place is refused rather than waited on.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        throw EInOutError::fromErrno(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw EInOutError::fromErrno(errno);
    refuseStat(st, maxBytes);

    constexpr std::size_t kChunk = 1 << 20;
    FileBytes result;
    if (st.st_size > 0)
        result.bytes.reserve(static_cast<std::size_t>(st.st_size) + kChunk);
    for (;;) {
        const std::size_t old = result.bytes.size();
        result.bytes.resize(old + kChunk);
        const ssize_t got = ::read(fd.get(), result.bytes.data() + old, kChunk);
        if (got < 0) {
            if (errno == EINTR) {
                result.bytes.resize(old);
                continue;
            }
            result.readErrno = errno;
            result.bytes.resize(old);
            break;
        }
        result.bytes.resize(old + static_cast<std::size_t>(got));
        if (got == 0)
            break;
        if (result.bytes.size() > maxBytes) // it grew while being read
            throw tooLarge(maxBytes);
    }
    return result;
}

} // namespace platform
