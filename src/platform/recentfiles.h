#pragma once
// The program's settings file, and the files the user chose last in the open dialogs, kept there
// so that a dialog starts in that folder with that file chosen. A setting that cannot be read
// or written is simply no remembered file.

#include <QString>

namespace platform {

// The user's settings file (INI; organisation and application "Tavleplanner"), where the
// program keeps what lasts between runs: these files and the margins kept per printer.
QString UserSettingsFile();

// EarlierFile: the export the board was printed from ("Tidligere fil…").
enum class TRecentFile { ExportFile, ReportFile, EarlierFile };

// The full path last kept for `kind`; empty when none is kept.
QString RecentFile(TRecentFile kind);
void SetRecentFile(TRecentFile kind, const QString &path);

} // namespace platform
