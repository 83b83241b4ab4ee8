// Writes the seed corpus of the fuzz targets: small saved report files (plain, compressed,
// with the older header, one holding the LibreOffice page of corpus/emf) and small metafiles.
// Run: fuzz_makeseeds FUZZ_DIR
#include "output/brprinter.h"
#include "output/pagestore/pagelist.h"
#include "platform/emf/emfcanvas.h"
#include "platform/emf/emfformat.h"

#include <QGuiApplication>
#include <filesystem>
#include <fstream>

namespace {

void write(const std::filesystem::path &path, const std::vector<std::uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> read(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void drawPage(platform::Canvas &canvas, int n)
{
    canvas.setBrush({platform::clWhite, platform::TBrushStyle::bsSolid});
    canvas.fillRect({10, 10, 80, 60});
    platform::TFont font;
    font.Size = 9;
    canvas.setFont(font);
    canvas.textOut(12, 12, "Fag " + std::to_string(n));
    font.Style = platform::fsBold;
    canvas.setFont(font);
    canvas.textOut(40, 30, "L\xE6rer", platform::TTextAlign::Center);
    canvas.setClipRect({0, 0, 50, 50});
    canvas.clearClip();
}

void saveRun(const std::filesystem::path &path, int pages, bool compressed)
{
    output::TBRPrinter printer;
    printer.Settings().CustomWidth = 200; // 2 cm × 1.5 cm pages keep the seeds small
    printer.Settings().CustomLength = 150;
    printer.Settings().SetPaperSize(output::paperCustom);
    printer.Compression = compressed;
    printer.StartJob();
    for (int n = 1; n <= pages; ++n) {
        printer.NewPage();
        drawPage(*printer.PageCanvas(), n);
    }
    printer.FinishJob();
    printer.SavePages(path);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::filesystem::path dir = argc > 1 ? argv[1] : "fuzz";
    const auto brp = dir / "corpus" / "brpfile";
    const auto emf = dir / "corpus" / "emf";
    std::filesystem::create_directories(brp);
    std::filesystem::create_directories(emf);

    saveRun(brp / "one-page.brp", 1, false);
    saveRun(brp / "three-pages.brp", 3, false);
    saveRun(brp / "compressed.brp", 2, true);

    // The older 124-byte header: every offset 4 less.
    std::vector<std::uint8_t> b = read(brp / "three-pages.brp");
    std::vector<std::uint8_t> old(b.begin() + 4, b.end());
    std::fill(old.begin(), old.begin() + 124, 0);
    old[0] = 3;
    old[2] = 40;
    old[5] = 3;
    auto le = [&](std::size_t at) { return platform::readLe32(&old[at]); };
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            old[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    for (std::size_t at = 124; at < old.size();) {
        put(at + 4, le(at + 4) - 4);
        const std::size_t end = le(at + 4);
        put(end - 4, le(end - 4) - 4);
        at = end;
    }
    write(brp / "old-header.brp", old);

    // A page written by LibreOffice (its EMF export), kept as it came, in a saved report file.
    {
        output::TBRPageList pages;
        pages.SetStream(std::make_unique<output::TBRStream>());
        pages.AddPage(platform::TMetafile(read(emf / "libreoffice-page.emf")));
        pages.WriteHeader();
        pages.SaveToFile(brp / "libreoffice-page.brp");
    }

    platform::EmfCanvas canvas(60, 40);
    drawPage(canvas, 1);
    write(emf / "page.emf", canvas.finish().bytes());

    platform::EmfWriter w(60, 40, 96, 96);
    w.selectObject(platform::emf::stockObjectFlag | platform::emf::NULL_PEN);
    w.selectObject(w.createBrush(platform::emf::BS_SOLID, 0xFF));
    w.rectangle({1, 2, 30, 20});
    w.saveDC();
    w.intersectClipRect({0, 0, 10, 10});
    w.restoreDC(-1);
    w.extTextOutA(2, 3, "Lokale", {5, 5, 5, 5, 5, 5}, {2, 3, 32, 15});
    write(emf / "rectangle-and-8-bit-text.emf", w.finish());
    return 0;
}
