#include "testqueues.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>

namespace testqueues {

QStringList keptJobs(const QString &queue)
{
    // Job numbers are zero-padded, so the names sort oldest first.
    return QDir(kSpool + queue).entryList({QStringLiteral("job-*.pdf")}, QDir::Files, QDir::Name);
}

JobWatch::JobWatch(QString queue) : queue_(std::move(queue)), seen_(keptJobs(queue_)) {}

QString JobWatch::next()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 60000) {
        for (const QString &job : keptJobs(queue_)) {
            if (!seen_.contains(job)) {
                seen_ << job;
                return kSpool + queue_ + QLatin1Char('/') + job;
            }
        }
        QThread::msleep(100);
    }
    return {};
}

} // namespace testqueues
