#include "preview/thumbgrid.h"

#include "platform/rounding.h"

#include <QHeaderView>
#include <QPainter>

namespace preview {

namespace {
// The column is the grid less this, the thumbnail the column less this, and a thumbnail is
// painted this far inside its cell (more on the right, for the scroll bar).
constexpr int gridColumnInset = 4;
constexpr int thumbInset = 20;
constexpr int thumbCellTop = 10;
constexpr int thumbCellRight = 30;
constexpr int thumbCellBottom = 10;
} // namespace

int TBRThumbGrid::Model::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int TBRThumbGrid::Model::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant TBRThumbGrid::Model::data(const QModelIndex &index, int role) const
{
    // What assistive technology reads for a thumbnail: the page it shows.
    if (index.isValid() && (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole))
        return QStringLiteral("Side %1").arg(index.row() + 1);
    return {};
}

void TBRThumbGrid::Model::setRows(int rows)
{
    if (rows == rows_)
        return;
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
}

void TBRThumbGrid::Delegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    if (grid_.OnDrawCell)
        grid_.OnDrawCell(*painter, option.rect, index.row(),
                         (option.state & QStyle::State_Selected) != 0);
}

TBRThumbGrid::TBRThumbGrid(QWidget *parent) : QTableView(parent)
{
    setModel(&model_);
    setItemDelegate(&delegate_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(1);
    setShowGrid(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::Button));
    setPalette(colours);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && OnSelectCell)
                    OnSelectCell(current.row());
            });
}

TBRThumbGrid::~TBRThumbGrid()
{
    // The model and the delegate are members and go before the view's own destructor runs.
    setItemDelegate(nullptr);
    setModel(nullptr);
}

int TBRThumbGrid::RowCount() const { return model_.rows(); }

void TBRThumbGrid::SetRowCount(int rows) { model_.setRows(std::max(rows, 0)); }

int TBRThumbGrid::RowHeight() const { return verticalHeader()->defaultSectionSize(); }

void TBRThumbGrid::SetRowHeight(int height)
{
    verticalHeader()->setDefaultSectionSize(std::max(height, 1));
}

void TBRThumbGrid::SetColumnWidth(int width) { setColumnWidth(0, std::max(width, 1)); }

int TBRThumbGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TBRThumbGrid::SetRow(int row)
{
    if (row < 0 || row >= model_.rows())
        return;
    setCurrentIndex(model_.index(row, 0));
}

QRect TBRThumbGrid::CellRect(int row) const { return visualRect(model_.index(row, 0)); }

void TBRThumbGrid::fitPaper(long double paperWidth, long double paperLength, bool landscape)
{
    const int textHeight = fontMetrics().height();
    const int columnWidth = width() - gridColumnInset;
    thumbWidth_ = columnWidth - thumbInset;
    const long double height =
        landscape ? thumbWidth_ / paperLength * paperWidth : thumbWidth_ / paperWidth * paperLength;
    thumbHeight_ = static_cast<int>(platform::roundHalfEven(height));
    const auto rowHeight = static_cast<int>(platform::roundHalfEven(height - textHeight));
    horizontalMargin_ =
        static_cast<int>(platform::roundHalfEven((columnWidth - thumbWidth_) / 2.0L));
    SetColumnWidth(columnWidth);
    SetRowHeight(rowHeight);
}

void TBRThumbGrid::paintCellBackground(QPainter &painter, const QRect &cell, bool selected) const
{
    const QPalette &colours = palette();
    painter.fillRect(cell, selected ? colours.color(QPalette::Highlight)
                                    : colours.color(QPalette::Button));
}

QRect TBRThumbGrid::pageRect(const QRect &cell) const
{
    const int left = cell.x() + horizontalMargin_, top = cell.y() + thumbCellTop;
    const int right = cell.x() + cell.width() - thumbCellRight;
    const int bottom = cell.y() + cell.height() - thumbCellBottom;
    return QRect(left, top, right - left, bottom - top);
}

void TBRThumbGrid::paintPageNumber(QPainter &painter, const QRect &cell, int row) const
{
    const QPalette &colours = palette();
    painter.save();
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(colours.color(QPalette::Button));
    painter.setPen(colours.color(QPalette::ButtonText));
    painter.setFont(font());
    painter.drawText(cell.topLeft() + QPoint(0, painter.fontMetrics().ascent()),
                     QString::number(row + 1));
    painter.restore();
}

void TBRThumbGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    if (OnResize)
        OnResize();
}

} // namespace preview
