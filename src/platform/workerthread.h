#pragma once
// WorkerThread: runs one function on a thread of its own and is joined before it goes.
// It is a QThread rather than a bare std::thread. Qt tidies what a thread kept for itself
// (the font engines its text measuring made, for one) as the thread ends; for a thread Qt did
// not start, Windows leaves that to a watcher thread afterwards, which can still be freeing
// the fonts while the program exits, and then the program crashes on its way out.

#include <QThread>

#include <functional>
#include <memory>
#include <utility>

namespace platform {

class WorkerThread {
public:
    explicit WorkerThread(std::function<void()> body) : thread_(QThread::create(std::move(body)))
    {
        thread_->start();
    }
    ~WorkerThread() { join(); }
    WorkerThread(WorkerThread &&) noexcept = default;
    WorkerThread &operator=(WorkerThread &&) = delete;
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    // Waits for the function to end; at once when it has (or the thread was moved away).
    void join()
    {
        if (thread_)
            thread_->wait();
    }

private:
    std::unique_ptr<QThread> thread_;
};

} // namespace platform
