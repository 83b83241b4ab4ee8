#pragma once
// Where the windows first open: the screen positions their definitions give, kept on the
// screen's available area so that a smaller screen still shows the whole window.

#include <QPoint>

class QWidget;

namespace app {

// Moves `window` to `designed`, shifted just far enough to lie on the available area of the
// screen that holds that point (the primary screen when none does).
void placeAtStart(QWidget &window, QPoint designed);

// Moves `window` beside `anchor`, top edges level: to its right, or to its left where the right
// has no room for it, so that it leaves the anchor's contents in sight; kept on the screen as
// placeAtStart keeps it.
void placeBeside(QWidget &window, const QWidget &anchor);

} // namespace app
