#pragma once
// The files the user chose last in the open dialogs, kept in the user's settings (organisation
// and application "Tavleplanner"), so that a dialog starts in that folder with that file
// chosen. A setting that cannot be read or written is simply no remembered file.

#include <QString>

namespace platform {

enum class TRecentFile { ExportFile, ReportFile };

// The full path last kept for `kind`; empty when none is kept.
QString RecentFile(TRecentFile kind);
void SetRecentFile(TRecentFile kind, const QString &path);

} // namespace platform
