// A recorded page must open in an independent EMF reader: LibreOffice converts it to PDF and
// the page's texts are found in the PDF's text.
#include "platform/cp1252.h"
#include "platform/emf/emfcanvas.h"
#include "support/testpages.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <fstream>

namespace {

constexpr int conversionTimeoutMs = 180000;

bool run(const QString &program, const QStringList &args, QByteArray *out = nullptr)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(conversionTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (out)
        *out = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

TEST(IndependentReader, LibreOfficeFindsTheTextsOfARecordedTilePage)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (soffice.isEmpty() || pdftotext.isEmpty()) {
#ifndef Q_OS_WIN
        // CI installs both beside the Linux build; a Windows build has no Windows LibreOffice.
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << "CI installs libreoffice-draw and poppler-utils";
#endif
        GTEST_SKIP() << "needs soffice (libreoffice-draw) and pdftotext (poppler-utils)";
    }
    testpages::TempDir dir;
    const std::vector<std::string> texts = {"L\xE6rer ABC", "Klasse 1.a",
                                            "Fag MAT",      "Lokale 12",
                                            "Periode 3",    "\xC6\xD8\xC5 \xE6\xF8\xE5"};
    platform::EmfCanvas canvas(794, 1123);
    canvas.setBrush({platform::clWhite, platform::TBrushStyle::bsSolid});
    canvas.fillRect({20, 20, 96, 200});
    platform::TFont font;
    font.Size = 12;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        font.Style = i == 0 ? unsigned{platform::fsBold} : 0u;
        canvas.setFont(font);
        canvas.textOut(100, 40 + static_cast<int>(i) * 40, texts[i]);
    }
    const auto bytes = canvas.finish().bytes();
    const auto emf = dir.file("tile.emf");
    {
        std::ofstream out(emf, std::ios::binary);
        out.write(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    const QString outDir = QString::fromStdString(dir.file("").string());
    const QString profile =
        "-env:UserInstallation=file://" + QString::fromStdString(dir.file("profile").string());
    ASSERT_TRUE(run(soffice, {profile, "--headless", "--convert-to", "pdf", "--outdir", outDir,
                              QString::fromStdString(emf.string())}));
    QByteArray pdfText;
    ASSERT_TRUE(
        run(pdftotext, {QString::fromStdString(dir.file("tile.pdf").string()), "-"}, &pdfText));
    const QString found = QString::fromUtf8(pdfText);
    for (const std::string &text : texts)
        EXPECT_TRUE(found.contains(platform::toQString(text)))
            << platform::cp1252ToUtf8(text) << " in\n"
            << found.toStdString();
}
