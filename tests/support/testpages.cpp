#include "testpages.h"

#include "platform/screen.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>

namespace testpages {

namespace {
// Every page output test records against a standard 96 pixels per inch screen, whatever the
// machine's screen says.
class StandardScreen : public ::testing::Environment {
public:
    void SetUp() override { screen_ = std::make_unique<platform::ScreenResolutionOverride>(96); }
    void TearDown() override { screen_.reset(); }

private:
    std::unique_ptr<platform::ScreenResolutionOverride> screen_;
};
[[maybe_unused]] const auto *const standardScreen =
    ::testing::AddGlobalTestEnvironment(new StandardScreen);
} // namespace

std::string pageLabel(int n) { return "side " + std::to_string(n); }

void drawPage(platform::Canvas &canvas, int n, int fills, int texts)
{
    // Ten columns by six rows of tiles, as on a tile sheet.
    constexpr int columns = 10, tileWidth = 76, tileHeight = 180;
    canvas.setBrush({platform::clWhite, platform::TBrushStyle::bsSolid});
    for (int i = 0; i < fills; ++i) {
        const int x = 20 + (i % columns) * tileWidth, y = 20 + (i / columns % 6) * tileHeight;
        canvas.fillRect({x, y, x + tileWidth - 2, y + tileHeight - 2});
    }
    platform::TFont font;
    font.Size = 9;
    for (int i = 0; i < texts; ++i) {
        font.Style = (i % 5 == 0) ? unsigned{platform::fsBold} : 0u;
        canvas.setFont(font);
        const int tile = i / 5;
        const int x = 24 + (tile % columns) * tileWidth,
                  y = 24 + (tile / columns % 6) * tileHeight + (i % 5) * 30;
        canvas.textOut(x, y, i == 0 ? pageLabel(n) : "Fag" + std::to_string(i % 37));
    }
}

void recordRun(output::TBRPrinter &printer, int pages, int fills, int texts)
{
    printer.StartJob();
    for (int n = 1; n <= pages; ++n) {
        printer.NewPage();
        drawPage(*printer.PageCanvas(), n, fills, texts);
    }
    printer.FinishJob();
}

void saveRun(const std::filesystem::path &file, int pages, int fills, int texts)
{
    output::TBRPrinter printer;
    recordRun(printer, pages, fills, texts);
    printer.SavePages(file);
}

std::vector<unsigned char> fileBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path &path, const std::vector<unsigned char> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

TempDir::TempDir()
{
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() / ("tavle-test-" + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

} // namespace testpages
