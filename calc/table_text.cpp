#include "calc/table_text.h"

#include "calc/number_text.h"
#include "calc/result_table.h"

#include <QStringList>

#include <functional>

namespace pelorin {

namespace {

// A field without the blanks around it; a Point cell of blanks becomes empty.
QString trimmed_field(const QString &text)
{
    int first = 0;
    int last = int(text.size());
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// The title row and the rows, each field passed through `field` and joined.
QString table_text(const DataSource &source, QChar separator, const QString &line_end,
                   const std::function<QString(const QString &)> &field)
{
    const int columns = source.columnCount();
    QString text;
    QStringList fields;
    const auto add_line = [&] {
        text += fields.join(separator);
        text += line_end;
        fields.clear();
    };
    for (int column = 0; column < columns; ++column)
        fields << field(trimmed_field(source.headerData(column, Qt::Horizontal).toString()));
    add_line();
    const int rows = source.rowCount();
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            fields << field(trimmed_field(source.data(source.index(row, column)).toString()));
        add_line();
    }
    return text;
}

} // namespace

QString table_tsv(const DataSource &source)
{
    // A tab or line break inside a field would split it: it becomes a blank.
    return table_text(source, QLatin1Char('\t'), QStringLiteral("\n"), [](QString text) {
        for (QChar &c : text)
            if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
                c = QLatin1Char(' ');
        return text;
    });
}

QChar csv_separator()
{
    return decimal_separator() == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
}

namespace {

QString csv_field(QString text, QChar separator)
{
    if (!text.contains(separator) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

QString table_csv(const DataSource &source)
{
    const QChar separator = csv_separator();
    return table_text(source, separator, QStringLiteral("\r\n"),
                      [separator](const QString &text) { return csv_field(text, separator); });
}

QString csv_text(const QList<QStringList> &lines)
{
    const QChar separator = csv_separator();
    QString text;
    for (const QStringList &line : lines) {
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (i > 0)
                text += separator;
            text += csv_field(line.at(i), separator);
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

} // namespace pelorin
