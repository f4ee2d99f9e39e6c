#include "calc/result_table.h"

#include "calc/errors.h"

namespace pelorin {

Table::Table(QObject *parent) : QAbstractTableModel(parent) {}

const std::array<QString, Table::field_count> &Table::field_names()
{
    static const std::array<QString, field_count> names = {
        QStringLiteral("Point"), QStringLiteral("Input"), QStringLiteral("Output"),
        QStringLiteral("Height"), QStringLiteral("Volume")};
    return names;
}

int Table::field_index(const QString &name)
{
    const auto &names = field_names();
    for (int i = 0; i < field_count; ++i) {
        if (names[std::size_t(i)] == name)
            return i;
    }
    return -1;
}

void Table::open()
{
    if (m_open)
        return;
    beginResetModel();
    m_open = true;
    m_appending = false;
    endResetModel();
    set_current(m_rows.isEmpty() ? -1 : 0);
}

void Table::close()
{
    if (!m_open)
        return;
    // The rows go with the closed table; a run refills it from empty.
    beginResetModel();
    m_open = false;
    m_appending = false;
    m_rows.clear();
    endResetModel();
    set_current(-1);
}

int Table::row_count() const
{
    if (!m_open)
        throw TableError(QStringLiteral("Table: cannot count the rows of a closed table"));
    return int(m_rows.size());
}

void Table::delete_current()
{
    if (!m_open)
        throw TableError(QStringLiteral("Table: cannot delete from a closed table"));
    if (m_rows.isEmpty() || m_current < 0)
        throw TableError(QStringLiteral("Table: cannot delete from an empty table"));
    const int row = m_current;
    m_appending = false;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    // The row after it becomes current, or at the end the one before it.
    set_current(row < m_rows.size() ? row : int(m_rows.size()) - 1);
}

void Table::append()
{
    if (!m_open)
        throw TableError(QStringLiteral("Table: cannot append to a closed table"));
    m_new_row = Row();
    m_appending = true;
    set_current(int(m_rows.size()));
}

void Table::set_field(const QString &name, const QString &text)
{
    if (!m_open)
        throw TableError(
            QStringLiteral("Table: cannot set field '%1' of a closed table").arg(name));
    const int index = field_index(name);
    if (index < 0)
        throw TableError(QStringLiteral("Table: field '%1' not found").arg(name));
    if (!m_appending)
        throw TableError(QStringLiteral("Table: field '%1' set without a new row").arg(name));
    m_new_row[std::size_t(index)] = text.left(field_size);
}

void Table::post()
{
    if (!m_open || !m_appending)
        throw TableError(QStringLiteral("Table: no new row to post"));
    const int row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append(m_new_row);
    m_appending = false;
    endInsertRows();
    set_current(row);
}

void Table::set_current(int row)
{
    if (row == m_current)
        return;
    const int previous = m_current;
    m_current = row;
    const int visible = rowCount();
    if (previous >= 0 && previous < visible)
        emit headerDataChanged(Qt::Vertical, previous, previous);
    if (row >= 0 && row < visible)
        emit headerDataChanged(Qt::Vertical, row, row);
    emit current_row_changed(row);
}

int Table::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_open ? 0 : int(m_rows.size());
}

int Table::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : field_count;
}

QVariant Table::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_open || index.row() >= m_rows.size() ||
        index.column() >= field_count)
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_rows.at(index.row())[std::size_t(index.column())];
    return QVariant();
}

QVariant Table::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal) {
        if (section >= 0 && section < field_count)
            return field_names()[std::size_t(section)];
        return QVariant();
    }
    // The indicator column: a marker on the current row.
    return section == m_current ? QStringLiteral("\u25B6") : QString();
}

DataSource::DataSource(QObject *parent) : QIdentityProxyModel(parent)
{
    m_titles = Table::field_names();
}

void DataSource::set_dataset(Table *table)
{
    m_table = table;
    setSourceModel(table);
}

void DataSource::set_title(int column, const QString &title)
{
    if (column < 0 || column >= Table::field_count)
        throw TableError(QStringLiteral("DataSource: no column %1").arg(column));
    m_titles[std::size_t(column)] = title;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void DataSource::set_grid_titles(const QString &height, const QString &volume)
{
    set_title(0, QStringLiteral("Point"));
    set_title(1, QString::fromLatin1(input_title));
    set_title(2, QString::fromLatin1(output_title));
    set_title(3, height);
    set_title(4, volume);
}

QString DataSource::title(int column) const
{
    if (column < 0 || column >= Table::field_count)
        return QString();
    return m_titles[std::size_t(column)];
}

QVariant DataSource::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < Table::field_count)
        return m_titles[std::size_t(section)];
    return QIdentityProxyModel::headerData(section, orientation, role);
}

} // namespace pelorin
