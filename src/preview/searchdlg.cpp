#include "preview/searchdlg.h"

#include "platform/fonts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace preview {

namespace {
constexpr QSize clientSize(305, 118);
constexpr int margin = 8;
constexpr int editWidth = 289;
constexpr int buttonWidth = 75;
constexpr int buttonHeight = 25;
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

} // namespace preview
