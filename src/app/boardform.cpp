#include "app/boardform.h"

#include "app/tapplication.h"
#include "platform/cp1252.h"
#include "platform/fonts.h"
#include "timetable/board.h"
#include "timetable/timetable.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

namespace app {

TBoardForm::TBoardForm(timetable::TBoard &board, const timetable::Timetable &table, QWidget *parent)
    : QDialog(parent), board_(board), table_(table)
{
    setObjectName(QStringLiteral("BoardForm"));
    setWindowTitle(QStringLiteral("Tavlen"));
    setFont(platform::windowFont());
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("&Tavle:"), this);
    modeBox_ = new QComboBox(this);
    modeBox_->setObjectName(QStringLiteral("ModeBox"));
    modeBox_->addItems({QString::fromUtf8("Lærere"), QStringLiteral("Klasser")});
    label->setBuddy(modeBox_);
    top->addWidget(label);
    top->addWidget(modeBox_);
    top->addStretch();
    layout->addLayout(top);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("BoardList"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("Navn"), QStringLiteral("Brikker"),
                            QStringLiteral("Udskrevet"), QStringLiteral("Fra fil"),
                            QStringLiteral("Eksportfilen")});
    layout->addWidget(list_);
    auto *buttons = new QHBoxLayout;
    forgetName_ = new QPushButton(QStringLiteral("&Glem"), this);
    forgetName_->setObjectName(QStringLiteral("ForgetName"));
    forgetBoard_ = new QPushButton(QStringLiteral("Glem &hele tavlen"), this);
    forgetBoard_->setObjectName(QStringLiteral("ForgetBoard"));
    auto *close = new QPushButton(QStringLiteral("&Luk"), this);
    // Enter closes: forgetting is never the default, even with its own question after it.
    forgetName_->setAutoDefault(false);
    forgetBoard_->setAutoDefault(false);
    close->setDefault(true);
    buttons->addWidget(forgetName_);
    buttons->addWidget(forgetBoard_);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(560, 360);

    connect(modeBox_, &QComboBox::currentIndexChanged, this, [this] { fill(); });
    connect(forgetName_, &QPushButton::clicked, this,
            [this] { runHandler([this] { forget(false); }); });
    connect(forgetBoard_, &QPushButton::clicked, this,
            [this] { runHandler([this] { forget(true); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    fill();
}

timetable::SelectionMode TBoardForm::mode() const
{
    return modeBox_->currentIndex() == 0 ? timetable::SelectionMode::Teachers
                                         : timetable::SelectionMode::Classes;
}

void TBoardForm::showMode(timetable::SelectionMode mode)
{
    modeBox_->setCurrentIndex(mode == timetable::SelectionMode::Teachers ? 0 : 1);
    fill();
}

void TBoardForm::fill()
{
    list_->clear();
    const std::vector<timetable::BoardName> names = board_.Names(mode());
    // The names whose tiles in the loaded export are not the ones on the board.
    std::set<std::string> differing;
    const bool loaded = table_.hasTileList();
    if (loaded)
        for (const timetable::NameChanges &changes :
             timetable::CompareWithBoard(board_, table_, mode()).diff.names)
            differing.insert(changes.name);
    for (const timetable::BoardName &name : names) {
        const QString when = QDateTime::fromMSecsSinceEpoch(name.source.printedAt)
                                 .toLocalTime()
                                 .toString(QStringLiteral("dd.MM.yyyy hh:mm"));
        const QString differs =
            !loaded ? QString()
                    : QString::fromUtf8(differing.contains(name.name) ? "afviger" : "som tavlen");
        auto *item = new QTreeWidgetItem(
            list_, {platform::toQString(name.name), QString::number(name.tileCount), when,
                    QFileInfo(QString::fromStdString(name.source.filePath)).fileName(), differs});
        item->setData(0, Qt::UserRole, QByteArray::fromStdString(name.name));
        item->setToolTip(3, QString::fromStdString(name.source.filePath));
    }
    for (int column = 0; column < list_->columnCount(); ++column)
        list_->resizeColumnToContents(column);
    if (list_->topLevelItemCount() > 0)
        list_->setCurrentItem(list_->topLevelItem(0));
    forgetName_->setEnabled(!names.empty());
    forgetBoard_->setEnabled(!names.empty());
}

void TBoardForm::forget(bool whole)
{
    const QTreeWidgetItem *item = list_->currentItem();
    if (item == nullptr)
        return;
    const std::string name = item->data(0, Qt::UserRole).toByteArray().toStdString();
    const QString question =
        whole ? QString::fromUtf8("Skal hele tavlen (%1) glemmes? Næste gang er alle brikker nye.")
                    .arg(modeBox_->currentText().toLower())
              : QString::fromUtf8("Skal tavlen glemme brikkerne for %1?")
                    .arg(platform::toQString(name));
    if (!askYesOrNo(this, question))
        return;
    if (whole)
        board_.ForgetBoard(mode());
    else
        board_.Forget(mode(), name);
    fill();
}

} // namespace app
