#pragma once
// Waiting in a test for something another thread or the event loop brings about.

#include <QCoreApplication>

#include <chrono>
#include <thread>

namespace testsupport {

inline constexpr auto patience = std::chrono::seconds(120);

// Whether the events of the calling thread are handled while waiting.
enum class Events { Processed, Left };

// Polls `done` until it is true (true) or `limit` has passed (false).
template <class Condition>
bool waitFor(Condition done, Events events = Events::Processed,
             std::chrono::milliseconds limit = patience)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        if (events == Events::Processed)
            QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace testsupport
