#pragma once

// The in-memory result table of the last calibration run, and its binding to
// views. `Table` keeps rows of five text fields in insertion order; while it is
// closed, views see no rows. Every change is announced through the Qt model
// signals, so a bound view (the Output grid) is current at once.

#include <QAbstractTableModel>
#include <QIdentityProxyModel>
#include <QPointer>
#include <QString>
#include <QVector>

#include <array>

namespace pelorin {

// The titles of the normalised columns, in the grid, the report and the CSV files.
inline constexpr char input_title[] = "Input (norm)";
inline constexpr char output_title[] = "Output (norm)";

class Table : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int field_count = 5;
    static constexpr int field_size = 20;
    using Row = std::array<QString, field_count>;

    explicit Table(QObject *parent = nullptr);

    // The field names in column order: Point, Input, Output, Height, Volume.
    static const std::array<QString, field_count> &field_names();
    static int field_index(const QString &name); // -1 when there is no such field

    void open();  // no effect when already open; first row (if any) current
    void close(); // rows become unreachable
    bool is_open() const { return m_open; }

    int row_count() const; // rows of the open table; TableError when closed
    void delete_current(); // TableError when closed or empty
    void append();         // starts an empty new row and makes it current
    void set_field(const QString &name, const QString &text); // on the new row
    void post(); // stores the new row at the end; it stays current

    int current_row() const { return m_current; }       // -1 when there is none
    const QVector<Row> &rows() const { return m_rows; } // in order, also when closed

    // QAbstractTableModel: a closed table has no rows.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void current_row_changed(int row);

private:
    void set_current(int row);

    QVector<Row> m_rows;
    Row m_new_row;
    bool m_open = false;
    bool m_appending = false;
    int m_current = -1;
};

// Binds a Table to views. The column titles belong to the binding (the grid's
// titles): they start as the field names and are changed by the run.
class DataSource : public QIdentityProxyModel
{
    Q_OBJECT

public:
    explicit DataSource(QObject *parent = nullptr);

    Table *dataset() const { return m_table; }
    void set_dataset(Table *table);

    void set_title(int column, const QString &title);
    QString title(int column) const;
    // The grid's titles: "Point", "Input (norm)", "Output (norm)", then the
    // Height and Volume columns' titles, which carry the units after a run.
    void set_grid_titles(const QString &height, const QString &volume);

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QPointer<Table> m_table;
    std::array<QString, Table::field_count> m_titles;
};

} // namespace pelorin
