#include "output/pagestore/pagelist.h"

#include "output/brerror.h"
#include "output/pagestore/compress.h"
#include "platform/emf/emfformat.h"
#include "platform/fileerror.h"
#include "platform/savefile.h"

#include <QDateTime>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <string>

namespace output {

namespace {
constexpr int headerSizeProbeOffset = 173;
constexpr int pageCountOffset = 8;
constexpr int dateOffset = 16;
constexpr int compressionOffset = 25;
constexpr int oldPageCountOffset = 5;
constexpr int oldCompressionOffset = 18;
constexpr int recordOverhead = 12; // page number, record end, record start
// The smallest page a record can hold: an empty metafile, or a compressed length and a byte.
constexpr std::int64_t minimumUncompressedPage =
    platform::emf::headerMinimumSize + platform::emf::eofSize;
constexpr std::int64_t minimumCompressedPage = 5;
constexpr int bitsPerByte = 8;
// Days from 30 December 1899 to 1 January 1970.
constexpr double unixEpochInDays = 25569.0;
constexpr double secondsPerDay = 86400.0;

void putLe32(unsigned char *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::int32_t getLe32(const unsigned char *p)
{
    return static_cast<std::int32_t>(platform::readLe32(p));
}

[[noreturn]] void bad(const std::string &what) { throw EBRError("Damaged report file: " + what); }

} // namespace

TBRPageList::TBRPageList() = default;
TBRPageList::~TBRPageList() = default;

TBRStream &TBRPageList::stream()
{
    if (!stream_)
        throw EBRError("The page store has no stream");
    return *stream_;
}

void TBRPageList::SetStream(std::unique_ptr<TBRStream> stream)
{
    std::lock_guard lock(mutex_);
    stream_ = std::move(stream);
    pageCount_ = 0;
}

void TBRPageList::TakeFrom(TBRPageList &other)
{
    // `other` is a store of the caller's own that no other thread knows: this lock comes first.
    std::lock_guard lock(mutex_);
    std::lock_guard otherLock(other.mutex_);
    stream_ = std::move(other.stream_);
    pageCount_ = other.pageCount_.exchange(0);
    compression_ = other.compression_;
}

void TBRPageList::Clear()
{
    std::lock_guard lock(mutex_);
    stream_.reset();
    pageCount_ = 0;
}

void TBRPageList::WriteHeader()
{
    std::lock_guard lock(mutex_);
    unsigned char header[HeaderSize] = {};
    header[0] = FormatWord1;
    header[2] = FormatWord2;
    putLe32(header + pageCountOffset, static_cast<std::uint32_t>(pageCount_.load()));
    const QDateTime now = QDateTime::currentDateTime();
    const double localSeconds = static_cast<double>(now.toSecsSinceEpoch() + now.offsetFromUtc()) +
                                (now.time().msec() / 1000.0);
    const double days = unixEpochInDays + localSeconds / secondsPerDay;
    std::memcpy(header + dateOffset, &days, sizeof days); // little-endian IEEE double
    header[compressionOffset] = compression_ ? 1 : 0;
    TBRStream &s = stream();
    s.Seek(0);
    s.Write(header, sizeof header);
}

int TBRPageList::headerSize()
{
    TBRStream &s = stream();
    const std::int64_t keep = s.Position();
    unsigned char probe[4];
    s.Seek(headerSizeProbeOffset);
    s.ReadBuffer(probe, sizeof probe);
    s.Seek(keep);
    return std::memcmp(probe, "EMF", 4) == 0 ? OldHeaderSize : HeaderSize;
}

void TBRPageList::ReadHeader()
{
    std::lock_guard lock(mutex_);
    TBRStream &s = stream();
    const int size = headerSize();
    unsigned char raw[HeaderSize] = {};
    s.Seek(0);
    s.ReadBuffer(raw, static_cast<std::size_t>(size));
    std::int32_t count;
    bool compressed;
    if (size == OldHeaderSize) {
        count = getLe32(raw + oldPageCountOffset);
        compressed = raw[oldCompressionOffset] == 1;
    } else {
        count = getLe32(raw + pageCountOffset);
        compressed = raw[compressionOffset] == 1;
    }
    if (count < 0)
        bad("negative page count " + std::to_string(count));
    const std::int64_t room = s.Size() - size;
    const std::int64_t smallest =
        recordOverhead + (compressed ? minimumCompressedPage : minimumUncompressedPage);
    if (count > room / smallest)
        bad("page count " + std::to_string(count) + " does not fit in " + std::to_string(s.Size()) +
            " bytes");
    // Reading takes the flag from the file, so that a compressed file opens.
    compression_ = compressed;
    pageCount_ = count;
    s.Seek(size);
}

std::int32_t TBRPageList::readPageNumber(std::int64_t at, std::int64_t size)
{
    if (at < 0 || at + recordOverhead > size)
        bad("record at offset " + std::to_string(at) + " lies outside the file");
    TBRStream &s = stream();
    s.Seek(at);
    const std::int32_t number = s.ReadInt32();
    if (number < 1 || number > pageCount_.load())
        bad("page number " + std::to_string(number) + " at offset " + std::to_string(at));
    return number;
}

void TBRPageList::seekToPage(int n)
{
    TBRStream &s = stream();
    const int first = headerSize();
    if (n == 1) {
        s.Seek(first);
        return;
    }
    const std::int64_t size = s.Size();
    std::int64_t at = s.Position();
    if (at >= size) {
        s.Seek(size - 4);
        at = s.ReadInt32();
    }
    if (at < first)
        bad("record start " + std::to_string(at) + " inside the header");
    std::int32_t number = readPageNumber(at, size);
    // Each step must move to the neighbouring page number and strictly away from where it
    // came from, so that a chain that loops or points elsewhere ends in an error.
    while (number < n) {
        s.Seek(at + 4);
        const std::int64_t end = static_cast<std::uint32_t>(s.ReadInt32());
        if (end < at + recordOverhead || end > size)
            bad("record end " + std::to_string(end) + " of page " + std::to_string(number));
        const std::int32_t next = readPageNumber(end, size);
        if (next != number + 1)
            bad("page " + std::to_string(next) + " follows page " + std::to_string(number));
        at = end;
        number = next;
    }
    while (number > n) {
        if (at - 4 < first)
            bad("page " + std::to_string(number) + " has no record before it");
        s.Seek(at - 4);
        const std::int64_t previous = static_cast<std::uint32_t>(s.ReadInt32());
        if (previous < first || previous + recordOverhead > at)
            bad("record start " + std::to_string(previous) + " before page " +
                std::to_string(number));
        const std::int32_t before = readPageNumber(previous, size);
        if (before != number - 1)
            bad("page " + std::to_string(before) + " precedes page " + std::to_string(number));
        at = previous;
        number = before;
    }
    s.Seek(at);
}

void TBRPageList::AddPage(const platform::TMetafile &page)
{
    std::lock_guard lock(mutex_);
    TBRStream &s = stream();
    const int count = pageCount_.load() + 1;
    const std::vector<std::uint8_t> &bytes = page.bytes();
    std::vector<std::uint8_t> record;
    record.reserve(bytes.size() + recordOverhead + 4);
    std::int64_t start;
    if (count == 1) {
        pageCount_ = 1;
        WriteHeader();
    }
    start = s.Seek(0, TBRStream::Origin::End);
    unsigned char field[4];
    putLe32(field, static_cast<std::uint32_t>(count));
    record.insert(record.end(), field, field + 4);
    record.insert(record.end(), 4, 0); // the record's end, known once the page is written
    if (compression_) {
        putLe32(field, static_cast<std::uint32_t>(bytes.size()));
        record.insert(record.end(), field, field + 4);
        const std::vector<std::uint8_t> packed = TBRCompress::compress(bytes.data(), bytes.size());
        record.insert(record.end(), packed.begin(), packed.end());
    } else {
        record.insert(record.end(), bytes.begin(), bytes.end());
    }
    putLe32(field, static_cast<std::uint32_t>(start));
    record.insert(record.end(), field, field + 4);
    putLe32(record.data() + 4,
            static_cast<std::uint32_t>(start + static_cast<std::int64_t>(record.size())));
    // One write: the record reaches the stream whole, and the stream ends at its end. A write
    // the stream refuses (a full disk, the 2 GiB bound) adds no page.
    try {
        s.Write(record.data(), record.size());
    } catch (...) {
        pageCount_ = count - 1;
        throw;
    }
    pageCount_ = count;
}

std::unique_ptr<platform::TMetafile> TBRPageList::GetPage(int n)
{
    if (n < 1 || n > pageCount_.load())
        return nullptr;
    std::lock_guard lock(mutex_);
    TBRStream &s = stream();
    seekToPage(n);
    const std::int64_t size = s.Size();
    const std::int64_t start = s.Position();
    const std::int32_t number = s.ReadInt32();
    if (number != n)
        bad("page " + std::to_string(number) + " where page " + std::to_string(n) + " belongs");
    const std::int64_t end = static_cast<std::uint32_t>(s.ReadInt32());
    if (end < start + recordOverhead || end > size)
        bad("record end " + std::to_string(end) + " of page " + std::to_string(n));
    const std::int64_t dataLength = end - start - recordOverhead;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(dataLength));
    s.ReadBuffer(data.data(), data.size());
    if (s.ReadInt32() != start)
        bad("record of page " + std::to_string(n) + " does not end with its start");
    try {
        if (!compression_) {
            const platform::EmfHeader h = platform::readEmfHeader(data.data(), data.size());
            if (h.Bytes != data.size())
                bad("metafile of page " + std::to_string(n) + " is " + std::to_string(h.Bytes) +
                    " bytes in a record of " + std::to_string(data.size()));
            return std::make_unique<platform::TMetafile>(std::move(data));
        }
        if (data.size() < 4)
            bad("compressed page " + std::to_string(n) + " without its length");
        const std::uint64_t length = platform::readLe32(data.data());
        if (length > (data.size() - 4) * static_cast<std::uint64_t>(bitsPerByte))
            bad("compressed page " + std::to_string(n) + " claims " + std::to_string(length) +
                " bytes");
        return std::make_unique<platform::TMetafile>(TBRCompress::expand(
            data.data() + 4, data.size() - 4, static_cast<std::size_t>(length)));
    } catch (const platform::EmfError &e) {
        bad("page " + std::to_string(n) + ": " + e.what());
    }
}

void TBRPageList::LoadFromFile(const std::filesystem::path &file)
{
    std::lock_guard lock(mutex_);
    stream_.reset();
    pageCount_ = 0;
    Open(std::make_unique<TBRStream>(file));
}

void TBRPageList::Open(std::unique_ptr<TBRStream> stream)
{
    std::lock_guard lock(mutex_);
    stream_ = std::move(stream);
    pageCount_ = 0;
    try {
        // Offsets in the file are signed 32-bit: a larger file cannot have been written as one.
        if (stream_->Size() > TBRStream::MaxSize)
            throw EBRError(std::string(msgFileTooLarge) + " (" + std::to_string(stream_->Size()) +
                           " bytes)");
        ReadHeader();
        if (pageCount_ >= 1)
            GetPage(pageCount_); // walks and checks the whole chain once
    } catch (...) {
        stream_.reset();
        pageCount_ = 0;
        throw;
    }
}

void TBRPageList::SaveToFile(const std::filesystem::path &file)
{
    std::lock_guard lock(mutex_);
    TBRStream &s = stream();
    // Saving a loaded file under its own name: it holds these bytes already.
    std::error_code ignored;
    if (!s.SourceFile().empty() && std::filesystem::equivalent(file, s.SourceFile(), ignored))
        return;
    platform::TSaveFile out(file);
    s.CopyTo(out); // an exception leaves `out` uncommitted: the old file stays as it was
    out.Commit();
}

} // namespace output
