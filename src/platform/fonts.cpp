#include "platform/fonts.h"

#include "platform/canvas.h"

#include <QFontDatabase>
#include <QStringList>
#include <mutex>
#include <stdexcept>

namespace platform {

QString loadProjectFonts()
{
    static std::once_flag once;
    static QString family;
    std::call_once(once, [] {
        const char *files[] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                               "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"};
        for (const char *file : files) {
            const QString path = QStringLiteral(TAVLE_FONT_DIR "/") + QLatin1String(file);
            const int id = QFontDatabase::addApplicationFont(path);
            if (id < 0)
                throw std::runtime_error("cannot load font file " + path.toStdString() +
                                         " (Debian package fonts-liberation2)");
            if (family.isEmpty())
                family = QFontDatabase::applicationFontFamilies(id).value(0);
        }
        // Definitions name Arial; let Qt resolve it to the loaded file, not to a system font.
        QFont::insertSubstitution(QStringLiteral("Arial"), family);
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), family);
    });
    return family;
}

std::string fontFilePath(unsigned style)
{
    const bool bold = (style & fsBold) != 0;
    const bool italic = (style & fsItalic) != 0;
    const char *file = bold && italic ? "LiberationSans-BoldItalic.ttf"
                       : bold         ? "LiberationSans-Bold.ttf"
                       : italic       ? "LiberationSans-Italic.ttf"
                                      : "LiberationSans-Regular.ttf";
    return std::string(TAVLE_FONT_DIR "/") + file;
}

QFont windowFont()
{
    QFont font(loadProjectFonts());
    font.setPixelSize(11);
    return font;
}

} // namespace platform
