#include "output/pagestore/brstream.h"

#include "output/brerror.h"
#include "platform/fileerror.h"
#include "platform/fileio.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace output {

namespace {
constexpr const char *tempPrefix = "BRP";
constexpr std::size_t maxTempDirectoryLength = 260;
constexpr int accessDenied = 5;
} // namespace

TBRStream::TBRStream(std::int64_t memoryLimit) : memoryLimit_(memoryLimit) {}

TBRStream::TBRStream(const std::filesystem::path &file)
    : inMemory_(false), readOnly_(true), sourceFile_(file), memoryLimit_(0)
{
    // A FIFO or a device would block the read or never end: refused before it is opened.
    platform::refuseUnreadableFile(file, UINTMAX_MAX);
    file_ = platform::openFile(file, "rb");
    if (!file_)
        throw platform::EInOutError::fromErrno(errno);
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        const int err = errno;
        std::fclose(file_);
        throw platform::EInOutError::fromErrno(err);
    }
    size_ = platform::tellFile(file_);
    filePosition_ = size_;
}

TBRStream::~TBRStream()
{
    std::lock_guard lock(mutex_);
    if (file_)
        std::fclose(file_);
}

void TBRStream::seekFile(std::int64_t position)
{
    if (platform::seekFile(file_, position, SEEK_SET) != 0)
        throw platform::EInOutError::fromErrno(errno);
    filePosition_ = position;
}

std::size_t TBRStream::readUnlocked(void *buffer, std::size_t count)
{
    if (position_ >= size_ || count == 0)
        return 0;
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::int64_t>(count, size_ - position_));
    if (inMemory_) {
        std::memcpy(buffer, memory_.data() + position_, n);
    } else {
        if (filePosition_ != position_ || fileWriting_)
            seekFile(position_);
        fileWriting_ = false;
        const std::size_t got = std::fread(buffer, 1, n, file_);
        filePosition_ += static_cast<std::int64_t>(got);
        if (got != n && std::ferror(file_))
            throw platform::EInOutError::fromErrno(errno);
        position_ += static_cast<std::int64_t>(got);
        return got;
    }
    position_ += static_cast<std::int64_t>(n);
    return n;
}

std::size_t TBRStream::Read(void *buffer, std::size_t count)
{
    std::lock_guard lock(mutex_);
    return readUnlocked(buffer, count);
}

void TBRStream::ReadBuffer(void *buffer, std::size_t count)
{
    std::lock_guard lock(mutex_);
    if (readUnlocked(buffer, count) != count)
        throw EReadError();
}

void TBRStream::Write(const void *buffer, std::size_t count)
{
    std::lock_guard lock(mutex_);
    if (readOnly_)
        throw platform::EInOutError(accessDenied);
    if (count == 0)
        return;
    if (position_ > MaxSize || count > static_cast<std::uint64_t>(MaxSize - position_))
        throw EBRError(msgStoreTooLarge);
    if (inMemory_) {
        const std::size_t end = static_cast<std::size_t>(position_) + count;
        if (end > memory_.size())
            memory_.resize(end);
        std::memcpy(memory_.data() + position_, buffer, count);
        position_ = static_cast<std::int64_t>(end);
        size_ = std::max<std::int64_t>(size_, position_);
        if (size_ > memoryLimit_)
            moveToFile();
        return;
    }
    if (filePosition_ != position_ || !fileWriting_)
        seekFile(position_);
    fileWriting_ = true;
    if (std::fwrite(buffer, 1, count, file_) != count)
        throw platform::EInOutError::fromErrno(errno);
    position_ += static_cast<std::int64_t>(count);
    filePosition_ = position_;
    size_ = std::max(size_, position_);
}

void TBRStream::moveToFile()
{
    // The temporary file goes with the stream's handle on it, so that no end of the program,
    // not even a killed one, leaves it behind.
    std::filesystem::path dir = std::filesystem::temp_directory_path();
    if (dir.native().size() > maxTempDirectoryLength)
        throw platform::EInOutError(3); // path not found
    std::filesystem::path name;
    std::FILE *file = platform::openTemporaryFile(dir, tempPrefix, name);
    if (!file)
        throw platform::EInOutError::fromErrno(errno);
    tempName_ = name;
    // Flushed here, so that a full disk shows now, while the pages are still in memory. A
    // failed attempt closes the file, which goes with whatever its buffer still holds; the
    // next write tries again in a new one.
    errno = 0;
    if (std::fwrite(memory_.data(), 1, memory_.size(), file) != memory_.size() ||
        std::fflush(file) != 0) {
        const int err = errno;
        std::fclose(file);
        throw platform::EInOutError::fromWriteErrno(err);
    }
    file_ = file;
    filePosition_ = static_cast<std::int64_t>(memory_.size());
    fileWriting_ = true;
    std::vector<char>().swap(memory_);
    inMemory_ = false;
    // The next write appends: the stream's position is at the end already.
}

std::int64_t TBRStream::Seek(std::int64_t offset, Origin origin)
{
    std::lock_guard lock(mutex_);
    std::int64_t target = offset;
    if (origin == Origin::Current)
        target = position_ + offset;
    else if (origin == Origin::End)
        target = size_ + offset;
    if (target < 0)
        throw EBRError("Stream seek before its start");
    position_ = target;
    return position_;
}

std::int64_t TBRStream::Position()
{
    std::lock_guard lock(mutex_);
    return position_;
}

std::int64_t TBRStream::Size()
{
    std::lock_guard lock(mutex_);
    return size_;
}

void TBRStream::CopyTo(platform::TSaveFile &out)
{
    std::lock_guard lock(mutex_);
    position_ = 0;
    std::vector<char> block(CopyBlockSize);
    for (;;) {
        const std::size_t n = readUnlocked(block.data(), block.size());
        if (n == 0)
            break;
        out.Write(block.data(), n);
    }
}

std::int32_t TBRStream::ReadInt32()
{
    unsigned char b[4];
    ReadBuffer(b, 4);
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
        (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
}

void TBRStream::WriteInt32(std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    Write(b, 4);
}

bool TBRStream::InMemory()
{
    std::lock_guard lock(mutex_);
    return inMemory_;
}

std::filesystem::path TBRStream::TempFileName()
{
    std::lock_guard lock(mutex_);
    return tempName_;
}

} // namespace output
