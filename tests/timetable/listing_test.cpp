// Listing teachers and classes, and the print list of one name.
#include "platform/cp1252.h"
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
    std::mt19937 rng(42);
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
