#include "platform/savefile.h"

#include "platform/fileerror.h"
#include "platform/fileio.h"
#include "platform/pathtext.h"

#include <QSaveFile>
#include <cerrno>
#include <mutex>
#include <unistd.h>

namespace platform {
namespace {
// Writers such as the PDF engine hand over a few bytes at a time.
constexpr std::size_t bufferSize = std::size_t{1} << 16;
} // namespace

class TSaveFile::FileDevice : public QIODevice {
public:
    explicit FileDevice(TSaveFile &file) : file_(file) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        return file_.append(data, static_cast<std::size_t>(size)) ? size : -1;
    }

private:
    TSaveFile &file_;
};

TSaveFile::TSaveFile(std::filesystem::path target) : target_(std::move(target))
{
    // QSaveFile refuses these two without a cause the C library would give.
    std::error_code ignored;
    if (std::filesystem::is_directory(target_, ignored))
        throw EFileNotWritten(target_, EISDIR);
    if (std::filesystem::exists(target_, ignored))
        if (const int err = writeAccessError(target_))
            throw EFileNotWritten(target_, err);
    file_ = std::make_unique<QSaveFile>(pathToQString(target_));
    errno = 0;
    if (!file_->open(QIODevice::WriteOnly))
        throw EFileNotWritten(target_, failedFileCallError());
    buffer_.reserve(bufferSize);
}

TSaveFile::~TSaveFile()
{
    device_.reset();
    if (!committed_)
        file_->cancelWriting(); // the nameless file goes with its descriptor
}

bool TSaveFile::flushBuffer() noexcept
{
    const int err = writeAll(*file_, buffer_.data(), buffer_.size());
    buffer_.clear();
    if (err != 0) {
        error_ = err;
        failed_ = true;
        return false;
    }
    return true;
}

bool TSaveFile::append(const char *data, std::size_t size) noexcept
{
    if (discarded_)
        return true;
    if (failed_)
        return false;
    if (buffer_.size() + size > bufferSize && !flushBuffer())
        return false;
    if (size >= bufferSize) {
        buffer_.assign(data, data + size);
        return flushBuffer();
    }
    buffer_.insert(buffer_.end(), data, data + size);
    return true;
}

void TSaveFile::Write(const void *data, std::size_t size)
{
    if (!append(static_cast<const char *>(data), size))
        ThrowIfFailed();
}

void TSaveFile::WriteFrom(int fd)
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        throw EFileNotWritten(target_, errno);
    std::vector<char> block(bufferSize);
    for (;;) {
        const ssize_t n = ::read(fd, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EFileNotWritten(target_, errno);
        if (n == 0)
            return;
        Write(block.data(), static_cast<std::size_t>(n));
    }
}

QIODevice &TSaveFile::Device()
{
    if (!device_)
        device_ = std::make_unique<FileDevice>(*this);
    return *device_;
}

void TSaveFile::ThrowIfFailed() const
{
    if (failed_)
        throw EFileNotWritten(target_, error_);
}

void TSaveFile::Commit()
{
    if (discarded_ || committed_)
        return;
    flushBuffer();
    ThrowIfFailed();
    // On the disk before it takes the old file's place, so that a crash cannot leave an empty
    // file where a good one was.
    if (const int err = flushToDisk(*file_))
        throw EFileNotWritten(target_, err);
    // One rename at a time within the program: Windows refuses to replace a file while another
    // rename replaces it, where POSIX lets the later one win. Either way one whole file results.
    static std::mutex renaming;
    const std::lock_guard<std::mutex> lock(renaming);
    errno = 0;
    if (!file_->commit())
        throw EFileNotWritten(target_, errno != 0 ? errno : failedFileCallError());
    committed_ = true;
}

void TSaveFile::Discard()
{
    discarded_ = true;
    buffer_.clear();
    file_->cancelWriting();
}

} // namespace platform
