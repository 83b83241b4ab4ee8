#pragma once
// The page store of a run: a header and one record per page in a TBRStream, each record
// linked to its neighbours by the offsets of its end and its start, so that pages read in
// order need no search and any page is reached by walking the chain from the current record.
// The lock serialises whole page operations; it is always taken before the stream's own.
//
// Everything read from a stream is checked before use: a file can come from anywhere.

#include "output/pagestore/brstream.h"
#include "platform/emf/emfmetafile.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>

namespace output {

class TBRPageList {
public:
    static constexpr int HeaderSize = 128;
    static constexpr int OldHeaderSize = 124;
    static constexpr std::int16_t FormatWord1 = 3;
    static constexpr std::int16_t FormatWord2 = 40;

    TBRPageList();
    ~TBRPageList();

    // Hands the page store a fresh stream (or none); the old one is freed.
    void SetStream(std::unique_ptr<TBRStream> stream);
    TBRStream *Stream() const { return stream_.get(); }

    void AddPage(const platform::TMetafile &page);
    // Page n, or nullptr when n is outside 1 .. page count.
    std::unique_ptr<platform::TMetafile> GetPage(int n);

    // Writes the header with the page count, the local time and the compression flag.
    void WriteHeader();
    // Reads the header at offset 0 and takes its page count (and compression flag).
    void ReadHeader();
    // Opens a saved report file as the page store and checks its record chain.
    void LoadFromFile(const std::filesystem::path &file);
    // The same for a stream that holds a saved report file's bytes.
    void Open(std::unique_ptr<TBRStream> stream);
    // Takes over the pages of `other` (a store just opened), which is left empty.
    void TakeFrom(TBRPageList &other);
    // Copies the whole store into `file`, replacing it.
    void SaveToFile(const std::filesystem::path &file);

    int PageCount() const { return pageCount_.load(); }
    void Clear();
    bool Compression() const { return compression_; }
    void SetCompression(bool on) { compression_ = on; }

    // The page store's lock, for callers that need several operations as one.
    std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock(mutex_); }

private:
    int headerSize();
    void seekToPage(int n);
    std::int32_t readPageNumber(std::int64_t at, std::int64_t size);
    TBRStream &stream();

    std::recursive_mutex mutex_;
    std::unique_ptr<TBRStream> stream_;
    std::atomic<int> pageCount_{0};
    bool compression_ = false;
};

} // namespace output
