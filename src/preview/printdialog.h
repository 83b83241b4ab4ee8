#pragma once
// The print settings dialog the report's print settings command shows: Qt's print dialog on the
// system printer, with the page range and copies the report allows, starting its page setup on
// the report's paper.

#include <string>

class QPrinter;

namespace preview {

// Shows the dialog (object name "PrintDialog") modally on `printer`, whose page size and
// orientation are the report's, for pages `minPage` to `maxPage`; true when it was accepted.
// Accepted with a page setup the user never accepted, `printer` keeps the report's paper and
// orientation. Its tab "Papirbakke" lists the trays of the printer chosen, `paperSource`
// (a tray's keyword, empty for the printer's own choice) preselected and, when accepted, the
// tray chosen.
bool ShowPrintDialog(QPrinter &printer, int minPage, int maxPage, std::string &paperSource);

} // namespace preview
