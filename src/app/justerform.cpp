#include "app/justerform.h"

#include "app/kalibreringform.h"
#include "app/startposition.h"
#include "app/tapplication.h"
#include "platform/cp1252.h"
#include "platform/fonts.h"
#include "platform/printer.h"
#include "ui_justerform.h"

#include <QPainter>
#include <QStyle>

namespace app {
namespace {

// Where the window first opens on the screen.
const QPoint kStartPosition(451, 251);
// The standard window, grown by a row for "Prøveark…".
const QSize kClientSize(332, 381);
const QSize kPictureSize(128, 150);

} // namespace

TJusterForm::TJusterForm(QWidget *parent, const tilesheet::KeptMargins *kept)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TJusterForm>()), kept_(kept),
      printer_(platform::TPrinter::StandardPrinterName())
{
    setFont(platform::windowFont());
    ui_->setupUi(this);
    setFixedSize(kClientSize);
    placeAtStart(*this, kStartPosition);
    ui_->Image1->setPixmap(marginIllustration());
    ui_->Image1->setAttribute(Qt::WA_TranslucentBackground);
    ui_->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->Button1, &QPushButton::clicked, this,
            [this] { runHandler([this] { Button1Click(); }); });
    connect(ui_->ButtonCalibrate, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonCalibrateClick(); }); });
    ui_->LabelPrinter->setText(
        printer_.empty()
            ? QString::fromUtf8(u8"Ingen printer installeret – værdierne gælder kun, til "
                                u8"programmet lukkes.")
            : QString::fromUtf8(u8"Gælder for printeren %1.").arg(platform::toQString(printer_)));
    FormCreate();
}

TJusterForm::~TJusterForm() = default;

void TJusterForm::FormCreate()
{
    Button1Click();
    if (kept_ != nullptr && !printer_.empty()) {
        const Margins kept = kept_->read(printer_);
        ui_->SpinLeftMargin->setValue(kept.left);
        ui_->SpinTopMargin->setValue(kept.top);
        ui_->SpinRightMargin->setValue(kept.right);
        ui_->SpinBottomMargin->setValue(kept.bottom);
    }
}

void TJusterForm::setMargins(const Margins &margins)
{
    ui_->SpinTopMargin->setValue(margins.top);
    ui_->SpinLeftMargin->setValue(margins.left);
    ui_->SpinBottomMargin->setValue(margins.bottom);
    ui_->SpinRightMargin->setValue(margins.right);
    keep();
}

void TJusterForm::ButtonCalibrateClick()
{
    TKalibreringForm calibration(*this, this);
    calibration.exec();
}

void TJusterForm::done(int result)
{
    // Every way of closing keeps the values as they were last edited, for the next start too.
    for (QDoubleSpinBox *field :
         {ui_->SpinTopMargin, ui_->SpinLeftMargin, ui_->SpinBottomMargin, ui_->SpinRightMargin})
        field->interpretText();
    keep();
    QDialog::done(result);
}

void TJusterForm::keep()
{
    if (kept_ == nullptr || printer_.empty() || kept_->write(printer_, margins()) || failureTold_)
        return;
    failureTold_ = true;
    if (tell_)
        tell_(platform::cp1252(u8"Printerjusteringen kunne ikke gemmes i ") +
              platform::fromQString(kept_->file()) +
              platform::cp1252(u8". Marginerne gælder kun, til programmet lukkes.\r\n\r\n"));
}

void TJusterForm::Button1Click()
{
    ui_->SpinLeftMargin->setValue(kStandardMargins.left);
    ui_->SpinTopMargin->setValue(kStandardMargins.top);
    ui_->SpinRightMargin->setValue(kStandardMargins.right);
    ui_->SpinBottomMargin->setValue(kStandardMargins.bottom);
}

Margins TJusterForm::margins() const
{
    return {ui_->SpinTopMargin->value(), ui_->SpinLeftMargin->value(),
            ui_->SpinBottomMargin->value(), ui_->SpinRightMargin->value()};
}

QPixmap marginIllustration()
{
    // The sheet lies turned a quarter clockwise: its top edge at the right of the picture, its
    // left edge at the top, its bottom edge at the left and its right edge at the bottom, where
    // the four fields stand.
    QPixmap picture(kPictureSize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);

    const QRect sheet(14, 8, 100, 134);
    p.fillRect(sheet.translated(3, 3), QColor(128, 128, 128)); // shadow
    p.fillRect(sheet, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(sheet.adjusted(0, 0, -1, -1));

    // Margins as on the standard sheet, scaled: left (top of picture) 12, top (right) 8.5,
    // bottom (left) 9, right (bottom) 20 mm of 210 x 297 mm.
    const QRect tiles(sheet.left() + 5, sheet.top() + 6, sheet.width() - 10, sheet.height() - 19);
    const QColor marginColour(255, 220, 220);
    p.fillRect(
        QRect(sheet.left() + 1, sheet.top() + 1, sheet.width() - 2, tiles.top() - sheet.top() - 1),
        marginColour);
    p.fillRect(QRect(sheet.left() + 1, tiles.bottom() + 1, sheet.width() - 2,
                     sheet.bottom() - tiles.bottom() - 1),
               marginColour);
    p.fillRect(
        QRect(sheet.left() + 1, tiles.top(), tiles.left() - sheet.left() - 1, tiles.height()),
        marginColour);
    p.fillRect(
        QRect(tiles.right() + 1, tiles.top(), sheet.right() - tiles.right() - 1, tiles.height()),
        marginColour);

    // Six tiles across (the sheet's rows), ten down (its columns).
    p.setPen(QColor(90, 90, 160));
    constexpr int kAcross = 6, kDown = 10;
    for (int i = 0; i < kAcross; ++i) {
        for (int j = 0; j < kDown; ++j) {
            const int x0 = tiles.left() + i * tiles.width() / kAcross;
            const int x1 = tiles.left() + (i + 1) * tiles.width() / kAcross;
            const int y0 = tiles.top() + j * tiles.height() / kDown;
            const int y1 = tiles.top() + (j + 1) * tiles.height() / kDown;
            p.fillRect(QRect(x0 + 1, y0 + 1, x1 - x0 - 2, y1 - y0 - 2), QColor(225, 232, 250));
            p.drawRect(QRect(x0 + 1, y0 + 1, x1 - x0 - 3, y1 - y0 - 3));
        }
    }

    // A small red arrow across each margin, pointing at the sheet's edge.
    p.setPen(QPen(QColor(200, 0, 0), 1));
    const auto arrowV = [&p](int x, int y0, int y1) {
        p.drawLine(x, y0, x, y1);
        p.drawLine(x - 2, y0 + 2, x, y0);
        p.drawLine(x + 2, y0 + 2, x, y0);
        p.drawLine(x - 2, y1 - 2, x, y1);
        p.drawLine(x + 2, y1 - 2, x, y1);
    };
    const auto arrowH = [&p](int y, int x0, int x1) {
        p.drawLine(x0, y, x1, y);
        p.drawLine(x0 + 2, y - 2, x0, y);
        p.drawLine(x0 + 2, y + 2, x0, y);
        p.drawLine(x1 - 2, y - 2, x1, y);
        p.drawLine(x1 - 2, y + 2, x1, y);
    };
    arrowV(sheet.left() + 28, sheet.top() + 1, tiles.top() - 1);        // left margin, top
    arrowH(sheet.top() + 18, tiles.right() + 1, sheet.right() - 1);     // top margin, right
    arrowH(sheet.bottom() - 26, sheet.left() + 1, tiles.left() - 1);    // bottom margin, left
    arrowV(sheet.right() - 40, tiles.bottom() + 1, sheet.bottom() - 1); // right margin, bottom
    return picture;
}

} // namespace app
