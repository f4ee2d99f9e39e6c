#include "report/preview/preview_window.h"

#include "calc/errors.h"
#include "report/page_file.h"
#include "report/pdf_export.h"
#include "report/preview/page_view.h"
#include "report/preview/print_progress_window.h"
#include "report/preview/prompts.h"
#include "report/print_job.h"
#include "resources/pictures.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <stdexcept>

namespace pelorin {

namespace {

// Marks the report as being generated for as long as it lives.
class GeneratingGuard
{
public:
    explicit GeneratingGuard(ReportLayout &layout) : m_layout(layout)
    {
        m_layout.set_generating(true);
    }
    ~GeneratingGuard() { m_layout.set_generating(false); }
    GeneratingGuard(const GeneratingGuard &) = delete;
    GeneratingGuard &operator=(const GeneratingGuard &) = delete;

private:
    ReportLayout &m_layout;
};

} // namespace

PreviewWindow::PreviewWindow(PrintJob &job, ReportLayout &layout, const Table &table,
                             Prompts &prompts, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_job(&job), m_layout(layout), m_captions(layout),
      m_table(&table), m_prompts(prompts), m_view(new PageView(this)),
      m_zoom_group(new QButtonGroup(this)), m_progress_panel(new QLabel(this)),
      m_page_panel(new QLabel(this)),
      m_printer_installed([] { return !QPrinterInfo::availablePrinterNames().isEmpty(); })
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(job.title().isEmpty() ? QStringLiteral("Print Preview") : job.title());
    setContextMenuPolicy(Qt::NoContextMenu);

    auto *tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("ToolBar"));
    tools->setMovable(false);
    tools->setFloatable(false);
    tools->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, tools);

    m_zoom_fit = add_button(QStringLiteral("ZoomFit"), QStringLiteral("Zoom to fit"),
                            QStringLiteral("tool_zoom_fit.png"));
    m_zoom_100 = add_button(QStringLiteral("Zoom100"), QStringLiteral("100%"),
                            QStringLiteral("tool_zoom_100.png"));
    m_zoom_width = add_button(QStringLiteral("ZoomToWidth"), QStringLiteral("Zoom to width"),
                              QStringLiteral("tool_zoom_width.png"));
    QToolButton *first = add_button(QStringLiteral("FirstPage"), QStringLiteral("First page"),
                                    QStringLiteral("tool_first_page.png"));
    QToolButton *previous =
        add_button(QStringLiteral("PreviousPage"), QStringLiteral("Previous page"),
                   QStringLiteral("tool_previous_page.png"));
    QToolButton *next = add_button(QStringLiteral("ToolButton2"), QStringLiteral("Next page"),
                                   QStringLiteral("tool_next_page.png"));
    QToolButton *last = add_button(QStringLiteral("LastPage"), QStringLiteral("Last page"),
                                   QStringLiteral("tool_last_page.png"));
    m_print_setup = add_button(QStringLiteral("PrintSetup"), QStringLiteral("Printer setup"),
                               QStringLiteral("tool_printer_setup.png"));
    m_print = add_button(QStringLiteral("Print"), QStringLiteral("Print"),
                         QStringLiteral("tool_print.png"));
    QToolButton *save = add_button(QStringLiteral("SaveReport"), QStringLiteral("Save Report"),
                                   QStringLiteral("tool_save.png"));
    QToolButton *load = add_button(QStringLiteral("LoadReport"), QStringLiteral("Load Report"),
                                   QStringLiteral("tool_load.png"));
    m_export_pdf = add_button(QStringLiteral("ExportPdf"), QStringLiteral("Export PDF"),
                              QStringLiteral("tool_export_pdf.png"));
    auto *exit = new QToolButton(this);
    exit->setObjectName(QStringLiteral("ExitButton"));
    exit->setText(QStringLiteral("&Close"));
    exit->setToolButtonStyle(Qt::ToolButtonTextOnly);
    exit->setFixedSize(40, 22);

    for (QToolButton *button : {m_zoom_fit, m_zoom_100, m_zoom_width}) {
        button->setCheckable(true);
        m_zoom_group->addButton(button);
    }
    m_zoom_group->setExclusive(true);

    tools->addWidget(m_zoom_fit);
    tools->addWidget(m_zoom_100);
    tools->addWidget(m_zoom_width);
    tools->addSeparator();
    tools->addWidget(first);
    tools->addWidget(previous);
    tools->addWidget(next);
    tools->addWidget(last);
    tools->addSeparator();
    tools->addWidget(m_print_setup);
    tools->addWidget(m_print);
    tools->addSeparator();
    tools->addWidget(save);
    tools->addWidget(load);
    tools->addWidget(m_export_pdf);
    tools->addSeparator();
    tools->addWidget(exit);
    set_print_buttons(false, false);

    setCentralWidget(m_view);

    m_progress_panel->setObjectName(QStringLiteral("ProgressPanel"));
    m_progress_panel->setFixedWidth(40);
    m_progress_panel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_progress_panel->setText(QStringLiteral("0%"));
    m_page_panel->setObjectName(QStringLiteral("PagePanel"));
    m_page_panel->setText(QStringLiteral("Page"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(m_progress_panel);
    statusBar()->addWidget(m_page_panel, 1);

    connect(m_zoom_fit, &QToolButton::clicked, this, [this] {
        QCoreApplication::processEvents();
        zoom_to_fit();
    });
    connect(m_zoom_100, &QToolButton::clicked, this, [this] {
        QCoreApplication::processEvents();
        zoom_100();
    });
    connect(m_zoom_width, &QToolButton::clicked, this, [this] {
        QCoreApplication::processEvents();
        zoom_to_width();
    });
    connect(first, &QToolButton::clicked, this, [this] { navigate(1); });
    connect(previous, &QToolButton::clicked, this, [this] { navigate(m_page - 1); });
    connect(next, &QToolButton::clicked, this, [this] { navigate(m_page + 1); });
    connect(last, &QToolButton::clicked, this, [this] {
        if (m_job)
            navigate(m_job->page_count());
    });
    connect(m_print_setup, &QToolButton::clicked, this, &PreviewWindow::printer_setup);
    // Printing runs after the click has been handled.
    connect(m_print, &QToolButton::clicked, this, &PreviewWindow::print_report,
            Qt::QueuedConnection);
    connect(save, &QToolButton::clicked, this, &PreviewWindow::save_report);
    connect(load, &QToolButton::clicked, this, &PreviewWindow::load_report);
    connect(m_export_pdf, &QToolButton::clicked, this, &PreviewWindow::export_pdf);
    connect(exit, &QToolButton::clicked, this, &QWidget::close);
    connect(m_view, &PageView::resized, this, [this] {
        if (m_mode != ZoomMode::Hundred)
            apply_zoom_mode();
    });

    job.set_receiver(this);
    qApp->installEventFilter(this);
}

PreviewWindow::~PreviewWindow()
{
    qApp->removeEventFilter(this);
}

QToolButton *PreviewWindow::add_button(const QString &name, const QString &tip,
                                       const QString &picture)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    try {
        button->setIcon(load_icon(picture));
    } catch (const std::runtime_error &) {
        button->setText(tip); // a picture missing from the build: the button still works
    }
    return button;
}

void PreviewWindow::open()
{
    resize(652, 579);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    showMaximized();
    show_page(); // a blank sheet of the report's paper until page 1 is done
    zoom_to_width();
    update_page_position();
}

int PreviewWindow::zoom() const
{
    return m_view->zoom();
}

void PreviewWindow::apply_zoom_mode()
{
    const QSize view = m_view->view_size();
    const QSize page = m_view->page_size();
    switch (m_mode) {
    case ZoomMode::Fit:
        m_view->set_zoom(fit_zoom(view, page));
        break;
    case ZoomMode::Hundred:
        m_view->set_zoom(100);
        break;
    case ZoomMode::Width:
        m_view->set_zoom(width_zoom(view, page));
        break;
    }
}

void PreviewWindow::zoom_to_fit()
{
    m_mode = ZoomMode::Fit;
    m_zoom_fit->setChecked(true);
    apply_zoom_mode();
}

void PreviewWindow::zoom_100()
{
    m_mode = ZoomMode::Hundred;
    m_zoom_100->setChecked(true);
    apply_zoom_mode();
}

void PreviewWindow::zoom_to_width()
{
    m_mode = ZoomMode::Width;
    m_zoom_width->setChecked(true);
    apply_zoom_mode();
}

void PreviewWindow::show_page()
{
    if (!m_job)
        return;
    const bool available = m_page <= m_job->available_pages();
    QSizeF paper = m_job->page_paper(m_page);
    if (paper.isEmpty())
        paper = m_captions.page_size(m_job->printer_settings().orientation);
    m_view->set_page(available ? m_job->page(m_page) : QPicture(), paper);
    m_page_drawn = available;
}

void PreviewWindow::go_to_page(int number)
{
    if (!m_job || number < 1 || number > m_job->page_count() || number == m_page)
        return;
    m_page = number;
    show_page();
    if (m_mode != ZoomMode::Hundred)
        apply_zoom_mode(); // the new page may have another paper
    m_view->scroll_to_top_left();
}

void PreviewWindow::navigate(int number)
{
    go_to_page(number);
    update_page_position();
}

void PreviewWindow::update_page_position()
{
    const int count = m_job ? m_job->page_count() : 0;
    m_page_panel->setText(QStringLiteral("Page %1 of %2").arg(m_page).arg(count));
}

void PreviewWindow::set_print_buttons(bool setup, bool print)
{
    m_print_setup->setEnabled(setup);
    m_print->setEnabled(print);
    m_export_pdf->setEnabled(print); // whatever can be printed can be exported
}

bool PreviewWindow::printer_installed_or_say_so()
{
    if (m_printer_installed && m_printer_installed())
        return true;
    m_prompts.message(this, QStringLiteral("PELORIN"),
                      QStringLiteral("No printer is installed. Use Export PDF to keep the report "
                                     "as a file."),
                      Prompts::Icon::Information);
    return false;
}

void PreviewWindow::customEvent(QEvent *event)
{
    if (!m_job)
        return;
    if (event->type() == PageAvailableEvent::event_type()) {
        update_page_position();
        if (m_job->is_finished())
            set_print_buttons(true, true);
        if (!m_page_drawn && m_page <= m_job->available_pages()) {
            show_page();
            zoom_to_width();
        }
    } else if (event->type() == ProgressEvent::event_type()) {
        const int percent = static_cast<ProgressEvent *>(event)->percent();
        if (percent >= m_last_progress + 5) {
            m_progress_panel->setText(QString::number(percent) + QLatin1Char('%'));
            m_last_progress = percent;
        }
        if (percent == 0 || percent == 100)
            m_progress_panel->clear();
    }
}

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == this) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (handle_key(key->key(), key->modifiers()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool PreviewWindow::handle_key(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl_alone = (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier;
    const int count = m_job ? m_job->page_count() : 0;
    switch (key) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_PageUp:
        navigate(ctrl_alone ? 1 : m_page - 1);
        return true;
    case Qt::Key_PageDown:
        navigate(ctrl_alone ? count : m_page + 1);
        return true;
    case Qt::Key_Home:
        navigate(1);
        return true;
    case Qt::Key_End:
        navigate(count);
        return true;
    default:
        return false;
    }
}

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    if (m_printing) {
        // The print run finishes first (cancelled), then the window closes.
        m_close_after_print = true;
        if (m_job)
            m_job->request_cancel();
        event->ignore();
        return;
    }
    if (m_job && m_job->status() == PrintJob::Status::Generating)
        m_job->request_cancel();
    if (!m_closed) {
        m_closed = true;
        emit preview_closed();
    }
    event->accept();
}

void PreviewWindow::printer_setup()
{
    if (!m_job || !printer_installed_or_say_so())
        return;
    PrintSettings &settings = m_layout.print_settings();
    QPrinter printer(QPrinter::HighResolution);
    apply_print_settings(printer, settings, QPageSize(QPageSize::A4), m_captions.title());

    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (m_job->is_finished()) {
        dialog.setMinMax(1, std::max(1, m_job->page_count()));
        printer.setFromTo(1, std::max(1, m_job->page_count()));
    } else {
        dialog.setMinMax(0, 9999);
    }
    if (!m_prompts.exec_print_dialog(dialog))
        return;

    settings.copies = printer.copyCount();
    settings.printer_name = printer.printerName();
    settings.orientation = printer.pageLayout().orientation();
    if (printer.printRange() == QPrinter::PageRange) {
        settings.first_page = printer.fromPage();
        settings.last_page = printer.toPage();
    } else {
        settings.first_page = 0;
        settings.last_page = 0;
    }
}

void PreviewWindow::print_report()
{
    if (!m_job || !m_job->is_finished() || m_printing || !printer_installed_or_say_so()) {
        emit print_finished();
        return;
    }

    if (m_job->loaded_from_file()) {
        QPrinter printer(QPrinter::HighResolution);
        apply_print_settings(printer, m_job->printer_settings(), m_job->paper(), m_job->title());
        printer.setFullPage(false); // each page stretched over the printable page
        m_job->print_stored_pages(printer);
        emit print_finished();
        return;
    }

    PrintJob print_job(PrintJob::Destination::Printer);
    print_job.set_title(m_captions.title());
    print_job.set_printer_settings(m_layout.print_settings());
    QPrinter printer(QPrinter::HighResolution);
    apply_print_settings(printer, print_job.printer_settings(), QPageSize(m_captions.paper()),
                         print_job.title());

    PrintProgressWindow progress(print_job, this);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.show();
    m_printing = true;
    {
        GeneratingGuard busy(m_layout);
        const QVector<Table::Row> rows = m_table ? report_rows(*m_table) : QVector<Table::Row>();
        try {
            print_job.generate(m_captions, rows, &printer);
        } catch (...) {
            m_printing = false;
            throw;
        }
    }
    m_printing = false;
    progress.hide();
    emit print_finished();
    if (m_close_after_print)
        close();
}

void PreviewWindow::save_report()
{
    const QString path = m_prompts.save_file_name(this, QStringLiteral("Save report"),
                                                  QString::fromLatin1(page_file_filter),
                                                  QString::fromLatin1(page_file_suffix));
    if (path.isEmpty() || !m_job || !m_job->is_finished())
        return;
    try {
        save_page_file(path, m_job->stored_pages());
    } catch (const Error &error) {
        m_prompts.message(this, windowTitle(), error.message(), Prompts::Icon::Error);
    }
}

void PreviewWindow::export_pdf()
{
    if (!m_job || !m_job->is_finished())
        return;
    const QString path =
        m_prompts.save_file_name(this, QStringLiteral("Export PDF"),
                                 QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    // The pages as generated or loaded, drawn as for printing.
    const QString title = m_job->title().isEmpty() ? m_captions.title() : m_job->title();
    try {
        write_report_pdf(path, m_job->stored_pages(), title);
    } catch (const Error &error) {
        m_prompts.message(this, windowTitle(), error.message(), Prompts::Icon::Error);
    }
}

void PreviewWindow::load_report()
{
    const QString path = m_prompts.open_file_name(this, QStringLiteral("Load report"),
                                                  QString::fromLatin1(page_file_filter));
    if (path.isEmpty() || !m_job)
        return;
    if (!page_file_exists(path)) {
        m_prompts.message(this, windowTitle(), QStringLiteral("File does not exist"),
                          Prompts::Icon::Error);
        return;
    }
    // Pages being generated are not replaced under the running report.
    if (m_job->status() == PrintJob::Status::Generating)
        return;
    QVector<StoredPage> pages;
    try {
        pages = load_page_file(path);
    } catch (const Error &error) {
        m_prompts.message(this, windowTitle(), error.message(), Prompts::Icon::Error);
        return;
    }
    m_job->load_pages(pages);
    m_page = 1;
    show_page();
    apply_zoom_mode();
    update_page_position();
    set_print_buttons(false, true);
}

} // namespace pelorin
