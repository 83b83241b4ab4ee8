// The preview window: its controls and texts, zoom by buttons and mouse, the page keys, the
// thumbnails, the status bar and the call that tells the report it closes, and the preview
// class that makes it. Its commands are tested in previewcommands_test.cpp.
#include "support/previewfixture.h"

#include "output/brmessage.h"
#include "output/brprinter.h"
#include "preview/brpreview.h"
#include "preview/previewstate.h"
#include "preview/standardpreview.h"
#include "preview/standardpreviewinterface.h"
#include "preview/thumbgrid.h"
#include "report/services.h"
#include "support/testpages.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace output;
using namespace preview;
using namespace previewtest;

namespace {

QString accessibleName(QObject *object)
{
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(object);
    return a != nullptr ? a->text(QAccessible::Name) : QString();
}

} // namespace

TEST(PreviewWindow, OpensWithItsControlsTextsHintsAndGlyphs)
{
    PreviewOf p(3, true);
    EXPECT_EQ(p.window->windowTitle(), QStringLiteral("Udskriftsvisning : "));
    struct Button {
        const char *name;
        int x;
        const char *caption;
        const char *hint;
    };
    for (const Button &b :
         {Button{"FindButton", 3, "&Søg", "Søg efter tekst"},
          Button{"printSetup", 68, "&Indstil", "Printeropsætning"},
          Button{"Print", 113, "&Udskriv", "Udskriv"}, Button{"PrevPage", 178, "", "Forrige side"},
          Button{"NextPage", 223, "", "Næste side"},
          Button{"btnZoomIn", 328, "&Op", "Forstør siden"},
          Button{"btnZoomOut", 373, "&Ned", "Formindsk siden"},
          Button{"LoadReport", 478, "&Hent", "Indlæs udskriftsjob"},
          Button{"saveReport", 523, "&Gem", "Gem udskriftsjob"},
          Button{"exitButton", 588, "&Luk", "Luk visning"}}) {
        QAbstractButton *button = p.control(b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->geometry().topLeft(), QPoint(b.x, 2)) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption)) << b.name;
        // "&Indstil" and "&Udskriv" add why they wait while the run goes on (below).
        EXPECT_EQ(button->toolTip().section(QStringLiteral(" – "), 0, 0), QString::fromUtf8(b.hint))
            << b.name;
        // Every glyph button shows a glyph, from the desktop's theme or the program's own.
        if (std::string_view(b.name) != "exitButton")
            EXPECT_FALSE(button->icon().pixmap(24, 24).isNull()) << b.name;
        // A screen reader names each button by its caption, or by its hint without one.
        const QString name = QString::fromUtf8(*b.caption ? b.caption + 1 : b.hint);
        EXPECT_EQ(accessibleName(button), name) << b.name;
    }
    auto *tabs = p.control<QTabWidget>("Tabs");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Eksempler"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Søgeresultat"));
    EXPECT_EQ(p.control<QGroupBox>("GroupBox1")->title(), QStringLiteral("Søgetekst"));
    EXPECT_FALSE(p.control<QListWidget>("SearchResultBox")->isEnabled());
    EXPECT_EQ(accessibleName(&p.window->Thumbs()), QStringLiteral("Eksempler"));

    // While the run goes on there is nothing to print or save yet, nor a paper to change under
    // the run; the tooltips say so.
    for (const char *command : {"Print", "printSetup", "saveReport"})
        EXPECT_FALSE(p.control(command)->isEnabled()) << command;
    EXPECT_TRUE(p.control("LoadReport")->isEnabled());
    EXPECT_EQ(p.control("printSetup")->toolTip(),
              QStringLiteral("Printeropsætning – kan vælges, når alle sider er dannet"));
    EXPECT_EQ(p.control("Print")->toolTip(),
              QStringLiteral("Udskriv – kan vælges, når alle sider er dannet"));
    EXPECT_EQ(p.control("saveReport")->toolTip(),
              QStringLiteral("Gem udskriftsjob – kan vælges, når alle sider er dannet"));
    EXPECT_EQ(p.window->StatusPanel(0), QStringLiteral("0%"));
    EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side 1 af 3"));
    EXPECT_EQ(accessibleName(p.window->findChild<QLabel *>("StatusPanel1")),
              QStringLiteral("Side 1 af 3"));
    EXPECT_TRUE(p.window->isMaximized());
    // A maximise box and a close box, no minimise box.
    const Qt::WindowFlags flags = p.window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_EQ(p.view().ZoomState(), TBRZoomState::brZoomToFit);
    p.report.output()->FinishJob();
    QCoreApplication::processEvents();
    for (const char *command : {"Print", "printSetup", "saveReport"})
        EXPECT_TRUE(p.control(command)->isEnabled()) << command;
    EXPECT_EQ(p.control("printSetup")->toolTip(), QStringLiteral("Printeropsætning"));
    EXPECT_EQ(p.control("saveReport")->toolTip(), QStringLiteral("Gem udskriftsjob"));
}

TEST(PreviewWindow, AReportTitleNamesTheWindowAndTheThirdPanel)
{
    ReportWindow report(std::make_unique<TBRPrinter>());
    testpages::recordRun(*report.output(), 1, 1, 1);
    TBRPreviewSettings settings;
    settings.PrevShowSearch = false;
    TBRStandardPreview window(
        TBRPreviewRequest{*report.output(), &report, settings, "L\xE6rer AB", false, 100});
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Udskriftsvisning : Lærer AB"));
    EXPECT_EQ(window.StatusPanel(2), QStringLiteral("Lærer AB"));
    EXPECT_EQ(TBRPreviewState::Instance().StatusText, "L\xE6rer AB");
    // Without the search the search tab and button go.
    EXPECT_EQ(window.findChild<QTabWidget *>("Tabs")->count(), 1);
    EXPECT_TRUE(window.findChild<QAbstractButton *>("FindButton")->isHidden());
}

TEST(PreviewWindow, ZoomButtonsAndMouseButtonsStepWithinElevenTo399)
{
    PreviewOf p(1);
    const auto steps = [&](const char *button, int count) {
        p.view().SetZoom(100);
        std::vector<int> zooms;
        for (int i = 0; i < count; ++i) {
            p.click(button);
            zooms.push_back(p.view().Zoom());
        }
        return zooms;
    };
    EXPECT_EQ(steps("btnZoomIn", 7), (std::vector<int>{125, 156, 195, 244, 305, 381, 381}));
    EXPECT_EQ(steps("btnZoomOut", 11),
              (std::vector<int>{80, 64, 51, 41, 33, 26, 21, 17, 14, 11, 11}));

    // On the page or beside it: left zooms in, right out, middle fits the page again.
    p.view().SetZoom(100);
    QTest::mouseClick(&p.view().Image(), Qt::LeftButton);
    EXPECT_EQ(p.view().Zoom(), 125);
    QTest::mouseClick(p.view().viewport(), Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(p.view().Zoom(), 100);
    QTest::mouseClick(&p.view().Image(), Qt::MiddleButton);
    EXPECT_EQ(p.view().ZoomState(), TBRZoomState::brZoomToFit);
}

TEST(PreviewWindow, AZoomButtonMakesTheZoomFixedSoThatResizingNoLongerRefits)
{
    PreviewOf p(1);
    p.window->setWindowState(Qt::WindowNoState);
    p.window->resize(700, 500);
    QCoreApplication::processEvents();
    const int small = p.view().Zoom();
    p.window->resize(1000, 900);
    QCoreApplication::processEvents();
    const int large = p.view().Zoom();
    EXPECT_GT(large, small) << "the page is fitted again";

    p.click("btnZoomOut");
    const int fixed = p.view().Zoom();
    EXPECT_EQ(p.view().ZoomState(), TBRZoomState::brZoomOther);
    p.window->resize(600, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(p.view().Zoom(), fixed);
}

TEST(PreviewWindow, PageKeysMoveThroughThePagesAsTheKeyTableSays)
{
    struct Row {
        const char *name;
        int from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int to;
    };
    const Row rows[] = {
        {"Page Down", 1, Qt::Key_PageDown, {}, 2},
        {"Page Down on the last page", 4, Qt::Key_PageDown, {}, 4},
        {"Page Up", 3, Qt::Key_PageUp, {}, 2},
        {"Page Up on the first page", 1, Qt::Key_PageUp, {}, 1},
        {"Ctrl+Page Up", 3, Qt::Key_PageUp, Qt::ControlModifier, 1},
        {"Ctrl+Page Down", 1, Qt::Key_PageDown, Qt::ControlModifier, 4},
        {"Shift+Page Up", 3, Qt::Key_PageUp, Qt::ShiftModifier, 2},
        {"Ctrl+Shift+Page Down", 2, Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier, 3},
        {"Home", 3, Qt::Key_Home, {}, 1},
        {"Ctrl+End", 2, Qt::Key_End, Qt::ControlModifier, 4},
    };
    PreviewOf p(4);
    for (const Row &row : rows) {
        p.window->GoToPage(row.from);
        p.window->findChild<QLabel *>("StatusPanel1")->clear();
        p.press(row.key, row.modifiers);
        EXPECT_EQ(p.view().PageNumber(), row.to) << row.name;
        // The page information is written again even when the page stays.
        EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side %1 af 4").arg(row.to)) << row.name;
    }
}

TEST(PreviewWindow, UpAndDownScrollALineAndTurnThePageAtItsEdges)
{
    PreviewOf p(3);
    p.window->setWindowState(Qt::WindowNoState);
    p.window->resize(700, 500);
    QCoreApplication::processEvents();
    p.view().SetZoom(100); // the page is taller than the view
    TBRPreview &view = p.view();
    const int step = TBRPreview::LineStep;
    const int bottom = view.VerticalRange() - view.height();
    ASSERT_GT(bottom, 3 * step);

    p.window->GoToPage(2);
    p.press(Qt::Key_Down);
    p.press(Qt::Key_Down);
    EXPECT_EQ(view.VerticalPosition(), 2 * step);
    p.press(Qt::Key_Up);
    EXPECT_EQ(view.VerticalPosition(), step);
    EXPECT_EQ(view.PageNumber(), 2);

    // Up within a step of the top of a page: the page before, seen from its bottom.
    p.press(Qt::Key_Up);
    EXPECT_EQ(view.PageNumber(), 1);
    EXPECT_EQ(view.VerticalPosition(), bottom - step);
    // Up within a step of the top of page 1: no page before, but the move to the bottom.
    view.SetVerticalPosition(step / 2);
    p.press(Qt::Key_Up);
    EXPECT_EQ(view.PageNumber(), 1);
    EXPECT_EQ(view.VerticalPosition(), bottom - step);

    // Down within a step of the bottom: the next page, at its top.
    view.SetVerticalPosition(bottom - step + 1);
    p.press(Qt::Key_Down);
    EXPECT_EQ(view.PageNumber(), 2);
    EXPECT_EQ(view.VerticalPosition(), 0);
}

TEST(PreviewWindow, ThumbnailsNumberFiveEmptyRowsUntilPagesArriveThenOneRowPerPage)
{
    PreviewOf p(0, true);
    TBRThumbGrid &grid = p.window->Thumbs();
    EXPECT_EQ(grid.RowCount(), 5);
    // A4 portrait in the grid: the thumbnail is 20 narrower than the column, and as high as
    // the page's shape makes it.
    EXPECT_EQ(p.window->ThumbWidth(), grid.width() - 4 - 20);
    EXPECT_NEAR(p.window->ThumbHeight(), p.window->ThumbWidth() * 2970.0 / 2100.0, 0.5);
    const auto paperInRow = [&](int row) {
        const QImage shot = grid.viewport()->grab().toImage();
        const QRect cell = grid.CellRect(row);
        return shot.pixel(cell.x() + 10 + 20, cell.y() + 10 + 20) == qRgb(255, 255, 255);
    };
    EXPECT_FALSE(paperInRow(0));

    TBRPrinter &output = *p.report.output();
    for (int n = 1; n <= 3; ++n) {
        output.NewPage();
        testpages::drawPage(*output.PageCanvas(), n, 4, 5);
    }
    QCoreApplication::processEvents();
    // Two pages are complete and a third begun: three rows, two with their pictures.
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side 1 af 3"));
    EXPECT_TRUE(paperInRow(0));
    EXPECT_TRUE(paperInRow(1));
    EXPECT_FALSE(paperInRow(2));
    EXPECT_FALSE(p.control("Print")->isEnabled());
    output.FinishJob();
    QCoreApplication::processEvents();
    EXPECT_TRUE(paperInRow(2));
    EXPECT_TRUE(p.control("Print")->isEnabled());
}

TEST(PreviewWindow, AThumbnailClickShowsItsPageAndGoingToAPageSelectsItsThumbnail)
{
    PreviewOf p(4);
    TBRThumbGrid &grid = p.window->Thumbs();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(2).center());
    EXPECT_EQ(p.view().PageNumber(), 3);
    EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side 3 af 4"));

    // The window moves the selection itself without the grid navigating a second time.
    int selections = 0;
    grid.OnSelectCell = [&](int row) {
        ++selections;
        EXPECT_TRUE(TBRPreviewState::Instance().ThumbnailSync);
        p.window->ThumbGridSelectCell(row);
    };
    p.click("NextPage");
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(selections, 1);
    EXPECT_FALSE(TBRPreviewState::Instance().ThumbnailSync);
    p.click("PrevPage");
    p.click("PrevPage");
    EXPECT_EQ(p.view().PageNumber(), 2);
    EXPECT_EQ(grid.Row(), 1);
}

TEST(PreviewWindow, ThePageFieldGoesToThePageTypedAndTheZoomShowsInPerCent)
{
    PreviewOf p(4);
    auto *field = p.control<QSpinBox>("PageField");
    auto *zoom = p.control<QLabel>("ZoomLabel");
    ASSERT_NE(field, nullptr);
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(field->value(), 1);
    EXPECT_EQ(field->maximum(), 4);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("3"));
    EXPECT_EQ(p.view().PageNumber(), 1) << "not before Enter";
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(p.view().PageNumber(), 3);
    EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side 3 af 4"));
    EXPECT_EQ(p.window->Thumbs().Row(), 2);
    // A number beyond the last page cannot be typed; the arrows keep the field in step.
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("9"));
    QTest::keyClick(field, Qt::Key_Enter);
    EXPECT_EQ(p.view().PageNumber(), 3);
    p.click("NextPage");
    EXPECT_EQ(field->value(), 4);

    EXPECT_EQ(zoom->text(), QStringLiteral("%1 %").arg(p.view().Zoom()));
    p.view().SetZoom(100);
    p.click("btnZoomIn");
    EXPECT_EQ(zoom->text(), QStringLiteral("125 %"));
    p.click("btnZoomOut");
    EXPECT_EQ(zoom->text(), QStringLiteral("100 %"));
}

TEST(PreviewWindow, TheProgressPanelMovesInStepsOfFiveAndEmptiesAtTheEnds)
{
    PreviewOf p(1, true);
    std::vector<QString> shown;
    for (const int percent : {3, 5, 7, 9, 10, 33, 36, 100, 40, 0}) {
        p.report.output()->SetProgress(percent);
        QCoreApplication::processEvents();
        shown.push_back(p.window->StatusPanel(0));
    }
    EXPECT_EQ(shown,
              (std::vector<QString>{"0%", "5%", "5%", "5%", "10%", "33%", "33%", "", "", ""}));

    // A run that ended before the window opened never told it 100: nothing is left showing.
    PreviewOf finished(1);
    EXPECT_EQ(finished.window->StatusPanel(0), QString());
}

TEST(PreviewWindow, ClosingTellsTheReportOnceAndLeavesThePageOutputAlone)
{
    for (const auto close :
         {+[](PreviewOf &p) { p.press(Qt::Key_Escape); },
          +[](PreviewOf &p) { p.click("exitButton"); }, +[](PreviewOf &p) { p.window->close(); }}) {
        PreviewOf p(2);
        TBRPrinter *shown = p.report.output();
        close(p);
        EXPECT_FALSE(p.window->isVisible());
        EXPECT_EQ(p.report.ends, std::vector<TBRPrinter *>{shown});
        EXPECT_EQ(p.report.output(), nullptr) << "released by the report";
        EXPECT_EQ(p.view().PageOutput(), nullptr);
        // Nothing the window still does reaches the released page output.
        p.window->GoToPage(2);
        p.click("btnZoomIn");
        p.window->Thumbs().viewport()->grab();
        p.window.reset();
        EXPECT_EQ(p.report.ends.size(), 1u);
    }
}

namespace {
// A provider class that counts its instances and what they were asked.
class CountingPreview : public report::TBRPreviewInterface {
public:
    CountingPreview() { ++made; }
    ~CountingPreview() override { ++freed; }
    void ShowModal(const TBRPreviewRequest &request) override
    {
        shown.push_back(&request.Output);
        EXPECT_EQ(freed, made - 1) << "the instance lives while it shows";
    }
    static inline int made = 0, freed = 0;
    static inline std::vector<TBRPrinter *> shown;
};
} // namespace

TEST(PreviewProvider, EachPreviewMakesAnInstanceOfTheClassShowsModallyAndFreesIt)
{
    TBRPrinter output;
    const TBRPreviewRequest request{output, nullptr, {}, "", false, 100};
    report::TBRPreviewInterface base;
    EXPECT_EQ(base.Show(request), nullptr);                 // the base class shows nothing
    report::TBRPreviewInterface::PreviewWithClass(request); // no class lent: nothing is shown
    EXPECT_EQ(CountingPreview::made, 0);

    const report::TBRServicesScope services(
        {.PreviewClass = [] { return std::make_unique<CountingPreview>(); }});
    report::TBRPreviewInterface::PreviewWithClass(request);
    report::TBRPreviewInterface::PreviewWithClass(request);
    EXPECT_EQ(CountingPreview::made, 2);
    EXPECT_EQ(CountingPreview::freed, 2);
    EXPECT_EQ(CountingPreview::shown, (std::vector<TBRPrinter *>{&output, &output}));

    // The standard class's modeless window lives on by itself and frees itself when closed.
    testpages::recordRun(output, 2, 1, 1);
    QPointer<QWidget> window = TBRStandardPreviewInterface().Show(request);
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(output.Client(), &static_cast<TBRStandardPreview *>(window.data())->Preview());
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(output.Client(), nullptr);
}

// ---- Search, save, export and load ----
