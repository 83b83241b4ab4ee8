#pragma once
// TBRCustomLabel and TBRLabel: a text label. Its print text is broken into lines that fit its
// width, measured the way the page will print them, and drawn line by line; a stretching label
// grows its band or carries its remaining lines over to the next column or page.

#include "platform/length.h"
#include "report/printable.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace report {

class TBRCustomLabel;
class TBRTextMeasure;
using TBRLabelOnPrintEvent = std::function<void(TBRCustomLabel &Sender, std::string &Value)>;

class TBRCustomLabel : public TBRPrintable {
public:
    TBRCustomLabel();

    // Texts are Windows-1252 bytes.
    const std::string &Caption() const { return caption_; }
    void SetCaption(const std::string &caption);
    const std::string &PrintText() const { return printText_; }

    bool AutoSize = true;
    bool AutoStretch = false;
    bool WordWrap = true;
    // The font's point size when the definition was written; applied after loading.
    int FontSize = 0;
    TBRLabelOnPrintEvent OnPrint;

    const platform::TFont &Font() const { return font_; }
    // A font of its own: ParentFont is cleared.
    void SetFont(const platform::TFont &font);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);
    // The font the label prints in: its own, or its parent's when ParentFont is set.
    platform::TFont EffectiveFont() const;

    const std::vector<std::string> &Lines() const { return lines_; }
    int LineCursor() const { return lineCursor_; }
    bool Formatted() const { return formatted_; }

    // Width of `text` in control pixels at the control's zoom.
    int MeasuredWidth(std::string_view text) const;

    // The engine's label operations, in slot order after those of TBRPrintable.
    virtual bool CaptionBased() const { return true; }
    virtual void BreakLines();

    void Loaded() override;
    void BeginPrinting() override;
    void PrintControl(long double offsetX, long double offsetY) override;

protected:
    void ParentChanged() override { BreakLines(); }

private:
    void breakSegment(const std::string &segment, const TBRTextMeasure *measure, int width);
    void applyAutoSize(const TBRTextMeasure *measure);
    void applyMinimumHeight();
    // Where a print draws the lines (inside the frame's top and left edge).
    struct TextBox {
        platform::TLength left, top, width, height;
    };
    // One print: OnPrint's text broken into lines, the background, as many lines as fit from
    // the line cursor on (a stretching label growing its band for more) and the frame.
    void drawText(platform::TLength left, platform::TLength top, platform::TLength width,
                  platform::TLength height, platform::TLength widthBeforePrint,
                  platform::TLength lineHeight);
    // Runs OnPrint on the print text, taking the height and line height the handler leaves.
    // The print text the definition holds when the handler changed it, to put back after the
    // print; none when it did not.
    std::optional<std::string> runOnPrint(platform::Canvas *canvas, platform::TLength &height,
                                          platform::TLength &lineHeight);
    // The x position of the lines' alignment point.
    platform::TLength textX(platform::TLength left, platform::TLength width,
                            platform::TLength widthBeforePrint) const;
    // Draws the lines that fit from the line cursor on; the growth of the band they took.
    platform::TLength drawLines(platform::Canvas *canvas, const TextBox &box, platform::TLength x,
                                platform::TLength lineHeight);
    // A stretching label's band grown by one more line if the page has room: its expansion
    // after that, or none.
    std::optional<platform::TLength> growBandByLine(platform::TLength lineHeight, bool firstGrowth);
    platform::TLength lineHeight() const;
    int widthOf(std::string_view text, const TBRTextMeasure *measure) const;

    std::string caption_;
    std::string printText_;
    platform::TFont font_;
    bool parentFont_ = true;
    std::vector<std::string> lines_;
    int lineCursor_ = 0;
    bool boundsUpdating_ = false;
    bool formatted_ = false;
};

// The label of report definitions.
class TBRLabel : public TBRCustomLabel {
public:
    using TBRCustomLabel::TBRCustomLabel;
};

} // namespace report
