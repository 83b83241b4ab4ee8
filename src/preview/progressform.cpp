#include "preview/progressform.h"

#include "output/brmessage.h"
#include "output/brprinter.h"
#include "platform/cp1252.h"
#include "platform/fonts.h"
#include "ui_progressform.h"

#include <QApplication>
#include <QScreen>

namespace preview {

using output::msgProgress;
using output::receivedMessage;
using output::TBRMessage;
using output::TBRPrinter;
using output::TBRProgressView;
namespace {

const QSize kClientSize(149, 97);
// The gauge moves in steps of five percent.
constexpr int kGaugeStep = 5;

} // namespace

TBRProgressForm::TBRProgressForm(TBRPrinter &printer, QWidget *owner, bool show)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::CustomizeWindowHint),
      ui_(std::make_unique<Ui::TBRProgressForm>()), printer_(printer)
{
    setFont(platform::windowFont());
    ui_->setupUi(this);
    setFixedSize(kClientSize);
    setModal(false);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    ui_->Note->setText(platform::toQString(printer_.ProgressNote));
    connect(ui_->CancelButton, &QPushButton::clicked, this, &TBRProgressForm::CancelButtonClick);
    printer_.SetClient(this);
    if (show)
        QDialog::show();
}

TBRProgressForm::~TBRProgressForm()
{
    if (printer_.Client() == this)
        printer_.SetClient(nullptr);
}

std::unique_ptr<TBRProgressView> TBRProgressForm::Provide(TBRPrinter &printer, QObject *owner,
                                                          bool show)
{
    return std::make_unique<TBRProgressForm>(printer, qobject_cast<QWidget *>(owner), show);
}

void TBRProgressForm::CancelButtonClick() { printer_.CancelJob(); }

void TBRProgressForm::customEvent(QEvent *event)
{
    const TBRMessage *message = receivedMessage(event);
    if (message && message->type() == msgProgress)
        progressMessage();
    else
        QDialog::customEvent(event);
}

void TBRProgressForm::progressMessage()
{
    // The message's own value may be stale by now: show what the page output holds.
    const int p = printer_.Progress();
    if (p % kGaugeStep != 0)
        return;
    ui_->Gauge->setValue(p);
    ui_->Info->setText(QString::number(p) + QStringLiteral("% ") + QStringLiteral(" Afsluttet"));
    QCoreApplication::processEvents();
}

} // namespace preview
