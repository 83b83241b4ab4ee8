#include "app/justerform.h"

#include "app/kalibreringform.h"
#include "app/marginspinbox.h"
#include "app/startposition.h"
#include "app/tapplication.h"
#include "platform/cp1252.h"
#include "platform/fonts.h"
#include "platform/printer.h"
#include "tilesheet/calibration.h"
#include "tilesheet/rapform.h"
#include "ui_justerform.h"

#include <QComboBox>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <utility>

namespace app {
namespace {

// Where the window first opens on the screen.
const QPoint kStartPosition(451, 251);
// The standard window, grown by a row for "Prøveark…" and one for its messages.
const QSize kClientSize(332, 426);
const QSize kPictureSize(128, 150);

// A margin as the messages name it, in a sentence's middle and as its subject.
std::string nameOf(tilesheet::MarginSide side)
{
    switch (side) {
    case tilesheet::MarginSide::Top:
        return "topmargen";
    case tilesheet::MarginSide::Left:
        return "venstre margen";
    case tilesheet::MarginSide::Bottom:
        return "bundmargen";
    case tilesheet::MarginSide::Right:
        break;
    }
    return platform::cp1252(u8"højre margen");
}

std::string subjectOf(tilesheet::MarginSide side)
{
    switch (side) {
    case tilesheet::MarginSide::Top:
        return "Topmargenen";
    case tilesheet::MarginSide::Left:
        return "Venstre margen";
    case tilesheet::MarginSide::Bottom:
        return "Bundmargenen";
    case tilesheet::MarginSide::Right:
        break;
    }
    return platform::cp1252(u8"Højre margen");
}

std::string mm(double value) { return tilesheet::millimetreText(value) + " mm"; }

} // namespace

void FillPrinterList(QComboBox &list, const std::string &chosen)
{
    const QSignalBlocker quiet(list);
    list.clear();
    for (const std::string &printer : platform::TPrinter::Printers())
        list.addItem(platform::toQString(printer));
    list.setCurrentIndex(list.findText(platform::toQString(chosen), Qt::MatchExactly));
    list.setEnabled(list.count() > 0);
}

std::string NoRoomText(const tilesheet::CrampedMargins &cramped)
{
    const bool rows = cramped.first == tilesheet::MarginSide::Top;
    return platform::cp1252(rows ? u8"Top- og bundmargen" : u8"Venstre og højre margen") +
           platform::cp1252(u8" må tilsammen højst være ") + mm(cramped.most) +
           platform::cp1252(u8", ellers er der ikke plads til brikkernes ") +
           platform::cp1252(rows ? u8"seks rækker" : u8"ti kolonner") +
           platform::cp1252(u8" på arket.");
}

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
    for (QDoubleSpinBox *field :
         {ui_->SpinTopMargin, ui_->SpinLeftMargin, ui_->SpinBottomMargin, ui_->SpinRightMargin})
        connect(field, &QDoubleSpinBox::valueChanged, this, [this] { fieldChanged(); });
    FillPrinterList(*ui_->ComboPrinter, printer_);
    connect(ui_->ComboPrinter, &QComboBox::currentTextChanged, this, [this](const QString &name) {
        runHandler([this, name] { choosePrinter(platform::fromQString(name)); });
    });
    showIdleMessage();
    if (kept_ != nullptr && !kept_->readsCleanly())
        tellOnce("settings",
                 platform::cp1252(u8"De gemte indstillinger i ") +
                     platform::fromQString(kept_->file()) +
                     platform::cp1252(u8" kunne ikke læses; det, der ikke kunne læses, har fået "
                                      u8"standardværdien. Den gamle fil gemmes som ") +
                     platform::fromQString(kept_->file()) +
                     platform::cp1252(u8".damaged, før indstillingerne gemmes igen.\r\n\r\n"));
    FormCreate();
}

TJusterForm::~TJusterForm() = default;

void TJusterForm::FormCreate()
{
    Button1Click();
    if (kept_ != nullptr && !printer_.empty())
        showMargins(readKept(printer_));
}

void TJusterForm::setMessageSink(std::function<void(const std::string &)> sink)
{
    tell_ = std::move(sink);
    if (tell_)
        for (const std::string &message : std::exchange(untold_, {}))
            tell_(message);
}

void TJusterForm::tellOnce(const std::string &what, const std::string &message)
{
    if (!told_.insert(what).second)
        return;
    if (tell_)
        tell_(message);
    else
        untold_.push_back(message);
}

Margins TJusterForm::readKept(const std::string &printer)
{
    std::vector<tilesheet::KeptMarginsProblem> problems;
    const Margins margins = kept_->read(printer, &problems);
    const std::string named = platform::cp1252(u8" for printeren ") + printer;
    for (const tilesheet::KeptMarginsProblem &problem : problems) {
        if (problem.kind == tilesheet::KeptMarginsProblem::Kind::NoRoom)
            tellOnce("room " + printer,
                     platform::cp1252(u8"De gemte marginer") + named +
                         platform::cp1252(u8" giver ikke plads til brikkerne på arket; "
                                          u8"standardmarginerne bruges i stedet.\r\n\r\n"));
        else
            tellOnce(nameOf(problem.side) + " " + printer,
                     platform::cp1252(u8"Den gemte ") + nameOf(problem.side) + named + " (" +
                         platform::fromQString(problem.kept) +
                         platform::cp1252(u8") kan ikke bruges; standardværdien ") +
                         mm(tilesheet::marginOf(kStandardMargins, problem.side)) +
                         platform::cp1252(u8" bruges i stedet.\r\n\r\n"));
    }
    return margins;
}

void TJusterForm::showMargins(const Margins &margins)
{
    {
        const QSignalBlocker top(ui_->SpinTopMargin), left(ui_->SpinLeftMargin),
            bottom(ui_->SpinBottomMargin), right(ui_->SpinRightMargin);
        ui_->SpinTopMargin->setValue(margins.top);
        ui_->SpinLeftMargin->setValue(margins.left);
        ui_->SpinBottomMargin->setValue(margins.bottom);
        ui_->SpinRightMargin->setValue(margins.right);
    }
    lastGood_ = this->margins(); // as the fields hold them
    showIdleMessage();
}

void TJusterForm::showIdleMessage()
{
    // Without a printer nothing is kept, which the message area says whenever it says nothing
    // else.
    if (printer_.empty())
        ui_->LabelMessage->setText(QString::fromUtf8(
            u8"Ingen printer installeret – værdierne gælder kun, til programmet lukkes."));
    else
        ui_->LabelMessage->clear();
}

void TJusterForm::fieldChanged()
{
    const Margins now = margins();
    const std::optional<tilesheet::CrampedMargins> cramped = tilesheet::TooLittleRoom(now);
    if (!cramped) {
        lastGood_ = now;
        showIdleMessage();
        return;
    }
    // The field that changed is the one that differs from the last good margins.
    tilesheet::MarginSide changed = cramped->first;
    for (const tilesheet::MarginSide side : {cramped->first, cramped->second})
        if (tilesheet::marginOf(now, side) != tilesheet::marginOf(lastGood_, side))
            changed = side;
    const Margins good = lastGood_;
    showMargins(good);
    ui_->LabelMessage->setText(platform::toQString(NoRoomText(*cramped) + " " + subjectOf(changed) +
                                                   platform::cp1252(u8" er sat tilbage til ") +
                                                   mm(tilesheet::marginOf(good, changed)) + "."));
}

bool TJusterForm::setMargins(const Margins &margins, std::string *refusal)
{
    // Clamped as a typed value is, before the rule looks at them.
    const auto clamped = [](double mm) {
        return std::clamp(mm, MarginSpinBox::kMinimum, MarginSpinBox::kMaximum);
    };
    const Margins wanted{clamped(margins.top), clamped(margins.left), clamped(margins.bottom),
                         clamped(margins.right)};
    if (const auto cramped = tilesheet::TooLittleRoom(wanted)) {
        if (refusal != nullptr)
            *refusal = NoRoomText(*cramped);
        return false;
    }
    showMargins(wanted);
    keep();
    return true;
}

void TJusterForm::choosePrinter(const std::string &printer)
{
    if (printer == printer_ || printer.empty())
        return;
    keep();
    printer_ = printer;
    const auto set = set_.find(printer);
    showMargins(set != set_.end()  ? set->second
                : kept_ != nullptr ? readKept(printer)
                                   : kStandardMargins);
    if (ui_->ComboPrinter->currentText() != platform::toQString(printer)) {
        const QSignalBlocker quiet(ui_->ComboPrinter);
        ui_->ComboPrinter->setCurrentIndex(
            ui_->ComboPrinter->findText(platform::toQString(printer), Qt::MatchExactly));
    }
}

Margins TJusterForm::marginsFor(const std::string &printer)
{
    if (printer == printer_)
        return margins();
    if (const auto set = set_.find(printer); set != set_.end())
        return set->second;
    return kept_ != nullptr ? readKept(printer) : kStandardMargins;
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
    if (printer_.empty())
        return;
    set_[printer_] = margins();
    if (kept_ == nullptr || kept_->write(printer_, margins()))
        return;
    tellOnce("write", platform::cp1252(u8"Printerjusteringen kunne ikke gemmes i ") +
                          platform::fromQString(kept_->file()) +
                          platform::cp1252(u8". Marginerne gælder kun, til programmet "
                                           u8"lukkes.\r\n\r\n"));
}

void TJusterForm::Button1Click()
{
    // Set together: one at a time, the old top with the standard bottom could be refused.
    showMargins(kStandardMargins);
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
