// The optimised point placement, judged by the largest error of its table as
// the characteristic measures it: never worse than the even table, the best of
// every table on a coarse grid, and blind to the odd point of a tank that is
// symmetric about its middle. Several placements often share the optimum, so
// the Inputs themselves are not compared.

#include "calc/calc_state.h"
#include "calc/characteristic.h"
#include "calc/errors.h"
#include "calc/placement.h"
#include "calc/result_table.h"
#include "calc/shapes.h"

#include "fake_run_view.h"

#include <QTest>

#include <cmath>
#include <stdexcept>

using namespace pelorin;
using testing::RunInput;

Q_DECLARE_METATYPE(RunInput)

namespace {

RunModel run_model(const RunInput &input)
{
    TCalcState state;
    state.shape = input.shape;
    testing::FakeRunView view(input);
    Table table;
    const std::optional<RunModel> model = calibration_run(view, state, table);
    if (!model)
        qFatal("the run refused its input: %s", qPrintable(view.rejection));
    return *model;
}

RunInput tank(int shape, const char *diameter, const char *length = "", const char *angle = "",
              const char *cone = "", const char *h1 = "min")
{
    RunInput input;
    input.shape = shape_at(shape);
    input.diameter = QString::fromLatin1(diameter);
    input.length_cyl = QString::fromLatin1(length);
    input.angle = QString::fromLatin1(angle);
    input.length_con = QString::fromLatin1(cone);
    input.min_signal = QString::fromLatin1(h1);
    return input;
}

// Within 2 % of each other, or 0.002 % of span.
bool close(double a, double b)
{
    return std::fabs(a - b) <= std::max(0.02 * std::max(a, b), 0.002);
}

// The even table's largest error, as the characteristic window gives it.
double even_error(RunModel model, int points)
{
    model.points = points;
    return std::fabs(characteristic(model).largest_percent);
}

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void optimised_beats_even_data();
    void optimised_beats_even();
    void coarse_grid_equals_brute_force_data();
    void coarse_grid_equals_brute_force();
    void symmetric_tank_odd_point_buys_nothing_data();
    void symmetric_tank_odd_point_buys_nothing();
    void model_failure_and_range();
};

void TestPlacement::optimised_beats_even_data()
{
    QTest::addColumn<RunInput>("input");
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("gain"); // even error / optimised error, at least
    QTest::addColumn<bool>("straight");

    const RunInput sphere = tank(0, "10");
    QTest::newRow("start-up sphere, 1 point") << sphere << 1 << 1.0 << false;
    QTest::newRow("start-up sphere, 11 points") << sphere << 11 << 1.0 << false;
    QTest::newRow("start-up sphere, 25 points") << sphere << 25 << 1.0 << false;
    QTest::newRow("sphere from h1 2.5, 7 points")
        << tank(0, "10", "", "", "", "2.5") << 7 << 1.0 << false;
    QTest::newRow("conical d 2 L 3 L1 1, 11 points")
        << tank(1, "2", "3", "", "1") << 11 << 10.0 << false;
    QTest::newRow("conical, h1 just under the cone's top")
        << tank(1, "2", "3", "", "1", "0.98") << 5 << 1.0 << false;
    QTest::newRow("conical above its cone")
        << tank(1, "2", "3", "", "1", "1.5") << 5 << 1.0 << true;
    QTest::newRow("flat ends d 2 L 6 at 0, 25 points")
        << tank(2, "2", "6", "0") << 25 << 1.0 << false;
    QTest::newRow("shallow ends at 30, 4 points") << tank(3, "2", "5", "30") << 4 << 1.0 << false;
    QTest::newRow("deep ends at 30, 25 points") << tank(4, "2", "5", "30") << 25 << 1.0 << false;
    QTest::newRow("deep ends at 60, 16 points") << tank(4, "3", "4", "60") << 16 << 1.0 << false;
    QTest::newRow("hemispherical ends at 30, 9 points")
        << tank(5, "2", "5", "30", "", "0.2") << 9 << 1.0 << false;
}

void TestPlacement::optimised_beats_even()
{
    QFETCH(RunInput, input);
    QFETCH(int, points);
    QFETCH(double, gain);
    QFETCH(bool, straight);

    const RunModel model = run_model(input);
    const Placement placement = optimal_placement(model, points);
    QCOMPARE(placement.straight, straight);

    // The table: n Inputs rising on the three-decimal grid between the end
    // rows (0, 0) and (1, 1), every Output the model's at its Input, as shown.
    QCOMPARE(placement.inputs.size(), std::size_t(points));
    QCOMPARE(placement.table.size(), std::size_t(points) + 2);
    QCOMPARE(placement.table.front().x, 0.0);
    QCOMPARE(placement.table.front().y, 0.0);
    QCOMPARE(placement.table.back().x, 1.0);
    QCOMPARE(placement.table.back().y, 1.0);
    {
        TCalcState tank = model.tank;
        for (int i = 1; i <= points; ++i) {
            const float input = placement.inputs[std::size_t(i - 1)];
            const CurvePoint &row = placement.table[std::size_t(i)];
            QVERIFY(row.x > placement.table[std::size_t(i - 1)].x && row.x < 1);
            QCOMPARE(row.x, as_shown(input));
            QCOMPARE(row.y, as_shown(evaluate_input(model, tank, input).output));
            if (!straight) // the Output is the model's at the Input the grid shows
                QCOMPARE(input, float(row.x));
        }
    }

    // Its largest error, measured as the characteristic measures it, is the
    // one the placement found, and at least `gain` times below the even one.
    const double optimised = largest_error(model, placement.table);
    QVERIFY2(
        close(optimised, placement.largest),
        qPrintable(QStringLiteral("%1 found, %2 measured").arg(placement.largest).arg(optimised)));
    QCOMPARE(placement.largest_for[std::size_t(points)], placement.largest);
    const double even = even_error(model, points);
    QVERIFY2(optimised * gain <= even + 1e-9,
             qPrintable(QStringLiteral("optimised %1, even %2").arg(optimised).arg(even)));

    // With the option on, the run writes that table: point numbers 1 .. n,
    // each row the tank's true values at its Input, the end rows the even
    // table's; its characteristic measures it and sets both placements side
    // by side.
    RunInput run_input = input;
    run_input.points = QString::number(points);
    TCalcState state;
    state.shape = input.shape;
    testing::FakeRunView view(run_input);
    Table even_table, table;
    calibration_run(view, state, even_table);
    const std::optional<RunModel> run =
        calibration_run(view, state, table, PointPlacement::Optimised);
    QVERIFY(run && run->optimised);
    QCOMPARE(table.rows().size(), points + 2);
    QCOMPARE(table.rows().front(), even_table.rows().front());
    QCOMPARE(table.rows().back(), even_table.rows().back());
    TCalcState tank = run->tank;
    for (int i = 1; i <= points; ++i) {
        const Table::Row &row = table.rows().at(i);
        const LevelValues values = evaluate_input(*run, tank, placement.inputs[std::size_t(i - 1)]);
        const Table::Row expected = {point_text(i), value_text(values.input),
                                     value_text(values.output), value_text(values.height),
                                     value_text(values.volume)};
        QCOMPARE(row, expected);
    }
    const Characteristic c = characteristic(*run);
    QVERIFY(close(std::fabs(c.largest_percent), placement.largest));
    QCOMPARE(c.optimised.points_needed, placement.points_needed);
    QCOMPARE(c.points_needed, placement.points_needed);
    QVERIFY(close(c.even.largest, even));
}

void TestPlacement::coarse_grid_equals_brute_force_data()
{
    QTest::addColumn<RunInput>("input");
    QTest::addColumn<int>("points");

    QTest::newRow("sphere from h1 2.5, 1 point") << tank(0, "10", "", "", "", "2.5") << 1;
    QTest::newRow("sphere from h1 2.5, 2 points") << tank(0, "10", "", "", "", "2.5") << 2;
    QTest::newRow("conical, 2 points") << tank(1, "2", "3", "", "1") << 2;
    QTest::newRow("deep ends at 30, 2 points") << tank(4, "2", "5", "30") << 2;
}

void TestPlacement::coarse_grid_equals_brute_force()
{
    QFETCH(RunInput, input);
    QFETCH(int, points);

    // The Inputs 0.05, 0.10, ... 0.95.
    const int steps = 20;
    const RunModel model = run_model(input);
    std::vector<CurvePoint> nodes;
    Placement placement;
    {
        TCalcState tank = model.tank;
        const auto output = [&model, &tank](float x) {
            return evaluate_input(model, tank, x).output;
        };
        placement = optimal_placement(output, points, steps);
        for (int j = 0; j <= steps; ++j) {
            const float x = float(j) / steps;
            nodes.push_back({as_shown(x), as_shown(output(x))});
        }
    }

    // Every table of one or two inner points on that grid.
    double best = 1e9;
    for (int a = 1; a < steps; ++a) {
        for (int b = points == 1 ? steps : a + 1; b <= steps; ++b) {
            std::vector<CurvePoint> table = {nodes.front(), nodes[std::size_t(a)]};
            if (b < steps)
                table.push_back(nodes[std::size_t(b)]);
            table.push_back(nodes.back());
            best = std::min(best, largest_error(model, table));
        }
    }
    const double found = largest_error(model, placement.table);
    QVERIFY2(close(found, best), qPrintable(QStringLiteral("%1 against %2").arg(found).arg(best)));
}

void TestPlacement::symmetric_tank_odd_point_buys_nothing_data()
{
    QTest::addColumn<RunInput>("input");
    QTest::newRow("sphere d 10") << tank(0, "10");
    QTest::newRow("flat ends d 2 L 6 at 0") << tank(2, "2", "6", "0");
    QTest::newRow("hemispherical ends d 2 L 5 at 0") << tank(5, "2", "5", "0");
}

void TestPlacement::symmetric_tank_odd_point_buys_nothing()
{
    QFETCH(RunInput, input);
    // The odd point buys nothing at the optimum: the two agree to the model's
    // rounding, which is not quite symmetric.
    const Placement placement = optimal_placement(run_model(input), 1);
    for (std::size_t m = 1; 2 * m + 1 <= most_points; ++m) {
        const double even_count = placement.largest_for[2 * m];
        const double odd_count = placement.largest_for[2 * m + 1];
        QVERIFY2(std::fabs(even_count - odd_count) <= 1e-4,
                 qPrintable(QStringLiteral("%1 points %2, %3 points %4")
                                .arg(2 * m)
                                .arg(even_count)
                                .arg(2 * m + 1)
                                .arg(odd_count)));
    }
}

void TestPlacement::model_failure_and_range()
{
    RunModel model = run_model(RunInput());
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, optimal_placement(model, 0));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, optimal_placement(model, most_points + 1));
    // A model whose span is gone: every normalised volume divides by zero.
    model.tank.top_volume = model.tank.zero_volume;
    QVERIFY_THROWS_EXCEPTION(MathError, optimal_placement(model, 5));
}

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
