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

#include <algorithm>
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
    void largest_error_texts_data();
    void largest_error_texts();
    void largest_error_on_a_table_point();
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

void TestCharacteristic::largest_error_texts_data()
{
    QTest::addColumn<RunInput>("input");
    QTest::addColumn<QString>("text");
    // Two peaks 0.0004 % of span apart: the larger one, with its sign and level.
    RunInput peaks = testing::tank(5, "5.87", "46.5", "51.33");
    peaks.points = QStringLiteral("24");
    peaks.min_signal = QStringLiteral("1.348");
    peaks.max_signal = QStringLiteral("35.296");
    peaks.volume_unit = 2;
    QTest::newRow("larger of two close peaks")
        << peaks
        << "Largest error = -0.200 % of span (-630.042 US gal) at level 0.062 (3.456 meters)";
    RunInput straight = testing::tank(1, "2", "4", "", "0");
    straight.points = QStringLiteral("3");
    QTest::newRow("straight tank")
        << straight << "Largest error = 0.000 % of span: the table is exact at every level";
}

void TestCharacteristic::largest_error_texts()
{
    QFETCH(RunInput, input);
    QFETCH(QString, text);
    const Characteristic c = characteristic(model_of(input));
    QVERIFY2(c.failure.isEmpty(), qPrintable(c.failure));
    const QString shown = largest_error_text(c, size_unit_names().value(input.size_unit),
                                             volume_unit_names().value(input.volume_unit));
    QVERIFY2(shown.startsWith(text), qPrintable(shown));
}

// The largest error can sit on a table point, where the Output's rounding
// alone makes it, between the curve's levels: the optimised table of this
// tank has it at Input 0.005 (-0.04378 % of span, the model's value there).
void TestCharacteristic::largest_error_on_a_table_point()
{
    RunInput input = testing::tank(5, "1.55", "5.53", "79.7");
    input.points = QStringLiteral("20");
    const RunModel model = testing::run_model(input, PointPlacement::Optimised).value();
    const Characteristic c = characteristic(model);
    QCOMPARE(value_text(c.largest_input), QStringLiteral("0.005"));
    QVERIFY2(std::fabs(c.largest_percent + 0.04378) < 5e-5,
             qPrintable(QString::number(c.largest_percent)));
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
    QVERIFY(points_needed_text(characteristic(sphere)).contains("; 0,5 % = "));
    set_decimal_separator(QLatin1Char('.'));

    // Refused steps, named as typed.
    const auto refusal = [](const RunModel &model, extended step, const QString &typed) {
        try {
            level_table(model, step, typed);
        } catch (const Error &error) {
            return error.message();
        }
        return QString();
    };
    QVERIFY(refusal(sphere, 0, "0").contains("positive number"));
    QVERIFY(refusal(sphere, 0.0002L, "0.0002").startsWith("A step of 0.0002 is finer than"));
    QCOMPARE(level_table(sphere, 0.001L, "0.001").size(), std::size_t(8501));
    // Only a tall tank reaches the row limit at steps of 0.001 and more.
    input.diameter = QStringLiteral("249");
    input.min_signal = QStringLiteral("min");
    input.max_signal = QStringLiteral("max");
    const RunModel tall = model_of(input);
    QCOMPARE(refusal(tall, 0.002L, " 2e-3 "),
             QStringLiteral("A step of 2e-3 gives more than 100000 rows"));
    QCOMPARE(level_table(tall, 0.0025L).size(), std::size_t(99601)); // 0 to 249 m, then h2
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
        const LevelValues forward = *values_at_height(model, height);
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
    // Outside the range as shown: nothing. The ends as shown: the ends.
    const auto shown_end = [](float value) { return parse_number(value_text(value)); };
    QVERIFY(!values_at_volume(model, shown_end(model.tank.zero_volume) - 0.001L));
    QVERIFY(!values_at_volume(model, shown_end(model.tank.top_volume) + 0.001L));
    QVERIFY(!values_at_height(model, shown_end(model.tank.min_signal) - 0.001L));
    QVERIFY(!values_at_height(model, shown_end(model.tank.max_signal) + 0.001L));
    QVERIFY(values_at_volume(model, shown_end(model.tank.top_volume)));
    QVERIFY(values_at_volume(model, shown_end(model.tank.zero_volume)));
    QCOMPARE(values_at_height(model, shown_end(model.tank.max_signal))->output, 1.0f);
    QCOMPARE(values_at_height(model, shown_end(model.tank.min_signal))->output, 0.0f);
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
