// Every input the fuzz targets start from or once failed on (fuzz/corpus, fuzz/regressions)
// is replayed here: a seed loads, any input ends in the engine's own error at worst.
#include "fuzzbodies.h"
#include "support/testpages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

const std::filesystem::path fuzzDir = std::filesystem::path(TAVLE_SOURCE_DIR) / "fuzz";

std::vector<std::filesystem::path> inputs(const std::string &target)
{
    std::vector<std::filesystem::path> found;
    for (const auto &folder : {fuzzDir / "corpus" / target, fuzzDir / "regressions" / target})
        if (std::filesystem::is_directory(folder))
            for (const auto &entry : std::filesystem::directory_iterator(folder))
                found.push_back(entry.path());
    return found;
}

// Reads an input the way the fuzz target does; "" when it reads.
std::string readReportFile(const std::vector<unsigned char> &bytes)
{
    return fuzzbodies::readReportFile(bytes.data(), bytes.size());
}

std::string readMetafile(const std::vector<unsigned char> &bytes)
{
    return fuzzbodies::readMetafile(bytes.data(), bytes.size());
}

} // namespace

TEST(FuzzInputs, SavedReportFilesLoadOrFailWithTheEnginesError)
{
    const auto files = inputs("brpfile");
    ASSERT_GE(files.size(), 4u) << "the committed seeds";
    for (const auto &file : files) {
        const std::string message = readReportFile(testpages::fileBytes(file));
        if (file.parent_path().parent_path().filename() == "corpus") {
            EXPECT_EQ(message, "") << file;
        }
    }
}

TEST(FuzzInputs, MetafilesLoadOrFailWithTheReadersError)
{
    const auto files = inputs("emf");
    ASSERT_GE(files.size(), 2u) << "the committed seeds";
    for (const auto &file : files) {
        const std::string message = readMetafile(testpages::fileBytes(file));
        if (file.parent_path().parent_path().filename() == "corpus") {
            EXPECT_EQ(message, "") << file;
        }
    }
}

TEST(FuzzInputs, ExportFilesLoadOrFailWithTheReadersError)
{
    // The seeds that are no export file on purpose, with the reason they are refused.
    const std::map<std::string, std::string> refused = {
        {"empty.csv", "the file holds no lessons"},
        {"header-only.csv", "the file holds no lessons"},
    };
    const auto files = inputs("exportfile");
    ASSERT_GE(files.size(), 9u) << "the committed seeds";
    for (const auto &file : files) {
        const auto bytes = testpages::fileBytes(file);
        const std::string message = fuzzbodies::readExportFile(bytes.data(), bytes.size());
        if (file.parent_path().parent_path().filename() == "corpus") {
            const auto it = refused.find(file.filename().string());
            EXPECT_EQ(message, it == refused.end() ? "" : it->second) << file;
        }
    }
}
