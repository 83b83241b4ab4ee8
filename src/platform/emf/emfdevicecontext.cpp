#include "platform/emf/emfdevicecontext.h"

#include "platform/emf/emfformat.h"
#include "platform/units.h"

#include <algorithm>
#include <cmath>

namespace platform {

using namespace emf;

namespace {
constexpr int boldFromWeight = 600;
} // namespace

qreal EmfDeviceContext::fontPagePoints() const
{
    const qreal devicePixels =
        state_.font.height == 0 ? defaultFontPixels
                                : state_.font.height * std::abs(mapping_.logicalToDevice().m22());
    const qreal pagePixels = devicePixels * std::abs(mapping_.deviceToPage().m22());
    return pagePixels * static_cast<qreal>(pointsPerInch) / screenDpi;
}

void EmfDeviceContext::header(const EmfHeader &h) { objects_.assign(h.Handles, std::monostate{}); }

void EmfDeviceContext::mapping(const EmfMapping &m)
{
    mapping_ = m;
    mappingChanged();
}

void EmfDeviceContext::createFont(std::uint32_t index, const EmfLogFont &lf)
{
    FontObject font;
    font.height = std::abs(static_cast<double>(lf.Height));
    font.style = (lf.Weight >= boldFromWeight ? fsBold : 0u) | (lf.Italic ? fsItalic : 0u) |
                 (lf.Underline ? fsUnderline : 0u) | (lf.StrikeOut ? fsStrikeOut : 0u);
    objects_[index] = font;
}

void EmfDeviceContext::createBrush(std::uint32_t index, std::uint32_t style, TColor color)
{
    objects_[index] = BrushObject{style == BS_NULL, color};
}

void EmfDeviceContext::createPen(std::uint32_t index, std::uint32_t style, int width, TColor color)
{
    objects_[index] = PenObject{(style & PS_STYLE_MASK) == PS_NULL, std::max(width, 1), color};
}

void EmfDeviceContext::selectObject(std::uint32_t index)
{
    if (index & stockObjectFlag) {
        switch (index & ~stockObjectFlag) {
        case WHITE_BRUSH:
            state_.brush = {false, clWhite};
            break;
        case BLACK_BRUSH:
            state_.brush = {false, clBlack};
            break;
        case NULL_BRUSH:
            state_.brush = {true, clWhite};
            break;
        case BLACK_PEN:
            state_.pen = {false, 1, clBlack};
            break;
        case WHITE_PEN:
            state_.pen = {false, 1, clWhite};
            break;
        case NULL_PEN:
            state_.pen = {true, 1, clBlack};
            break;
        default:
            break;
        }
        return;
    }
    const Object &object = objects_[index];
    if (const auto *f = std::get_if<FontObject>(&object))
        state_.font = *f;
    else if (const auto *b = std::get_if<BrushObject>(&object))
        state_.brush = *b;
    else if (const auto *p = std::get_if<PenObject>(&object))
        state_.pen = *p;
}

void EmfDeviceContext::deleteObject(std::uint32_t index) { objects_[index] = std::monostate{}; }

TTextAlign EmfDeviceContext::horizontalAlign() const
{
    const std::uint32_t horizontal = state_.textAlign & TA_HORIZONTAL_MASK;
    return horizontal == TA_CENTER  ? TTextAlign::Center
           : horizontal == TA_RIGHT ? TTextAlign::Right
                                    : TTextAlign::Left;
}

TextVertical EmfDeviceContext::verticalAlign() const
{
    const std::uint32_t vertical = state_.textAlign & TA_VERTICAL_MASK;
    return vertical == TA_BASELINE ? TextVertical::Baseline
           : vertical == TA_BOTTOM ? TextVertical::Bottom
                                   : TextVertical::Top;
}

void EmfDeviceContext::saveDC()
{
    if (saved_.size() < maxSavedStates)
        saved_.push_back(state_);
}

void EmfDeviceContext::restoreDC(std::int32_t relative)
{
    const auto keep = restoredDepth(saved_.size(), relative);
    if (!keep)
        return;
    state_ = saved_[*keep];
    saved_.resize(*keep);
    stateRestored();
}

} // namespace platform
