#include "platform/fontmetrics.h"

#include "platform/fontface.h"
#include "platform/rounding.h"
#include "platform/units.h"

#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace platform {

namespace {
int scaled(int designUnits, int em, int unitsPerEm)
{
    return static_cast<int>(roundHalfEven(static_cast<long double>(designUnits) * em / unitsPerEm));
}
} // namespace

FontMetrics::FontMetrics(const FontFace &face, int em)
    : face_(&face), em_(em), ascent_(scaled(face.winAscent(), em, face.unitsPerEm())),
      descent_(scaled(face.winDescent(), em, face.unitsPerEm()))
{
    for (unsigned byte = 0; byte < advances_.size(); ++byte)
        advances_[byte] =
            scaled(face.advance(static_cast<unsigned char>(byte)), em, face.unitsPerEm());
}

int emPixels(int points, int pixelsPerInch)
{
    // A negative size is a height in points as well; only its magnitude counts.
    return static_cast<int>(
        roundHalfEven(static_cast<long double>(std::abs(points)) * pixelsPerInch / pointsPerInch));
}

const FontMetrics &fontMetrics(unsigned fontStyle, int em)
{
    // Glyph advances per face and em size are computed once; the map only grows, so the
    // references handed out stay valid.
    static std::mutex mutex;
    static std::map<std::pair<unsigned, int>, std::unique_ptr<FontMetrics>> cache;
    // The few fonts a thread is using right now are found without taking the lock.
    struct Recent {
        unsigned style = 0;
        int em = -1;
        const FontMetrics *metrics = nullptr;
    };
    constexpr std::size_t recentCount = 4;
    thread_local std::array<Recent, recentCount> recent{};
    thread_local std::size_t nextRecent = 0;

    const unsigned style = fontStyle & (fsBold | fsItalic);
    for (const Recent &r : recent)
        if (r.metrics != nullptr && r.style == style && r.em == em)
            return *r.metrics;
    const std::lock_guard lock(mutex);
    auto &entry = cache[{style, em}];
    if (!entry)
        entry = std::make_unique<FontMetrics>(faceForStyle(style), em);
    recent[nextRecent++ % recentCount] = {style, em, entry.get()};
    return *entry;
}

} // namespace platform
