// tavleprint list and tiles, through the same entry point as the program.
#include "support/tavleprintrun.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace {

class Tavleprint : public ::testing::Test {
protected:
    Tavleprint()
    {
        std::ofstream(path, std::ios::binary)
            << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
               "PERIODEBETEGNELSE\r\n"
               "\xD8J;2b;da;A1;Ma 1\r\n"
               "ab;1a;ma;A2;Ti 2\r\n"
               "AB;1a;fy;Fys;On 3\r\n";
    }
    QTemporaryDir dir;
    std::string path = dir.filePath("skema.csv").toStdString();
};

} // namespace

TEST_F(Tavleprint, ListPrintsTheNamesOfTheLastListingAsUtf8)
{
    const Outcome teachers = tavleprint({"list", "--teachers", path});
    EXPECT_EQ(teachers.code, 0);
    EXPECT_EQ(teachers.out, "AB\n\xC3\x98J\n");
    // The case variant "ab" is reported, not silently dropped.
    EXPECT_NE(teachers.err.find("1 brik kommer ikke med"), std::string::npos) << teachers.err;

    const Outcome classes = tavleprint({"list", "--teachers", "--classes", path});
    EXPECT_EQ(classes.out, "1a\n2b\n");
}

TEST_F(Tavleprint, TilesInFileOrderOrInTheOrderTheListingsLeave)
{
    EXPECT_EQ(tavleprint({"tiles", path}).out,
              "\xC3\x98J\t2b\tda\tA1\tMa 1\nab\t1a\tma\tA2\tTi 2\nAB\t1a\tfy\tFys\tOn 3\n");
    EXPECT_EQ(tavleprint({"tiles", "--classes", path}).out,
              "AB\t1a\tfy\tFys\tOn 3\nab\t1a\tma\tA2\tTi 2\n\xC3\x98J\t2b\tda\tA1\tMa 1\n");
}

TEST_F(Tavleprint, UsageAndFileErrors)
{
    EXPECT_EQ(tavleprint({}).code, 2);
    EXPECT_EQ(tavleprint({"list", path}).code, 2) << "list needs a mode";
    EXPECT_EQ(tavleprint({"list", "--teachers"}).code, 2);
    EXPECT_EQ(tavleprint({"list", "--teachers", path, path}).code, 2);
    EXPECT_EQ(tavleprint({"list", "--pupils", path}).code, 2);
    EXPECT_EQ(tavleprint({"frobnicate"}).code, 2);
    EXPECT_EQ(tavleprint({"pages"}).code, 2);
    EXPECT_EQ(tavleprint({"pages", "a.brp", "b.brp"}).code, 2);
    const Outcome help = tavleprint({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("usage: tavleprint list"), std::string::npos);

    const std::string missing = dir.filePath("none.csv").toStdString();
    const Outcome failed = tavleprint({"list", "--classes", missing});
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(failed.err, "tavleprint: " + missing + ": File not found\n");
    EXPECT_EQ(failed.out, "");
}

TEST_F(Tavleprint, AFileThatNeverEndsOrBlocksIsRefusedWithAPlainMessage)
{
    const std::string fifo = dir.filePath("fifo.csv").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string &path : {std::string("/dev/zero"), fifo}) {
        for (const std::vector<std::string> &command :
             {std::vector<std::string>{"list", "--teachers", path}, {"pages", path}}) {
            const Outcome refused = tavleprint(command);
            EXPECT_EQ(refused.code, 1) << command[0];
            EXPECT_EQ(refused.err, "tavleprint: " + path + ": not a regular file\n") << command[0];
            EXPECT_EQ(refused.out, "") << command[0];
        }
    }
}

TEST_F(Tavleprint, VersionIsTheProjectsReleaseAndNeedsNoWindowSystem)
{
    std::ifstream cmake(TAVLE_SOURCE_DIR "/CMakeLists.txt");
    const std::string text{std::istreambuf_iterator<char>(cmake), {}};
    std::smatch release;
    ASSERT_TRUE(
        std::regex_search(text, release, std::regex(R"(project\(Tavleplanner VERSION ([0-9.]+))")));

    const Outcome version = tavleprint({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "tavleprint " + release[1].str() + "\n");
    EXPECT_EQ(version.err, "");
    EXPECT_FALSE(cli::needsQtApplication("--version"));
    EXPECT_NE(tavleprint({"--help"}).out.find("tavleprint --version"), std::string::npos);
}
