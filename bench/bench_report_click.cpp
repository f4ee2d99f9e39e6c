// The Report button as the user presses it: from the mouse click on BtnReport
// (start-up input, 25 points, Output page shown) to the preview's page view
// having painted the finished page. Each run closes the preview again. Prints
// the first run apart (it makes the report layout) and the minimum and median
// of the runs after it:
//   bench_report_click [runs]     (default 20; offscreen unless
//                                  QT_QPA_PLATFORM says otherwise)

#include "preview_watch.h"
#include "ui/application.h"
#include "ui/main_window.h"
#include "ui/points_edit.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

double click_to_first_page(pelorin::TForm1 &form, FirstPageWatch &watch)
{
    auto *report = named<QPushButton>(form, "BtnReport");
    QElapsedTimer clock;
    clock.start();
    watch.start(clock);
    QTest::mouseClick(report, Qt::LeftButton); // returns when the preview has closed
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return watch.elapsed_ms();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    SilentPrompts prompts;
    pelorin::Application app(argc, argv, prompts);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20;

    pelorin::TForm1 form(prompts);
    form.show();
    named<pelorin::PointsEdit>(form, "Ed_points")->set_text(QStringLiteral("25"));
    form.set_active_page(named(form, "TabSheetOutput"));
    QCoreApplication::processEvents();
    FirstPageWatch watch(form);

    const double first = click_to_first_page(form, watch);
    if (first < 0) {
        std::fprintf(stderr, "bench_report_click: the preview showed no page\n");
        return 1;
    }
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = click_to_first_page(form, watch);
        if (ms < 0) {
            std::fprintf(stderr, "bench_report_click: the preview showed no page\n");
            return 1;
        }
        times.push_back(ms);
    }
    if (form.table().rows().size() != 27) {
        std::fprintf(stderr, "bench_report_click: the report did not have 27 rows\n");
        return 1;
    }
    std::printf("Report click to first page drawn (25 points, %s)\n",
                qPrintable(QGuiApplication::platformName()));
    std::printf("first run:  %8.2f ms\n", first);
    std::printf("%d runs:    min %8.2f ms   median %8.2f ms\n", runs,
                *std::min_element(times.begin(), times.end()), median(times));
    return 0;
}
