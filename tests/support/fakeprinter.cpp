#include "fakeprinter.h"

#include "platform/paintercanvas.h"

#include <QPainter>

#include <stdexcept>

namespace testsupport {

FakePrinter::FakePrinter(Options options)
    : canvas(options.dpiX, options.dpiY), options_(std::move(options))
{
    if (options_.drawing == Drawing::Image) {
        image = QImage(options_.imageSize, QImage::Format_RGB32);
        image.fill(Qt::white);
    }
}

FakePrinter::~FakePrinter() = default;

void FakePrinter::BeginDoc()
{
    printing = true;
    ++documents;
    log += "begin;";
    jobs.push_back({title, 1});
    pages.emplace_back();
    startPage();
}

void FakePrinter::NewPage()
{
    endPage();
    log += "page;";
    if (!jobs.empty())
        ++jobs.back().pages;
    pages.emplace_back();
    startPage();
}

void FakePrinter::EndDoc()
{
    endPage();
    printing = false;
    ++ended;
    log += "end;";
    if (failEnd)
        throw std::runtime_error("the spooler refused the job");
}

void FakePrinter::Abort()
{
    endPage();
    printing = false;
    ++aborted;
    log += "abort;";
}

platform::Canvas *FakePrinter::Canvas()
{
    switch (options_.drawing) {
    case Drawing::Recorded:
        return &canvas;
    case Drawing::Image:
        return painterCanvas_.get();
    case Drawing::None:
        break;
    }
    return nullptr;
}

void FakePrinter::StretchPage(const platform::TMetafile &, const platform::TRect &target)
{
    log += "stored;";
    ++storedPages;
    storedTarget = target;
    if (onStoredPage)
        onStoredPage();
}

std::vector<std::vector<std::string>> FakePrinter::pageTexts() const
{
    std::vector<std::vector<std::string>> texts;
    for (const auto &page : pages) {
        texts.emplace_back();
        for (const platform::CanvasOp &op : page)
            if (op.kind == platform::CanvasOp::Kind::TextOut)
                texts.back().push_back(op.text);
    }
    return texts;
}

void FakePrinter::startPage()
{
    if (options_.drawing != Drawing::Image)
        return;
    QImage *page = &image;
    if (pages.size() > 1) {
        scratch_ = QImage(image.size(), QImage::Format_RGB32);
        page = &scratch_;
    }
    painter_ = std::make_unique<QPainter>(page);
    painterCanvas_ =
        std::make_unique<platform::PainterCanvas>(*painter_, options_.dpiX, options_.dpiY);
}

void FakePrinter::endPage()
{
    if (options_.drawing == Drawing::Recorded && !pages.empty()) {
        for (const platform::CanvasOp &op : canvas.ops())
            pages.back().push_back(op);
        canvas.clear();
    }
    painterCanvas_.reset();
    painter_.reset();
}

} // namespace testsupport
