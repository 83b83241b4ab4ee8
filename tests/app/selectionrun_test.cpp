// The selection run: one print job per selected name, in list order, each titled with its name;
// without a printer, nothing is printed and the message area says so. With "Kun ændringer"
// against an earlier export: the change list, then the new tiles.
#include "app/boardform.h"
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
#include "support/systemfiles.h"
#include "timetable/board.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
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
        // A board of the test's own, set as the program sets it: before the selection window.
        mainForm.setBoard(&board);
        mainForm.setSelectForm(&selectForm);
        const app::SheetOutput output(table, mainForm, justerForm, &selectForm);
        selectForm.setSheetOutput(output);
        selectForm.setChangesOutput([output](app::OutputAction action,
                                             const timetable::TileDiff &diff,
                                             const std::vector<std::string> &names) {
            return output.changes(action, diff, names);
        });
        selectForm.setNames(table.Listing(timetable::SelectionMode::Teachers).names);
        list = selectForm.findChild<QListWidget *>("ListBox");
    }

    timetable::Timetable table;
    app::TMainForm mainForm{table};
    app::TSelectForm selectForm{table, &mainForm};
    app::TJusterForm justerForm{&mainForm};
    QTemporaryDir boardDir;
    timetable::TBoard board{std::filesystem::path(boardDir.filePath("tavle.sqlite").toStdString())};
    QListWidget *list = nullptr;

    // Loads an export in `dir` whose one teacher, AB, has `tiles` lessons, and lists it.
    void loadOneTeacher(const QTemporaryDir &dir, int tiles);
    // Chooses `file` with "Tidligere fil…" and lists the teachers again.
    void chooseEarlier(const QString &file)
    {
        mainForm.setFileChooser([file] { return file; });
        mainForm.ButtonEarlierClick();
        selectForm.setNames(table.Listing(timetable::SelectionMode::Teachers).names);
    }
    QString memo() const { return mainForm.findChild<QPlainTextEdit *>("Memo")->toPlainText(); }
    QCheckBox *changesBox() const { return selectForm.findChild<QCheckBox *>("CBChanges"); }
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
    EXPECT_TRUE(board.Names(timetable::SelectionMode::Teachers).empty())
        << "a stopped name is not put on the board";
    EXPECT_TRUE(memo().endsWith(QString::fromUtf8("Tavlen er ikke ændret for AB.\n\n")))
        << memo().right(200).toStdString();
}

TEST_F(SelectionRun, APrintOfSeveralNamesSaysWhichNameItIsAndEndsWithTheNamesAndSheetsSent)
{
    // A printer that notes what the progress window says as each job begins.
    struct NoteLog : JobLog {
        void BeginDoc() override
        {
            const preview::TBRProgressForm *progress = progressWindow();
            const QLabel *note = progress ? progress->findChild<QLabel *>("Note") : nullptr;
            notes.push_back(note ? note->text() : QString());
            JobLog::BeginDoc();
        }
        QStringList notes;
    } printer;
    const report::TBRServicesScope services({.Progress = &preview::TBRProgressForm::Provide,
                                             .PrinterDevice = [&printer] { return &printer; }});
    selectForm.setNames(table.Listing(timetable::SelectionMode::Classes).names);
    list->item(0)->setSelected(true);
    list->item(3)->setSelected(true);
    const QStringList names{list->item(0)->text(), list->item(3)->text()};
    selectForm.findChild<QPushButton *>("PrintButton")->click();
    ASSERT_EQ(printer.jobs.size(), 2u);
    EXPECT_EQ(printer.notes, (QStringList{QStringLiteral("Navn 1 af 2: ") + names[0],
                                          QStringLiteral("Navn 2 af 2: ") + names[1]}));
    EXPECT_TRUE(
        memo().endsWith(QString::fromUtf8("Brikkerne for %1 er sendt til printeren tavle-test.\n\n"
                                          "2 klasser sendt til tavle-test: %2 ark.\n\n")
                            .arg(names[1])
                            .arg(printer.jobs[0].pages + printer.jobs[1].pages)))
        << memo().right(200).toStdString();

    // One name alone: no count of names, and its progress window names nobody.
    list->clearSelection();
    list->item(1)->setSelected(true);
    selectForm.findChild<QPushButton *>("PrintButton")->click();
    EXPECT_EQ(printer.notes.back(), QString());
    EXPECT_TRUE(memo().endsWith(QString::fromUtf8("Brikkerne for %1 er sendt til printeren "
                                                  "tavle-test.\n\n")
                                    .arg(list->item(1)->text())));
}

TEST_F(SelectionRun, WhileARunGoesOnNothingStartsAnotherOrChangesTheTiles)
{
    JobLog printer;
    const report::TBRServicesScope services({.Progress = &preview::TBRProgressForm::Provide,
                                             .PrinterDevice = [&printer] { return &printer; }});
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

    const char *const tmp = testsupport::kTempFolderVariable;
    const QByteArray oldTmp = qgetenv(tmp);
    qputenv(tmp, dir.filePath(QStringLiteral("gone")).toUtf8());
    QString shown;
    const QPointer<QTimer> answer = testsupport::whenModal<QMessageBox>([&](QMessageBox &box) {
        shown = box.text();
        box.done(QMessageBox::Ok);
    });
    selectForm.findChild<QPushButton *>("ShowButton")->click();
    delete answer.data(); // the box was shown during the click, or never
    qputenv(tmp, oldTmp);
    EXPECT_FALSE(shown.isEmpty()) << "the failed run was not shown";
}

namespace {

// The example as a board printed earlier, in `dir`: JK's first lesson in room B7, his second
// missing, HD's first in period "Ti 9". Against the example: 3 new tiles (JK 2, HD 1) and 2
// to take down.
QString earlierExample(const QTemporaryDir &dir)
{
    std::ifstream in(TAVLE_SOURCE_DIR "/examples/skema.csv", std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), {});
    const QString file = dir.filePath(QStringLiteral("tidligere.csv"));
    std::ofstream out(file.toStdString(), std::ios::binary);
    for (std::size_t at = 0; at < content.size();) {
        const std::size_t end = content.find('\n', at);
        std::string line = content.substr(at, end - at + 1);
        at = end + 1;
        if (line.starts_with("1;Ma;"))
            line.replace(line.find(";A1;"), 4, ";B7;");
        else if (line.starts_with("2;Ma;"))
            continue;
        else if (line.starts_with("3;Ma;"))
            line.replace(line.find("Ma 3"), 4, "Ti 9");
        out << line;
    }
    return file;
}

const QString kNoChanges = QString::fromUtf8("Ingen ændringer mellem de to filer.\n\n");

// The example's lessons written in the opposite order, in `dir`: other bytes, the same tiles.
QString reorderedExample(const QTemporaryDir &dir)
{
    std::ifstream in(TAVLE_SOURCE_DIR "/examples/skema.csv", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    const QString file = dir.filePath(QStringLiteral("omvendt.csv"));
    std::ofstream out(file.toStdString(), std::ios::binary);
    out << lines.front() << "\n";
    for (auto line = lines.rbegin(); line + 1 != lines.rend(); ++line)
        out << *line << "\n";
    return file;
}

// Answers the next message box with the button `answer` ("OK", "Ja", "Nej") and returns a
// place for the text it showed.
std::shared_ptr<QString> answerBox(const QString &answer)
{
    auto shown = std::make_shared<QString>();
    testsupport::whenModal<QMessageBox>([shown, answer](QMessageBox &box) {
        *shown = box.text();
        for (QAbstractButton *button : box.buttons())
            if (button->text().remove(QLatin1Char('&')) == answer)
                button->click();
        if (box.isVisible())
            box.done(QMessageBox::Ok);
    });
    return shown;
}

} // namespace

TEST_F(SelectionRun, APrintedNameIsRecordedOnTheBoardAndAPreviewOrNoPrinterRecordsNothing)
{
    const report::TBRServicesScope none({.PrinterDevice = [] { return nullptr; }});
    list->item(3)->setSelected(true);
    selectForm.findChild<QPushButton *>("PrintButton")->click();
    selectForm.findChild<QPushButton *>("ShowButton")->click();
    EXPECT_TRUE(board.Names(timetable::SelectionMode::Teachers).empty());
    EXPECT_FALSE(changesBox()->isEnabled());

    JobLog printer;
    const report::TBRServicesScope services({.PrinterDevice = [&printer] { return &printer; }});
    list->clearSelection();
    list->item(5)->setSelected(true);
    list->item(1)->setSelected(true);
    selectForm.findChild<QPushButton *>("PrintButton")->click();
    ASSERT_EQ(printer.jobs.size(), 2u);
    const std::vector<timetable::BoardName> names = board.Names(timetable::SelectionMode::Teachers);
    ASSERT_EQ(names.size(), 2u);
    for (const timetable::BoardName &name : names) {
        EXPECT_TRUE(name.name == printer.jobs[0].title || name.name == printer.jobs[1].title)
            << name.name;
        EXPECT_GT(name.tileCount, 0u);
        EXPECT_EQ(name.source.printer, "tavle-test");
        EXPECT_EQ(name.source.filePath,
                  QFileInfo(QStringLiteral(TAVLE_SOURCE_DIR "/examples/skema.csv"))
                      .absoluteFilePath()
                      .toStdString());
        EXPECT_EQ(name.source.fileHash,
                  timetable::ExportFileHash(TAVLE_SOURCE_DIR "/examples/skema.csv"));
    }
    EXPECT_TRUE(board.Names(timetable::SelectionMode::Classes).empty());
    EXPECT_TRUE(changesBox()->isEnabled()) << "the board now holds teachers to compare with";
}

TEST_F(SelectionRun, KunAendringerWithNoEarlierFileListsExactlyTheNamesChangedOnTheBoard)
{
    // The board as printed from the earlier file on 12 August, every teacher of it.
    QTemporaryDir dir;
    const QString earlierFile = earlierExample(dir);
    timetable::Timetable earlier;
    earlier.LoadBrikker(std::filesystem::path(earlierFile.toStdString()));
    const std::int64_t august = QDateTime(QDate(2026, 8, 12), QTime(12, 0)).toMSecsSinceEpoch();
    board.RecordPrint(timetable::SelectionMode::Teachers, earlier,
                      earlier.Listing(timetable::SelectionMode::Teachers).names,
                      {QFileInfo(earlierFile).absoluteFilePath().toStdString(),
                       timetable::ExportFileHash(earlierFile.toStdString()), "tavle-test", august});

    mainForm.ButtonSourceClick(); // the example again
    EXPECT_TRUE(memo().endsWith(QString::fromUtf8(
        "Tavlen (lærere): 40 navne, senest udskrevet 12.08.2026 fra tidligere.csv. Ændringer: "
        "3 nye brikker, 2 skal tages ned.\n\n")))
        << memo().right(300).toStdString();
    selectForm.setNames(table.Listing(timetable::SelectionMode::Teachers).names);
    ASSERT_TRUE(changesBox()->isEnabled());
    changesBox()->setChecked(true);
    ASSERT_EQ(selectForm.names(), (std::vector<std::string>{"HD", "JK"}));

    list->selectAll();
    JobLog printer;
    const report::TBRServicesScope services({.PrinterDevice = [&printer] { return &printer; }});
    selectForm.findChild<QPushButton *>("PrintButton")->click();
    ASSERT_EQ(printer.jobs.size(), 2u) << memo().right(300).toStdString();
    const std::vector<std::vector<std::string>> pages = printer.pageTexts();
    ASSERT_FALSE(pages.empty());
    std::string heading;
    for (const std::string &text : pages.front())
        heading += text + "\n";
    EXPECT_NE(heading.find(platform::cp1252(u8"Tidligere fil: Tavlen (lærere)")), std::string::npos)
        << heading;
    // The new tiles printed, the board holds the example's tiles for HD and JK.
    EXPECT_EQ(
        timetable::CompareWithBoard(board, table, timetable::SelectionMode::Teachers).counts.added,
        0u);
    EXPECT_EQ(list->count(), 0) << "nothing differs from the board any more";
}

TEST_F(SelectionRun, TheBoardWindowListsThePrintedNamesAndGlemForgetsOneAfterAQuestion)
{
    JobLog printer;
    const report::TBRServicesScope services({.PrinterDevice = [&printer] { return &printer; }});
    list->item(1)->setSelected(true);
    list->item(5)->setSelected(true);
    selectForm.findChild<QPushButton *>("PrintButton")->click();
    ASSERT_EQ(printer.jobs.size(), 2u);

    // Opened from the main window, on the teachers listed last: the two names printed.
    int rows = -1;
    testsupport::whenModal<app::TBoardForm>([&rows](app::TBoardForm &form) {
        rows = form.findChild<QTreeWidget *>("BoardList")->topLevelItemCount();
        form.done(QDialog::Accepted);
    });
    mainForm.findChild<QPushButton *>("ButtonBoard")->click();
    EXPECT_EQ(rows, 2);

    app::TBoardForm form(board, table);
    auto *names = form.findChild<QTreeWidget *>("BoardList");
    ASSERT_EQ(names->topLevelItemCount(), 2);
    EXPECT_EQ(names->topLevelItem(0)->text(4), QString::fromUtf8("som tavlen"));
    EXPECT_EQ(names->topLevelItem(0)->text(3), QStringLiteral("skema.csv"));
    const QString first = names->topLevelItem(0)->text(0);
    names->setCurrentItem(names->topLevelItem(0));
    answerBox(QStringLiteral("Nej"));
    form.forget(false);
    EXPECT_EQ(board.Names(timetable::SelectionMode::Teachers).size(), 2u) << "\"Nej\" keeps it";
    const std::shared_ptr<QString> asked = answerBox(QStringLiteral("Ja"));
    form.forget(false);
    EXPECT_TRUE(asked->contains(first)) << asked->toStdString();
    ASSERT_EQ(board.Names(timetable::SelectionMode::Teachers).size(), 1u);
    EXPECT_NE(platform::toQString(board.Names(timetable::SelectionMode::Teachers)[0].name), first);
    EXPECT_EQ(names->topLevelItemCount(), 1);
    answerBox(QStringLiteral("Ja"));
    form.forget(true);
    EXPECT_TRUE(board.Names(timetable::SelectionMode::Teachers).empty());
    EXPECT_EQ(names->topLevelItemCount(), 0);
}

TEST_F(SelectionRun, OnlyAChosenEarlierFileEnablesKunAendringerAndARefusedOneKeepsTheChoice)
{
    EXPECT_FALSE(changesBox()->isEnabled());
    QTemporaryDir dir;
    const QString earlier = earlierExample(dir);
    chooseEarlier(earlier);
    EXPECT_TRUE(changesBox()->isEnabled());
    EXPECT_TRUE(memo().endsWith(
        QString::fromUtf8("Brikkerne på tavlen er udskrevet fra %1.\n\n"
                          "Ændringer siden tidligere.csv: 3 nye brikker, 2 brikker skal tages "
                          "ned.\n\n")
            .arg(QFileInfo(earlier).absoluteFilePath())))
        << memo().right(200).toStdString();

    // A file that is no export, and one that cannot be read: the error display's texts, and
    // the board stays the one chosen.
    const QString noExport = dir.filePath(QStringLiteral("brev.csv"));
    std::ofstream(noExport.toStdString()) << "Kære forældre\n";
    // Windows' NUL is no file to Qt, so no dialog gives it.
    QStringList refusedFiles{noExport};
    if (testsupport::kDeviceIsAFile)
        refusedFiles << testsupport::deviceName();
    for (const QString &refused : refusedFiles) {
        mainForm.setFileChooser([refused] { return refused; });
        const QString before = memo();
        QString shown;
        const QPointer<QTimer> answer = testsupport::whenModal<QMessageBox>([&](QMessageBox &box) {
            shown = box.text();
            box.done(QMessageBox::Ok);
        });
        mainForm.findChild<QPushButton *>("ButtonEarlier")->click();
        delete answer.data();
        EXPECT_FALSE(shown.isEmpty()) << refused.toStdString();
        EXPECT_EQ(memo(), before) << refused.toStdString();
        EXPECT_EQ(mainForm.earlierExport().path, QFileInfo(earlier).absoluteFilePath());
        EXPECT_EQ(mainForm.earlierExport().table->tiles().size(), 799u);
    }
    EXPECT_TRUE(changesBox()->isEnabled());

    // Loading the export again keeps the board and tells the changes again.
    mainForm.setFileChooser([] { return QStringLiteral(TAVLE_SOURCE_DIR "/examples/skema.csv"); });
    mainForm.ButtonSourceClick();
    EXPECT_TRUE(memo().endsWith(QString::fromUtf8(
        "Ændringer siden tidligere.csv: 3 nye brikker, 2 brikker skal tages ned.\n\n")));
}

TEST_F(SelectionRun, KunAendringerListsTheChangedNamesAndPrintsTheChangeListThenTheNewTiles)
{
    QTemporaryDir dir;
    chooseEarlier(earlierExample(dir));
    changesBox()->setChecked(true);
    ASSERT_EQ(selectForm.names(), (std::vector<std::string>{"HD", "JK"}));
    list->selectAll();

    JobLog printer;
    const report::TBRServicesScope services({.PrinterDevice = [&printer] { return &printer; }});
    selectForm.findChild<QPushButton *>("PrintButton")->click();
    ASSERT_EQ(printer.jobs.size(), 2u) << memo().right(300).toStdString();
    EXPECT_EQ(printer.jobs[0].title, platform::cp1252(u8"Ændringsliste"));
    EXPECT_EQ(printer.jobs[1].title, "Nye brikker");
    ASSERT_EQ(printer.jobs[1].pages, 1) << "three new tiles share one sheet";
    // The new tiles, three copies each: JK's two, HD's one; nothing of the board's old ones.
    const std::vector<std::vector<std::string>> texts = printer.pageTexts();
    std::string sheet;
    for (const std::string &text : texts.back())
        sheet += text + "\n";
    const auto count = [&sheet](const std::string &word) {
        int n = 0;
        for (std::size_t at = sheet.find(word); at != std::string::npos;
             at = sheet.find(word, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("JK"), 6) << sheet;
    EXPECT_EQ(count("HD"), 3) << sheet;
    EXPECT_EQ(count("Ti 9") + count("B7"), 0) << sheet;
    EXPECT_TRUE(memo().endsWith(
        QString::fromUtf8("Ændringslisten er sendt til printeren tavle-test.\n\n"
                          "De nye brikker er sendt til printeren tavle-test.\n\n")));

    changesBox()->setChecked(false);
    EXPECT_EQ(selectForm.names().size(), 40u) << "unticked, every teacher again";
}

TEST_F(SelectionRun, WithNothingChangedTheMessageAreaSaysSoAndNothingIsPrinted)
{
    QTemporaryDir dir;
    chooseEarlier(reorderedExample(dir));
    EXPECT_TRUE(memo().endsWith(kNoChanges));
    changesBox()->setChecked(true);
    EXPECT_EQ(list->count(), 0);

    JobLog printer;
    const report::TBRServicesScope services({.PrinterDevice = [&printer] { return &printer; }});
    const QString before = memo();
    selectForm.findChild<QPushButton *>("PrintButton")->click();
    selectForm.findChild<QPushButton *>("ShowButton")->click();
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_EQ(memo(), before + kNoChanges + kNoChanges);
}

TEST_F(SelectionRun, TidligereFilHasADialogOfItsOwnThatStartsOnTheBoardsFileLastChosen)
{
    QTemporaryDir dir;
    const QString earlier = QFileInfo(earlierExample(dir)).absoluteFilePath();
    const QString loaded =
        QFileInfo(QStringLiteral(TAVLE_SOURCE_DIR "/examples/skema.csv")).absoluteFilePath();
    mainForm.setFileChooser({}); // the real dialogs
    // Opens the dialog of "Tidligere fil…" of `form` and notes its title and the file it starts
    // on. (It is cancelled: a file typed into it waits for the dialog's file model, which on a
    // busy machine is not done in time.)
    const auto dialogSeen = [](app::TMainForm &form) {
        std::pair<QString, QString> seen;
        testsupport::whenModal<QFileDialog>([&seen](QFileDialog &dialog) {
            seen = {dialog.windowTitle(), dialog.selectedFiles().value(0)};
            dialog.reject();
        });
        form.findChild<QPushButton *>("ButtonEarlier")->click();
        return seen;
    };
    const QString title = QString::fromUtf8("Vælg den eksportfil, brikkerne på tavlen er "
                                            "udskrevet fra");
    auto [shownTitle, startFile] = dialogSeen(mainForm);
    EXPECT_EQ(shownTitle, title);
    EXPECT_NE(startFile, loaded) << "the export just loaded is no earlier file";
    chooseEarlier(earlier);
    EXPECT_EQ(mainForm.earlierExport().path, earlier);

    // A window made later starts on the board's file.
    app::TMainForm later(table);
    later.LoadExportFile(loaded);
    std::tie(shownTitle, startFile) = dialogSeen(later);
    EXPECT_EQ(startFile, earlier);
}

TEST_F(SelectionRun, TidligereFilRefusesTheLoadedExportAndAsksAboutAFileOfNearlyAllOtherTiles)
{
    QTemporaryDir dir;
    const QString earlier = QFileInfo(earlierExample(dir)).absoluteFilePath();
    chooseEarlier(earlier);
    const QString copy = dir.filePath(QStringLiteral("kopi.csv"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVLE_SOURCE_DIR "/examples/skema.csv"), copy));
    // The loaded export by its own path, and a copy of it: refused, and the message says why.
    for (const QString &same : {QStringLiteral(TAVLE_SOURCE_DIR "/examples/skema.csv"), copy}) {
        const QString before = memo();
        mainForm.setFileChooser([same] { return same; });
        const auto shown = answerBox(QStringLiteral("OK"));
        mainForm.ButtonEarlierClick();
        EXPECT_TRUE(shown->contains(QString::fromUtf8("der er indlæst nu")))
            << same.toStdString() << ": " << shown->toStdString();
        EXPECT_EQ(mainForm.earlierExport().path, earlier) << same.toStdString();
        EXPECT_EQ(memo(), before) << same.toStdString();
    }

    // Another school's file: asked first; "Nej" keeps the board chosen before, "Ja" takes it.
    const QString other = oneTeacherExport(dir, 30);
    mainForm.setFileChooser([other] { return other; });
    const auto asked = answerBox(QStringLiteral("Nej"));
    mainForm.ButtonEarlierClick();
    EXPECT_EQ(*asked, QString::fromUtf8("Næsten alle brikker er ændret (800 af 800). Er det den "
                                        "rigtige tidligere fil?"));
    EXPECT_EQ(mainForm.earlierExport().path, earlier);
    const auto again = answerBox(QStringLiteral("Ja"));
    mainForm.ButtonEarlierClick();
    EXPECT_FALSE(again->isEmpty());
    EXPECT_EQ(mainForm.earlierExport().path, QFileInfo(other).absoluteFilePath());
}
