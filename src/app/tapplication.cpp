#include "app/tapplication.h"

#include "platform/cp1252.h"
#include "platform/fonts.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <memory>

namespace app {

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // No display name: the window system would add it to every window title.
    setApplicationName(kApplicationTitle);
}

bool installDanishQtTexts(QCoreApplication &application)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Danish, QLocale::Denmark), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    translator->setParent(&application); // the application keeps it
    return QCoreApplication::installTranslator(translator.release());
}

bool checkFontsAtStartup(const QString &directory)
{
    try {
        platform::checkFontFiles(directory);
    } catch (const platform::EMissingFontFile &missing) {
        QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle),
                        QString::fromUtf8("Tavleplanner kan ikke starte, fordi skriftfilen\n%1\n"
                                          "mangler eller ikke kan læses.\n\n"
                                          "Installér Debian-pakken %2, for eksempel med\n"
                                          "sudo apt-get install %2")
                            .arg(missing.path(), QLatin1String(platform::kFontPackage)),
                        QMessageBox::Ok);
        box.exec();
        return false;
    }
    return true;
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error("Unknown error"));
    }
    return false;
}

std::string errorDisplayText(const std::string &message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

void TApplication::ShowException(const std::exception &error)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle),
                    platform::toQString(errorDisplayText(error.what())), QMessageBox::Ok);
    box.exec();
}

void runHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        TApplication::ShowException(error);
    }
}

} // namespace app
