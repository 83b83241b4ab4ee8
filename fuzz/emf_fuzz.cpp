// libFuzzer target: any bytes as an enhanced metafile: checked, its texts enumerated and the
// page replayed into a small image. Damage must end in an EmfError.
#include "platform/emfmetafile.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto *app = new QGuiApplication(*argc, *argv); // lives for the whole process
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        const platform::TMetafile page(std::vector<std::uint8_t>(data, data + size));
        page.texts();
        QImage image(64, 48, QImage::Format_RGB32);
        QPainter painter(&image);
        page.play(painter, QRectF(0, 0, 64, 48));
    } catch (const platform::EmfError &) {
    }
    return 0;
}
