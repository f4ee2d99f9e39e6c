#pragma once

// The report preview window: shows the pages of a screen print job while it
// is generated and afterwards, with zoom, page navigation, printer setup,
// printing, saving and loading of pages, export as a PDF file, and closing.
//
//   PrintJob (screen) --PageAvailableEvent/ProgressEvent--> PreviewWindow
//   PreviewWindow --Print--> PrintJob (printer) under PrintProgressWindow
//   PreviewWindow --PrintSetup--> ReportLayout::print_settings()
//
// The window sees every key before its controls: Esc closes it, Page Up/Down
// (with Ctrl alone: first/last), Home and End move between pages.

#include "calc/result_table.h"
#include "report/print_job.h"
#include "report/report_layout.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QButtonGroup;
class QLabel;
class QToolButton;

namespace pelorin {

class PageView;
class Prompts;

class PreviewWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum class ZoomMode { Fit, Hundred, Width };

    // `layout` is the report: its print settings are read and changed here,
    // and its captions as they are now are used for printing. `table` gives
    // the rows a print run generates from.
    PreviewWindow(PrintJob &job, ReportLayout &layout, const Table &table, Prompts &prompts,
                  QWidget *parent = nullptr);
    ~PreviewWindow() override;

    // Shows the window maximized (its restored size 652 x 579, centred),
    // zoomed to width, with the page position in the status bar.
    void open();

    PrintJob *job() const { return m_job; }
    PageView *page_view() const { return m_view; }
    int page_shown() const { return m_page; }
    ZoomMode zoom_mode() const { return m_mode; }
    int zoom() const;
    bool is_printing() const { return m_printing; }

    void zoom_to_fit();
    void zoom_100();
    void zoom_to_width();
    // Shows page n; ignored below 1, above the page count or when shown.
    void go_to_page(int number);

    // With no printer installed, Printer setup and Print say so in a box.
    void printer_setup();
    // Prints at once (the Print button queues this after its click).
    void print_report();
    void save_report();
    void load_report();
    // Writes the pages to the PDF file the save dialog names; a failure is
    // shown in an error box.
    void export_pdf();

    // Whether a printer is installed: asked before Printer setup and Print.
    // The default asks the print service; tests put their own answer here.
    using PrinterCheck = std::function<bool()>;
    void set_printer_check(PrinterCheck check) { m_printer_installed = std::move(check); }

signals:
    // The window has been closed by the user (Close, Esc or the frame).
    void preview_closed();
    // A print run has ended (or there was nothing to print it on).
    void print_finished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    QToolButton *add_button(const QString &name, const QString &tip, const QString &picture);
    bool handle_key(int key, Qt::KeyboardModifiers modifiers);
    void apply_zoom_mode();
    void show_page();
    void update_page_position();
    void set_print_buttons(bool setup, bool print);
    void navigate(int number);
    bool printer_installed_or_say_so();

    QPointer<PrintJob> m_job;
    ReportLayout &m_layout;
    ReportLayout m_captions; // the report as it was when the preview opened
    QPointer<const Table> m_table;
    Prompts &m_prompts;

    PageView *m_view;
    QButtonGroup *m_zoom_group;
    QToolButton *m_zoom_fit;
    QToolButton *m_zoom_100;
    QToolButton *m_zoom_width;
    QToolButton *m_print_setup;
    QToolButton *m_print;
    QToolButton *m_export_pdf;
    QLabel *m_progress_panel;
    QLabel *m_page_panel;
    PrinterCheck m_printer_installed;

    ZoomMode m_mode = ZoomMode::Width;
    int m_page = 1;
    bool m_page_drawn = false; // the shown page has been drawn since it became available
    int m_last_progress = 0;
    bool m_printing = false;
    bool m_close_after_print = false;
    bool m_closed = false;
};

} // namespace pelorin
