#include "app/kalibreringform.h"

#include "app/justerform.h"
#include "app/marginspinbox.h"
#include "app/startposition.h"
#include "app/tapplication.h"
#include "platform/cp1252.h"
#include "platform/fonts.h"
#include "platform/printer.h"
#include "report/customreport.h"
#include "tilesheet/calibrationsheet.h"
#include "ui_kalibreringform.h"

#include <QComboBox>
#include <QValidator>
#include <algorithm>

namespace app {
namespace {

// A measured distance: millimetres typed as in the margin fields, or nothing.
class MeasureValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        double value = 0;
        const State state = readTypedMillimetres(input, value);
        if (state == Acceptable && value < 0)
            return Intermediate; // a distance from the paper's edge is never negative
        return state;
    }
};

std::optional<double> distanceIn(const QLineEdit &field)
{
    double value = 0;
    if (readTypedMillimetres(field.text(), value) != QValidator::Acceptable || value < 0)
        return std::nullopt;
    return value;
}

QString mm(double value) { return platform::toQString(tilesheet::millimetreText(value)); }

} // namespace

TKalibreringForm::TKalibreringForm(TJusterForm &justerForm, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TKalibreringForm>()), justerForm_(justerForm)
{
    setFont(platform::windowFont());
    ui_->setupUi(this);
    setFixedSize(size());
    // Beside the printer adjustment window, so that the margins it corrects stay in sight.
    constexpr int gap = 8;
    placeAtStart(*this, justerForm_.frameGeometry().topRight() + QPoint(gap, 0));
    const std::string &printer = justerForm_.printerName();
    FillPrinterList(*ui_->ComboPrinter, printer);
    if (printer.empty())
        ui_->LabelResult->setText(QString::fromUtf8(u8"Ingen printer installeret."));
    ui_->ButtonPrint->setEnabled(!printer.empty());
    connect(ui_->ComboPrinter, &QComboBox::currentTextChanged, this, [this](const QString &name) {
        runHandler([this, name] { ComboPrinterChange(platform::fromQString(name)); });
    });
    for (QLineEdit *field : {ui_->EditTop, ui_->EditLeft, ui_->EditBottom, ui_->EditRight})
        field->setValidator(new MeasureValidator(field));
    connect(ui_->ButtonPrint, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonPrintClick(); }); });
    connect(ui_->ButtonCorrect, &QPushButton::clicked, this,
            [this] { runHandler([this] { ButtonCorrectClick(); }); });
    connect(ui_->ButtonClose, &QPushButton::clicked, this, &QDialog::accept);
}

TKalibreringForm::~TKalibreringForm() = default;

tilesheet::MeasuredLines TKalibreringForm::measured() const
{
    return {distanceIn(*ui_->EditTop), distanceIn(*ui_->EditLeft), distanceIn(*ui_->EditBottom),
            distanceIn(*ui_->EditRight)};
}

void TKalibreringForm::ButtonPrintClick()
{
    if (report::TCustomBandReport::PrinterDevice() == nullptr) {
        ui_->LabelResult->setText(QString::fromUtf8(
            u8"Prøvearket blev ikke udskrevet, fordi der ikke er installeret nogen printer."));
        return;
    }
    tilesheet::TCalibrationSheet sheet(justerForm_.margins(), justerForm_.printerName());
    sheet.Report().ProgressOwner = this;
    const std::vector<std::string> printers = platform::TPrinter::Printers();
    const auto chosen = std::find(printers.begin(), printers.end(), justerForm_.printerName());
    if (chosen != printers.end())
        sheet.Report().PrinterSettings.PrinterIndex = static_cast<int>(chosen - printers.begin());
    const report::TCustomBandReport::TBRPrintOutcome printed = sheet.Report().Print();
    ui_->LabelResult->setText(
        printed.Stopped
            ? QString::fromUtf8(u8"Udskriften af prøvearket blev afbrudt.")
            : QString::fromUtf8(u8"Prøvearket er sendt til printeren. Mål det, og skriv "
                                u8"målene herover."));
}

void TKalibreringForm::ComboPrinterChange(const std::string &printer)
{
    justerForm_.choosePrinter(printer);
    // Measures taken on another printer's sheet would correct this one's margins wrongly.
    for (QLineEdit *field : {ui_->EditTop, ui_->EditLeft, ui_->EditBottom, ui_->EditRight})
        field->clear();
    ui_->LabelResult->clear();
}

void TKalibreringForm::ButtonCorrectClick()
{
    const tilesheet::MeasuredLines lines = measured();
    if (!lines.top && !lines.left && !lines.bottom && !lines.right) {
        ui_->LabelResult->setText(QString::fromUtf8(u8"Skriv mindst ét mål først."));
        return;
    }
    std::string refusal;
    if (!justerForm_.setMargins(tilesheet::CorrectedMargins(justerForm_.margins(), lines,
                                                            tilesheet::CalibrationTargets()),
                                &refusal)) {
        ui_->LabelResult->setText(QString::fromUtf8(u8"Marginerne er ikke rettet. ") +
                                  platform::toQString(refusal) +
                                  QString::fromUtf8(u8" Mål prøvearket igen."));
        return;
    }
    // Measured on the sheet just corrected for: typed again only from a new sheet.
    for (QLineEdit *field : {ui_->EditTop, ui_->EditLeft, ui_->EditBottom, ui_->EditRight})
        field->clear();
    const Margins now = justerForm_.margins();
    ui_->LabelResult->setText(
        QString::fromUtf8(u8"Marginerne er rettet: top %1, venstre %2, bund %3, højre %4 mm. "
                          u8"Udskriv prøvearket igen for at se efter.")
            .arg(mm(now.top), mm(now.left), mm(now.bottom), mm(now.right)));
}

} // namespace app
