#pragma once
// TSearchDlg, the preview's text search dialog: the text to look for (Edit1), whether case
// matters (CheckBox1), "Afbryd" (SpeedButton1) and "Søg" (SpeedButton2). The dialog counts as
// cancelled only when "Afbryd" closed it: closing it any other way counts as "Søg". Beside it
// the search as the preview window runs it over its pages and lists what it found.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace output {
class TBRPrinter;
}

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

// Shows the search dialog over `owner` modally; false when "Afbryd" closed it.
bool askSearchText(QWidget *owner, QString &text, bool &caseMatters);

// The text as the pages hold it (Windows-1252); none when a character of it has no
// Windows-1252 form: such a text is on no page.
std::optional<std::string> searchNeedle(const QString &text);

// Calls `found` with the number of each page of `pages` holding `needle`, in page order. Each
// page is fetched for the search only and dropped at once: memory stays flat.
void forEachPageHolding(output::TBRPrinter &pages, const std::string &needle, bool caseMatters,
                        const std::function<void(int page)> &found);

// A page found, in the search result list: "Side N", with N as its data.
void listFoundPage(QListWidget &list, int page);
// After the search: an empty list gets the single item "Ingen tekst fundet" and is disabled.
void closeFoundList(QListWidget &list);

} // namespace preview
