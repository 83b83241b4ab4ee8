#pragma once
// A canvas colour (0x00BBGGRR) in the forms the renderers write it: a QColor for painters and
// CSS "#rrggbb" for HTML, both from rgbOf's 0xRRGGBB (the order spreadsheet libraries take too).

#include "platform/canvas.h"

#include <QColor>
#include <cstdint>
#include <string>

namespace platform {

// The colour as 0xRRGGBB.
inline constexpr std::uint32_t rgbOf(TColor c)
{
    return static_cast<std::uint32_t>(redOf(c)) << 16 |
           static_cast<std::uint32_t>(greenOf(c)) << 8 | static_cast<std::uint32_t>(blueOf(c));
}

// The colour, opaque.
inline QColor toQColor(TColor c) { return QColor::fromRgb(rgbOf(c)); }

// The colour as CSS writes it, "#rrggbb".
inline std::string cssColour(TColor c)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string out(7, '#');
    const std::uint32_t rgb = rgbOf(c);
    for (int i = 0; i < 6; ++i)
        out[static_cast<std::size_t>(6 - i)] = hex[(rgb >> (4 * i)) & 0xF];
    return out;
}

} // namespace platform
