#pragma once
// TBRPrintSetup: the report's print settings from the preview's "&Indstil" — the report's
// printer, paper, orientation and copies offered to the platform's print dialog, and its
// answer taken into the report's printer settings, the recorded print settings, the page and
// the preview's page output. The report owns one; TakePrinterSetup hands over to it.

#include <string>

class QPrinter;

namespace output {
class TBRPrinter;
}

namespace report {

class TCustomBandReport;

class TBRPrintSetup {
public:
    explicit TBRPrintSetup(TCustomBandReport &report) : report_(report) {}
    TBRPrintSetup(const TBRPrintSetup &) = delete;
    TBRPrintSetup &operator=(const TBRPrintSetup &) = delete;

    // See TCustomBandReport::PreparePrintDialog and TakePrinterSetup.
    void PrepareDialog(QPrinter &printer, int &minPage, int &maxPage) const;
    bool Take(const QPrinter *chosen, output::TBRPrinter *output, const std::string &paperSource);

private:
    // The recorded print settings start as a copy of the printer settings, the first time.
    void recordOnce();
    // An accepted dialog: printer, copies, paper and page range; true when the page changed.
    bool takeChoice(const QPrinter &chosen, const std::string &paperSource);
    void recordChoice(const QPrinter &chosen, int printerIndex, const std::string &paperSource);
    // The preview's page output takes the printer and the recorded settings.
    void giveOutput(output::TBRPrinter &output) const;

    TCustomBandReport &report_;
    bool recorded_ = false;
};

} // namespace report
