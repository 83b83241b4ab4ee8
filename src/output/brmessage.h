#pragma once
// The numbered window messages of the page output, as events posted to a client object:
// progress in percent (1024) and pages available (1025). Posting never waits for the
// receiving thread.

#include <QEvent>
#include <QObject>
#include <cstdint>

namespace output {

inline constexpr int WM_USER = 1024;
inline constexpr QEvent::Type msgProgress = static_cast<QEvent::Type>(WM_USER);
inline constexpr QEvent::Type msgPageAvailable = static_cast<QEvent::Type>(WM_USER + 1);
// Posted to the report's window by ReplayToPrinter: the report prints itself with a new run.
inline constexpr QEvent::Type msgPrintReport = static_cast<QEvent::Type>(WM_USER + 2);
// Sent to the report's window by a preview window that closes, with its page output as LParam.
inline constexpr QEvent::Type msgEndPreview = static_cast<QEvent::Type>(WM_USER + 4);
// Sent to the report's window by a page output that is about to load a saved report file while
// the report's run still draws into it (LParam = the page output): the report stops the run and
// waits for its thread before the send returns.
inline constexpr QEvent::Type msgStopRun = static_cast<QEvent::Type>(WM_USER + 5);
// Sent to the report's window by the preview's print settings command (LParam = the page output
// shown): the report runs its PrinterSetup and gives that page output the settings.
inline constexpr QEvent::Type msgPrinterSetup = static_cast<QEvent::Type>(WM_USER + 6);

class TBRMessage : public QEvent {
public:
    TBRMessage(QEvent::Type type, std::intptr_t wParam, std::intptr_t lParam)
        : QEvent(type), WParam(wParam), LParam(lParam)
    {}
    const std::intptr_t WParam;
    const std::intptr_t LParam;
};

// Posts message `type` to `receiver`, from any thread.
void postMessage(QObject *receiver, QEvent::Type type, std::intptr_t wParam,
                 std::intptr_t lParam = 0);

// The page output's message in `event`, or nullptr for any other event. A client's event()
// reads messages through this: the event crossed threads through Qt's own locks, which
// ThreadSanitizer sees only through the hand-over marked here.
const TBRMessage *receivedMessage(const QEvent *event);

} // namespace output
