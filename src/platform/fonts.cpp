#include "platform/fonts.h"

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

QFont windowFont()
{
    QFont font(loadProjectFonts());
    font.setPixelSize(11);
    return font;
}

} // namespace platform
