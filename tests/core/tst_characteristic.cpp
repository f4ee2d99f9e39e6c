// The characteristic of a correction table, checked against closed forms of
// the tank's volume computed here in long double: the largest linearisation
// error of the table as the grid shows it (three decimals), how it falls with
// more points, the fine level table and the two look-ups.

#include "calc/calc_state.h"
#include "calc/characteristic.h"
#include "calc/errors.h"
#include "calc/number_text.h"
#include "calc/result_table.h"
#include "calc/tank_volume.h"

#include "fake_run_view.h"

#include <QTest>

#include <cmath>
#include <functional>

using namespace pelorin;
using testing::RunInput;

Q_DECLARE_METATYPE(RunInput)

namespace {

RunModel model_of(const RunInput &input)
{
    const std::optional<RunModel> model = testing::run_model(input);
    if (!model)
        qFatal("the run refused its input");
    return *model;
}

long double shown(long double v)
{
    return std::floor(v * 1000 + 0.5L) / 1000;
}

// The largest |interpolated - true| in % of span, for a table of `points`
// points over the normalised volume `volume` (0 at h1, 1 at h2), on a grid
// five times finer than the characteristic's.
long double independent_largest_error(int points,
                                      const std::function<long double(long double)> &volume)
{
    std::vector<long double> xs, ys;
    for (int i = 0; i <= points + 1; ++i) {
        const long double x = static_cast<long double>(i) / (points + 1);
        xs.push_back(shown(x));
        ys.push_back(shown(volume(x)));
    }
    long double largest = 0;
    const int samples = 20000;
    for (int j = 0; j <= samples; ++j) {
        const long double x = static_cast<long double>(j) / samples;
        std::size_t i = 0;
        while (i + 2 < xs.size() && x > xs[i + 1])
            ++i;
        const long double line = ys[i] + (ys[i + 1] - ys[i]) * (x - xs[i]) / (xs[i + 1] - xs[i]);
        largest = std::max(largest, std::fabs(line - volume(x)) * 100);
    }
    return largest;
}

} // namespace

class TestCharacteristic : public QObject
{
    Q_OBJECT

private slots:
    void largest_error_against_closed_forms_data();
    void largest_error_against_closed_forms();
    void error_falls_with_more_points();
    void level_table_rows();
    void look_up_round_trip_data();
    void look_up_round_trip();
    void model_failure_is_reported();
};

void TestCharacteristic::largest_error_against_closed_forms_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("h1");
    QTest::addColumn<double>("expected");

    // Sphere of diameter 10: V(h) = pi h^2 (15 - h) / 3.
    const auto sphere = [](long double h1, long double h2) {
        return independent_largest_error(15, [=](long double x) {
            const auto v = [](long double h) { return h * h * (15 - h); };
            const long double h = h1 + (h2 - h1) * x;
            return (v(h) - v(h1)) / (v(h2) - v(h1));
        });
    };
    // Horizontal cylinder of diameter 10: the circular segment's area.
    const auto cylinder = [](int points) {
        return independent_largest_error(points, [](long double x) {
            const long double r = 5, h = 10 * x;
            const long double area = r * r * std::acos((r - h) / r) -
                                     (r - h) * std::sqrt(std::max(0.0L, 2 * r * h - h * h));
            return area / (constants::pi * r * r);
        });
    };
    QTest::newRow("start-up sphere, 15 points") << 0 << "15"
                                                << "min" << double(sphere(0, 10));
    QTest::newRow("sphere from h1 2.5") << 0 << "15"
                                        << "2.5" << double(sphere(2.5L, 10));
    QTest::newRow("flat-ended cylinder, 15 points") << 2 << "15"
                                                    << "min" << double(cylinder(15));
    QTest::newRow("flat-ended cylinder, 4 points") << 2 << "4"
                                                   << "min" << double(cylinder(4));
}

void TestCharacteristic::largest_error_against_closed_forms()
{
    QFETCH(int, shape);
    QFETCH(QString, points);
    QFETCH(QString, h1);
    QFETCH(double, expected);

    RunInput input;
    input.shape = Shape(shape);
    input.points = points;
    input.min_signal = h1;
    input.length_cyl = QStringLiteral("30");
    input.angle = QStringLiteral("0");
    const Characteristic c = characteristic(model_of(input));
    QVERIFY2(c.failure.isEmpty(), qPrintable(c.failure));
    QVERIFY2(std::fabs(std::fabs(c.largest_percent) - expected) < 2e-4,
             qPrintable(QStringLiteral("%1 against %2").arg(c.largest_percent).arg(expected)));
    // The curve is sampled at least 100 times per table interval.
    QVERIFY(c.model.size() >= 100 * (c.table.size() - 1));
}

void TestCharacteristic::error_falls_with_more_points()
{
    const RunModel sphere = model_of(RunInput());
    double previous = 100;
    for (const int points : {1, 2, 4, 8, 16}) {
        const double error = largest_error(sphere, points, curve_intervals);
        QVERIFY2(error < previous,
                 qPrintable(QStringLiteral("%1 points: %2").arg(points).arg(error)));
        previous = error;
    }
    // The points needed are the fewest whose table keeps within each limit.
    const Characteristic c = characteristic(sphere);
    for (std::size_t i = 0; i < error_limits.size(); ++i) {
        const int needed = c.points_needed[i];
        if (needed == 0) {
            QVERIFY(largest_error(sphere, most_points, curve_intervals) > error_limits[i]);
            continue;
        }
        QVERIFY(largest_error(sphere, needed, curve_intervals) <= error_limits[i]);
        if (needed > 1)
            QVERIFY(largest_error(sphere, needed - 1, curve_intervals) > error_limits[i]);
    }
}

void TestCharacteristic::level_table_rows()
{
    RunInput input;
    input.min_signal = QStringLiteral("1");
    input.max_signal = QStringLiteral("9.5");
    const RunModel sphere = model_of(input);
    const std::vector<LevelValues> rows = level_table(sphere, 1);
    QCOMPARE(rows.size(), std::size_t(10)); // 1, 2, ... 9, then 9.5
    QCOMPARE(rows.front().volume, sphere.tank.zero_volume);
    QCOMPARE(rows.back().height, 9.5f);
    QCOMPARE(rows.back().volume, sphere.tank.top_volume);
    QCOMPARE(rows.back().output, 1.0f);
    // The closed form at 4 m: pi 16 (15 - 4) / 3.
    QVERIFY(std::fabs(rows[3].volume - 184.3068f) < 1e-3f);
    QCOMPARE(level_table(sphere, 0.01L).size(), std::size_t(851));

    QCOMPARE(level_table_csv({rows.back()}, "meters", "m3"),
             QString("Height (meters),Volume (m3),Input (norm),Output (norm)\r\n"
                     "9.500,519.803,1.000,1.000\r\n"));
    set_decimal_separator(QLatin1Char(','));
    QCOMPARE(level_table_csv({rows.back()}, "feet", "US gal"),
             QString("Height (feet);Volume (US gal);Input (norm);Output (norm)\r\n"
                     "9,500;519,803;1,000;1,000\r\n"));
    QVERIFY(points_needed_text(characteristic(sphere)).contains(", 0,5 % = "));
    set_decimal_separator(QLatin1Char('.'));
    QVERIFY_THROWS_EXCEPTION(Error, level_table(sphere, 0));
    QVERIFY_THROWS_EXCEPTION(Error, level_table(sphere, 8.5L / max_level_rows));
    QCOMPARE(level_table(sphere, 8.5L / (max_level_rows - 1)).size(), std::size_t(max_level_rows));
}

void TestCharacteristic::look_up_round_trip_data()
{
    QTest::addColumn<RunInput>("input");
    const auto shape = [](int index, QString length, QString angle, QString cone) {
        RunInput input;
        input.shape = Shape(index);
        input.diameter = QStringLiteral("2.5");
        input.length_cyl = length;
        input.angle = angle;
        input.length_con = cone;
        input.min_signal = QStringLiteral("0.3");
        return input;
    };
    QTest::newRow("spherical") << shape(0, {}, {}, {});
    QTest::newRow("conical") << shape(1, "4", {}, "1.5");
    QTest::newRow("flat, inclined") << shape(2, "6", "12.5", {});
    QTest::newRow("shallow") << shape(3, "6", "0", {});
    QTest::newRow("deep, inclined") << shape(4, "6", "30", {});
    QTest::newRow("hemispherical, upright") << shape(5, "6", "89", {});
}

void TestCharacteristic::look_up_round_trip()
{
    QFETCH(RunInput, input);
    const RunModel model = model_of(input);
    // Where the volume hardly changes with the height (the ends of a sphere, of
    // a lying cylinder) the 32-bit volume cannot tell the heights apart: the
    // volume comes back, the height only within the tank's resolution.
    for (const double fraction : {0.0, 0.1, 0.5, 0.93, 1.0}) {
        const extended height =
            model.tank.min_signal +
            fraction * (static_cast<extended>(model.tank.max_signal) - model.tank.min_signal);
        const LevelValues forward = values_at_height(model, height);
        const std::optional<LevelValues> back = values_at_volume(model, forward.volume);
        QVERIFY(back);
        const bool steep = fraction > 0 && fraction < 1;
        QVERIFY2(std::fabs(back->height - forward.height) <= (steep ? 1e-4 : 1e-3) * model.height,
                 qPrintable(QStringLiteral("%1: %2 back to %3")
                                .arg(fraction)
                                .arg(forward.height)
                                .arg(back->height)));
        QCOMPARE(back->volume, forward.volume);
    }
    QVERIFY(!values_at_volume(model, model.tank.zero_volume - 0.01L));
    QVERIFY(!values_at_volume(model, model.tank.top_volume * 1.001L));
    QVERIFY_THROWS_EXCEPTION(Error, values_at_height(model, model.height * 1.01L));
}

void TestCharacteristic::model_failure_is_reported()
{
    // A model whose span is gone: every normalised volume divides by zero.
    RunModel model = model_of(RunInput());
    model.tank.top_volume = model.tank.zero_volume;
    const Characteristic c = characteristic(model);
    QVERIFY(c.model.empty());
    QVERIFY2(c.failure.contains(QLatin1String("0.000")), qPrintable(c.failure));
}

QTEST_GUILESS_MAIN(TestCharacteristic)
#include "tst_characteristic.moc"
