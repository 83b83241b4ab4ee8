// The margins kept per printer in the settings, and the calibration rule that corrects them.
#include "tilesheet/calibration.h"
#include "tilesheet/keptmargins.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using tilesheet::KeptMargins;
using tilesheet::kStandardMargins;
using tilesheet::Margins;

class Kept : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("Tavleplanner/Tavleplanner.ini"));
};

} // namespace

TEST(KeptMarginsFile, TheUsersSettingsLieInTheTestsOwnFolder)
{
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
    EXPECT_EQ(KeptMargins(file).read("tavle-pdf"), (Margins{8.5, 9.5, 9.0, 500.0}));
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
