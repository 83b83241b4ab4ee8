#pragma once
// The page canvas that bands, frames and labels draw on. Coordinates are device pixels of the
// canvas's device; texts are Windows-1252 bytes. Implementations: a QPainter canvas (printers,
// PDF, the screen), the EMF-recording canvas of the page store, and a recording canvas for tests.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// A colour as 0x00BBGGRR.
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr int redOf(TColor c) { return static_cast<int>(c & 0xFF); }
inline constexpr int greenOf(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int blueOf(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFont {
    std::string Name = "Arial";
    int Size = 10;      // points
    unsigned Style = 0; // TFontStyle bits
    TColor Color = clBlack;
    bool operator==(const TFont &) const = default;
};

enum class TBrushStyle { bsSolid, bsClear };
enum class TPenStyle {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psUserStyle,
    psAlternate
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
    bool operator==(const TBrush &) const = default;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = TPenStyle::psSolid;
    bool operator==(const TPen &) const = default;
};

enum class TTextAlign { Left, Right, Center };

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int width() const { return Right - Left; }
    int height() const { return Bottom - Top; }
    bool operator==(const TRect &) const = default;
};

struct TSize {
    int cx = 0, cy = 0;
    bool operator==(const TSize &) const = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual int pixelsPerInchX() const = 0;
    virtual int pixelsPerInchY() const = 0;

    // The drawing state. Every canvas keeps it alike and reads it when it draws.
    void setFont(const TFont &font) { font_ = font; }
    const TFont &font() const { return font_; }
    void setBrush(const TBrush &brush) { brush_ = brush; }
    const TBrush &brush() const { return brush_; }
    void setPen(const TPen &pen) { pen_ = pen; }
    const TPen &pen() const { return pen_; }

    // Fills columns Left up to but not including Right, rows Top up to but not including
    // Bottom, with the current brush.
    virtual void fillRect(const TRect &rect) = 0;

    // Draws `text` in the current font and colour, without background. The reference point is
    // the text's top edge at x (left end, right end or centre, by `align`).
    virtual void textOut(int x, int y, std::string_view text,
                         TTextAlign align = TTextAlign::Left) = 0;

    // Width and height in device pixels of `text` in the current font.
    virtual TSize textExtent(std::string_view text) = 0;

    virtual void setClipRect(const TRect &rect) = 0;
    virtual void clearClip() = 0;

private:
    TFont font_;
    TBrush brush_;
    TPen pen_;
};

} // namespace platform
