#pragma once
// The settings file read with care and written without losing what it held. Qt reads what it
// can parse of an INI file and drops the rest without a word, and a write then replaces the
// whole file: so whether a file reads cleanly is asked here, and a file that did not is copied
// to "<file>.damaged" before anything is written over it.

#include <QString>
#include <QVariant>
#include <utility>
#include <vector>

namespace platform {

// True for a settings file that is absent, or readable UTF-8 text of blank lines, comments,
// [sections] and key=value lines (as QSettings writes it). False for one that cannot be read,
// holds NUL bytes or invalid UTF-8, or has a line of anything else.
bool SettingsReadCleanly(const QString &file);

// Writes `values` (key, value) into the INI file `file`. A file that did not read cleanly is
// first copied to "<file>.damaged" (an older copy replaced); what Qt could read of it is written
// back with the new values, and a file Qt cannot parse at all starts afresh. False when the file
// could not be written.
bool WriteSettings(const QString &file, const std::vector<std::pair<QString, QVariant>> &values);

// One value of the user's settings file (recentfiles.h names it); invalid when not kept.
QVariant UserSetting(const QString &key);
// Keeps one value in the user's settings file; false when it could not be written.
bool SetUserSetting(const QString &key, const QVariant &value);

} // namespace platform
