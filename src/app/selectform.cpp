#include "app/selectform.h"

#include "app/earlierexport.h"
#include "app/justerform.h"
#include "app/startposition.h"
#include "app/tapplication.h"
#include "platform/cp1252.h"
#include "platform/fonts.h"
#include "ui_selectform.h"

#include <QCloseEvent>
#include <QScopeGuard>

namespace app {
namespace {

// Where the window first opens on the screen.
const QPoint kStartPosition(268, 123);
// The design's 170 by 440, and the row of "Kun ændringer" above the buttons.
const QSize kClientSize(170, 464);
constexpr int kEntryHeight = 13;

} // namespace

TSelectForm::TSelectForm(timetable::Timetable &table, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TSelectForm>()), table_(table)
{
    setFont(platform::windowFont());
    ui_->setupUi(this);
    setFixedSize(kClientSize);
    placeAtStart(*this, kStartPosition);
    connect(ui_->ShowButton, &QPushButton::clicked, this,
            [this] { runHandler([this] { ShowButtonClick(ui_->ShowButton); }); });
    connect(ui_->PrintButton, &QPushButton::clicked, this,
            [this] { runHandler([this] { ShowButtonClick(ui_->PrintButton); }); });
    connect(ui_->Button1, &QPushButton::clicked, this,
            [this] { runHandler([this] { Button1Click(); }); });
    connect(ui_->Button2, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->CBChanges, &QCheckBox::toggled, this, [this] { showEntries(); });
}

TSelectForm::~TSelectForm() = default;

void TSelectForm::setNames(const std::vector<std::string> &names)
{
    listed_ = names;
    const bool canCompare = comparable();
    ui_->CBChanges->setEnabled(canCompare);
    if (!canCompare)
        ui_->CBChanges->setChecked(false);
    showEntries();
}

bool TSelectForm::changesOnly() const
{
    return ui_->CBChanges->isEnabled() && ui_->CBChanges->isChecked();
}

bool TSelectForm::comparable() const
{
    if (earlier_ != nullptr && earlier_->chosen())
        return true;
    return board_ != nullptr && !board_->Names(table_.selectionMode()).empty();
}

timetable::BoardComparison TSelectForm::compare() const
{
    // The listing has just sorted the loaded export and set the mode the names follow.
    if (earlier_ != nullptr && earlier_->chosen()) {
        timetable::BoardComparison compared;
        compared.diff = timetable::CompareTiles(*earlier_->table, table_, table_.selectionMode());
        return compared;
    }
    return timetable::CompareWithBoard(*board_, table_, table_.selectionMode());
}

void TSelectForm::showEntries()
{
    names_.clear();
    if (changesOnly()) {
        for (const timetable::NameChanges &changes : compare().diff.names)
            names_.push_back(changes.name);
    } else {
        names_ = listed_;
    }
    ui_->ListBox->clear();
    for (const auto &name : names_) {
        auto *item = new QListWidgetItem(platform::toQString(name), ui_->ListBox);
        item->setSizeHint(QSize(0, kEntryHeight));
    }
}

std::vector<std::string> TSelectForm::names() const { return names_; }

void TSelectForm::ShowButtonClick(QObject *sender)
{
    if (runActive_)
        return;
    const OutputAction action =
        sender == ui_->ShowButton ? OutputAction::Preview : OutputAction::Print;
    std::vector<std::string> chosen;
    for (int row = 0; row < ui_->ListBox->count(); ++row) {
        if (ui_->ListBox->item(row)->isSelected())
            chosen.push_back(names_[static_cast<std::size_t>(row)]);
    }
    if (changesOnly()) {
        runChanges(action, chosen);
        return;
    }
    setRunActive(true);
    const auto ended = qScopeGuard([this] { setRunActive(false); });
    for (std::size_t index = 0; index < chosen.size(); ++index) {
        table_.BuildPrintList(chosen[index]);
        if (output_ && !output_(action, chosen, index))
            break;
    }
}

void TSelectForm::runChanges(OutputAction action, const std::vector<std::string> &chosen)
{
    // Compared anew: the tiles the list was made from may have been loaded again since.
    const timetable::BoardComparison compared = compare();
    const timetable::TileDiff &diff = compared.diff;
    if (!diff.empty() && chosen.empty())
        return;
    {
        setRunActive(true);
        const auto ended = qScopeGuard([this] { setRunActive(false); });
        if (changesOutput_)
            changesOutput_(action, diff, diff.empty() ? std::vector<std::string>{} : chosen);
    }
    // Against the board, the names just printed no longer differ from it.
    if (earlier_ == nullptr || !earlier_->chosen())
        showEntries();
}

void TSelectForm::setRunActive(bool active)
{
    runActive_ = active;
    for (QWidget *control :
         {static_cast<QWidget *>(ui_->ListBox), static_cast<QWidget *>(ui_->ShowButton),
          static_cast<QWidget *>(ui_->PrintButton), static_cast<QWidget *>(ui_->Button1),
          static_cast<QWidget *>(ui_->Button2)})
        control->setEnabled(!active);
    // "Kun ændringer" comes back only where there is something to compare with: a print may
    // just have put the first names on the board.
    ui_->CBChanges->setEnabled(!active && comparable());
    emit runActiveChanged(active);
}

void TSelectForm::reject()
{
    if (!runActive_) // Esc during a run would close the window under it
        QDialog::reject();
}

void TSelectForm::closeEvent(QCloseEvent *event)
{
    if (runActive_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TSelectForm::Button1Click()
{
    if (justerForm_)
        justerForm_->exec();
}

} // namespace app
