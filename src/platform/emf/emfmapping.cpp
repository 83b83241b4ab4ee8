#include "platform/emf/emfformat.h"
#include "platform/emf/emfreader.h"

#include <cmath>

namespace platform {

using namespace emf;

std::optional<std::size_t> restoredDepth(std::size_t depth, std::int32_t relative)
{
    if (relative < 0) {
        const auto back = static_cast<std::size_t>(-static_cast<long long>(relative));
        if (back > depth)
            return std::nullopt;
        return depth - back;
    }
    if (relative < 1 || static_cast<std::size_t>(relative) > depth)
        return std::nullopt;
    return static_cast<std::size_t>(relative) - 1;
}

EmfMapping::EmfMapping(const EmfHeader &header)
{
    // The reference device's size in micrometres: the precise extension when present, else
    // the whole millimetres. A header without a usable size is taken as a page-grid device.
    const double microX =
        header.Micrometers.cx > 0 ? header.Micrometers.cx : 1000.0 * header.Millimeters.cx;
    const double microY =
        header.Micrometers.cy > 0 ? header.Micrometers.cy : 1000.0 * header.Millimeters.cy;
    if (header.Device.cx > 0 && microX > 0 && header.Device.cy > 0 && microY > 0) {
        devicePixelsX_ = header.Device.cx;
        devicePixelsY_ = header.Device.cy;
        deviceMicrometersX_ = microX;
        deviceMicrometersY_ = microY;
        // Devices have whole dots per inch; the sizes in the header are rounded, so the
        // resolution is too. A page recorded at the page grid's own resolution then replays
        // pixel for pixel.
        const double dpiX = std::round(devicePixelsX_ * micrometresPerInch / microX);
        const double dpiY = std::round(devicePixelsY_ * micrometresPerInch / microY);
        if (dpiX >= 1)
            pageScaleX_ = screenDpi / dpiX;
        if (dpiY >= 1)
            pageScaleY_ = screenDpi / dpiY;
    }
    // The frame's corner is the page's origin.
    pageOffsetX_ = -static_cast<double>(header.Frame.Left) * screenDpi / hundredthsMmPerInch;
    pageOffsetY_ = -static_cast<double>(header.Frame.Top) * screenDpi / hundredthsMmPerInch;
}

void EmfMapping::setMapMode(std::uint32_t mode)
{
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return;
    if (mode == mode_ && (mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC))
        return;      // keeps the extents set in this mode
    double unit = 0; // micrometres per logical unit in the fixed modes
    switch (mode) {
    case MM_TEXT:
        windowExtX_ = windowExtY_ = viewportExtX_ = viewportExtY_ = 1;
        break;
    case MM_LOMETRIC:
    case MM_ISOTROPIC: // starts from the MM_LOMETRIC extents
        unit = micrometresPerTenthMm;
        break;
    case MM_HIMETRIC:
        unit = micrometresPerHundredthMm;
        break;
    case MM_LOENGLISH:
        unit = micrometresPerHundredthInch;
        break;
    case MM_HIENGLISH:
        unit = micrometresPerThousandthInch;
        break;
    case MM_TWIPS:
        unit = micrometresPerTwip;
        break;
    default: // MM_ANISOTROPIC keeps the current extents
        break;
    }
    if (unit > 0) {
        // The fixed modes count upwards from the bottom of the device.
        windowExtX_ = deviceMicrometersX_ / unit;
        windowExtY_ = deviceMicrometersY_ / unit;
        viewportExtX_ = devicePixelsX_;
        viewportExtY_ = -devicePixelsY_;
    }
    mode_ = mode;
}

void EmfMapping::setWindowOrg(std::int32_t x, std::int32_t y)
{
    windowOrgX_ = x;
    windowOrgY_ = y;
}

void EmfMapping::setViewportOrg(std::int32_t x, std::int32_t y)
{
    viewportOrgX_ = x;
    viewportOrgY_ = y;
}

void EmfMapping::setWindowExt(std::int32_t cx, std::int32_t cy)
{
    // Only the scalable modes take extents, and never a zero one.
    if ((mode_ != MM_ISOTROPIC && mode_ != MM_ANISOTROPIC) || cx == 0 || cy == 0)
        return;
    windowExtX_ = cx;
    windowExtY_ = cy;
    if (mode_ == MM_ISOTROPIC)
        fixIsotropic();
}

void EmfMapping::setViewportExt(std::int32_t cx, std::int32_t cy)
{
    if ((mode_ != MM_ISOTROPIC && mode_ != MM_ANISOTROPIC) || cx == 0 || cy == 0)
        return;
    viewportExtX_ = cx;
    viewportExtY_ = cy;
    if (mode_ == MM_ISOTROPIC)
        fixIsotropic();
}

void EmfMapping::fixIsotropic()
{
    // One logical unit is equally long on the paper in both directions: the viewport extent of
    // the direction with the longer unit shrinks, keeping its sign, to at least one pixel.
    const double xdim =
        std::abs(viewportExtX_ / windowExtX_) * deviceMicrometersX_ / devicePixelsX_;
    const double ydim =
        std::abs(viewportExtY_ / windowExtY_) * deviceMicrometersY_ / devicePixelsY_;
    if (xdim > ydim) {
        const double shrunk = std::round(viewportExtX_ * ydim / xdim);
        viewportExtX_ = shrunk != 0 ? shrunk : (viewportExtX_ >= 0 ? 1 : -1);
    } else if (ydim > xdim) {
        const double shrunk = std::round(viewportExtY_ * xdim / ydim);
        viewportExtY_ = shrunk != 0 ? shrunk : (viewportExtY_ >= 0 ? 1 : -1);
    }
}

QTransform EmfMapping::logicalToDevice() const
{
    const double sx = viewportExtX_ / windowExtX_;
    const double sy = viewportExtY_ / windowExtY_;
    return QTransform(sx, 0, 0, sy, viewportOrgX_ - sx * windowOrgX_,
                      viewportOrgY_ - sy * windowOrgY_);
}

QTransform EmfMapping::deviceToPage() const
{
    return QTransform(pageScaleX_, 0, 0, pageScaleY_, pageOffsetX_, pageOffsetY_);
}

} // namespace platform
