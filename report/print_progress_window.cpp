#include "report/print_progress_window.h"

#include "report/print_job.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace pelorin {

PrintProgressWindow::PrintProgressWindow(PrintJob &job, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_job(&job)
{
    ui.setupUi(this);
    setFixedSize(149, 97);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(ui.CancelButton, &QPushButton::clicked, this, &PrintProgressWindow::cancel);
    job.set_receiver(this);
}

void PrintProgressWindow::customEvent(QEvent *event)
{
    if (event->type() != ProgressEvent::event_type() || !m_job)
        return;
    const int percent = m_job->progress();
    if (percent % 5 != 0)
        return;
    ui.Gauge->setValue(percent);
    ui.Info->setText(QString::number(percent) + QStringLiteral("% ") +
                     QStringLiteral(" Completed"));
    QCoreApplication::processEvents();
}

void PrintProgressWindow::cancel()
{
    if (m_job)
        m_job->request_cancel();
}

void PrintProgressWindow::reject()
{
    cancel();
}

void PrintProgressWindow::closeEvent(QCloseEvent *event)
{
    cancel();
    event->ignore();
}

} // namespace pelorin
