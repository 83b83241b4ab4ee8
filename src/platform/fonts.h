#pragma once
// The fonts the program draws and measures with are loaded from the files the project names,
// never looked up through the machine's font configuration: Arial is realised by Liberation
// Sans (same metrics), "MS Sans Serif" of the windows likewise.

#include <QFont>
#include <QString>
#include <string>

namespace platform {

// Registers the Liberation Sans files with Qt once per process (thread-safe) and returns the
// family name Qt knows them by. Throws std::runtime_error when the files are missing.
QString loadProjectFonts();

// The file that realises a font of the given style bits (TFontStyle; bold and italic choose the
// file). Every font name of a definition is realised by Liberation Sans.
std::string fontFilePath(unsigned style);

// The font of the program's windows: 8 points, 11 pixels high.
QFont windowFont();

} // namespace platform
