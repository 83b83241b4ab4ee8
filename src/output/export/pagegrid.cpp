#include "output/export/pagegrid.h"

#include "platform/fontmetrics.h"
#include "platform/length.h"
#include "platform/textrun.h"

#include <algorithm>
#include <cstddef>

namespace output {

namespace {

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

bool meets(Span a, Span b) { return a.left < b.right && b.left < a.right; }

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
        // The left edge every canvas draws the text at.
        const int left =
            static_cast<int>(platform::placeRun(QPointF(op.x, op.y), width, metrics, op.align).x());
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

// The columns, starting from those of earlier pages. The boxes no wider than the median box
// lay them out: one that meets columns merges with them, one that meets none adds a column. The
// wider boxes follow, narrowest first: one that meets a single column widens it, one that meets
// none adds a column, one that meets two or more (a heading, a footer line) changes nothing and
// joins the column it starts in.
std::vector<Span> columnsOf(const std::vector<PlacedText> &texts, std::vector<Span> columns)
{
    std::vector<Span> boxes;
    for (const PlacedText &t : texts)
        boxes.push_back({t.boxLeft, t.boxRight});
    std::sort(boxes.begin(), boxes.end(), [](Span a, Span b) {
        return a.right - a.left != b.right - b.left ? a.right - a.left < b.right - b.left
                                                    : a.left < b.left;
    });
    const int median = boxes[boxes.size() / 2].right - boxes[boxes.size() / 2].left;
    const auto byLeft = [](Span a, Span b) { return a.left < b.left; };
    const auto insert = [&](Span box) {
        columns.insert(std::upper_bound(columns.begin(), columns.end(), box, byLeft), box);
    };
    for (const Span &box : boxes) {
        const auto first =
            std::find_if(columns.begin(), columns.end(), [&](Span c) { return meets(c, box); });
        if (first == columns.end()) {
            insert(box);
            continue;
        }
        const auto end = std::find_if(first, columns.end(), [&](Span c) { return !meets(c, box); });
        if (box.right - box.left <= median) {
            const Span merged{std::min(first->left, box.left),
                              std::max(std::prev(end)->right, box.right)};
            *first = merged;
            columns.erase(std::next(first), end);
        } else if (std::next(first) == end) {
            first->left = std::min(first->left, box.left);
            first->right = std::max(first->right, box.right);
        }
    }
    return columns;
}

// The column a text's box lies in, else the one it starts in, else the nearest one left of it.
int columnOf(const PlacedText &t, const std::vector<Span> &columns)
{
    int column = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].left <= t.boxLeft && t.boxRight <= columns[i].right)
            return static_cast<int>(i);
        if (columns[i].left <= t.boxLeft)
            column = static_cast<int>(i);
    }
    return column;
}

} // namespace

TBRPageGrid BuildPageGrid(const std::vector<platform::CanvasOp> &ops, int pixelsPerInch,
                          std::vector<TBRGridColumn> &knownColumns)
{
    TBRPageGrid grid;
    std::vector<PlacedText> texts = placeTexts(ops, pixelsPerInch);
    if (texts.empty())
        return grid;
    std::vector<Span> known;
    for (const TBRGridColumn &c : knownColumns)
        known.push_back({c.Left, c.Right});
    const std::vector<Span> columns = columnsOf(texts, std::move(known));
    knownColumns.clear();
    for (const Span &c : columns)
        knownColumns.push_back({c.left, c.right});
    for (PlacedText &t : texts)
        t.column = columnOf(t, columns);

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
        grid.ColumnWidthsMM.push_back(
            platform::mmFromPixels(c.right - c.left + gap, pixelsPerInch));

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
