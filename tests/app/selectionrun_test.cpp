// The selection run: one print job per selected name, in list order, each titled with its name;
// without a printer, nothing is printed and the message area says so.
#include "app/justerform.h"
#include "app/mainform.h"
#include "app/selectform.h"
#include "app/sheetoutput.h"
#include "output/printerdevice.h"
#include "platform/cp1252.h"
#include "platform/recordingcanvas.h"
#include "report/customreport.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// A printer that keeps the title and page count of each document.
class JobLog : public output::TBRPrinterDevice {
public:
    int PixelsPerInchX() const override { return 300; }
    int PixelsPerInchY() const override { return 300; }
    bool Printing() const override { return open_; }
    void SetTitle(const std::string &title) override { title_ = title; }
    void BeginDoc() override
    {
        open_ = true;
        jobs.push_back({title_, 1});
    }
    void NewPage() override { ++jobs.back().second; }
    void EndDoc() override { open_ = false; }
    void Abort() override { open_ = false; }
    platform::Canvas *Canvas() override { return &canvas_; }

    std::vector<std::pair<std::string, int>> jobs;

private:
    bool open_ = false;
    std::string title_;
    platform::RecordingCanvas canvas_{300, 300};
};

class SelectionRun : public ::testing::Test {
protected:
    SelectionRun()
    {
        table.setMessageSink([this](const std::string &m) { mainForm.appendMessage(m); });
        mainForm.setFileChooser(
            [] { return QStringLiteral(TAVLE_SOURCE_DIR "/examples/skema.csv"); });
        mainForm.ButtonSourceClick();
        selectForm.setSheetOutput(app::SheetOutput(table, mainForm, justerForm));
        selectForm.setNames(table.Listing(timetable::SelectionMode::Teachers).names);
        list = selectForm.findChild<QListWidget *>("ListBox");
    }
    ~SelectionRun() override { report::TCustomBandReport::SetPrinterDeviceSource(nullptr); }

    timetable::Timetable table;
    app::TMainForm mainForm{table};
    app::TSelectForm selectForm{table, &mainForm};
    app::TJusterForm justerForm{&mainForm};
    QListWidget *list = nullptr;
};

} // namespace

TEST_F(SelectionRun, EverySelectedNameIsItsOwnJobInListOrderTitledWithTheName)
{
    JobLog printer;
    report::TCustomBandReport::SetPrinterDeviceSource([&printer] { return &printer; });
    list->item(5)->setSelected(true);
    list->item(1)->setSelected(true);
    list->item(7)->setSelected(true);
    selectForm.findChild<QPushButton *>("PrintButton")->click();

    ASSERT_EQ(printer.jobs.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const int row = std::array{1, 5, 7}[i];
        EXPECT_EQ(printer.jobs[i].first, platform::fromQString(list->item(row)->text()));
        EXPECT_GE(printer.jobs[i].second, 1);
    }
    EXPECT_TRUE(list->item(5)->isSelected()) << "the run leaves the selection as it was";
}

TEST_F(SelectionRun, WithoutAPrinterNothingIsPrintedAndTheMessageAreaSaysSo)
{
    report::TCustomBandReport::SetPrinterDeviceSource([] { return nullptr; });
    list->item(0)->setSelected(true);
    const QString name = list->item(0)->text();
    selectForm.findChild<QPushButton *>("PrintButton")->click();
    EXPECT_TRUE(mainForm.findChild<QPlainTextEdit *>("Memo")->toPlainText().endsWith(
        QString::fromUtf8(
            "Brikkerne for %1 blev ikke udskrevet, fordi der ikke er installeret nogen "
            "printer.\n\n")
            .arg(name)));
}
