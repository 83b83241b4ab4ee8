#pragma once
// The small modeless window that shows how far a print runs and lets the user stop it. It is
// the page output's client while the run goes on and reads the progress from the page output
// whenever a progress message arrives.

#include <QDialog>
#include <memory>

namespace Ui {
class TBRProgressForm;
}

namespace output {

class TBRPrinter;

class TBRProgressForm : public QDialog {
    Q_OBJECT
public:
    // Creates the window for `printer`, makes it the printer's client and shows it when `show`
    // is true. The window is owned by the caller and released when the run ends.
    TBRProgressForm(TBRPrinter &printer, bool show);
    ~TBRProgressForm() override;

    void CancelButtonClick();

protected:
    void customEvent(QEvent *event) override;

private:
    void progressMessage();

    std::unique_ptr<Ui::TBRProgressForm> ui_;
    TBRPrinter &printer_;
};

} // namespace output
