// The volume factor of every unit pair as a 32-bit value, and its use on volumes.

#include "calc/tank_volume.h"
#include "calc/units.h"

#include <QTest>

using namespace pelorin;

namespace {

QString nine(float v)
{
    return QString::number(double(v), 'g', 9);
}

float converted(float geometric, int size, int volume)
{
    return f32(static_cast<extended>(geometric) * volume_factor(size, volume));
}

} // namespace

class TestUnits : public QObject
{
    Q_OBJECT

private slots:
    void reachable_factors_data();
    void reachable_factors();
    void volumes_in_every_unit_data();
    void volumes_in_every_unit();
    void position_outside_table_is_range_error_data();
    void position_outside_table_is_range_error();
};

void TestUnits::reachable_factors_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("volume");
    QTest::addColumn<QString>("factor");
    QTest::newRow("meters m3") << 0 << 0 << "1";
    QTest::newRow("meters liters") << 0 << 1 << "999.999939";
    QTest::newRow("meters US gal") << 0 << 2 << "264.172119";
    QTest::newRow("meters ft3") << 0 << 3 << "35.3146629";
    QTest::newRow("feet m3") << 1 << 0 << "0.028316848";
    QTest::newRow("feet liters") << 1 << 1 << "28.3168468";
    QTest::newRow("feet US gal") << 1 << 2 << "7.48052168";
    QTest::newRow("feet ft3") << 1 << 3 << "0.99999994";
}

void TestUnits::reachable_factors()
{
    QFETCH(int, size);
    QFETCH(int, volume);
    QFETCH(QString, factor);
    QCOMPARE(nine(volume_factor(size, volume)), factor);
}

void TestUnits::volumes_in_every_unit_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("volume");
    QTest::addColumn<float>("geometric");
    QTest::addColumn<QString>("expected");
    // A sphere of diameter 10 m, full.
    QTest::newRow("sphere m3") << 0 << 0 << 523.598755f << "523.598755";
    QTest::newRow("sphere liters") << 0 << 1 << 523.598755f << "523598.719";
    QTest::newRow("sphere US gal") << 0 << 2 << 523.598755f << "138320.188";
    QTest::newRow("sphere ft3") << 0 << 3 << 523.598755f << "18490.7129";
    // The flat-ended cylinder d = 2, L = 5 in feet, full.
    QTest::newRow("cylinder feet m3") << 1 << 0 << 15.707963f << "0.444799989";
    QTest::newRow("cylinder feet liters") << 1 << 1 << 15.707963f << "444.799988";
    QTest::newRow("cylinder feet US gal") << 1 << 2 << 15.707963f << "117.503761";
    QTest::newRow("cylinder feet ft3") << 1 << 3 << 15.707963f << "15.707962";
    // One cubic metre is 999.99994 litres before formatting.
    QTest::newRow("one cubic metre in liters") << 0 << 1 << 1.0f << "999.999939";
}

void TestUnits::volumes_in_every_unit()
{
    QFETCH(int, size);
    QFETCH(int, volume);
    QFETCH(float, geometric);
    QFETCH(QString, expected);
    QCOMPARE(nine(converted(geometric, size, volume)), expected);
}

void TestUnits::position_outside_table_is_range_error_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("volume");
    QTest::newRow("no size selection") << -1 << 0;
    QTest::newRow("no volume selection") << 0 << -1;
    QTest::newRow("size position 10") << 10 << 0;
    QTest::newRow("volume position 10") << 0 << 10;
    QTest::newRow("both outside") << -1 << 99;
}

void TestUnits::position_outside_table_is_range_error()
{
    QFETCH(int, size);
    QFETCH(int, volume);
    try {
        volume_factor(size, volume);
        QFAIL("no range error");
    } catch (const RangeError &e) {
        QCOMPARE(e.message(), QString("Range check error"));
    }
    // Positions 2..9 of either table are in range and hold 1.
    QCOMPARE(volume_factor(9, 9), 1.0f);
}

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
