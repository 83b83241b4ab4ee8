#pragma once
// The CUPS test queues of .ci/cups-setup as the printing tests read them: each queue keeps
// every job whole as <spool>/<queue>/job-N.pdf (and its latest also as <spool>/<queue>.pdf).

#include <QString>
#include <QStringList>

namespace testqueues {

inline const QString kSpool = QStringLiteral("/var/spool/tavle-print/");

// The jobs the queue has kept so far, oldest first.
QStringList keptJobs(const QString &queue);

// The jobs a queue keeps from the moment the watch is made: a job printed earlier, even a
// moment earlier by another test, is never taken for one of them.
class JobWatch {
public:
    explicit JobWatch(QString queue);
    // The next job kept after those already seen, as a file, waiting for it up to a minute;
    // empty when none came.
    QString next();

private:
    QString queue_;
    QStringList seen_;
};

} // namespace testqueues
