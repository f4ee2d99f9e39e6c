// The numeric work of one calibration run with 25 points, per shape: 27
// volume evaluations with unit conversion and 135 number texts, and the whole
// run including the result table.

#include "calc/calc_state.h"
#include "calc/calibration_run.h"
#include "calc/number_text.h"
#include "calc/result_table.h"
#include "calc/tank_volume.h"
#include "calc/units.h"

#include <benchmark/benchmark.h>

using namespace pelorin;

namespace {

void set_shape(int shape)
{
    CalcState = TCalcState();
    CalcState.shape = std::uint8_t(shape);
    CalcState.diameter = 2;
    CalcState.length_cyl = shape == Spherical ? 0 : 5;
    CalcState.length_con = shape == Conical ? 1 : 0;
    CalcState.angle = shape >= CylindricalFlat ? f32(30 * constants::deg_to_rad) : 0;
}

void numeric_work(benchmark::State &state)
{
    const int shape = int(state.range(0));
    set_shape(shape);
    const float factor = volume_factor(0, 1);
    for (auto _ : state) {
        float input = 0;
        for (int i = 1; i <= 27; ++i) {
            tank_volume(CalcState.shape, input);
            const float volume = f32(static_cast<extended>(CalcState.cur_volume) * factor);
            benchmark::DoNotOptimize(format_fixed(i, 2, 0));
            benchmark::DoNotOptimize(format_fixed(input, 7, 3));
            benchmark::DoNotOptimize(format_fixed(volume / 1000.0f, 7, 3));
            benchmark::DoNotOptimize(format_fixed(CalcState.cur_height, 7, 3));
            benchmark::DoNotOptimize(format_fixed(volume, 7, 3));
            input = f32(input + 1.0L / 26);
        }
    }
}

class QuietView : public RunView
{
public:
    explicit QuietView(int shape) : m_shape(shape) {}
    void show_output() override {}
    QString field_text(InputField field) const override
    {
        switch (field) {
        case InputField::Points:
            return QStringLiteral("25");
        case InputField::Diameter:
            return QStringLiteral("2");
        case InputField::LengthCyl:
            return QStringLiteral("5");
        case InputField::Angle:
            return QStringLiteral("30");
        case InputField::LengthCon:
            return QStringLiteral("1");
        case InputField::MinSignal:
            return QStringLiteral("min");
        case InputField::MaxSignal:
            return QStringLiteral("max");
        }
        return QString();
    }
    int size_unit_index() const override { return 0; }
    int volume_unit_index() const override { return 1; }
    QString size_unit_text() const override { return QStringLiteral("meters"); }
    QString volume_unit_text() const override { return QStringLiteral("liters"); }
    void input_failed(InputField) override {}
    void reject(const QString &, InputField) override {}
    void set_zero_text(const QString &) override {}
    void set_span_text(const QString &) override {}
    void set_column_titles(const QString &, const QString &) override {}

private:
    int m_shape;
};

void whole_run(benchmark::State &state)
{
    const int shape = int(state.range(0));
    QuietView view(shape);
    Table table;
    CalcState = TCalcState();
    CalcState.shape = std::uint8_t(shape);
    for (auto _ : state) {
        calibration_run(view, table);
        benchmark::DoNotOptimize(table.rows().size());
    }
}

} // namespace

BENCHMARK(numeric_work)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(whole_run)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
