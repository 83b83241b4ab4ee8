#pragma once
// What the fuzz targets do with one input, shared with the unit test that replays their seeds
// and the inputs that once failed. Each answers the engine's own error message, or "" when the
// input read; anything else (a crash, a hang, another exception) is a finding.

#include "output/brerror.h"
#include "output/pagestore/pagelist.h"
#include "platform/emf/emfmetafile.h"
#include "timetable/timetable.h"

#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzbodies {

// A saved report file from anywhere, opened as the preview opens it, then every page read
// forwards and backwards and its texts enumerated.
inline std::string readReportFile(const std::uint8_t *data, std::size_t size)
{
    // The bytes in a stream that never moves to a file.
    auto stream = std::make_unique<output::TBRStream>(std::numeric_limits<std::int64_t>::max());
    stream->Write(data, size);
    output::TBRPageList pages;
    try {
        pages.Open(std::move(stream));
        for (int n = 1; n <= pages.PageCount(); ++n)
            pages.GetPage(n)->texts();
        for (int n = pages.PageCount(); n >= 1; n -= 2)
            pages.GetPage(n);
    } catch (const output::EBRError &e) {
        return e.what();
    }
    return "";
}

// Any bytes as an enhanced metafile: checked, its texts enumerated and the page replayed into a
// small image (a QGuiApplication must exist).
inline std::string readMetafile(const std::uint8_t *data, std::size_t size)
{
    try {
        const platform::TMetafile page(std::vector<std::uint8_t>(data, data + size));
        page.texts();
        QImage image(64, 48, QImage::Format_RGB32);
        QPainter painter(&image);
        page.play(painter, QRectF(0, 0, 64, 48));
    } catch (const platform::EmfError &e) {
        return e.what();
    }
    return "";
}

// Any bytes as the content of a timetable export file, loaded as the main window loads one, then
// listed per teacher and per class with print lists built. A file that is no export ends in the
// reader's own refusal.
inline std::string readExportFile(const std::uint8_t *data, std::size_t size)
{
    timetable::Timetable table([](const std::string &) {});
    try {
        table.LoadBrikkerFromBytes(std::string_view(reinterpret_cast<const char *>(data), size));
    } catch (const timetable::ENotAnExport &e) {
        return e.plain();
    }
    for (const auto mode :
         {timetable::SelectionMode::Teachers, timetable::SelectionMode::Classes}) {
        // The first names and the last: every name would make a run quadratic in the lines.
        const auto names = table.Listing(mode).names;
        for (std::size_t n = 0; n < names.size(); ++n) {
            if (n < 8 || n + 1 == names.size())
                table.BuildPrintList(names[n]);
        }
    }
    return "";
}

} // namespace fuzzbodies
