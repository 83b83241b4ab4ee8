// The three windows driven through their handlers, headless.
#include "app/guidewindow.h"
#include "app/justerform.h"
#include "app/kalibreringform.h"
#include "app/mainform.h"
#include "app/screendescription.h"
#include "app/selectform.h"
#include "app/startposition.h"
#include "app/tapplication.h"
#include "output/brerror.h"
#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "platform/fonts.h"
#include "platform/printer.h"
#include "platform/recentfiles.h"
#include "support/modal.h"
#include "support/systemfiles.h"
#include "support/waitfor.h"
#include "testqueues.h"
#include "tilesheet/keptmargins.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <cerrno>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

const QString kExample = QStringLiteral(TAVLE_SOURCE_DIR "/examples/skema.csv");

// Runs `inspect` on the next modal window that opens, then closes it.
void whenModalOpens(std::function<void(QWidget *)> inspect)
{
    testsupport::whenModal<QWidget>([inspect = std::move(inspect)](QWidget &modal) {
        inspect(&modal);
        if (auto *dialog = qobject_cast<QDialog *>(&modal))
            dialog->done(QDialog::Accepted);
        else
            modal.close();
    });
}

// The controls are reached by their names, as the windows' definitions give them.
template <typename T> T *child(QWidget &form, const char *name)
{
    T *found = form.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

struct MainControls {
    explicit MainControls(QWidget &f)
        : Memo(child<QPlainTextEdit>(f, "Memo")),
          ButtonSource(child<QPushButton>(f, "ButtonSource")),
          ButtonTeachers(child<QPushButton>(f, "ButtonTeachers")),
          Button1(child<QPushButton>(f, "Button1")),
          ButtonClasses(child<QPushButton>(f, "ButtonClasses")),
          CBRammer(child<QCheckBox>(f, "CBRammer")), Label1(child<QLabel>(f, "Label1"))
    {}
    QPlainTextEdit *Memo;
    QPushButton *ButtonSource, *ButtonTeachers, *Button1, *ButtonClasses;
    QCheckBox *CBRammer;
    QLabel *Label1;
};

struct SelectControls {
    explicit SelectControls(QWidget &f)
        : ListBox(child<QListWidget>(f, "ListBox")),
          ShowButton(child<QPushButton>(f, "ShowButton")),
          PrintButton(child<QPushButton>(f, "PrintButton"))
    {}
    QListWidget *ListBox;
    QPushButton *ShowButton, *PrintButton;
};

struct JusterControls {
    explicit JusterControls(QWidget &f)
        : SpinTopMargin(child<QDoubleSpinBox>(f, "SpinTopMargin")),
          SpinLeftMargin(child<QDoubleSpinBox>(f, "SpinLeftMargin")),
          SpinBottomMargin(child<QDoubleSpinBox>(f, "SpinBottomMargin")),
          SpinRightMargin(child<QDoubleSpinBox>(f, "SpinRightMargin")),
          Button1(child<QPushButton>(f, "Button1"))
    {}
    QDoubleSpinBox *SpinTopMargin, *SpinLeftMargin, *SpinBottomMargin, *SpinRightMargin;
    QPushButton *Button1;
};

void saveScreenshot(QWidget &w, const char *name)
{
    QDir().mkpath(TAVLE_BINARY_DIR "/screenshots");
    w.grab().save(QStringLiteral(TAVLE_BINARY_DIR "/screenshots/") + name);
}

class Forms : public ::testing::Test {
protected:
    Forms()
    {
        table.setMessageSink([this](const std::string &m) { mainForm.appendMessage(m); });
        mainForm.setSelectForm(&selectForm);
        selectForm.setJusterForm(&justerForm);
        mainForm.setFileChooser([this] { return chosen; });
    }
    QString memo() { return main.Memo->toPlainText(); }

    timetable::Timetable table;
    app::TMainForm mainForm{table};
    app::TSelectForm selectForm{table, &mainForm};
    app::TJusterForm justerForm{&mainForm};
    std::optional<QString> chosen;
    MainControls main{mainForm};
    SelectControls select{selectForm};
};

const QString kInitialMemo =
    QString::fromUtf8("Tryk på [Kilde] for at vælge den CSV-fil, du har eksporteret fra Zelo "
                      "eller Kvadrix Skemalægning med oplysninger om de brikker, du ønsker at "
                      "udskrive.\n\n");
// What the example file holds, as the message area tells it after the load.
const QString kReading =
    QString::fromUtf8("Læser brikker...\n\nLæst: 800 lektioner, 40 lærere, 25 klasser.\n\n");
const QString kChooseMode = QString::fromUtf8(
    "Tryk på knappen [Vælg lærere] eller [Vælg klasser] for at vælge, om du vil udskrive med fast "
    "lærerfarve eller fast klassefarve på brikkerne!\n\n");

} // namespace

TEST_F(Forms, MainWindowStartsWithOnlySourceAndCloseUsable)
{
    mainForm.show();
    saveScreenshot(mainForm, "mainform.png");
    EXPECT_EQ(mainForm.windowTitle(), QString::fromUtf8("Tavleplanner v. 2.2"));
    EXPECT_EQ(mainForm.size(), QSize(353, 338));
    EXPECT_EQ(memo(), kInitialMemo);
    EXPECT_TRUE(main.ButtonSource->isEnabled());
    EXPECT_TRUE(main.Button1->isEnabled());
    EXPECT_FALSE(main.ButtonTeachers->isEnabled());
    EXPECT_FALSE(main.ButtonClasses->isEnabled());
    EXPECT_FALSE(mainForm.cutFrames());

    // Tab order: memo, source, teachers, close, classes, check box.
    const std::vector<QWidget *> controls = {main.Memo,    main.ButtonSource,  main.ButtonTeachers,
                                             main.Button1, main.ButtonClasses, main.CBRammer};
    std::vector<QWidget *> chain;
    for (QWidget *w = main.Memo; chain.size() < controls.size(); w = w->nextInFocusChain()) {
        if (std::find(controls.begin(), controls.end(), w) != controls.end())
            chain.push_back(w);
    }
    EXPECT_EQ(chain, controls);
}

TEST_F(Forms, F1OpensTheDanishGuideOverTheWindowWithItsPicturesWithinIt)
{
    app::InstallGuideKey(*qApp);
    mainForm.show();
    mainForm.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainForm));
    QTest::keyClick(&mainForm, Qt::Key_F1);
    auto *guide = mainForm.findChild<QWidget *>("GuideWindow", Qt::FindDirectChildrenOnly);
    ASSERT_NE(guide, nullptr);
    auto *text = guide->findChild<QTextBrowser *>("GuideText");
    ASSERT_NE(text, nullptr);
    for (const char *heading : {"Sådan udskriver du brikker", "Når skemaet ændres",
                                "Når brikkerne kommer forskudt ud: prøvearket"})
        EXPECT_TRUE(text->toPlainText().contains(QString::fromUtf8(heading))) << heading;
    // The user's guide: the installation and the terminal stay in the README.
    for (const char *left : {"Installation", "apt-get", "tavleprint", "terminal"})
        EXPECT_FALSE(text->toPlainText().contains(QString::fromUtf8(left))) << left;
    // The preview's screenshot is wider than the window: shown narrower, the text never scrolls
    // sideways.
    EXPECT_LE(text->document()->size().width(), text->viewport()->width() + 1);
    guide->close();
}

TEST(Guide, IsFoundBesideTheProgramAsWindowsInstallsItAndUnderShareElsewhere)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir folder(root.path());
    const auto write = [&](const QString &name) {
        ASSERT_TRUE(folder.mkpath(QFileInfo(folder.filePath(name)).path()));
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
    ASSERT_TRUE(folder.mkpath(QStringLiteral("bin")));
    const auto guide = [&] {
        return app::GuideFile(folder.filePath(QStringLiteral("bin"))).toStdString();
    };
    const auto path = [&](const QString &name) {
        return QFileInfo(folder.filePath(name)).canonicalFilePath().toStdString();
    };
    EXPECT_EQ(guide(), "");
    write(QStringLiteral("share/tavleplanner/vejledning.md"));
    EXPECT_EQ(guide(), path(QStringLiteral("share/tavleplanner/vejledning.md")));
    // Windows: the program's folder holds the guide and its doc/images.
    write(QStringLiteral("bin/vejledning.md"));
    EXPECT_EQ(guide(), path(QStringLiteral("bin/vejledning.md")));
}

TEST_F(Forms, LoadingWritesTheMessagesAndEnablesTheListButtons)
{
    mainForm.ButtonSourceClick(); // cancelled dialog: nothing happens
    EXPECT_EQ(memo(), kInitialMemo);
    chosen = QStringLiteral("/nonexistent/skema.csv");
    mainForm.ButtonSourceClick(); // a file that does not exist: nothing either
    EXPECT_EQ(memo(), kInitialMemo);
    EXPECT_FALSE(main.ButtonTeachers->isEnabled());

    chosen = kExample;
    mainForm.ButtonSourceClick();
    mainForm.ButtonSourceClick();
    EXPECT_EQ(memo(), kInitialMemo + kReading + kChooseMode + kReading + kChooseMode);
    EXPECT_TRUE(main.ButtonTeachers->isEnabled());
    EXPECT_TRUE(main.ButtonClasses->isEnabled());
    EXPECT_EQ(mainForm.exportFilePath(), QFileInfo(kExample).absoluteFilePath());
    EXPECT_EQ(table.tiles().size(), 800u);
}

TEST_F(Forms, AFileDroppedOnTheWindowLoadsOrOpensInThePreviewAndTheOpenDialogRemembersIt)
{
    const auto drop = [this](const QString &file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDropEvent event(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        // Straight to the window, as the drag manager hands a drop over.
        static_cast<QObject &>(mainForm).event(&event);
        EXPECT_TRUE(event.isAccepted());
    };
    QStringList opened;
    mainForm.setReportOpener([&opened](const QString &file) { opened << file; });
    drop(kExample);
    ASSERT_TRUE(testsupport::waitFor([this] { return memo().endsWith(kChooseMode); }));
    EXPECT_EQ(memo(), kInitialMemo + kReading + kChooseMode);
    EXPECT_EQ(table.tiles().size(), 800u);
    EXPECT_TRUE(opened.isEmpty());
    drop(QStringLiteral("/tmp/Lærer ark.BRP"));
    ASSERT_TRUE(testsupport::waitFor([&opened] { return !opened.isEmpty(); }));
    EXPECT_EQ(opened, QStringList{QStringLiteral("/tmp/Lærer ark.BRP")});
    EXPECT_EQ(memo(), kInitialMemo + kReading + kChooseMode) << "a saved report is not loaded";

    // A window made later starts its open dialog at the file loaded last.
    app::TMainForm later(table);
    QString folder, file;
    testsupport::whenModal<QFileDialog>([&folder, &file](QFileDialog &dialog) {
        folder = dialog.directory().absolutePath();
        file = dialog.selectedFiles().value(0);
        dialog.reject();
    });
    later.ButtonSourceClick();
    EXPECT_EQ(folder, QFileInfo(kExample).absolutePath());
    EXPECT_EQ(file, QFileInfo(kExample).absoluteFilePath());
}

TEST_F(Forms, AFailedLoadShowsTheErrorBoxAndLeavesTheButtons)
{
    chosen = QDir::tempPath(); // exists, but is no file to read
    QString shown, caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModalOpens([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        caption = box->windowTitle();
        icon = box->icon();
    });
    main.ButtonSource->click();
    EXPECT_EQ(shown, QStringLiteral("File access denied."));
    EXPECT_EQ(caption, QStringLiteral("Tavleplanner"));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_FALSE(main.ButtonTeachers->isEnabled());
    EXPECT_EQ(memo(), kInitialMemo) << "a refused file is not read at all";
}

TEST_F(Forms, AFileThatIsNoRegularFileIsRefusedAndTheTilesLoadedBeforeStay)
{
    chosen = kExample;
    mainForm.ButtonSourceClick();
    ASSERT_EQ(table.tiles().size(), 800u);
    const QString before = memo();
    // Windows' NUL is no file to Qt, so no dialog gives it: there only the folder is tried.
    QStringList refusedFiles{QDir::tempPath()};
    if (testsupport::kDeviceIsAFile)
        refusedFiles.prepend(testsupport::deviceName());
    for (const QString &refused : refusedFiles) {
        chosen = refused;
        QString shown;
        whenModalOpens([&](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w))
                shown = box->text();
        });
        main.ButtonSource->click();
        EXPECT_EQ(shown, QStringLiteral("File access denied.")) << refused.toStdString();
        EXPECT_EQ(table.tiles().size(), 800u) << refused.toStdString();
        EXPECT_EQ(memo(), before);
        EXPECT_TRUE(main.ButtonTeachers->isEnabled());
        EXPECT_EQ(mainForm.exportFilePath(), QFileInfo(kExample).absoluteFilePath());
    }
}

TEST_F(Forms, AFileThatCannotBeOpenedKeepsTheTilesAndTheNameOfTheirFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "takes the descriptors away with setrlimit, which Windows has not";
#else
    chosen = kExample;
    mainForm.ButtonSourceClick();
    ASSERT_EQ(table.tiles().size(), 800u);
    const QString other = QDir::temp().filePath(QStringLiteral("andet-skema.csv"));
    QFile::remove(other);
    ASSERT_TRUE(QFile::copy(kExample, other));
    // No descriptor left to open it with: the open itself fails, before a byte is read. (The
    // error is made once beforehand: a sanitizer checking its type the first time needs a
    // descriptor of its own.)
    EXPECT_EQ(platform::EInOutError::fromErrno(EMFILE).errorCode(), 4);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const int lowestFree = ::dup(0);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    rlimit none = limit;
    none.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    bool failed = false;
    try {
        mainForm.LoadExportFile(other);
    } catch (const platform::EInOutError &) {
        failed = true;
    }
    ::setrlimit(RLIMIT_NOFILE, &limit);
    QFile::remove(other);
    EXPECT_TRUE(failed);
    EXPECT_EQ(table.tiles().size(), 800u);
    EXPECT_EQ(mainForm.exportFilePath(), QFileInfo(kExample).absoluteFilePath())
        << "the sheets name the file their tiles came from";
    EXPECT_TRUE(memo().endsWith(QStringLiteral(
        "Filen andet-skema.csv kunne ikke læses. Brikkerne fra skema.csv er stadig indlæst.\n\n")))
        << memo().toStdString();
#endif
}

TEST(ErrorDisplay, AppendsAFullStopOnlyAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(app::errorDisplayText("File not found"), "File not found.");
    EXPECT_EQ(app::errorDisplayText("Done."), "Done.");
    EXPECT_EQ(app::errorDisplayText("I/O error 5)"), "I/O error 5)");
    EXPECT_EQ(app::errorDisplayText("Fejl: \xF8"), "Fejl: \xF8.");
    EXPECT_EQ(app::errorDisplayText(""), "");
}

TEST(ErrorDisplay, SpeaksDanishForTheEnginesTextsAndNamesTheFile)
{
    using output::EBRFileFailure;
    const std::runtime_error damaged("Damaged report file: a page record runs past the end");
    const struct {
        QString shown;
        QString expected;
    } cases[] = {
        {app::desktopErrorText(EBRFileFailure("/home/aj/AJ.brp", damaged)),
         QStringLiteral("Udskriftsfilen AJ.brp er beskadiget: a page record runs past the end")},
        {app::desktopErrorText(EBRFileFailure("/tmp/x.brp", output::EReadError())),
         QStringLiteral("Udskriftsfilen x.brp er beskadiget: den slutter for tidligt.")},
        {app::desktopErrorText(std::runtime_error("The printer did not take the job: Not found")),
         QStringLiteral("Printeren tog ikke imod udskriften: Not found")},
        {app::desktopErrorText(EBRFileFailure(
             "/tmp/ud.pdf", std::runtime_error("Cannot write the file /tmp/ud.pdf"))),
         QStringLiteral("Filen ud.pdf kan ikke skrives.")},
        {app::desktopErrorText(std::runtime_error("File not found")),
         QStringLiteral("File not found.")},
        {app::desktopErrorText(platform::EFileNotWritten("/home/aj/out.pdf", ENOSPC)),
         QStringLiteral("Disken er fuld: kunne ikke skrive out.pdf")},
        {app::desktopErrorText(platform::EFileNotWritten("/media/usb/aj.brp", EROFS)),
         QStringLiteral("Disken er skrivebeskyttet: kunne ikke skrive aj.brp")},
        {app::desktopErrorText(platform::EFileNotWritten("/home/aj/x/aj.xlsx", ENOENT)),
         QStringLiteral("Mappen findes ikke: kunne ikke skrive aj.xlsx")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.shown, c.expected);
}

TEST_F(Forms, ListingsFillTheSelectionWindowInTileOrder)
{
    chosen = kExample;
    mainForm.ButtonSourceClick();
    QStringList listed;
    whenModalOpens([&](QWidget *w) {
        ASSERT_EQ(w, &selectForm);
        saveScreenshot(selectForm, "selectform.png");
        for (int i = 0; i < select.ListBox->count(); ++i)
            listed << select.ListBox->item(i)->text();
    });
    main.ButtonTeachers->click();
    ASSERT_EQ(listed.size(), 40);
    EXPECT_EQ(table.selectionMode(), timetable::SelectionMode::Teachers);
    for (int i = 1; i < listed.size(); ++i)
        EXPECT_LT(platform::fromQString(listed[i - 1]), platform::fromQString(listed[i]))
            << "byte order";

    whenModalOpens([&](QWidget *) {
        listed.clear();
        for (int i = 0; i < select.ListBox->count(); ++i)
            listed << select.ListBox->item(i)->text();
    });
    main.ButtonClasses->click();
    EXPECT_EQ(listed.size(), 25);
    EXPECT_EQ(listed.front(), QStringLiteral("0a"));
    EXPECT_EQ(table.selectionMode(), timetable::SelectionMode::Classes);
}

TEST_F(Forms, OutputButtonsWalkTheSelectedEntriesInListOrder)
{
    chosen = kExample;
    mainForm.ButtonSourceClick();
    table.Listing(timetable::SelectionMode::Classes);
    selectForm.setNames({"7b", "0a", "9a"});
    std::vector<std::pair<app::OutputAction, std::string>> runs;
    std::vector<std::size_t> printListSizes;
    std::vector<std::vector<std::string>> laterNames;
    bool stopFirst = false;
    selectForm.setSheetOutput(
        [&](app::OutputAction action, const std::vector<std::string> &names, std::size_t index) {
            runs.emplace_back(action, names.at(index));
            printListSizes.push_back(table.printList().size());
            laterNames.emplace_back(names.begin() + static_cast<std::ptrdiff_t>(index) + 1,
                                    names.end());
            return !stopFirst;
        });
    selectForm.ShowButtonClick(select.ShowButton);
    EXPECT_TRUE(runs.empty()) << "nothing selected, nothing done";

    select.ListBox->item(0)->setSelected(true);
    select.ListBox->item(2)->setSelected(true);
    select.PrintButton->click();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], std::make_pair(app::OutputAction::Print, std::string("7b")));
    EXPECT_EQ(runs[1], std::make_pair(app::OutputAction::Print, std::string("9a")));
    EXPECT_GT(printListSizes[0], 0u);
    select.ShowButton->click();
    EXPECT_EQ(runs[2].first, app::OutputAction::Preview);
    EXPECT_TRUE(select.ListBox->item(0)->isSelected()) << "selection kept";
    EXPECT_EQ(laterNames[0], std::vector<std::string>{"9a"});
    EXPECT_TRUE(laterNames[1].empty());

    // A name stopped by "Afbryd" ends the run: the names after it are not started.
    select.ListBox->item(1)->setSelected(true);
    stopFirst = true;
    select.PrintButton->click();
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[4].second, "7b");
    EXPECT_EQ(laterNames[4], (std::vector<std::string>{"0a", "9a"}));
    EXPECT_TRUE(select.PrintButton->isEnabled()) << "the run has ended";
}

TEST_F(Forms, MarginsClampStepAndRestoreStandard)
{
    const auto m0 = justerForm.margins();
    EXPECT_DOUBLE_EQ(m0.top, 8.5);
    EXPECT_DOUBLE_EQ(m0.left, 12.0);
    EXPECT_DOUBLE_EQ(m0.bottom, 9.0);
    EXPECT_DOUBLE_EQ(m0.right, 20.0);

    justerForm.show();
    QApplication::setActiveWindow(&justerForm);
    saveScreenshot(justerForm, "justerform.png");
    JusterControls ui(justerForm);
    const auto typeInto = [](QDoubleSpinBox *spin, const QString &text) {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, text);
        QTest::keyClick(spin, Qt::Key_Tab);
    };
    // 600 becomes 500, which with the bottom margin of 9 leaves no room for the tiles: refused.
    typeInto(ui.SpinTopMargin, QStringLiteral("600"));
    EXPECT_DOUBLE_EQ(justerForm.margins().top, 8.5);
    typeInto(ui.SpinBottomMargin, QStringLiteral("-600"));
    EXPECT_DOUBLE_EQ(justerForm.margins().bottom, -500.0);
    typeInto(ui.SpinTopMargin, QStringLiteral("600"));
    EXPECT_DOUBLE_EQ(justerForm.margins().top, 500.0);
    typeInto(ui.SpinLeftMargin, QStringLiteral("0"));
    EXPECT_DOUBLE_EQ(justerForm.margins().left, 0.0);
    // An emptied field, or a lone sign, keeps the margin it had.
    for (const QString &typed : {QString(), QStringLiteral("-"), QStringLiteral(",")}) {
        typeInto(ui.SpinTopMargin, typed.isEmpty() ? QStringLiteral("\b") : typed);
        EXPECT_DOUBLE_EQ(justerForm.margins().top, 500.0) << typed.toStdString();
        EXPECT_EQ(ui.SpinTopMargin->text(), QLocale().toString(500.0, 'f', 1));
    }
    ui.SpinRightMargin->setFocus();
    QTest::keyClick(ui.SpinRightMargin, Qt::Key_Up);
    EXPECT_NEAR(justerForm.margins().right, 20.1, 1e-9);
    EXPECT_EQ(ui.SpinRightMargin->text(), QLocale().toString(20.1, 'f', 1));

    justerForm.close(); // the title-bar button keeps the values
    EXPECT_DOUBLE_EQ(justerForm.margins().top, 500.0);
    ui.Button1->click();
    const auto m1 = justerForm.margins();
    EXPECT_DOUBLE_EQ(m1.top, 8.5);
    EXPECT_DOUBLE_EQ(m1.left, 12.0);
    EXPECT_DOUBLE_EQ(m1.bottom, 9.0);
    EXPECT_DOUBLE_EQ(m1.right, 20.0);
}

TEST_F(Forms, MarginsAreKeptForThePrinterAndAFailedWriteIsToldOnce)
{
    app::TJusterForm kept(&mainForm, nullptr);
    if (kept.printerName().empty())
        GTEST_SKIP() << "no printer installed: nothing is kept";
    QTemporaryDir dir;
    const tilesheet::KeptMargins file(dir.filePath(QStringLiteral("Tavleplanner.ini")));
    {
        app::TJusterForm first(&mainForm, &file);
        EXPECT_EQ(first.margins(), app::kStandardMargins) << "nothing kept yet";
        first.setMargins({10.5, 11.0, 9.0, 20.0});
        first.close();
    }
    app::TJusterForm again(&mainForm, &file);
    EXPECT_EQ(again.margins(), (app::Margins{10.5, 11.0, 9.0, 20.0}));
    EXPECT_EQ(child<QComboBox>(again, "ComboPrinter")->currentText(),
              platform::toQString(again.printerName()));
    EXPECT_EQ(again.printerName(), platform::TPrinter::StandardPrinterName());

    // A settings folder that is a plain file: said once in the message area, however often the
    // window closes.
    QFile blocker(dir.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const tilesheet::KeptMargins unwritable(dir.filePath(QStringLiteral("blocked/T.ini")));
    app::TJusterForm failing(&mainForm, &unwritable);
    failing.setMessageSink([this](const std::string &m) { mainForm.appendMessage(m); });
    for (int i = 0; i < 3; ++i) {
        failing.show();
        failing.close();
    }
    EXPECT_EQ(memo().count(QString::fromUtf8(u8"Printerjusteringen kunne ikke gemmes")), 1)
        << memo().toStdString();
    EXPECT_TRUE(memo().contains(QString::fromUtf8(u8"gælder kun, til programmet lukkes.")));
}

TEST_F(Forms, MarginsThatLeaveNoRoomForTheTilesAreRefusedAndTheFieldKeepsItsLastGoodValue)
{
    justerForm.show();
    QApplication::setActiveWindow(&justerForm);
    JusterControls ui(justerForm);
    auto *message = child<QLabel>(justerForm, "LabelMessage");
    // Between refusals the message area is empty, or tells that without a printer nothing is
    // kept.
    const QString idle = child<QComboBox>(justerForm, "ComboPrinter")->count() > 0
                             ? QString()
                             : QString::fromUtf8(u8"Ingen printer installeret – værdierne gælder "
                                                 u8"kun, til programmet lukkes.");
    struct Row {
        QDoubleSpinBox *field;
        const char *typed;
        double kept; // the field's value after the edit
        const char8_t *says;
    };
    const Row rows[] = {
        {ui.SpinTopMargin, "290", 8.5,
         u8"Top- og bundmargen må tilsammen højst være 87,3 mm, ellers er der ikke plads til "
         u8"brikkernes seks rækker på arket. Topmargenen er sat tilbage til 8,5 mm."},
        {ui.SpinBottomMargin, "30", 30.0, u8""},
        {ui.SpinBottomMargin, "148", 30.0,
         u8"Top- og bundmargen må tilsammen højst være 87,3 mm, ellers er der ikke plads til "
         u8"brikkernes seks rækker på arket. Bundmargenen er sat tilbage til 30,0 mm."},
        {ui.SpinRightMargin, "70", 20.0,
         u8"Venstre og højre margen må tilsammen højst være 76,5 mm, ellers er der ikke plads "
         u8"til brikkernes ti kolonner på arket. Højre margen er sat tilbage til 20,0 mm."},
        {ui.SpinLeftMargin, "500", 12.0, u8"Venstre margen er sat tilbage til 12,0 mm."},
        {ui.SpinLeftMargin, "14", 14.0, u8""},
    };
    for (const Row &row : rows) {
        row.field->setFocus();
        row.field->selectAll();
        QTest::keyClicks(row.field, QString::fromLatin1(row.typed));
        QTest::keyClick(row.field, Qt::Key_Tab);
        if (row.field == ui.SpinTopMargin)
            saveScreenshot(justerForm, "justerform-refused.png");
        EXPECT_DOUBLE_EQ(row.field->value(), row.kept) << row.typed;
        const QString says = QString::fromUtf8(reinterpret_cast<const char *>(row.says));
        if (says.isEmpty())
            EXPECT_EQ(message->text(), idle) << row.typed << ": a good value clears it";
        else
            EXPECT_TRUE(message->text().contains(says)) << message->text().toStdString();
    }
    EXPECT_EQ(justerForm.margins(), (app::Margins{8.5, 14.0, 30.0, 20.0}));
    // The calibration's corrections are refused the same way.
    std::string refusal;
    EXPECT_FALSE(justerForm.setMargins({200.0, 14.0, 30.0, 20.0}, &refusal));
    EXPECT_EQ(justerForm.margins(), (app::Margins{8.5, 14.0, 30.0, 20.0}));
    EXPECT_EQ(platform::toQString(refusal).left(18), QStringLiteral("Top- og bundmargen"));
    ui.Button1->click();
    EXPECT_EQ(justerForm.margins(), app::kStandardMargins);
}

TEST_F(Forms, ThePrinterListDecidesWhosePrintersMarginsAreShownKeptAndCalibrated)
{
    const std::vector<std::string> printers = platform::TPrinter::Printers();
    const std::string standard = platform::TPrinter::StandardPrinterName();
    const auto other = std::find_if(printers.begin(), printers.end(),
                                    [&standard](const std::string &p) { return p != standard; });
    if (other == printers.end())
        GTEST_SKIP() << "fewer than two printers installed " << testqueues::kSetUpHint;
    QTemporaryDir dir;
    const tilesheet::KeptMargins file(dir.filePath(QStringLiteral("Tavleplanner.ini")));
    ASSERT_TRUE(file.write(*other, {6.3, 10.3, 9.0, 20.0}));
    app::TJusterForm form(&mainForm, &file);
    auto *list = child<QComboBox>(form, "ComboPrinter");
    EXPECT_EQ(list->count(), static_cast<int>(printers.size()));
    EXPECT_EQ(list->currentText(), platform::toQString(standard)) << "the standard printer first";
    ASSERT_TRUE(form.setMargins({7.0, 12.0, 9.0, 20.0}));

    list->setCurrentText(platform::toQString(*other));
    EXPECT_EQ(form.printerName(), *other);
    EXPECT_EQ(form.margins(), (app::Margins{6.3, 10.3, 9.0, 20.0})) << "the other's kept margins";
    EXPECT_EQ(form.marginsFor(standard), (app::Margins{7.0, 12.0, 9.0, 20.0}));
    EXPECT_EQ(file.read(standard), (app::Margins{7.0, 12.0, 9.0, 20.0})) << "kept on the change";

    // The calibration window lists them too, and its choice is the adjustment window's.
    app::TKalibreringForm calibration(form, &form);
    auto *calibrationList = child<QComboBox>(calibration, "ComboPrinter");
    EXPECT_EQ(calibrationList->currentText(), platform::toQString(*other));
    calibrationList->setCurrentText(platform::toQString(standard));
    EXPECT_EQ(form.printerName(), standard);
    EXPECT_EQ(list->currentText(), platform::toQString(standard));
    EXPECT_EQ(form.margins(), (app::Margins{7.0, 12.0, 9.0, 20.0}));
    EXPECT_EQ(form.marginsFor(*other), (app::Margins{6.3, 10.3, 9.0, 20.0}));
}

TEST_F(Forms, KeptSettingsThatCannotBeReadOrUsedAreToldOnceAndTheDamagedFileIsKeptAside)
{
    const std::string printer = platform::TPrinter::StandardPrinterName();
    if (printer.empty())
        GTEST_SKIP() << "no printer installed: nothing is kept";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavleplanner.ini"));
    const QByteArray damaged = "lorem ipsum\n[margins]\n" + QByteArray::fromStdString(printer) +
                               "\\top=1e308\n" + QByteArray::fromStdString(printer) + "\\left=11\n";
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(damaged);
    }
    const tilesheet::KeptMargins file(path);
    app::TJusterForm form(&mainForm, &file);
    form.setMessageSink([this](const std::string &m) { mainForm.appendMessage(m); });
    EXPECT_EQ(form.margins(), (app::Margins{8.5, 11.0, 9.0, 20.0}));
    form.marginsFor(printer);
    form.show();
    form.close();
    form.show();
    form.close();
    const QString said = memo();
    EXPECT_EQ(
        said.count(QString::fromUtf8(u8"De gemte indstillinger i %1 kunne ikke læses").arg(path)),
        1)
        << said.toStdString();
    EXPECT_EQ(said.count(QString::fromUtf8(u8"Den gemte topmargen for printeren %1 (1e308) kan "
                                           u8"ikke bruges; standardværdien 8,5 mm bruges i stedet.")
                             .arg(platform::toQString(printer))),
              1)
        << said.toStdString();
    QFile aside(path + QStringLiteral(".damaged"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly)) << "kept before the file was written over";
    EXPECT_EQ(aside.readAll(), damaged);
    EXPECT_TRUE(file.readsCleanly());
}

TEST_F(Forms, TheCutFrameChoiceIsKeptBetweenRuns)
{
    ASSERT_FALSE(mainForm.cutFrames());
    main.CBRammer->click();
    EXPECT_TRUE(app::TMainForm(table).cutFrames()) << "the next start has it ticked";
    main.CBRammer->click();
    EXPECT_FALSE(app::TMainForm(table).cutFrames());
}

TEST_F(Forms, MarginsTakeAPointOrACommaAsTheDecimalSeparatorInAnyLanguage)
{
    justerForm.show();
    QApplication::setActiveWindow(&justerForm);
    JusterControls ui(justerForm);
    struct Row {
        const char *name;
        QLocale locale;
        const char *typed;
        double value;
        const char *shown;
    };
    const Row rows[] = {
        {"Danish, point", QLocale(QLocale::Danish, QLocale::Denmark), "8.5", 8.5, "8,5"},
        {"Danish, comma", QLocale(QLocale::Danish, QLocale::Denmark), "12,5", 12.5, "12,5"},
        {"Danish, group separator never", QLocale(QLocale::Danish, QLocale::Denmark), "1.000", 1.0,
         "1,0"},
        {"C, comma", QLocale::c(), "12,34", 12.3, "12.3"},
        {"C, point", QLocale::c(), "-7.5", -7.5, "-7.5"},
        {"English, clamped", QLocale(QLocale::English), "-612.5", -500.0, "-500.0"},
    };
    for (const Row &row : rows) {
        ui.SpinTopMargin->setLocale(row.locale);
        ui.SpinTopMargin->setFocus();
        ui.SpinTopMargin->selectAll();
        QTest::keyClicks(ui.SpinTopMargin, QString::fromUtf8(row.typed));
        QTest::keyClick(ui.SpinTopMargin, Qt::Key_Tab);
        EXPECT_NEAR(justerForm.margins().top, row.value, 1e-9) << row.name;
        EXPECT_EQ(ui.SpinTopMargin->text(), QString::fromUtf8(row.shown)) << row.name;
    }
}

TEST_F(Forms, TheMessageAreaTakesTheGrowthAndTheControlsKeepBelowIt)
{
    mainForm.show();
    mainForm.resize(453, 438);
    auto &ui = main;
    EXPECT_EQ(ui.Memo->geometry(), QRect(11, 10, 428, 338));
    EXPECT_EQ(ui.ButtonSource->geometry(), QRect(11, 364, 75, 25));
    EXPECT_EQ(child<QPushButton>(mainForm, "ButtonEarlier")->geometry(), QRect(95, 364, 75, 25));
    EXPECT_EQ(ui.Button1->geometry(), QRect(264, 404, 75, 25));
    // The check box keeps to the buttons below the message area, not over it.
    EXPECT_EQ(ui.CBRammer->geometry(), QRect(16, 404, 17, 17));
    EXPECT_EQ(ui.Label1->geometry(), QRect(36, 403, 109, 27));
    EXPECT_FALSE(ui.Memo->geometry().intersects(ui.Label1->geometry()));
    // Made small, the window stops where every control still shows.
    mainForm.resize(100, 100);
    EXPECT_GE(mainForm.width(), 353);
    EXPECT_GE(mainForm.height(), 338);
    for (QWidget *control : mainForm.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (control->isVisible())
            EXPECT_TRUE(mainForm.rect().contains(control->geometry()))
                << control->objectName().toStdString();
}

TEST_F(Forms, NoControlCoversAnother)
{
    selectForm.show();
    EXPECT_EQ(selectForm.size(), QSize(170, 464)) << "the design and the row of Kun ændringer";
    for (QWidget *form : {static_cast<QWidget *>(&mainForm), static_cast<QWidget *>(&selectForm)}) {
        form->show();
        QList<QWidget *> controls = form->findChildren<QWidget *>(
            QRegularExpression(QStringLiteral("^[A-Z]")), Qt::FindDirectChildrenOnly);
        controls.removeIf([](QWidget *w) { return w->isWindow(); }); // the open dialog
        for (QWidget *a : controls) {
            EXPECT_TRUE(form->rect().contains(a->geometry())) << a->objectName().toStdString();
            for (QWidget *b : controls)
                EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " / " << b->objectName().toStdString();
        }
    }
    selectForm.hide();
}

TEST_F(Forms, TheOpenDialogOffersExportFilesThatMustExist)
{
    auto *dialog = child<QFileDialog>(mainForm, "OpenDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("Eksportfil fra ZL2000 (*.csv)")});
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
}

TEST(StartUp, MissingFontFilesAreNamedWithTheirPackageInsteadOfEndingSilently)
{
    QTemporaryDir fonts;
    QString shown;
    const QPointer<QTimer> answer = testsupport::whenModal<QMessageBox>([&](QMessageBox &box) {
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        shown = box.text();
        box.done(QMessageBox::Ok);
    });
    EXPECT_FALSE(app::checkFontsAtStartup(fonts.path()));
    delete answer.data(); // the box was shown during the check, or never
    EXPECT_TRUE(shown.contains(fonts.filePath(QStringLiteral("LiberationSans-Regular.ttf"))))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("fonts-liberation2"))) << shown.toStdString();

    EXPECT_TRUE(app::checkFontsAtStartup(platform::fontDirectory()));
}

TEST(StartUp, QtsOwnDialogsSpeakDanish)
{
    // On Windows from the translations folder beside the program, as the build and the
    // installer put it there.
    ASSERT_TRUE(app::installDanishQtTexts(*QCoreApplication::instance()))
        << "Qt's Danish texts are missing (Debian package qt6-translations-l10n)";
    EXPECT_EQ(QFileDialog::tr("&Open"), QString::fromUtf8("&Åbn"));
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')),
              QStringLiteral("Annuller"));
}

TEST_F(Forms, WindowsOpenWhereTheirDefinitionsPutThemAndStayOnTheScreen)
{
    EXPECT_EQ(mainForm.pos(), QPoint(352, 178));
    EXPECT_EQ(selectForm.pos(), QPoint(268, 123));
    EXPECT_EQ(justerForm.pos(), QPoint(451, 251));

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget far;
    far.resize(300, 200);
    app::placeAtStart(far, area.bottomRight() + QPoint(500, 500));
    EXPECT_TRUE(area.contains(far.frameGeometry())) << "pulled back onto the screen";
    EXPECT_EQ(far.frameGeometry().bottomRight(), area.bottomRight());

    // Listed, the names stand beside the main window, not over its messages.
    chosen = kExample;
    mainForm.ButtonSourceClick();
    mainForm.show();
    QRect listedAt;
    whenModalOpens([&listedAt](QWidget *w) { listedAt = w->frameGeometry(); });
    main.ButtonTeachers->click();
    EXPECT_FALSE(listedAt.intersects(mainForm.frameGeometry())) << "over the main window";
    EXPECT_TRUE(area.contains(listedAt)) << "off the screen";
}

TEST_F(Forms, TheMessageAreaScrollsWhenItsLinesOutgrowIt)
{
    mainForm.show();
    for (int i = 0; i < 40; ++i)
        mainForm.appendMessage("Brikkerne for AB er sendt til printeren tavle-pdf.\r\n\r\n");
    QCoreApplication::processEvents();
    EXPECT_TRUE(main.Memo->verticalScrollBar()->isVisible());
    EXPECT_GT(main.Memo->verticalScrollBar()->value(), 0) << "the latest lines are in sight";
}

TEST_F(Forms, EveryControlTellsAssistiveTechnologyItsName)
{
    for (QWidget *form : std::initializer_list<QWidget *>{&mainForm, &selectForm, &justerForm}) {
        form->show();
        for (QWidget *control : form->findChildren<QWidget *>()) {
            if (!control->inherits("QAbstractButton") && !control->inherits("QAbstractSpinBox") &&
                !control->inherits("QListWidget") && !control->inherits("QPlainTextEdit"))
                continue;
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(accessible, nullptr) << control->objectName().toStdString();
            EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
                << form->objectName().toStdString() << "." << control->objectName().toStdString();
        }
        form->hide();
    }
    JusterControls ui(justerForm);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(ui.SpinTopMargin)->text(QAccessible::Name),
              QStringLiteral("Topmargen"));
    EXPECT_TRUE(ui.SpinTopMargin->toolTip().contains(QString::fromUtf8("til højre i billedet")));

    // The same written out for a test that drives the program where no accessibility bus
    // reaches it: the window first, then each control with its place on the screen and text.
    mainForm.show();
    std::vector<QJsonObject> described;
    for (const QByteArray &line : app::ScreenDescription::describe().split('\n'))
        if (!line.isEmpty())
            described.push_back(QJsonDocument::fromJson(line).object());
    ASSERT_FALSE(described.empty());
    EXPECT_EQ(described.front()[QStringLiteral("depth")].toInt(), 0);
    EXPECT_EQ(described.front()[QStringLiteral("name")].toString(), mainForm.windowTitle());
    const auto find = [&](const char *role, const QString &name) {
        for (const QJsonObject &object : described)
            if (object[QStringLiteral("role")].toString() == QLatin1String(role) &&
                object[QStringLiteral("name")].toString() == name)
                return object;
        return QJsonObject();
    };
    const QJsonObject source = find("Button", QString::fromUtf8("Vælg kildefil"));
    EXPECT_EQ(QRect(source[QStringLiteral("x")].toInt(), source[QStringLiteral("y")].toInt(),
                    source[QStringLiteral("width")].toInt(),
                    source[QStringLiteral("height")].toInt()),
              QRect(main.ButtonSource->mapToGlobal(QPoint(0, 0)), main.ButtonSource->size()));
    EXPECT_TRUE(source[QStringLiteral("enabled")].toBool());
    EXPECT_FALSE(
        find("Button", QString::fromUtf8("Vælg lærere"))[QStringLiteral("enabled")].toBool(true));
    EXPECT_EQ(
        find("EditableText", QStringLiteral("Meddelelser"))[QStringLiteral("text")].toString(),
        memo());
}
