// A page store and its saved file under failing writes and at the 2 GiB bound of their 32-bit
// offsets. A failing disk is a file size limit (RLIMIT_FSIZE): past it every write fails the
// way a full disk fails it. Large files are sparse, so nothing near 2 GiB is written. Then
// every format the program writes (report file, PDF, spreadsheet, HTML) under a stopped run, a
// full disk (a small file system of the test's own) and two writers at once.
#include "output/brerror.h"
#include "output/brprinter.h"
#include "output/export/htmldocumentfilter.h"
#include "output/export/pdfdocumentfilter.h"
#include "output/export/xlsfilter.h"
#include "platform/fileerror.h"
#include "support/smalldisk.h"
#include "support/systemfiles.h"
#include "support/testpages.h"

#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>
#ifndef _WIN32
#include <sys/resource.h>
#endif

using namespace output;

namespace {

// Record offsets are signed 32-bit numbers.
constexpr std::int64_t maxOffset = 0x7FFFFFFF;

bool saysTwoGiB(const std::exception &e)
{
    return std::string(e.what()).find("2 GiB") != std::string::npos;
}

// Writes past `bytes` of any file fail while the object lives. Windows has no such limit: the
// tests that need one skip there.
#ifdef _WIN32
constexpr const char *noFileSizeLimit = "Windows has no limit of a process's file size";
#else
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
#endif

// The temporary directory is `dir` while the object lives.
class TempDirectory {
public:
    explicit TempDirectory(const std::filesystem::path &dir)
    {
        old_ = qgetenv(testsupport::kTempFolderVariable);
        qputenv(testsupport::kTempFolderVariable,
                QFile::encodeName(QString::fromStdWString(dir.wstring())));
    }
    ~TempDirectory()
    {
        if (old_.isNull())
            qunsetenv(testsupport::kTempFolderVariable);
        else
            qputenv(testsupport::kTempFolderVariable, old_);
    }

private:
    QByteArray old_;
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
#ifdef _WIN32
    GTEST_SKIP() << noFileSizeLimit;
#else
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
#endif
}

TEST(FailingWrites, AStoreThatCannotFillItsTemporaryFileKeepsItsPagesAndNoFileInTheFolder)
{
#ifdef _WIN32
    GTEST_SKIP() << noFileSizeLimit;
#else
    testpages::TempDir dir;
    const TempDirectory temp(dir.file(""));
    const std::vector<char> first = pattern(20000, 1), second = pattern(3000, 2);
    {
        TBRStream stream(10000);
        {
            FileSizeLimit full(1000);
            // The move to the temporary file fails; the pages stay in memory.
            EXPECT_THROW(stream.Write(first.data(), first.size()), platform::EInOutError);
            EXPECT_EQ(brpFiles(dir.file("")), 0);
            EXPECT_THROW(stream.Write(second.data(), second.size()), platform::EInOutError);
            EXPECT_EQ(brpFiles(dir.file("")), 0);
        }
        // With room again the store moves into a temporary file and holds every byte; the file
        // left the folder as soon as it was open.
        const std::vector<char> third = pattern(100, 3);
        stream.Write(third.data(), third.size());
        EXPECT_FALSE(stream.InMemory());
        EXPECT_EQ(brpFiles(dir.file("")), 0);
        std::vector<char> all(first);
        all.insert(all.end(), second.begin(), second.end());
        all.insert(all.end(), third.begin(), third.end());
        std::vector<char> back(all.size());
        stream.Seek(0);
        stream.ReadBuffer(back.data(), back.size());
        EXPECT_EQ(back, all);
    }
    EXPECT_EQ(brpFiles(dir.file("")), 0);
#endif
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

// ---- Every file the program writes, under every way a write can end badly ----

namespace {

namespace fs = std::filesystem;

// Holds each thread until all have come. Not std::latch: the MinGW C++ library's atomic waits
// can miss the last arrival and leave a thread waiting for ever.
class StartLine {
public:
    explicit StartLine(int threads) : waiting_(threads) {}
    void arriveAndWait()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (--waiting_ == 0)
            allCame_.notify_all();
        else
            allCame_.wait(lock, [this] { return waiting_ == 0; });
    }

private:
    std::mutex mutex_;
    std::condition_variable allCame_;
    int waiting_;
};

// One output format: a saved report file, or an export of the pages through its filter.
struct Format {
    const char *extension;
    std::function<std::unique_ptr<TBRExportFilter>(const fs::path &)> filter; // none for .brp
};
void PrintTo(const Format &format, std::ostream *os) { *os << format.extension; }

const Format formats[] = {
    {"brp", nullptr},
    {"pdf", [](const fs::path &f) { return std::make_unique<TBRPDFDocumentFilter>(f); }},
    {"xlsx", [](const fs::path &f) { return std::make_unique<TBRXLSFilter>(f); }},
    {"html", [](const fs::path &f) { return std::make_unique<TBRGHTMLDocumentFilter>(f); }},
};

// `pages` recorded pages written to `file` as the preview's "Gem" writes them.
void writePages(const Format &format, int pages, const fs::path &file)
{
    TBRPrinter printer;
    testpages::recordRun(printer, pages, 60, 120);
    if (!format.filter) {
        printer.SavePages(file);
        return;
    }
    const auto filter = format.filter(file);
    printer.ExportPages(*filter);
}

// A run of `pages` pages drawn straight into `filter`, stopped before its end when `stop`.
void runInto(TBRExportFilter &filter, int pages, bool stop)
{
    TBRPrinter printer({}, &filter);
    printer.Destination = TBRPrinter::TDestination::Printer;
    printer.StartJob();
    for (int n = 1; n <= pages; ++n) {
        printer.NewPage();
        testpages::drawPage(*printer.PageCanvas(), n, 60, 120);
    }
    if (stop)
        printer.AbortJob();
    else
        printer.FinishJob();
}

std::vector<std::string> folderNames(const fs::path &dir)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string text(const std::vector<unsigned char> &bytes) { return {bytes.begin(), bytes.end()}; }

// A PDF whose cross-reference table, found from its end, points at each of its objects.
bool wholePdf(const std::string &pdf)
{
    const auto start = pdf.rfind("startxref\n");
    if (pdf.rfind("%PDF-", 0) != 0 || start == std::string::npos ||
        pdf.substr(pdf.size() - 6) != "%%EOF\n")
        return false;
    std::size_t at = std::stoul(pdf.substr(start + 10));
    if (pdf.compare(at, 5, "xref\n") != 0)
        return false;
    std::istringstream table(pdf.substr(at + 5));
    std::size_t first = 0, count = 0;
    table >> first >> count;
    table.ignore(2, '\n');
    std::string entry;
    for (std::size_t i = 0; i < count && std::getline(table, entry); ++i) {
        if (entry.size() < 17 || entry[17] != 'n')
            continue;
        const std::size_t offset = std::stoul(entry.substr(0, 10));
        if (pdf.compare(offset, std::to_string(first + i).size() + 6,
                        std::to_string(first + i) + " 0 obj") != 0)
            return false;
    }
    return count > 1;
}

std::uint32_t le(const std::string &s, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(s.at(at + static_cast<std::size_t>(i)));
    return v;
}

// A zip whose directory, found from its end, names each entry where it stands, the entries
// following one another up to the directory.
bool wholeZip(const std::string &zip)
{
    if (zip.size() < 22 || le(zip, zip.size() - 22, 4) != 0x06054b50)
        return false;
    const std::size_t end = zip.size() - 22;
    const std::size_t entries = le(zip, end + 10, 2), directory = le(zip, end + 16, 4);
    std::size_t at = directory, expected = 0;
    for (std::size_t i = 0; i < entries; ++i) {
        if (at + 46 > end || le(zip, at, 4) != 0x02014b50)
            return false;
        const std::size_t packed = le(zip, at + 20, 4), nameLength = le(zip, at + 28, 2),
                          extra = le(zip, at + 30, 2), comment = le(zip, at + 32, 2),
                          local = le(zip, at + 42, 4);
        const std::string name = zip.substr(at + 46, nameLength);
        if (local != expected || le(zip, local, 4) != 0x04034b50 ||
            zip.compare(local + 30, nameLength, name) != 0)
            return false;
        expected = local + 30 + nameLength + le(zip, local + 28, 2) + packed;
        at += 46 + nameLength + extra + comment;
    }
    return entries > 0 && expected == directory;
}

// `file` holds one whole result of `format` of one of the page counts.
::testing::AssertionResult whole(const Format &format, const fs::path &file,
                                 std::initializer_list<int> pageCounts)
{
    const std::string bytes = text(testpages::fileBytes(file));
    const std::string kind = format.extension;
    bool ok = false;
    if (kind == "brp") {
        TBRPrinter loaded;
        try {
            loaded.LoadPages(file);
            ok = std::find(pageCounts.begin(), pageCounts.end(), loaded.PageNumber()) !=
                 pageCounts.end();
        } catch (const std::exception &) {
        }
    } else if (kind == "pdf") {
        ok = wholePdf(bytes);
    } else if (kind == "xlsx") {
        ok = wholeZip(bytes);
    } else {
        ok = bytes.rfind("<!DOCTYPE html>", 0) == 0 &&
             bytes.find("<!DOCTYPE", 1) == std::string::npos && bytes.size() > 8 &&
             bytes.substr(bytes.size() - 8) == "</html>\n";
    }
    if (ok)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << file << " is no whole " << kind << " file (" << bytes.size() << " bytes)";
}

class EveryOutput : public ::testing::TestWithParam<Format> {
protected:
    const Format &format = GetParam();
    std::string name = std::string("out.") + format.extension;
};

} // namespace

TEST_P(EveryOutput, AStoppedWriteLeavesTheOldFileAsItWasAndNothingBesideIt)
{
    if (!format.filter)
        GTEST_SKIP() << "a report file is saved from pages already made: nothing stops it";
    testpages::TempDir dir;
    const fs::path file = dir.file(name);
    writePages(format, 1, file);
    const auto old = testpages::fileBytes(file);
    {
        const auto filter = format.filter(file);
        runInto(*filter, 2, false);
        runInto(*filter, 30, true); // "Afbryd" during the second name
        filter->Finish();
        EXPECT_FALSE(filter->Finished());
    }
    EXPECT_EQ(testpages::fileBytes(file), old);
    EXPECT_EQ(folderNames(dir.file("")), std::vector<std::string>{name});
}

TEST_P(EveryOutput, AFullDiskLeavesTheOldFileAsItWasAndSaysSoNamingTheFile)
{
    const SmallDisk disk(4 << 20);
    if (!disk.mounted())
        GTEST_SKIP() << SmallDisk::unmounted();
    const fs::path file = disk.file(name);
    writePages(format, 1, file);
    const auto old = testpages::fileBytes(file);
    disk.fill(4096);
    try {
        writePages(format, 40, file);
        ADD_FAILURE() << "the write went through on a full disk";
    } catch (const platform::EFileNotWritten &e) {
        EXPECT_EQ(std::string(e.what()), "cannot write " + file.string() + ": the disk is full");
        EXPECT_EQ(e.Danish(), "Disken er fuld: kunne ikke skrive " + name);
    } catch (const std::exception &e) {
        ADD_FAILURE() << "not said as a file not written: " << e.what();
    }
    EXPECT_EQ(testpages::fileBytes(file), old);
    EXPECT_EQ(folderNames(disk.file("")), (std::vector<std::string>{"filler", name}));
}

TEST_P(EveryOutput, TwoWritersAtOnceLeaveOneWholeResult)
{
    testpages::TempDir dir;
    const fs::path file = dir.file(name);
    // Both files are open and their pages drawn before either is finished; the two then
    // finish at the same moment.
    for (int attempt = 0; attempt < 10; ++attempt) {
        StartLine start(2);
        std::vector<std::thread> writers;
        if (!format.filter) {
            TBRPrinter many, one;
            testpages::recordRun(many, 30, 60, 120);
            testpages::recordRun(one, 25, 60, 120);
            for (TBRPrinter *pages : {&many, &one})
                writers.emplace_back([&start, pages, &file] {
                    start.arriveAndWait();
                    pages->SavePages(file);
                });
            for (std::thread &w : writers)
                w.join();
        } else {
            const auto many = format.filter(file), one = format.filter(file);
            runInto(*many, 30, false);
            runInto(*one, 25, false);
            for (TBRExportFilter *filter : {many.get(), one.get()})
                writers.emplace_back([&start, filter] {
                    start.arriveAndWait();
                    filter->Finish();
                });
            for (std::thread &w : writers)
                w.join();
            EXPECT_TRUE(many->Finished() && one->Finished());
        }
        EXPECT_TRUE(whole(format, file, {25, 30})) << "attempt " << attempt;
        EXPECT_EQ(folderNames(dir.file("")), std::vector<std::string>{name});
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryOutput, ::testing::ValuesIn(formats),
                         [](const auto &info) { return std::string(info.param.extension); });
