#include "platform/recentfiles.h"

#include <QSettings>

namespace platform {

namespace {
QString keyOf(TRecentFile kind)
{
    return kind == TRecentFile::ExportFile ? QStringLiteral("files/lastExportFile")
                                           : QStringLiteral("files/lastReportFile");
}

QSettings userSettings()
{
    return QSettings(QStringLiteral("Tavleplanner"), QStringLiteral("Tavleplanner"));
}
} // namespace

QString RecentFile(TRecentFile kind) { return userSettings().value(keyOf(kind)).toString(); }

void SetRecentFile(TRecentFile kind, const QString &path)
{
    QSettings settings = userSettings();
    settings.setValue(keyOf(kind), path);
}

} // namespace platform
