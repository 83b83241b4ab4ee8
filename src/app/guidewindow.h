#pragma once
// The Danish user guide in a window of the program: F1 in any of its windows opens it over
// that window. The guide is the README's Danish part as Markdown, installed under
// share/tavleplanner beside the program's bin folder, on Windows beside the program itself (or
// found in the build folder when the program runs from there).

#include <QString>

class QApplication;
class QWidget;

namespace app {

// The guide's file; empty when neither an installed nor a built guide is there. Looked for from
// the program's folder, or from `programFolder`.
QString GuideFile();
QString GuideFile(const QString &programFolder);

// Shows the guide window (object name "GuideWindow") over `over`'s window, or over no window;
// one guide per window, raised again when it is already open.
QWidget *ShowGuide(QWidget *over);

// F1 anywhere in `application` opens the guide over the active window.
void InstallGuideKey(QApplication &application);

} // namespace app
