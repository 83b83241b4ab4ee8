#include "pdftext.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace platformtest {

PdfText pdfText(const QString &path)
{
    PdfText out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    out.readable = true;
    const QByteArray pdf = file.readAll();
    out.embedsFontFile = pdf.contains("/FontFile2");
    out.mapsToUnicode = pdf.contains("/ToUnicode");
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return out;
    QProcess process;
    process.start(pdftotext, {path, QStringLiteral("-")});
    if (process.waitForFinished())
        out.text = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return out;
}

} // namespace platformtest
