#include "platform/fileio.h"

#include "platform/fileerror.h"

#include <cerrno>

namespace platform {

FileBytes readOpenFile(const FileDescriptor &fd, std::uintmax_t size, std::uintmax_t maxBytes)
{
    constexpr unsigned kChunk = 1 << 20;
    FileBytes result;
    if (size > 0)
        result.bytes.reserve(static_cast<std::size_t>(size) + kChunk);
    for (;;) {
        const std::size_t old = result.bytes.size();
        result.bytes.resize(old + kChunk);
        const std::int64_t got = readSome(fd, result.bytes.data() + old, kChunk);
        if (got < 0) {
            result.readErrno = errno;
            result.bytes.resize(old);
            break;
        }
        result.bytes.resize(old + static_cast<std::size_t>(got));
        if (got == 0)
            break;
        if (result.bytes.size() > maxBytes) // it grew while being read
            throw ERefusedFile::TooLarge(maxBytes);
    }
    return result;
}

} // namespace platform
