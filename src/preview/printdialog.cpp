#include "preview/printdialog.h"

#include "platform/printer.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QSet>

namespace preview {

namespace {

// Qt's print dialog leaves the paper to its page setup ("Egenskaber"), which starts from the
// queue's default paper, not the printer's, and on "Udskriv" hands that default back even when
// the user never opened it: A4 sheets would silently become Letter sheets on an American
// queue. This watch starts the page setup on the report's paper and orientation when it shows,
// and tells whether the user accepted it: a paper the user never chose is not the user's choice.
class PageSetupWatch : public QObject {
public:
    PageSetupWatch(const QPageSize &paper, QPageLayout::Orientation orientation)
        : paper_(paper), orientation_(orientation)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~PageSetupWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
    PageSetupWatch(const PageSetupWatch &) = delete;
    PageSetupWatch &operator=(const PageSetupWatch &) = delete;

    bool Chosen() const { return chosen_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *pageSetup = qobject_cast<QDialog *>(watched);
        if (event->type() != QEvent::Show || pageSetup == nullptr || seen_.contains(pageSetup))
            return false;
        auto *sizes = pageSetup->findChild<QComboBox *>(QStringLiteral("pageSizeCombo"));
        if (sizes == nullptr)
            return false;
        seen_.insert(pageSetup);
        for (int i = 0; i < sizes->count(); ++i) {
            const QVariant size = sizes->itemData(i);
            if (size.canConvert<QPageSize>() && size.value<QPageSize>().isEquivalentTo(paper_)) {
                sizes->setCurrentIndex(i);
                break;
            }
        }
        const QString wanted = orientation_ == QPageLayout::Landscape ? QStringLiteral("landscape")
                                                                      : QStringLiteral("portrait");
        if (auto *button = pageSetup->findChild<QAbstractButton *>(wanted);
            button != nullptr && !button->isChecked())
            button->click();
        connect(pageSetup, &QDialog::accepted, this, [this] { chosen_ = true; });
        return false;
    }

private:
    QPageSize paper_;
    QPageLayout::Orientation orientation_;
    QSet<QObject *> seen_;
    bool chosen_ = false;
};

// The tab of the dialog's options that chooses the paper tray among those the printer's
// driver lists. Qt's own tray choice lives in its private CUPS options, which never reach our
// print jobs.
class PaperSourceTab : public QWidget {
public:
    explicit PaperSourceTab(const std::string &chosen) : chosen_(chosen)
    {
        setObjectName(QStringLiteral("PaperSourceTab"));
        setWindowTitle(QStringLiteral("Papirbakke")); // the tab's text
        auto *layout = new QFormLayout(this);
        box_ = new QComboBox(this);
        box_->setObjectName(QStringLiteral("PaperSourceBox"));
        box_->setAccessibleName(QStringLiteral("Papirbakke"));
        box_->setToolTip(QStringLiteral("Den bakke, printeren tager papiret fra"));
        auto *label = new QLabel(QStringLiteral("&Papirbakke:"), this);
        label->setBuddy(box_);
        layout->addRow(label, box_);
        connect(box_, &QComboBox::activated, this,
                [this] { chosen_ = box_->currentData().toString().toStdString(); });
    }

    // Lists the trays of queue `printer`, keeping the tray chosen where it has one of that name.
    void ShowTraysOf(const QString &printer)
    {
        box_->clear();
        box_->addItem(QStringLiteral("Printerens standard"), QString());
        for (const platform::TPaperSource &source : platform::TPrinter::PaperSourcesOf(printer))
            box_->addItem(source.Text, QString::fromStdString(source.Keyword));
        const int at = box_->findData(QString::fromStdString(chosen_));
        box_->setCurrentIndex(at >= 0 ? at : 0);
        box_->setEnabled(box_->count() > 1);
    }

    // The tray chosen, if the printer has it; empty for the printer's own choice.
    std::string Chosen() const { return box_->currentData().toString().toStdString(); }

private:
    QComboBox *box_;
    std::string chosen_;
};

} // namespace

bool ShowPrintDialog(QPrinter &printer, int minPage, int maxPage, std::string &paperSource)
{
    const QPageSize paper = printer.pageLayout().pageSize();
    const QPageLayout::Orientation orientation = printer.pageLayout().orientation();
    QPrintDialog dialog(&printer);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setMinMax(minPage, maxPage);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    auto *trays = new PaperSourceTab(paperSource);
    trays->ShowTraysOf(printer.printerName());
    dialog.setOptionTabs({trays});
    // Another printer chosen in the dialog has trays of its own.
    if (auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("printers")))
        QObject::connect(printers, &QComboBox::currentTextChanged, trays,
                         [trays](const QString &name) { trays->ShowTraysOf(name); });
    const PageSetupWatch watch(paper, orientation);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (accepted)
        paperSource = trays->Chosen();
    if (accepted && !watch.Chosen()) {
        printer.setPageSize(paper);
        printer.setPageOrientation(orientation);
    }
    return accepted;
}

} // namespace preview
