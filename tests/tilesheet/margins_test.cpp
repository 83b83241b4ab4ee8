// The margins kept per printer in the settings, the rule that margins leave room for the tiles,
// and the calibration rule that corrects them.
#include "support/sheetfixtures.h"
#include "support/systemfiles.h"
#include "testlocale.h"
#include "tilesheet/calibration.h"
#include "tilesheet/keptmargins.h"
#include "tilesheet/rapform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using tilesheet::KeptMargins;
using tilesheet::kStandardMargins;
using tilesheet::Margins;

using Problem = tilesheet::KeptMarginsProblem;
using tilesheet::MarginSide;

class Kept : public ::testing::Test {
protected:
    // The settings file holding `bytes`.
    void holding(const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
    }
    QByteArray bytesOf(const QString &path)
    {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("Tavleplanner/Tavleplanner.ini"));
};

} // namespace

TEST(KeptMarginsFile, TheUsersSettingsLieInTheTestsOwnFolder)
{
#ifdef _WIN32
    GTEST_SKIP()
        << "Windows keeps a user's settings in AppData, which XDG_CONFIG_HOME does not move";
#endif
    EXPECT_TRUE(KeptMargins().file().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME") + '/'))
        << KeptMargins().file().toStdString();
    EXPECT_TRUE(KeptMargins().file().endsWith(QStringLiteral("/Tavleplanner/Tavleplanner.ini")));
}

TEST_F(Kept, EachPrinterKeepsItsOwnMarginsAndANewOneStartsAtTheStandard)
{
    EXPECT_EQ(KeptMargins(file).read("tavle-pdf"), kStandardMargins);
    ASSERT_TRUE(KeptMargins(file).write("tavle-pdf", {10.5, 11.0, -2.5, 0.0}));
    ASSERT_TRUE(KeptMargins(file).write("kontor", {7.0, 12.0, 9.0, 20.0}));
    // Read by another object, as the next start reads them.
    EXPECT_EQ(KeptMargins(file).read("tavle-pdf"), (Margins{10.5, 11.0, -2.5, 0.0}));
    EXPECT_EQ(KeptMargins(file).read("kontor"), (Margins{7.0, 12.0, 9.0, 20.0}));
    EXPECT_EQ(KeptMargins(file).read("ny"), kStandardMargins);
}

TEST_F(Kept, ADamagedFileGivesTheStandardForWhatCannotBeRead)
{
    QDir().mkpath(QFileInfo(file).path());
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\xff\xfegarbage[[[\n[margins]\ntavle-pdf\\top=abc\ntavle-pdf\\left=9.5\n"
                  "tavle-pdf\\bottom=1e999\ntavle-pdf\\right=900\n\x01\x02=\n");
    damaged.close();
    // 900 is no margin the fields could hold: the standard, not 500 mm.
    EXPECT_EQ(KeptMargins(file).read("tavle-pdf"), (Margins{8.5, 9.5, 9.0, 20.0}));
    EXPECT_FALSE(KeptMargins(file).readsCleanly());
    // Written over again, it holds what was kept; the damaged file is kept aside.
    EXPECT_TRUE(KeptMargins(file).write("tavle-pdf", {1.0, 2.0, 3.0, 4.0}));
    EXPECT_EQ(KeptMargins(file).read("tavle-pdf"), (Margins{1.0, 2.0, 3.0, 4.0}));
    EXPECT_TRUE(QFile::exists(file + QStringLiteral(".damaged")));
}

TEST_F(Kept, AnUnwritableFileSaysSoAndReadsAsTheStandard)
{
    // A folder that is a plain file cannot hold the settings, whoever runs the test.
    QFile blocker(dir.filePath(QStringLiteral("Tavleplanner")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(KeptMargins(file).write("tavle-pdf", {10.5, 11.0, 9.0, 20.0}));
    EXPECT_EQ(KeptMargins(file).read("tavle-pdf"), kStandardMargins);
    EXPECT_TRUE(KeptMargins(file).write("", {10.5, 11.0, 9.0, 20.0})) << "no printer, no file";
}

TEST_F(Kept, AValueOutOfRangeOrMarginsWithoutRoomReadAsTheStandardAndSaySo)
{
    struct Row {
        const char *kept; // the printer's group
        Margins read;
        std::vector<std::pair<Problem::Kind, MarginSide>> problems;
    };
    const Row rows[] = {
        {"top=10.5\nleft=11\nbottom=9\nright=20", {10.5, 11.0, 9.0, 20.0}, {}},
        {"top=1e308\nleft=11",
         {8.5, 11.0, 9.0, 20.0},
         {{Problem::Kind::Unusable, MarginSide::Top}}},
        {"right=600\nbottom=-500.1",
         kStandardMargins,
         {{Problem::Kind::Unusable, MarginSide::Bottom},
          {Problem::Kind::Unusable, MarginSide::Right}}},
        {"left=abc", kStandardMargins, {{Problem::Kind::Unusable, MarginSide::Left}}},
        {"top=-500\nbottom=500", {-500.0, 12.0, 500.0, 20.0}, {}},
        // Each in range, together without room: all four standard.
        {"top=148\nbottom=148", kStandardMargins, {{Problem::Kind::NoRoom, MarginSide::Top}}},
        {"left=500\nright=500", kStandardMargins, {{Problem::Kind::NoRoom, MarginSide::Top}}},
    };
    // Read alike on a Danish desktop, whose C library reads "10,5".
    const DanishLocale danish;
    for (const Row &row : rows) {
        holding(QByteArray("[margins]\n") +
                QByteArray(row.kept).replace("\n", "\ntavle-pdf\\").prepend("tavle-pdf\\") + "\n");
        std::vector<Problem> problems;
        EXPECT_EQ(KeptMargins(file).read("tavle-pdf", &problems), row.read) << row.kept;
        std::vector<std::pair<Problem::Kind, MarginSide>> found;
        for (const Problem &problem : problems)
            found.emplace_back(problem.kind, problem.side);
        EXPECT_EQ(found, row.problems) << row.kept;
        EXPECT_TRUE(KeptMargins(file).readsCleanly()) << "a value out of range is still read";
    }
    std::vector<Problem> problems;
    holding("[margins]\ntavle-pdf\\top=1e308\n");
    KeptMargins(file).read("tavle-pdf", &problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].kept, QStringLiteral("1e308")) << "told as the file holds it";
}

TEST_F(Kept, AFileThatDidNotReadCleanlyIsKeptAsDamagedBeforeItIsWrittenOver)
{
    struct Row {
        const char *what;
        QByteArray bytes;
        bool clean;
        Margins read; // tavle-pdf's before the write, where Qt's reading is sure
    };
    const QByteArray section = "[margins]\ntavle-pdf\\top=10.5\nkontor\\left=7\n";
    const Row rows[] = {
        {"as written", section, true, {10.5, 12.0, 9.0, 20.0}},
        {"with a comment and blank lines", "; kept\n\n" + section, true, {10.5, 12.0, 9.0, 20.0}},
        {"a byte-order mark, which Qt refuses", "\xEF\xBB\xBF" + section, false, {}},
        {"a comment of the kind Qt refuses", "# kept\n" + section, false, {}},
        {"junk before a valid section",
         "lorem ipsum dolor\n" + section,
         false,
         {10.5, 12.0, 9.0, 20.0}},
        {"binary",
         QByteArray("\x7F"
                    "ELF\x02\x01\0\0\n",
                    9) +
             section,
         false,
         {}},
        {"not UTF-8", "; \xE6\xF8\xE5\n" + section, false, {}},
        {"a section never closed", "[margins\n" + section, false, {}},
    };
    for (const Row &row : rows) {
        QFile::remove(file + QStringLiteral(".damaged"));
        holding(row.bytes);
        EXPECT_EQ(KeptMargins(file).readsCleanly(), row.clean) << row.what;
        if (row.clean || std::string(row.what) == "junk before a valid section")
            EXPECT_EQ(KeptMargins(file).read("tavle-pdf"), row.read) << row.what;
        ASSERT_TRUE(KeptMargins(file).write("tavle-pdf", {1.0, 2.0, 3.0, 4.0})) << row.what;
        EXPECT_EQ(QFile::exists(file + QStringLiteral(".damaged")), !row.clean) << row.what;
        if (!row.clean)
            EXPECT_EQ(bytesOf(file + QStringLiteral(".damaged")), row.bytes)
                << row.what << ": byte for byte";
        EXPECT_TRUE(KeptMargins(file).readsCleanly()) << row.what << ": written afresh";
        EXPECT_EQ(KeptMargins(file).read("tavle-pdf"), (Margins{1.0, 2.0, 3.0, 4.0})) << row.what;
    }
    // What Qt could read of a damaged file stays with the new values.
    holding("lorem ipsum dolor\n" + section);
    ASSERT_TRUE(KeptMargins(file).write("tavle-pdf", {1.0, 2.0, 3.0, 4.0}));
    EXPECT_EQ(KeptMargins(file).read("kontor").left, 7.0);

    // A file that cannot be read at all: a folder in its place, and (where that can be had) a
    // file without read permission.
    const QString folder = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_FALSE(KeptMargins(folder).readsCleanly());
    EXPECT_EQ(KeptMargins(folder).read("tavle-pdf"), kStandardMargins);
    EXPECT_FALSE(KeptMargins(folder).write("tavle-pdf", {1.0, 2.0, 3.0, 4.0}));
    if (testsupport::readPermissionCanBeTakenAway()) {
        holding(section);
        QFile(file).setPermissions(QFileDevice::WriteOwner);
        EXPECT_FALSE(KeptMargins(file).readsCleanly());
        EXPECT_EQ(KeptMargins(file).read("tavle-pdf"), kStandardMargins);
        EXPECT_FALSE(KeptMargins(file).write("tavle-pdf", {1.0, 2.0, 3.0, 4.0}));
        QFile(file).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(bytesOf(file), section) << "left as it was";
    }
}

TEST(MarginsRoom, TheSheetMustHoldTenColumnsAndSixRowsOfTilesThreeQuartersTheirSize)
{
    struct Row {
        Margins margins;
        std::optional<MarginSide> cramped; // the first margin of the pair named
    };
    const Row rows[] = {
        {kStandardMargins, std::nullopt},
        {{0.0, 0.0, 0.0, 0.0}, std::nullopt},
        {{-500.0, -500.0, -500.0, -500.0}, std::nullopt},
        {{43.6, 12.0, 43.6, 20.0}, std::nullopt}, // 87.2 of at most 87.3 mm
        {{43.7, 12.0, 43.7, 20.0}, MarginSide::Top},
        {{148.0, 12.0, 148.0, 20.0}, MarginSide::Top},
        {{500.0, 500.0, 500.0, 500.0}, MarginSide::Top},
        {{8.5, 38.2, 9.0, 38.2}, std::nullopt}, // 76.4 of at most 76.5 mm
        {{8.5, 38.3, 9.0, 38.3}, MarginSide::Left},
        {{8.5, 450.0, 9.0, -400.0}, std::nullopt},
    };
    for (const Row &row : rows) {
        const auto cramped = tilesheet::TooLittleRoom(row.margins);
        EXPECT_EQ(cramped ? std::optional(cramped->first) : std::nullopt, row.cramped)
            << row.margins.top << "," << row.margins.left << "," << row.margins.bottom << ","
            << row.margins.right;
        if (cramped) {
            EXPECT_EQ(cramped->second,
                      cramped->first == MarginSide::Top ? MarginSide::Bottom : MarginSide::Right);
            EXPECT_NEAR(cramped->most, cramped->first == MarginSide::Top ? 87.3 : 76.5, 0.05);
        }
    }
    // At the most the rule allows, each of the 60 copies of a page's 20 tiles prints on the one
    // page, and the lowest text of a tile still lies within it.
    for (const Margins &most : {Margins{43.6, 12.0, 43.6, 20.0}, Margins{8.5, 38.2, 9.0, 38.2}}) {
        tilesheet::TRapFormInputs inputs;
        tilesheet::SetMargins(inputs, most);
        sheettest::Sheet sheet(20, inputs);
        ASSERT_EQ(sheet.run(), 1) << most.top << "," << most.left;
        int periods = 0;
        for (const sheettest::PlacedText &text : sheet.texts(1))
            periods += text.Text.starts_with('P');
        EXPECT_EQ(periods, 60);
        const report::TBRLabel &lowest = sheet.form->LblPeriode1;
        EXPECT_LE(lowest.Size.Native(report::TBRPrintableSize::TopIndex) +
                      lowest.Size.Native(report::TBRPrintableSize::HeightIndex),
                  sheet.form->BrikDetail.Size.Native(report::TBRBandSize::HeightIndex));
    }
}

TEST(Calibration, TheSheetAsksForTheStandardLayoutsLines)
{
    // Top and left at the margins; the bottom line under six tiles of 46.533 mm placed at whole
    // tenths, the right line after ten columns of 40 screen pixels at zoom 60.
    const tilesheet::OuterLines targets = tilesheet::CalibrationTargets();
    EXPECT_DOUBLE_EQ(targets.top, 8.5);
    EXPECT_DOUBLE_EQ(targets.left, 12.0);
    EXPECT_DOUBLE_EQ(targets.bottom, 9.4);
    EXPECT_DOUBLE_EQ(targets.right, 22.0);
    // A larger margin moves each line away from its own edge.
    const tilesheet::OuterLines wider = tilesheet::OuterCuttingLines({10.5, 14.0, 11.0, 20.0});
    EXPECT_NEAR(wider.top, 10.5, 1e-9);
    EXPECT_NEAR(wider.left, 14.0, 1e-9);
    // Five tiles advance by whole tenths of a millimetre each: up to 0.25 mm either way.
    const double lower = wider.bottom - tilesheet::OuterCuttingLines(kStandardMargins).bottom;
    EXPECT_GT(lower, 1.5);
    EXPECT_LT(lower, 2.5);
    EXPECT_EQ(tilesheet::millimetreText(9.36), "9,4");
}

TEST(Calibration, EachMeasuredLineMovesItsMarginByWhatItMissedTheTarget)
{
    const tilesheet::OuterLines targets{8.5, 12.0, 9.4, 22.0};
    struct Row {
        Margins current;
        tilesheet::MeasuredLines measured;
        Margins corrected;
    };
    const Row rows[] = {
        // A printer that shifts the page 2.0 mm down and 1.5 mm right.
        {kStandardMargins, {10.5, 13.5, 7.4, 20.5}, {6.5, 10.5, 11.0, 21.5}},
        // Measured again on the corrected sheet, all on target: nothing changes (no doubling).
        {{6.5, 10.5, 11.0, 21.5}, {8.5, 12.0, 9.4, 22.0}, {6.5, 10.5, 11.0, 21.5}},
        // Empty fields leave their margins; the filled one moves.
        {{6.5, 10.5, 11.0, 21.5},
         {std::nullopt, std::nullopt, 9.0, std::nullopt},
         {6.5, 10.5, 11.4, 21.5}},
        // Past the fields' range: clamped as the fields clamp.
        {{499.0, 12.0, 9.0, 20.0},
         {0.0, std::nullopt, std::nullopt, std::nullopt},
         {500.0, 12.0, 9.0, 20.0}},
    };
    for (const Row &row : rows) {
        const Margins got = tilesheet::CorrectedMargins(row.current, row.measured, targets);
        EXPECT_NEAR(got.top, row.corrected.top, 1e-9);
        EXPECT_NEAR(got.left, row.corrected.left, 1e-9);
        EXPECT_NEAR(got.bottom, row.corrected.bottom, 1e-9);
        EXPECT_NEAR(got.right, row.corrected.right, 1e-9);
    }
}
