#pragma once
// Text measuring in whole device pixels, the way a Windows device context reports it. A font of
// p points on a device of d pixels per inch has an em of round(p × d ÷ 72) pixels; a glyph
// advances round(design advance × em ÷ units per em) pixels; a text is as wide as the sum of
// its glyph advances (no kerning) and as high as the font's Windows ascent plus descent, each
// rounded to whole pixels. Results depend only on the font files, never on the machine's font
// configuration, and are the same in every thread.

#include "platform/canvas.h"

#include <array>
#include <string_view>

namespace platform {

class FontFace;

// Metrics of one face at one em size. Instances are made once and kept for the whole process,
// so a reference to one stays valid and can be read without locking.
class FontMetrics {
public:
    FontMetrics(const FontFace &face, int em);

    const FontFace &face() const { return *face_; }
    int em() const { return em_; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int height() const { return ascent_ + descent_; }
    int advance(unsigned char byte) const { return advances_[byte]; }
    // Width in pixels of Windows-1252 text.
    int width(std::string_view text) const
    {
        int sum = 0;
        for (const char c : text)
            sum += advances_[static_cast<unsigned char>(c)];
        return sum;
    }
    TSize extent(std::string_view text) const { return {width(text), height()}; }

private:
    const FontFace *face_;
    int em_;
    int ascent_;
    int descent_;
    std::array<int, 256> advances_{};
};

// The em in pixels of a font of `points` on a device of `pixelsPerInch`.
int emPixels(int points, int pixelsPerInch);

// The (cached) metrics of the face of `style` (TFontStyle bits) at an em of `em` pixels.
const FontMetrics &fontMetrics(unsigned style, int em);

// The (cached) metrics of `font` on a device of `pixelsPerInch` (vertical resolution).
inline const FontMetrics &fontMetrics(const TFont &font, int pixelsPerInch)
{
    return fontMetrics(font.Style, emPixels(font.Size, pixelsPerInch));
}

} // namespace platform
