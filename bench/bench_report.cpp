// Generating the calibration report with 25 correction points (27 detail
// rows): the layout pass alone, screen pages for the preview (page records kept
// in the job's page store), a page painted at 150 dpi, and a print run drawn
// on a 600 dpi printer in PDF output mode.

#include "calc/calc_state.h"
#include "calc/calibration_run.h"
#include "calc/result_table.h"
#include "report/print_job.h"
#include "report/report_captions.h"
#include "report/report_engine.h"
#include "report/report_fixtures.h"
#include "report/report_layout.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace pelorin;

namespace {

// The report of 25 points as PrintClick leaves it.
struct Report
{
    Report()
    {
        testing::prepare_report(testing::startup_input(25), table, layout);
        rows = report_rows(table);
    }
    Table table;
    ReportLayout layout;
    QVector<Table::Row> rows;
};

Report &report()
{
    static Report instance;
    return instance;
}

void BM_LayoutPass(benchmark::State &state)
{
    Report &r = report();
    for (auto _ : state) {
        QVector<ReportPage> pages = layout_report(r.layout, r.rows, QPageLayout::Portrait);
        benchmark::DoNotOptimize(pages);
    }
}
BENCHMARK(BM_LayoutPass)->Unit(benchmark::kMicrosecond);

void BM_ScreenPages(benchmark::State &state)
{
    Report &r = report();
    qint64 bytes = 0;
    for (auto _ : state) {
        PrintJob job(PrintJob::Destination::Screen);
        job.generate(r.layout, r.rows);
        bytes = encode_page(job.stored_pages().value(0)).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["page_bytes"] = double(bytes);
}
BENCHMARK(BM_ScreenPages)->Unit(benchmark::kMillisecond);

void BM_PaintPage150dpi(benchmark::State &state)
{
    Report &r = report();
    const ReportPage page = layout_report(r.layout, r.rows, QPageLayout::Portrait).value(0);
    QImage image(1240, 1754, QImage::Format_RGB32);
    image.setDotsPerMeterX(5906);
    image.setDotsPerMeterY(5906);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        paint_page(painter, page);
    }
}
BENCHMARK(BM_PaintPage150dpi)->Unit(benchmark::kMillisecond);

void BM_PrinterPdf600dpi(benchmark::State &state)
{
    Report &r = report();
    const QString path = QDir::temp().filePath(QStringLiteral("pelorin_bench_report.pdf"));
    qint64 bytes = 0;
    int dpi = 0;
    for (auto _ : state) {
        PrintJob job(PrintJob::Destination::Printer);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setResolution(600);
        printer.setFullPage(true);
        printer.setPageSize(QPageSize(QPageSize::A4));
        job.generate(r.layout, r.rows, &printer);
        bytes = QFile(path).size();
        dpi = printer.logicalDpiX();
    }
    state.counters["pdf_bytes"] = double(bytes);
    state.counters["dpi"] = dpi; // the resolution the page was painted at
    QFile::remove(path);
}
BENCHMARK(BM_PrinterPdf600dpi)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", [](const std::vector<double> &times) {
        return *std::min_element(times.begin(), times.end());
    });

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
