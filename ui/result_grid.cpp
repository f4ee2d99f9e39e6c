#include "ui/result_grid.h"

#include "calc/result_table.h"

#include <QPainter>
#include <QPolygon>
#include <QTableView>

#include <array>

namespace pelorin {

void ResultGridDelegate::initStyleOption(QStyleOptionViewItem *option,
                                         const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    if (index.column() == 1 || index.column() == 2)
        option->font.setBold(true);
}

IndicatorHeader::IndicatorHeader(QTableView *view) : QHeaderView(Qt::Vertical, view), m_view(view)
{
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumWidth(indicator_width);
    setMaximumWidth(indicator_width);
}

int IndicatorHeader::marked_row() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void IndicatorHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text.clear();
    // The style may leave the painter clipped to the section's label.
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
    if (logicalIndex != marked_row())
        return;
    // A small black triangle pointing right, centred in the section.
    const QPoint centre = rect.center();
    const QPolygon triangle(
        {centre + QPoint(-2, -4), centre + QPoint(2, 0), centre + QPoint(-2, 4)});
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::black);
    painter->drawPolygon(triangle);
    painter->restore();
}

void set_up_result_grid(QTableView &grid, DataSource &source)
{
    auto *header = new IndicatorHeader(&grid);
    grid.setVerticalHeader(header);
    grid.setItemDelegate(new ResultGridDelegate(&grid));
    grid.setModel(&source);
    // The blank end rows of the Point column are wider than the column: they
    // show nothing rather than an elision mark.
    grid.setTextElideMode(Qt::ElideNone);

    const int row_height = grid.fontMetrics().height() + 4;
    header->setDefaultSectionSize(row_height);
    header->setMinimumSectionSize(row_height);

    QHeaderView *titles = grid.horizontalHeader();
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setStretchLastSection(false);
    titles->setMinimumSectionSize(8);
    titles->setFixedHeight(row_height);
    static constexpr std::array<int, Table::field_count> widths = {35, 82, 82, 84, 84};
    for (int column = 0; column < Table::field_count; ++column)
        titles->resizeSection(column, widths[std::size_t(column)]);

    // The marker and the view's current cell follow the table's current row;
    // moving through the grid moves the marker with it. A new row becomes
    // current before it is stored, so the rows' arrival is followed as well.
    Table *table = source.dataset();
    const auto follow_table = [&grid, &source, table] {
        const int row = table ? table->current_row() : -1;
        const int column = qMax(0, grid.currentIndex().column());
        const QModelIndex current =
            row >= 0 && row < source.rowCount() ? source.index(row, column) : QModelIndex();
        grid.selectionModel()->setCurrentIndex(current, QItemSelectionModel::Clear);
        grid.verticalHeader()->viewport()->update();
    };
    if (table)
        QObject::connect(table, &Table::currentRowChanged, &grid, follow_table);
    QObject::connect(&source, &QAbstractItemModel::rowsInserted, &grid, follow_table);
    QObject::connect(&source, &QAbstractItemModel::rowsRemoved, &grid, follow_table);
    QObject::connect(&source, &QAbstractItemModel::modelReset, &grid, follow_table);
    QObject::connect(grid.selectionModel(), &QItemSelectionModel::currentRowChanged, header,
                     [header] { header->viewport()->update(); });
}

} // namespace pelorin
