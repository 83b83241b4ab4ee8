#pragma once
// tavleprint pages FILE.brp: the pages of a saved report file and their texts.

#include <ostream>
#include <string>

namespace cli {

// Opens the saved report file as the preview's "&Hent" does and writes the page count, then
// for every page a line "page N" and the page's texts in drawing order, each indented by two
// spaces (UTF-8). A file it cannot read: a message on `err` naming the file and the reason,
// result 1.
int runPagesCommand(const std::string &path, std::ostream &out, std::ostream &err);

} // namespace cli
