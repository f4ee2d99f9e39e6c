// The calibration run driven through a recording view: order of effects,
// rejections, errors of guarded reads and the rows written to the table.

#include "calc/calc_state.h"
#include "calc/calibration_run.h"
#include "calc/number_text.h"
#include "calc/result_table.h"
#include "fake_run_view.h"

#include <QMap>
#include <QStringList>
#include <QTest>

using namespace pelorin;

namespace {

QStringList row(const Table &table, int i)
{
    const Table::Row &r = table.rows().at(i);
    return {r[0], r[1], r[2], r[3], r[4]};
}

const QString blanks = QStringLiteral("           ");

} // namespace

using FieldTexts = QMap<InputField, QString>;

class TestCalibrationRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void start_up_input();
    void conical_tank();
    void point_counts_data();
    void point_counts();
    void rejections_data();
    void rejections();
    void rejection_keeps_previous_results();
    void guarded_read_errors_data();
    void guarded_read_errors();
    void unused_fields_are_not_read();
    void units_change_volumes_not_heights();
    void equal_volumes_are_invalid_operation();
    void flat_bottomed_conical_tank_runs();
    void huge_conical_tank_runs();
    void comma_separator();

private:
    testing::FakeRunView view;
    TCalcState state;
    Table table;
};

void TestCalibrationRun::init()
{
    state = TCalcState();
    view = testing::FakeRunView();
    table.close();
    set_decimal_separator(QLatin1Char('.'));
}

void TestCalibrationRun::start_up_input()
{
    calibration_run(view, state, table);
    QCOMPARE(view.events, QStringList({"output", "zero", "span", "titles"}));
    QCOMPARE(view.zero, QString(" Zero  = 0.000"));
    QCOMPARE(view.span, QString(" Span = 523.599"));
    QCOMPARE(view.titles, QStringList({"Height (meters)", "Volume (m3)"}));
    QVERIFY(table.is_open());
    QCOMPARE(table.rowCount(), 17);
    QCOMPARE(table.current_row(), 16);
    QCOMPARE(row(table, 0), QStringList({blanks, "0.000", "0.000", "0.000", "0.000"}));
    QCOMPARE(row(table, 1), QStringList({"1", "0.063", "0.011", "0.625", "5.880"}));
    QCOMPARE(row(table, 4), QStringList({"4", "0.250", "0.156", "2.500", "81.812"}));
    QCOMPARE(row(table, 8), QStringList({"8", "0.500", "0.500", "5.000", "261.799"}));
    QCOMPARE(row(table, 16), QStringList({blanks, "1.000", "1.000", "10.000", "523.599"}));
    for (int i = 1; i <= 15; ++i)
        QCOMPARE(row(table, i).at(0), QString::number(i));
    QCOMPARE(state.max_signal, 10.0f);
    QCOMPARE(state.length_cyl, 0.0f);
}

void TestCalibrationRun::conical_tank()
{
    state.shape = Shape::Conical;
    view.texts[InputField::Diameter] = "2";
    view.texts[InputField::LengthCyl] = "3";
    view.texts[InputField::LengthCon] = "1";
    view.texts[InputField::Points] = "3";
    calibration_run(view, state, table);
    QCOMPARE(view.zero, QString(" Zero  = 0.000"));
    QCOMPARE(view.span, QString(" Span = 10.472"));
    QCOMPARE(table.rowCount(), 5);
    QCOMPARE(row(table, 0), QStringList({blanks, "0.000", "0.000", "0.000", "0.000"}));
    QCOMPARE(row(table, 1), QStringList({"1", "0.250", "0.100", "1.000", "1.047"}));
    QCOMPARE(row(table, 2), QStringList({"2", "0.500", "0.400", "2.000", "4.189"}));
    QCOMPARE(row(table, 3), QStringList({"3", "0.750", "0.700", "3.000", "7.330"}));
    QCOMPARE(row(table, 4), QStringList({blanks, "1.000", "1.000", "4.000", "10.472"}));
}

void TestCalibrationRun::point_counts_data()
{
    QTest::addColumn<QString>("points");
    QTest::addColumn<int>("rows");
    QTest::newRow("one point") << "1" << 3;
    QTest::newRow("25 points") << "25" << 27;
    QTest::newRow("hexadecimal 10 points") << "$A" << 12;
}

void TestCalibrationRun::point_counts()
{
    QFETCH(QString, points);
    QFETCH(int, rows);
    // A bigger run first: a second run with fewer points leaves none of its rows.
    calibration_run(view, state, table);
    view.texts[InputField::Points] = points;
    calibration_run(view, state, table);
    QCOMPARE(table.rowCount(), rows);
    if (rows == 3)
        QCOMPARE(row(table, 1).mid(0, 2), QStringList({"1", "0.500"}));
    QCOMPARE(row(table, rows - 1).at(1), QString("1.000"));
}

void TestCalibrationRun::rejections_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<FieldTexts>("texts");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("field");

    using F = InputField;
    auto cyl = [](QMap<F, QString> extra) {
        QMap<F, QString> t = {{F::Diameter, "2"}, {F::LengthCyl, "5"}, {F::Angle, "0"}};
        for (auto it = extra.cbegin(); it != extra.cend(); ++it)
            t[it.key()] = it.value();
        return t;
    };
    QTest::newRow("0 points") << 0 << QMap<F, QString>{{F::Points, "0"}}
                              << "Invalid number of points !" << int(F::Points);
    QTest::newRow("26 points") << 0 << QMap<F, QString>{{F::Points, "26"}}
                               << "Invalid number of points !" << int(F::Points);
    QTest::newRow("points before diameter")
        << 0 << QMap<F, QString>{{F::Points, "26"}, {F::Diameter, "-1"}}
        << "Invalid number of points !" << int(F::Points);
    QTest::newRow("diameter 0") << 0 << QMap<F, QString>{{F::Diameter, "0"}}
                                << "Invalid diameter (d) !" << int(F::Diameter);
    QTest::newRow("diameter -1") << 0 << QMap<F, QString>{{F::Diameter, "-1"}}
                                 << "Invalid diameter (d) !" << int(F::Diameter);
    QTest::newRow("diameter 1e-50 stored as 0") << 0 << QMap<F, QString>{{F::Diameter, "1e-50"}}
                                                << "Invalid diameter (d) !" << int(F::Diameter);
    QTest::newRow("cylinder length 0") << 2 << cyl({{F::LengthCyl, "0"}})
                                       << "Invalid length of cylinder (L) !" << int(F::LengthCyl);
    QTest::newRow("conical empty cylinder length")
        << 1 << QMap<F, QString>{{F::LengthCyl, "-3"}, {F::LengthCon, "1"}}
        << "Invalid length of cylinder (L) !" << int(F::LengthCyl);
    QTest::newRow("angle 90") << 2 << cyl({{F::Angle, "90"}})
                              << "Invalid angle of inclination (x) !" << int(F::Angle);
    QTest::newRow("angle 89.9999991") << 3 << cyl({{F::Angle, "89.9999991"}})
                                      << "Invalid angle of inclination (x) !" << int(F::Angle);
    QTest::newRow("angle -0.5") << 4 << cyl({{F::Angle, "-0.5"}})
                                << "Invalid angle of inclination (x) !" << int(F::Angle);
    QTest::newRow("cone length -1")
        << 1 << QMap<F, QString>{{F::LengthCyl, "3"}, {F::LengthCon, "-1"}}
        << "Invalid length of cone (L1) !" << int(F::LengthCon);
    QTest::newRow("h1 negative") << 0 << QMap<F, QString>{{F::MinSignal, "-1"}}
                                 << "Invalid height (h1) !" << int(F::MinSignal);
    QTest::newRow("h2 negative") << 0 << QMap<F, QString>{{F::MaxSignal, "-0.5"}}
                                 << "Invalid height (h2) !" << int(F::MaxSignal);
    QTest::newRow("h2 above H") << 0 << QMap<F, QString>{{F::MaxSignal, "10.001"}}
                                << "Invalid height (h2) !" << int(F::MaxSignal);
    QTest::newRow("h1 equal to h2")
        << 0 << QMap<F, QString>{{F::MinSignal, "4"}, {F::MaxSignal, "4"}}
        << "Height (h1) must be less than height (h2) !" << int(F::MinSignal);
    QTest::newRow("h1 min with h2 0")
        << 0 << QMap<F, QString>{{F::MaxSignal, "0"}}
        << "Height (h1) must be less than height (h2) !" << int(F::MinSignal);
}

void TestCalibrationRun::rejections()
{
    QFETCH(int, shape);
    QFETCH(FieldTexts, texts);
    QFETCH(QString, message);
    QFETCH(int, field);
    state.shape = Shape(shape);
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        view.texts[it.key()] = it.value();
    calibration_run(view, state, table);
    QCOMPARE(view.rejection, message);
    QCOMPARE(view.events, QStringList({"output", QString("reject %1").arg(field)}));
}

void TestCalibrationRun::rejection_keeps_previous_results()
{
    calibration_run(view, state, table);
    const Table::Row last = table.rows().last();
    state.shape = Shape::Spherical;
    view.texts[InputField::Diameter] = "-5";
    view.events.clear();
    calibration_run(view, state, table);
    QCOMPARE(view.events,
             QStringList({"output", QString("reject %1").arg(int(InputField::Diameter))}));
    QCOMPARE(table.rowCount(), 17);
    QCOMPARE(table.rows().last(), last);
    // The rejected value is stored before it is tested.
    QCOMPARE(state.diameter, -5.0f);
    QCOMPARE(state.top_volume, 523.598755f);

    // An accepted angle at the limit: 89.999999 degrees is below pi/2.
    state.shape = Shape::CylindricalFlat;
    view.texts = testing::FakeRunView().texts;
    view.texts[InputField::Diameter] = "2";
    view.texts[InputField::LengthCyl] = "5";
    view.texts[InputField::Angle] = "89.999999";
    view.rejection.clear();
    calibration_run(view, state, table);
    QVERIFY2(view.rejection.isEmpty(), qPrintable(view.rejection));
    QCOMPARE(table.rowCount(), 17);
}

void TestCalibrationRun::guarded_read_errors_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("points 1.5") << 0 << int(InputField::Points) << "1.5"
                                << "'1.5' is not a valid integer value";
    QTest::newRow("diameter 1e39 overflows") << 0 << int(InputField::Diameter) << "1e39"
                                             << "Floating point overflow";
    QTest::newRow("diameter text") << 0 << int(InputField::Diameter) << " 10 x"
                                   << "' 10 x' is not a valid floating point value";
    QTest::newRow("h1 Min") << 0 << int(InputField::MinSignal) << "Min"
                            << "'Min' is not a valid floating point value";
    QTest::newRow("h1 min with a leading blank") << 0 << int(InputField::MinSignal) << " min"
                                                 << "' min' is not a valid floating point value";
    QTest::newRow("h2 MAX") << 0 << int(InputField::MaxSignal) << "MAX"
                            << "'MAX' is not a valid floating point value";
    QTest::newRow("angle 1e500 overflows") << 2 << int(InputField::Angle) << "1e500"
                                           << "Floating point overflow";
    QTest::newRow("cone length empty") << 1 << int(InputField::LengthCon) << ""
                                       << "'' is not a valid floating point value";
}

void TestCalibrationRun::guarded_read_errors()
{
    QFETCH(int, shape);
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    state.shape = Shape(shape);
    if (shape != 0) {
        view.texts[InputField::Diameter] = "2";
        view.texts[InputField::LengthCyl] = "5";
        view.texts[InputField::Angle] = "10";
        view.texts[InputField::LengthCon] = "1";
    }
    view.texts[InputField(field)] = text;
    try {
        calibration_run(view, state, table);
        QFAIL("the run did not raise an error");
    } catch (const Error &e) {
        QCOMPARE(e.message(), message);
    }
    // The field is brought to the user before the error travels on; no rejection.
    QCOMPARE(view.events, QStringList({"output", QString("input_failed %1").arg(field)}));
    QVERIFY(view.rejection.isEmpty());
}

void TestCalibrationRun::unused_fields_are_not_read()
{
    view.texts[InputField::LengthCyl] = "garbage";
    view.texts[InputField::Angle] = "x";
    view.texts[InputField::LengthCon] = "-1";
    calibration_run(view, state, table);
    QCOMPARE(table.rowCount(), 17);
}

void TestCalibrationRun::units_change_volumes_not_heights()
{
    view.size = 1;
    view.volume = 1;
    calibration_run(view, state, table);
    QCOMPARE(view.titles, QStringList({"Height (feet)", "Volume (liters)"}));
    QCOMPARE(row(table, 16).at(3), QString("10.000"));
    // 523.598755 ft3 in liters: 523.598755 x 28.3168468.
    QCOMPARE(row(table, 16).at(4), QString("14826.670"));
    view.size = 0;
    view.volume = 2;
    calibration_run(view, state, table);
    QCOMPARE(view.titles, QStringList({"Height (meters)", "Volume (US gal)"}));
    QCOMPARE(row(table, 16).at(4), QString("138320.200"));
}

void TestCalibrationRun::equal_volumes_are_invalid_operation()
{
    // h1 and h2 so close that their volumes are the same 32-bit value: the
    // first row divides zero by zero after the table has been cleared.
    calibration_run(view, state, table);
    view.texts[InputField::MinSignal] = "1e-23";
    view.texts[InputField::MaxSignal] = "2e-23";
    try {
        calibration_run(view, state, table);
        QFAIL("no error");
    } catch (const MathError &e) {
        QCOMPARE(e.message(), QString("Invalid floating point operation"));
    }
    QVERIFY(!table.is_open());
    QCOMPARE(table.rowCount(), 0);
    QCOMPARE(view.events.last(), QString("span"));
}

void TestCalibrationRun::flat_bottomed_conical_tank_runs()
{
    state.shape = Shape::Conical;
    view.texts[InputField::Diameter] = "2";
    view.texts[InputField::LengthCyl] = "3";
    view.texts[InputField::LengthCon] = "0";
    view.texts[InputField::Points] = "2";
    calibration_run(view, state, table);
    QCOMPARE(view.span, QString(" Span = 9.425"));
    QCOMPARE(table.rowCount(), 4);
    QCOMPARE(row(table, 1), QStringList({"1", "0.333", "0.333", "1.000", "3.142"}));
}

void TestCalibrationRun::huge_conical_tank_runs()
{
    state.shape = Shape::Conical;
    view.texts = {{InputField::Points, "1"},          {InputField::Diameter, "1"},
                  {InputField::LengthCyl, "1e37"},    {InputField::LengthCon, "2e38"},
                  {InputField::MinSignal, "2.05e38"}, {InputField::MaxSignal, "max"}};
    calibration_run(view, state, table);
    QCOMPARE(view.zero, QString(" Zero  = 5.628687E37"));
    QCOMPARE(view.span, QString(" Span = 3.926989E36"));
}

void TestCalibrationRun::comma_separator()
{
    set_decimal_separator(QLatin1Char(','));
    view.texts[InputField::Diameter] = "2,5";
    view.texts[InputField::Points] = "1";
    calibration_run(view, state, table);
    QCOMPARE(view.span, QString(" Span = 8,181"));
    QCOMPARE(row(table, 1), QStringList({"1", "0,500", "0,500", "1,250", "4,091"}));
}

QTEST_GUILESS_MAIN(TestCalibrationRun)
#include "tst_calibration_run.moc"
