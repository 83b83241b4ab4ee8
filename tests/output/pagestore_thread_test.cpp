// A run appending pages on its own thread while the user-interface thread reads them, as a
// preview does. Built with ThreadSanitizer in CI.
#include "output/brmessage.h"
#include "output/brprinter.h"
#include "platform/workerthread.h"
#include "support/testpages.h"
#include "support/testrandom.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <random>

using namespace output;

namespace {

class PageCounter : public QObject {
public:
    bool event(QEvent *e) override
    {
        const TBRMessage *message = receivedMessage(e);
        if (!message)
            return QObject::event(e);
        if (message->type() == msgPageAvailable)
            last = static_cast<int>(message->WParam);
        return true;
    }
    int last = 0;
};

} // namespace

TEST(PageStoreThreads, TheViewReadsPagesWhileTheRunAppendsThem)
{
    constexpr int pages = 40;
    PageCounter counter;
    TBRPrinter printer;
    printer.SetClient(&counter);
    printer.StartJob(); // before the thread starts, as the preview does
    platform::WorkerThread run([&] {
        for (int n = 1; n <= pages; ++n) {
            printer.NewPage();
            testpages::drawPage(*printer.PageCanvas(), n, 20, 100);
            printer.SetProgress(n * 100 / pages);
        }
        printer.FinishJob();
    });

    testsupport::Random random(7);
    int reads = 0, found = 0;
    while (printer.OutputState() != TBRPrinter::TOutputState::Finished || counter.last < pages) {
        QCoreApplication::sendPostedEvents(&counter);
        const int available = counter.last;
        if (available >= 1) {
            const int n = 1 + static_cast<int>(random() % static_cast<unsigned>(available));
            const auto page = printer.GetPage(n);
            ASSERT_TRUE(page) << "announced page " << n;
            EXPECT_EQ(page->texts().front(), testpages::pageLabel(n));
            ++found;
        }
        // A page not yet announced may or may not be stored; it is never a wrong page.
        if (const auto maybe = printer.GetPage(available + 1)) {
            EXPECT_EQ(maybe->texts().front(), testpages::pageLabel(available + 1));
        }
        ++reads;
    }
    run.join();
    QCoreApplication::sendPostedEvents(&counter);
    EXPECT_EQ(counter.last, pages);
    EXPECT_GT(found, 0);
    EXPECT_FALSE(printer.PageList().Stream()->InMemory()) << "the run crossed the memory limit";
    for (int n = pages; n >= 1; n -= 3)
        EXPECT_EQ(printer.GetPage(n)->texts().front(), testpages::pageLabel(n));
}
