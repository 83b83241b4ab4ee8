#include "platform/emf/emfcanvas.h"

#include "platform/cp1252.h"
#include "platform/emf/emfformat.h"
#include "platform/textrun.h"

#include <stdexcept>

namespace platform {

using namespace emf;

namespace {

std::uint32_t penStyleCode(TPenStyle style)
{
    switch (style) {
    case TPenStyle::psDash:
        return PS_DASH;
    case TPenStyle::psDot:
        return PS_DOT;
    case TPenStyle::psDashDot:
        return PS_DASHDOT;
    case TPenStyle::psDashDotDot:
        return PS_DASHDOTDOT;
    case TPenStyle::psClear:
        return PS_NULL;
    case TPenStyle::psInsideFrame:
        return PS_INSIDEFRAME;
    default:
        return PS_SOLID;
    }
}

std::u16string toUtf16(std::string_view cp1252)
{
    std::u16string out(cp1252.size(), u'\0');
    for (std::size_t i = 0; i < cp1252.size(); ++i)
        out[i] = cp1252ToUnicode(static_cast<unsigned char>(cp1252[i]));
    return out;
}

} // namespace

EmfCanvas::EmfCanvas(int widthPx, int heightPx, int pixelsPerInch)
    : writer_(widthPx, heightPx, pixelsPerInch, pixelsPerInch), width_(widthPx), height_(heightPx),
      ppi_(pixelsPerInch)
{
    // Texts are drawn without background; a fill never has an outline.
    writer_.setBkMode(TRANSPARENT);
    writer_.setTextAlign(TA_TOP);
    writer_.selectObject(stockObjectFlag | NULL_PEN);
}

EmfCanvas::~EmfCanvas() = default;

void EmfCanvas::realizeBrush()
{
    if (brushWritten_ && writtenBrush_ == brush())
        return;
    const std::uint32_t style = brush().Style == TBrushStyle::bsClear ? BS_NULL : BS_SOLID;
    const std::uint32_t handle = writer_.createBrush(style, brush().Color);
    writer_.selectObject(handle);
    if (brushWritten_)
        writer_.deleteObject(brushHandle_);
    brushHandle_ = handle;
    writtenBrush_ = brush();
    brushWritten_ = true;
}

void EmfCanvas::realizePen()
{
    if (penWritten_ ? writtenPen_ == pen() : pen() == TPen{})
        return;
    const std::uint32_t handle =
        writer_.createPen(penStyleCode(pen().Style), pen().Width, pen().Color);
    writer_.selectObject(handle);
    if (penWritten_)
        writer_.deleteObject(penHandle_);
    penHandle_ = handle;
    writtenPen_ = pen();
    penWritten_ = true;
}

void EmfCanvas::realizeFont()
{
    if (!fontWritten_ || !(writtenFont_.Name == font().Name && writtenFont_.Size == font().Size &&
                           writtenFont_.Style == font().Style)) {
        EmfLogFont lf;
        lf.Height = -emPixels(font().Size, ppi_);
        lf.Weight = (font().Style & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.Italic = font().Style & fsItalic;
        lf.Underline = font().Style & fsUnderline;
        lf.StrikeOut = font().Style & fsStrikeOut;
        lf.FaceName = toUtf16(font().Name);
        const std::uint32_t handle = writer_.createFont(lf);
        writer_.selectObject(handle);
        if (fontWritten_)
            writer_.deleteObject(fontHandle_);
        fontHandle_ = handle;
        metrics_ = &fontMetrics(font(), ppi_);
        fontWritten_ = true;
    }
    // A new device context draws text in black, so black needs no record.
    if (writtenTextColor_ != font().Color) {
        writer_.setTextColor(font().Color);
        writtenTextColor_ = font().Color;
    }
    writtenFont_ = font();
}

void EmfCanvas::fillRect(const TRect &rect)
{
    if (finished_)
        throw std::logic_error("page already finished");
    if (brush().Style == TBrushStyle::bsClear || rect.width() <= 0 || rect.height() <= 0)
        return;
    realizePen();
    realizeBrush();
    writer_.patternBlt(rect, PATCOPY);
}

void EmfCanvas::textOut(int x, int y, std::string_view text, TTextAlign align)
{
    if (finished_)
        throw std::logic_error("page already finished");
    if (text.empty())
        return;
    realizeFont();
    std::uint32_t code = TA_TOP;
    if (align == TTextAlign::Right)
        code |= TA_RIGHT;
    else if (align == TTextAlign::Center)
        code |= TA_CENTER;
    if (code != writtenAlign_) {
        writer_.setTextAlign(code);
        writtenAlign_ = code;
    }
    // Placed as the painter canvas places it, so the bounds are where the text is drawn.
    const TextRun run = measuredRun(text, *metrics_);
    const std::vector<std::int32_t> dx(run.advances.begin(), run.advances.end());
    const int total = static_cast<int>(run.width());
    const int left = static_cast<int>(placeRun(QPointF(x, y), total, *metrics_, align).x());
    const TRect bounds{left, y, left + total - 1, y + metrics_->height() - 1};
    writer_.extTextOutW(x, y, run.text, dx, bounds);
}

TSize EmfCanvas::textExtent(std::string_view text)
{
    return fontMetrics(font(), ppi_).extent(text);
}

void EmfCanvas::setClipRect(const TRect &rect)
{
    writer_.resetClip();
    writer_.intersectClipRect(rect);
}

void EmfCanvas::clearClip() { writer_.resetClip(); }

TMetafile EmfCanvas::finish()
{
    if (finished_)
        throw std::logic_error("page already finished");
    finished_ = true;
    return TMetafile(writer_.finish());
}

} // namespace platform
