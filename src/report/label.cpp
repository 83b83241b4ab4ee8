#include "report/label.h"

#include "output/pagetarget.h"
#include "platform/fontmetrics.h"
#include "platform/length.h"
#include "platform/rounding.h"
#include "platform/screen.h"
#include "platform/units.h"
#include "report/band.h"
#include "report/customreport.h"

#include <algorithm>
#include <optional>

namespace report {

namespace {
constexpr char lineFeed = '\n';
constexpr char carriageReturn = '\r';
constexpr std::string_view lineHeightSample = "W";
using platform::pointsPerInch;
using platform::TLength;
// Below the label a line may reach this much further.
constexpr TLength bottomAllowance = TLength::fromNative(1);

bool isBreakCharacter(char c) { return c == ' ' || c == '-' || c == carriageReturn; }

platform::TTextAlign textAlign(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taRightJustify:
        return platform::TTextAlign::Right;
    case TAlignment::taCenter:
        return platform::TTextAlign::Center;
    default:
        return platform::TTextAlign::Left;
    }
}
} // namespace

TBRCustomLabel::TBRCustomLabel() = default;

void TBRCustomLabel::SetCaption(const std::string &caption)
{
    caption_ = caption;
    printText_ = caption;
    formatted_ = false;
    BreakLines();
}

void TBRCustomLabel::SetFont(const platform::TFont &font)
{
    font_ = font;
    parentFont_ = false;
    BreakLines();
}

void TBRCustomLabel::SetParentFont(bool parentFont)
{
    parentFont_ = parentFont;
    BreakLines();
}

platform::TFont TBRCustomLabel::EffectiveFont() const
{
    const TBRBasePanel *parent = Parent();
    if (!parentFont_ || parent == nullptr)
        return font_;
    if (parent->IsBand() && static_cast<const TBRCustomBand *>(parent)->ParentFont &&
        ParentReport() != nullptr)
        return ParentReport()->Font;
    return parent->Font;
}

int TBRCustomLabel::widthOf(std::string_view text, const TBRTextMeasure *measure) const
{
    if (measure == nullptr) // no report: the control's own screen canvas
        return platform::fontMetrics(EffectiveFont(), platform::screenPixelsPerInch()).width(text);
    return static_cast<int>(platform::roundHalfEven(measure->Width(text) * Zoom() / percent));
}

int TBRCustomLabel::MeasuredWidth(std::string_view text) const
{
    if (ParentReport() == nullptr)
        return widthOf(text, nullptr);
    const TBRTextMeasure measure = ParentReport()->Measure(EffectiveFont());
    return widthOf(text, &measure);
}

void TBRCustomLabel::BreakLines()
{
    if (Parent() == nullptr)
        return;
    lines_.clear();
    std::optional<TBRTextMeasure> measure;
    if (ParentReport() != nullptr)
        measure.emplace(ParentReport()->Measure(EffectiveFont()));
    const TBRTextMeasure *m = measure ? &*measure : nullptr;

    std::string text = printText_;
    text.erase(std::remove(text.begin(), text.end(), lineFeed), text.end());
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(carriageReturn, start);
        const std::string segment =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (AutoSize)
            lines_.push_back(segment);
        else
            breakSegment(segment, m, Width());
        if (end == std::string::npos)
            break;
        start = end + 1;
    }

    if (AutoSize && ParentReport() != nullptr && !boundsUpdating_)
        applyAutoSize(m);
    if (CaptionBased() && ParentReport() != nullptr && !boundsUpdating_)
        applyMinimumHeight();
    formatted_ = true;
}

void TBRCustomLabel::breakSegment(const std::string &segment, const TBRTextMeasure *measure,
                                  int width)
{
    std::string line;
    std::string word;
    // Width of the current line with `extra` appended, without building a new string.
    const auto widthWith = [&](std::string_view extra) {
        const std::size_t length = line.size();
        line.append(extra);
        const int w = widthOf(line, measure);
        line.resize(length);
        return w;
    };
    bool closed = false;
    std::size_t start = 0;
    while (start < segment.size()) {
        std::size_t end = start;
        while (end < segment.size() && !isBreakCharacter(segment[end]))
            ++end;
        if (end < segment.size())
            ++end; // the word keeps its space or hyphen
        word.assign(segment, start, end - start);
        start = end;

        if (widthWith(word) <= width) {
            line += word;
            continue;
        }
        if (line.empty()) {
            // The word alone is too wide: keep the front part that fits, drop the rest.
            std::size_t kept = 0;
            while (kept < word.size() && widthWith(std::string_view(&word[kept], 1)) < width)
                line += word[kept++];
            word.clear();
        }
        lines_.push_back(line);
        line.clear();
        if (widthOf(word, measure) > width) {
            if (width == 0)
                word.clear();
            else
                while (!word.empty() && widthOf(word, measure) > width)
                    word.pop_back();
            lines_.push_back(word);
            word.clear();
        }
        if (!WordWrap) {
            word.clear();
            closed = true;
        }
        line += word;
    }
    if (!closed)
        lines_.push_back(line);
}

void TBRCustomLabel::applyAutoSize(const TBRTextMeasure *measure)
{
    boundsUpdating_ = true;
    int newWidth = 0;
    for (const std::string &line : lines_)
        newWidth = std::max(newWidth, widthOf(line, measure));
    if (Frame.DrawLeft())
        newWidth += Frame.Width();
    if (Frame.DrawRight())
        newWidth += Frame.Width();
    const int oldWidth = Width();
    int left = Left();
    if (Alignment() == TAlignment::taRightJustify)
        left += oldWidth - newWidth;
    else if (Alignment() == TAlignment::taCenter)
        left += (oldWidth - newWidth) / 2;
    SetBounds(left, Top(), newWidth, Height());
    applyMinimumHeight();
    boundsUpdating_ = false;
}

void TBRCustomLabel::applyMinimumHeight()
{
    const int textHeight =
        ParentReport()->ReferenceTextExtent(EffectiveFont(), lineHeightSample).cy;
    const int minimum = textHeight * Zoom() / percent + 1;
    if (Height() < minimum)
        SetHeight(minimum);
}

void TBRCustomLabel::Loaded()
{
    TBRPrintable::Loaded();
    if (FontSize > 0) {
        platform::TFont font = font_;
        font.Size = FontSize;
        SetFont(font);
    }
}

void TBRCustomLabel::BeginPrinting()
{
    TBRPrintable::BeginPrinting();
    SetCaption(caption_);
}

TLength TBRCustomLabel::lineHeight() const
{
    output::TBRPageTarget *target = Printer();
    if (target != nullptr && target->PageCanvas() != nullptr)
        return TLength::fromNative(target->PageCanvas()->textExtent(lineHeightSample).cy /
                                   target->VerticalFactor);
    // No page canvas: the reference device stands in for it.
    const int dpi = ParentReport() != nullptr ? ParentReport()->ReferenceResolution()
                                              : platform::screenPixelsPerInch();
    return TLength::fromNative(platform::fontMetrics(EffectiveFont(), dpi).height() /
                               TLength::pixelsPerNative(dpi));
}

void TBRCustomLabel::PrintControl(long double offsetX, long double offsetY)
{
    if (!MayPrint())
        return;
    platform::Canvas *canvas = Printer() != nullptr ? Printer()->PageCanvas() : nullptr;
    if (canvas != nullptr)
        canvas->setFont(EffectiveFont());
    // The position is fixed before OnPrint runs; a handler's Left or Top counts next time.
    const TLength left = Size.LengthAt(TBRPrintableSize::LeftIndex) + TLength::fromNative(offsetX);
    const TLength top = Size.LengthAt(TBRPrintableSize::TopIndex) + TLength::fromNative(offsetY);
    const TLength width = Size.LengthAt(TBRPrintableSize::WidthIndex);
    const TLength height = Size.LengthAt(TBRPrintableSize::HeightIndex);
    drawText(left, top, width, height, width, lineHeight());
}

void TBRCustomLabel::drawText(TLength left, TLength top, TLength width, TLength height,
                              TLength widthBeforePrint, TLength lineHeight)
{
    platform::Canvas *canvas = Printer() != nullptr ? Printer()->PageCanvas() : nullptr;
    const std::optional<std::string> definedText = runOnPrint(canvas, height, lineHeight);
    BreakLines();
    // A handler's Width or Height counts in this very print.
    width = Size.LengthAt(TBRPrintableSize::WidthIndex);

    const bool drawing = Drawing();
    const output::TBRPageTarget *t = Printer();
    if (drawing && !Transparent) {
        canvas->setBrush({Color, platform::TBrushStyle::bsSolid});
        canvas->setPen({Color, 0, platform::TPenStyle::psSolid});
        canvas->fillRect(t->ToDeviceRect(left, top, left + width, top + height));
    }
    const TLength frameWidth = TLength::fromNative(
        platform::roundHalfEven(Frame.Width() / pointsPerInch * platform::nativePerInch));
    if (Frame.AnySide()) {
        if (Frame.DrawTop())
            top += frameWidth;
        if (Frame.DrawLeft())
            left += frameWidth;
    }
    const TLength growth = drawLines(canvas, {left, top, width, height},
                                     textX(left, width, widthBeforePrint), lineHeight);
    if (canvas != nullptr)
        canvas->clearClip();

    if (drawing && Frame.AnySide())
        Frame.PaintFrame(
            *canvas,
            t->ToDeviceRect(left - frameWidth, top - frameWidth, left + width,
                            top + Size.LengthAt(TBRPrintableSize::HeightIndex) + growth),
            t->HorizontalFactor, t->VerticalFactor);
    if (definedText)
        printText_ = *definedText;
}

std::optional<std::string> TBRCustomLabel::runOnPrint(platform::Canvas *canvas, TLength &height,
                                                      TLength &lineHeight)
{
    if (printText_.empty() || !OnPrint)
        return std::nullopt;
    std::string value = printText_;
    OnPrint(*this, value);
    if (canvas != nullptr)
        canvas->setFont(EffectiveFont());
    height = Size.LengthAt(TBRPrintableSize::HeightIndex);
    lineHeight = this->lineHeight();
    if (value == printText_)
        return std::nullopt;
    std::string defined = std::move(printText_);
    printText_ = std::move(value);
    return defined;
}

TLength TBRCustomLabel::textX(TLength left, TLength width, TLength widthBeforePrint) const
{
    TLength x = left;
    if (AutoSize) {
        // Keep the right edge (or the centre) where it was before the lines were rebuilt.
        if (Alignment() == TAlignment::taRightJustify)
            x = left - (width - widthBeforePrint);
        else if (Alignment() == TAlignment::taCenter)
            x = left - (width - widthBeforePrint) / 2;
    }
    if (Alignment() == TAlignment::taRightJustify)
        x += width;
    else if (Alignment() == TAlignment::taCenter)
        x += width / 2;
    return x;
}

TLength TBRCustomLabel::drawLines(platform::Canvas *canvas, const TextBox &box, TLength x,
                                  TLength lineHeight)
{
    const bool drawing = Drawing();
    const output::TBRPageTarget *t = Printer();
    const platform::TTextAlign align = textAlign(Alignment());
    TLength bottomLimit = box.top + box.height + bottomAllowance;
    TLength lineTop = box.top;
    if (PrintFinished)
        lineCursor_ = 0;
    TLength growth;
    bool firstGrowth = true;
    while (lineCursor_ < static_cast<int>(lines_.size())) {
        if (bottomLimit < lineTop + lineHeight) {
            const std::optional<TLength> expanded = growBandByLine(lineHeight, firstGrowth);
            if (!expanded)
                break;
            firstGrowth = false;
            growth = *expanded;
            const TLength previousLimit = bottomLimit;
            bottomLimit = box.top + box.height + bottomAllowance + growth;
            if (drawing && !Transparent) {
                canvas->setBrush({Color, platform::TBrushStyle::bsSolid});
                canvas->fillRect(
                    t->ToDeviceRect(box.left, previousLimit, box.left + box.width, bottomLimit));
            }
        }
        const std::string &line = lines_[static_cast<std::size_t>(lineCursor_)];
        if (drawing && !line.empty())
            canvas->textOut(t->ToDeviceX(x), t->ToDeviceY(lineTop), line, align);
        lineTop += lineHeight;
        ++lineCursor_;
    }
    PrintFinished = !(lineCursor_ < static_cast<int>(lines_.size()) && AutoStretch);
    return growth;
}

std::optional<TLength> TBRCustomLabel::growBandByLine(TLength lineHeight, bool firstGrowth)
{
    auto *band = static_cast<TBRCustomBand *>(ParentBand());
    if (!AutoStretch || band == nullptr || ParentReport() == nullptr)
        return std::nullopt;
    const TLength expanded = TLength::fromNative(band->Expanded);
    const TLength needed = lineHeight + band->Size.LengthAt(TBRBandSize::HeightIndex) + expanded;
    if (ParentReport()->AvailableSpace() < needed.roundedNative())
        return std::nullopt;
    // A sibling may already have grown the band further than this label's first line.
    if (!firstGrowth || lineHeight >= expanded)
        band->Expanded += lineHeight.native();
    return TLength::fromNative(band->Expanded);
}

} // namespace report
