// Listing teachers and classes, and the print list of one name.
#include "platform/cp1252.h"
#include "support/testrandom.h"
#include "timetable/tilediff.h"
#include "timetable/tilesort.h"
#include "timetable/timetable.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

using timetable::SelectionMode;
using timetable::Timetable;

namespace {

class Listing : public ::testing::Test {
protected:
    void load(const std::vector<std::string> &lines)
    {
        std::string content = "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
                              "PERIODEBETEGNELSE\r\n";
        for (const auto &line : lines)
            content += line + "\r\n";
        const std::string path = dir.filePath("skema.csv").toStdString();
        std::ofstream(path, std::ios::binary) << content;
        table.LoadBrikker(path);
        messages.clear();
    }
    std::vector<std::string> subjects(const std::vector<const timetable::TBrik *> &tiles) const
    {
        std::vector<std::string> out;
        for (const auto *t : tiles)
            out.push_back(t->Fag);
        return out;
    }

    QTemporaryDir dir;
    std::vector<std::string> messages;
    Timetable table{[this](const std::string &m) { messages.push_back(m); }};
};

} // namespace

TEST_F(Listing, NamesInByteOrderOncePerSpellingIgnoringCase)
{
    load({"ab;1a;da;A1;p", "\xC5H;2b;ma;A1;p", "AB;1a;fy;A1;p", "Cd;1a;en;A1;p", "\xE5h;1a;hi;A1;p",
          "cd;1a;bi;A1;p", ";1a;x;A1;p", "10;1a;x;A1;p"});
    const auto teachers = table.Listing(SelectionMode::Teachers);
    // digits, capitals, small letters, then Å before å; case variants fold into the first.
    EXPECT_EQ(teachers.names, (std::vector<std::string>{"10", "AB", "Cd", "\xC5H"}));
    EXPECT_EQ(teachers.emptyKeyTiles, 1);
    EXPECT_EQ(teachers.caseVariantTiles, 3);
    EXPECT_EQ(table.selectionMode(), SelectionMode::Teachers);

    // Choosing the listed spelling prints only that exact spelling.
    table.BuildPrintList("AB");
    EXPECT_EQ(subjects(table.printList()), std::vector<std::string>{"fy"});
    table.BuildPrintList("nobody");
    EXPECT_TRUE(table.printList().empty());

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              platform::cp1252(u8"Bemærk: 4 brikker kommer ikke med på nogen udskrift i "
                               u8"lærervisning: 1 uden lærerbetegnelse og 3, hvor navnet kun "
                               u8"adskiller sig fra listens ved store og små bogstaver "
                               u8"(ab på listen som AB, cd på listen som Cd, åh på listen som ÅH)."
                               u8"\r\n\r\n"));

    const auto classes = table.Listing(SelectionMode::Classes);
    EXPECT_EQ(classes.names, (std::vector<std::string>{"1a", "2b"}));
    EXPECT_EQ(table.selectionMode(), SelectionMode::Classes);
    EXPECT_EQ(messages.size(), 1u) << "no unreachable tiles, no message";
}

TEST_F(Listing, PrintListFollowsTheSortedTileList)
{
    load(
        {"AB;2b;da;B2;p1", "AB;1a;ma;A1;p2", "CD;1a;fy;A1;p3", "AB;1a;en;A0;p4", "AB;1a;hi;A1;p5"});
    table.Listing(SelectionMode::Teachers);
    table.BuildPrintList("AB");
    // by class, then room; of the two equal keys (AB 1a A1) the procedure puts the later-read
    // "hi" after "ma", because the pass for position 1 carried "ma" past it
    EXPECT_EQ(subjects(table.printList()), (std::vector<std::string>{"en", "ma", "hi", "da"}));

    table.Listing(SelectionMode::Classes);
    table.BuildPrintList("1a");
    std::vector<std::string> expected;
    for (const auto &tile : table.tiles()) {
        if (tile->Klasse == "1a")
            expected.push_back(tile->Fag);
    }
    EXPECT_EQ(subjects(table.printList()), expected) << "in tile-list order";
    EXPECT_EQ(expected.size(), 4u);
}

TEST_F(Listing, EmptyTileListGivesEmptyList)
{
    // Before any file is loaded (a file without lessons is refused).
    EXPECT_TRUE(table.Listing(SelectionMode::Classes).names.empty());
    table.BuildPrintList("");
    EXPECT_TRUE(table.printList().empty());
}

TEST_F(Listing, SortTilesMatchesTheProcedureOnLoadedFiles)
{
    // Through the tile list itself: teacher sort after class sort, keys with case variants.
    testsupport::Random rng(42);
    const std::vector<std::string> teachers = {"AB", "ab", "\xD8J", "", "KL"};
    const std::vector<std::string> classes = {"1a", "1A", "2b"};
    const std::vector<std::string> rooms = {"A1", "a1", ""};
    std::vector<std::string> lines;
    for (int i = 0; i < 300; ++i) {
        auto pick = [&](const std::vector<std::string> &v) {
            return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)];
        };
        lines.push_back(pick(teachers) + ";" + pick(classes) + ";" + std::to_string(i) + ";" +
                        pick(rooms) + ";p");
    }
    load(lines);
    std::vector<timetable::TBrik> reference;
    for (const auto &t : table.tiles())
        reference.push_back(*t);
    const auto key = [](bool teacherFirst) {
        return [teacherFirst](const timetable::TBrik &a, const timetable::TBrik &b) {
            const auto &a1 = teacherFirst ? a.Laerer : a.Klasse,
                       &b1 = teacherFirst ? b.Laerer : b.Klasse;
            const auto &a2 = teacherFirst ? a.Klasse : a.Laerer,
                       &b2 = teacherFirst ? b.Klasse : b.Laerer;
            if (auto c = a1.compare(b1) <=> 0; c != 0)
                return c;
            if (auto c = a2.compare(b2) <=> 0; c != 0)
                return c;
            return a.Lokale.compare(b.Lokale) <=> 0;
        };
    };
    timetable::exchangeSortInPlace(reference, key(false));
    timetable::exchangeSortInPlace(reference, key(true));
    table.SortTiles(SelectionMode::Classes);
    table.SortTiles(SelectionMode::Teachers);
    ASSERT_EQ(table.tiles().size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i)
        ASSERT_EQ(table.tiles()[i]->Fag, reference[i].Fag) << "position " << i;
}

namespace {

const std::string kHeader =
    "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;PERIODEBETEGNELSE";

std::unique_ptr<Timetable> tableOf(const std::vector<std::string> &lines,
                                   const std::string &header = kHeader)
{
    auto table = std::make_unique<Timetable>();
    std::string content = header + "\r\n";
    for (const auto &line : lines)
        content += line + "\r\n";
    table->LoadBrikkerFromBytes(content);
    return table;
}

std::string lineOf(const timetable::TBrik &t)
{
    return t.Laerer + ";" + t.Klasse + ";" + t.Fag + ";" + t.Lokale + ";" + t.Periode;
}

// "NAME -line +line | NAME ..." in the comparison's order.
std::string rendered(const timetable::TileDiff &diff)
{
    std::string out;
    for (const auto &name : diff.names) {
        out += (out.empty() ? "" : " | ") + name.name;
        for (const auto *t : name.removed)
            out += " -" + lineOf(*t);
        for (const auto *t : name.added)
            out += " +" + lineOf(*t);
    }
    return out;
}

struct DiffCase {
    const char *what;
    std::vector<std::string> earlier, current;
    SelectionMode mode;
    std::string expected;
    std::size_t added, removed; // whole files
    std::string currentHeader = kHeader;
};

} // namespace

TEST(CompareTiles, CountsEachLineAsOftenAsItStandsAndGroupsByListedName)
{
    const std::vector<DiffCase> cases = {
        {"identical files",
         {"AB;1a;da;A1;p1", "AB;1a;da;A1;p1", "CD;2b;ma;B1;p2"},
         {"CD;2b;ma;B1;p2", "AB;1a;da;A1;p1", "AB;1a;da;A1;p1"},
         SelectionMode::Teachers,
         "",
         0,
         0},
        {"a duplicated line counts as often as it stands",
         {"AB;1a;da;A1;p1", "AB;1a;da;A1;p1", "AB;1a;fy;A1;p2", "AB;1a;fy;A1;p2"},
         {"AB;1a;da;A1;p1", "AB;1a;da;A1;p1", "AB;1a;da;A1;p1", "AB;1a;fy;A1;p2"},
         SelectionMode::Teachers,
         "AB -AB;1a;fy;A1;p2 +AB;1a;da;A1;p1",
         1,
         1},
        {"a lesson moved to another teacher; AB, now gone, comes last",
         {"AB;1a;da;A1;p1", "CD;1a;ma;A1;p2"},
         {"CD;1a;da;A1;p1", "CD;1a;ma;A1;p2"},
         SelectionMode::Teachers,
         "CD +CD;1a;da;A1;p1 | AB -AB;1a;da;A1;p1",
         1,
         1},
        {"the same move in class mode is one name's change",
         {"AB;1a;da;A1;p1", "CD;1a;ma;A1;p2"},
         {"CD;1a;da;A1;p1", "CD;1a;ma;A1;p2"},
         SelectionMode::Classes,
         "1a -AB;1a;da;A1;p1 +CD;1a;da;A1;p1",
         1,
         1},
        {"columns in another order and extra columns compare by their names",
         {"AB;1a;da;A1;p1", "CD;2b;ma;B1;p2"},
         {"x;p1;A1;da;1a;AB", "y;p2;B2;ma;2b;CD"},
         SelectionMode::Teachers,
         "CD -CD;2b;ma;B1;p2 +CD;2b;ma;B2;p2",
         1,
         1,
         "[ID;PERIODEBETEGNELSE;LOKALEBETEGNELSE;FAGBETEGNELSE;KLASSEBETEGNELSE;"
         "L\xC6RERBETEGNELSE"},
        {"fields compare byte for byte, blanks and case included",
         {"AB;1a;da;A1;p1"},
         {"AB;1a;da ;A1;p1", "AB;1a;Da;A1;p1"},
         SelectionMode::Teachers,
         "AB -AB;1a;da;A1;p1 +AB;1a;da ;A1;p1 +AB;1a;Da;A1;p1",
         2,
         1},
        {"case variants belong to the listed name, the newer file's spelling leads",
         {"ab;1a;da;A1;p1", "EF;1a;fy;A1;p1"},
         {"AB;1a;da;A1;p2", "ab;1a;en;A1;p3", "EF;1a;fy;A1;p1"},
         SelectionMode::Teachers,
         "AB -ab;1a;da;A1;p1 +AB;1a;da;A1;p2 +ab;1a;en;A1;p3",
         2,
         1},
        {"an empty key belongs to no name but counts",
         {";1a;da;A1;p1", "AB;1a;fy;A1;p1"},
         {";1a;da;A1;p2", "AB;1a;fy;A1;p1"},
         SelectionMode::Teachers,
         "",
         1,
         1},
        {"names only in the earlier file follow, in its list order",
         {"ZZ;1a;da;A1;p1", "QQ;1a;da;A1;p2", "MM;1a;fy;A1;p3"},
         {"MM;1a;fy;A1;p4", "AA;1a;fy;A1;p5"},
         SelectionMode::Teachers,
         "AA +AA;1a;fy;A1;p5 | MM -MM;1a;fy;A1;p3 +MM;1a;fy;A1;p4 | QQ -QQ;1a;da;A1;p2 | "
         "ZZ -ZZ;1a;da;A1;p1",
         2,
         3},
    };
    for (const DiffCase &c : cases) {
        SCOPED_TRACE(c.what);
        const auto earlier = tableOf(c.earlier);
        const auto current = tableOf(c.current, c.currentHeader);
        const timetable::TileDiff diff = timetable::CompareTiles(*earlier, *current, c.mode);
        EXPECT_EQ(rendered(diff), c.expected);
        EXPECT_EQ(diff.empty(), c.expected.empty());
        const timetable::ChangeCounts counts = timetable::CountChanges(*earlier, *current);
        EXPECT_EQ(counts.added, c.added);
        EXPECT_EQ(counts.removed, c.removed);
        // The other way round, what was added is removed.
        const timetable::ChangeCounts back = timetable::CountChanges(*current, *earlier);
        EXPECT_EQ(back.added, c.removed);
        EXPECT_EQ(back.removed, c.added);
    }
}

TEST(CompareTiles, TilesOfANameInTheListingsOrderAndTheTablesUntouched)
{
    // Equal keys: the sort itself decides their order (keys B1 B2 A give A B2 B1).
    const auto earlier = tableOf({"AB;2b;x;B2;p0"});
    const auto current =
        tableOf({"AB;2b;da;B2;p1", "AB;1a;ma;A1;p2", "AB;1a;en;A0;p4", "AB;1a;hi;A1;p5"});
    const auto fileOrder = [](const Timetable &t) {
        std::vector<std::string> lines;
        for (const auto &tile : t.tiles())
            lines.push_back(lineOf(*tile));
        return lines;
    };
    const auto before = fileOrder(*current);
    const timetable::TileDiff diff =
        timetable::CompareTiles(*earlier, *current, SelectionMode::Teachers);
    EXPECT_EQ(fileOrder(*current), before) << "the compared table keeps its order";

    Timetable listed;
    std::string content = kHeader + "\r\n";
    for (const auto &line : before)
        content += line + "\r\n";
    listed.LoadBrikkerFromBytes(content);
    listed.Listing(SelectionMode::Teachers);
    listed.BuildPrintList("AB");
    ASSERT_EQ(diff.names.size(), 1u);
    std::vector<std::string> added, printed;
    for (const auto *t : diff.names[0].added)
        added.push_back(lineOf(*t));
    for (const auto *t : listed.printList())
        printed.push_back(lineOf(*t));
    EXPECT_EQ(added, printed);
    EXPECT_EQ(diff.addedCount(), 4u);
    EXPECT_EQ(diff.removedCount(), 1u);
    ASSERT_NE(diff.find("AB"), nullptr);
    EXPECT_EQ(diff.find("ab"), nullptr) << "the listed spelling only";

    // The new tiles' print list: each name that has any, where it begins.
    const auto two = tableOf({"AB;1a;da;A1;p1", "CD;1a;da;A1;p1", "EF;1a;da;A1;p1"});
    const auto next = tableOf({"AB;1a;da;A1;p2", "AB;1a;da;A1;p3", "EF;1a;da;A1;p2"});
    const auto changes = timetable::CompareTiles(*two, *next, SelectionMode::Teachers);
    std::vector<std::size_t> starts{99};
    const auto list = timetable::NewTilesPrintList(changes, {"EF", "CD", "AB", "XX"}, starts);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(lineOf(*list[0]), "EF;1a;da;A1;p2");
    EXPECT_EQ(starts, (std::vector<std::size_t>{0, 1})) << "CD has only removals";
}
