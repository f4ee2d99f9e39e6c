#include "report/print_job.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace pelorin {

QEvent::Type PageAvailableEvent::event_type()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type ProgressEvent::event_type()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

PrintJob::PrintJob(Destination destination, QObject *parent)
    : QObject(parent), m_destination(destination)
{}

PrintJob::~PrintJob() = default;

void PrintJob::post(QEvent *event)
{
    if (m_receiver)
        QCoreApplication::postEvent(m_receiver, event);
    else
        delete event;
}

bool PrintJob::in_page_range(int number) const
{
    const int first = m_settings.first_page;
    const int last = m_settings.last_page;
    if (first == 0 && last == 0)
        return true;
    return number >= first && (last == 0 || number <= last);
}

void PrintJob::page_done(const ReportPage &page, QPrinter *printer, QPainter &painter, bool &drawn)
{
    if (m_destination == Destination::Screen) {
        m_pages.append(encode_page(page));
        m_sheets.append(Sheet{page.paper, page.orientation});
    } else if (printer && in_page_range(page.number)) {
        if (!drawn) {
            drawn = painter.begin(printer);
        } else {
            printer->newPage();
        }
        if (painter.isActive())
            paint_page(painter, page);
    }
    ++m_available_pages;
    post(new PageAvailableEvent(m_available_pages));
}

bool PrintJob::generate(const ReportLayout &layout, const QVector<Table::Row> &rows,
                        QPrinter *printer)
{
    m_status = Status::Generating;
    m_progress = 0;
    QPainter painter;
    bool drawn = false;

    GenerateHooks hooks;
    hooks.page_begun = [this](int number) { m_page_count = number; };
    hooks.before_row = [this](int) {
        // The window repaints and reacts to its buttons between the rows.
        QCoreApplication::processEvents();
        return !m_cancel;
    };
    const int row_total = int(rows.size());
    hooks.after_row = [this, row_total](int rows_done) {
        m_progress = rows_done * 100 / row_total;
        post(new ProgressEvent(m_progress));
    };
    hooks.page_done = [&](const ReportPage &page) { page_done(page, printer, painter, drawn); };

    bool completed = false;
    try {
        completed = generate_report(layout, rows, m_settings.orientation, m_clock, hooks);
    } catch (...) {
        if (painter.isActive())
            painter.end();
        m_status = Status::Finished;
        throw;
    }
    // Closing the document sends it, also after a cancel.
    if (painter.isActive())
        painter.end();
    m_status = Status::Finished;
    return completed;
}

QPicture PrintJob::page(int number) const
{
    const QByteArray data = m_pages.page_data(number);
    if (data.isEmpty())
        return QPicture();
    return record_page(decode_page(data));
}

QSizeF PrintJob::page_paper(int number) const
{
    if (number < 1 || number > m_sheets.size())
        return QSizeF();
    return m_sheets.at(number - 1).paper;
}

QPageLayout::Orientation PrintJob::page_orientation(int number) const
{
    if (number < 1 || number > m_sheets.size())
        return m_settings.orientation;
    return m_sheets.at(number - 1).orientation;
}

QVector<StoredPage> PrintJob::stored_pages() const
{
    QVector<StoredPage> pages;
    pages.reserve(m_sheets.size());
    for (int n = 1; n <= m_sheets.size(); ++n) {
        pages.append(decode_page(m_pages.page_data(n)));
        pages.last().number = n;
    }
    return pages;
}

void PrintJob::load_pages(const QVector<StoredPage> &pages)
{
    PageStore store;
    QVector<Sheet> sheets;
    for (const StoredPage &page : pages) {
        store.append(encode_page(page));
        sheets.append(Sheet{page.paper, page.orientation});
    }
    m_pages = std::move(store);
    m_sheets = sheets;
    m_page_count = int(sheets.size());
    m_available_pages = m_page_count;
    m_loaded_from_file = true;
    m_status = Status::Finished;
    if (!sheets.isEmpty()) {
        // The standard paper the first page matches, upright or turned.
        const QSizeF size = sheets.first().paper;
        const bool turned = size.width() > size.height();
        const QSizeF upright = turned ? size.transposed() : size;
        m_paper =
            QPageSize(upright / 10.0, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
        m_settings.orientation = turned ? QPageLayout::Landscape : QPageLayout::Portrait;
    }
}

void PrintJob::print_stored_pages(QPrinter &printer) const
{
    if (!is_finished() || m_sheets.isEmpty())
        return;
    QPainter painter;
    for (int n = 1; n <= m_sheets.size(); ++n) {
        if (!in_page_range(n))
            continue;
        if (!painter.isActive()) {
            if (!painter.begin(&printer))
                return;
        } else {
            printer.newPage();
        }
        const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
        play_page(painter, page(n), QRectF(QPointF(0, 0), printable.size()));
    }
    if (painter.isActive())
        painter.end();
}

bool apply_print_settings(QPrinter &printer, const PrintSettings &settings, const QPageSize &paper,
                          const QString &document_name)
{
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    if (installed.isEmpty())
        return false;
    QString name = settings.printer_name;
    if (name.isEmpty() || !installed.contains(name))
        name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty() || !installed.contains(name))
        name = installed.first();
    printer.setPrinterName(name);
    printer.setFullPage(true);
    printer.setPageSize(paper);
    printer.setPageOrientation(settings.orientation);
    printer.setCopyCount(std::max(1, settings.copies));
    printer.setPaperSource(settings.paper_source);
    printer.setDuplex(settings.duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
    printer.setDocName(document_name);
    return true;
}

QPicture record_page(const ReportPage &page)
{
    QPicture picture;
    QPainter painter(&picture);
    paint_page(painter, page);
    painter.end();
    return picture;
}

void play_page(QPainter &painter, const QPicture &picture, const QRectF &target)
{
    // The picture's bounding rectangle is its white sheet, in the coordinates
    // it was recorded in; drawPicture itself rescales those coordinates by the
    // device's resolution over the pictures' resolution.
    const QRect sheet = picture.boundingRect();
    if (sheet.isEmpty() || target.isEmpty())
        return;
    const QPaintDevice *device = painter.device();
    const QPicture probe;
    const double device_x = device ? device->logicalDpiX() / double(probe.logicalDpiX()) : 1.0;
    const double device_y = device ? device->logicalDpiY() / double(probe.logicalDpiY()) : 1.0;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / (sheet.width() * device_x),
                  target.height() / (sheet.height() * device_y));
    painter.drawPicture(-sheet.topLeft(), picture);
    painter.restore();
}

} // namespace pelorin
