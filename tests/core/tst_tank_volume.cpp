// The volume model against its reference values (to all 9 significant digits,
// which identify each 32-bit result) and its edge cases and faults.

#include "calc/tank_volume.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace pelorin;

namespace {

// The tank under test.
TCalcState tank;

// Sets up the tank; the angle is entered in degrees and stored as the
// calibration run stores it.
void set_tank(int shape, float d, float L = 0, float L1 = 0, float degrees = 0)
{
    tank = TCalcState();
    tank.shape = Shape(shape);
    tank.diameter = d;
    tank.length_cyl = L;
    tank.length_con = L1;
    tank.angle = f32(static_cast<extended>(degrees) * constants::deg_to_rad);
}

QString nine(float v)
{
    return QString::number(double(v), 'g', 9);
}

MathError::Kind fault_of(float level)
{
    try {
        tank_volume(tank, level);
    } catch (const MathError &e) {
        return e.kind();
    }
    QTest::qFail("no arithmetic fault was raised", __FILE__, __LINE__);
    return MathError::Kind::InvalidOperation;
}

} // namespace

class TestTankVolume : public QObject
{
    Q_OBJECT

private slots:
    void reference_values_data();
    void reference_values();
    void end_levels_at_thirty_degrees();
    void level_zero_is_empty_data();
    void level_zero_is_empty();
    void level_one_is_full_data();
    void level_one_is_full();
    void cone_meets_cylinder_at_l1();
    void flat_bottomed_conical_tank();
    void huge_cone();
    void angle_zero_takes_horizontal_path();
    void inclined_body_half_full_at_whole_degrees();
    void tiny_inclinations_data();
    void tiny_inclinations();
    void level_above_one();
    void unknown_shape_keeps_previous_volume();
    void elementary_operations();
    void faults();
};

void TestTankVolume::reference_values_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<float>("d");
    QTest::addColumn<float>("L");
    QTest::addColumn<float>("L1");
    QTest::addColumn<float>("angle");
    QTest::addColumn<float>("level");
    QTest::addColumn<QString>("H");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("volume");

    struct Row
    {
        const char *name;
        int shape;
        float d, L, L1, angle, level;
        const char *H, *height, *volume;
    };
    const Row rows[] = {
        {"sphere d=10 level 0.25", 0, 10, 0, 0, 0, 0.25f, "10", "2.5", "81.8123093"},
        {"sphere d=10 level 0.5", 0, 10, 0, 0, 0, 0.5f, "10", "5", "261.799377"},
        {"sphere d=10 level 1", 0, 10, 0, 0, 0, 1, "10", "10", "523.598755"},
        {"conical level 0.1", 1, 2, 3, 1, 0, 0.1f, "4", "0.400000006", "0.0670206472"},
        {"conical level 0.25", 1, 2, 3, 1, 0, 0.25f, "4", "1", "1.04719758"},
        {"conical level 0.5", 1, 2, 3, 1, 0, 0.5f, "4", "2", "4.18879032"},
        {"conical level 1", 1, 2, 3, 1, 0, 1, "4", "4", "10.4719753"},
        {"flat 0deg level 0.25", 2, 2, 5, 0, 0, 0.25f, "2", "0.5", "3.07092452"},
        {"flat 0deg level 0.5", 2, 2, 5, 0, 0, 0.5f, "2", "1", "7.85398197"},
        {"flat 0deg level 1", 2, 2, 5, 0, 0, 1, "2", "2", "15.707963"},
        {"flat 10deg level 0.1", 2, 2, 5, 0, 10, 0.1f, "2.83785629", "0.283785641", "0.184663877"},
        {"flat 30deg level 0.3", 2, 2, 5, 0, 30, 0.3f, "4.2320509", "1.26961529", "2.79181695"},
        {"flat 30deg level 0.8", 2, 2, 5, 0, 30, 0.8f, "4.2320509", "3.38564062", "14.6139975"},
        {"shallow 0deg level 0.5", 3, 2, 5, 0, 0, 0.5f, "2", "1", "8.5011816"},
        {"deep 0deg level 0.5", 4, 2, 5, 0, 0, 0.5f, "2", "1", "8.90117931"},
        {"hemispherical 0deg level 0.5", 5, 2, 5, 0, 0, 0.5f, "2", "1", "9.94837761"},
        {"shallow 0deg level 1", 3, 2, 5, 0, 0, 1, "2", "2", "17.0023632"},
        {"deep 0deg level 1", 4, 2, 5, 0, 0, 1, "2", "2", "17.8023586"},
        {"hemispherical 0deg level 1", 5, 2, 5, 0, 0, 1, "2", "2", "19.8967533"},
        {"shallow 30deg level 0.3", 3, 2, 5, 0, 30, 0.3f, "4.2320509", "1.26961529", "3.32524967"},
        {"deep 30deg level 0.3", 4, 2, 5, 0, 30, 0.3f, "4.2320509", "1.26961529", "3.65493417"},
        {"hemispherical 30deg level 0.3", 5, 2, 5, 0, 30, 0.3f, "4.2320509", "1.26961529",
         "4.51805162"},
        {"shallow 30deg level 0.8", 3, 2, 5, 0, 30, 0.8f, "4.2320509", "3.38564062", "15.5957899"},
        {"deep 30deg level 0.8", 4, 2, 5, 0, 30, 0.8f, "4.2320509", "3.38564062", "16.2025795"},
        {"hemispherical 30deg level 0.8", 5, 2, 5, 0, 30, 0.8f, "4.2320509", "3.38564062",
         "17.7911625"},
    };
    for (const Row &r : rows) {
        QTest::newRow(r.name) << r.shape << r.d << r.L << r.L1 << r.angle << r.level << QString(r.H)
                              << QString(r.height) << QString(r.volume);
    }
}

void TestTankVolume::reference_values()
{
    QFETCH(int, shape);
    QFETCH(float, d);
    QFETCH(float, L);
    QFETCH(float, L1);
    QFETCH(float, angle);
    QFETCH(float, level);
    QFETCH(QString, H);
    QFETCH(QString, height);
    QFETCH(QString, volume);

    set_tank(shape, d, L, L1, angle);
    QCOMPARE(nine(tank_height(tank)), H);
    const float returned = tank_volume(tank, level);
    QCOMPARE(nine(tank.cur_height), height);
    QCOMPARE(nine(returned), volume);
    QCOMPARE(nine(tank.cur_volume), volume);
}

void TestTankVolume::end_levels_at_thirty_degrees()
{
    // At 30 degrees, level 0.3 leaves the upper end empty (limited from a
    // negative level) and level 0.8 fills the lower end completely.
    set_tank(2, 2, 5, 0, 30);
    QCOMPARE(nine(inclined_volume(tank, 0.3f)), QString("2.79181695"));
    const float full_end = end_shallow(tank, 1);
    QCOMPARE(end_shallow(tank, 0), 0.0f);

    set_tank(3, 2, 5, 0, 30);
    const float body_low = inclined_volume(tank, 0.3f);
    const float a_low = f32(0.3f + tanl(tank.angle) * ((0.3f / 2.0L) * 5));
    QCOMPARE(nine(a_low), QString("0.733012736"));
    QCOMPARE(nine(tank_volume(tank, 0.3f)),
             nine(f32((static_cast<extended>(end_shallow(tank, a_low)) + body_low) + 0)));
    const float body_high = inclined_volume(tank, 0.8f);
    QCOMPARE(nine(body_high), QString("14.6139975"));
    const float a_high = f32(0.8f - tanl(tank.angle) * (((1 - 0.8f) / 2.0L) * 5));
    QCOMPARE(nine(a_high), QString("0.511324883"));
    QCOMPARE(nine(tank_volume(tank, 0.8f)),
             nine(f32((static_cast<extended>(full_end) + body_high) + end_shallow(tank, a_high))));
}

void TestTankVolume::level_zero_is_empty_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<float>("angle");
    QTest::newRow("spherical") << 0 << 0.0f;
    QTest::newRow("conical") << 1 << 0.0f;
    for (int shape = 2; shape <= 5; ++shape) {
        QTest::addRow("shape %d horizontal", shape) << shape << 0.0f;
        QTest::addRow("shape %d at 45 degrees", shape) << shape << 45.0f;
    }
}

void TestTankVolume::level_zero_is_empty()
{
    QFETCH(int, shape);
    QFETCH(float, angle);
    set_tank(shape, 2, 5, 1, angle);
    QCOMPARE(tank_volume(tank, 0), 0.0f);
    QCOMPARE(tank.cur_height, 0.0f);
}

void TestTankVolume::level_one_is_full_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<float>("angle");
    QTest::addColumn<QString>("volume");
    for (float angle : {0.0f, 5.0f, 30.0f, 60.0f, 89.0f}) {
        QTest::addRow("flat ends at %g degrees", double(angle)) << 2 << angle << "15.707963";
        QTest::addRow("shallow ends at %g degrees", double(angle)) << 3 << angle << "17.0023632";
        QTest::addRow("deep ends at %g degrees", double(angle)) << 4 << angle << "17.8023586";
        QTest::addRow("hemispherical ends at %g degrees", double(angle))
            << 5 << angle << "19.8967533";
    }
}

void TestTankVolume::level_one_is_full()
{
    QFETCH(int, shape);
    QFETCH(float, angle);
    QFETCH(QString, volume);
    set_tank(shape, 2, 5, 0, angle);
    // The volume is full; the height at level 1 equals H exactly.
    QCOMPARE(nine(tank_volume(tank, 1)), volume);
    QCOMPARE(tank.cur_height, tank_height(tank));
}

void TestTankVolume::cone_meets_cylinder_at_l1()
{
    set_tank(1, 2, 3, 1);
    // h = L1 exactly takes the cone formula.
    QCOMPARE(nine(tank_volume(tank, 0.25f)), QString("1.04719758"));
    // Just above, the cylinder formula gives (nearly) the same volume.
    const float above = tank_volume(tank, std::nextafter(0.25f, 1.0f));
    QVERIFY(std::fabs(above - 1.04719758f) < 1e-5f);
}

void TestTankVolume::flat_bottomed_conical_tank()
{
    // L1 = 0 is a vertical cylinder on a flat bottom: empty at level 0 (no
    // division by the zero cone), and the cylinder formula above it.
    set_tank(1, 2, 3, 0);
    QCOMPARE(tank_height(tank), 3.0f);
    QCOMPARE(tank_volume(tank, 0), 0.0f);
    QCOMPARE(tank.cur_height, 0.0f);
    QCOMPARE(nine(tank_volume(tank, 1)), nine(f32(square(2) * constants::pi_12 * 9)));
    // A cone so short that its square rounds to 0 behaves the same at the bottom.
    set_tank(1, 2, 3, 1e-30f);
    QCOMPARE(tank_volume(tank, 0), 0.0f);
}

void TestTankVolume::huge_cone()
{
    // 2 L1 is beyond the 32-bit range but the volume is not.
    set_tank(1, 1, 1e37f, 2e38f);
    QCOMPARE(nine(tank_volume(tank, 1)), QString("6.02138548e+37"));
}

void TestTankVolume::angle_zero_takes_horizontal_path()
{
    set_tank(2, 2, 5, 0, 0);
    QCOMPARE(inclined_volume(tank, 0.25f), segment_volume(tank, 0.25f));
    // With ends, both ends take the tank's level when horizontal.
    set_tank(5, 2, 5, 0, 0);
    const float expected =
        f32((static_cast<extended>(end_hemispherical(tank, 0.25f)) + segment_volume(tank, 0.25f)) +
            end_hemispherical(tank, 0.25f));
    QCOMPARE(tank_volume(tank, 0.25f), expected);

    // Any positive angle takes the inclined path.
    tank.shape = Shape::CylindricalFlat;
    tank.angle = 1e-4f * float(constants::deg_to_rad);
    const float tilted = tank_volume(tank, 0.5f);
    QVERIFY(tilted != 0.0f);
    QVERIFY(std::fabs(tilted - 7.85398197f) / 7.85398197f < 1e-5f);
}

void TestTankVolume::inclined_body_half_full_at_whole_degrees()
{
    for (int degrees = 1; degrees <= 89; ++degrees) {
        set_tank(2, 2, 5, 0, float(degrees));
        const float half = tank_volume(tank, 0.5f);
        QVERIFY2(QString::number(double(half), 'g', 6) == QLatin1String("7.85398"),
                 qPrintable(QString("%1 degrees: %2").arg(degrees).arg(nine(half))));
        QCOMPARE(nine(tank_volume(tank, 1)), QString("15.707963"));
    }
}

void TestTankVolume::tiny_inclinations_data()
{
    QTest::addColumn<float>("degrees");
    QTest::addColumn<double>("tolerance");
    // At 0.01 degrees (k = 573) the antiderivatives still serve; from about
    // 0.006 degrees on, the mean level does.
    QTest::newRow("0.01") << 0.01f << 1e-4;
    for (const float degrees : {0.001f, 1e-4f, 1e-5f, 1e-7f})
        QTest::newRow(qPrintable(QString::number(double(degrees)))) << degrees << 1e-5;
}

void TestTankVolume::tiny_inclinations()
{
    // Against the segment area integrated along the axis (d 10, L 100), as a
    // fraction of the full body, and a table that never falls.
    QFETCH(float, degrees);
    QFETCH(double, tolerance);
    set_tank(2, 10, 100, 0, degrees);
    const double k = (10.0 / 100.0) / std::tan(double(tank.angle));
    const auto area = [](double u) {
        const double alpha = 2 * std::acos(1 - 2 * std::clamp(u, 0.0, 1.0));
        return 100.0 * 10 * 10 * (alpha - std::sin(alpha)) / 8;
    };
    const float full = tank_volume(tank, 1);
    float previous = 0;
    for (int i = 0; i <= 1000; ++i) {
        const float level = float(i) / 1000;
        const double low = level + level / k, high = level - (1 - double(level)) / k;
        double exact = 0;
        const int steps = 2000; // midpoint rule along the axis
        for (int j = 0; j < steps; ++j)
            exact += area(low + (high - low) * (j + 0.5) / steps) / steps;
        const float volume = tank_volume(tank, level);
        QVERIFY2(std::fabs(volume - exact) <= tolerance * full,
                 qPrintable(QString("level %1: %2, exact %3").arg(level).arg(volume).arg(exact)));
        QVERIFY(volume >= previous);
        previous = volume;
    }
    if (degrees == 1e-7f)
        QCOMPARE(nine(tank_volume(tank, 0.1f)), QString("408.752747"));
}

void TestTankVolume::level_above_one()
{
    const float above = std::nextafter(1.0f, 2.0f);
    set_tank(0, 10);
    QCOMPARE(nine(tank_volume(tank, above)), QString("523.598755"));
    QVERIFY(tank.cur_height > 10.0f);
    for (int shape = 2; shape <= 5; ++shape) {
        set_tank(shape, 2, 5, 0, 30);
        const float full = tank_volume(tank, 1);
        QCOMPARE(tank_volume(tank, above), full);
        QVERIFY(tank.cur_height > tank_height(tank));
    }
    // The conical shape limits nothing: slightly more than full.
    set_tank(1, 2, 3, 1);
    QVERIFY(tank_volume(tank, 1.01f) > tank_volume(tank, 1));
}

void TestTankVolume::unknown_shape_keeps_previous_volume()
{
    set_tank(0, 10);
    tank_volume(tank, 0.5f);
    const float height = tank.cur_height;
    tank.shape = Shape(6);
    QCOMPARE(tank_volume(tank, 0.25f), tank.cur_volume);
    tank.shape = Shape(200);
    QCOMPARE(nine(tank_volume(tank, 1)), QString("261.799377"));
    QCOMPARE(tank.cur_height, height);
}

void TestTankVolume::elementary_operations()
{
    QCOMPARE(square(3), 9.0f);
    QCOMPARE(cube(0.3048f), f32((0.3048f * static_cast<extended>(0.3048f)) * 0.3048f));
    float v = -0.5f;
    clamp_unit(v);
    QCOMPARE(v, 0.0f);
    v = 1.5f;
    clamp_unit(v);
    QCOMPARE(v, 1.0f);
    v = 0.25f;
    clamp_unit(v);
    QCOMPARE(v, 0.25f);
    set_tank(2, 2, 5);
    QCOMPARE(segment_integral(0), 0.0f);
    QCOMPARE(segment_integral(1), 0.5f);
    QCOMPARE(segment_volume(tank, 0), 0.0f);
}

void TestTankVolume::faults()
{
    // A NaN cannot be limited: the comparison is an invalid operation.
    float nan = std::numeric_limits<float>::quiet_NaN();
    QVERIFY_THROWS_EXCEPTION(MathError, clamp_unit(nan));

    // A sphere whose volume does not fit a 32-bit float overflows.
    set_tank(0, 1e30f);
    QCOMPARE(fault_of(0.5f), MathError::Kind::Overflow);

    // An inclined tank so slender that k rounds to 0: a positive level is
    // divided by zero, level 0 gives 0/0.
    set_tank(2, 1e-30f, 1e30f, 0, 45);
    QCOMPARE(fault_of(0.5f), MathError::Kind::DivisionByZero);
    QCOMPARE(fault_of(0), MathError::Kind::InvalidOperation);

    // A nearly vertical tank with a tiny angle: k overflows.
    set_tank(2, 1e30f, 1e-30f, 0, 0);
    tank.angle = 1e-40f;
    QCOMPARE(fault_of(0.5f), MathError::Kind::Overflow);

    // The fault keeps what was stored before it.
    set_tank(0, 2);
    tank_volume(tank, 1);
    const float before = tank.cur_volume;
    tank.diameter = 1e30f;
    QVERIFY_THROWS_EXCEPTION(MathError, tank_volume(tank, 1));
    QCOMPARE(tank.cur_volume, before);
    QVERIFY(tank.cur_height == 1e30f);
}

QTEST_GUILESS_MAIN(TestTankVolume)
#include "tst_tank_volume.moc"
