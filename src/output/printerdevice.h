#pragma once
// The printer as the page output drives it when pages go straight to paper: a document with
// a title, its pages, and the canvas of the current page.

#include "output/printersettings.h"
#include "platform/canvas.h"
#include "platform/emf/emfmetafile.h"

#include <stdexcept>
#include <string>

namespace output {

class TBRPrinterDevice {
public:
    virtual ~TBRPrinterDevice() = default;
    // The printer's name as the user knows it (its queue); empty where it has none.
    virtual std::string PrinterName() const { return {}; }
    virtual int PixelsPerInchX() const = 0;
    virtual int PixelsPerInchY() const = 0;
    // True while a document is open.
    virtual bool Printing() const = 0;
    virtual void SetTitle(const std::string &title) = 0;
    // Opens the document and its first page.
    virtual void BeginDoc() = 0;
    virtual void NewPage() = 0;
    // Ends the last page and the document.
    virtual void EndDoc() = 0;
    // Discards the document.
    virtual void Abort() = 0;
    virtual platform::Canvas *Canvas() = 0;
    // Writes the settings into the device for the next document.
    virtual void ApplySettings(TPrinterSettings &) {}
    // Selects printer `index` of the system's printers (-1: the default) with its driver's
    // default settings, and reads them into `settings`.
    virtual void SelectPrinter(int index, TPrinterSettings &settings) {}
    // Reads the device's current settings into `settings`.
    virtual void ReadSettings(TPrinterSettings &settings) {}
    // The paper size a new page output reads from the system's default printer, A4 where that
    // names no paper of the table (a new report's paper).
    virtual int DefaultPaperSize() { return paperA4; }
    // Replays a stored page stretched into `target` (device pixels) of the current page. A
    // device that cannot replay pages says so.
    virtual void StretchPage(const platform::TMetafile &page, const platform::TRect &target);
};

inline void TBRPrinterDevice::StretchPage(const platform::TMetafile &, const platform::TRect &)
{
    throw std::runtime_error("This printer cannot print stored pages");
}

} // namespace output
