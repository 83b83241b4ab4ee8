#include "app/tapplication.h"

#include "output/brerror.h"
#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "platform/fonts.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
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
    // Beside the program first (Windows: a static Qt's own path is the build machine's),
    // then where Qt's installed texts are.
    auto translator = std::make_unique<QTranslator>();
    const QLocale danish(QLocale::Danish, QLocale::Denmark);
    const auto found = [&](const QString &folder) {
        return translator->load(danish, QStringLiteral("qtbase"), QStringLiteral("_"), folder);
    };
    if (!found(QCoreApplication::applicationDirPath() + QStringLiteral("/translations")) &&
        !found(QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
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

QString desktopErrorText(const std::exception &error)
{
    // The engine and the platform speak the run-time library's English; the desktop says the
    // same in Danish, naming the file where the failure concerns one.
    if (const auto *unwritten = dynamic_cast<const platform::EFileNotWritten *>(&error))
        return platform::toQString(unwritten->Danish());
    const std::string text = error.what();
    const auto *onFile = dynamic_cast<const output::EBRFileFailure *>(&error);
    const QString name = onFile != nullptr
                             ? QFileInfo(QString::fromStdString(onFile->File())).fileName()
                             : QString();
    const auto rest = [&text](std::string_view prefix) {
        return platform::toQString(text.substr(prefix.size()));
    };
    static constexpr std::string_view damaged = "Damaged report file: ";
    static constexpr std::string_view refused = "The printer did not take the job: ";
    static constexpr std::string_view unwritable = "Cannot write the file ";
    if (text.starts_with(damaged))
        return name.isEmpty()
                   ? QStringLiteral("Udskriftsfilen er beskadiget: %1").arg(rest(damaged))
                   : QStringLiteral("Udskriftsfilen %1 er beskadiget: %2").arg(name, rest(damaged));
    if (text == "Stream read error")
        return name.isEmpty()
                   ? QStringLiteral("Udskriftsfilen er beskadiget: den slutter for tidligt.")
                   : QStringLiteral("Udskriftsfilen %1 er beskadiget: den slutter for "
                                    "tidligt.")
                         .arg(name);
    if (text.starts_with(refused))
        return QStringLiteral("Printeren tog ikke imod udskriften: %1").arg(rest(refused));
    if (text.starts_with(unwritable))
        return QStringLiteral("Filen %1 kan ikke skrives.")
            .arg(name.isEmpty() ? platform::toQString(text.substr(unwritable.size())) : name);
    return platform::toQString(errorDisplayText(text));
}

void TApplication::ShowException(const std::exception &error)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle),
                    desktopErrorText(error), QMessageBox::Ok);
    box.exec();
}

bool askYesOrNo(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kApplicationTitle), question,
                    QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Nej"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
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
