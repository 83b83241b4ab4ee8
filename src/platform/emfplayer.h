#pragma once
// Replays a metafile into any rectangle of a QPainter: the page's pixel grid is stretched over
// the rectangle, fonts are drawn at the scaled size and every character at its recorded
// position, so that the screen, thumbnails and paper show the same layout. Logical coordinates
// go through the metafile's mapping (map mode, window, viewport, reference device) as on the
// device that recorded it; text is laid out in that device's pixels and stays upright.

#include "platform/emfreader.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRawFont>
#include <QRectF>
#include <map>
#include <optional>
#include <variant>
#include <vector>

namespace platform {

class EmfPlayer : public EmfHandler {
public:
    // `width` × `height`: the metafile's page in its own pixels.
    EmfPlayer(QPainter &painter, const QRectF &target, int width, int height);
    ~EmfPlayer() override;

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
    void patternFill(const TRect &rect, std::uint32_t rasterOperation) override;
    void rectangle(const TRect &box) override;
    void polygon(const std::vector<EmfPoint> &points) override;
    void text(const EmfText &t) override;
    void resetClip() override;
    void intersectClipRect(const TRect &rect) override;
    void saveDC() override;
    void restoreDC(std::int32_t relative) override;

private:
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
        int width = 1;
        TColor color = clBlack;
    };
    using Object = std::variant<std::monostate, FontObject, BrushObject, PenObject>;

    struct State {
        FontObject font;
        BrushObject brush;
        PenObject pen;
        TColor textColor = clBlack;
        TColor bkColor = clWhite;
        std::uint32_t bkMode = 2; // opaque, as a new device context
        std::uint32_t textAlign = 0;
        std::optional<QRectF> clip; // in the page's pixels
    };

    void applyClip();
    // Draws the text with its reference point at the origin, in device pixels.
    void drawText(const EmfText &t, int em, qreal advanceScale);
    // The painter's transform for logical coordinates.
    void useLogical();
    const QRawFont &rawFont(unsigned style, int em);

    QPainter &painter_;
    QTransform page_; // the page's pixels into the target
    EmfMapping mapping_;
    std::vector<Object> objects_;
    State state_;
    std::vector<State> saved_;
    std::map<std::pair<unsigned, int>, QRawFont> rawFonts_;
};

} // namespace platform
