#include "testqueues.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

namespace testqueues {

bool keepsJobs(const QString &queue)
{
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-v"), queue});
    if (!lpstat.waitForFinished(10000) || lpstat.exitCode() != 0)
        return false;
    return QString::fromUtf8(lpstat.readAllStandardOutput()).contains(QStringLiteral("tavlefile:"));
}

QStringList keptJobs(const QString &queue)
{
    // Job numbers are zero-padded, so the names sort oldest first.
    return QDir(kSpool + queue).entryList({QStringLiteral("job-*.pdf")}, QDir::Files, QDir::Name);
}

QString ownMark()
{
    static const QString mark = QStringLiteral("TAVLE%1X%2")
                                    .arg(QCoreApplication::applicationPid())
                                    .arg(QDateTime::currentMSecsSinceEpoch() % 1000000000);
    return mark;
}

QString firstPageText(const QString &job)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-l"), QStringLiteral("1"), job, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

namespace {

QString jobTitle(const QString &job)
{
    QFile title(job.chopped(3) + QStringLiteral("title"));
    return title.open(QIODevice::ReadOnly) ? QString::fromUtf8(title.readAll()).trimmed()
                                           : QString();
}

} // namespace

JobWatch::JobWatch(QString queue, QString mark, MarkIn where)
    : queue_(std::move(queue)), mark_(std::move(mark)), where_(where), seen_(keptJobs(queue_))
{}

QString JobWatch::next()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 60000) {
        for (const QString &job : keptJobs(queue_)) {
            if (!seen_.contains(job)) {
                // A job appears whole (it is renamed into place), so one look at it is enough.
                seen_ << job;
                const QString file = kSpool + queue_ + QLatin1Char('/') + job;
                if (where_ == MarkIn::Text ? firstPageText(file).contains(mark_)
                                           : jobTitle(file) == mark_)
                    return file;
            }
        }
        QThread::msleep(100);
    }
    return {};
}

} // namespace testqueues
