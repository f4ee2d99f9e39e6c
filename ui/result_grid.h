#pragma once

// The look of the result grid DBGrid1: right-aligned cells, the normalised
// Input and Output columns in bold, and at the left a narrow indicator column
// whose marker follows the current row.

#include <QHash>
#include <QHeaderView>
#include <QPair>
#include <QStaticText>
#include <QStyledItemDelegate>

#include <functional>
#include <utility>

class QAction;
class QTableView;

namespace pelorin {

class DataSource;
class Prompts;

// Cells right-aligned; the Input and Output columns bold. A cell is painted
// as its background and one line of text, without the style's general item
// layout (icons, check boxes, wrapping), which the grid never needs.
class ResultGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    using TextKey = QPair<QString, QString>; // text, font key
    const QStaticText &static_text(const QString &text, const QFont &font) const;

    mutable QHash<TextKey, QStaticText> m_texts;
};

// The title row: a title wider than its column is condensed just enough to
// fit (never below 85 %), as the memos are; the columns keep their widths.
class TitleHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit TitleHeader(QWidget *parent);

    // The font the title of a section is drawn in.
    QFont title_font(int logicalIndex) const;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;
};

// The indicator column: an empty vertical header that draws a black
// triangle in the section of the view's current row.
class IndicatorHeader : public QHeaderView
{
    Q_OBJECT

public:
    static constexpr int indicator_width = 11;

    explicit IndicatorHeader(QTableView *view);

    // The width is fixed; the sections' texts are never measured.
    QSize sizeHint() const override;

    // The row the marker is on, -1 when there is none.
    int marked_row() const;

    // The height of every row, kept through style and font changes.
    void set_row_height(int height);

protected:
    bool event(QEvent *event) override;
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    QTableView *m_view;
    int m_row_height = 0;
};

// Binds the grid to the source and gives it its columns: widths 35, 82, 82,
// 84, 84, centred regular titles, the indicator column, a row height for the
// grid's font. The grid's current row follows the table's current row.
//
// The grid's context menu (also Shift+F10 and the menu key) holds "Copy
// table" (Ctrl+C), "Save table as CSV…" (Ctrl+S) and "Show characteristic"
// (Ctrl+L), all disabled while the table has no rows; the shortcuts work in
// the grid's window while the grid is shown. The save dialog and the error
// box of a failed save go through `prompts`; the dialog proposes a name made
// from `file_name_stem` ("spherical" gives "spherical-table.csv").
class ResultGrid : public QObject
{
    Q_OBJECT

public:
    ResultGrid(QTableView &grid, DataSource &source, Prompts &prompts);

    // The table as the grid shows it to the clipboard: tab-separated text,
    // and the CSV form as text/csv.
    void copy_table();
    // Asks for a file and writes the table's CSV form to it, replacing the
    // file only once the whole text is written. Throws Error naming the file
    // and the reason when it cannot be written.
    void save_table_csv();

    // While a Hold lives (a calibration run writing its rows), the grid
    // follows the table's current row once at the end instead of at every
    // row.
    class Hold
    {
    public:
        explicit Hold(ResultGrid &grid) : m_grid(grid) { ++m_grid.m_holds; }
        ~Hold()
        {
            if (--m_grid.m_holds == 0)
                m_grid.follow_table();
        }
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;

    private:
        ResultGrid &m_grid;
    };

    // Puts the grid's current cell, and so the marker, on the table's current row.
    void follow_table();

    // "Optimised point placement": checked, the calibration run places the
    // table's inner points where the largest linearization error is smallest.
    // Off at start, held for the program's run only.
    QAction *placement_action() const { return m_optimised_placement; }

signals:
    void characteristic_requested();

public:
    // Gives the start of the file names the save dialog proposes.
    void set_file_name_stem(std::function<QString()> stem) { m_file_name_stem = std::move(stem); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void table_changed();
    void update_actions();

    QTableView &m_grid;
    DataSource &m_source;
    Prompts &m_prompts;
    QAction *m_copy_table;
    QAction *m_save_table_csv;
    QAction *m_show_characteristic;
    std::function<QString()> m_file_name_stem = [] { return QStringLiteral("pelorin"); };
    QAction *m_optimised_placement;
    int m_holds = 0;
};

} // namespace pelorin
