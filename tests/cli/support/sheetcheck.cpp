#include "sheetcheck.h"

#include "platform/cp1252.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>

namespace sheetcheck {

namespace {
constexpr double kMmPerPoint = 25.4 / 72.0;
// The sheet's geometry in millimetres, default margins: the detail band advances by whole
// native units, so the columns (40 pixels at zoom 60, 176.389 native units) step by 17.6 mm from
// the left margin and the rows ((297 - 8.5 - 9) / 6 - 0.05 mm) by 46.5 mm from the top margin;
// the band labels stand 6 pixels in from either side of the band, at their tops in whole
// pixels (20, 36, 52, 68 and 119 pixels at zoom 100).
constexpr double kPixel = 25.4 / 96.0 * 100.0 / 60.0; // one control pixel at zoom 60, mm
constexpr double kColumnWidth = 17.6;
constexpr double kRowHeight = 46.5;
constexpr double kLeftMargin = 12.0, kTopMargin = 8.5;
constexpr int kBandsPerPage = 60, kRows = 6, kCopies = 3;
// Words of one text follow each other closer than this (a blank is about 1 mm at 9 points).
constexpr double kWordGap = 2.5;
} // namespace

std::vector<std::vector<Placed>> expectedPages(const std::vector<const timetable::TBrik *> &tiles)
{
    std::vector<std::vector<Placed>> pages;
    const int bands = static_cast<int>(tiles.size()) * kCopies;
    for (int band = 0; band < bands; ++band) {
        if (band % kBandsPerPage == 0)
            pages.emplace_back();
        const timetable::TBrik &tile = *tiles[static_cast<std::size_t>(band / kCopies)];
        const int onPage = band % kBandsPerPage;
        const double bandX = kLeftMargin + (onPage / kRows) * kColumnWidth;
        const double bandY = kTopMargin + (onPage % kRows) * kRowHeight;
        const double left = bandX + 6 * kPixel, right = bandX + (40 - 6) * kPixel;
        auto &page = pages.back();
        page.push_back({tile.Fag, false, left, bandY + 12 * kPixel});
        page.push_back({tile.Laerer, true, right, bandY + 22 * kPixel});
        page.push_back({tile.Klasse, false, left, bandY + 31 * kPixel});
        page.push_back({tile.Lokale, true, right, bandY + 41 * kPixel});
        page.push_back({tile.Periode, false, left, bandY + 71 * kPixel});
    }
    return pages;
}

int run(const QString &program, const QStringList &args, int seconds, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForStarted(10000))
        return -1;
    if (!process.waitForFinished(seconds * 1000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString installed(const QString &program) { return QStandardPaths::findExecutable(program); }

std::vector<std::vector<Word>> pdfWords(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    process.waitForFinished(120000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression re(
        QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)</word>"));
    std::vector<std::vector<Word>> pages;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0) == QStringLiteral("<page ")) {
            pages.emplace_back();
            continue;
        }
        QString text = m.captured(5);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        if (!pages.empty())
            pages.back().push_back({text, m.captured(1).toDouble() * kMmPerPoint,
                                    m.captured(2).toDouble() * kMmPerPoint,
                                    m.captured(3).toDouble() * kMmPerPoint,
                                    m.captured(4).toDouble() * kMmPerPoint});
    }
    return pages;
}

namespace {
QString pdfInfo(const QString &pdf)
{
    QString info;
    run(QStringLiteral("pdfinfo"), {pdf}, 60, &info);
    return info;
}
QString infoField(const QString &info, const QString &field)
{
    const auto at = info.indexOf(field);
    return at < 0 ? QString()
                  : info.mid(at + field.size()).section(QLatin1Char('\n'), 0, 0).trimmed();
}
} // namespace

int pdfPageCount(const QString &pdf)
{
    bool ok = false;
    const int pages = infoField(pdfInfo(pdf), QStringLiteral("Pages:")).toInt(&ok);
    return ok ? pages : -1;
}

QString pdfPageSize(const QString &pdf)
{
    return infoField(pdfInfo(pdf), QStringLiteral("Page size:"))
        .section(QStringLiteral(" pts"), 0, 0);
}

bool findText(const std::vector<Word> &words, const Placed &text, double tolerance, double *foundX,
              double *foundY, double *foundLeft)
{
    const QStringList parts =
        platform::toQString(text.text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return true;
    for (const Word &first : words) {
        if (first.text != parts.front() || std::abs(first.yMin - text.y) > tolerance)
            continue;
        // The following words on the same line, each just right of the one before.
        const Word *last = &first;
        bool whole = true;
        for (qsizetype i = 1; i < parts.size() && whole; ++i) {
            const auto next = std::find_if(words.begin(), words.end(), [&](const Word &w) {
                return w.text == parts[i] && std::abs(w.yMin - last->yMin) < 0.05 &&
                       w.xMin > last->xMax && w.xMin - last->xMax < kWordGap;
            });
            whole = next != words.end();
            if (whole)
                last = &*next;
        }
        const double x = text.rightJustified ? last->xMax : first.xMin;
        if (whole && std::abs(x - text.x) <= tolerance) {
            if (foundX)
                *foundX = x;
            if (foundY)
                *foundY = first.yMin;
            if (foundLeft)
                *foundLeft = first.xMin;
            return true;
        }
    }
    return false;
}

} // namespace sheetcheck
