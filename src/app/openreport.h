#pragma once
// "tavleplanner FILE.brp": a saved report file opened from the command line (what the desktop
// runs for a double-clicked .brp file). Its pages are shown in the standard preview window as
// after the preview's "&Hent", with no main window; the program ends when the preview closes.

#include <filesystem>

namespace app {

// The preview's own text for a file that is not there.
inline constexpr const char *kFileDoesNotExist = "Filen findes ikke: %1"; // UTF-8, %1 the file

// Loads `file` into a page output on the printer the application's services lend (none: the
// pages can be looked at but not printed) and shows it modally in the standard preview window,
// titled and with the status text naming the file. Returns the program's exit status: 0 when
// the window has been closed; 1 when the file does not exist ("File does not exist") or cannot
// be read (the page store's error in the error display), without showing the preview.
int OpenReportFile(const std::filesystem::path &file);

} // namespace app
