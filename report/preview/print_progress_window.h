#pragma once

// The "Printing progress" window, shown while a report is generated for the
// printer: a progress bar, a percentage line and a Cancel button that asks the
// print job to stop after the current row.

#include <QDialog>
#include <QPointer>

#include <memory>

namespace Ui {
class PrintProgressWindow;
}

namespace pelorin {

class PrintJob;

class PrintProgressWindow : public QDialog
{
    Q_OBJECT

public:
    // Receives the job's notifications from now on.
    explicit PrintProgressWindow(PrintJob &job, QWidget *parent = nullptr);
    ~PrintProgressWindow() override;

    // The window stays until the print run ends; closing it asks to cancel.
    void reject() override;

protected:
    void customEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void cancel();

    std::unique_ptr<Ui::PrintProgressWindow> m_ui; // Gauge, Info, CancelButton
    QPointer<PrintJob> m_job;
};

} // namespace pelorin
