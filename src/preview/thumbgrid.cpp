#include "preview/thumbgrid.h"

#include <QHeaderView>
#include <QPainter>

namespace preview {

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

void TBRThumbGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    if (OnResize)
        OnResize();
}

} // namespace preview
