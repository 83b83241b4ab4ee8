#pragma once
// The application object: its title, and the error display that shows any exception a window
// handler lets escape, after which the event loop goes on.

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>
#include <string>

namespace app {

inline constexpr const char *kApplicationTitle = "Tavleplanner";

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows `error` in a message box with an error icon, captioned with the application title.
    static void ShowException(const std::exception &error);
};

// The error display's Danish text for `error`: the engine's and the platform's run-time texts
// (a damaged saved report file, a printer that refused the job, a file that cannot be written)
// in the desktop's words, naming the file where the failure concerns one; others as they are.
QString desktopErrorText(const std::exception &error);

// The text the error display shows for an exception message (Windows-1252): the message with a
// full stop appended when its last character sorts after ".".
std::string errorDisplayText(const std::string &message);

// Loads Qt's own Danish texts (file and print dialogs, message-box buttons) from Debian's
// qt6-translations-l10n, so that nothing the user meets speaks English. False when they are
// not installed; the dialogs then stay English.
bool installDanishQtTexts(QCoreApplication &application);

// Start-up's check of the font files in `directory`: without them nothing can be measured or
// drawn, so a message box names the missing file and the Debian package that holds it, and the
// answer is false (the program then ends with status 1).
bool checkFontsAtStartup(const QString &directory);

// Asks `question` over `parent` with "Ja" and "Nej", "Nej" the default and Esc's answer; true
// for "Ja".
bool askYesOrNo(QWidget *parent, const QString &question);

// Runs a window handler; an exception it raises goes to the error display.
void runHandler(const std::function<void()> &handler);

} // namespace app
