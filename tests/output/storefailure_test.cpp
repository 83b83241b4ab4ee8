// A page store and its saved file under failing writes and at the 2 GiB bound of their 32-bit
// offsets. A failing disk is a file size limit (RLIMIT_FSIZE): past it every write fails the
// way a full disk fails it. Large files are sparse, so nothing near 2 GiB is written.
#include "output/brerror.h"
#include "output/brprinter.h"
#include "platform/fileerror.h"
#include "support/testpages.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>

using namespace output;

namespace {

// Record offsets are signed 32-bit numbers.
constexpr std::int64_t maxOffset = 0x7FFFFFFF;

bool saysTwoGiB(const std::exception &e)
{
    return std::string(e.what()).find("2 GiB") != std::string::npos;
}

// Writes past `bytes` of any file fail while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit old_{};
    void (*oldSignal_)(int) = nullptr;
};

// The temporary directory is `dir` while the object lives.
class TempDirectory {
public:
    explicit TempDirectory(const std::filesystem::path &dir)
    {
        if (const char *old = std::getenv("TMPDIR"))
            old_ = old;
        setenv("TMPDIR", dir.c_str(), 1);
    }
    ~TempDirectory()
    {
        if (old_.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", old_.c_str(), 1);
    }

private:
    std::string old_;
};

int brpFiles(const std::filesystem::path &dir)
{
    int n = 0;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        n += entry.path().filename().string().rfind("BRP", 0) == 0;
    return n;
}

std::vector<char> pattern(std::size_t size, char seed)
{
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 7);
    return bytes;
}

} // namespace

TEST(FailingWrites, AFailedSaveLeavesThePreviousFileAsItWasAndASuccessfulOneReplacesIt)
{
    testpages::TempDir dir;
    const auto path = dir.file("tiles.brp");
    TBRPrinter small;
    testpages::recordRun(small, 1, 2, 3);
    small.SavePages(path);
    const auto previous = testpages::fileBytes(path);

    TBRPrinter large;
    testpages::recordRun(large, 4);
    const auto replacement = dir.file("replacement.brp");
    large.SavePages(replacement);
    const auto expected = testpages::fileBytes(replacement);
    ASSERT_GT(expected.size(), previous.size() + 8192);
    {
        // The disk fills up a little past the previous file's size.
        FileSizeLimit full(previous.size() + 4096);
        EXPECT_THROW(large.SavePages(path), platform::EInOutError);
    }
    EXPECT_EQ(testpages::fileBytes(path), previous);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")),
                            std::filesystem::directory_iterator()),
              2)
        << "no half-written file is left beside it";

    large.SavePages(path);
    EXPECT_EQ(testpages::fileBytes(path), expected);
}

TEST(FailingWrites, AStoreThatCannotFillItsTemporaryFileKeepsOneFileAndRemovesIt)
{
    testpages::TempDir dir;
    const TempDirectory temp(dir.file(""));
    const std::vector<char> first = pattern(20000, 1), second = pattern(3000, 2);
    {
        TBRStream stream(10000);
        {
            FileSizeLimit full(1000);
            // The move to the temporary file fails; the pages stay in memory.
            EXPECT_THROW(stream.Write(first.data(), first.size()), platform::EInOutError);
            EXPECT_EQ(brpFiles(dir.file("")), 1);
            EXPECT_THROW(stream.Write(second.data(), second.size()), platform::EInOutError);
            EXPECT_EQ(brpFiles(dir.file("")), 1) << "the second attempt uses the same file";
        }
        // With room again the store moves into that file and holds every byte.
        const std::vector<char> third = pattern(100, 3);
        stream.Write(third.data(), third.size());
        EXPECT_FALSE(stream.InMemory());
        EXPECT_EQ(brpFiles(dir.file("")), 1);
        std::vector<char> all(first);
        all.insert(all.end(), second.begin(), second.end());
        all.insert(all.end(), third.begin(), third.end());
        std::vector<char> back(all.size());
        stream.Seek(0);
        stream.ReadBuffer(back.data(), back.size());
        EXPECT_EQ(back, all);
    }
    EXPECT_EQ(brpFiles(dir.file("")), 0) << "the stream removes its one temporary file";
}

TEST(FailingWrites, AStoreStopsAt2GiBAndAddsNoPagePastIt)
{
    testpages::TempDir dir;
    const TempDirectory temp(dir.file(""));
    TBRPrinter printer;
    testpages::recordRun(printer, 1, 2, 3);
    const std::unique_ptr<platform::TMetafile> page = printer.GetPage(1);
    ASSERT_TRUE(page);

    TBRPageList pages;
    pages.SetStream(std::make_unique<TBRStream>(0)); // on its temporary file at once
    pages.AddPage(*page);
    // The store is grown to just below 2 GiB by a write far out, which the file holds sparse.
    TBRStream &stream = *pages.Stream();
    const std::int64_t nearlyFull = maxOffset - 100;
    stream.Seek(nearlyFull);
    stream.WriteInt32(0);
    const std::int64_t size = stream.Size();
    try {
        pages.AddPage(*page);
        FAIL() << "a page was added past 2 GiB";
    } catch (const EBRError &e) {
        EXPECT_TRUE(saysTwoGiB(e)) << e.what();
    }
    EXPECT_EQ(pages.PageCount(), 1);
    EXPECT_EQ(stream.Size(), size) << "nothing written";

    // A stream refuses any write that ends past the bound, also from a position beyond it.
    stream.Seek(maxOffset - 3);
    EXPECT_THROW(stream.WriteInt32(0), EBRError);
    stream.Seek(maxOffset + 10);
    EXPECT_THROW(stream.WriteInt32(0), EBRError);
    EXPECT_EQ(stream.Size(), size);
}

TEST(FailingWrites, ASavedFileLargerThan2GiBIsRefusedWithAClearMessage)
{
    testpages::TempDir dir;
    const auto path = dir.file("huge.brp");
    {
        TBRPrinter printer;
        testpages::recordRun(printer, 1, 2, 3);
        printer.SavePages(path);
    }
    std::filesystem::resize_file(path, std::uintmax_t{1} << 31); // sparse
    TBRPrinter printer;
    try {
        printer.LoadPages(path);
        FAIL() << "a file past 2 GiB was opened";
    } catch (const EBRError &e) {
        EXPECT_TRUE(saysTwoGiB(e)) << e.what();
    }
    EXPECT_EQ(printer.PageNumber(), 0);
}
