// A user's journey through two previews on a real X server with a window manager, by input
// events through the window system: load the bundled export, list the teachers, select two
// names, "Vis udskrift"; in the first preview End, "&Op" and a click on a thumbnail, Esc; in
// the second Esc. Screenshots of the whole screen go to gui-shots/ in the build folder.
// Run it with tests/gui-session ctest --test-dir build -L gui. Without a display it is skipped.
#include "app/justerform.h"
#include "app/mainform.h"
#include "app/selectform.h"
#include "app/sheetoutput.h"
#include "app/tapplication.h"
#include "output/brprinter.h"
#include "preview/brpreview.h"
#include "preview/standardpreview.h"
#include "preview/standardpreviewinterface.h"
#include "preview/thumbgrid.h"
#include "report/customreport.h"
#include "report/services.h"
#include "timetable/timetable.h"

#include <QAbstractButton>
#include <QDir>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <vector>

namespace {

constexpr int skipped = 77; // ctest's SKIP_RETURN_CODE for this test
constexpr auto stepPatience = std::chrono::seconds(60);

// Clicks the middle of `widget` (or `at` in its coordinates) through its window.
void click(QWidget *widget, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers modifiers = {}, std::optional<QPoint> at = {})
{
    QWidget *top = widget->window();
    const QPoint inTop = widget->mapTo(top, at.value_or(widget->rect().center()));
    QTest::mouseClick(top->windowHandle(), button, modifiers, inTop);
}

void key(QWidget *window, Qt::Key k) { QTest::keyClick(window->windowHandle(), k); }

void screenshot(const QString &name)
{
    const QString dir = QStringLiteral(TAVLE_BINARY_DIR "/gui-shots");
    QDir().mkpath(dir);
    QGuiApplication::primaryScreen()->grabWindow(0).save(dir + "/" + name);
}

preview::TBRStandardPreview *activePreview()
{
    return qobject_cast<preview::TBRStandardPreview *>(QApplication::activeModalWidget());
}

bool settled(QWidget *window)
{
    return window != nullptr && window->isVisible() && window->isActiveWindow() &&
           window->windowHandle() != nullptr && window->windowHandle()->isExposed();
}

// Steps, each done once its condition holds, polled from the event loop (also from the nested
// loops of the modal windows).
class Journey : public QObject {
public:
    struct Step {
        const char *name;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    void add(Step step) { steps_.push_back(std::move(step)); }
    void start()
    {
        stepStart_ = std::chrono::steady_clock::now();
        poll();
    }
    bool finished() const { return next_ == steps_.size(); }
    std::string failure;

private:
    void poll()
    {
        if (finished() || !failure.empty())
            return;
        QTimer::singleShot(50, this, [this] { poll(); });
        Step &step = steps_[next_];
        if (!step.ready()) {
            if (std::chrono::steady_clock::now() - stepStart_ > stepPatience) {
                failure = std::string("timed out waiting to ") + step.name;
                QApplication::exit(1);
            }
            return;
        }
        ++next_;
        stepStart_ = std::chrono::steady_clock::now();
        step.act(); // may open a modal window and return only when it closes
    }
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::chrono::steady_clock::time_point stepStart_;
};

TEST(PreviewJourney, TwoNamesPreviewedOneAfterTheOtherAndPagedThroughByInput)
{
    report::TBRServices lent = preview::StandardWindowServices();
    lent.Progress = {};
    const report::TBRServicesScope services(std::move(lent));
    timetable::Timetable table;
    app::TMainForm mainForm(table);
    table.setMessageSink([&](const std::string &m) { mainForm.appendMessage(m); });
    app::TSelectForm selectForm(table, &mainForm);
    app::TJusterForm justerForm(&mainForm);
    mainForm.setSelectForm(&selectForm);
    selectForm.setJusterForm(&justerForm);
    selectForm.setSheetOutput(app::SheetOutput(table, mainForm, justerForm, &selectForm));
    mainForm.setFileChooser([] { return QStringLiteral(TAVLE_SOURCE_DIR "/examples/skema.csv"); });

    Journey journey;
    QPointer<preview::TBRStandardPreview> first;
    QStringList pageInfo;
    int fitted = 0, pages = 0;
    // A window mapped while the desktop is still starting may be placed but not activated; the
    // user would click it first.
    journey.add({"load the export",
                 [&] {
                     if (mainForm.isVisible() && !mainForm.isActiveWindow())
                         mainForm.activateWindow();
                     return settled(&mainForm);
                 },
                 [&] { click(mainForm.findChild<QAbstractButton *>("ButtonSource")); }});
    journey.add({"list the teachers", [&] { return !mainForm.exportFilePath().isEmpty(); },
                 [&] { click(mainForm.findChild<QAbstractButton *>("ButtonTeachers")); }});
    journey.add({"select two names and preview them", [&] { return settled(&selectForm); },
                 [&] {
                     auto *list = selectForm.findChild<QListWidget *>("ListBox");
                     click(list->viewport(), Qt::LeftButton, {},
                           list->visualItemRect(list->item(0)).center());
                     click(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                           list->visualItemRect(list->item(1)).center());
                     screenshot("0-selected.png");
                     click(selectForm.findChild<QAbstractButton *>("ShowButton"));
                 }});
    journey.add({"see the first preview open",
                 [&] {
                     preview::TBRStandardPreview *p = activePreview();
                     return settled(p) && p->isMaximized() &&
                            p->StatusPanel(1).startsWith(QStringLiteral("Side 1 af"));
                 },
                 [&] {
                     first = activePreview();
                     EXPECT_EQ(first->Preview().ZoomState(), output::TBRZoomState::brZoomToFit);
                     EXPECT_EQ(first->Preview().PageNumber(), 1);
                     fitted = first->Preview().Zoom();
                     pageInfo << first->StatusPanel(1);
                     screenshot("1-first-opened.png");
                 }});
    journey.add({"go to the last page once the run has finished",
                 [&] { return first->findChild<QAbstractButton *>("Print")->isEnabled(); },
                 [&] {
                     pages = first->Preview().PageOutput()->PageNumber();
                     key(first, Qt::Key_End);
                     EXPECT_EQ(first->Preview().PageNumber(), pages);
                     pageInfo << first->StatusPanel(1);
                 }});
    journey.add({"zoom in", [&] { return true; },
                 [&] {
                     click(first->findChild<QAbstractButton *>("btnZoomIn"));
                     EXPECT_EQ(first->Preview().ZoomState(), output::TBRZoomState::brZoomOther);
                     EXPECT_EQ(first->Preview().Zoom(), std::lround(fitted * 1.25));
                     screenshot("2-last-page-zoomed.png");
                 }});
    journey.add({"click the first thumbnail", [&] { return true; },
                 [&] {
                     preview::TBRThumbGrid &grid = first->Thumbs();
                     click(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(0).center());
                     EXPECT_EQ(first->Preview().PageNumber(), 1);
                     pageInfo << first->StatusPanel(1);
                     screenshot("3-thumbnail-clicked.png");
                 }});
    journey.add(
        {"close the first preview", [&] { return true; }, [&] { key(first, Qt::Key_Escape); }});
    journey.add({"see the second preview open",
                 [&] {
                     preview::TBRStandardPreview *p = activePreview();
                     return first.isNull() && settled(p) && p->isMaximized() &&
                            p->StatusPanel(1).startsWith(QStringLiteral("Side 1 af"));
                 },
                 [&] {
                     screenshot("4-second-opened.png");
                     key(activePreview(), Qt::Key_Escape);
                 }});
    journey.add({"be back in the selection window",
                 [&] { return settled(&selectForm) && activePreview() == nullptr; },
                 [&] {
                     screenshot("5-back.png");
                     selectForm.reject();
                     QTimer::singleShot(0, [] { QApplication::exit(0); });
                 }});

    mainForm.show();
    QTimer::singleShot(0, &journey, [&] { journey.start(); });
    QApplication::exec();
    EXPECT_EQ(journey.failure, "");
    EXPECT_TRUE(journey.finished());
    ASSERT_EQ(pageInfo.size(), 3);
    EXPECT_EQ(pageInfo[1], QStringLiteral("Side %1 af %1").arg(pages));
    EXPECT_EQ(pageInfo[2], QStringLiteral("Side 1 af %1").arg(pages));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::cout << "PreviewJourney skipped: it needs an X server (no DISPLAY); run it with "
                     "tests/gui-session ctest --test-dir build -L gui\n";
        return skipped;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    app::TApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
