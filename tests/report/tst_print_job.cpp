// The print job: notifications posted in order, progress by integer
// division, the status, cancelling between rows, page ranges on a printer,
// stored pages, and the printing progress window.

#include "report_fixtures.h"

#include "report/preview/print_progress_window.h"
#include "report/print_job.h"

#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace pelorin;

namespace {

// Collects the notifications a job posts, as they are delivered.
class Receiver : public QObject
{
public:
    explicit Receiver(PrintJob &job) : m_job(job) { job.set_receiver(this); }

    void customEvent(QEvent *event) override
    {
        if (event->type() == ProgressEvent::event_type()) {
            const int percent = static_cast<ProgressEvent *>(event)->percent();
            progress << percent;
            log << QStringLiteral("progress %1").arg(percent);
        } else if (event->type() == PageAvailableEvent::event_type()) {
            const int pages = static_cast<PageAvailableEvent *>(event)->available_pages();
            available << pages;
            log << QStringLiteral("page %1").arg(pages);
        }
        statuses << m_job.status();
        if (on_event)
            on_event();
    }

    QVector<int> progress;
    QVector<int> available;
    QStringList log;
    QVector<PrintJob::Status> statuses;
    std::function<void()> on_event;

private:
    PrintJob &m_job;
};

QVector<Table::Row> rows(int points)
{
    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(points), table, layout);
    return report_rows(table);
}

int pdf_pages(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    return int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page ") +
               bytes.count("/Type /Page/"));
}

void pdf_printer(QPrinter &printer, const QString &path, QPageLayout::Orientation orientation)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation);
}

// Records the percentage line after every progress notification it handles.
class RecordingProgressWindow : public PrintProgressWindow
{
public:
    using PrintProgressWindow::PrintProgressWindow;
    QStringList lines;

protected:
    void customEvent(QEvent *event) override
    {
        PrintProgressWindow::customEvent(event);
        const QString text = findChild<QLabel *>(QStringLiteral("Info"))->text();
        if (lines.isEmpty() || lines.last() != text)
            lines << text;
    }
};

} // namespace

class TestPrintJob : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void notifications_are_posted_in_order();
    void cancel_between_rows();
    void printer_job_sends_pages_in_range_data();
    void printer_job_sends_pages_in_range();
    void cancelled_printer_job_sends_what_was_drawn();
    void largest_portrait_page_stays_in_memory();
    void stored_pages_load_back_data();
    void stored_pages_load_back();
    void progress_window_layout();
    void progress_window_shows_multiples_of_five();
    void progress_window_cancel_button();

private:
    ReportLayout m_layout;
    QTemporaryDir m_dir;
};

void TestPrintJob::initTestCase()
{
    testing::install_font_substitutions();
    Table table;
    testing::prepare_report(testing::startup_input(), table, m_layout);
    QVERIFY(m_dir.isValid());
}

void TestPrintJob::notifications_are_posted_in_order()
{
    PrintJob job(PrintJob::Destination::Screen);
    Receiver receiver(job);
    QCOMPARE(job.status(), PrintJob::Status::Ready);
    QVERIFY(job.generate(m_layout, rows(15)));
    QCOMPARE(job.status(), PrintJob::Status::Finished);

    // Posted, not sent: the last row's progress and the completed page are
    // still waiting in the queue when generation returns.
    QCOMPARE(receiver.progress.size(), 16);
    QVERIFY(receiver.available.isEmpty());
    QVERIFY(receiver.statuses.count(PrintJob::Status::Generating) == 16);
    QCoreApplication::processEvents();

    QVector<int> expected;
    for (int done = 1; done <= 17; ++done)
        expected << done * 100 / 17; // integer division: 5, 11, 17 ... 94, 100
    QCOMPARE(receiver.progress, expected);
    QCOMPARE(receiver.available, QVector<int>{1});
    QCOMPARE(receiver.log.last(), QStringLiteral("page 1"));
    QCOMPARE(job.page_count(), 1);
    QCOMPARE(job.available_pages(), 1);
    QCOMPARE(job.progress(), 100);
    QVERIFY(!job.page(1).isNull());
    QCOMPARE(job.page_paper(1), QSizeF(2100, 2970));
}

void TestPrintJob::cancel_between_rows()
{
    PrintJob job(PrintJob::Destination::Screen);
    Receiver receiver(job);
    receiver.on_event = [&] {
        if (!receiver.progress.isEmpty() && receiver.progress.last() >= 30)
            job.request_cancel();
    };
    QVERIFY(!job.generate(m_layout, rows(25)));
    QVERIFY(job.cancel_requested());
    QCOMPARE(job.status(), PrintJob::Status::Finished);
    // 30 % is passed after 9 of 27 rows (33 %); that notification arrives
    // while events run before the tenth row, which is then not produced.
    QCOMPARE(job.progress(), 9 * 100 / 27);
    QCOMPARE(job.page_count(), 1);
    QCOMPARE(job.available_pages(), 1);
}

void TestPrintJob::printer_job_sends_pages_in_range_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("sent");
    QTest::newRow("all pages (0 and 0)") << 0 << 0 << 2;
    QTest::newRow("page 2 only") << 2 << 2 << 1;
    QTest::newRow("pages 1 to 1") << 1 << 1 << 1;
    QTest::newRow("from page 2 on") << 2 << 0 << 1;
    QTest::newRow("range beyond the report") << 3 << 9 << 0;
}

void TestPrintJob::printer_job_sends_pages_in_range()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, sent);

    const QString path = m_dir.filePath(QStringLiteral("range_%1_%2.pdf").arg(first).arg(last));
    PrintJob job(PrintJob::Destination::Printer);
    PrintSettings settings;
    settings.orientation = QPageLayout::Landscape;
    settings.first_page = first;
    settings.last_page = last;
    job.set_printer_settings(settings);
    QPrinter printer(QPrinter::HighResolution);
    pdf_printer(printer, path, QPageLayout::Landscape);
    QVERIFY(job.generate(m_layout, rows(25), &printer));
    // Every page is generated; only those in the range reach the printer.
    QCOMPARE(job.page_count(), 2);
    QCOMPARE(job.available_pages(), 2);
    QVERIFY(job.page(1).isNull()); // a printer job keeps no pictures
    if (sent == 0)
        QVERIFY(!QFile::exists(path));
    else
        QCOMPARE(pdf_pages(path), sent);
}

void TestPrintJob::cancelled_printer_job_sends_what_was_drawn()
{
    const QString path = m_dir.filePath(QStringLiteral("cancelled.pdf"));
    PrintJob job(PrintJob::Destination::Printer);
    Receiver receiver(job);
    receiver.on_event = [&] { job.request_cancel(); };
    QPrinter printer(QPrinter::HighResolution);
    pdf_printer(printer, path, QPageLayout::Portrait);
    QVERIFY(!job.generate(m_layout, rows(15), &printer));
    // The first notification arrives before the second row.
    QCOMPARE(job.progress(), 1 * 100 / 17);
    QCOMPARE(pdf_pages(path), 1);
}

void TestPrintJob::largest_portrait_page_stays_in_memory()
{
    // 27 rows on one page: its record is below the page store's memory limit,
    // so a one-page preview needs no temporary file.
    PrintJob job(PrintJob::Destination::Screen);
    job.generate(m_layout, rows(25));
    const QVector<StoredPage> pages = job.stored_pages();
    QCOMPARE(pages.size(), 1);
    const qsizetype bytes = encode_page(pages.first()).size();
    QVERIFY2(bytes < PageStore::memory_limit, qPrintable(QString::number(bytes)));
}

void TestPrintJob::stored_pages_load_back_data()
{
    QTest::addColumn<QPageLayout::Orientation>("orientation");
    QTest::addColumn<int>("pages");
    QTest::newRow("portrait") << QPageLayout::Portrait << 1;
    QTest::newRow("landscape") << QPageLayout::Landscape << 2;
}

void TestPrintJob::stored_pages_load_back()
{
    QFETCH(QPageLayout::Orientation, orientation);
    QFETCH(int, pages);

    PrintJob job(PrintJob::Destination::Screen);
    PrintSettings settings;
    settings.orientation = orientation;
    job.set_printer_settings(settings);
    job.generate(m_layout, rows(25));
    const QVector<StoredPage> stored = job.stored_pages();
    QCOMPARE(stored.size(), pages);
    QCOMPARE(stored.first().orientation, orientation);
    QCOMPARE(stored.first().paper, m_layout.page_size(orientation));

    PrintJob loaded(PrintJob::Destination::Screen);
    loaded.load_pages(stored);
    QVERIFY(loaded.is_finished());
    QVERIFY(loaded.loaded_from_file());
    QCOMPARE(loaded.page_count(), pages);
    QCOMPARE(loaded.available_pages(), pages);
    QCOMPARE(loaded.paper().id(), QPageSize::A4);
    QCOMPARE(loaded.printer_settings().orientation, orientation);
    for (int n = 1; n <= pages; ++n)
        QCOMPARE(loaded.page(n).data(), job.page(n).data());
}

void TestPrintJob::progress_window_layout()
{
    PrintJob job(PrintJob::Destination::Printer);
    PrintProgressWindow window(job);
    QCOMPARE(window.windowTitle(), QStringLiteral("Printing progress"));
    QCOMPARE(window.size(), QSize(149, 97));
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    auto *gauge = window.findChild<QProgressBar *>(QStringLiteral("Gauge"));
    auto *info = window.findChild<QLabel *>(QStringLiteral("Info"));
    auto *cancel = window.findChild<QPushButton *>(QStringLiteral("CancelButton"));
    QVERIFY(gauge && info && cancel);
    QCOMPARE(gauge->geometry(), QRect(16, 18, 114, 16));
    QCOMPARE(gauge->minimum(), 0);
    QCOMPARE(gauge->maximum(), 100);
    QCOMPARE(info->geometry(), QRect(0, 44, 145, 13));
    QCOMPARE(info->alignment(), Qt::AlignCenter);
    QCOMPARE(info->text(), QString());
    QCOMPARE(cancel->geometry(), QRect(36, 60, 75, 25));
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
}

void TestPrintJob::progress_window_shows_multiples_of_five()
{
    PrintJob job(PrintJob::Destination::Printer);
    RecordingProgressWindow window(job);
    window.show();
    QPrinter printer(QPrinter::HighResolution);
    pdf_printer(printer, m_dir.filePath(QStringLiteral("progress.pdf")), QPageLayout::Portrait);
    QVERIFY(job.generate(m_layout, rows(15), &printer));
    QCoreApplication::processEvents();
    // 17 rows: 5, 35, 70 and 100 are the multiples of 5 among the percentages.
    QCOMPARE(window.lines,
             (QStringList{"5%  Completed", "35%  Completed", "70%  Completed", "100%  Completed"}));
    QCOMPARE(window.findChild<QProgressBar *>(QStringLiteral("Gauge"))->value(), 100);
}

void TestPrintJob::progress_window_cancel_button()
{
    PrintJob job(PrintJob::Destination::Printer);
    PrintProgressWindow window(job);
    window.show();
    auto *cancel = window.findChild<QPushButton *>(QStringLiteral("CancelButton"));
    auto *gauge = window.findChild<QProgressBar *>(QStringLiteral("Gauge"));
    connect(gauge, &QProgressBar::valueChanged, this, [&](int value) {
        if (value >= 35)
            QTest::mouseClick(cancel, Qt::LeftButton);
    });
    QPrinter printer(QPrinter::HighResolution);
    const QString path = m_dir.filePath(QStringLiteral("cancel_button.pdf"));
    pdf_printer(printer, path, QPageLayout::Portrait);
    QVERIFY(!job.generate(m_layout, rows(15), &printer));
    QVERIFY(job.progress() < 100);
    QCOMPARE(pdf_pages(path), 1);
    // Closing the window asks for a cancel too, and the window stays.
    PrintJob other(PrintJob::Destination::Printer);
    PrintProgressWindow second(other);
    second.show();
    second.close();
    QVERIFY(other.cancel_requested());
    QVERIFY(second.isVisible());
}

QTEST_MAIN(TestPrintJob)
#include "tst_print_job.moc"
