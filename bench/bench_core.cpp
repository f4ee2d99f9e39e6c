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

TCalcState tank_of(int shape)
{
    TCalcState tank;
    tank.shape = Shape(shape);
    const ShapeInfo &info = shape_info(tank.shape);
    tank.diameter = 2;
    tank.length_cyl = info.length_cyl ? 5 : 0;
    tank.length_con = info.length_con ? 1 : 0;
    tank.angle = info.angle ? f32(30 * constants::deg_to_rad) : 0;
    return tank;
}

void numeric_work(benchmark::State &state)
{
    TCalcState tank = tank_of(int(state.range(0)));
    const float factor = volume_factor(0, 1);
    for (auto _ : state) {
        float input = 0;
        for (int i = 1; i <= 27; ++i) {
            tank_volume(tank, input);
            const float volume = f32(static_cast<extended>(tank.cur_volume) * factor);
            benchmark::DoNotOptimize(format_fixed(i, 2, 0));
            benchmark::DoNotOptimize(format_fixed(input, 7, 3));
            benchmark::DoNotOptimize(format_fixed(volume / 1000.0f, 7, 3));
            benchmark::DoNotOptimize(format_fixed(tank.cur_height, 7, 3));
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
    TCalcState tank;
    tank.shape = Shape(shape);
    for (auto _ : state) {
        view.events.clear();
        calibration_run(view, tank, table);
        benchmark::DoNotOptimize(table.rows().size());
    }
}

} // namespace

BENCHMARK(numeric_work)->DenseRange(0, shape_count - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(whole_run)->DenseRange(0, shape_count - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
