#pragma once
// The parts of the export file format that do not depend on the reader's state: fields
// separated by ';' without quoting, and the five column names of the header line.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace timetable {

// The five column names, in the order the header search takes them. "LÆRERBETEGNELSE" holds
// the byte 0xC6 for Æ.
inline constexpr std::array<std::string_view, 5> kColumnNames = {
    "L\xC6RERBETEGNELSE", "KLASSEBETEGNELSE", "FAGBETEGNELSE", "LOKALEBETEGNELSE",
    "PERIODEBETEGNELSE"};

enum Column { ColLaerer, ColKlasse, ColFag, ColLokale, ColPeriode };

// Field `n` (1-based) of `line`. 0 and negative numbers give the first field; a number past the
// last field gives the last field.
std::string_view GetField(std::string_view line, int n);

// The lines of an export file's content: a line ends at LF; every CR is dropped (a CR before
// LF is not part of the line, a lone CR neither ends the line nor belongs to it); a Ctrl-Z byte
// ends the content. Calls `onLine` for each line, empty ones included. The line view is only
// valid during the call.
template <typename OnLine> void forEachLine(std::string_view content, OnLine &&onLine);

// A header line is any line whose first character is '['.
inline bool isHeaderLine(std::string_view line) { return !line.empty() && line.front() == '['; }

// The column names missing from a header line, in the order above.
std::vector<std::string_view> missingColumns(std::string_view headerLine);

// ---------------------------------------------------------------------------------------------

inline constexpr char kCtrlZ = '\x1A';

// The largest export file read: no timetable's export comes near it, and a file that never
// ends (a device) or blocks (a FIFO) is no export at all.
inline constexpr std::uintmax_t kMaxExportBytes = 256u * 1024 * 1024;

template <typename OnLine> void forEachLine(std::string_view content, OnLine &&onLine)
{
    if (const auto eof = content.find(kCtrlZ); eof != std::string_view::npos)
        content = content.substr(0, eof);
    std::string withoutCr; // only used for lines that hold a CR
    while (!content.empty()) {
        const auto lf = content.find('\n');
        std::string_view line = content.substr(0, lf);
        content = lf == std::string_view::npos ? std::string_view{} : content.substr(lf + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1); // CR LF, the common case
        if (line.find('\r') != std::string_view::npos) {
            withoutCr.clear();
            for (const char c : line) {
                if (c != '\r')
                    withoutCr += c;
            }
            line = withoutCr;
        }
        onLine(line);
    }
}

} // namespace timetable
