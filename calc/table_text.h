#pragma once

// The result table as text for other programs: tab-separated for the
// clipboard, CSV for files and spreadsheets. The text is what the grid shows:
// the DataSource's column titles, then its rows (none while the table is
// closed).

#include <QList>
#include <QString>
#include <QStringList>

namespace pelorin {

class DataSource;

// The table as the grid shows it: the title row, then every row in order;
// fields are trimmed of the blanks that pad them (the first and last rows'
// Point cells become empty fields).
// Tab-separated, lines ending in "\n":
QString table_tsv(const DataSource &source);
// CSV (RFC 4180): separated by "," or by ";" when the decimal separator is
// ",", fields quoted where needed, lines ending in "\r\n":
QString table_csv(const DataSource &source);
// The CSV field separator: "," or ";" when the decimal separator is ",".
QChar csv_separator();
// Any lines of fields by the same CSV rules.
QString csv_text(const QList<QStringList> &lines);

} // namespace pelorin
