#pragma once
// The small modeless window that shows how far a print runs and lets the user stop it, with the
// page output's note above the gauge (which name of how many a run prints). It is
// the page output's client while the run goes on and reads the progress from the page output
// whenever a progress message arrives. It belongs to the window that started the run: that
// window is often modal, and a window outside it would take no clicks.

#include "output/progressview.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TBRProgressForm;
}

namespace output {
class TBRPrinter;
}

namespace preview {

class TBRProgressForm : public QDialog, public output::TBRProgressView {
    Q_OBJECT
public:
    // Creates the window for `printer` over `owner`, makes it the printer's client and shows
    // it when `show` is true. The window is owned by the caller and released when the run ends.
    TBRProgressForm(output::TBRPrinter &printer, QWidget *owner, bool show);

    // The provider the application installs: a progress window over the run's owner window.
    static std::unique_ptr<output::TBRProgressView> Provide(output::TBRPrinter &printer,
                                                            QObject *owner, bool show);
    ~TBRProgressForm() override;

    void CancelButtonClick();

protected:
    void customEvent(QEvent *event) override;

private:
    void progressMessage();

    std::unique_ptr<Ui::TBRProgressForm> ui_;
    output::TBRPrinter &printer_;
};

} // namespace preview
