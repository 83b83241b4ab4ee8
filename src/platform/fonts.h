#pragma once
// The fonts the program draws and measures with are loaded from the files the project names,
// never looked up through the machine's font configuration: Arial is realised by Liberation
// Sans (same metrics), "MS Sans Serif" of the windows likewise.

#include <QFont>
#include <QString>
#include <stdexcept>
#include <string>

namespace platform {

// A font file the program needs is missing or unreadable.
class EMissingFontFile : public std::runtime_error {
public:
    explicit EMissingFontFile(const QString &path);
    const QString &path() const { return path_; }

private:
    QString path_;
};

// The Debian package that holds the font files.
inline constexpr const char *kFontPackage = "fonts-liberation2";
// Where the font files are.
QString fontDirectory();

// Throws EMissingFontFile for the first of the font files that `directory` lacks or cannot be
// read. Start-up asks this before anything is drawn or measured.
void checkFontFiles(const QString &directory = fontDirectory());

// Registers the Liberation Sans files with Qt once per process (thread-safe) and returns the
// family name Qt knows them by. Throws EMissingFontFile when a file is missing.
QString loadProjectFonts();

// The file that realises a font of the given style bits (TFontStyle; bold and italic choose the
// file). Every font name of a definition is realised by Liberation Sans.
std::string fontFilePath(unsigned style);

// The font of the program's windows: 8 points, 11 pixels high.
QFont windowFont();

} // namespace platform
