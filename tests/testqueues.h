#pragma once
// The CUPS test queues of .ci/cups-setup as the printing tests read them: each queue keeps
// every job whole as <spool>/<queue>/job-N.pdf (and its latest also as <spool>/<queue>.pdf).

#include <QString>
#include <QStringList>

namespace testqueues {

// What a printing test that skips says of the missing printers. Under Wine the Linux file
// system is the drive Z:.
#ifdef _WIN32
inline const QString kSpool = QStringLiteral("Z:/var/spool/tavle-print/");
inline const char *const kSetUpHint = "(Wine shows the CUPS test queues of .ci/cups-setup as "
                                      "printers when run with TAVLE_WINE_PRINTERS=1)";
#else
inline const QString kSpool = QStringLiteral("/var/spool/tavle-print/");
inline const char *const kSetUpHint = "(run .ci/cups-setup as root)";
#endif

// Whether `queue` is one of the test queues that keep every job: asked of CUPS itself
// (lpstat), since the queue's job folder appears only with its first job.
bool keepsJobs(const QString &queue);

// The jobs the queue has kept so far, oldest first.
QStringList keptJobs(const QString &queue);

// A word of letters and digits that only this test process prints: a test puts it on the
// first page of each job it prints, so that its jobs are told from those of another program
// printing on the same queue meanwhile (job titles are names, and others may share them).
QString ownMark();

// The text of a kept job's first page (pdftotext).
QString firstPageText(const QString &job);

// The jobs a queue keeps from the moment the watch is made whose first page holds `mark`: a
// job printed earlier, even a moment earlier by another test, is never taken for one of
// them, nor is one printed by another program.
class JobWatch {
public:
    // Where the mark is looked for: the first page's text, or the job's title (a job whose
    // text reaches the printer as outlines has no text to read).
    enum class MarkIn { Text, Title };
    JobWatch(QString queue, QString mark, MarkIn where = MarkIn::Text);
    // The next such job kept after those already seen, as a file, waiting for it up to a
    // minute; empty when none came.
    QString next();

private:
    QString queue_;
    QString mark_;
    MarkIn where_;
    QStringList seen_;
};

} // namespace testqueues
