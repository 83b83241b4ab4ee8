#include "app/startposition.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace app {

void placeAtStart(QWidget &window, QPoint designed)
{
    const QScreen *screen = QGuiApplication::screenAt(designed);
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        window.move(designed);
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize size = window.frameGeometry().size();
    const int x = std::max(area.left(), std::min(designed.x(), area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(designed.y(), area.bottom() + 1 - size.height()));
    window.move(x, y);
}

void placeBeside(QWidget &window, const QWidget &anchor)
{
    constexpr int gap = 8;
    const QRect beside = anchor.frameGeometry();
    const QSize size = window.frameGeometry().size();
    QPoint place(beside.right() + 1 + gap, beside.top());
    const QScreen *screen = QGuiApplication::screenAt(beside.center());
    if (screen != nullptr && place.x() + size.width() > screen->availableGeometry().right() + 1)
        place.setX(beside.left() - gap - size.width());
    placeAtStart(window, place);
}

} // namespace app
