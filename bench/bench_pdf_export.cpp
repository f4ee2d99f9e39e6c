// Export PDF of the calibration report with 25 correction points (27 detail
// rows): write_report_pdf of the preview's pages into a temporary folder,
// timed over a number of runs (default 20, or the first argument) after one
// run that is not counted; prints the median, the fastest and the slowest run.
// The figure to keep: the median, under 100 ms.

#include "report/pdf_export.h"
#include "report/print_job.h"
#include "report/report_fixtures.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace pelorin;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::install_font_substitutions();
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 20;

    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(25), table, layout);
    PrintJob job(PrintJob::Destination::Screen);
    job.set_title(layout.title());
    job.set_printer_settings(layout.print_settings());
    job.generate(layout, report_rows(table));
    const QVector<ReportPage> pages = job.stored_pages();

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    std::vector<double> ms;
    try {
        write_report_pdf(path, pages, job.title()); // fonts and caches warmed up
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            write_report_pdf(path, pages, job.title());
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    std::printf("Export PDF, 25 points (%d page(s), %lld bytes): median %.2f ms over %zu runs "
                "(fastest %.2f ms, slowest %.2f ms)\n",
                int(pages.size()), static_cast<long long>(QFileInfo(path).size()), median, n,
                ms.front(), ms.back());
    return 0;
}
