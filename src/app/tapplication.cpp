#include "app/tapplication.h"

#include "platform/cp1252.h"
#include "platform/fonts.h"

#include <QMessageBox>

namespace app {

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(kApplicationTitle);
    setApplicationDisplayName(kApplicationTitle);
    setFont(platform::windowFont());
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
