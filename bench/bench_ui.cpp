// One calibration run with 25 points as the user starts it: from the click on
// Calculate to the grid DBGrid1 repainted with its 27 rows. The window runs on
// the offscreen platform unless QT_QPA_PLATFORM says otherwise (the style is
// Qt's default unless QT_STYLE_OVERRIDE names another).

#include "report/preview/prompts.h"
#include "support/widget_support.h"
#include "ui/application.h"
#include "ui/main_window.h"
#include "ui/points_edit.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

using pelorin::testing::named;
using pelorin::testing::SilentPrompts;

// The click on Calculate with the Input page shown, as the user makes it:
// the run switches to the Output page, so the repaint covers the whole page
// with the grid. With `on_output_page` the run starts while the Output page
// is shown already (as the Report button does), so only what changed is
// repainted. With `optimised` the run places its points optimally.
void calculate_to_grid(benchmark::State &state, bool on_output_page, bool optimised)
{
    SilentPrompts prompts;
    pelorin::TForm1 form(prompts);
    form.show();
    QCoreApplication::processEvents();
    auto *calculate = named<QPushButton>(form, "BtnCalculate");
    auto *grid = named<QTableView>(form, "DBGrid1");
    named<pelorin::PointsEdit>(form, "Ed_points")->set_text(QStringLiteral("25"));
    QWidget *start_page = named(form, on_output_page ? "TabSheetOutput" : "TabSheetInput");
    named<QAction>(form, "OptimisedPlacement")->setChecked(optimised);

    for (auto _ : state) {
        state.PauseTiming();
        form.set_active_page(start_page);
        QCoreApplication::processEvents();
        state.ResumeTiming();

        calculate->click();
        // Paints every region the run made dirty, the grid's included, now.
        grid->viewport()->repaint();
    }
    if (grid->model()->rowCount() != 27)
        state.SkipWithError("the run did not fill the grid");
}
BENCHMARK_CAPTURE(calculate_to_grid, from_input_page, false, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(calculate_to_grid, on_output_page, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(calculate_to_grid, optimised_from_input_page, false, true)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    pelorin::set_up_application();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
