#include "app/selectform.h"

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
const QSize kClientSize(170, 440);
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
}

TSelectForm::~TSelectForm() = default;

void TSelectForm::setNames(const std::vector<std::string> &names)
{
    names_ = names;
    ui_->ListBox->clear();
    for (const auto &name : names) {
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
    setRunActive(true);
    const auto ended = qScopeGuard([this] { setRunActive(false); });
    for (auto name = chosen.begin(); name != chosen.end(); ++name) {
        table_.BuildPrintList(*name);
        if (output_ && !output_(action, *name, std::vector<std::string>(name + 1, chosen.end())))
            break;
    }
}

void TSelectForm::setRunActive(bool active)
{
    runActive_ = active;
    for (QWidget *control :
         {static_cast<QWidget *>(ui_->ListBox), static_cast<QWidget *>(ui_->ShowButton),
          static_cast<QWidget *>(ui_->PrintButton), static_cast<QWidget *>(ui_->Button1),
          static_cast<QWidget *>(ui_->Button2)})
        control->setEnabled(!active);
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
