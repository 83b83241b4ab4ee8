#pragma once
// What the printer abstraction (platform/printer.h) asks of the system's print spooler: its
// printers, what each says of itself, its trays and unprintable margins, and how a document
// reaches its queue. One implementation per system, chosen by the build: CUPS
// (cupsbackend.cpp) or the Windows spooler (winspoolbackend.cpp).

#include "platform/printer.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QPagedPaintDevice;

namespace platform::printing {

// The system's printers, by queue name, in the system's order.
std::vector<QString> printerNames();
// The system's default printer; empty when it has none.
QString defaultPrinterName();
bool printerExists(const QString &name);

// What a printer says of itself with its driver's defaults.
struct PrinterFacts {
    bool exists = false;         // false: no printer of that name, and nothing below is known
    QString driverName;          // the driver: make and model, or the driver's own name
    QString portName;            // where the device is reached
    int pixelsPerInch = 0;       // 0 when the driver does not say
    QPageSize defaultPaper;      // invalid when the driver does not say
    std::vector<int> paperCodes; // paper codes it lists, the user-defined size among them
    bool duplex = false;         // whether it prints both sides
    int defaultDuplex = dm::DuplexSimplex;
};
PrinterFacts printerFacts(const QString &name);

// Every tray the printer names, one or more.
std::vector<TPaperSource> paperSources(const QString &name);

// The printer's unprintable margins on `paper` in `orientation`, in points.
QMarginsF unprintableMargins(const QString &name, const QPageSize &paper,
                             QPageLayout::Orientation orientation);

// A document for a printer's queue, as the device mode asks for it.
struct JobSettings {
    QString printer;
    QString title; // empty: the program's name
    QPageSize paper;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins; // the unprintable margins, points: the canvas's origin lies inside them
    int pixelsPerInch = 0;
    int copies = 1;
    bool collate = true;
    std::optional<int> duplex; // set for a printer that prints both sides
    std::optional<TPaperSource> tray;
};

// A document on its way to a queue: drawn on device(), then handed over whole or dropped.
class QueueJob {
public:
    virtual ~QueueJob() = default;
    virtual QPagedPaintDevice &device() = 0;
    // Hands the finished document to the queue; throws EPrinter when it does not take it.
    virtual void submit() = 0;
    // Drops the document before the painter ends, so that nothing reaches the printer.
    virtual void abort() = 0;
};
// Throws EPrinter when the document cannot be begun.
std::unique_ptr<QueueJob> beginQueueJob(const JobSettings &settings);

} // namespace platform::printing
