// The numeric work of one calibration run with 25 points, per shape: 27
// volume evaluations with unit conversion and 135 number texts, and the whole
// run including the result table.

#include "calc/calc_state.h"
#include "calc/calibration_run.h"
#include "calc/number_text.h"
#include "calc/result_table.h"
#include "calc/tank_volume.h"
#include "calc/units.h"
#include "fake_run_view.h"

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

void whole_run(benchmark::State &state)
{
    const int shape = int(state.range(0));
    testing::RunInput input;
    input.points = QStringLiteral("25");
    input.diameter = QStringLiteral("2");
    input.length_cyl = QStringLiteral("5");
    input.angle = QStringLiteral("30");
    input.length_con = QStringLiteral("1");
    input.volume_unit = 1; // liters
    testing::FakeRunView view(input);
    Table table;
    CalcState = TCalcState();
    CalcState.shape = std::uint8_t(shape);
    for (auto _ : state) {
        view.events.clear();
        calibration_run(view, table);
        benchmark::DoNotOptimize(table.rows().size());
    }
}

} // namespace

BENCHMARK(numeric_work)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(whole_run)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
