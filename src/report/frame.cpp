#include "report/frame.h"

#include "platform/rounding.h"
#include "report/reportunits.h"

#include <algorithm>

namespace report {

namespace {
using platform::nativePerInch;
using platform::pointsPerInch;
} // namespace

bool TBRFrame::GetSide(int index) const
{
    return index >= 0 && index < static_cast<int>(sides_.size()) &&
           sides_[static_cast<std::size_t>(index)];
}

void TBRFrame::SetSide(int index, bool draw)
{
    if (index >= 0 && index < static_cast<int>(sides_.size()))
        sides_[static_cast<std::size_t>(index)] = draw;
}

bool TBRFrame::AnySide() const
{
    return std::any_of(sides_.begin(), sides_.end(), std::identity{});
}

int TBRFrame::Thickness(long double factor, int widthPoints)
{
    if (widthPoints == onePixelWidth)
        return 1;
    const auto t = static_cast<int>(
        platform::roundHalfEven(factor / pointsPerInch * nativePerInch * widthPoints));
    return widthPoints >= 1 ? std::max(t, 1) : std::max(t, 0);
}

void TBRFrame::PaintFrame(platform::Canvas &canvas, const platform::TRect &rect, long double fx,
                          long double fy) const
{
    const int tx = Thickness(fx, width_);
    const int ty = Thickness(fy, width_);
    canvas.setBrush({color_, platform::TBrushStyle::bsSolid});
    // The pen follows Style, but the lines are brush fills and so always solid.
    canvas.setPen({color_, 1, style_});
    const auto [l, t, r, b] = rect;
    if (DrawTop())
        canvas.fillRect({l, t, r, t + ty});
    if (DrawBottom())
        canvas.fillRect({l, b - ty, r, b});
    if (DrawLeft())
        canvas.fillRect({l, t, l + tx, b});
    if (DrawRight())
        canvas.fillRect({r - tx, t, r, b});
}

} // namespace report
