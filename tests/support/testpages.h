#pragma once
// Runs of tile-sheet-like pages for the page output and preview tests.

#include "output/brprinter.h"

#include <filesystem>
#include <string>
#include <vector>

namespace testpages {

// The first text of page n.
std::string pageLabel(int n);

// Draws one tile-sheet-like page on `canvas`: `fills` white rectangles and `texts` short texts,
// the first of them pageLabel(n).
void drawPage(platform::Canvas &canvas, int n, int fills = 60, int texts = 300);

// StartJob, `pages` pages, FinishJob.
void recordRun(output::TBRPrinter &printer, int pages, int fills = 60, int texts = 300);

// Such a run saved as a saved report file.
void saveRun(const std::filesystem::path &file, int pages, int fills = 60, int texts = 300);

std::vector<unsigned char> fileBytes(const std::filesystem::path &path);
void writeFile(const std::filesystem::path &path, const std::vector<unsigned char> &bytes);

// A path in a fresh temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::filesystem::path file(const std::string &name) const { return dir_ / name; }

private:
    std::filesystem::path dir_;
};

} // namespace testpages
