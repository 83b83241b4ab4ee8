#pragma once
// A file written whole or not at all, as every file the program saves or exports is written.
// The bytes go into a new, nameless file in the target's folder (QSaveFile), which takes the
// target's place in one rename only once it is complete and on the disk. Until then the old
// file stays as it was: a failed, stopped or killed write leaves nothing beside it, and of two
// writers at once the target holds one whole result. Failures are EFileNotWritten, naming the
// target and the cause.

#include <QIODevice>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <vector>

class QSaveFile;

namespace platform {

class TSaveFile {
public:
    // Opens the new file; throws EFileNotWritten when the target's folder takes none.
    explicit TSaveFile(std::filesystem::path target);
    // An uncommitted file is dropped.
    ~TSaveFile();
    TSaveFile(const TSaveFile &) = delete;
    TSaveFile &operator=(const TSaveFile &) = delete;

    const std::filesystem::path &Target() const { return target_; }

    // Appends; throws EFileNotWritten.
    void Write(const void *data, std::size_t size);
    // Appends everything the file open on `fd` holds, from its start.
    void WriteFrom(int fd);
    // The new file as a device, for writers that take one (Qt's PDF writer). Once a write has
    // failed every later one fails too; ThrowIfFailed and Commit raise the first failure.
    QIODevice &Device();
    void ThrowIfFailed() const;

    // Puts the complete file in the target's place; throws EFileNotWritten, leaving the target
    // as it was.
    void Commit();
    // Stops: later writes are dropped, and nothing takes the target's place.
    void Discard();

private:
    class FileDevice;
    bool append(const char *data, std::size_t size) noexcept;
    bool flushBuffer() noexcept;

    std::filesystem::path target_;
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<FileDevice> device_;
    std::vector<char> buffer_;
    int error_ = 0; // errno of the first failed write
    bool failed_ = false;
    bool discarded_ = false;
    bool committed_ = false;
};

} // namespace platform
