#include "preview/searchdlg.h"

#include "output/brprinter.h"
#include "output/pagepaint.h"
#include "output/pagesearch.h"
#include "platform/cp1252.h"
#include "platform/fonts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace preview {

namespace {
constexpr QSize clientSize(305, 118);
constexpr int margin = 8;
constexpr int editWidth = 289;
constexpr int buttonWidth = 75;
constexpr int buttonHeight = 25;
const QString noTextFound = QStringLiteral("Ingen tekst fundet");
} // namespace

TSearchDlg::TSearchDlg(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("SearchDlg"));
    setFont(platform::windowFont());
    setWindowTitle(QStringLiteral("Søg efter tekst"));
    setFixedSize(clientSize);

    label_ = new QLabel(QStringLiteral("Søgetekst"), this);
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setGeometry(margin, 4, editWidth, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(margin, 22, editWidth, 21);
    Edit1->setAccessibleName(QStringLiteral("Søgetekst"));
    label_->setBuddy(Edit1);
    CheckBox1 = new QCheckBox(QStringLiteral("Skeln store/små bogstaver"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(margin, 50, editWidth, 19);
    // "Afbryd" on the left, "Søg" on the right.
    const int top = clientSize.height() - margin - buttonHeight;
    SpeedButton1 = new QPushButton(QStringLiteral("Afbryd"), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(clientSize.width() / 2 - margin - buttonWidth, top, buttonWidth,
                              buttonHeight);
    SpeedButton1->setAutoDefault(false);
    SpeedButton2 = new QPushButton(QStringLiteral("Søg"), this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setGeometry(clientSize.width() / 2 + margin, top, buttonWidth, buttonHeight);
    SpeedButton2->setDefault(true); // Enter searches
    connect(SpeedButton1, &QPushButton::clicked, this, &TSearchDlg::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TSearchDlg::SpeedButton2Click);
    Edit1->setFocus();
}

QString TSearchDlg::Text() const { return Edit1->text(); }

bool TSearchDlg::CaseMatters() const { return CheckBox1->isChecked(); }

void TSearchDlg::SpeedButton1Click()
{
    cancelled_ = true;
    close();
}

void TSearchDlg::SpeedButton2Click()
{
    cancelled_ = false;
    close();
}

bool askSearchText(QWidget *owner, QString &text, bool &caseMatters)
{
    TSearchDlg dialog(owner);
    dialog.exec();
    if (dialog.Cancelled())
        return false;
    text = dialog.Text();
    caseMatters = dialog.CaseMatters();
    return true;
}

std::optional<std::string> searchNeedle(const QString &text)
{
    std::string needle = platform::fromQString(text, '\0');
    if (needle.find('\0') != std::string::npos)
        return std::nullopt;
    return needle;
}

void forEachPageHolding(output::TBRPrinter &pages, const std::string &needle, bool caseMatters,
                        const std::function<void(int page)> &found)
{
    for (int i = 1; i <= pages.PageNumber(); ++i) {
        const std::unique_ptr<platform::TMetafile> page = output::FetchPage(pages, i);
        if (page != nullptr && output::PageContainsText(needle, *page, caseMatters))
            found(i);
    }
}

void listFoundPage(QListWidget &list, int page)
{
    auto *item = new QListWidgetItem(QStringLiteral("Side %1").arg(page), &list);
    item->setData(Qt::UserRole, page);
}

void closeFoundList(QListWidget &list)
{
    if (list.count() == 0) {
        list.addItem(noTextFound);
        list.setEnabled(false);
    }
}

} // namespace preview
