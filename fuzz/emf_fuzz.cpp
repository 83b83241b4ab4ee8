// libFuzzer target: any bytes as an enhanced metafile: checked, its texts enumerated and the
// page replayed into a small image. Damage must end in an EmfError.
#include "fuzzbodies.h"

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto *app = new QGuiApplication(*argc, *argv); // lives for the whole process
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzbodies::readMetafile(data, size);
    return 0;
}
