#pragma once

// The look of the result grid DBGrid1: right-aligned cells, the normalised
// Input and Output columns in bold, and at the left a narrow indicator column
// whose marker follows the current row.

#include <QHeaderView>
#include <QStyledItemDelegate>

class QTableView;

namespace pelorin {

class DataSource;

// Cells right-aligned; the Input and Output columns bold.
class ResultGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

// The indicator column: an empty vertical header that draws a black
// triangle in the section of the view's current row.
class IndicatorHeader : public QHeaderView
{
    Q_OBJECT

public:
    static constexpr int indicator_width = 11;

    explicit IndicatorHeader(QTableView *view);

    // The row the marker is on, -1 when there is none.
    int marked_row() const;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    QTableView *m_view;
};

// Binds the grid to the source and gives it its columns: widths 35, 82, 82,
// 84, 84, centred regular titles, the indicator column, a row height for the
// grid's font. The view's current row follows the table's current row.
void set_up_result_grid(QTableView &grid, DataSource &source);

} // namespace pelorin
