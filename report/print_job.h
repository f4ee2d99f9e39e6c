#pragma once

// A print job: one run of the report engine into screen pages (for the
// preview) or straight onto a printer.
//
//   preview:  PrintJob(Screen).generate(layout, rows)  -> page records in a PageStore,
//             recorded as a QPicture when a page is shown
//   printing: PrintJob(Printer).generate(layout, rows, &printer) -> pages drawn on the printer
//
// Generation runs on the user-interface thread: before every detail row it
// lets pending window events run and then checks the cancel request. Each
// completed page and each detail row's progress are posted to the receiver's
// event queue (PageAvailableEvent, ProgressEvent), so the receiving window
// handles them in order after the step that produced them.

#include "calc/result_table.h"
#include "report/page_file.h"
#include "report/page_store.h"
#include "report/report_engine.h"
#include "report/report_layout.h"

#include <QEvent>
#include <QObject>
#include <QPageSize>
#include <QPicture>
#include <QPointer>
#include <QVector>

class QPainter;
class QPrinter;

namespace pelorin {

// Posted when a page is complete: the number of available pages.
class PageAvailableEvent : public QEvent
{
public:
    explicit PageAvailableEvent(int available_pages)
        : QEvent(event_type()), m_available(available_pages)
    {}
    static QEvent::Type event_type();
    int available_pages() const { return m_available; }

private:
    int m_available;
};

// Posted after every detail row: the percentage of rows produced.
class ProgressEvent : public QEvent
{
public:
    explicit ProgressEvent(int percent) : QEvent(event_type()), m_percent(percent) {}
    static QEvent::Type event_type();
    int percent() const { return m_percent; }

private:
    int m_percent;
};

class PrintJob : public QObject
{
    Q_OBJECT

public:
    enum class Destination { Screen, Printer };
    enum class Status { Ready, Generating, Finished };

    explicit PrintJob(Destination destination, QObject *parent = nullptr);
    ~PrintJob() override;

    Destination destination() const { return m_destination; }
    Status status() const { return m_status; }
    bool is_finished() const { return m_status == Status::Finished; }

    const QString &title() const { return m_title; }
    void set_title(const QString &title) { m_title = title; }

    // Printer, orientation, copies, paper source and page range, taken from
    // the report's print settings when the job starts.
    const PrintSettings &printer_settings() const { return m_settings; }
    void set_printer_settings(const PrintSettings &settings) { m_settings = settings; }
    int first_page() const { return m_settings.first_page; }
    int last_page() const { return m_settings.last_page; }
    // Paper of the job: A4 from the layout, or the standard size matching the
    // first page of a loaded file.
    const QPageSize &paper() const { return m_paper; }

    int page_count() const { return m_page_count; }           // pages begun
    int available_pages() const { return m_available_pages; } // pages completed
    int progress() const { return m_progress; }               // 0 to 100
    bool loaded_from_file() const { return m_loaded_from_file; }

    void request_cancel() { m_cancel = true; }
    bool cancel_requested() const { return m_cancel; }

    // The window that receives the notifications; none is posted without one.
    void set_receiver(QObject *receiver) { m_receiver = receiver; }
    // The date and time the report's system data element shows (tests pin it).
    void set_clock(Clock clock) { m_clock = std::move(clock); }

    // Runs the report over `rows`. A screen job keeps each page's values;
    // a printer job draws each page in the job's page range on `printer`
    // (already set up, see apply_print_settings) and ends the document when
    // generation ends, cancelled or not. Returns false when cancelled.
    bool generate(const ReportLayout &layout, const QVector<Table::Row> &rows,
                  QPrinter *printer = nullptr);

    // Screen pages, numbered from 1, recorded for playing. An unknown number,
    // or a page whose temporary file can no longer be read, gives an empty
    // picture.
    QPicture page(int number) const;
    QSizeF page_paper(int number) const; // tenths of a millimetre
    QPageLayout::Orientation page_orientation(int number) const;
    // The pages as a page file holds them.
    QVector<StoredPage> stored_pages() const;
    // Replaces the pages with those of a file: the job is finished, loaded
    // from a file, and takes its paper and orientation from the first page.
    void load_pages(const QVector<StoredPage> &pages);
    // Prints the stored pages of the job's page range in one document, each
    // stretched over the printer's printable page. Nothing when the job is
    // not finished or has no pages.
    void print_stored_pages(QPrinter &printer) const;

    // True when page `number` lies in the job's page range.
    bool in_page_range(int number) const;

private:
    struct Sheet
    {
        QSizeF paper;
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
    };

    void post(QEvent *event);
    void page_done(const ReportPage &page, QPrinter *printer, QPainter &painter, bool &drawn);

    Destination m_destination;
    Status m_status = Status::Ready;
    QString m_title;
    PrintSettings m_settings;
    QPageSize m_paper{QPageSize::A4};
    PageStore m_pages;
    QVector<Sheet> m_sheets;
    int m_page_count = 0;
    int m_available_pages = 0;
    int m_progress = 0;
    bool m_cancel = false;
    bool m_loaded_from_file = false;
    QPointer<QObject> m_receiver;
    Clock m_clock = &QDateTime::currentDateTime;
};

// Sets up a printer for a report: the settings' printer (the default printer
// when it is empty or no longer installed), paper, orientation, copies, paper
// source, two-sided printing and the document name; the painter's origin is
// the paper's corner. False when no printer is installed.
bool apply_print_settings(QPrinter &printer, const PrintSettings &settings, const QPageSize &paper,
                          const QString &document_name);

// Records a page as a resolution-independent picture.
QPicture record_page(const ReportPage &page);

// Plays a recorded page so that its sheet fills `target` (painter coordinates).
void play_page(QPainter &painter, const QPicture &picture, const QRectF &target);

} // namespace pelorin
