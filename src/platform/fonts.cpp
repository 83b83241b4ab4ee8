#include "platform/fonts.h"

#include "platform/canvas.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QStringList>
#include <mutex>
#include <stdexcept>
#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {
namespace {
const char *const fontFiles[] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                 "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"};
} // namespace

EMissingFontFile::EMissingFontFile(const QString &path)
    : std::runtime_error("cannot load font file " + path.toStdString() + " (Debian package " +
                         kFontPackage + ")"),
      path_(path)
{}

QString fontDirectory()
{
#ifdef _WIN32
    // Beside the program, which carries its fonts with it; asked of the system, so that it is
    // known before Qt's application object is.
    std::wstring file(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, file.data(), DWORD(file.size()));
        if (length < file.size()) {
            file.resize(length);
            break;
        }
        file.resize(file.size() * 2);
    }
    return QFileInfo(QString::fromStdWString(file)).absolutePath();
#else
    return QStringLiteral(TAVLE_FONT_DIR);
#endif
}

void checkFontFiles(const QString &directory)
{
    for (const char *file : fontFiles) {
        const QString path = directory + QLatin1Char('/') + QLatin1String(file);
        if (!QFileInfo(path).isReadable())
            throw EMissingFontFile(path);
    }
}

QString loadProjectFonts()
{
    static std::once_flag once;
    static QString family;
    std::call_once(once, [] {
        for (const char *file : fontFiles) {
            const QString path = fontDirectory() + QLatin1Char('/') + QLatin1String(file);
            const int id = QFontDatabase::addApplicationFont(path);
            if (id < 0)
                throw EMissingFontFile(path);
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
    return (fontDirectory() + QLatin1Char('/') + QLatin1String(file)).toStdString();
}

QRawFont rawFont(unsigned style, int em)
{
    QFont font(loadProjectFonts());
    font.setPixelSize(em);
    font.setBold((style & fsBold) != 0);
    font.setItalic((style & fsItalic) != 0);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::NoFontMerging);
    QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) {
        const QString path = QString::fromStdString(fontFilePath(style));
        raw = QRawFont(path, em, QFont::PreferNoHinting);
        if (!raw.isValid())
            throw EMissingFontFile(path);
    }
    return raw;
}

QFont windowFont()
{
    QFont font(loadProjectFonts());
    font.setPixelSize(11);
    return font;
}

} // namespace platform
