#include "ui/result_grid.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>

#include "calc/errors.h"
#include "calc/result_table.h"
#include "calc/table_text.h"
#include "report/output_file.h"
#include "report/preview/prompts.h"
#include "ui/application.h"
#include "ui/info_help_style.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontMetricsF>
#include <QMimeData>
#include <QPainter>
#include <QPolygon>
#include <QTableView>
#include <QTransform>

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

void ResultGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (cell.state & QStyle::State_Active) ? QPalette::Normal
                                                                             : QPalette::Inactive;
    const bool selected = cell.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(cell.rect, cell.palette.brush(group, QPalette::Highlight));
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(
        cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const QStaticText &text = static_text(cell.text, cell.font);
    const QRect box = cell.rect.adjusted(2, 0, -3, 0);
    const QSizeF size = text.size();
    const qreal left = cell.displayAlignment & Qt::AlignRight ? box.right() + 1 - size.width()
                       : cell.displayAlignment & Qt::AlignHCenter
                           ? box.left() + (box.width() - size.width()) / 2
                           : box.left();
    painter->drawStaticText(QPointF(left, box.top() + (box.height() - size.height()) / 2), text);
    painter->restore();
    if (cell.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(cell);
        focus.backgroundColor =
            cell.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
        const QWidget *widget = cell.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

// The grid shows a few dozen short texts again and again: their laid-out
// form is kept, so a repaint does not shape the same digits anew.
const QStaticText &ResultGridDelegate::static_text(const QString &text, const QFont &font) const
{
    const TextKey key{text, font.key()};
    auto found = m_texts.find(key);
    if (found != m_texts.end())
        return *found;
    if (m_texts.size() > 4096)
        m_texts.clear();
    QStaticText laid_out(text);
    laid_out.setTextFormat(Qt::PlainText);
    laid_out.setPerformanceHint(QStaticText::AggressiveCaching);
    laid_out.prepare(QTransform(), font);
    return *m_texts.insert(key, laid_out);
}

TitleHeader::TitleHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {}

QFont TitleHeader::title_font(int logicalIndex) const
{
    QStyleOptionHeader option;
    initStyleOption(&option);
    QHeaderView::initStyleOptionForIndex(&option, logicalIndex);
    option.rect = QRect(0, 0, sectionSize(logicalIndex), height());
    const QRect label = style()->subElementRect(QStyle::SE_HeaderLabel, &option, this);
    const QString text = option.text;
    return condensed_to_fit(font(), label.width(), [&text](const QFont &font) {
        return QFontMetricsF(font).horizontalAdvance(text);
    });
}

void TitleHeader::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    option->fontMetrics = QFontMetrics(title_font(logicalIndex));
}

// The style keeps its header margin above and below the title as well as at
// its sides, which leaves the title row less height than the font's ascent
// and descent: the letters below the line would be cut. The title keeps the
// side margins and is centred on the height of the whole section, whose
// bevel leaves room for the font.
void TitleHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    painter->save();
    painter->setFont(title_font(logicalIndex));
    QStyleOptionHeader option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
    const QRect label = style()->subElementRect(QStyle::SE_HeaderLabel, &option, this);
    option.rect = QRect(label.left(), rect.top(), label.width(), rect.height());
    style()->drawControl(QStyle::CE_HeaderLabel, &option, painter, this);
    painter->restore();
}

IndicatorHeader::IndicatorHeader(QTableView *view) : QHeaderView(Qt::Vertical, view), m_view(view)
{
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumWidth(indicator_width);
    setMaximumWidth(indicator_width);
}

void IndicatorHeader::set_row_height(int height)
{
    m_row_height = height;
    setDefaultSectionSize(height);
    setMinimumSectionSize(height);
}

bool IndicatorHeader::event(QEvent *event)
{
    const bool handled = QHeaderView::event(event);
    // Polishing the grid for the style sets the style's row height; the grid
    // keeps the height of its font.
    switch (event->type()) {
    case QEvent::Polish:
    case QEvent::StyleChange:
    case QEvent::FontChange:
        if (m_row_height > 0 && defaultSectionSize() != m_row_height)
            set_row_height(m_row_height);
        break;
    default:
        break;
    }
    return handled;
}

QSize IndicatorHeader::sizeHint() const
{
    return QSize(indicator_width, defaultSectionSize());
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

ResultGrid::ResultGrid(QTableView &grid, DataSource &source, Prompts &prompts)
    : QObject(&grid), m_grid(grid), m_source(source), m_prompts(prompts),
      m_copy_table(new QAction(QStringLiteral("&Copy table"), &grid)),
      m_save_table_csv(new QAction(QStringLiteral("&Save table as CSV\u2026"), &grid)),
      m_show_characteristic(new QAction(QStringLiteral("S&how characteristic"), &grid)),
      m_optimised_placement(new QAction(QStringLiteral("&Optimised point placement"), &grid))
{
    auto *header = new IndicatorHeader(&grid);
    grid.setVerticalHeader(header);
    grid.setHorizontalHeader(new TitleHeader(&grid));
    grid.setItemDelegate(new ResultGridDelegate(&grid));
    grid.setModel(&source);
    // The blank end rows of the Point column are wider than the column: they
    // show nothing rather than an elision mark.
    grid.setTextElideMode(Qt::ElideNone);

    const int row_height = grid.fontMetrics().height() + 4;
    header->set_row_height(row_height);

    QHeaderView *titles = grid.horizontalHeader();
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setStretchLastSection(false);
    titles->setMinimumSectionSize(8);
    // The title row holds its text inside the style's header margins.
    titles->setFixedHeight(row_height + 2);
    static constexpr std::array<int, Table::field_count> widths = {35, 82, 82, 84, 84};
    for (int column = 0; column < Table::field_count; ++column)
        titles->resizeSection(column, widths[std::size_t(column)]);

    // A new row becomes current before it is stored, so the rows' arrival is
    // followed as well as the changes of the current row.
    if (Table *table = source.dataset())
        connect(table, &Table::current_row_changed, this, &ResultGrid::table_changed);
    connect(&source, &QAbstractItemModel::rowsInserted, this, &ResultGrid::table_changed);
    connect(&source, &QAbstractItemModel::rowsRemoved, this, &ResultGrid::table_changed);
    connect(&source, &QAbstractItemModel::modelReset, this, &ResultGrid::table_changed);
    // Moving through the grid moves the marker with the current cell.
    connect(grid.selectionModel(), &QItemSelectionModel::currentRowChanged, header,
            [header] { header->viewport()->update(); });

    // The grid is shown only on the Output page: so are the shortcuts, which
    // work wherever the focus is on that page (Ctrl+C copies the whole table,
    // not the current cell's text).
    m_copy_table->setObjectName(QStringLiteral("CopyTable"));
    m_copy_table->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    m_save_table_csv->setObjectName(QStringLiteral("SaveTableCsv"));
    m_save_table_csv->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_show_characteristic->setObjectName(QStringLiteral("ShowCharacteristic"));
    m_show_characteristic->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    for (QAction *action : {m_copy_table, m_save_table_csv, m_show_characteristic}) {
        action->setShortcutContext(Qt::WindowShortcut);
        action->setShortcutVisibleInContextMenu(true);
        grid.addAction(action);
    }
    m_optimised_placement->setObjectName(QStringLiteral("OptimisedPlacement"));
    m_optimised_placement->setCheckable(true);
    m_optimised_placement->setToolTip(
        QStringLiteral("Place the table's points where the tank's curve bends, so that the "
                       "instrument follows it more closely with the same number of points"));
    grid.addAction(m_optimised_placement);
    grid.setContextMenuPolicy(Qt::ActionsContextMenu);
    // Shift+F10 and the menu key open the menu at the current cell.
    grid.installEventFilter(this);
    connect(m_copy_table, &QAction::triggered, this,
            [this] { run_handler(m_prompts, m_grid.window(), [this] { copy_table(); }); });
    connect(m_save_table_csv, &QAction::triggered, this,
            [this] { run_handler(m_prompts, m_grid.window(), [this] { save_table_csv(); }); });
    connect(m_show_characteristic, &QAction::triggered, this,
            &ResultGrid::characteristic_requested);
    update_actions();
}

bool ResultGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_grid || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool menu_key = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
    const bool shift_f10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
    if (!menu_key && !shift_f10)
        return false;
    const QModelIndex current = m_grid.currentIndex();
    const QRect cell = current.isValid() ? m_grid.visualRect(current) : QRect();
    const QPoint at = m_grid.viewport()->mapTo(
        &m_grid, cell.isValid() ? cell.center() : m_grid.viewport()->rect().topLeft());
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, m_grid.mapToGlobal(at));
    QCoreApplication::sendEvent(&m_grid, &menu);
    return true;
}

void ResultGrid::table_changed()
{
    update_actions();
    if (m_holds == 0)
        follow_table();
}

void ResultGrid::update_actions()
{
    const bool has_rows = m_source.rowCount() > 0;
    m_copy_table->setEnabled(has_rows);
    m_save_table_csv->setEnabled(has_rows);
    m_show_characteristic->setEnabled(has_rows);
}

void ResultGrid::copy_table()
{
    auto *data = new QMimeData;
    data->setText(table_tsv(m_source));
    data->setData(QStringLiteral("text/csv"), table_csv(m_source).toUtf8());
    QGuiApplication::clipboard()->setMimeData(data);
}

void ResultGrid::save_table_csv()
{
    const QString path = m_prompts.save_file_name(
        m_grid.window(), QStringLiteral("Save table as CSV"), QStringLiteral("CSV files (*.csv)"),
        QStringLiteral("csv"), m_file_name_stem() + QStringLiteral("-table.csv"));
    if (path.isEmpty())
        return;
    const QString why = write_output_file(path, table_csv(m_source).toUtf8());
    if (!why.isEmpty())
        throw Error(QStringLiteral("The table could not be saved to '%1': %2")
                        .arg(QDir::toNativeSeparators(path), why));
}

void ResultGrid::follow_table()
{
    const Table *table = m_source.dataset();
    const int row = table ? table->current_row() : -1;
    const int column = qMax(0, m_grid.currentIndex().column());
    const QModelIndex current =
        row >= 0 && row < m_source.rowCount() ? m_source.index(row, column) : QModelIndex();
    m_grid.selectionModel()->setCurrentIndex(current, QItemSelectionModel::Clear);
    m_grid.verticalHeader()->viewport()->update();
}

} // namespace pelorin
