// Real printing of the calibration report through the local print service, to
// the PDF-writing queue PELORIN_PDF that tools/cups_setup.sh installs, chosen
// by name (the system's default printer plays no part). Each test prints
// through the preview's Print button, waits for the queue to empty, finds the
// PDF the queue wrote into its own folder, reads it back with pdfinfo and
// pdftotext, and deletes it.

#include "report/report_fixtures.h"
#include "test_prompts.h"

#include "report/page_file.h"
#include "report/preview/preview_window.h"
#include "report/print_job.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

#include <pwd.h>
#include <unistd.h>

using namespace pelorin;

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

const QString test_queue = QStringLiteral("PELORIN_PDF");

// The queue's own cups-pdf settings, which tools/cups_setup.sh writes.
QString queue_config_path()
{
    return QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(test_queue);
}

// Where the queue writes: the "Out" folder of its settings, for this user.
QString pdf_folder()
{
    QFile config(queue_config_path());
    if (!config.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QStringList lines = QString::fromUtf8(config.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("Out ")) || trimmed.startsWith("Out\t")) {
            const passwd *user = getpwuid(geteuid());
            QString out = trimmed.mid(4).trimmed();
            out.replace(QStringLiteral("${HOME}"), QDir::homePath());
            out.replace(QStringLiteral("${USER}"),
                        user ? QString::fromLocal8Bit(user->pw_name) : QString());
            return out;
        }
    }
    return QString();
}

// Every PDF in the queue's folder with its modification time.
QHash<QString, QDateTime> pdf_files()
{
    QHash<QString, QDateTime> files;
    const QFileInfoList infos =
        QDir(pdf_folder()).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    for (const QFileInfo &info : infos)
        files.insert(info.absoluteFilePath(), info.lastModified());
    return files;
}

// The PDF that appeared (or changed) since `before`, once its size has settled.
QString wait_for_pdf(const QHash<QString, QDateTime> &before, int timeout_ms)
{
    QElapsedTimer timer;
    timer.start();
    QString found;
    qint64 last_size = -1;
    while (timer.elapsed() < timeout_ms) {
        const QHash<QString, QDateTime> now = pdf_files();
        QString newest;
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            const bool fresh = !before.contains(it.key()) || before.value(it.key()) != it.value();
            if (fresh && (newest.isEmpty() || it.value() > now.value(newest)))
                newest = it.key();
        }
        if (!newest.isEmpty()) {
            const qint64 size = QFileInfo(newest).size();
            if (newest == found && size == last_size && size > 0)
                return found;
            found = newest;
            last_size = size;
        }
        QTest::qWait(300);
    }
    return QString();
}

bool queue_empty_within(int timeout_ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeout_ms) {
        if (run(QStringLiteral("lpstat"), {QStringLiteral("-o")}).trimmed().isEmpty())
            return true;
        QTest::qWait(300);
    }
    return false;
}

// The lines of a page's text, blank lines dropped, runs of blanks made one.
QStringList page_lines(const QString &pdf, int page)
{
    const QString text =
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString simple = line.simplified();
        if (!simple.isEmpty())
            lines << simple;
    }
    return lines;
}

QString pdf_info(const QString &pdf, const QString &key)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpression pattern(QStringLiteral("^%1:\\s*(.*)$").arg(key),
                                     QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pattern.match(info);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

// The document title; cups-pdf keeps the parentheses of the PostScript string.
QString pdf_title(const QString &pdf)
{
    QString title = pdf_info(pdf, QStringLiteral("Title"));
    if (title.startsWith(QLatin1Char('(')) && title.endsWith(QLatin1Char(')')))
        title = title.mid(1, title.size() - 2);
    return title;
}

// The box of the first occurrence of a word on a page, in points.
QRectF word_box(const QString &pdf, int page, const QString &word)
{
    const QString html =
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    const QRegularExpression pattern(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">%1</word>")
            .arg(QRegularExpression::escape(word)));
    const QRegularExpressionMatch match = pattern.match(html);
    if (!match.hasMatch())
        return QRectF();
    return QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                  QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()));
}

// The detail rows as pdftotext prints them: the five texts, blanks dropped.
QStringList row_lines(const Table &table)
{
    QStringList lines;
    for (const Table::Row &row : table.rows()) {
        QStringList cells;
        for (const QString &cell : row) {
            if (!cell.trimmed().isEmpty())
                cells << cell.trimmed();
        }
        lines << cells.join(QLatin1Char(' '));
    }
    return lines;
}

// True when the expected texts occur in `lines` in this order (two may share
// a line); otherwise `missing` names the first one not found.
bool find_in_order(const QStringList &lines, const QStringList &expected, QString *missing)
{
    const QString text = lines.join(QLatin1Char('\n'));
    qsizetype at = 0;
    for (const QString &wanted : expected) {
        const qsizetype found = text.indexOf(wanted, at);
        if (found < 0) {
            *missing = wanted;
            return false;
        }
        at = found + wanted.size();
    }
    return true;
}

// A report prepared as PrintClick prepares it (in the given orientation and
// page range, for the test queue), generated into an open preview.
struct PreviewedReport
{
    explicit PreviewedReport(const testing::RunInput &input,
                             QPageLayout::Orientation orientation = QPageLayout::Portrait,
                             int first_page = 0, int last_page = 0)
    {
        testing::prepare_report(input, table, layout);
        layout.print_settings().printer_name = test_queue;
        layout.print_settings().orientation = orientation;
        layout.print_settings().first_page = first_page;
        layout.print_settings().last_page = last_page;
        job.set_title(layout.title());
        job.set_printer_settings(layout.print_settings());
        window = std::make_unique<PreviewWindow>(job, layout, table, prompts);
        window->open();
        job.generate(layout, report_rows(table));
        QCoreApplication::processEvents();
    }

    Table table;
    ReportLayout layout;
    PrintJob job{PrintJob::Destination::Screen};
    testing::TestPrompts prompts;
    std::unique_ptr<PreviewWindow> window;
};

} // namespace

class TestReportPrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void startup_report_prints_one_a4_page();
    void wide_volumes_print_every_digit_data();
    void wide_volumes_print_every_digit();
    void landscape_report_runs_onto_a_second_page();
    void page_range_sends_only_its_pages();
    void loaded_pages_print_as_stored();
    void printer_setup_stores_the_choice();
    void printer_setup_cancel_changes_nothing();

private:
    // Prints the preview's report with the Print button and returns the PDF,
    // which cleanup() deletes after the test.
    QString print_from_preview(PreviewWindow &window);
    QTemporaryDir m_dir;
    QStringList m_printed;
};

void TestReportPrinting::initTestCase()
{
    testing::install_font_substitutions();
    if (!QPrinterInfo::availablePrinterNames().contains(test_queue))
        QFAIL("The printer PELORIN_PDF is not installed: run tools/cups_setup.sh (CUPS with the "
              "PELORIN_PDF queue)");
    if (pdf_folder().isEmpty())
        QFAIL(qPrintable(QStringLiteral("%1 names no output folder: run tools/cups_setup.sh")
                             .arg(queue_config_path())));
    for (const char *tool : {"pdftotext", "pdfinfo", "lpstat"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QFAIL(
                qPrintable(QStringLiteral("%1 is missing (poppler-utils, cups-client)").arg(tool)));
    }
    QVERIFY(m_dir.isValid());
}

void TestReportPrinting::cleanup()
{
    for (const QString &pdf : std::as_const(m_printed))
        QFile::remove(pdf);
    m_printed.clear();
}

QString TestReportPrinting::print_from_preview(PreviewWindow &window)
{
    if (!queue_empty_within(60000)) {
        qWarning("the print queue did not empty before printing");
        return QString();
    }
    const QHash<QString, QDateTime> before = pdf_files();
    QSignalSpy printed(&window, &PreviewWindow::print_finished);
    auto *print = window.findChild<QToolButton *>(QStringLiteral("Print"));
    if (!print || !print->isEnabled())
        return QString();
    QTest::mouseClick(print, Qt::LeftButton);
    // Queued after the click: nothing is printed yet.
    if (!printed.isEmpty())
        return QString();
    if (!printed.wait(60000))
        return QString();
    if (!queue_empty_within(60000)) {
        qWarning("the print job did not leave the queue within a minute");
        return QString();
    }
    const QString pdf = wait_for_pdf(before, 30000);
    if (!pdf.isEmpty())
        m_printed << pdf;
    return pdf;
}

void TestReportPrinting::startup_report_prints_one_a4_page()
{
    PreviewedReport report(testing::startup_input());
    QCOMPARE(report.table.rows().size(), 17);

    const QString pdf = print_from_preview(*report.window);
    QVERIFY2(!pdf.isEmpty(), "no PDF appeared from the PELORIN_PDF queue");
    QCOMPARE(pdf_info(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    QVERIFY2(pdf_info(pdf, QStringLiteral("Page size")).contains(QStringLiteral("(A4)")),
             qPrintable(pdf_info(pdf, QStringLiteral("Page size"))));
    const QString size = pdf_info(pdf, QStringLiteral("Page size"));
    const QRegularExpressionMatch points =
        QRegularExpression(QStringLiteral("([0-9.]+) x ([0-9.]+)")).match(size);
    QVERIFY(points.hasMatch());
    QVERIFY(points.captured(1).toDouble() < points.captured(2).toDouble()); // portrait
    QCOMPARE(pdf_title(pdf), QStringLiteral("PELORIN"));
    // Upright text: the heading is wider than high.
    const QRectF heading = word_box(pdf, 1, QStringLiteral("CALIBRATION"));
    QVERIFY(heading.width() > heading.height());

    const QStringList lines = page_lines(pdf, 1);
    QStringList expected = {
        "MODEL OSTREL CALIBRATION REPORT",
        "by Tarnvik",
        "Spherical tank",
        "Diameter (d) - 10.000 meters",
        "Maximum Volume = ZERO + SPAN",
        "Length of cylinder (L) - 0.000 meters",
        "Length of cone (L1) - 0.000 meters",
        "Angle of inclination (x) - 0.000 degrees",
        "Height (h1) - 0.000 meters",
        "ZERO - 0.000 m3",
        "Height (h2) - 10.000 meters",
        "SPAN - 523.599 m3",
        "Point Input Output Height Volume",
        "(norm) (norm) (meters) (m3)",
    };
    expected << row_lines(report.table);
    expected << "Input (norm) and Output (norm) are normalized non-linearity correction values";
    QString missing;
    QVERIFY2(find_in_order(lines, expected, &missing),
             qPrintable(QStringLiteral("\"%1\" not found in order in:\n%2")
                            .arg(missing, lines.join(QLatin1Char('\n')))));
    QCOMPARE(row_lines(report.table).at(0), QStringLiteral("0.000 0.000 0.000 0.000"));
    QCOMPARE(row_lines(report.table).at(16), QStringLiteral("1.000 1.000 10.000 523.599"));
}

void TestReportPrinting::wide_volumes_print_every_digit_data()
{
    QTest::addColumn<testing::RunInput>("input");
    testing::RunInput litres = testing::startup_input();
    litres.volume_unit = 1;
    QTest::newRow("liters") << litres;
    testing::RunInput gallons = litres;
    gallons.size_unit = 1;
    gallons.volume_unit = 2;
    QTest::newRow("feet, US gal") << gallons;
}

void TestReportPrinting::wide_volumes_print_every_digit()
{
    // Volumes wider than their 12.7 mm box run across its left edge.
    QFETCH(testing::RunInput, input);
    PreviewedReport report(input);
    QVERIFY(report.table.rows().last().back().size() >= 8);

    const QString pdf = print_from_preview(*report.window);
    QVERIFY2(!pdf.isEmpty(), "no PDF appeared from the PELORIN_PDF queue");
    const QStringList lines = page_lines(pdf, 1);
    QString missing;
    QVERIFY2(find_in_order(lines, row_lines(report.table), &missing),
             qPrintable(QStringLiteral("\"%1\" not found in order in:\n%2")
                            .arg(missing, lines.join(QLatin1Char('\n')))));
}

void TestReportPrinting::landscape_report_runs_onto_a_second_page()
{
    PreviewedReport report(testing::startup_input(25), QPageLayout::Landscape);
    QCOMPARE(report.job.page_count(), 2);

    const QString pdf = print_from_preview(*report.window);
    QVERIFY2(!pdf.isEmpty(), "no PDF appeared from the PELORIN_PDF queue");
    QCOMPARE(pdf_info(pdf, QStringLiteral("Pages")), QStringLiteral("2"));
    QCOMPARE(pdf_title(pdf), QStringLiteral("PELORIN"));
    // Landscape pages: either the sheet is wider than high, or the print
    // service turned the page onto upright A4 paper and the text runs upwards.
    const QString size = pdf_info(pdf, QStringLiteral("Page size"));
    const QRegularExpressionMatch points =
        QRegularExpression(QStringLiteral("([0-9.]+) x ([0-9.]+)")).match(size);
    QVERIFY(points.hasMatch());
    const QRectF heading = word_box(pdf, 2, QStringLiteral("CALIBRATION"));
    QVERIFY(!heading.isEmpty());
    const bool wide_sheet = points.captured(1).toDouble() > points.captured(2).toDouble();
    const bool turned_text = heading.height() > heading.width();
    QVERIFY2(wide_sheet != turned_text, qPrintable(size));

    const QStringList rows = row_lines(report.table);
    const QStringList first = page_lines(pdf, 1);
    const QStringList second = page_lines(pdf, 2);
    QString missing;
    QVERIFY2(find_in_order(first,
                           QStringList{"MODEL OSTREL CALIBRATION REPORT", "Spherical tank",
                                       "Point Input Output Height Volume"} +
                               rows.mid(0, 19),
                           &missing),
             qPrintable(missing));
    QVERIFY(!first.join('\n').contains(QStringLiteral("normalized non-linearity")));
    // Page 2 starts with the page header and the column header, then rows 20 to 27.
    QVERIFY2(second.size() >= 4, qPrintable(second.join('\n')));
    QCOMPARE(second.at(0), QStringLiteral("MODEL OSTREL CALIBRATION REPORT"));
    QVERIFY2(second.at(1).endsWith(QStringLiteral("by Tarnvik")), qPrintable(second.at(1)));
    QCOMPARE(second.at(2), QStringLiteral("Point Input Output Height Volume"));
    QCOMPARE(second.at(3), QStringLiteral("(norm) (norm) (meters) (m3)"));
    QCOMPARE(second.mid(4, 8), rows.mid(19, 8));
    QVERIFY(!second.join('\n').contains(QStringLiteral("Spherical tank")));
    QVERIFY(second.join('\n').contains(QStringLiteral("normalized non-linearity")));
}

void TestReportPrinting::page_range_sends_only_its_pages()
{
    PreviewedReport report(testing::startup_input(25), QPageLayout::Landscape, 2, 2);

    const QString pdf = print_from_preview(*report.window);
    QVERIFY2(!pdf.isEmpty(), "no PDF appeared from the PELORIN_PDF queue");
    QCOMPARE(pdf_info(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    const QStringList lines = page_lines(pdf, 1);
    QVERIFY2(lines.size() > 4, qPrintable(lines.join('\n')));
    QCOMPARE(lines.at(2), QStringLiteral("Point Input Output Height Volume"));
    QCOMPARE(lines.at(4), row_lines(report.table).at(19));
}

void TestReportPrinting::loaded_pages_print_as_stored()
{
    // A preview with a pinned date saves its page ...
    const QString path = m_dir.filePath(QStringLiteral("stored.prp"));
    {
        Table table;
        ReportLayout layout;
        testing::prepare_report(testing::startup_input(4), table, layout);
        PrintJob job(PrintJob::Destination::Screen);
        job.set_title(layout.title());
        job.set_clock([] { return QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)); });
        testing::TestPrompts prompts;
        prompts.save_answer = path;
        PreviewWindow window(job, layout, table, prompts);
        window.open();
        job.generate(layout, report_rows(table));
        QCoreApplication::processEvents();
        window.save_report();
        QVERIFY(QFile::exists(path));
    }
    // ... another preview loads and prints it without generating again.
    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(), table, layout);
    layout.print_settings().printer_name = test_queue;
    PrintJob job(PrintJob::Destination::Screen);
    job.set_title(layout.title());
    testing::TestPrompts prompts;
    prompts.open_answer = path;
    PreviewWindow window(job, layout, table, prompts);
    window.open();
    job.generate(layout, report_rows(table));
    QCoreApplication::processEvents();
    window.load_report();
    QVERIFY(job.loaded_from_file());

    const QString pdf = print_from_preview(window);
    QVERIFY2(!pdf.isEmpty(), "no PDF appeared from the PELORIN_PDF queue");
    QCOMPARE(pdf_info(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    const QString text = page_lines(pdf, 1).join(QLatin1Char('\n'));
    QVERIFY2(text.contains(QStringLiteral("3 Feb 2001 04:05:06")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Point Input Output Height Volume")));
    // Four points: six rows, the last at h2.
    QVERIFY(text.contains(QStringLiteral("4 0.800")));
    QVERIFY(!text.contains(QStringLiteral("\n5 ")));
}

void TestReportPrinting::printer_setup_stores_the_choice()
{
    PreviewedReport report(testing::startup_input(25), QPageLayout::Landscape);

    report.prompts.print_dialog_answer = [&](QPrintDialog &dialog) {
        QPrinter *printer = dialog.printer();
        // Preset with the report's printer, orientation and copies, range 1 to 2.
        [&] {
            QCOMPARE(printer->printerName(), QStringLiteral("PELORIN_PDF"));
            QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Landscape);
            QCOMPARE(printer->copyCount(), 1);
            QCOMPARE(dialog.minPage(), 1);
            QCOMPARE(dialog.maxPage(), 2);
            QCOMPARE(printer->fromPage(), 1);
            QCOMPARE(printer->toPage(), 2);
            QVERIFY(dialog.testOption(QAbstractPrintDialog::PrintPageRange));
            QVERIFY(!dialog.testOption(QAbstractPrintDialog::PrintSelection));
            QVERIFY(!dialog.testOption(QAbstractPrintDialog::PrintToFile));
        }();
        // The user picks portrait, 3 copies and page 2 only.
        printer->setPageOrientation(QPageLayout::Portrait);
        printer->setCopyCount(3);
        printer->setPrintRange(QPrinter::PageRange);
        printer->setFromTo(2, 2);
        return true;
    };
    QTest::mouseClick(report.window->findChild<QToolButton *>(QStringLiteral("PrintSetup")),
                      Qt::LeftButton);
    QCOMPARE(report.prompts.print_dialogs, 1);
    const PrintSettings &settings = report.layout.print_settings();
    QCOMPARE(settings.orientation, QPageLayout::Portrait);
    QCOMPARE(settings.copies, 3);
    QCOMPARE(settings.first_page, 2);
    QCOMPARE(settings.last_page, 2);
    QCOMPARE(settings.printer_name, QStringLiteral("PELORIN_PDF"));

    // All pages again.
    report.prompts.print_dialog_answer = [](QPrintDialog &dialog) {
        dialog.printer()->setPrintRange(QPrinter::AllPages);
        return true;
    };
    report.window->printer_setup();
    QCOMPARE(report.layout.print_settings().first_page, 0);
    QCOMPARE(report.layout.print_settings().last_page, 0);
    // The preview's own pages are unchanged by the setup.
    QCOMPARE(report.job.page_count(), 2);
}

void TestReportPrinting::printer_setup_cancel_changes_nothing()
{
    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(), table, layout);
    PrintJob job(PrintJob::Destination::Screen);
    job.set_title(layout.title());
    testing::TestPrompts prompts;
    PreviewWindow window(job, layout, table, prompts);
    window.open();
    job.generate(layout, report_rows(table));
    QCoreApplication::processEvents();

    prompts.print_dialog_answer = [](QPrintDialog &dialog) {
        dialog.printer()->setPageOrientation(QPageLayout::Landscape);
        dialog.printer()->setCopyCount(5);
        return false;
    };
    window.printer_setup();
    QCOMPARE(prompts.print_dialogs, 1);
    QCOMPARE(layout.print_settings().orientation, QPageLayout::Portrait);
    QCOMPARE(layout.print_settings().copies, 1);
    QVERIFY(layout.print_settings().printer_name.isEmpty());
}

QTEST_MAIN(TestReportPrinting)
#include "tst_report_printing.moc"
