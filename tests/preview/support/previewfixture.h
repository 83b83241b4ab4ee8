#pragma once
// A preview window over a few recorded pages, for the preview's tests: the pages' page output
// held by a stand-in for the report, which the window's end releases it to.

#include "output/brprinter.h"
#include "preview/brpreview.h"
#include "preview/standardpreview.h"
#include "support/testpages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace previewtest {

using output::TBRPreviewRequest;
using output::TBRPrinter;
using output::TBRReportLink;
using preview::TBRPreview;
using preview::TBRStandardPreview;

// The report's side of a preview: the preview's end releases the page output, as a report
// does for a finished run.
class ReportWindow : public TBRReportLink {
public:
    explicit ReportWindow(std::unique_ptr<TBRPrinter> output) : output_(std::move(output)) {}
    void EndPreview(TBRPrinter &output) override
    {
        ends.push_back(&output);
        if (ends.back() == output_.get())
            output_.reset();
    }
    void PrintLater() override {}
    void Print() override {}
    void StopRun(TBRPrinter &) override {}
    void PrinterSetup(TBRPrinter &) override {}
    TBRPrinter *output() const { return output_.get(); }
    std::vector<TBRPrinter *> ends;

private:
    std::unique_ptr<TBRPrinter> output_;
};

struct PreviewOf {
    // `pages` finished pages; with `running` the job is left running after them.
    explicit PreviewOf(int pages, bool running = false)
        : PreviewOf(pages, running,
                    [](platform::Canvas &canvas, int n) { testpages::drawPage(canvas, n, 4, 5); })
    {}
    // One label per text on each page.
    explicit PreviewOf(const std::vector<std::vector<std::string>> &texts, bool running = false)
        : PreviewOf(static_cast<int>(texts.size()), running,
                    [&texts](platform::Canvas &canvas, int n) {
                        int y = 20;
                        for (const std::string &text : texts[static_cast<std::size_t>(n - 1)]) {
                            canvas.textOut(20, y, text);
                            y += 30;
                        }
                    })
    {}
    PreviewOf(int pages, bool running, const std::function<void(platform::Canvas &, int)> &draw)
        : report(std::make_unique<TBRPrinter>())
    {
        TBRPrinter &output = *report.output();
        output.StartJob();
        for (int n = 1; n <= pages; ++n) {
            output.NewPage();
            draw(*output.PageCanvas(), n);
        }
        if (!running)
            output.FinishJob();
        QCoreApplication::processEvents();
        window = std::make_unique<TBRStandardPreview>(
            TBRPreviewRequest{output, &report, {}, "", false, 100});
        window->show();
        QApplication::setActiveWindow(window.get());
        QCoreApplication::processEvents();
    }
    ~PreviewOf()
    {
        if (report.output() != nullptr &&
            report.output()->OutputState() == TBRPrinter::TOutputState::Running)
            report.output()->FinishJob();
        window.reset();
    }
    TBRPreview &view() const { return window->Preview(); }
    template <class T = QAbstractButton> T *control(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    void click(const char *button) const { QTest::mouseClick(control(button), Qt::LeftButton); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const
    {
        QWidget *focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr && focused->window() == window.get() ? focused
                                                                                : window.get(),
                        key, modifiers);
    }

    ReportWindow report;
    std::unique_ptr<TBRStandardPreview> window;
};

} // namespace previewtest
