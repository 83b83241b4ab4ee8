// The selection run: one print job per selected name, in list order, each titled with its name;
// without a printer, nothing is printed and the message area says so.
#include "app/justerform.h"
#include "app/mainform.h"
#include "app/selectform.h"
#include "app/sheetoutput.h"
#include "output/printerdevice.h"
#include "platform/cp1252.h"
#include "preview/progressform.h"
#include "report/services.h"
#include "support/fakeprinter.h"
#include "support/modal.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// A printer that keeps the title and page count of each document.
struct JobLog : testsupport::FakePrinter {
    JobLog() : FakePrinter({.dpiX = 300, .dpiY = 300, .name = "tavle-test"}) {}
};

class SelectionRun : public ::testing::Test {
protected:
    SelectionRun()
    {
        table.setMessageSink([this](const std::string &m) { mainForm.appendMessage(m); });
        mainForm.setFileChooser(
            [] { return QStringLiteral(TAVLE_SOURCE_DIR "/examples/skema.csv"); });
        mainForm.ButtonSourceClick();
        selectForm.setSheetOutput(app::SheetOutput(table, mainForm, justerForm, &selectForm));
        selectForm.setNames(table.Listing(timetable::SelectionMode::Teachers).names);
        list = selectForm.findChild<QListWidget *>("ListBox");
    }

    timetable::Timetable table;
    app::TMainForm mainForm{table};
    app::TSelectForm selectForm{table, &mainForm};
    app::TJusterForm justerForm{&mainForm};
    QListWidget *list = nullptr;

    // Loads an export in `dir` whose one teacher, AB, has `tiles` lessons, and lists it.
    void loadOneTeacher(const QTemporaryDir &dir, int tiles);
};

} // namespace

TEST_F(SelectionRun, EverySelectedNameIsItsOwnJobInListOrderTitledWithTheName)
{
    JobLog printer;
    const report::TBRServicesScope services({.PrinterDevice = [&printer] { return &printer; }});
    list->item(5)->setSelected(true);
    list->item(1)->setSelected(true);
    list->item(7)->setSelected(true);
    selectForm.findChild<QPushButton *>("PrintButton")->click();

    ASSERT_EQ(printer.jobs.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const int row = std::array{1, 5, 7}[i];
        EXPECT_EQ(printer.jobs[i].title, platform::fromQString(list->item(row)->text()));
        EXPECT_GE(printer.jobs[i].pages, 1);
    }
    EXPECT_TRUE(list->item(5)->isSelected()) << "the run leaves the selection as it was";
    const QString memo = mainForm.findChild<QPlainTextEdit *>("Memo")->toPlainText();
    for (const int row : {1, 5, 7})
        EXPECT_TRUE(memo.contains(QString::fromUtf8("Brikkerne for %1 er sendt til printeren "
                                                    "tavle-test.\n\n")
                                      .arg(list->item(row)->text())))
            << "no line names the printer of row " << row;
}

TEST_F(SelectionRun, WithoutAPrinterNothingIsPrintedAndTheMessageAreaSaysSo)
{
    const report::TBRServicesScope services({.PrinterDevice = [] { return nullptr; }});
    list->item(0)->setSelected(true);
    const QString name = list->item(0)->text();
    selectForm.findChild<QPushButton *>("PrintButton")->click();
    EXPECT_TRUE(mainForm.findChild<QPlainTextEdit *>("Memo")->toPlainText().endsWith(
        QString::fromUtf8(
            "Brikkerne for %1 blev ikke udskrevet, fordi der ikke er installeret nogen "
            "printer.\n\n")
            .arg(name)));
}

namespace {

// An export in `dir` whose one teacher, AB, has `tiles` lessons; returns its path.
QString oneTeacherExport(const QTemporaryDir &dir, int tiles)
{
    const QString file = dir.filePath(QStringLiteral("stor.csv"));
    std::ofstream out(file.toStdString(), std::ios::binary);
    out << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
           "PERIODEBETEGNELSE\r\n";
    for (int i = 0; i < tiles; ++i)
        out << "AB;" << i % 9 << "a;Fag" << i << ";Lokale" << i << ";Periode " << i << "\r\n";
    return file;
}

// A click as the window system delivers it: through the widget's window, so that a window
// blocked by a modal one does not get it (QTest's widget overloads skip that check).
void realClick(QWidget *widget)
{
    ASSERT_NE(widget, nullptr);
    QWindow *window = widget->window()->windowHandle();
    ASSERT_NE(window, nullptr) << "the widget's window is not shown";
    QTest::mouseClick(window, Qt::LeftButton, {},
                      widget->mapTo(widget->window(), widget->rect().center()));
}

// The progress window on screen now, wherever it belongs.
preview::TBRProgressForm *progressWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<preview::TBRProgressForm *>(w); form && form->isVisible())
            return form;
    return nullptr;
}

} // namespace

void SelectionRun::loadOneTeacher(const QTemporaryDir &dir, int tiles)
{
    const QString file = oneTeacherExport(dir, tiles);
    mainForm.setFileChooser([file] { return file; });
    mainForm.ButtonSourceClick();
    selectForm.setNames(table.Listing(timetable::SelectionMode::Teachers).names);
}

TEST_F(SelectionRun, AfbrydTakesARealClickWhileTheModalSelectionWindowPrints)
{
    // 600 tiles, 1800 bands: 30 sheets when nothing stops the print.
    QTemporaryDir dir;
    loadOneTeacher(dir, 600);

    JobLog printer;
    const report::TBRServicesScope services({.Progress = &preview::TBRProgressForm::Provide,
                                             .PrinterDevice = [&printer] { return &printer; }});
    selectForm.setWindowModality(Qt::ApplicationModal);
    selectForm.show();
    list->item(0)->setSelected(true);
    bool clicked = false;
    QTimer clicker; // clicks once the second sheet is under way
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (clicked || printer.jobs.empty() || printer.jobs[0].pages < 2)
            return;
        preview::TBRProgressForm *progress = progressWindow();
        ASSERT_NE(progress, nullptr) << "no progress window during the print";
        realClick(progress->findChild<QPushButton *>("CancelButton"));
        clicked = true;
    });
    clicker.start(0);
    realClick(selectForm.findChild<QPushButton *>("PrintButton"));
    ASSERT_TRUE(clicked);
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_LT(printer.jobs[0].pages, 4) << "the click on \"Afbryd\" did not stop the print";
    EXPECT_EQ(printer.aborted, 0) << "the sheets begun so far are printed";
    EXPECT_EQ(progressWindow(), nullptr) << "the progress window goes with its run";
}

TEST_F(SelectionRun, WhileARunGoesOnNothingStartsAnotherOrChangesTheTiles)
{
    JobLog printer;
    const report::TBRServicesScope services({.Progress = &preview::TBRProgressForm::Provide,
                                             .PrinterDevice = [&printer] { return &printer; }});
    mainForm.setSelectForm(&selectForm);
    mainForm.show();
    selectForm.setWindowModality(Qt::ApplicationModal);
    selectForm.show();
    list->item(0)->setSelected(true);
    list->item(1)->setSelected(true);
    const auto button = [this](QWidget &form, const char *name) {
        return form.findChild<QPushButton *>(name);
    };
    bool tried = false;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(selectForm.runActive());
        for (const char *name : {"PrintButton", "ShowButton", "Button1", "Button2"})
            EXPECT_FALSE(button(selectForm, name)->isEnabled()) << name;
        EXPECT_FALSE(button(mainForm, "ButtonSource")->isEnabled());
        EXPECT_FALSE(button(mainForm, "ButtonTeachers")->isEnabled());
        // A second "Udskriv", "Luk" and Esc, then "Vælg kildefil", clicked as a user would.
        realClick(button(selectForm, "PrintButton"));
        realClick(button(selectForm, "Button2"));
        QTest::keyClick(selectForm.windowHandle(), Qt::Key_Escape);
        realClick(button(mainForm, "ButtonSource"));
        mainForm.ButtonSourceClick(); // even called directly, it loads nothing now
        mainForm.close();
        tried = true;
    });
    realClick(button(selectForm, "PrintButton"));
    ASSERT_TRUE(tried);
    ASSERT_EQ(printer.jobs.size(), 2u) << "exactly the two names of the one run";
    EXPECT_EQ(printer.jobs[0].title, platform::fromQString(list->item(0)->text()));
    EXPECT_EQ(printer.jobs[1].title, platform::fromQString(list->item(1)->text()));
    EXPECT_TRUE(selectForm.isVisible()) << "Luk and Esc were ignored during the run";
    EXPECT_TRUE(mainForm.isVisible());
    EXPECT_EQ(table.tiles().size(), 800u);
    EXPECT_FALSE(selectForm.runActive());
    EXPECT_TRUE(button(selectForm, "PrintButton")->isEnabled());
    EXPECT_TRUE(button(mainForm, "ButtonSource")->isEnabled());
    EXPECT_TRUE(button(mainForm, "ButtonTeachers")->isEnabled());
    selectForm.hide();
}

TEST_F(SelectionRun, APreviewRunThatFailedIsShownByTheErrorDisplayWhenItHasEnded)
{
    // One teacher with pages enough to outgrow the page store's memory, and no folder for
    // its temporary file.
    QTemporaryDir dir;
    loadOneTeacher(dir, 600);
    list->item(0)->setSelected(true);

    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", dir.filePath(QStringLiteral("gone")).toUtf8());
    QString shown;
    const QPointer<QTimer> answer = testsupport::whenModal<QMessageBox>([&](QMessageBox &box) {
        shown = box.text();
        box.done(QMessageBox::Ok);
    });
    selectForm.findChild<QPushButton *>("ShowButton")->click();
    delete answer.data(); // the box was shown during the click, or never
    qputenv("TMPDIR", oldTmp);
    EXPECT_FALSE(shown.isEmpty()) << "the failed run was not shown";
}
