#pragma once
// The printer as the engine speaks to it: the system's printers, selected by index; a device
// mode holding the job settings a driver takes (with a mask telling which this printer
// supports); the device's capabilities; and a document of pages drawn on the printer canvas.
// Written on Qt Print Support over the system's print spooler (platform/printing: CUPS or the
// Windows spooler): the device mode is carried into the job when the document begins, and the
// printer's unprintable margins are its physical offset, so that the canvas's origin lies at the
// corner of the printable area as on any printer device.

#include "platform/canvas.h"

#include <QMarginsF>
#include <QPageSize>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class TMetafile;

// Device-mode field bits and values, numbered as the printer drivers number them.
namespace dm {
inline constexpr unsigned Orientation = 0x1;
inline constexpr unsigned PaperSize = 0x2;
inline constexpr unsigned PaperLength = 0x4;
inline constexpr unsigned PaperWidth = 0x8;
inline constexpr unsigned Copies = 0x100;
inline constexpr unsigned DefaultSource = 0x200;
inline constexpr unsigned PrintQuality = 0x400;
inline constexpr unsigned Color = 0x800;
inline constexpr unsigned Duplex = 0x1000;
inline constexpr unsigned Collate = 0x8000;

inline constexpr int Portrait = 1;
inline constexpr int Landscape = 2;
inline constexpr int PaperUser = 256; // the user-defined paper size
inline constexpr int DuplexSimplex = 1;
inline constexpr int DuplexVertical = 2;
inline constexpr int DuplexHorizontal = 3;
inline constexpr int SourceAuto = 7;
} // namespace dm

struct TDeviceMode {
    unsigned Fields = 0;
    int Orientation = dm::Portrait;
    int PaperSize = 0;   // paper code
    int PaperLength = 0; // 0.1 mm
    int PaperWidth = 0;  // 0.1 mm
    int Copies = 1;
    int DefaultSource = dm::SourceAuto;
    int Duplex = dm::DuplexSimplex;
    int Collate = 0;
    int PrintQuality = 0;
    int Color = 0;
    // The paper tray by its spooler's name (a TPaperSource's Keyword); empty: the printer's own.
    std::string PaperSource;
    bool operator==(const TDeviceMode &) const = default;
};

// A paper tray of a printer: under CUPS the driver's input slot, or the IPP media source of a
// queue without a driver file; under Windows the driver's numbered paper bin.
struct TPaperSource {
    std::string Option;  // what names it: "InputSlot" or "media-source" (CUPS), "DMBIN" (Windows)
    std::string Keyword; // the value that option takes; for a bin its number
    QString Text;        // what the driver calls it
    bool operator==(const TPaperSource &) const = default;
};

// Failures of the printer layer, with the run-time library's texts.
class EPrinter : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TPrinter {
public:
    // The default printer is selected, if the system has one.
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter &) = delete;
    TPrinter &operator=(const TPrinter &) = delete;

    // The system's printers, by queue name.
    static std::vector<std::string> Printers();
    // The queue a print goes to when none is chosen: the default printer, or else the first
    // installed one; empty when no printer is installed.
    static std::string StandardPrinterName();

    int PrinterIndex() const { return index_; }
    // Selects printer `index` of Printers(), or the default printer for -1, with the driver's
    // default device mode. Throws EPrinter for an index that names no printer.
    void SetPrinterIndex(int index);
    bool HasPrinter() const;

    std::string DeviceName() const;
    std::string DriverName() const; // the printer's make and model
    std::string PortName() const;   // the device's address

    TDeviceMode DeviceMode() const { return mode_; }
    // Replaces the device mode; nullptr restores the driver's defaults. Only the fields the
    // printer supports are kept.
    void SetDeviceMode(const TDeviceMode *mode);

    // Capabilities under the current device mode.
    int PixelsPerInchX() const { return dpi_; }
    int PixelsPerInchY() const { return dpi_; }
    TSize PhysicalOffset() const;   // device pixels from the sheet's corner to the printable area
    TSize PhysicalPageSize() const; // device pixels
    std::vector<int> PaperCodes() const;
    // The selected printer's paper trays, asked of the spooler once per selection; empty when it
    // has no choice of tray. A device mode's PaperSource is sent only when it names one of them.
    std::vector<TPaperSource> PaperSources() const;
    // The trays of queue `name`.
    static std::vector<TPaperSource> PaperSourcesOf(const QString &name);

    // Prints into a PDF file instead of the printer's queue (the device mode still applies; a
    // file has no unprintable margins).
    void SetOutputFile(const QString &pdfPath);

    void SetTitle(const std::string &title) { title_ = title; }
    // Begins a document and its first page.
    void BeginDoc();
    // Ends the current page and begins the next.
    void NewPage();
    void EndDoc();
    // Discards the document: nothing reaches the printer.
    void Abort();
    bool Printing() const;

    // The canvas of the current page; throws EPrinter unless printing.
    Canvas &PrinterCanvas();
    // Replays a recorded page stretched into `target` (device pixels) of the current page.
    void StretchDraw(const TMetafile &page, const TRect &target);

private:
    struct Job;
    void readDefaults();
    QMarginsF unprintableMargins(const QPageSize &size, int orientation) const;

    int index_ = -1;
    QString name_;
    QString outputFile_;
    TDeviceMode mode_;
    TDeviceMode defaults_;
    int dpi_ = 600;
    std::string title_;
    std::string driverName_, portName_;
    std::vector<int> paperCodes_;
    mutable std::optional<std::vector<TPaperSource>> paperSources_;
    // The printer's unprintable margins (points) per paper and orientation, asked once each.
    mutable std::map<std::pair<QString, int>, QMarginsF> margins_;
    std::unique_ptr<Job> job_;
};

} // namespace platform
