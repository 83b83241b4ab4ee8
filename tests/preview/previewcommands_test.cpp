// The preview window's commands: the text search, saving, exporting (the save rules also
// without a window), loading saved report files and printing loaded pages.
#include "support/previewfixture.h"

#include "output/brprinter.h"
#include "output/export/exportfilterlibrary.h"
#include "output/export/htmldocumentfilter.h"
#include "output/export/pdfdocumentfilter.h"
#include "output/pagepaint.h"
#include "output/pagesearch.h"
#include "platform/fileerror.h"
#include "platform/workerthread.h"
#include "preview/brpreview.h"
#include "preview/previewstate.h"
#include "preview/savetargets.h"
#include "preview/standardpreview.h"
#include "preview/thumbgrid.h"
#include "report/services.h"
#include "support/fakeprinter.h"
#include "support/modal.h"
#include "support/testpages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <typeinfo>

using namespace output;
using namespace preview;
using namespace previewtest;

namespace {

using testsupport::whenModal;

std::vector<int> listedPages(QListWidget &list)
{
    std::vector<int> pages;
    for (int i = 0; i < list.count(); ++i)
        pages.push_back(list.item(i)->data(Qt::UserRole).toInt());
    return pages;
}

// What the pages of a saved report file hold, page by page.
std::vector<std::vector<std::uint8_t>> pagesOf(TBRPrinter &output)
{
    std::vector<std::vector<std::uint8_t>> pages;
    for (int n = 1; n <= output.PageNumber(); ++n)
        pages.push_back(output.GetPage(n)->bytes());
    return pages;
}

// The error display the application installs, catching what a command failed with.
struct CaughtErrors {
    std::vector<std::string> messages;
    const report::TBRServicesScope services{{.ErrorDisplay = [this](const std::exception &error) {
        messages.emplace_back(error.what());
    }}};
};

} // namespace

TEST(PreviewSearch, FindsTextWithinOneLabelFoldingDanishAndWindows1252LettersAboveLatin1)
{
    PreviewOf p({{"\xC6"
                  "BLE og p\xC6RER",
                  "Matema", "tik"}, // ÆBLE og pÆRER
                 {"\x8C"
                  "uvre for \x80"
                  "10",
                  "\x8A"
                  "KOLE"}, // Œuvre for €10, ŠKOLE
                 {"\xE6"
                  "ble"}, // æble
                 {"Dansk"}});
    auto &list = *p.control<QListWidget>("SearchResultBox");
    auto &label = *p.control<QLabel>("SearchTextLabel");
    auto &tabs = *p.control<QTabWidget>("Tabs");

    p.window->SearchPages(QStringLiteral("æble"), false);
    EXPECT_EQ(listedPages(list), (std::vector<int>{1, 3}));
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("Side 1"));
    EXPECT_EQ(list.item(1)->text(), QStringLiteral("Side 3"));
    EXPECT_TRUE(list.isEnabled());
    EXPECT_EQ(label.text(), QStringLiteral("æble"));
    EXPECT_EQ(tabs.currentIndex(), 0) << "the active tab does not change";

    p.window->SearchPages(QStringLiteral("æble"), true);
    EXPECT_EQ(listedPages(list), std::vector<int>{3});
    // Letters Windows-1252 holds above U+00FF, in either case.
    for (const QString &text : {QStringLiteral("œuvre"), QStringLiteral("€10"),
                                QStringLiteral("škole"), QStringLiteral("ŠKOLE")}) {
        p.window->SearchPages(text, false);
        EXPECT_EQ(listedPages(list), std::vector<int>{2}) << text.toStdString();
    }
    p.window->SearchPages(QStringLiteral("škole"), true);
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("Ingen tekst fundet"));

    // Spread over two labels, empty, or with a letter Windows-1252 lacks: on no page.
    for (const QString &text : {QStringLiteral("Matematik"), QString(), QStringLiteral("Łble")}) {
        p.window->SearchPages(text, false);
        ASSERT_EQ(list.count(), 1) << text.toStdString();
        EXPECT_EQ(list.item(0)->text(), QStringLiteral("Ingen tekst fundet"));
        EXPECT_FALSE(list.isEnabled());
    }

    // A result goes to its page, clicked or reached with the keys; the empty result and no
    // selection go to page 1.
    p.window->SearchPages(QStringLiteral("e"), false);
    ASSERT_EQ(listedPages(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(p.view().PageNumber(), 1) << "listing the results goes nowhere";
    list.setCurrentRow(2); // as the arrow keys move the selection
    EXPECT_EQ(p.view().PageNumber(), 3);
    list.setCurrentRow(1);
    EXPECT_EQ(p.view().PageNumber(), 2);
    p.window->SearchPages(QStringLiteral("dansk"), false);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(0)).center());
    EXPECT_EQ(p.view().PageNumber(), 4);
    EXPECT_EQ(p.window->Thumbs().Row(), 3);
    EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side 4 af 4"));
    p.window->SearchPages(QStringLiteral("ingen steder"), false);
    list.setCurrentRow(0);
    p.window->SearchResultBoxClick();
    EXPECT_EQ(p.view().PageNumber(), 1);
}

TEST(PreviewSearch, ThePageShownMarksWhereTheTextStandsInTheViewOnly)
{
    PreviewOf p(std::vector<std::vector<std::string>>{{"fysik", "Historie og FYSIK"}, {"Dansk"}});
    TBRPrinter &output = *p.report.output();
    const std::vector<std::uint8_t> stored = output::FetchPage(output, 1)->bytes();
    TBRPreviewImage &image = p.view().Image();
    EXPECT_TRUE(image.Marks().empty());

    p.window->SearchPages(QStringLiteral("fysik"), false);
    const std::vector<QRectF> marks = image.Marks();
    ASSERT_EQ(marks.size(), 2u);
    // Each mark covers its word: the first from the start of its label, the second further
    // right on the next label's line; both inside the page.
    platform::EmfTextEnumerator texts;
    output::FetchPage(output, 1)->walk(texts);
    const qreal scale = image.width() / static_cast<qreal>(output::FetchPage(output, 1)->Width());
    EXPECT_NEAR(marks[0].left(), texts.Positions[0].x() * scale, 2.0);
    EXPECT_NEAR(marks[0].top(), texts.Positions[0].y() * scale, 2.0);
    EXPECT_GT(marks[1].left(), marks[0].right());
    EXPECT_GT(marks[1].top(), marks[0].top());
    EXPECT_GT(marks[1].width(), marks[0].width()) << "capitals are wider";
    for (const QRectF &mark : marks)
        EXPECT_TRUE(QRectF(image.rect()).contains(mark));
    const QImage shot = image.grab().toImage();
    const QColor under = shot.pixelColor(marks[1].toRect().topLeft() + QPoint(1, 1));
    EXPECT_GT(under.red(), under.blue() + 60) << "the marker's yellow over white paper";

    // The stored page stays as recorded; the next page has no hit, and a cleared search marks
    // nothing.
    EXPECT_EQ(output::FetchPage(output, 1)->bytes(), stored);
    p.window->GoToPage(2);
    EXPECT_TRUE(image.Marks().empty());
    p.window->GoToPage(1);
    EXPECT_EQ(image.Marks().size(), 2u);
    p.window->ClearSearchResults();
    EXPECT_TRUE(image.Marks().empty());
}

TEST(PreviewSearch, OnlySøgSearchesAndTheResultsComeToTheFrontAtTheFirstPageFound)
{
    PreviewOf p({{"Historie"}, {"historie"}});
    auto &list = *p.control<QListWidget>("SearchResultBox");
    struct Close {
        const char *how;
        std::function<void(QDialog &)> act;
        std::vector<int> expected; // empty: cancelled, the list untouched
    };
    const std::vector<Close> closes = {
        {"Søg",
         [](QDialog &d) {
             d.findChild<QLineEdit *>("Edit1")->setText(QStringLiteral("HISTORIE"));
             QTest::mouseClick(d.findChild<QPushButton *>("SpeedButton2"), Qt::LeftButton);
         },
         {1, 2}},
        {"Søg with case",
         [](QDialog &d) {
             d.findChild<QLineEdit *>("Edit1")->setText(QStringLiteral("historie"));
             d.findChild<QCheckBox *>("CheckBox1")->setChecked(true);
             QTest::mouseClick(d.findChild<QPushButton *>("SpeedButton2"), Qt::LeftButton);
         },
         {2}},
        {"Esc",
         [](QDialog &d) {
             d.findChild<QLineEdit *>("Edit1")->setText(QStringLiteral("Historie"));
             QTest::keyClick(&d, Qt::Key_Escape);
         },
         {}},
        {"Afbryd",
         [](QDialog &d) {
             d.findChild<QLineEdit *>("Edit1")->setText(QStringLiteral("x"));
             QTest::mouseClick(d.findChild<QPushButton *>("SpeedButton1"), Qt::LeftButton);
         },
         {}},
    };
    auto &tabs = *p.control<QTabWidget>("Tabs");
    for (const Close &close : closes) {
        list.clear();
        tabs.setCurrentIndex(0);
        p.window->GoToPage(1);
        bool seen = false;
        whenModal<QDialog>("SearchDlg", [&](QDialog &d) {
            seen = true;
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Søg efter tekst"));
            EXPECT_EQ(d.findChild<QLabel *>("Label1")->text(), QStringLiteral("Søgetekst"));
            EXPECT_EQ(d.findChild<QCheckBox *>("CheckBox1")->text(),
                      QStringLiteral("Skeln store/små bogstaver"));
            auto *cancel = d.findChild<QPushButton *>("SpeedButton1");
            auto *search = d.findChild<QPushButton *>("SpeedButton2");
            EXPECT_EQ(cancel->text(), QStringLiteral("Afbryd"));
            EXPECT_EQ(search->text(), QStringLiteral("Søg"));
            EXPECT_LT(cancel->x(), search->x());
            close.act(d);
        });
        p.click("FindButton");
        EXPECT_TRUE(seen) << close.how;
        EXPECT_EQ(listedPages(list), close.expected) << close.how;
        EXPECT_EQ(tabs.currentIndex(), close.expected.empty() ? 0 : 1) << close.how;
        EXPECT_EQ(p.view().PageNumber(), close.expected.empty() ? 1 : close.expected.front())
            << close.how;
    }
}

TEST(PreviewSearch, OneSearchRunsAtATimeAndAWaitingCallerKeepsProcessingEvents)
{
    testpages::TempDir dir;
    TBRPrinter output;
    testpages::recordRun(output, 1, 10, 200);
    const std::unique_ptr<platform::TMetafile> page = output.GetPage(1);
    std::atomic<int> inside{0}, most{0}, searches{0};
    std::atomic<bool> holdFirst{false}, released{false};
    SetPageSearchProbe([&] {
        const int now = ++inside;
        most = std::max(most.load(), now);
        ++searches;
        // The first search holds on until the main thread's timer has fired, which it can
        // only do while the main thread waits for its turn processing events.
        while (holdFirst.exchange(false))
            while (!released)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::microseconds(100));
        --inside;
    });
    holdFirst = true;
    platform::WorkerThread first([&] { PageContainsText("side 1", *page, false); });
    while (searches.load() == 0)
        std::this_thread::yield();
    QTimer::singleShot(10, [&] { released = true; });
    EXPECT_TRUE(PageContainsText("SIDE 1", *page, true) == false);
    EXPECT_TRUE(released.load()) << "the waiting search processed the timer's event";
    first.join();

    std::vector<platform::WorkerThread> more;
    for (int t = 0; t < 4; ++t)
        more.emplace_back([&] {
            for (int i = 0; i < 25; ++i)
                EXPECT_TRUE(PageContainsText("SIDE 1", *page, false));
        });
    for (platform::WorkerThread &t : more)
        t.join();
    SetPageSearchProbe(nullptr);
    EXPECT_EQ(most.load(), 1);
    EXPECT_EQ(searches.load(), 102);
}

TEST(PreviewSave, SavesFinishedPagesOnlyAndTheFileReadsBackPageForPage)
{
    testpages::TempDir dir;
    {
        PreviewOf running(3, true);
        running.window->SaveTo(QString::fromStdString(dir.file("early.brp").string()), 1);
        EXPECT_FALSE(std::filesystem::exists(dir.file("early.brp")));
    }
    PreviewOf p(4);
    const std::string saved = dir.file("saved.BRP").string();
    bool seen = false;
    whenModal<QFileDialog>("SaveDialog", [&](QFileDialog &d) {
        seen = true;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Gem udskriftsjob"));
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(d.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(d.nameFilters(),
                  (QStringList{"Udskriftsfiler (*.brp)", "PDF-dokument (*.pdf)",
                               "Excel-regneark (*.xlsx)", "HTML-dokument (*.htm)"}));
        EXPECT_EQ(d.selectedNameFilter(), QStringLiteral("PDF-dokument (*.pdf)"));
        // The name typed says what it is, whatever filter stands in the list.
        d.selectFile(QString::fromStdString(saved));
        static_cast<QDialog &>(d).accept();
    });
    p.click("saveReport");
    ASSERT_TRUE(seen);
    ASSERT_TRUE(std::filesystem::exists(saved));
    TBRPrinter reread;
    reread.LoadPages(saved);
    EXPECT_EQ(reread.PageNumber(), 4);
    EXPECT_EQ(pagesOf(reread), pagesOf(*p.report.output()));
}

TEST(PreviewSave, TheFilterListFollowsTheLibraryWhileTheWindowLives)
{
    EXPECT_TRUE(ExportFilterLibrary().Entries().empty());
    {
        PreviewOf p(1);
        EXPECT_EQ(p.window->SaveFilters(),
                  (QStringList{"Udskriftsfiler (*.brp)", "PDF-dokument (*.pdf)",
                               "Excel-regneark (*.xlsx)", "HTML-dokument (*.htm)"}));
        // Where a typed name goes, and as what: an extension of a listed filter chooses it
        // (any letter case); any other name gets the chosen filter's, in lower case.
        const struct {
            const char *typed;
            int chosen;
            const char *file;
            int as;
        } names[] = {{"aj.brp", 2, "aj.brp", 1},   {"AJ.PDF", 1, "AJ.PDF", 2},
                     {"aj.Xlsx", 2, "aj.Xlsx", 3}, {"aj.html", 2, "aj.html", 4},
                     {"aj.htm", 1, "aj.htm", 4},   {"aj", 2, "aj.pdf", 2},
                     {"AJ", 1, "AJ.brp", 1},       {"aj.txt", 3, "aj.txt.xlsx", 3},
                     {"7.b", 4, "7.b.htm", 4}};
        for (const auto &name : names)
            EXPECT_EQ(TBRStandardPreview::SaveTarget(QString::fromLatin1(name.typed), name.chosen),
                      std::pair(QString::fromLatin1(name.file), name.as))
                << name.typed;
        EXPECT_EQ(p.window->PreselectedSaveFilter(), 2);
        {
            PreviewOf second(1); // its components find the classes listed: nothing twice
            EXPECT_EQ(second.window->SaveFilters().size(), 4);
        }
        EXPECT_TRUE(ExportFilterLibrary().Entries().empty())
            << "a window's components take their names with them when it goes";
        EXPECT_EQ(p.window->SaveFilters(), QStringList{"Udskriftsfiler (*.brp)"});
        EXPECT_EQ(p.window->PreselectedSaveFilter(), 1) << "the own format without filters";
    }
    EXPECT_TRUE(ExportFilterLibrary().Entries().empty());
}

TEST(PreviewSave, TheSaveRulesHoldWithoutAWindowForAnyListOfFilters)
{
    const std::vector<SaveKind> own = saveKinds({});
    EXPECT_EQ(saveFilters(own), QStringList{"Udskriftsfiler (*.brp)"});
    EXPECT_EQ(preselectedSaveFilter(own), 1);
    EXPECT_EQ(saveTarget(own, QStringLiteral("aj"), 3), std::pair(QStringLiteral("aj.brp"), 1));

    // A filter this desktop has no Danish name for keeps the engine's, its extension lower case.
    const std::vector<SaveKind> kinds =
        saveKinds({{"TBRCSVFilter", "CSV file", "CSV", {}}, {"TBRXLSFilter", "XLS", "XLSX", {}}});
    EXPECT_EQ(saveFilters(kinds), (QStringList{"Udskriftsfiler (*.brp)", "CSV file (*.csv)",
                                               "Excel-regneark (*.xlsx)"}));
    EXPECT_EQ(preselectedSaveFilter(kinds), 2);
    const struct {
        const char *typed;
        int chosen;
        const char *file;
        int as;
    } names[] = {{"aj.CSV", 3, "aj.CSV", 2}, {"aj", 0, "aj.brp", 1}, {"aj", 9, "aj.xlsx", 3}};
    for (const auto &name : names)
        EXPECT_EQ(saveTarget(kinds, QString::fromLatin1(name.typed), name.chosen),
                  std::pair(QString::fromLatin1(name.file), name.as))
            << name.typed;

    // Which export filter a chosen filter stands for; none is the own format.
    const struct {
        int chosen;
        std::optional<std::size_t> filter;
    } chosen[] = {{0, {}}, {1, {}}, {2, 0}, {4, 2}, {5, {}}};
    for (const auto &c : chosen)
        EXPECT_EQ(exportFilterOf(c.chosen, 3), c.filter) << c.chosen;
}

TEST(PreviewSave, ExportsThroughTheReportsHookWithANewFilterOfTheChosenEntry)
{
    testpages::TempDir dir;
    PreviewOf p(2);
    std::vector<std::pair<std::string, std::filesystem::path>> calls;
    p.report.output()->OnExport = [&](TBRExportFilter &filter) {
        calls.emplace_back(typeid(filter).name(), filter.FileName());
        EXPECT_TRUE(p.window->Busy());
        p.window->SaveTo(QString::fromStdString(dir.file("again.pdf").string()), 2);
    };
    p.window->SaveTo(QString::fromStdString(dir.file("a.htm").string()), 4);
    p.window->SaveTo(QString::fromStdString(dir.file("b.pdf").string()), 2);
    ASSERT_EQ(calls.size(), 2u) << "an export asked for during an export does nothing";
    EXPECT_EQ(calls[0].first, typeid(TBRGHTMLDocumentFilter).name());
    EXPECT_EQ(calls[0].second, dir.file("a.htm"));
    EXPECT_EQ(calls[1].first, typeid(TBRPDFDocumentFilter).name());
    EXPECT_FALSE(p.window->Busy());
}

TEST(PreviewLoad, ASavedFileReplacesThePagesShown)
{
    const report::TBRServicesScope services({}); // no saved file loaded yet
    testpages::TempDir dir;
    TBRPrinter source;
    testpages::recordRun(source, 3, 4, 5);
    source.SavePages(dir.file("three.brp"));

    PreviewOf p(5, true);
    p.window->GoToPage(4);
    TBRPrinter *shown = p.report.output();
    const QString file = QString::fromStdString(dir.file("three.brp").string());
    whenModal<QFileDialog>("LoadDialog", [&](QFileDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Indlæs udskriftsjob"));
        EXPECT_EQ(d.nameFilters(), QStringList{"Udskriftsfiler (*.brp)"});
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptOpen);
        d.selectFile(file);
        static_cast<QDialog &>(d).accept();
    });
    p.click("LoadReport");
    EXPECT_EQ(p.view().PageOutput(), shown) << "the same page output holds the file's pages";
    EXPECT_TRUE(shown->Loaded());
    EXPECT_TRUE(report::TBRServicesScope::LoadedFile());
    EXPECT_EQ(shown->OutputState(), TBRPrinter::TOutputState::Finished);
    EXPECT_EQ(pagesOf(*shown), pagesOf(source));
    EXPECT_EQ(p.view().PageNumber(), 1);
    EXPECT_EQ(p.view().Image().Picture()->bytes(), source.GetPage(1)->bytes());
    EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side 1 af 3"));
    EXPECT_EQ(p.window->StatusPanel(2), file);
    EXPECT_EQ(p.window->windowTitle(), QStringLiteral("Udskriftsvisning : three.brp"));
    EXPECT_EQ(shown->Title, "three.brp") << "the job printed from the loaded pages";
    EXPECT_EQ(p.window->Thumbs().RowCount(), 3);
    EXPECT_EQ(p.window->Thumbs().Row(), 0);
    EXPECT_TRUE(p.control("Print")->isEnabled());
    EXPECT_TRUE(p.control("printSetup")->isEnabled());
    // Exported, the loaded pages are replayed into the filter: no report runs again.
    EXPECT_FALSE(static_cast<bool>(shown->OnExport));
    p.window->SaveTo(QString::fromStdString(dir.file("x.pdf").string()), 2);
    const std::vector<unsigned char> pdf = testpages::fileBytes(dir.file("x.pdf"));
    EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 5), "%PDF-");
    p.window->SaveTo(QString::fromStdString(dir.file("x.htm").string()), 4);
    const std::vector<unsigned char> html = testpages::fileBytes(dir.file("x.htm"));
    const std::string page = std::string(html.begin(), html.end());
    for (int n = 1; n <= 3; ++n)
        EXPECT_NE(page.find(testpages::pageLabel(n)), std::string::npos) << n;
    EXPECT_TRUE(p.control("saveReport")->isEnabled()) << "the export has ended";
    // Saved again, the loaded file reads back the same.
    p.window->SaveTo(QString::fromStdString(dir.file("copy.brp").string()), 1);
    EXPECT_EQ(testpages::fileBytes(dir.file("copy.brp")),
              testpages::fileBytes(dir.file("three.brp")));
    // "Gem" where no file can be made: the window's message names the file and the cause.
    for (const auto &[name, filter] : {std::pair{"x.pdf", 2}, {"x.brp", 1}}) {
        try {
            p.window->SaveTo(QString::fromStdString((dir.file("none") / name).string()), filter);
            ADD_FAILURE() << name << " written into a folder that does not exist";
        } catch (const platform::EFileNotWritten &e) {
            EXPECT_EQ(e.Danish(), std::string("Mappen findes ikke: kunne ikke skrive ") + name);
        }
    }

    // A file another program wrote.
    p.window->LoadFile(QStringLiteral(TAVLE_SOURCE_DIR "/tests/output/data/libreoffice-page.brp"));
    EXPECT_EQ(shown->PageNumber(), 1);
    EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side 1 af 1"));
    EXPECT_TRUE(p.view().Image().HasPicture());
}

TEST(PreviewLoad, AMissingOrDamagedFileChangesNothingAndADamagedFileGoesToTheErrorDisplay)
{
    const report::TBRServicesScope services({}); // no saved file loaded yet
    testpages::TempDir dir;
    PreviewOf p(2);
    TBRPrinter *shown = p.report.output();
    const auto before = pagesOf(*shown);
    bool told = false;
    whenModal<QMessageBox>("FileDoesNotExist", [&](QMessageBox &box) {
        told = true;
        EXPECT_EQ(box.text(), QStringLiteral("Filen findes ikke: %1")
                                  .arg(QString::fromStdString(dir.file("none.brp").string())));
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        box.accept();
    });
    p.window->LoadFile(QString::fromStdString(dir.file("none.brp").string()));
    EXPECT_TRUE(told);
    EXPECT_FALSE(shown->Loaded());
    EXPECT_EQ(pagesOf(*shown), before);
    EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side 1 af 2"));

    testpages::writeFile(dir.file("damaged.brp"), {'B', 'R', 'P', 0, 1, 2, 3});
    p.window->GoToPage(2);
    const bool printable = p.control("Print")->isEnabled();
    const QString status = p.window->StatusPanel(2);
    CaughtErrors errors;
    whenModal<QFileDialog>("LoadDialog", [&](QFileDialog &d) {
        d.selectFile(QString::fromStdString(dir.file("damaged.brp").string()));
        static_cast<QDialog &>(d).accept();
    });
    p.click("LoadReport");
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_FALSE(errors.messages[0].empty());
    // The file is read whole before anything goes: the window is as it was.
    EXPECT_EQ(p.view().PageOutput(), shown);
    EXPECT_FALSE(shown->Loaded());
    EXPECT_EQ(pagesOf(*shown), before);
    EXPECT_EQ(p.window->Thumbs().RowCount(), 2);
    EXPECT_EQ(p.view().PageNumber(), 2);
    EXPECT_TRUE(p.view().Image().HasPicture());
    EXPECT_EQ(p.control("Print")->isEnabled(), printable);
    EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side 2 af 2"));
    EXPECT_EQ(p.window->StatusPanel(2), status);

    // A file that loads clears the results of a search in the pages it replaced.
    p.window->SearchPages(QStringLiteral("e"), false);
    p.window->LoadFile(QStringLiteral(TAVLE_SOURCE_DIR "/tests/output/data/libreoffice-page.brp"));
    EXPECT_EQ(p.window->StatusPanel(1), QStringLiteral("Side 1 af 1"));
    EXPECT_EQ(p.control<QListWidget>("SearchResultBox")->count(), 0);
}

TEST(PreviewPrint, ALoadedFileIsReplayedOnceAndClosingMeanwhileWaitsForTheReplayToStop)
{
    const report::TBRServicesScope services({}); // no saved file loaded yet
    testpages::TempDir dir;
    testpages::saveRun(dir.file("six.brp"), 6, 2, 3);
    testsupport::FakePrinter printer(
        {.dpiX = 300, .dpiY = 300, .drawing = testsupport::FakePrinter::Drawing::None});
    ReportWindow report(std::make_unique<TBRPrinter>(TPrinterSettings{}, &printer));
    TBRPrinter &output = *report.output();
    output.LoadPages(dir.file("six.brp"));
    TBRStandardPreview window(TBRPreviewRequest{output, &report, {}, "", false, 100});
    window.show();
    auto *print = window.findChild<QAbstractButton *>("Print");
    ASSERT_TRUE(print->isEnabled());

    // A second press while the replay goes does nothing; "Gem" and "Hent" wait, and say why.
    auto *save = window.findChild<QAbstractButton *>("saveReport");
    auto *load = window.findChild<QAbstractButton *>("LoadReport");
    printer.onStoredPage = [&] {
        if (printer.storedPages != 1)
            return;
        window.PrintClick();
        EXPECT_FALSE(save->isEnabled());
        EXPECT_FALSE(load->isEnabled());
        EXPECT_EQ(save->toolTip(),
                  QStringLiteral("Gem udskriftsjob – kan vælges, når udskriften er færdig"));
    };
    QTest::mouseClick(print, Qt::LeftButton);
    EXPECT_EQ(printer.storedPages, 6);
    EXPECT_EQ(printer.aborted, 0);
    EXPECT_TRUE(save->isEnabled());
    EXPECT_TRUE(load->isEnabled());
    EXPECT_EQ(save->toolTip(), QStringLiteral("Gem udskriftsjob"));

    // Closed during the replay: the window waits until the replay has stopped, after the page
    // being printed, and then tells the report.
    printer.storedPages = 0;
    printer.onStoredPage = [&] {
        if (printer.storedPages != 2)
            return;
        window.close();
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(report.ends.empty()) << "the page output is still in use";
    };
    QTest::mouseClick(print, Qt::LeftButton);
    EXPECT_EQ(printer.storedPages, 2);
    EXPECT_GT(printer.aborted, 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(report.ends, std::vector<TBRPrinter *>{&output});
    EXPECT_EQ(report.output(), nullptr);
}
