#pragma once
// The selection window: the teachers or classes of the loaded file, to preview or print their
// tile sheets one name after the other, or to open the printer adjustment first.

#include "timetable/board.h"
#include "timetable/tilediff.h"
#include "timetable/timetable.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace timetable {
class TBoard;
}

namespace Ui {
class TSelectForm;
}

namespace app {

class TJusterForm;
struct EarlierExport;

enum class OutputAction { Preview, Print };

class TSelectForm : public QDialog {
    Q_OBJECT
public:
    explicit TSelectForm(timetable::Timetable &table, QWidget *parent = nullptr);
    ~TSelectForm() override;

    void setJusterForm(TJusterForm *justerForm) { justerForm_ = justerForm; }

    // Produces the tile sheet of `names[index]`, whose print list has just been built, as a
    // preview or a print job titled with the name; `names` are the run's names in list order.
    // Returns false when the user stopped it ("Afbryd"): the run ends there, and the names
    // after it are not started. Until one is set, the output buttons only walk the selection.
    using SheetOutput =
        std::function<bool(OutputAction, const std::vector<std::string> &names, std::size_t index)>;
    void setSheetOutput(SheetOutput output) { output_ = std::move(output); }

    // Produces the changes of the chosen names since the earlier export ("Kun ændringer"): the
    // change list, then the new tiles on shared sheets. Called with no names when nothing
    // changed at all, which it tells the user. Returns false when the user stopped it.
    using ChangesOutput = std::function<bool(OutputAction, const timetable::TileDiff &,
                                             const std::vector<std::string> &names)>;
    void setChangesOutput(ChangesOutput output) { changesOutput_ = std::move(output); }

    // The main window's earlier export; "Kun ændringer" can be ticked once it is chosen.
    void setEarlierExport(const EarlierExport *earlier) { earlier_ = earlier; }
    // The record of the board: with no earlier export chosen, "Kun ændringer" compares each
    // name with it, and can be ticked once it holds anything for the mode listed.
    void setBoard(const timetable::TBoard *board) { board_ = board; }

    // Replaces the listing's names (Windows-1252); clears every selection. With "Kun
    // ændringer" ticked the list shows only the names with changes.
    void setNames(const std::vector<std::string> &names);
    // The entries the list shows.
    std::vector<std::string> names() const;

    // The one handler of "Vis udskrift" and "Udskriv": ShowButton means preview, any other
    // sender print. Ignored while a run is going.
    void ShowButtonClick(QObject *sender);
    void Button1Click();

    // True while a selection run previews or prints. The run lets window messages in at every
    // record, so everything that would change the tile list or the print list, or start
    // another run, is disabled until it ends: by itself or by "Afbryd".
    bool runActive() const { return runActive_; }

signals:
    void runActiveChanged(bool active);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setRunActive(bool active);
    bool changesOnly() const;
    // An earlier export is chosen, or the board holds names of the mode listed.
    bool comparable() const;
    // The loaded export against the earlier one, or else against the board (which the diff's
    // removed tiles then point into).
    timetable::BoardComparison compare() const;
    void showEntries();
    void runChanges(OutputAction action, const std::vector<std::string> &chosen);

    std::unique_ptr<Ui::TSelectForm> ui_;
    timetable::Timetable &table_;
    TJusterForm *justerForm_ = nullptr;
    SheetOutput output_;
    ChangesOutput changesOutput_;
    const EarlierExport *earlier_ = nullptr;
    const timetable::TBoard *board_ = nullptr;
    std::vector<std::string> listed_; // the listing's names
    std::vector<std::string> names_;  // the entries' own bytes, row by row
    bool runActive_ = false;
};

} // namespace app
