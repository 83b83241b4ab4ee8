#pragma once
// The numbered window messages of the page output, as events posted to a client object:
// progress in percent (msgProgress) and pages available (msgPageAvailable). Posting never
// waits for the receiving thread. The report's window numbers its own messages after these.

#include <QEvent>
#include <QObject>
#include <cstdint>

namespace output {

inline constexpr int WM_USER = 1024;
inline constexpr QEvent::Type msgProgress = static_cast<QEvent::Type>(WM_USER);
inline constexpr QEvent::Type msgPageAvailable = static_cast<QEvent::Type>(WM_USER + 1);

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
