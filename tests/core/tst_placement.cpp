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

using namespace pelorin;
using testing::RunInput;
using testing::tank;

Q_DECLARE_METATYPE(RunInput)

namespace {

RunModel model_of(const RunInput &input)
{
    return testing::run_model(input).value();
}

// Within 2 % of each other, or 0.002 % of span.
bool close(double a, double b)
{
    return std::fabs(a - b) <= std::max(0.02 * std::max(a, b), 0.002);
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
};

void TestPlacement::optimised_beats_even_data()
{
    QTest::addColumn<RunInput>("input");
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("gain"); // even error / optimised error, at least
    QTest::addColumn<bool>("straight");

    const RunInput sphere = tank(0, "10");
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
    QTest::newRow("deep ends at 30, 25 points") << tank(4, "2", "5", "30") << 25 << 1.0 << false;
    QTest::newRow("hemispherical ends at 30, 9 points")
        << tank(5, "2", "5", "30", "", "0.2") << 9 << 1.0 << false;
}

void TestPlacement::optimised_beats_even()
{
    QFETCH(RunInput, input);
    QFETCH(int, points);
    QFETCH(double, gain);
    QFETCH(bool, straight);

    input.points = QString::number(points);
    TCalcState state;
    state.shape = input.shape;
    testing::FakeRunView view(input);
    Table even_table, table;
    const std::optional<RunModel> even_run = calibration_run(view, state, even_table);
    const std::optional<RunModel> run =
        calibration_run(view, state, table, PointPlacement::Optimised);
    QVERIFY(even_run && run && run->optimised);

    // The run writes the optimal table: n Inputs rising on the three-decimal
    // grid, each row the tank's true values at its Input, point numbers 1 .. n,
    // the end rows the even table's.
    QCOMPARE(table.rows().size(), points + 2);
    QCOMPARE(table.rows().front(), even_table.rows().front());
    QCOMPARE(table.rows().back(), even_table.rows().back());
    TCalcState tank = run->tank;
    for (int i = 1; i <= points; ++i) {
        const float at = run->inputs[std::size_t(i)];
        QVERIFY(at > run->inputs[std::size_t(i - 1)] && at < 1);
        if (!straight)
            QCOMPARE(at, float(as_shown(at)));
        const LevelValues values = evaluate_input(*run, tank, at);
        const Table::Row expected = {point_text(i), value_text(values.input),
                                     value_text(values.output), value_text(values.height),
                                     value_text(values.volume)};
        QCOMPARE(table.rows().at(i), expected);
    }

    // Measured as the Characteristic window measures it, the table's largest
    // error is the one the placement found, at least `gain` times below the
    // even table's, and both placements' figures stand side by side.
    const Characteristic optimised = characteristic(*run);
    const Characteristic even = characteristic(*even_run);
    const OptimalPlacement placement = optimal_placement(*run, points);
    QCOMPARE(optimised.straight, straight);
    QVERIFY2(close(std::fabs(optimised.largest_percent), placement.largest),
             qPrintable(QStringLiteral("%1 found, %2 measured")
                            .arg(placement.largest)
                            .arg(optimised.largest_percent)));
    QCOMPARE(optimised.points_needed, placement.points_needed);
    QVERIFY2(std::fabs(optimised.largest_percent) * gain <= std::fabs(even.largest_percent) + 1e-9,
             qPrintable(QStringLiteral("optimised %1, even %2")
                            .arg(optimised.largest_percent)
                            .arg(even.largest_percent)));
    QVERIFY(close(optimised.even.largest, std::fabs(even.largest_percent)));
}

void TestPlacement::coarse_grid_equals_brute_force_data()
{
    QTest::addColumn<RunInput>("input");
    QTest::addColumn<int>("points");

    QTest::newRow("sphere from h1 2.5, 2 points") << tank(0, "10", "", "", "", "2.5") << 2;
    QTest::newRow("conical, 2 points") << tank(1, "2", "3", "", "1") << 2;
}

void TestPlacement::coarse_grid_equals_brute_force()
{
    QFETCH(RunInput, input);
    QFETCH(int, points);

    // The Inputs 0.05, 0.10, ... 0.95.
    const int steps = 20;
    const RunModel model = model_of(input);
    std::vector<CurvePoint> nodes;
    OptimalPlacement placement;
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
    const OptimalPlacement placement = optimal_placement(model_of(input), 1);
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

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
