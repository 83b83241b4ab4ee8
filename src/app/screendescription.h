#pragma once
// ScreenDescription: writes what the program's windows show, as the accessibility interfaces
// describe it, into a file a few times a second. A test that drives the program where no
// accessibility bus reaches it (the Windows program under Wine on an X display) reads its
// windows, controls, places and texts there. Started only when TAVLE_SCREEN_FILE names the file.

#include <QObject>
#include <QString>
#include <QTimer>

namespace app {

class ScreenDescription : public QObject {
public:
    ScreenDescription(QString file, QObject *parent);

    // One line per accessible object of every visible window, depth first, as JSON:
    // {"depth", "role", "name", "text", "description", "x", "y", "width", "height", "enabled",
    //  "focused", "checked"}, with the place in screen coordinates.
    static QByteArray describe();

private:
    void write();

    QString file_;
    QByteArray written_;
    QTimer timer_;
};

// Starts the description when the environment asks for it.
void startScreenDescriptionIfAsked(QObject *application);

} // namespace app
