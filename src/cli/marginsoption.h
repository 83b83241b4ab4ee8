#pragma once
// The margins of the commands that lay out tile sheets: given with --margins, or kept for the
// printer the sheets go to.

#include "tilesheet/keptmargins.h"

#include <ostream>
#include <string>

namespace cli {

// "TOP,LEFT,BOTTOM,RIGHT" in millimetres, each clamped as the printer adjustment window clamps
// what is typed into it. False, with `problem` said, when the text is no such list or the
// margins leave the sheet no room for its tiles.
bool parseMargins(const std::string &text, tilesheet::Margins &margins, std::string &problem);

// The queue a print goes to: `queue`, or the standard printer when it is empty (UTF-8 in,
// Windows-1252 out, as the printer layer names queues).
std::string queueFor(const std::string &queue);

// The margins kept for `queue` in the user's settings (the printer adjustment window's). A
// settings file that cannot be read, and kept margins that cannot be used (read as the
// standard ones), are warned of on `err`.
tilesheet::Margins keptMarginsFor(const std::string &queue, std::ostream &err);

} // namespace cli
