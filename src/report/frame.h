#pragma once
// TBRFrame: up to four straight lines along the sides of a rectangle, drawn as filled
// rectangles whose thickness is given in points and turned into device pixels.

#include "platform/canvas.h"

#include <array>

namespace report {

class TBRFrame {
public:
    enum Side { TopSide, BottomSide, LeftSide, RightSide };
    // A width of −1 points means one device pixel on every device.
    static constexpr int onePixelWidth = -1;

    platform::TColor Color() const { return color_; }
    void SetColor(platform::TColor color) { color_ = color; }
    // The side flags are set through one indexed setter (0 top, 1 bottom, 2 left, 3 right).
    bool GetSide(int index) const;
    void SetSide(int index, bool draw);
    bool DrawTop() const { return GetSide(TopSide); }
    bool DrawBottom() const { return GetSide(BottomSide); }
    bool DrawLeft() const { return GetSide(LeftSide); }
    bool DrawRight() const { return GetSide(RightSide); }
    void SetDrawTop(bool v) { SetSide(TopSide, v); }
    void SetDrawBottom(bool v) { SetSide(BottomSide, v); }
    void SetDrawLeft(bool v) { SetSide(LeftSide, v); }
    void SetDrawRight(bool v) { SetSide(RightSide, v); }
    int Width() const { return width_; }
    void SetWidth(int points) { width_ = points; }
    platform::TPenStyle Style() const { return style_; }
    void SetStyle(platform::TPenStyle style) { style_ = style; }

    bool AnySide() const;

    // Line thickness in device pixels for `factor` device pixels per native unit.
    static int Thickness(long double factor, int widthPoints);

    // Draws the lines for the device rectangle `rect`; fx and fy are device pixels per native
    // unit across and down. The lines lie inside the rectangle and are always solid.
    void PaintFrame(platform::Canvas &canvas, const platform::TRect &rect, long double fx,
                    long double fy) const;

private:
    platform::TColor color_ = platform::clBlack;
    std::array<bool, 4> sides_{};
    int width_ = 1;
    platform::TPenStyle style_ = platform::TPenStyle::psSolid;
};

} // namespace report
