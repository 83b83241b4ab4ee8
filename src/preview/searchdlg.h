#pragma once
// TSearchDlg, the preview's text search dialog: the text to look for (Edit1), whether case
// matters (CheckBox1), "Afbryd" (SpeedButton1) and "Søg" (SpeedButton2). The dialog counts as
// cancelled only when "Afbryd" closed it: closing it any other way counts as "Søg".

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace preview {

class TSearchDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSearchDlg(QWidget *owner);

    bool Cancelled() const { return cancelled_; }
    QString Text() const;
    bool CaseMatters() const;

    void SpeedButton1Click(); // "Afbryd"
    void SpeedButton2Click(); // "Søg"

private:
    QLabel *label_;
    QLineEdit *Edit1;
    QCheckBox *CheckBox1;
    QPushButton *SpeedButton1;
    QPushButton *SpeedButton2;
    bool cancelled_ = true; // only "Søg" searches: Esc and the close box cancel
};

} // namespace preview
