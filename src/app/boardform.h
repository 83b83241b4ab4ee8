#pragma once
// The window "Tavlen": what the record of the board holds for the teachers or the classes, name
// by name (its tiles, when and from which file it was last printed, whether the loaded export
// differs for it), and "Glem" to take a name or the whole board out of the record.

#include "timetable/tbrik.h"

#include <QDialog>

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace timetable {
class TBoard;
class Timetable;
} // namespace timetable

namespace app {

class TBoardForm : public QDialog {
    Q_OBJECT
public:
    // `table`: the loaded export, compared with the board when it holds tiles.
    TBoardForm(timetable::TBoard &board, const timetable::Timetable &table,
               QWidget *parent = nullptr);

    // Shows the board of `mode`.
    void showMode(timetable::SelectionMode mode);
    timetable::SelectionMode mode() const;

    // "Glem": the chosen name, or with `whole` every name of the board shown, once the user
    // has answered "Ja".
    void forget(bool whole);

private:
    void fill();

    timetable::TBoard &board_;
    const timetable::Timetable &table_;
    QComboBox *modeBox_;
    QTreeWidget *list_;
    QPushButton *forgetName_;
    QPushButton *forgetBoard_;
};

} // namespace app
