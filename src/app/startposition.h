#pragma once
// Where the windows first open: the screen positions their definitions give, kept on the
// screen's available area so that a smaller screen still shows the whole window.

#include <QPoint>

class QWidget;

namespace app {

// Moves `window` to `designed`, shifted just far enough to lie on the available area of the
// screen that holds that point (the primary screen when none does).
void placeAtStart(QWidget &window, QPoint designed);

} // namespace app
