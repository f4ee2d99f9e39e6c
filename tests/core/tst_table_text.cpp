// The result table as text: the grid's titles, then its rows, the blank Point
// cells as empty fields; tab-separated with "\n", and CSV with CRLF, quoted
// fields and ";" in place of "," when the decimal separator is ",".

#include "calc/number_text.h"
#include "calc/result_table.h"
#include "calc/table_text.h"

#include <QTest>

using namespace pelorin;

class TestTableText : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
};

void TestTableText::texts_data()
{
    QTest::addColumn<QChar>("decimal");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("cells"); // rows of five, in order
    QTest::addColumn<QString>("tsv");
    QTest::addColumn<QString>("csv");

    const QString blank(11, QLatin1Char(' '));
    const QStringList units = {"Point", "Input (norm)", "Output (norm)", "Height (feet)",
                               "Volume (US gal)"};
    QTest::newRow("run with blank end points")
        << QChar('.') << units
        << QStringList{blank,   "0.000",  "0.000", "1.500", "0.000", "1",     "0.500", "0.250",
                       "3.000", "12.125", blank,   "1.000", "1.000", "6.000", "1.5E7"}
        << QString("Point\tInput (norm)\tOutput (norm)\tHeight (feet)\tVolume (US gal)\n"
                   "\t0.000\t0.000\t1.500\t0.000\n"
                   "1\t0.500\t0.250\t3.000\t12.125\n"
                   "\t1.000\t1.000\t6.000\t1.5E7\n")
        << QString("Point,Input (norm),Output (norm),Height (feet),Volume (US gal)\r\n"
                   ",0.000,0.000,1.500,0.000\r\n"
                   "1,0.500,0.250,3.000,12.125\r\n"
                   ",1.000,1.000,6.000,1.5E7\r\n");
    QTest::newRow("decimal comma")
        << QChar(',') << QStringList{"Point", "In", "Out", "Height (m)", "Volume; m3"}
        << QStringList{"2", "0,500", "0,250", "3,000", "-1,2E-5"}
        << QString("Point\tIn\tOut\tHeight (m)\tVolume; m3\n2\t0,500\t0,250\t3,000\t-1,2E-5\n")
        << QString("Point;In;Out;Height (m);\"Volume; m3\"\r\n2;0,500;0,250;3,000;-1,2E-5\r\n");
    QTest::newRow("quoting")
        << QChar('.') << QStringList{" Po\"int ", "a,b", "line\nbreak", "cr\rhere", "tab\there"}
        << QStringList{"1", "x", "\"", "y", "z"}
        << QString("Po\"int\ta,b\tline break\tcr here\ttab here\n1\tx\t\"\ty\tz\n")
        << QString("\"Po\"\"int\",\"a,b\",\"line\nbreak\",\"cr\rhere\",tab\there\r\n"
                   "1,x,\"\"\"\",y,z\r\n");
}

void TestTableText::texts()
{
    QFETCH(QChar, decimal);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, cells);
    QFETCH(QString, tsv);
    QFETCH(QString, csv);

    set_decimal_separator(decimal);
    Table table;
    DataSource source;
    source.set_dataset(&table);
    for (int column = 0; column < Table::field_count; ++column)
        source.set_title(column, titles.at(column));
    table.open();
    for (int first = 0; first < cells.size(); first += Table::field_count) {
        table.append();
        for (int column = 0; column < Table::field_count; ++column)
            table.set_field(Table::field_names()[std::size_t(column)], cells.at(first + column));
        table.post();
    }

    QCOMPARE(table_tsv(source), tsv);
    QCOMPARE(table_csv(source), csv);
    set_decimal_separator(QLatin1Char('.'));
}

QTEST_APPLESS_MAIN(TestTableText)
#include "tst_table_text.moc"
