#pragma once
// The main window: choose the export file, read the program's messages, list teachers or
// classes, and choose cutting lines for the sheets.

#include "app/anchors.h"
#include "app/earlierexport.h"
#include "platform/recentfiles.h"
#include "timetable/timetable.h"

#include <QFileDialog>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class TMainForm;
}

namespace timetable {
class TBoard;
}

namespace app {

class TSelectForm;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(timetable::Timetable &table, QWidget *parent = nullptr);
    ~TMainForm() override;

    // The selection window that the list buttons open. While its run goes on, the buttons
    // that would load another file, list again or end the program are disabled.
    void setSelectForm(TSelectForm *selectForm);

    // Appends a message (Windows-1252, ending in its line breaks) to the message area.
    void appendMessage(const std::string &message);

    // The cut-frame choice and the full path of the last export file chosen.
    bool cutFrames() const;
    const QString &exportFilePath() const { return exportFilePath_; }
    // The SHA-256 of the loaded export's bytes as they were read, for the board's record.
    const std::string &exportFileHash() const { return table_.fileHash(); }
    // The export the board was printed from ("Tidligere fil…").
    const EarlierExport &earlierExport() const { return earlier_; }

    // The record of what the prints put on the board; none: nothing is recorded or compared
    // with it. Set before the selection window.
    void setBoard(timetable::TBoard *board);
    timetable::TBoard *board() const { return board_; }

    // How the open dialogs ("Vælg kildefil", "Tidligere fil…") are asked for a file;
    // replaceable so that the handlers can be driven without a person at the dialog. Returns
    // nothing when the user cancels.
    using FileChooser = std::function<std::optional<QString>()>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    void ButtonSourceClick();
    void ButtonEarlierClick();
    // Loads the export file `path` as "Vælg kildefil" does with the file chosen.
    void LoadExportFile(const QString &path);
    void ButtonTeachersClick();
    void ButtonClassesClick();
    void Button1Click();
    // "Tavlen": the window of what the board holds, on the mode listed last.
    void ButtonBoardClick();

    // A saved report file dropped on the window opens in the preview through this.
    using ReportOpener = std::function<void(const QString &file)>;
    void setReportOpener(ReportOpener opener) { openReport_ = std::move(opener); }

protected:
    void closeEvent(QCloseEvent *event) override;
    // A file dropped on the window: a saved report file (.brp) opens in the preview, any other
    // file loads as an export file.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void listing(timetable::SelectionMode mode);
    bool runActive() const;
    void setRunActive(bool active);
    // The open dialog `dialog`, started on the file last chosen for `kind`.
    std::optional<QString> runOpenDialog(QFileDialog &dialog, platform::TRecentFile kind);
    std::optional<QString> chooseFile(QFileDialog &dialog, platform::TRecentFile kind);
    // "Tidligere fil…" refuses the export loaded now, by path or by bytes, and says why.
    bool refusedAsLoaded(const QString &path);
    // An earlier file with which more than half of the tiles differ is taken only when the
    // user answers "Ja".
    bool confirmedAsBoard(const timetable::Timetable &earlier);
    // The message area's line on how many tiles the loaded export adds and takes down.
    void reportChanges();
    // Without an earlier file: per board that holds anything, what it holds and what the loaded
    // export changes on it.
    void reportBoard();

    std::unique_ptr<Ui::TMainForm> ui_;
    timetable::Timetable &table_;
    TSelectForm *selectForm_ = nullptr;
    QFileDialog *openDialog_;    // child widget: kept between uses, so it remembers the last file
    QFileDialog *earlierDialog_; // "Tidligere fil…", a dialog of its own
    FileChooser chooseFile_;
    ReportOpener openReport_;
    QString exportFilePath_;
    EarlierExport earlier_;
    timetable::TBoard *board_ = nullptr;
    QPushButton *boardButton_;
    timetable::SelectionMode lastMode_ = timetable::SelectionMode::Teachers;
    Anchors anchors_;
};

} // namespace app
