#pragma once
// How a run of text is placed and drawn, once for every renderer: the painter canvas draws with
// it straight away, the EMF canvas records where it places a run, and the player draws recorded
// runs with it. So paper, preview and stored pages set text alike, glyph for glyph, from the
// same font files.

#include "platform/canvas.h"

#include <QPointF>
#include <QRawFont>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QPainter;

namespace platform {

class FontMetrics;

// Characters with the advance of each, in pixels of the device the run is laid out on.
struct TextRun {
    std::u16string text;
    std::vector<qreal> advances; // one per character
    qreal width() const;
};

// Windows-1252 text at the advances the program's measuring gives (whole pixels, no kerning).
TextRun measuredRun(std::string_view text, const FontMetrics &metrics);

// Which edge of the run its reference point lies on vertically.
enum class TextVertical { Top, Baseline, Bottom };

// The top left corner of a run `width` wide in `metrics` whose reference point is `reference`.
// A centred run keeps whole pixels: it starts half its width, rounded toward zero, to the left.
QPointF placeRun(const QPointF &reference, qreal width, const FontMetrics &metrics,
                 TTextAlign align, TextVertical vertical = TextVertical::Top);

// Draws runs on a painter, keeping the glyphs of each face and size it has used.
class TextPainter {
public:
    // Draws `run` with its top left corner at `topLeft` (painter coordinates) and its baseline
    // the font's ascent below, in the face of `style` (TFontStyle bits) at the metrics' em, in
    // `color`. Underline and strike-out come from `style`.
    void draw(QPainter &painter, const TextRun &run, const QPointF &topLeft,
              const FontMetrics &metrics, unsigned style, TColor color);

    // The font engine's own advances of `text` in that face, for runs recorded without them.
    std::vector<qreal> glyphAdvances(const std::u16string &text, unsigned style, int em);

private:
    const QRawFont &face(unsigned style, int em);

    std::map<std::pair<unsigned, int>, QRawFont> faces_;
};

} // namespace platform
