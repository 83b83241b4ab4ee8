#pragma once
// File names between the C++ library and Qt. On Windows a path is UTF-16 and goes over as it
// is; elsewhere it is the file system's bytes, which QFile decodes as the rest of Qt does.

#include <QString>
#include <filesystem>

namespace platform {

QString pathToQString(const std::filesystem::path &path);
std::filesystem::path qStringToPath(const QString &name);

} // namespace platform
