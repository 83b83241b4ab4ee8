#pragma once
// The print settings of pages loaded from a saved report file, which have no report behind
// them: the printer, the page range and the copies are chosen in the platform's print dialog;
// the pages keep the paper and orientation they were recorded on.

namespace output {
class TBRPrinter;
}

namespace report {

// Shows the print dialog (the services' PrintDialog) for `pages` and gives the page output the
// choice for its next replay; true when the user accepted. Nothing before the pages are
// complete or without a dialog.
bool LoadedPagesPrinterSetup(output::TBRPrinter &pages);

} // namespace report
