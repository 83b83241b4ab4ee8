#include "app/mainform.h"

#include "app/selectform.h"
#include "app/tapplication.h"
#include "platform/cp1252.h"
#include "platform/fonts.h"
#include "ui_mainform.h"

#include <QFileInfo>
#include <QTextCursor>

namespace app {
namespace {

const QSize kClientSize(353, 338);

} // namespace

TMainForm::TMainForm(timetable::Timetable &table, QWidget *parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TMainForm>()), table_(table), anchors_(kClientSize)
{
    setFont(platform::windowFont());
    ui_->setupUi(this);
    resize(kClientSize);

    openDialog_ = new QFileDialog(this);
    openDialog_->setObjectName("OpenDialog");
    openDialog_->setFileMode(QFileDialog::ExistingFile); // the chosen file must exist
    openDialog_->setNameFilter(QString::fromUtf8("Eksportfil fra ZL2000 (*.csv)"));
    openDialog_->setSizeGripEnabled(true);
    chooseFile_ = [this] { return runOpenDialog(); };

    anchors_.add(ui_->Memo, Anchor::Left | Anchor::Top | Anchor::Right | Anchor::Bottom);
    for (QWidget *button :
         {static_cast<QWidget *>(ui_->ButtonSource), static_cast<QWidget *>(ui_->ButtonTeachers),
          static_cast<QWidget *>(ui_->Button1), static_cast<QWidget *>(ui_->ButtonClasses)})
        anchors_.add(button, Anchor::Left | Anchor::Bottom);
    anchors_.add(ui_->CBRammer, Anchor::Left | Anchor::Top);
    anchors_.add(ui_->Label1, Anchor::Left | Anchor::Top);

    connect(ui_->ButtonSource, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonSourceClick(); }); });
    connect(ui_->ButtonTeachers, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonTeachersClick(); }); });
    connect(ui_->ButtonClasses, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonClassesClick(); }); });
    connect(ui_->Button1, &QPushButton::clicked, this,
            [this] { runHandler([this] { Button1Click(); }); });
}

TMainForm::~TMainForm() = default;

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    anchors_.apply(size());
}

void TMainForm::appendMessage(const std::string &message)
{
    QString text = platform::toQString(message);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor cursor(ui_->Memo->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    ui_->Memo->moveCursor(QTextCursor::End);
    ui_->Memo->ensureCursorVisible();
}

bool TMainForm::cutFrames() const { return ui_->CBRammer->isChecked(); }

std::optional<QString> TMainForm::runOpenDialog()
{
    if (openDialog_->exec() != QDialog::Accepted || openDialog_->selectedFiles().isEmpty())
        return std::nullopt;
    return openDialog_->selectedFiles().constFirst();
}

void TMainForm::ButtonSourceClick()
{
    const std::optional<QString> chosen = chooseFile_();
    if (!chosen)
        return;
    const QFileInfo file(*chosen);
    if (!file.exists())
        return;
    exportFilePath_ = file.absoluteFilePath();
    table_.LoadBrikker(std::filesystem::path(exportFilePath_.toStdString()));
    ui_->ButtonTeachers->setEnabled(true);
    ui_->ButtonClasses->setEnabled(true);
    appendMessage(platform::cp1252(
        u8"Tryk på knappen [Vælg lærere] eller [Vælg klasser] for at vælge, om du vil udskrive "
        u8"med fast lærerfarve eller fast klassefarve på brikkerne!\r\n\r\n"));
}

void TMainForm::listing(timetable::SelectionMode mode)
{
    const timetable::NameListing names = table_.Listing(mode);
    if (selectForm_) {
        selectForm_->setNames(names.names);
        selectForm_->exec();
    }
}

void TMainForm::ButtonTeachersClick() { listing(timetable::SelectionMode::Teachers); }

void TMainForm::ButtonClassesClick() { listing(timetable::SelectionMode::Classes); }

void TMainForm::Button1Click() { close(); }

} // namespace app
