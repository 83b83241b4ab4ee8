// Saved report files come from anywhere: every damaged one must give an EBRError that says
// what is wrong, never a crash, a hang or a huge allocation.
#include "output/brerror.h"
#include "output/brprinter.h"
#include "platform/emf/emfformat.h"
#include "platform/emf/emfreader.h"
#include "support/testpages.h"

#include <gtest/gtest.h>

#include <functional>

using namespace output;

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t le32(const Bytes &b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void put32(Bytes &b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (bool compressed : {false, true}) {
            TBRPrinter printer;
            printer.Compression = compressed;
            testpages::recordRun(printer, 3, 4, 8);
            const auto path = dir.file(compressed ? "packed.brp" : "plain.brp");
            printer.SavePages(path);
            (compressed ? packed : plain) = testpages::fileBytes(path);
        }
        record2 = le32(plain, 128 + 4);
        record3 = le32(plain, record2 + 4);
    }

    // Loads `bytes` and returns the error's message, or "" when it loads and reads.
    std::string load(const Bytes &bytes)
    {
        const auto path = dir.file("damaged.brp");
        testpages::writeFile(path, bytes);
        TBRPrinter printer;
        try {
            printer.LoadPages(path);
            for (int n = 1; n <= printer.PageNumber(); ++n)
                printer.GetPage(n);
            for (int n = printer.PageNumber(); n >= 1; --n)
                printer.GetPage(n);
        } catch (const EBRError &e) {
            EXPECT_EQ(printer.OutputState(), TBRPrinter::TOutputState::Idle);
            return e.what();
        }
        return "";
    }

    testpages::TempDir dir;
    Bytes plain, packed;
    std::size_t record2 = 0, record3 = 0;
};

} // namespace

TEST_F(HostileFiles, TheUndamagedFilesLoad)
{
    EXPECT_EQ(load(plain), "");
    EXPECT_EQ(load(packed), "");
}

TEST_F(HostileFiles, DamagedRecordChainsAreRefused)
{
    struct Case {
        const char *name;
        std::function<void(Bytes &)> damage;
        const char *says;
    };
    const std::vector<Case> cases = {
        {"record end pointing at its own start", [&](Bytes &b) { put32(b, 128 + 4, 128); },
         "record end"},
        {"record end pointing back into the header", [&](Bytes &b) { put32(b, record2 + 4, 50); },
         "record end"},
        {"record end beyond the file",
         [&](Bytes &b) { put32(b, record2 + 4, static_cast<std::uint32_t>(b.size() + 100)); },
         "record end"},
        {"record end negative", [&](Bytes &b) { put32(b, record2 + 4, 0xFFFFFFF0); }, "record end"},
        {"page numbers out of order", [&](Bytes &b) { put32(b, record2, 3); }, "follows page"},
        {"page number zero", [&](Bytes &b) { put32(b, record3, 0); }, "page number"},
        {"last record start pointing at the first", [&](Bytes &b) { put32(b, b.size() - 4, 128); },
         "does not end with its start"},
        {"trailing start outside the file", [&](Bytes &b) { put32(b, b.size() - 4, 0x7FFFFFFF); },
         "does not end with its start"},
        {"more pages counted than stored", [&](Bytes &b) { put32(b, 8, 4); }, "outside the file"},
        {"negative page count", [&](Bytes &b) { put32(b, 8, 0xFFFFFFFF); }, "negative page count"},
        {"absurd page count", [&](Bytes &b) { put32(b, 8, 2000000000); }, "does not fit"},
        {"metafile longer than its record",
         [&](Bytes &b) {
             put32(b, 136 + platform::emf::headerBytesOffset,
                   static_cast<std::uint32_t>(record2 - 136 + 4));
         },
         "page 1"},
        {"metafile shorter than its record",
         [&](Bytes &b) {
             put32(b, 136 + platform::emf::headerBytesOffset,
                   static_cast<std::uint32_t>(record2 - 136 - 4 - 20));
         },
         "page 1"},
        {"metafile record sizes that do not add up", [&](Bytes &b) { put32(b, 136 + 108 + 4, 16); },
         "page 1"},
        {"file cut in the last record", [&](Bytes &b) { b.resize(b.size() - 30); }, ""},
    };
    for (const Case &c : cases) {
        Bytes b = plain;
        c.damage(b);
        const std::string message = load(b);
        EXPECT_NE(message, "") << c.name;
        EXPECT_NE(message.find(c.says), std::string::npos) << c.name << ": " << message;
    }
}

TEST_F(HostileFiles, ACompressedLengthLargerThanTheRecordAllowsIsRefused)
{
    Bytes b = packed;
    put32(b, 136, 0x7FFFFFFF);
    EXPECT_NE(load(b).find("claims"), std::string::npos);
    b = packed;
    put32(b, 136, le32(packed, 136) + 1); // one byte more than the bits hold
    EXPECT_NE(load(b), "");
}

TEST_F(HostileFiles, AFileTooShortForTheHeaderTestIsAStreamReadError)
{
    Bytes header(plain.begin(), plain.begin() + 128);
    put32(header, 8, 0);
    EXPECT_EQ(load(header), "Stream read error") << "a store with no pages";
    EXPECT_EQ(load(Bytes(176, 0)), "Stream read error");
    EXPECT_EQ(load(Bytes{}), "Stream read error");
}

TEST_F(HostileFiles, AMissingFileIsAFileError)
{
    TBRPrinter printer;
    EXPECT_THROW(printer.LoadPages(dir.file("missing.brp")), std::runtime_error);
    EXPECT_EQ(printer.OutputState(), TBRPrinter::TOutputState::Idle);
}

TEST_F(HostileFiles, EveryTruncationOfAFileFailsCleanly)
{
    for (std::size_t size = 0; size < plain.size(); size += 7) {
        const std::string message =
            load(Bytes(plain.begin(), plain.begin() + static_cast<long>(size)));
        EXPECT_NE(message, "") << size;
    }
}
