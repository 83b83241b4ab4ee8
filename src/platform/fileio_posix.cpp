#include "platform/fileio.h"

#include "platform/fileerror.h"

#include <QFileDevice>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

FileDescriptor::~FileDescriptor()
{
    if (fd_ >= 0)
        ::close(fd_);
}

namespace {

void refuseStat(const struct stat &st, std::uintmax_t maxBytes)
{
    if (!S_ISREG(st.st_mode))
        throw ERefusedFile("not a regular file");
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        throw ERefusedFile::TooLarge(maxBytes);
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

    return readOpenFile(fd, static_cast<std::uintmax_t>(st.st_size), maxBytes);
}

std::int64_t readSome(const FileDescriptor &fd, char *into, unsigned size)
{
    for (;;) {
        const ssize_t got = ::read(fd.get(), into, size);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

int writeAccessError(const std::filesystem::path &file)
{
    return ::access(file.c_str(), W_OK) == 0 ? 0 : errno;
}

int failedFileCallError() { return errno; }

int writeAll(QFileDevice &file, const char *data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(file.handle(), data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int flushToDisk(QFileDevice &file)
{
    // A descriptor that cannot be synced (EINVAL) has nothing to sync.
    return ::fsync(file.handle()) == 0 || errno == EINVAL ? 0 : errno;
}

std::FILE *openFile(const std::filesystem::path &file, const char *mode)
{
    return std::fopen(file.c_str(), mode);
}

std::int64_t tellFile(std::FILE *file) { return ::ftello(file); }

int seekFile(std::FILE *file, std::int64_t offset, int origin)
{
    return ::fseeko(file, static_cast<off_t>(offset), origin);
}

void writeStandardStreamsAsBytes() {}

std::FILE *openTemporaryFile(const std::filesystem::path &folder, const char *prefix,
                             std::filesystem::path &name)
{
    // The file leaves its folder as soon as it is open: its descriptor keeps it, so that no
    // end of the program, not even a killed one, leaves it behind.
    std::string pattern = (folder / (std::string(prefix) + "XXXXXX")).native();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return nullptr;
    ::unlink(pattern.c_str());
    std::FILE *file = ::fdopen(fd, "w+b");
    if (!file) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return nullptr;
    }
    name = pattern;
    return file;
}

TScratchFile::TScratchFile(const std::filesystem::path &target) : target_(target)
{
    // In memory, under a name that reaches it there.
    fd_ = ::memfd_create("tavleplanner-scratch", MFD_CLOEXEC);
    if (fd_ < 0)
        throw EFileNotWritten(target_, errno);
    name_ = "/proc/self/fd/" + std::to_string(fd_);
}

TScratchFile::~TScratchFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int TScratchFile::Descriptor() { return fd_; }

} // namespace platform
