#include "output/brmessage.h"

#include <QCoreApplication>

#if defined(__SANITIZE_THREAD__)
#define TAVLE_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TAVLE_TSAN 1
#endif
#endif

#ifdef TAVLE_TSAN
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#endif

namespace output {

namespace {
#ifdef TAVLE_TSAN
char handOver; // the address the hand-over is marked on
#endif
} // namespace

void postMessage(QObject *receiver, QEvent::Type type, std::intptr_t wParam, std::intptr_t lParam)
{
    auto *message = new TBRMessage(type, wParam, lParam); // the event queue takes ownership
#ifdef TAVLE_TSAN
    __tsan_release(&handOver);
#endif
    QCoreApplication::postEvent(receiver, message);
}

const TBRMessage *receivedMessage(const QEvent *event)
{
#ifdef TAVLE_TSAN
    __tsan_acquire(&handOver);
#endif
    if (event->type() != msgProgress && event->type() != msgPageAvailable)
        return nullptr;
    return static_cast<const TBRMessage *>(event);
}

} // namespace output
