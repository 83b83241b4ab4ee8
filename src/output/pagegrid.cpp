#include "output/pagegrid.h"

#include "platform/fontmetrics.h"

#include <algorithm>
#include <cstddef>

namespace output {

namespace {

constexpr double mmPerInch = 25.4;
// A box wider than this many times the median box width is a heading or a footer line.
constexpr int wideBoxFactor = 2;
// Texts whose tops differ by at most this part of the text height stand on one line.
constexpr int lineToleranceDivisor = 4;

struct PlacedText {
    const platform::CanvasOp *op;
    int left, right, top, height;
    int boxLeft, boxRight;
    int column = 0;
};

struct Span {
    int left, right;
};

bool contains(const platform::TRect &r, int x, int y)
{
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

std::vector<PlacedText> placeTexts(const std::vector<platform::CanvasOp> &ops, int pixelsPerInch)
{
    std::vector<const platform::CanvasOp *> fills;
    std::vector<PlacedText> texts;
    for (const platform::CanvasOp &op : ops) {
        if (op.kind == platform::CanvasOp::Kind::FillRect) {
            if (op.brush.Style == platform::TBrushStyle::bsSolid && op.rect.width() > 0 &&
                op.rect.height() > 0)
                fills.push_back(&op);
            continue;
        }
        if (op.kind != platform::CanvasOp::Kind::TextOut || op.text.empty())
            continue;
        const platform::FontMetrics &metrics = platform::fontMetrics(op.font, pixelsPerInch);
        const int width = metrics.width(op.text);
        int left = op.x;
        if (op.align == platform::TTextAlign::Right)
            left -= width;
        else if (op.align == platform::TTextAlign::Center)
            left -= width / 2;
        PlacedText text{&op, left, left + width, op.y, metrics.height(), left, left + width};
        const int cx = left + width / 2, cy = op.y + metrics.height() / 2;
        // The box drawn last under the text: usually the one drawn just before it.
        for (auto it = fills.rbegin(); it != fills.rend(); ++it) {
            if (contains((*it)->rect, cx, cy)) {
                text.boxLeft = (*it)->rect.Left;
                text.boxRight = (*it)->rect.Right;
                break;
            }
        }
        texts.push_back(text);
    }
    return texts;
}

// The columns: the boxes of ordinary width, overlapping ones merged, left to right.
std::vector<Span> columnsOf(const std::vector<PlacedText> &texts, int &wideLimit)
{
    std::vector<int> widths;
    for (const PlacedText &t : texts)
        widths.push_back(t.boxRight - t.boxLeft);
    std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
    wideLimit = std::max(1, widths[widths.size() / 2] * wideBoxFactor);
    std::vector<Span> boxes;
    for (const PlacedText &t : texts)
        if (t.boxRight - t.boxLeft <= wideLimit)
            boxes.push_back({t.boxLeft, t.boxRight});
    std::sort(boxes.begin(), boxes.end(), [](Span a, Span b) { return a.left < b.left; });
    std::vector<Span> columns;
    for (const Span &b : boxes) {
        if (!columns.empty() && b.left < columns.back().right)
            columns.back().right = std::max(columns.back().right, b.right);
        else
            columns.push_back(b);
    }
    return columns;
}

int columnOf(const PlacedText &t, const std::vector<Span> &columns, int wideLimit)
{
    const bool wide = t.boxRight - t.boxLeft > wideLimit;
    const int x = wide ? t.boxLeft : (t.boxLeft + t.boxRight) / 2;
    int column = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].left <= x)
            column = static_cast<int>(i);
        if (x < columns[i].right)
            break;
    }
    return column;
}

} // namespace

TBRPageGrid BuildPageGrid(const std::vector<platform::CanvasOp> &ops, int pixelsPerInch)
{
    TBRPageGrid grid;
    std::vector<PlacedText> texts = placeTexts(ops, pixelsPerInch);
    if (texts.empty())
        return grid;
    int wideLimit = 0;
    const std::vector<Span> columns = columnsOf(texts, wideLimit);
    for (PlacedText &t : texts)
        t.column = columnOf(t, columns, wideLimit);

    // Each column as wide as its boxes and the usual gap to the next column.
    std::vector<int> gaps;
    for (std::size_t i = 1; i < columns.size(); ++i)
        gaps.push_back(std::max(0, columns[i].left - columns[i - 1].right));
    int gap = 0;
    if (!gaps.empty()) {
        std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
        gap = gaps[gaps.size() / 2];
    }
    for (const Span &c : columns)
        grid.ColumnWidthsMM.push_back((c.right - c.left + gap) * mmPerInch / pixelsPerInch);

    std::stable_sort(texts.begin(), texts.end(), [](const PlacedText &a, const PlacedText &b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    std::size_t first = 0;
    while (first < texts.size()) {
        std::size_t end = first + 1;
        const int limit = texts[first].top + texts[first].height / lineToleranceDivisor;
        while (end < texts.size() && texts[end].top <= limit)
            ++end;
        std::stable_sort(texts.begin() + static_cast<std::ptrdiff_t>(first),
                         texts.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const PlacedText &a, const PlacedText &b) {
                             return a.column != b.column ? a.column < b.column : a.left < b.left;
                         });
        TBRGridRow row;
        for (std::size_t i = first; i < end; ++i) {
            const platform::CanvasOp &op = *texts[i].op;
            const bool bold = (op.font.Style & platform::fsBold) != 0;
            if (!row.Cells.empty() && row.Cells.back().Column == texts[i].column) {
                row.Cells.back().Text += ' ' + op.text;
                row.Cells.back().Bold = row.Cells.back().Bold || bold;
            } else {
                row.Cells.push_back({texts[i].column, op.text, bold, op.font.Size});
            }
        }
        grid.Rows.push_back(std::move(row));
        first = end;
    }
    return grid;
}

} // namespace output
