#include "report/preview/print_progress_window.h"

#include "report/print_job.h"
#include "ui_print_progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace pelorin {

PrintProgressWindow::PrintProgressWindow(PrintJob &job, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_ui(std::make_unique<Ui::PrintProgressWindow>()), m_job(&job)
{
    m_ui->setupUi(this);
    setFixedSize(149, 97);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(m_ui->CancelButton, &QPushButton::clicked, this, &PrintProgressWindow::cancel);
    job.set_receiver(this);
}

PrintProgressWindow::~PrintProgressWindow() = default;

void PrintProgressWindow::customEvent(QEvent *event)
{
    if (event->type() != ProgressEvent::event_type() || !m_job)
        return;
    const int percent = m_job->progress();
    if (percent % 5 != 0)
        return;
    m_ui->Gauge->setValue(percent);
    m_ui->Info->setText(QString::number(percent) + QStringLiteral("% ") +
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
