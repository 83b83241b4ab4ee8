#pragma once
// Driving a modal window from a test: the window's own event loop runs the test's steps on it.

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace testsupport {

inline constexpr auto modalPatience = std::chrono::seconds(30);

// Calls `step` with the active modal window of type T (and object name `name`, when one is
// given) from that window's own event loop, every `interval` milliseconds, until it returns
// true. Fails the calling test, and closes the modal window left open, when that has not
// happened within `limit`. The timer that drives it is returned: a test whose window may never
// open deletes it before what the step refers to goes out of scope.
template <class T = QWidget>
QPointer<QTimer> whileModal(std::function<bool(T &)> step, const QString &name = {},
                            std::chrono::milliseconds limit = modalPatience, int interval = 5)
{
    auto *timer = new QTimer(qApp);
    const auto until = std::chrono::steady_clock::now() + limit;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step, until, name, interval] {
        QWidget *active = QApplication::activeModalWidget();
        T *window = qobject_cast<T *>(active);
        if (window != nullptr && !name.isEmpty() && window->objectName() != name)
            window = nullptr;
        if (window == nullptr) {
            if (std::chrono::steady_clock::now() > until) {
                ADD_FAILURE() << "no modal window " << name.toStdString() << " in time";
                timer->deleteLater();
                if (active != nullptr)
                    active->close();
            }
            return;
        }
        if (std::chrono::steady_clock::now() > until) {
            ADD_FAILURE() << "the modal window did not get there in time";
            timer->deleteLater();
            window->close();
            return;
        }
        // A step that opens a modal window of its own runs that window's loop inside this
        // call; the timer does not fire inside itself meanwhile.
        timer->stop();
        if (step(*window))
            timer->deleteLater();
        else
            timer->start(interval);
    });
    timer->start(interval);
    return timer;
}

// Calls `act` once with the modal window of type T (named `name`, when given) as soon as it is
// open, from its own event loop.
template <class T = QWidget>
QPointer<QTimer> whenModal(std::function<void(T &)> act, const QString &name = {},
                           std::chrono::milliseconds limit = modalPatience)
{
    return whileModal<T>(
        [act = std::move(act)](T &window) {
            act(window);
            return true;
        },
        name, limit);
}

// The same for the modal window named `name`.
template <class T>
QPointer<QTimer> whenModal(const char *name, std::function<void(T &)> act,
                           std::chrono::milliseconds limit = modalPatience)
{
    return whenModal<T>(std::move(act), QString::fromLatin1(name), limit);
}

} // namespace testsupport
