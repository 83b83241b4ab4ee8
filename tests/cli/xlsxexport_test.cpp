// "Excel regneark" through tavleprint, read back by LibreOffice Calc: the worksheet as CSV holds
// each page as a block of cells that mirrors the page, printing it gives one page per block, and
// a 1,500-page workbook still opens.
#include "support/exportfixture.h"

#include "platform/cp1252.h"
#include "testlocale.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace sheetcheck;

namespace {

using Row = QStringList;

// LibreOffice with a profile of its own, so that tests running side by side do not meet.
class Calc {
public:
    explicit Calc(const QString &dir)
        : soffice_(installed(QStringLiteral("soffice"))), dir_(dir),
          profile_(QStringLiteral("-env:UserInstallation=file://") + dir +
                   QStringLiteral("/profile"))
    {}
    bool available() const { return !soffice_.isEmpty() && !installed("localc").isEmpty(); }
    // Converts `file` to `format` in the test directory; the result's path, or empty.
    QString convert(const QString &file, const QString &format, const QString &extension)
    {
        const int code =
            run(soffice_,
                {profile_, QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
                 QStringLiteral("--outdir"), dir_, file},
                600);
        const QString out = dir_ + QLatin1Char('/') + QFileInfo(file).completeBaseName() +
                            QLatin1Char('.') + extension;
        return code == 0 && QFile::exists(out) ? out : QString();
    }

private:
    QString soffice_, dir_, profile_;
};

// UTF-8, comma-separated, text in double quotes where needed.
const QString kCsv = QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1");

std::vector<Row> readCsv(const QString &path)
{
    QFile file(path);
    std::vector<Row> rows;
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    const QString text = QString::fromUtf8(file.readAll());
    Row row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"'))
                cell += text[++i];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                cell += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << cell;
            cell.clear();
        } else if (c == QLatin1Char('\n')) {
            row << cell;
            rows.push_back(row);
            row.clear();
            cell.clear();
        } else if (c != QLatin1Char('\r')) {
            cell += c;
        }
    }
    return rows;
}

QString cellOf(const Row &row, int column) { return column < row.size() ? row[column] : QString(); }

constexpr int kTileColumns = 10, kTileRows = 6, kLabels = 5;

// The rows of tile texts a page's block must hold: per row of tiles, one row per label, the
// tiles of one column of the page in one column of cells.
std::vector<Row> expectedRows(const std::vector<Placed> &page)
{
    const int bands = static_cast<int>(page.size()) / kLabels;
    std::vector<Row> rows;
    for (int r = 0; r < std::min(bands, kTileRows); ++r) {
        for (int label = 0; label < kLabels; ++label) {
            Row row;
            for (int c = 0; c < kTileColumns; ++c) {
                const int band = c * kTileRows + r;
                row << (band < bands
                            ? platform::toQString(
                                  page[static_cast<std::size_t>(band * kLabels + label)].text)
                            : QString());
            }
            rows.push_back(row);
        }
    }
    return rows;
}

bool tileColumnsEmpty(const Row &row)
{
    for (int c = 0; c < kTileColumns; ++c)
        if (!cellOf(row, c).isEmpty())
            return false;
    return true;
}

} // namespace

TEST(XlsxExport, EachPageIsABlockOfCellsThatMirrorsThePage)
{
    ExportedSheets sheets;
    Calc calc(sheets.dir.path());
    if (!calc.available())
        GTEST_SKIP() << "needs LibreOffice Calc (Debian package libreoffice-calc)";
    const std::string xlsx = sheets.path("all.xlsx");
    const Outcome made =
        tavleprint({"sheets", "--teachers", sheets.exportPath, "--xlsx", xlsx, "--cut-frames"});
    ASSERT_EQ(made.code, 0) << made.err;
    const QString csv = calc.convert(QString::fromStdString(xlsx), kCsv, QStringLiteral("csv"));
    ASSERT_FALSE(csv.isEmpty()) << "LibreOffice did not convert the workbook";
    const std::vector<Row> rows = readCsv(csv);

    // Blocks by their bold first rows; several names in one file name their pages.
    const QStringList headings{QStringLiteral("\u00C5B \u2013 side 1"),
                               QStringLiteral("\u00C5B \u2013 side 2"),
                               QStringLiteral("\u00D8J \u2013 side 1")};
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (headings.contains(cellOf(rows[i], 0)))
            starts.push_back(i);
    ASSERT_EQ(starts.size(), 3u);
    starts.push_back(rows.size());
    const auto expected = sheets.expected({sheets.firstCp1252, sheets.secondCp1252});
    ASSERT_EQ(expected.size(), 3u);
    const QString exportFile =
        QDir(sheets.dir.path()).absoluteFilePath(QStringLiteral("skema.csv"));
    for (std::size_t block = 0; block < 3; ++block) {
        EXPECT_EQ(cellOf(rows[starts[block]], 0), headings[static_cast<int>(block)]);
        std::vector<Row> tiles;
        for (std::size_t i = starts[block] + 1; i < starts[block + 1]; ++i)
            if (!tileColumnsEmpty(rows[i]))
                tiles.push_back(rows[i]);
        ASSERT_FALSE(tiles.empty());
        EXPECT_EQ(cellOf(tiles.back(), 0), exportFile) << "the footer line closes the block";
        tiles.pop_back();
        const std::vector<Row> want = expectedRows(expected[block]);
        ASSERT_EQ(tiles.size(), want.size()) << "block " << block + 1;
        for (std::size_t i = 0; i < want.size(); ++i) {
            Row got = tiles[i].mid(0, kTileColumns);
            while (got.size() < kTileColumns)
                got << QString();
            EXPECT_EQ(got, want[i]) << "block " << block + 1 << ", row " << i + 1;
        }
    }
}

TEST(XlsxExport, PrintedTheWorksheetGivesOnePagePerBlockWithBoldHeadings)
{
    ExportedSheets sheets;
    Calc calc(sheets.dir.path());
    if (!calc.available())
        GTEST_SKIP() << "needs LibreOffice Calc (Debian package libreoffice-calc)";
    // Column widths count in characters of the workbook's font, Calibri; without it or its
    // metric twin a reader lays the columns out wider than Excel does.
    QString fonts;
    run(QStringLiteral("fc-list"), {QStringLiteral(":family=Carlito")}, 30, &fonts);
    if (!fonts.contains(QStringLiteral("Carlito")))
        GTEST_SKIP() << "needs the Calibri-compatible font Carlito (fonts-crosextra-carlito)";
    const std::string xlsx = sheets.path("all.xlsx");
    const Outcome made =
        tavleprint({"sheets", "--teachers", sheets.exportPath, "--xlsx", xlsx, "--cut-frames"});
    ASSERT_EQ(made.code, 0) << made.err;
    const QString pdf =
        calc.convert(QString::fromStdString(xlsx), QStringLiteral("pdf"), QStringLiteral("pdf"));
    ASSERT_FALSE(pdf.isEmpty()) << "LibreOffice did not print the workbook";
    EXPECT_EQ(pdfPageCount(pdf), 3);
    const auto words = pdfWords(pdf);
    ASSERT_EQ(words.size(), 3u);
    for (const auto &page : words)
        EXPECT_EQ(std::count_if(page.begin(), page.end(),
                                [](const Word &w) { return w.text == QStringLiteral("side"); }),
                  1)
            << "one heading on each printed page";
    QString faces;
    run(QStringLiteral("pdffonts"), {pdf}, 30, &faces);
    EXPECT_TRUE(faces.contains(QStringLiteral("Bold"))) << faces.toStdString();
}

TEST(XlsxExport, AFifteenHundredPageWorkbookOpens)
{
    QTemporaryDir dir;
    Calc calc(dir.path());
    if (!calc.available())
        GTEST_SKIP() << "needs LibreOffice Calc (Debian package libreoffice-calc)";
    // 20 lessons fill a page; subject and teacher only, to keep the conversion short.
    constexpr int pages = 1500;
    const std::string exportPath = dir.filePath(QStringLiteral("big.csv")).toStdString();
    {
        std::ofstream file(exportPath, std::ios::binary);
        file << "[L\xC6RERBETEGNELSE;KLASSEBETEGNELSE;FAGBETEGNELSE;LOKALEBETEGNELSE;"
                "PERIODEBETEGNELSE\r\n";
        for (int i = 0; i < pages * 20; ++i)
            file << "\xC6"
                    "B;;f"
                 << i << ";;\r\n";
    }
    const std::string xlsx = dir.filePath(QStringLiteral("big.xlsx")).toStdString();
    const Outcome made = tavleprint({"sheets", "--teachers", exportPath, "--xlsx", xlsx});
    ASSERT_EQ(made.code, 0) << made.err;
    const QString csv = calc.convert(QString::fromStdString(xlsx), kCsv, QStringLiteral("csv"));
    ASSERT_FALSE(csv.isEmpty()) << "LibreOffice did not convert the workbook";
    const std::vector<Row> rows = readCsv(csv);
    int blocks = 0;
    for (const Row &row : rows)
        blocks += cellOf(row, 0).startsWith(QStringLiteral("Side "));
    EXPECT_EQ(blocks, pages);
    const auto last = std::find_if(rows.rbegin(), rows.rend(), [](const Row &row) {
        return row.contains(QStringLiteral("f29999"));
    });
    EXPECT_NE(last, rows.rend()) << "the last tile is in the workbook";
}

// Under a Danish desktop's settings the C library writes "0,25"; the worksheet's numbers are
// read by other programs and must keep their point. The PDF document and the web page come out
// of both locales byte for byte the same.
TEST(XlsxExport, EveryNumberInTheWorksheetHasAPointUnderDanishSettings)
{
    const QString python = installed(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "needs python3 to unpack the workbook";
    ExportedSheets sheets;
    const auto make = [&sheets](const char *option, const char *file) {
        const Outcome made = tavleprint({"sheets", "--teachers", sheets.exportPath, sheets.first,
                                         option, sheets.path(file), "--cut-frames"});
        EXPECT_EQ(made.code, 0) << made.err;
        QFile written(QString::fromStdString(sheets.path(file)));
        return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    };
    const QByteArray cHtml = make("--html", "c.htm");
    const DanishLocale danish;
    if (!danish.active())
        GTEST_SKIP() << "the da_DK.UTF-8 locale is missing (./run generates it as root)";
    make("--xlsx", "dansk.xlsx");
    EXPECT_EQ(make("--html", "dansk.htm"), cHtml);

    QString xml;
    ASSERT_EQ(run(python,
                  {QStringLiteral("-c"),
                   QStringLiteral("import sys, zipfile; sys.stdout.write(zipfile.ZipFile("
                                  "sys.argv[1]).read('xl/worksheets/sheet1.xml').decode())"),
                   QString::fromStdString(sheets.path("dansk.xlsx"))},
                  60, &xml),
              0);
    // Every attribute whose value starts like a number: widths, margins, heights, scales.
    const QRegularExpression attribute(QStringLiteral(R"re(\b(\w+)="(-?[0-9][^"]*)")re"));
    const QRegularExpression number(QStringLiteral(R"re(^-?[0-9]+(\.[0-9]+)?$)re"));
    int numbers = 0;
    for (auto it = attribute.globalMatch(xml); it.hasNext();) {
        const QRegularExpressionMatch found = it.next();
        if (found.captured(1) == QLatin1String("ref") ||
            found.captured(1) == QLatin1String("sqref") ||
            found.captured(1) == QLatin1String("spans") || found.captured(1) == QLatin1String("r"))
            continue; // cell references and row spans
        ++numbers;
        EXPECT_TRUE(number.match(found.captured(2)).hasMatch())
            << found.captured(1).toStdString() << "=\"" << found.captured(2).toStdString() << '"';
    }
    EXPECT_GT(numbers, 10);
    EXPECT_TRUE(xml.contains(QStringLiteral("pageMargins left=\"0.25\"")))
        << xml.left(2000).toStdString();
}
