// Reading export files into the tile list.
#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "support/systemfiles.h"
#include "support/testrandom.h"
#include "timetable/exportfile.h"
#include "timetable/timetable.h"

#include <QTemporaryDir>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

using timetable::GetField;
using timetable::Timetable;

namespace {

class ExportFile : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string &bytes, const char *name = "skema.csv")
    {
        const std::filesystem::path path = dir.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::vector<std::string> fields(std::size_t i) const
    {
        const auto &t = *table.tiles().at(i);
        return {t.Laerer, t.Klasse, t.Fag, t.Lokale, t.Periode};
    }

    QTemporaryDir dir;
    std::vector<std::string> messages;
    Timetable table{[this](const std::string &m) { messages.push_back(m); }};
};

const std::string reading = platform::cp1252(u8"Læser brikker...\r\n\r\n");
const std::string kHeader = "[PERIODEBETEGNELSE];[UGE];[FAGBETEGNELSE];[KLASSEBETEGNELSE];["
                            "L\xC6RERBETEGNELSE];[LOKALEBETEGNELSE]";

} // namespace

TEST(GetField, FollowsTheFieldRules)
{
    EXPECT_EQ(GetField("a;b;c", 1), "a");
    EXPECT_EQ(GetField("a;b;c", 0), "a");
    EXPECT_EQ(GetField("a;b;c", -3), "a");
    EXPECT_EQ(GetField("a;b;c", 2), "b");
    EXPECT_EQ(GetField("a;b;c", 3), "c");
    EXPECT_EQ(GetField("a;b;c", 4), "c") << "past the last field gives the last field";
    EXPECT_EQ(GetField("a;b;c", 1000000000), "c");
    EXPECT_EQ(GetField("a;;c", 2), "");
    EXPECT_EQ(GetField("a;b;", 3), "");
    EXPECT_EQ(GetField("\" x;y \";z", 1), "\" x") << "no quoting: every ';' separates";
    EXPECT_EQ(GetField("", 5), "");
}

TEST_F(ExportFile, ReadsTheFiveColumnsWhereverTheHeaderPutsThem)
{
    table.LoadBrikker(
        write(kHeader + "\r\nMa 1;12;da;7b;AB;A12\r\n\r\nTi 2;12; ma ;\"8a\";\xD8J;Fys\n"));
    ASSERT_EQ(table.tiles().size(), 2u);
    EXPECT_EQ(fields(0), (std::vector<std::string>{"AB", "7b", "da", "A12", "Ma 1"}));
    EXPECT_EQ(fields(1), (std::vector<std::string>{"\xD8J", "\"8a\"", " ma ", "Fys", "Ti 2"}))
        << "texts are kept as they stand";
    EXPECT_EQ(table.columnPositions(), (std::array<int, 5>{5, 4, 3, 6, 1}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], platform::cp1252(u8"Læser brikker...\r\n\r\n"));
}

TEST_F(ExportFile, LineEndsCtrlZAndEmptyLines)
{
    // LF and CR LF alike, a lone CR is dropped, a line of spaces is a tile, Ctrl-Z ends the file.
    table.LoadBrikker(
        write(kHeader + "\nx;;f;k;l;r\r\ny;;f;k\r;l\rl;r\n   \n\n\r\nz;;f;k;l;r\x1Aw;;f;k;l;r\n"));
    ASSERT_EQ(table.tiles().size(), 4u);
    EXPECT_EQ(fields(0)[0], "l");
    EXPECT_EQ(fields(1)[0], "ll") << "lone CRs vanish, the line goes on";
    EXPECT_EQ(fields(1)[1], "k");
    EXPECT_EQ(fields(2)[4], "   ");
    EXPECT_EQ(fields(3)[4], "z");
}

TEST_F(ExportFile, HeaderLinesNeverYieldTilesAndSetPositionsFromTheirPlace)
{
    // Names found as substrings; a longer name containing one of them decides by its first
    // occurrence; a second header changes the lines after it; headers in other case are data.
    table.LoadBrikker(write(
        "a;b;c;d;e\n"
        "[x];[XL\xC6RERBETEGNELSE];KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
        "PERIODEBETEGNELSE\n"
        "1;2;3;4;5;6\n"
        "[KLASSEBETEGNELSE;L\xC6RERBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;PERIODEBETEGNELSE\n"
        "1;2;3;4;5;6\n"
        "[not a header but starts with a bracket;1;2\n"
        "[l\xe6rerbetegnelse\n"));
    ASSERT_EQ(table.tiles().size(), 3u);
    EXPECT_EQ(fields(0), (std::vector<std::string>(5, "a")))
        << "before any header all positions are 0";
    EXPECT_EQ(fields(1), (std::vector<std::string>{"2", "3", "4", "5", "6"}));
    EXPECT_EQ(fields(2), (std::vector<std::string>{"2", "1", "3", "4", "5"}));
}

TEST_F(ExportFile, MissingNamesKeepEarlierPositionsAcrossLoadsAndAreReported)
{
    table.LoadBrikker(write(kHeader + "\nMa 1;12;da;7b;AB;A12\n"));
    messages.clear();
    // The second file's header lacks KLASSEBETEGNELSE: teacher keeps its new position, class and
    // every later name keep the positions of the first file.
    table.LoadBrikker(write("[L\xC6RERBETEGNELSE;X;FAGBETEGNELSE\nAB;x;y;z;w;v\n", "b.csv"));
    EXPECT_EQ(table.columnPositions(), (std::array<int, 5>{1, 4, 3, 6, 1}));
    ASSERT_EQ(table.tiles().size(), 1u) << "the second load replaces the tiles of the first";
    EXPECT_EQ(fields(0), (std::vector<std::string>{"AB", "z", "y", "v", "AB"}));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(
        messages[1],
        platform::cp1252(u8"Advarsel: Overskriften i linje 1 mangler kolonnerne "
                         u8"KLASSEBETEGNELSE, LOKALEBETEGNELSE, PERIODEBETEGNELSE. "
                         u8"Brikkernes felter kan derfor komme fra forkerte kolonner.\r\n\r\n"));
}

// Files that are no export: refused with one message before the tiles loaded earlier go, the
// message area and the column positions left as they were.
TEST_F(ExportFile, AFileThatIsNoExportIsRefusedAndTheTilesLoadedBeforeStay)
{
    using timetable::ENotAnExport;
    using Kind = ENotAnExport::Kind;
    std::string noise;
    for (int i = 0; i < 100000; ++i)
        noise += static_cast<char>((i * 7919) & 0xFF);
    const struct {
        const char *what;
        std::string bytes;
        Kind kind;
    } refused[] = {
        {"empty", "", Kind::NoLessons},
        {"blank lines", "\n\r\n\n", Kind::NoLessons},
        {"a header alone", kHeader + "\r\n", Kind::NoLessons},
        {"lines without a header", "1;1;da;2a;AB;A1\r\n2;1;da;2a;AB;A1\r\n", Kind::NoHeader},
        {"a program",
         std::string("\x7F"
                     "ELF\x02\x01\x01;\x00\x00;x\n\x89PNG;;;\n",
                     20),
         Kind::NotText},
        {"binary noise", noise, Kind::NotText},
        {"a NUL in a field", kHeader + std::string("\r\na\0b;c;d\r\n", 11), Kind::NotText},
        {"a NUL in a column nobody reads",
         kHeader + std::string("\r\nMa 1;1\0;da;7b;AB;A12\r\n", 24), Kind::NotText},
        {"a form feed in a tile's room", kHeader + "\r\nMa 1;12;da;7b;AB;A\f12\r\n", Kind::NotText},
    };
    table.LoadBrikker(write(kHeader + "\r\nMa 1;12;da;7b;AB;A12\r\n"));
    const auto columns = table.columnPositions();
    const std::size_t said = messages.size();
    for (const auto &file : refused) {
        try {
            table.LoadBrikker(write(file.bytes));
            ADD_FAILURE() << file.what << ": loaded";
        } catch (const ENotAnExport &e) {
            EXPECT_EQ(e.kind(), file.kind) << file.what;
        }
        ASSERT_EQ(table.tiles().size(), 1u) << file.what << ": the tile loaded before stays";
        EXPECT_EQ(table.tiles()[0]->Laerer, "AB") << file.what;
        EXPECT_EQ(messages.size(), said) << file.what << ": the message area is as it was";
        EXPECT_EQ(table.columnPositions(), columns) << file.what;
    }
    EXPECT_STREQ(ENotAnExport(Kind::NoLessons).what(),
                 platform::cp1252(u8"Filen indeholder ingen lektioner.").c_str());
    EXPECT_STREQ(
        ENotAnExport(Kind::NoHeader).what(),
        platform::cp1252(u8"Filen har ingen overskriftslinje og er ikke en eksportfil.").c_str());
    EXPECT_STREQ(
        ENotAnExport(Kind::NotText).what(),
        platform::cp1252(u8"Filen er ikke en tekstfil og kan ikke være en eksportfil.").c_str());

    // TAB is text, and so is a final Ctrl-Z; a control byte in the week column, which no tile
    // reads, is left alone. A proper export loads with the reading message alone.
    messages.clear();
    table.LoadBrikker(write(kHeader + "\r\n1;1\f;da\t1;2a;AB;A1\r\n\x1A"));
    EXPECT_EQ(table.tiles().size(), 1u);
    EXPECT_EQ(messages, std::vector<std::string>{reading});
}

TEST_F(ExportFile, Utf8FilesAreConvertedAndSaySo)
{
    // A byte-order mark, or valid UTF-8 with high bytes: converted, with one line about it.
    table.LoadBrikker(write("\xEF\xBB\xBF"
                            "[L\xC3\x86RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;"
                            "LOKALEBETEGNELSE;PERIODEBETEGNELSE\n"
                            "\xC3\x98J;7b;da;\xE2\x82\xAC;\xE2\x98\x83\n"));
    ASSERT_EQ(table.tiles().size(), 1u);
    EXPECT_EQ(fields(0), (std::vector<std::string>{"\xD8J", "7b", "da", "\x80", "?"}));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1],
              platform::cp1252(u8"Filen er gemt som UTF-8 og er omsat til Windows-1252; 1 tegn "
                               u8"uden en Windows-1252-form er blevet til '?'.\r\n\r\n"));

    // Windows-1252 bytes that are not valid UTF-8 are read byte for byte, without a word.
    messages.clear();
    table.LoadBrikker(write(kHeader + "\nMa 1;12;da;7b;\xC6"
                                      "B;A12\n"));
    EXPECT_EQ(fields(0)[0], "\xC6"
                            "B");
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(ExportFile, UnreadableFilesRaiseTheRunTimeTexts)
{
    try {
        table.LoadBrikker(dir.filePath("missing.csv").toStdString());
        FAIL() << "no error raised";
    } catch (const platform::EInOutError &e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_FALSE(table.hasTileList()) << "nothing was loaded, nothing given up";
    EXPECT_TRUE(messages.empty()) << "nothing read, nothing said";

    try {
        table.LoadBrikker(dir.path().toStdString()); // a folder cannot be read as a file
        FAIL() << "no error raised";
    } catch (const platform::EInOutError &e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_STREQ(platform::EInOutError(1784).what(), "I/O error 1784");
    // A read error is no access error, though both are number 5 somewhere.
    EXPECT_STREQ(platform::EInOutError::fromErrno(EIO).what(), "I/O error 5");
    EXPECT_STREQ(platform::EInOutError::fromErrno(EACCES).what(), "File access denied");
}

TEST_F(ExportFile, AVeryLongLineLoadsWithoutHarm)
{
    const std::string longLine(50 * 1024 * 1024, 'x');
    table.LoadBrikker(write(kHeader + "\n" + longLine));
    ASSERT_EQ(table.tiles().size(), 1u);
    EXPECT_EQ(table.tiles()[0]->Laerer.size(), longLine.size());
}

TEST(MakeBrik, TakesEachColumnAsGetFieldDoes)
{
    // Random header layouts (names in any fields, some missing so that earlier positions stay)
    // against random data lines with fewer or more fields than the header.
    testsupport::Random rng(99);
    Timetable table;
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> header(std::uniform_int_distribution<int>(5, 9)(rng), "[X]");
        std::vector<int> places(header.size());
        std::iota(places.begin(), places.end(), 0);
        std::shuffle(places.begin(), places.end(), rng);
        const std::size_t present = std::uniform_int_distribution<std::size_t>(0, 5)(rng);
        for (std::size_t c = 0; c < present; ++c)
            header[places[c]] = "[" + std::string(timetable::kColumnNames[c]) + "]";
        std::string headerLine;
        for (const auto &h : header)
            headerLine += (headerLine.empty() ? "" : ";") + h;
        table.ParseHeader(headerLine);

        std::string line;
        const int fieldCount = std::uniform_int_distribution<int>(1, 12)(rng);
        for (int f = 0; f < fieldCount; ++f)
            line += (f ? ";" : "") + std::string(f % 3 == 0 ? "" : "f" + std::to_string(f));
        const auto tile = table.MakeBrik(line);
        const auto &pos = table.columnPositions();
        ASSERT_EQ(tile.Laerer, GetField(line, pos[0])) << line;
        ASSERT_EQ(tile.Klasse, GetField(line, pos[1])) << line;
        ASSERT_EQ(tile.Fag, GetField(line, pos[2])) << line;
        ASSERT_EQ(tile.Lokale, GetField(line, pos[3])) << line;
        ASSERT_EQ(tile.Periode, GetField(line, pos[4])) << line;
    }
}

TEST_F(ExportFile, DevicesFifosAndHugeFilesAreRefusedBeforeTheLoadedTilesGo)
{
    table.LoadBrikker(write(kHeader + "\r\n1;1;da;2a;AB;A1\r\n"));
    ASSERT_EQ(table.tiles().size(), 1u);
    messages.clear();

    // No export comes near 256 MB; a sparse file of one byte more takes no disk space.
    const std::filesystem::path huge = write("", "huge.csv");
    std::filesystem::resize_file(huge, timetable::kMaxExportBytes + 1);
    std::vector<std::filesystem::path> refused{testsupport::kDevice, huge};
    if (testsupport::kHasFifos) {
        const std::filesystem::path fifo = dir.filePath("fifo.csv").toStdString();
        ASSERT_TRUE(testsupport::makeFifo(fifo));
        refused.push_back(fifo);
    }

    for (const std::filesystem::path &path : refused) {
        try {
            table.LoadBrikker(path); // neither grows without end nor blocks
            FAIL() << path << ": no error raised";
        } catch (const platform::ERefusedFile &e) {
            EXPECT_STREQ(e.what(), "File access denied") << path;
            EXPECT_EQ(e.reason(), path == huge ? "larger than 256 MB" : "not a regular file");
        }
        EXPECT_EQ(table.tiles().size(), 1u) << path << ": the tiles loaded before stay";
        EXPECT_TRUE(messages.empty()) << path << ": nothing was read";
    }
}
