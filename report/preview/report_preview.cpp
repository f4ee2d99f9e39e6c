#include "report/preview/report_preview.h"

#include "report/preview/preview_window.h"
#include "report/print_job.h"
#include "report/report_engine.h"
#include "report/report_layout.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>

#include <memory>

namespace pelorin {

void preview_report(ReportLayout &layout, const Table &table, Prompts &prompts, QWidget *parent)
{
    // 1. Let pending window events run.
    QCoreApplication::processEvents();
    // 2. One report generation at a time.
    if (layout.is_generating())
        return;
    const QVector<Table::Row> rows = report_rows(table);
    if (rows.isEmpty() && !layout.print_if_empty())
        return; // no band, no page: nothing to preview

    // 3. A new print job for screen pages.
    auto job = std::make_unique<PrintJob>(PrintJob::Destination::Screen);
    job->set_title(layout.title());
    job->set_printer_settings(layout.print_settings());

    // 4. The preview window, maximized and zoomed to width.
    QPointer<PreviewWindow> window = new PreviewWindow(*job, layout, table, prompts, parent);
    window->open();

    // 5. Generate; the window stays live between the rows.
    bool completed = false;
    layout.set_generating(true);
    try {
        completed = job->generate(layout, rows);
    } catch (...) {
        layout.set_generating(false);
        throw;
    }
    layout.set_generating(false);

    // 6. A cancelled report (the window was closed) is discarded; otherwise
    // events are handled until the window closes or the application ends.
    if (!completed || !window || !window->isVisible())
        return;
    QEventLoop loop;
    QObject::connect(window, &PreviewWindow::preview_closed, &loop, &QEventLoop::quit);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace pelorin
