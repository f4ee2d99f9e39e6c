// The Characteristic window's three figures, each the median over a number of
// runs (default 20, or the first argument) after one run that is not counted:
//   characteristic   the curve, the error and the points needed for 25 points
//                    (a sphere, and an inclined cylinder with deep ends);
//                    target under 5 ms
//   level table      10,000 rows and their CSV text; target under 50 ms
//   window           "Show characteristic" to the painted window (its first
//                    opening, in a new main window each run); target under
//                    50 ms

#include "calc/calc_state.h"
#include "calc/characteristic.h"
#include "calc/result_table.h"
#include "calc/tank_volume.h"
#include "report/preview/prompts.h"
#include "ui/application.h"
#include "ui/characteristic_window.h"
#include "ui/main_window.h"

#include "fake_run_view.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace pelorin;

namespace {

// `run` returns the milliseconds it measured.
void report(const char *what, int runs, const std::function<double()> &run)
{
    run();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i)
        ms.push_back(run());
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    std::printf("%-36s median %8.3f ms  (fastest %.3f, slowest %.3f, %d runs)\n", what, median,
                ms.front(), ms.back(), runs);
}

double timed(const std::function<void()> &run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's notes about window raising are not figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtWarningMsg && type != QtInfoMsg && type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    WidgetPrompts prompts;
    Application app(argc, argv, prompts);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 20;

    testing::RunInput sphere;
    sphere.points = QStringLiteral("25");
    testing::RunInput deep = sphere;
    deep.shape = Shape::CylindricalDeep;
    deep.diameter = QStringLiteral("2.5");
    deep.length_cyl = QStringLiteral("6");
    deep.angle = QStringLiteral("12.5");
    const RunModel sphere_model = testing::run_model(sphere).value();
    const RunModel deep_model = testing::run_model(deep).value();
    report("characteristic, sphere, 25 points", runs,
           [&] { return timed([&] { characteristic(sphere_model); }); });
    report("characteristic, deep ends, 25 points", runs,
           [&] { return timed([&] { characteristic(deep_model); }); });

    const extended step = 10.0L / 9999; // 0 to 10 m in 10,000 rows
    report("level table, 10,000 rows, CSV", runs, [&] {
        return timed([&] {
            const std::vector<LevelValues> rows = level_table(sphere_model, step);
            if (rows.size() != 10000)
                std::abort();
            level_table_csv(rows, QStringLiteral("meters"), QStringLiteral("m3"));
        });
    });

    report("window, first opening to painted", runs, [&] {
        TForm1 form(prompts);
        form.show();
        form.calculate();
        QApplication::processEvents();
        return timed([&] {
            form.show_characteristic();
            form.characteristic_window()->repaint();
        });
    });
    return 0;
}
