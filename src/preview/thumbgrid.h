#pragma once
// The preview's thumbnail grid: one column, one row per page, drawn by the preview window
// (ThumbGridDrawCell) for the rows that are painted only, so that a long run costs nothing
// until its thumbnails are looked at. The grid keeps the thumbnails' metrics: the column and
// row sizes for the paper shown, and where in its cell a page and its number are painted.

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

namespace preview {

class TBRThumbGrid : public QTableView {
    Q_OBJECT
public:
    // Rows before the page count is first known.
    static constexpr int InitialRowCount = 5;

    explicit TBRThumbGrid(QWidget *parent = nullptr);
    ~TBRThumbGrid() override;

    int RowCount() const;
    void SetRowCount(int rows);
    int RowHeight() const;
    void SetRowHeight(int height);
    void SetColumnWidth(int width);
    int Row() const;
    void SetRow(int row);
    // The rectangle of row r in the grid's viewport.
    QRect CellRect(int row) const;

    // Sizes the column and the rows for pages of this paper (its width and length as the page
    // stands, in any one unit), the thumbnail taking the shape of the page as it is turned.
    void fitPaper(long double paperWidth, long double paperLength, bool landscape);
    // The thumbnail's size, as fitPaper left it.
    int thumbWidth() const { return thumbWidth_; }
    int thumbHeight() const { return thumbHeight_; }
    // A cell's background (the highlight when selected) and, over the page, its page number.
    void paintCellBackground(QPainter &painter, const QRect &cell, bool selected) const;
    void paintPageNumber(QPainter &painter, const QRect &cell, int row) const;
    // Where in `cell` the page is painted.
    QRect pageRect(const QRect &cell) const;

    std::function<void(QPainter &painter, const QRect &cell, int row, bool selected)> OnDrawCell;
    std::function<void(int row)> OnSelectCell;
    std::function<void()> OnResize;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    class Model : public QAbstractTableModel {
    public:
        int rowCount(const QModelIndex &parent) const override;
        int columnCount(const QModelIndex &parent) const override;
        QVariant data(const QModelIndex &index, int role) const override;
        void setRows(int rows);
        int rows() const { return rows_; }

    private:
        int rows_ = InitialRowCount;
    };
    class Delegate : public QStyledItemDelegate {
    public:
        explicit Delegate(TBRThumbGrid &grid) : grid_(grid) {}
        void paint(QPainter *painter, const QStyleOptionViewItem &option,
                   const QModelIndex &index) const override;

    private:
        TBRThumbGrid &grid_;
    };

    Model model_;
    Delegate delegate_{*this};
    int thumbWidth_ = 0;
    int thumbHeight_ = 0;
    int horizontalMargin_ = 0;
};

} // namespace preview
