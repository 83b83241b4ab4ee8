#pragma once
// A printer for the tests: it keeps what it was asked to do and what was drawn on it, page by
// page, without a print system.

#include "output/printerdevice.h"
#include "platform/recordingcanvas.h"

#include <QImage>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QPainter;
namespace platform {
class PainterCanvas;
}

namespace testsupport {

class FakePrinter : public output::TBRPrinterDevice {
public:
    // What the printer's canvas is: a recording canvas kept page by page in `pages`, none at
    // all (a printer that only takes stored pages), or an image of the first page (`image`;
    // later pages are drawn and dropped).
    enum class Drawing { Recorded, None, Image };
    struct Options {
        int dpiX = 600;
        int dpiY = 600;
        std::string name{};
        Drawing drawing = Drawing::Recorded;
        QSize imageSize{};    // Drawing::Image
        int defaultPaper = 9; // the paper of the system's default printer: A4
    };

    FakePrinter() : FakePrinter(Options{}) {}
    explicit FakePrinter(Options options);
    ~FakePrinter() override;

    std::string PrinterName() const override { return options_.name; }
    int PixelsPerInchX() const override { return options_.dpiX; }
    int PixelsPerInchY() const override { return options_.dpiY; }
    bool Printing() const override { return printing; }
    void SetTitle(const std::string &t) override { title = t; }
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    platform::Canvas *Canvas() override;
    void SelectPrinter(int, output::TPrinterSettings &) override
    {
        selectedOn.push_back(std::this_thread::get_id());
    }
    void StretchPage(const platform::TMetafile &, const platform::TRect &target) override;
    int DefaultPaperSize() override { return options_.defaultPaper; }

    // The texts of every page, page by page (Drawing::Recorded).
    std::vector<std::vector<std::string>> pageTexts() const;

    // What it was asked, in order: "begin;" (BeginDoc), "page;" (NewPage), "stored;" (a stored
    // page stretched onto the current page), "end;" (EndDoc) and "abort;".
    std::string log;
    std::string title; // the title set last
    bool printing = false;
    int documents = 0; // documents begun
    int ended = 0;     // documents ended by EndDoc
    int aborted = 0;
    // The title and device page count of each document begun.
    struct Job {
        std::string title;
        int pages = 0;
    };
    std::vector<Job> jobs;
    // What was drawn on each device page (Drawing::Recorded), collected when the page ends.
    std::vector<std::vector<platform::CanvasOp>> pages;
    // Stored pages stretched onto the device, and the target of the latest.
    int storedPages = 0;
    platform::TRect storedTarget;
    // Called after each stored page has been counted.
    std::function<void()> onStoredPage;
    // The threads SelectPrinter was called on.
    std::vector<std::thread::id> selectedOn;
    // EndDoc throws (after ending the document) as a spooler that refuses the job.
    bool failEnd = false;

    platform::RecordingCanvas canvas;
    QImage image; // Drawing::Image: the first page

private:
    void startPage();
    void endPage();

    Options options_;
    QImage scratch_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<platform::PainterCanvas> painterCanvas_;
};

} // namespace testsupport
