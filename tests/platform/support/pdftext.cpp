#include "pdftext.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace platformtest {

void expectTextInPdf(const QString &path, const QString &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.contains("/FontFile2")) << "the glyphs were drawn as outlines";
    EXPECT_TRUE(pdf.contains("/ToUnicode"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext not installed; text extraction not checked";
    QProcess process;
    process.start(pdftotext, {path, QStringLiteral("-")});
    ASSERT_TRUE(process.waitForFinished());
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()).trimmed(), text);
}

} // namespace platformtest
