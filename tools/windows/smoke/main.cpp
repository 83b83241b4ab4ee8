// smoke OUT.pdf FONT.ttf: writes one A4 page of text in the given font with QPdfWriter.
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: smoke OUT.pdf FONT.ttf\n");
        return 2;
    }
    const int font = QFontDatabase::addApplicationFont(args[2]);
    if (font < 0) {
        std::fprintf(stderr, "smoke: cannot load %s\n", qPrintable(args[2]));
        return 1;
    }
    const QString family = QFontDatabase::applicationFontFamilies(font).value(0);

    QPdfWriter pdf(args[1]);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    pdf.setTitle(QStringLiteral("Tavleplanner smoke test"));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        std::fprintf(stderr, "smoke: cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    painter.setFont(QFont(family, 14));
    painter.drawText(QPoint(300, 300), QStringLiteral("Tavleplanner på Windows: æøå ÆØÅ"));
    painter.end();
    std::printf("smoke: %s wrote %s in %s (Qt %s)\n", qPrintable(QGuiApplication::platformName()),
                qPrintable(args[1]), qPrintable(family), qVersion());
    return 0;
}
