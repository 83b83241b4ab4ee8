#include "platform/settingsfile.h"

#include "platform/recentfiles.h"

#include <QFile>
#include <QSettings>
#include <QStringDecoder>

namespace platform {
namespace {

// A line QSettings writes or reads as it stands: blank, a comment, a section or a key.
bool isSettingsLine(QStringView line)
{
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(u';')) // Qt takes no '#' comments
        return true;
    if (line.startsWith(u'['))
        return line.endsWith(u']');
    const qsizetype equals = line.indexOf(u'=');
    return equals > 0 && !line.first(equals).trimmed().isEmpty();
}

QSettings::Status store(const QString &file,
                        const std::vector<std::pair<QString, QVariant>> &values)
{
    QSettings settings(file, QSettings::IniFormat);
    for (const auto &[key, value] : values)
        settings.setValue(key, value);
    settings.sync();
    return settings.status();
}

} // namespace

bool SettingsReadCleanly(const QString &file)
{
    QFile in(file);
    if (!in.exists())
        return true;
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    // Qt refuses a byte-order mark as it refuses a line it cannot parse.
    if (in.error() != QFileDevice::NoError || bytes.contains('\0') ||
        bytes.startsWith("\xEF\xBB\xBF"))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        return false;
    bool continued = false; // a value that goes on after a backslash at the line's end
    for (const QStringView line : QStringView(text).split(u'\n')) {
        if (!continued && !isSettingsLine(line))
            return false;
        continued = line.trimmed().endsWith(u'\\');
    }
    return true;
}

bool WriteSettings(const QString &file, const std::vector<std::pair<QString, QVariant>> &values)
{
    const QString aside = file + QStringLiteral(".damaged");
    bool keptAside = false;
    if (!SettingsReadCleanly(file)) {
        QFile::remove(aside);
        keptAside = QFile::copy(file, aside);
        if (!keptAside) // a file that cannot be copied is not written over either
            return false;
    }
    QSettings::Status status = store(file, values);
    // Qt leaves a file it could not parse as it is: with its copy kept, a new one takes its
    // place, holding what Qt could read of the old one and the new values.
    if (status == QSettings::FormatError) {
        if (!keptAside) {
            QFile::remove(aside);
            keptAside = QFile::copy(file, aside);
        }
        std::vector<std::pair<QString, QVariant>> readable;
        {
            const QSettings old(file, QSettings::IniFormat);
            for (const QString &key : old.allKeys())
                readable.emplace_back(key, old.value(key));
        }
        readable.insert(readable.end(), values.begin(), values.end());
        if (keptAside && QFile::remove(file))
            status = store(file, readable);
    }
    return status == QSettings::NoError;
}

QVariant UserSetting(const QString &key)
{
    return QSettings(UserSettingsFile(), QSettings::IniFormat).value(key);
}

bool SetUserSetting(const QString &key, const QVariant &value)
{
    return WriteSettings(UserSettingsFile(), {{key, value}});
}

} // namespace platform
