#pragma once
// The stream that holds a page store: in memory up to a limit, then, after one move, in a
// temporary file made with a name that starts with "BRP" and removed from its folder as soon as
// it is open, so that it ends with the stream's descriptor, however the program ends. A stream
// opened on a saved report file reads it and never deletes it. Every read, write, seek and
// copy holds the stream's lock for its whole duration.

#include "platform/savefile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <vector>

namespace output {

class TBRStream {
public:
    static constexpr std::int64_t DefaultMemoryLimit = 250000;
    static constexpr std::size_t CopyBlockSize = 10240;
    // The record offsets of a store are signed 32-bit: no store or saved file grows past this.
    static constexpr std::int64_t MaxSize = 0x7FFFFFFF;
    enum class Origin { Beginning, Current, End };

    // An empty stream in memory.
    explicit TBRStream(std::int64_t memoryLimit = DefaultMemoryLimit);
    // A stream on an existing file, for reading.
    explicit TBRStream(const std::filesystem::path &file);
    ~TBRStream();
    TBRStream(const TBRStream &) = delete;
    TBRStream &operator=(const TBRStream &) = delete;

    // Reads up to `count` bytes; returns how many were read.
    std::size_t Read(void *buffer, std::size_t count);
    // Reads exactly `count` bytes or raises EReadError.
    void ReadBuffer(void *buffer, std::size_t count);
    // Raises EBRError, writing nothing, when the stream would grow past MaxSize.
    void Write(const void *buffer, std::size_t count);
    std::int64_t Seek(std::int64_t offset, Origin origin = Origin::Beginning);
    std::int64_t Position();
    std::int64_t Size();
    // Copies the whole stream, from offset 0, to `out`; raises the platform's file error when
    // `out` refuses a block.
    void CopyTo(platform::TSaveFile &out);

    std::int32_t ReadInt32();
    void WriteInt32(std::int32_t value);

    bool InMemory();
    // The name the temporary file was made with, once the stream has moved there (no file
    // has it any more); empty otherwise.
    std::filesystem::path TempFileName();
    // The saved report file the stream was opened on; empty for a stream of a run.
    const std::filesystem::path &SourceFile() const { return sourceFile_; }

private:
    std::size_t readUnlocked(void *buffer, std::size_t count);
    void seekFile(std::int64_t position);
    void moveToFile();

    std::mutex mutex_;
    bool inMemory_ = true;
    std::vector<char> memory_;
    std::FILE *file_ = nullptr;
    bool readOnly_ = false;
    std::filesystem::path tempName_;
    std::filesystem::path sourceFile_;
    std::int64_t memoryLimit_;
    std::int64_t position_ = 0;
    std::int64_t size_ = 0;
    // Where the C stream stands, and whether it last wrote: a switch between reading and
    // writing needs a seek, a read after a read does not (it keeps the read buffer).
    std::int64_t filePosition_ = -1;
    bool fileWriting_ = false;
};

} // namespace output
