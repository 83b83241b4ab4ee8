// "tavleplanner FILE.brp": a saved report file opened straight into the preview window, and the
// files it refuses without ever showing the preview.
#include "app/openreport.h"
#include "output/brprinter.h"
#include "platform/cp1252.h"
#include "platform/pathtext.h"
#include "preview/brpreview.h"
#include "preview/standardpreview.h"
#include "preview/thumbgrid.h"
#include "report/services.h"
#include "support/fakeprinter.h"
#include "support/systemfiles.h"
#include "tilesheet/rapform.h"
#include "timetable/timetable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Texts in failure messages as text.
void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

namespace fs = std::filesystem;

// Looks at the first modal window that opens while the code under test runs, then closes it
// the way a user would (Esc). Seen() says whether one opened at all; a window that never closes
// fails the test instead of hanging it.
class ModalWatch {
public:
    explicit ModalWatch(std::function<void(QWidget &)> look) : look_(std::move(look))
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
        clock_.start();
    }
    bool Seen() const { return seen_; }

private:
    void poll()
    {
        QWidget *window = QApplication::activeModalWidget();
        if (window == nullptr) {
            if (seen_ || clock_.elapsed() > 20000)
                timer_.stop();
            return;
        }
        if (!seen_) {
            seen_ = true;
            look_(*window);
            QTest::keyClick(window, Qt::Key_Escape);
            return;
        }
        // Still open after Esc: close it, and say so.
        ADD_FAILURE() << "the window did not close on Esc";
        window->close();
    }

    std::function<void(QWidget &)> look_;
    QTimer timer_;
    QElapsedTimer clock_;
    bool seen_ = false;
};

struct PreviewSeen {
    QString caption;
    QString progress;
    QString pageInfo;
    QString statusText;
    int pages = -1;
    int shownPage = -1;
    int thumbnailRows = -1;
    bool printEnabled = false;
    output::TOrientation orientation = output::TOrientation::Portrait;
    std::vector<std::string> firstPageTexts;
    std::vector<std::string> lastPageTexts;
};

PreviewSeen lookAtPreview(QWidget &window)
{
    PreviewSeen seen;
    auto *preview = qobject_cast<preview::TBRStandardPreview *>(&window);
    if (preview == nullptr) {
        ADD_FAILURE() << "a " << window.metaObject()->className()
                      << " opened instead of the preview";
        return seen;
    }
    seen.caption = preview->windowTitle();
    seen.progress = preview->StatusPanel(0);
    seen.pageInfo = preview->StatusPanel(1);
    seen.statusText = preview->StatusPanel(2);
    seen.shownPage = preview->Preview().PageNumber();
    seen.thumbnailRows = preview->Thumbs().RowCount();
    if (auto *print = preview->findChild<QAbstractButton *>(QStringLiteral("Print")))
        seen.printEnabled = print->isEnabled();
    if (output::TBRPrinter *pages = preview->Preview().PageOutput()) {
        seen.pages = pages->PageNumber();
        seen.orientation = pages->Settings().Orientation();
        if (auto first = pages->GetPage(1))
            seen.firstPageTexts = first->texts();
        if (auto last = pages->GetPage(seen.pages))
            seen.lastPageTexts = last->texts();
    }
    return seen;
}

struct MessageSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

MessageSeen lookAtMessage(QWidget &window)
{
    MessageSeen seen;
    auto *box = qobject_cast<QMessageBox *>(&window);
    if (box == nullptr) {
        ADD_FAILURE() << "a " << window.metaObject()->className()
                      << " opened instead of a message box";
        return seen;
    }
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    return seen;
}

// The texts of every page of a saved report file, read without any window.
std::vector<std::vector<std::string>> storedTexts(const fs::path &file)
{
    output::TBRPrinter pages;
    pages.LoadPages(file);
    std::vector<std::vector<std::string>> texts;
    for (int n = 1; n <= pages.PageNumber(); ++n)
        texts.push_back(pages.GetPage(n)->texts());
    return texts;
}

class OpenReport : public ::testing::Test {
protected:
    QTemporaryDir dir;
    fs::path path(const char *name) const { return platform::qStringToPath(dir.filePath(name)); }

    // Runs OpenReportFile with `look` on the modal window it opens.
    int open(const fs::path &file, const std::function<void(QWidget &)> &look, bool &opened)
    {
        const ModalWatch watch(look);
        const int status = app::OpenReportFile(file);
        opened = watch.Seen();
        return status;
    }

    // The tile sheets of the example's first teacher, saved as the preview's "&Gem" does.
    void saveTeacherSheets(const fs::path &file)
    {
        timetable::Timetable table([](const std::string &) {});
        table.LoadBrikker(TAVLE_SOURCE_DIR "/examples/skema.csv");
        const std::vector<std::string> names =
            table.Listing(timetable::SelectionMode::Teachers).names;
        ASSERT_FALSE(names.empty());
        table.BuildPrintList(names.front());
        tilesheet::TRapFormInputs inputs;
        inputs.PrintList = &table.printList();
        tilesheet::TRapForm sheet(inputs);
        const report::TBRServicesScope noWindows({}); // the run records and keeps its pages
        sheet.BRBrikker.Preview();
        ASSERT_FALSE(sheet.BRBrikker.RunFailure());
        sheet.BRBrikker.PageOutput()->SavePages(file);
    }
};

TEST_F(OpenReport, ShowsEverySavedPageWithTheFileNamed)
{
    ASSERT_TRUE(dir.isValid());
    const fs::path saved = path("Lærer sheets.brp");
    saveTeacherSheets(saved);
    const auto expected = storedTexts(saved);
    // 3 copies of each lesson, 60 tiles a sheet: the first teacher of the example fills more
    // than one sheet, so paging and the last page are seen too.
    ASSERT_GT(expected.size(), 1u);

    const report::TBRServicesScope noPrinter({});
    PreviewSeen seen;
    bool opened = false;
    const int status = open(
        saved, [&](QWidget &w) { seen = lookAtPreview(w); }, opened);

    EXPECT_EQ(status, 0);
    ASSERT_TRUE(opened);
    const QString absolute =
        QDir::toNativeSeparators(QFileInfo(dir.filePath("Lærer sheets.brp")).absoluteFilePath());
    EXPECT_EQ(seen.caption, QStringLiteral("Udskriftsvisning : Lærer sheets.brp"));
    EXPECT_EQ(seen.statusText, absolute);
    // Nothing is being made: no progress figure.
    EXPECT_EQ(seen.progress, QString());
    EXPECT_EQ(seen.pages, static_cast<int>(expected.size()));
    EXPECT_EQ(seen.pageInfo, QStringLiteral("Side 1 af %1").arg(expected.size()));
    EXPECT_EQ(seen.shownPage, 1);
    EXPECT_EQ(seen.thumbnailRows, static_cast<int>(expected.size()));
    // The stored pages are finished: they can be printed at once.
    EXPECT_TRUE(seen.printEnabled);
    EXPECT_EQ(seen.firstPageTexts, expected.front());
    EXPECT_EQ(seen.lastPageTexts, expected.back());
}

TEST_F(OpenReport, OpensTheCommittedReportFile)
{
    const fs::path committed = TAVLE_SOURCE_DIR "/tests/output/data/libreoffice-page.brp";
    const auto expected = storedTexts(committed);
    ASSERT_FALSE(expected.empty());

    const report::TBRServicesScope noPrinter({});
    PreviewSeen seen;
    bool opened = false;
    EXPECT_EQ(open(
                  committed, [&](QWidget &w) { seen = lookAtPreview(w); }, opened),
              0);
    ASSERT_TRUE(opened);
    EXPECT_EQ(seen.caption, QStringLiteral("Udskriftsvisning : libreoffice-page.brp"));
    EXPECT_EQ(seen.pages, static_cast<int>(expected.size()));
    EXPECT_EQ(seen.firstPageTexts, expected.front());
}

TEST_F(OpenReport, KeepsTheOrientationTheFileWasRecordedIn)
{
    // A page of A4 turned: "&Udskriv" must print it turned too, although no report stands
    // behind the window to say so.
    ASSERT_TRUE(dir.isValid());
    const fs::path saved = path("landscape.brp");
    {
        output::TBRPrinter recorder;
        recorder.Settings().SetPaperSize(output::paperA4);
        recorder.Settings().SetOrientation(output::TOrientation::Landscape);
        recorder.StartJob();
        recorder.NewPage();
        recorder.PageCanvas()->textOut(40, 40, "turned");
        recorder.FinishJob();
        recorder.SavePages(saved);
    }

    const report::TBRServicesScope noPrinter({});
    PreviewSeen seen;
    bool opened = false;
    EXPECT_EQ(open(
                  saved, [&](QWidget &w) { seen = lookAtPreview(w); }, opened),
              0);
    ASSERT_TRUE(opened);
    EXPECT_EQ(seen.pages, 1);
    EXPECT_EQ(seen.orientation, output::TOrientation::Landscape);
    EXPECT_EQ(seen.firstPageTexts, std::vector<std::string>{"turned"});
}

TEST_F(OpenReport, PrintSettingsChooseThePagesAndCopiesASavedFilePrints)
{
    ASSERT_TRUE(dir.isValid());
    const fs::path saved = path("AJ.brp");
    saveTeacherSheets(saved);
    const std::size_t pageCount = storedTexts(saved).size();
    ASSERT_GT(pageCount, 1u);

    testsupport::FakePrinter printer;
    int dialogs = 0, shownFrom = 0, shownTo = 0;
    const report::TBRServicesScope services({
        .PrinterDevice = [&printer] { return &printer; },
        .PrintDialog =
            [&](QPrinter &chosen, int minPage, int maxPage, std::string &) {
                ++dialogs;
                shownFrom = minPage;
                shownTo = maxPage;
                chosen.setPrintRange(QPrinter::PageRange);
                chosen.setFromTo(2, 2);
                chosen.setCopyCount(2);
                return true;
            },
    });
    int copies = 0;
    bool opened = false;
    open(
        saved,
        [&](QWidget &window) {
            auto *setup = window.findChild<QAbstractButton *>(QStringLiteral("printSetup"));
            auto *print = window.findChild<QAbstractButton *>(QStringLiteral("Print"));
            ASSERT_TRUE(setup != nullptr && print != nullptr);
            ASSERT_TRUE(setup->isEnabled());
            setup->click();
            if (auto *preview = qobject_cast<preview::TBRStandardPreview *>(&window))
                copies = preview->Preview().PageOutput()->Settings().Copies();
            print->click();
        },
        opened);
    ASSERT_TRUE(opened);
    EXPECT_EQ(dialogs, 1) << "the print dialog opens for a saved file";
    EXPECT_EQ(shownFrom, 1);
    EXPECT_EQ(shownTo, static_cast<int>(pageCount));
    EXPECT_EQ(copies, 2);
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].pages, 1) << "page 2 alone";
    EXPECT_EQ(printer.jobs[0].title, "AJ.brp");
}

TEST_F(OpenReport, RefusesWhatIsNoSavedReportFileWithoutAPreview)
{
    ASSERT_TRUE(dir.isValid());
    const report::TBRServicesScope noPrinter({});
    struct Case {
        const char *what;
        fs::path file;
        QString text;
        QMessageBox::Icon icon;
    };
    const fs::path damaged = path("damaged.brp");
    std::ofstream(damaged, std::ios::binary) << "not a saved report file, only text";
    const fs::path empty = path("empty.brp");
    std::ofstream(empty, std::ios::binary).flush();
    const auto doesNotExist = [](const fs::path &file) {
        return QString::fromUtf8(app::kFileDoesNotExist).arg(platform::pathToQString(file));
    };

    std::vector<Case> cases = {
        {"a missing file", path("missing.brp"), doesNotExist(path("missing.brp")),
         QMessageBox::Warning},
        {"a folder", path(""), doesNotExist(path("")), QMessageBox::Warning},
        // The page store's own complaint, in the error display.
        {"a damaged file", damaged, {}, QMessageBox::Critical},
        {"an empty file", empty, {}, QMessageBox::Critical},
    };
    if (testsupport::kHasFifos) {
        // Opening a FIFO would wait for a writer for ever.
        const fs::path fifo = path("pipe.brp");
        ASSERT_TRUE(testsupport::makeFifo(fifo));
        cases.push_back(
            {"a FIFO", fifo, QStringLiteral("File access denied."), QMessageBox::Critical});
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MessageSeen seen;
        bool opened = false;
        EXPECT_EQ(open(
                      c.file, [&](QWidget &w) { seen = lookAtMessage(w); }, opened),
                  1);
        ASSERT_TRUE(opened);
        EXPECT_EQ(seen.title, QStringLiteral("Tavleplanner"));
        EXPECT_EQ(seen.icon, c.icon);
        if (!c.text.isEmpty()) {
            EXPECT_EQ(seen.text, c.text);
        } else {
            // What the page store says about the file, in Danish and naming it.
            const QString name = platform::pathToQString(c.file.filename());
            EXPECT_TRUE(
                seen.text.startsWith(QStringLiteral("Udskriftsfilen %1 er beskadiget: ").arg(name)))
                << seen.text.toStdString();
        }
    }
}

} // namespace
