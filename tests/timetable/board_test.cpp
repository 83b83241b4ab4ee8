// The board's record: what a print puts there, what forgetting takes down, the board on a past
// date, the comparison with a loaded export, and that no kill, damaged file or second writer
// costs a print.
#include "platform/cp1252.h"
#include "platform/sqlite.h"
#include "timetable/board.h"
#include "timetable/timetable.h"

#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using timetable::SelectionMode;
using timetable::TBoard;
using timetable::Timetable;

namespace {

std::unique_ptr<Timetable> table(const std::vector<std::string> &lines)
{
    std::string content = "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
                          "PERIODEBETEGNELSE\r\n";
    for (const auto &line : lines)
        content += line + "\r\n";
    auto t = std::make_unique<Timetable>();
    t->LoadBrikkerFromBytes(content);
    return t;
}

// August's board and October's: JK's English moved to another room, HD gets a lesson, and
// "\xD8V" (a name spelled with a Windows-1252 letter) keeps hers.
const std::vector<std::string> august = {"JK;0a;eng;A1;Ma 1", "JK;0a;eng;A1;Ma 1",
                                         "JK;1a;da;A2;Ti 2", "HD;0a;sl\xF8jd;S;Ma 3",
                                         "\xD8V;1a;mat;B1;On 1"};
const std::vector<std::string> october = {"JK;0a;eng;A1;Ma 1",     "JK;0a;eng;B7;Ma 1",
                                          "JK;1a;da;A2;Ti 2",      "HD;0a;sl\xF8jd;S;Ma 3",
                                          "HD;1a;sl\xF8jd;S;Fr 4", "\xD8V;1a;mat;B1;On 1"};

std::vector<std::string> lines(const std::vector<timetable::TBrik> &tiles)
{
    std::vector<std::string> out;
    for (const auto &t : tiles)
        out.push_back(t.Laerer + ";" + t.Klasse + ";" + t.Fag + ";" + t.Lokale + ";" + t.Periode);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

std::vector<std::string> names(const std::vector<timetable::BoardName> &board)
{
    std::vector<std::string> out;
    for (const auto &n : board)
        out.push_back(n.name);
    return out;
}

timetable::PrintSource source(const std::string &file, std::int64_t at)
{
    return {"/skoler/" + file, "hash-" + file, "tavle-pdf", at};
}

#ifndef _WIN32
// A child process that does `work` and exits; its exit status (or the signal that ended it).
template <typename Work> int inChild(Work work)
{
    const pid_t pid = fork();
    if (pid == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}
#endif

class Board : public ::testing::Test {
protected:
    std::filesystem::path file() const { return dir.filePath("data/tavle.sqlite").toStdString(); }
    QTemporaryDir dir;
    std::vector<std::string> messages;
};

constexpr std::int64_t day = 24 * 3600 * 1000LL;
constexpr std::int64_t aug12 = 1786492800000LL; // 12.08.2026 00:00 UTC

TEST_F(Board, a_print_records_each_names_tiles_file_time_and_printer_and_nothing_else)
{
    const auto aug = table(august);
    TBoard board(file());
    board.RecordPrint(SelectionMode::Teachers, *aug, {"JK", "\xD8V"}, source("aug.csv", aug12));

    const auto recorded = board.Names(SelectionMode::Teachers);
    ASSERT_EQ(names(recorded), (std::vector<std::string>{"JK", "\xD8V"}));
    EXPECT_EQ(recorded[0].tileCount, 3u);
    EXPECT_EQ(recorded[0].source.filePath, "/skoler/aug.csv");
    EXPECT_EQ(recorded[0].source.fileHash, "hash-aug.csv");
    EXPECT_EQ(recorded[0].source.printer, "tavle-pdf");
    EXPECT_EQ(recorded[0].source.printedAt, aug12);
    EXPECT_EQ(lines(board.Tiles(SelectionMode::Teachers, "jk")),
              sorted({"JK;0a;eng;A1;Ma 1", "JK;0a;eng;A1;Ma 1", "JK;1a;da;A2;Ti 2"}));
    EXPECT_EQ(lines(board.Tiles(SelectionMode::Teachers, "\xF8v")),
              (std::vector<std::string>{"\xD8V;1a;mat;B1;On 1"}));
    // HD was not printed, and the classes' board is another board.
    EXPECT_TRUE(board.Tiles(SelectionMode::Teachers, "HD").empty());
    EXPECT_TRUE(board.Names(SelectionMode::Classes).empty());
}

TEST_F(Board,
       the_comparison_with_the_board_is_the_one_with_the_file_printed_and_unprinted_names_are_new)
{
    const auto aug = table(august);
    const auto oct = table(october);
    {
        TBoard board(file());
        board.RecordPrint(SelectionMode::Teachers, *aug, {"JK", "HD", "\xD8V"},
                          source("aug.csv", aug12));
    }
    TBoard reopened(file());
    const auto fromBoard = timetable::CompareWithBoard(reopened, *oct, SelectionMode::Teachers);
    const auto fromFile = timetable::CompareTiles(*aug, *oct, SelectionMode::Teachers);
    ASSERT_EQ(fromBoard.diff.names.size(), fromFile.names.size());
    for (std::size_t i = 0; i < fromFile.names.size(); ++i) {
        EXPECT_EQ(fromBoard.diff.names[i].name, fromFile.names[i].name);
        EXPECT_EQ(fromBoard.diff.names[i].added.size(), fromFile.names[i].added.size());
        EXPECT_EQ(fromBoard.diff.names[i].removed.size(), fromFile.names[i].removed.size());
    }
    EXPECT_EQ(fromBoard.counts.added, 2u);
    EXPECT_EQ(fromBoard.counts.removed, 1u);

    // Only JK on the classes' board: the classes 0a and 1a are wholly new but for JK's tiles.
    reopened.RecordPrint(SelectionMode::Classes, *aug, {"0a"}, source("aug.csv", aug12));
    const auto classes = timetable::CompareWithBoard(reopened, *aug, SelectionMode::Classes);
    ASSERT_EQ(classes.diff.names.size(), 1u);
    EXPECT_EQ(classes.diff.names[0].name, "1a");
    EXPECT_EQ(classes.diff.names[0].added.size(), 2u);
    EXPECT_TRUE(classes.diff.names[0].removed.empty());
}

TEST_F(Board,
       the_board_on_a_past_date_is_what_the_prints_up_to_it_left_and_forgetting_keeps_history)
{
    const auto aug = table(august);
    const auto oct = table(october);
    TBoard board(file());
    board.RecordPrint(SelectionMode::Teachers, *aug, {"JK", "HD"}, source("aug.csv", aug12));
    board.RecordPrint(SelectionMode::Teachers, *oct, {"JK"}, source("oct.csv", aug12 + 50 * day));
    board.Forget(SelectionMode::Teachers, "hd", aug12 + 60 * day);

    EXPECT_EQ(lines(board.Tiles(SelectionMode::Teachers, "JK", aug12 + day)),
              sorted({"JK;0a;eng;A1;Ma 1", "JK;0a;eng;A1;Ma 1", "JK;1a;da;A2;Ti 2"}));
    EXPECT_EQ(lines(board.Tiles(SelectionMode::Teachers, "JK")),
              sorted({"JK;0a;eng;A1;Ma 1", "JK;0a;eng;B7;Ma 1", "JK;1a;da;A2;Ti 2"}));
    EXPECT_EQ(names(board.Names(SelectionMode::Teachers, aug12 + 55 * day)),
              (std::vector<std::string>{"HD", "JK"}));
    EXPECT_EQ(board.Names(SelectionMode::Teachers, aug12 + 55 * day)[1].source.filePath,
              "/skoler/oct.csv");
    EXPECT_TRUE(board.Names(SelectionMode::Teachers, aug12 - day).empty());
    EXPECT_EQ(names(board.Names(SelectionMode::Teachers)), (std::vector<std::string>{"JK"}));
    EXPECT_TRUE(board.Tiles(SelectionMode::Teachers, "HD").empty());

    board.ForgetBoard(SelectionMode::Teachers, aug12 + 70 * day);
    EXPECT_TRUE(board.Names(SelectionMode::Teachers).empty());
    EXPECT_TRUE(board.BoardTable(SelectionMode::Teachers)->tiles().empty());
    EXPECT_EQ(board.Tiles(SelectionMode::Teachers, "JK", aug12 + 65 * day).size(), 3u);
    // Printed again after forgetting: the whole set again, not a change on the forgotten one.
    board.RecordPrint(SelectionMode::Teachers, *aug, {"HD"}, source("aug.csv", aug12 + 80 * day));
    EXPECT_EQ(lines(board.Tiles(SelectionMode::Teachers, "HD", aug12 + 81 * day)),
              (std::vector<std::string>{"HD;0a;sl\xF8jd;S;Ma 3"}));
}

TEST_F(Board, a_process_killed_at_any_step_of_a_print_leaves_the_board_before_or_wholly_after_it)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs fork() and SIGKILL, which Windows has not";
#else
    const auto aug = table(august);
    const auto oct = table(october);
    {
        TBoard board(file());
        board.RecordPrint(SelectionMode::Teachers, *aug, {"JK", "HD", "\xD8V"},
                          source("aug.csv", aug12));
    }
    const std::size_t boardBefore = 5, boardAfter = 6;
    // Steps: 1 after the transaction began, 2-4 after each name, 0 just before the commit; -1
    // kills right after the recording returned.
    for (const int killAt : {1, 2, 3, 4, 0, -1}) {
        SCOPED_TRACE(killAt);
        const int status = inChild([&] {
            TBoard board(file());
            board.setStepHook([killAt](int step) {
                if (step == killAt)
                    raise(SIGKILL);
            });
            board.RecordPrint(SelectionMode::Teachers, *oct, {"JK", "HD", "\xD8V"},
                              source("oct.csv", aug12 + day));
            if (killAt == -1)
                raise(SIGKILL);
        });
        ASSERT_TRUE(WIFSIGNALED(status));
        TBoard board(file());
        const auto recorded = board.Names(SelectionMode::Teachers);
        const std::size_t tiles = board.BoardTable(SelectionMode::Teachers)->tiles().size();
        if (killAt == -1) {
            EXPECT_EQ(tiles, boardAfter);
            for (const auto &name : recorded)
                EXPECT_EQ(name.source.filePath, "/skoler/oct.csv");
        } else {
            EXPECT_EQ(tiles, boardBefore);
            for (const auto &name : recorded)
                EXPECT_EQ(name.source.filePath, "/skoler/aug.csv");
        }
        EXPECT_EQ(recorded.size(), 3u);
    }
#endif
}

TEST_F(Board, a_damaged_or_foreign_file_is_set_aside_once_and_a_new_board_starts)
{
    std::filesystem::create_directories(file().parent_path());
    const auto damaged = file().string() + ".damaged";
    const auto sink = [this](const std::string &m) { messages.push_back(m); };
    std::ofstream(file(), std::ios::binary) << std::string(8192, 'x');
    {
        TBoard board(file(), sink);
        EXPECT_TRUE(board.Names(SelectionMode::Teachers).empty());
        board.RecordPrint(SelectionMode::Teachers, *table(august), {"JK"}, source("a.csv", 1));
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("lagt til side"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(damaged), 8192u);
    {
        TBoard board(file(), sink); // the new board is kept, and nobody is told again
        EXPECT_EQ(names(board.Names(SelectionMode::Teachers)), (std::vector<std::string>{"JK"}));
    }
    EXPECT_EQ(messages.size(), 1u);

    // Another program's database: left as it was, beside a new board.
    std::filesystem::remove(file());
    std::filesystem::remove(file().string() + "-wal");
    {
        platform::SqliteDatabase other(file(), 100);
        other.exec("CREATE TABLE kunder (navn TEXT); INSERT INTO kunder VALUES ('x')");
    }
    {
        TBoard board(file(), sink);
        EXPECT_EQ(messages.size(), 2u);
        EXPECT_TRUE(board.Names(SelectionMode::Teachers).empty());
        platform::SqliteDatabase aside(damaged, 100);
        EXPECT_EQ(aside.scalar("SELECT count(*) FROM kunder"), 1);
        board.RecordPrint(SelectionMode::Teachers, *table(october), {"JK", "HD"},
                          source("o.csv", 1));
    } // the last connection to close writes the log into the file

    // A record whose pages past the first are overwritten: it opens, and its damage shows when
    // the board is read.
    {
        std::fstream bytes(file(), std::ios::in | std::ios::out | std::ios::binary);
        bytes.seekp(4096);
        bytes << std::string(std::filesystem::file_size(file()) - 4096, 'x');
    }
    TBoard damagedLater(file(), sink);
    EXPECT_TRUE(damagedLater.Names(SelectionMode::Teachers).empty());
    EXPECT_EQ(messages.size(), 3u);
    damagedLater.RecordPrint(SelectionMode::Teachers, *table(october), {"HD"}, source("o.csv", 2));
    EXPECT_EQ(names(damagedLater.Names(SelectionMode::Teachers)), (std::vector<std::string>{"HD"}));
}

TEST_F(Board, two_programs_recording_at_once_both_land)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs fork(), which Windows has not";
#else
    const auto aug = table(august);
    TBoard(file()).RecordPrint(SelectionMode::Classes, *aug, {"0a"}, source("a.csv", 1));
    constexpr int prints = 40;
    const auto writer = [&](const std::string &name) {
        return [&, name] {
            TBoard board(file());
            for (int i = 0; i < prints; ++i)
                board.RecordPrint(SelectionMode::Teachers, *aug, {name}, source("a.csv", 2 + i));
        };
    };
    const pid_t first = fork();
    if (first == 0) {
        writer("JK")();
        _exit(0);
    }
    const int second = inChild(writer("HD"));
    int status = 0;
    waitpid(first, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(WIFEXITED(second) && WEXITSTATUS(second) == 0);

    TBoard board(file());
    EXPECT_EQ(names(board.Names(SelectionMode::Teachers)), (std::vector<std::string>{"HD", "JK"}));
    platform::SqliteDatabase db(file(), 100);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM print WHERE mode = 0"), 2 * prints);
#endif
}

} // namespace
