#include "platform/recentfiles.h"

#include "platform/settingsfile.h"

#include <QSettings>

namespace platform {

namespace {
QString keyOf(TRecentFile kind)
{
    switch (kind) {
    case TRecentFile::ExportFile:
        return QStringLiteral("files/lastExportFile");
    case TRecentFile::EarlierFile:
        return QStringLiteral("files/lastEarlierFile");
    case TRecentFile::ReportFile:
        break;
    }
    return QStringLiteral("files/lastReportFile");
}

QSettings userSettings() { return QSettings(UserSettingsFile(), QSettings::IniFormat); }
} // namespace

QString UserSettingsFile()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tavleplanner"),
                     QStringLiteral("Tavleplanner"))
        .fileName();
}

QString RecentFile(TRecentFile kind) { return userSettings().value(keyOf(kind)).toString(); }

void SetRecentFile(TRecentFile kind, const QString &path) { SetUserSetting(keyOf(kind), path); }

} // namespace platform
