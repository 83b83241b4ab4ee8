#pragma once
// The device context a metafile's records work on while it is played: the object table (fonts,
// brushes, pens, the stock objects), the selected objects, the text settings, the clip and the
// stack of saved states, with the mapping the records set. A player draws through its own device
// and reads this state; it is told when the mapping changes and when a saved state returns.

#include "platform/emf/emfreader.h"
#include "platform/textrun.h"

#include <QRectF>
#include <optional>
#include <variant>
#include <vector>

namespace platform {

class EmfDeviceContext : public EmfHandler {
public:
    void header(const EmfHeader &h) override;
    void mapping(const EmfMapping &m) override;
    void createFont(std::uint32_t index, const EmfLogFont &font) override;
    void createBrush(std::uint32_t index, std::uint32_t style, TColor color) override;
    void createPen(std::uint32_t index, std::uint32_t style, int width, TColor color) override;
    void selectObject(std::uint32_t index) override;
    void deleteObject(std::uint32_t index) override;
    void setTextColor(TColor color) override { state_.textColor = color; }
    void setBkColor(TColor color) override { state_.bkColor = color; }
    void setBkMode(std::uint32_t mode) override { state_.bkMode = mode; }
    void setTextAlign(std::uint32_t align) override { state_.textAlign = align; }
    void saveDC() override;
    void restoreDC(std::int32_t relative) override;

protected:
    // The height of a font that asks for the default size, in device pixels.
    static constexpr int defaultFontPixels = 12;

    struct FontObject {
        unsigned style = 0; // TFontStyle bits
        double height = 0;  // logical units; 0 for the default size
    };
    struct BrushObject {
        bool null = false;
        TColor color = clWhite;
    };
    struct PenObject {
        bool null = false;
        int width = 1; // logical units
        TColor color = clBlack;
    };
    struct State {
        FontObject font;
        BrushObject brush;
        PenObject pen;
        TColor textColor = clBlack;
        TColor bkColor = clWhite;
        std::uint32_t bkMode = 2; // opaque, as a new device context
        std::uint32_t textAlign = 0;
        std::optional<QRectF> clip; // in the player's own coordinates, set by the player
    };

    // The selected font's height on the page, in points: its logical height on the recording
    // device, then in the page's pixels (screen pixels).
    qreal fontPagePoints() const;

    // The text alignment set last, as a run is placed by its reference point.
    TTextAlign horizontalAlign() const;
    TextVertical verticalAlign() const;

    // The mapping the records set last; mapping() has stored it when this is called.
    virtual void mappingChanged() {}
    // A saved state has returned, its clip with it.
    virtual void stateRestored() {}

    EmfMapping mapping_;
    State state_;

private:
    using Object = std::variant<std::monostate, FontObject, BrushObject, PenObject>;
    std::vector<Object> objects_;
    std::vector<State> saved_;
};

} // namespace platform
