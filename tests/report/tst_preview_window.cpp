// The report preview: window set-up, tool bar, zoom arithmetic and resizing,
// page view, key and button navigation, progress and page notifications, the
// print buttons' states, saving and loading pages, Export PDF (read back with
// pdfinfo and pdftotext), the no-printer box, closing and the preview_report
// entry point.

#include "report_fixtures.h"
#include "test_prompts.h"

#include "report/page_file.h"
#include "report/preview/page_view.h"
#include "report/preview/preview_window.h"
#include "report/preview/report_preview.h"
#include "report/print_job.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace pelorin;

namespace {

QDateTime pinned_moment()
{
    return QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
}

// A report ready for previewing: the table, the layout with its captions and
// a screen job with a pinned clock.
struct Report
{
    explicit Report(int points = 15, QPageLayout::Orientation orientation = QPageLayout::Portrait)
    {
        testing::prepare_report(testing::startup_input(points), table, layout);
        layout.print_settings().orientation = orientation;
        job.set_title(layout.title());
        job.set_printer_settings(layout.print_settings());
        job.set_clock(pinned_moment);
    }

    Table table;
    ReportLayout layout;
    PrintJob job{PrintJob::Destination::Screen};
};

// A preview window over a report, opened and (unless told otherwise) generated.
struct Preview
{
    explicit Preview(Report &report, bool generate = true)
        : window(new PreviewWindow(report.job, report.layout, report.table, prompts))
    {
        window->open();
        if (generate) {
            report.job.generate(report.layout, report_rows(report.table));
            QCoreApplication::processEvents();
        }
    }
    ~Preview() { delete window; }

    QToolButton *button(const char *name) const
    {
        return window->findChild<QToolButton *>(QString::fromLatin1(name));
    }
    QString page_panel() const
    {
        return window->findChild<QLabel *>(QStringLiteral("PagePanel"))->text();
    }
    QString progress_panel() const
    {
        return window->findChild<QLabel *>(QStringLiteral("ProgressPanel"))->text();
    }
    QImage sheet_image() const { return window->page_view()->sheet()->grab().toImage(); }

    testing::TestPrompts prompts;
    QPointer<PreviewWindow> window;
};

// What a poppler tool prints about a PDF, blanks made single.
QString poppler(const QString &tool, QStringList arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

PreviewWindow *open_preview_window()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<PreviewWindow *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

// Records whether Print and Printer setup were enabled at every progress
// notification the window received.
class ButtonWatcher : public QObject
{
public:
    explicit ButtonWatcher(QToolButton *setup, QToolButton *print) : m_setup(setup), m_print(print)
    {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == ProgressEvent::event_type())
            states << (m_setup->isEnabled() || m_print->isEnabled());
        return false;
    }
    QVector<bool> states;

private:
    QToolButton *m_setup;
    QToolButton *m_print;
};

} // namespace

class TestPreviewWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opens_maximized_zoomed_to_width();
    void empty_title_shows_print_preview();
    void blank_sheet_until_the_first_page();
    void tool_bar_controls_data();
    void tool_bar_controls();
    void zoom_arithmetic_data();
    void zoom_arithmetic();
    void zoom_buttons_and_resizing();
    void zoom_outside_range_is_ignored();
    void sheet_outline_shadow_and_centring();
    void one_page_navigation_stays();
    void two_page_navigation_keys_data();
    void two_page_navigation_keys();
    void two_page_navigation_buttons();
    void print_buttons_wait_for_the_finished_job();
    void progress_panel_data();
    void progress_panel();
    void save_and_load_round_trip();
    void load_missing_file_changes_nothing();
    void load_damaged_file_keeps_pages();
    void export_pdf_writes_the_pages_data();
    void export_pdf_writes_the_pages();
    void failed_export_leaves_no_file_data();
    void failed_export_leaves_no_file();
    void no_printer_is_said_data();
    void no_printer_is_said();
    void preview_report_returns_when_closed();
    void closing_during_generation_cancels();
    void no_preview_for_a_closed_table();
    void no_second_report_while_generating();

private:
    QTemporaryDir m_dir;
};

void TestPreviewWindow::initTestCase()
{
    testing::install_font_substitutions();
    QVERIFY(m_dir.isValid());
}

void TestPreviewWindow::opens_maximized_zoomed_to_width()
{
    Report report;
    Preview preview(report, false);
    PreviewWindow &w = *preview.window;
    QCOMPARE(w.windowTitle(), QStringLiteral("PELORIN"));
    QVERIFY(w.isMaximized());
    QCOMPARE(w.normalGeometry().size(), QSize(652, 579));
    QCOMPARE(w.zoom_mode(), PreviewWindow::ZoomMode::Width);
    QVERIFY(preview.button("ZoomToWidth")->isChecked());
    QVERIFY(!preview.button("ZoomFit")->isChecked());
    QVERIFY(!preview.button("Zoom100")->isChecked());
    QVERIFY(!preview.button("PrintSetup")->isEnabled());
    QVERIFY(!preview.button("Print")->isEnabled());
    QVERIFY(!preview.button("ExportPdf")->isEnabled());
    QCOMPARE(preview.progress_panel(), QStringLiteral("0%"));

    report.job.generate(report.layout, report_rows(report.table));
    QCoreApplication::processEvents();
    QCOMPARE(preview.page_panel(), QStringLiteral("Page 1 of 1"));
    QCOMPARE(preview.progress_panel(), QString()); // cleared at 100 %
    QVERIFY(w.page_view()->has_picture());
    QCOMPARE(w.zoom(), width_zoom(w.page_view()->view_size(), w.page_view()->page_size()));
    QCOMPARE(w.page_view()->page_size(), QSize(794, 1123)); // A4 at 96 dpi
    if (qEnvironmentVariableIsSet("PELORIN_DUMP_PAGES"))
        w.grab().save(qEnvironmentVariable("PELORIN_DUMP_PAGES") + "/preview_window.png");
}

void TestPreviewWindow::empty_title_shows_print_preview()
{
    Report report;
    report.job.set_title(QString());
    Preview preview(report, false);
    QCOMPARE(preview.window->windowTitle(), QStringLiteral("Print Preview"));
}

void TestPreviewWindow::blank_sheet_until_the_first_page()
{
    Report report(25, QPageLayout::Landscape);
    Preview preview(report, false);
    PageView *view = preview.window->page_view();
    QVERIFY(!view->has_picture());
    QCOMPARE(view->page_size(), QSize(1123, 794)); // landscape A4 at 96 dpi
    report.job.generate(report.layout, report_rows(report.table));
    QCoreApplication::processEvents();
    QVERIFY(view->has_picture());
    QCOMPARE(preview.window->zoom(), width_zoom(view->view_size(), view->page_size()));
}

void TestPreviewWindow::tool_bar_controls_data()
{
    QTest::addColumn<QString>("tip");
    QTest::addColumn<bool>("checkable");
    QTest::newRow("ZoomFit") << "Zoom to fit" << true;
    QTest::newRow("Zoom100") << "100%" << true;
    QTest::newRow("ZoomToWidth") << "Zoom to width" << true;
    QTest::newRow("FirstPage") << "First page" << false;
    QTest::newRow("PreviousPage") << "Previous page" << false;
    QTest::newRow("ToolButton2") << "Next page" << false;
    QTest::newRow("LastPage") << "Last page" << false;
    QTest::newRow("PrintSetup") << "Printer setup" << false;
    QTest::newRow("Print") << "Print" << false;
    QTest::newRow("SaveReport") << "Save Report" << false;
    QTest::newRow("LoadReport") << "Load Report" << false;
    QTest::newRow("ExportPdf") << "Export PDF" << false;
}

void TestPreviewWindow::tool_bar_controls()
{
    QFETCH(QString, tip);
    QFETCH(bool, checkable);
    Report report;
    Preview preview(report, false);
    QToolButton *button = preview.button(QTest::currentDataTag());
    QVERIFY(button);
    QCOMPARE(button->toolTip(), tip);
    QCOMPARE(button->isCheckable(), checkable);
    QVERIFY(button->autoRaise());
    QVERIFY(!button->icon().isNull());
    QCOMPARE(button->iconSize(), QSize(16, 16));

    // The controls stand in the tool bar in this order, Close last.
    const QStringList order = {"ZoomFit",      "Zoom100",     "ZoomToWidth", "FirstPage",
                               "PreviousPage", "ToolButton2", "LastPage",    "PrintSetup",
                               "Print",        "SaveReport",  "LoadReport",  "ExportPdf",
                               "ExitButton"};
    int previous_x = -1;
    for (const QString &name : order) {
        QWidget *control = preview.window->findChild<QWidget *>(name);
        QVERIFY2(control && control->isVisible(), qPrintable(name));
        const int x = control->mapTo(preview.window, QPoint(0, 0)).x();
        QVERIFY2(x > previous_x, qPrintable(name));
        previous_x = x;
    }
    QToolButton *exit = preview.button("ExitButton");
    QCOMPARE(exit->text(), QStringLiteral("&Close"));
    QCOMPARE(exit->size(), QSize(40, 22));
}

void TestPreviewWindow::zoom_arithmetic_data()
{
    QTest::addColumn<QSize>("view");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<int>("fit");
    QTest::addColumn<int>("width");

    QTest::newRow("A4 in a 1000 x 700 view") << QSize(1000, 700) << QSize(794, 1123) << 59 << 113;
    QTest::newRow("A4 landscape in 1000 x 700") << QSize(1000, 700) << QSize(1123, 794) << 84 << 80;
    // 90 x 5 / 100 = 4.5 -> 4 and 90 x 15 / 100 = 13.5 -> 14: ties go to even.
    QTest::newRow("width tie rounds down to even") << QSize(5, 1000) << QSize(100, 100) << 5 << 4;
    QTest::newRow("width tie rounds up to even") << QSize(15, 1000) << QSize(100, 100) << 14 << 14;
    // 95 x 5 / 190 = 2.5 -> 2 and 95 x 7 / 190 = 3.5 -> 4.
    QTest::newRow("fit tie rounds down to even") << QSize(1000, 5) << QSize(190, 190) << 2 << 474;
    QTest::newRow("fit tie rounds up to even") << QSize(1000, 7) << QSize(190, 190) << 4 << 474;
}

void TestPreviewWindow::zoom_arithmetic()
{
    QFETCH(QSize, view);
    QFETCH(QSize, page);
    QFETCH(int, fit);
    QFETCH(int, width);
    QCOMPARE(fit_zoom(view, page), fit);
    QCOMPARE(width_zoom(view, page), width);
}

void TestPreviewWindow::zoom_buttons_and_resizing()
{
    Report report;
    Preview preview(report);
    PreviewWindow &w = *preview.window;
    PageView *view = w.page_view();
    w.showNormal();
    w.resize(700, 600);
    QCoreApplication::processEvents();
    QCOMPARE(w.zoom(), width_zoom(view->view_size(), view->page_size()));

    // 100 %: exclusive, and a resize keeps it.
    QTest::mouseClick(preview.button("Zoom100"), Qt::LeftButton);
    QCOMPARE(w.zoom(), 100);
    QVERIFY(preview.button("Zoom100")->isChecked());
    QVERIFY(!preview.button("ZoomToWidth")->isChecked());
    QCOMPARE(view->sheet()->size(), QSize(794 + 4, 1123 + 4));
    w.resize(900, 650);
    QCoreApplication::processEvents();
    QCOMPARE(w.zoom(), 100);

    // Zoom to fit follows the window.
    QTest::mouseClick(preview.button("ZoomFit"), Qt::LeftButton);
    QVERIFY(preview.button("ZoomFit")->isChecked());
    QVERIFY(!preview.button("Zoom100")->isChecked());
    const int fit_before = w.zoom();
    QCOMPARE(fit_before, fit_zoom(view->view_size(), view->page_size()));
    w.resize(600, 900);
    QCoreApplication::processEvents();
    QCOMPARE(w.zoom(), fit_zoom(view->view_size(), view->page_size()));
    QVERIFY(w.zoom() != fit_before);

    // Zoom to width follows the window; every zoom scrolls to the top-left.
    w.resize(900, 600);
    QCoreApplication::processEvents();
    QTest::mouseClick(preview.button("ZoomToWidth"), Qt::LeftButton);
    const int width_before = w.zoom();
    QCOMPARE(width_before, width_zoom(view->view_size(), view->page_size()));
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    QVERIFY(view->verticalScrollBar()->value() > 0);
    w.resize(1000, 600);
    QCoreApplication::processEvents();
    QCOMPARE(w.zoom(), width_zoom(view->view_size(), view->page_size()));
    QVERIFY(w.zoom() > width_before);
    QCOMPARE(view->verticalScrollBar()->value(), 0);
    QCOMPARE(view->sheet()->width(), int(std::nearbyint(794 * w.zoom() / 100.0)) + 4);
}

void TestPreviewWindow::zoom_outside_range_is_ignored()
{
    Report report;
    Preview preview(report);
    PageView *view = preview.window->page_view();
    view->set_zoom(150);
    view->set_zoom(1);
    QCOMPARE(view->zoom(), 150);
    view->set_zoom(2001);
    QCOMPARE(view->zoom(), 150);
    view->set_zoom(2);
    QCOMPARE(view->zoom(), 2);
    view->set_zoom(2000);
    QCOMPARE(view->zoom(), 2000);
}

void TestPreviewWindow::sheet_outline_shadow_and_centring()
{
    Report report;
    Preview preview(report);
    PreviewWindow &w = *preview.window;
    PageView *view = w.page_view();
    w.showNormal();
    w.resize(900, 700);
    QTest::mouseClick(preview.button("ZoomFit"), Qt::LeftButton);
    QCoreApplication::processEvents();

    const QSize sheet = view->sheet()->size();
    const int paper_w = sheet.width() - 4;
    const int paper_h = sheet.height() - 4;
    // Narrower than the view: centred horizontally.
    const QSize room = view->viewport()->size();
    QVERIFY(sheet.width() < room.width());
    QVERIFY(qAbs(view->sheet()->x() - (room.width() - sheet.width()) / 2) <= 1);

    const QImage image = preview.sheet_image();
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    QCOMPARE(image.pixel(0, 0), black);                     // outline
    QCOMPARE(image.pixel(paper_w + 1, paper_h + 1), black); // outline
    QCOMPARE(image.pixel(paper_w + 3, paper_h + 3), black); // shadow corner
    QCOMPARE(image.pixel(paper_w + 3, paper_h / 2), black); // right shadow
    QCOMPARE(image.pixel(paper_w / 2, paper_h + 3), black); // bottom shadow
    QCOMPARE(image.pixel(1, 1), white);                     // paper corner
    QVERIFY(image.pixel(paper_w + 3, 0) != black);          // shadow starts lower
    QVERIFY(image.pixel(0, paper_h + 3) != black);          // and further right

    // At 100 % the sheet is wider than the view and starts at its left edge.
    QTest::mouseClick(preview.button("Zoom100"), Qt::LeftButton);
    w.resize(500, 400);
    QCoreApplication::processEvents();
    QCOMPARE(view->sheet()->pos(), QPoint(0, 0));
    view->horizontalScrollBar()->setValue(200);
    QCOMPARE(view->sheet()->x(), -200);
}

void TestPreviewWindow::one_page_navigation_stays()
{
    Report report;
    Preview preview(report);
    PreviewWindow &w = *preview.window;
    for (const char *name : {"FirstPage", "PreviousPage", "ToolButton2", "LastPage"}) {
        QTest::mouseClick(preview.button(name), Qt::LeftButton);
        QCOMPARE(w.page_shown(), 1);
    }
    for (const int key : {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End}) {
        QTest::keyClick(w.page_view(), Qt::Key(key));
        QCOMPARE(w.page_shown(), 1);
    }
    QCOMPARE(preview.page_panel(), QStringLiteral("Page 1 of 1"));
}

void TestPreviewWindow::two_page_navigation_keys_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("page");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    QTest::newRow("Page Down") << 1 << int(Qt::Key_PageDown) << none << 2;
    QTest::newRow("Page Down on the last page") << 2 << int(Qt::Key_PageDown) << none << 2;
    QTest::newRow("Page Up") << 2 << int(Qt::Key_PageUp) << none << 1;
    QTest::newRow("Page Up on the first page") << 1 << int(Qt::Key_PageUp) << none << 1;
    QTest::newRow("Ctrl+Page Down: last page") << 1 << int(Qt::Key_PageDown) << ctrl << 2;
    QTest::newRow("Ctrl+Page Up: first page") << 2 << int(Qt::Key_PageUp) << ctrl << 1;
    QTest::newRow("Shift+Ctrl+Page Up is not Ctrl alone")
        << 2 << int(Qt::Key_PageUp) << (ctrl | Qt::ShiftModifier) << 1;
    QTest::newRow("End") << 1 << int(Qt::Key_End) << none << 2;
    QTest::newRow("Home") << 2 << int(Qt::Key_Home) << none << 1;
}

void TestPreviewWindow::two_page_navigation_keys()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, page);

    Report report(25, QPageLayout::Landscape);
    Preview preview(report);
    PreviewWindow &w = *preview.window;
    QCOMPARE(report.job.page_count(), 2);
    w.go_to_page(start);
    QCOMPARE(w.page_shown(), start);

    // The keys go to the page view, which would scroll with them: the window
    // takes them first, so the view does not scroll.
    PageView *view = w.page_view();
    QTest::keyClick(view, Qt::Key(key), modifiers);
    QCOMPARE(w.page_shown(), page);
    QCOMPARE(view->verticalScrollBar()->value(), 0);
    QCOMPARE(preview.page_panel(), QStringLiteral("Page %1 of 2").arg(page));
    QVERIFY(view->has_picture());
}

void TestPreviewWindow::two_page_navigation_buttons()
{
    Report report(25, QPageLayout::Landscape);
    Preview preview(report);
    PreviewWindow &w = *preview.window;
    QCOMPARE(preview.page_panel(), QStringLiteral("Page 1 of 2"));
    const QImage first_page = preview.sheet_image();

    const struct
    {
        const char *button;
        int page;
    } steps[] = {{"ToolButton2", 2}, {"ToolButton2", 2}, {"PreviousPage", 1}, {"PreviousPage", 1},
                 {"LastPage", 2},    {"FirstPage", 1},   {"LastPage", 2}};
    for (const auto &step : steps) {
        w.page_view()->verticalScrollBar()->setValue(50);
        QTest::mouseClick(preview.button(step.button), Qt::LeftButton);
        QCOMPARE(w.page_shown(), step.page);
        QCOMPARE(preview.page_panel(), QStringLiteral("Page %1 of 2").arg(step.page));
    }
    // The second page shows another picture than the first; a page change
    // scrolls to the top-left corner.
    QVERIFY(preview.sheet_image() != first_page);
    w.page_view()->verticalScrollBar()->setValue(50);
    QTest::mouseClick(preview.button("FirstPage"), Qt::LeftButton);
    QCOMPARE(w.page_view()->verticalScrollBar()->value(), 0);
    QCOMPARE(preview.sheet_image(), first_page);
}

void TestPreviewWindow::print_buttons_wait_for_the_finished_job()
{
    Report report;
    Preview preview(report, false);
    ButtonWatcher watcher(preview.button("PrintSetup"), preview.button("Print"));
    preview.window->installEventFilter(&watcher);
    QCOMPARE(report.job.status(), PrintJob::Status::Ready);
    report.job.generate(report.layout, report_rows(report.table));
    QCoreApplication::processEvents();
    // Every progress notification but the last was handled during generation.
    QCOMPARE(watcher.states.size(), 17);
    QCOMPARE(watcher.states.count(true), 0);
    QVERIFY(preview.button("PrintSetup")->isEnabled());
    QVERIFY(preview.button("Print")->isEnabled());
    QVERIFY(preview.button("ExportPdf")->isEnabled());
}

void TestPreviewWindow::progress_panel_data()
{
    QTest::addColumn<QVector<int>>("percentages");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("steps of at least 5") << QVector<int>{5, 7, 10, 14, 15, 99}
                                         << QStringList{"5%", "5%", "10%", "10%", "15%", "99%"};
    QTest::newRow("0 and 100 clear the panel")
        << QVector<int>{0, 3, 6, 100} << QStringList{"", "", "6%", ""};
    QTest::newRow("17 rows") << QVector<int>{5, 11, 17, 23, 29}
                             << QStringList{"5%", "11%", "17%", "23%", "29%"};
}

void TestPreviewWindow::progress_panel()
{
    QFETCH(QVector<int>, percentages);
    QFETCH(QStringList, shown);
    Report report;
    Preview preview(report, false);
    for (int i = 0; i < percentages.size(); ++i) {
        ProgressEvent event(percentages.at(i));
        QCoreApplication::sendEvent(preview.window, &event);
        QCOMPARE(preview.progress_panel(), shown.at(i));
    }
}

void TestPreviewWindow::save_and_load_round_trip()
{
    const QString path = m_dir.filePath(QStringLiteral("round_trip.prp"));
    QImage saved_sheet;
    {
        Report report;
        Preview preview(report);
        preview.prompts.save_answer = path;
        saved_sheet = preview.sheet_image();
        QTest::mouseClick(preview.button("SaveReport"), Qt::LeftButton);
        QCOMPARE(preview.prompts.titles, QStringList{"Save report"});
        QCOMPARE(preview.prompts.filters, QStringList{QString::fromLatin1(page_file_filter)});
        QCOMPARE(preview.prompts.suffixes, QStringList{QString::fromLatin1(page_file_suffix)});
        QVERIFY(preview.prompts.messages.isEmpty());
        QVERIFY(QFile::exists(path));
    }

    // Another report (3 points, landscape, two pages) loads the saved page.
    Report other(25, QPageLayout::Landscape);
    Preview preview(other);
    QCOMPARE(preview.page_panel(), QStringLiteral("Page 1 of 2"));
    preview.window->go_to_page(2);
    preview.prompts.open_answer = path;
    QTest::mouseClick(preview.button("LoadReport"), Qt::LeftButton);
    QCOMPARE(preview.prompts.titles, QStringList{"Load report"});
    QVERIFY(preview.prompts.messages.isEmpty());

    QVERIFY(other.job.loaded_from_file());
    QVERIFY(other.job.is_finished());
    QCOMPARE(other.job.page_count(), 1);
    QCOMPARE(other.job.printer_settings().orientation, QPageLayout::Portrait);
    QCOMPARE(other.job.paper().id(), QPageSize::A4);
    QCOMPARE(preview.window->page_shown(), 1);
    QCOMPARE(preview.page_panel(), QStringLiteral("Page 1 of 1"));
    QVERIFY(!preview.button("PrintSetup")->isEnabled());
    QVERIFY(preview.button("Print")->isEnabled());
    QVERIFY(preview.button("ExportPdf")->isEnabled());
    // Same window size and zoom mode: the loaded page looks exactly as saved.
    QCOMPARE(preview.sheet_image(), saved_sheet);
}

void TestPreviewWindow::load_missing_file_changes_nothing()
{
    Report report(25, QPageLayout::Landscape);
    Preview preview(report);
    preview.window->go_to_page(2);
    preview.prompts.open_answer = m_dir.filePath(QStringLiteral("nowhere.prp"));
    QTest::mouseClick(preview.button("LoadReport"), Qt::LeftButton);
    QCOMPARE(preview.prompts.messages.size(), 1);
    QCOMPARE(preview.prompts.messages.at(0).text, QStringLiteral("File does not exist"));
    // Something that is there but is no file is named for what it is.
    preview.prompts.open_answer = m_dir.path();
    QTest::mouseClick(preview.button("LoadReport"), Qt::LeftButton);
    QCOMPARE(preview.prompts.messages.size(), 2);
    QVERIFY2(preview.prompts.messages.at(1).text.endsWith(QStringLiteral("is not a regular file")),
             qPrintable(preview.prompts.messages.at(1).text));
    QVERIFY(!report.job.loaded_from_file());
    QCOMPARE(report.job.page_count(), 2);
    QCOMPARE(preview.window->page_shown(), 2);
    QVERIFY(preview.button("PrintSetup")->isEnabled());

    // Cancelling the dialog does nothing at all.
    preview.prompts.open_answer.clear();
    QTest::mouseClick(preview.button("LoadReport"), Qt::LeftButton);
    QCOMPARE(preview.prompts.messages.size(), 2);
}

void TestPreviewWindow::load_damaged_file_keeps_pages()
{
    const QString path = m_dir.filePath(QStringLiteral("damaged.prp"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x89PRP\r\n\x1a\n this is not what a page file holds");
    }
    Report report;
    Preview preview(report);
    const QImage before = preview.sheet_image();
    preview.prompts.open_answer = path;
    QTest::mouseClick(preview.button("LoadReport"), Qt::LeftButton);
    QCOMPARE(preview.prompts.messages.size(), 1);
    const QString text = preview.prompts.messages.at(0).text;
    QVERIFY2(text.contains(QStringLiteral("damaged.prp")), qPrintable(text));
    QCOMPARE(preview.prompts.messages.at(0).icon, Prompts::Icon::Error);
    QVERIFY(!report.job.loaded_from_file());
    QCOMPARE(report.job.page_count(), 1);
    QVERIFY(preview.button("PrintSetup")->isEnabled());
    QCOMPARE(preview.sheet_image(), before);
}

void TestPreviewWindow::export_pdf_writes_the_pages_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("landscape_loaded"); // pages saved, then loaded into another preview
    QTest::addColumn<QString>("sheet");         // pdfinfo's page size, points
    QTest::newRow("start-up report") << 15 << false << "595 x 842";
    QTest::newRow("loaded landscape pages") << 25 << true << "842 x 595";
}

void TestPreviewWindow::export_pdf_writes_the_pages()
{
    QFETCH(int, points);
    QFETCH(bool, landscape_loaded);
    QFETCH(QString, sheet);
    Report source(points, landscape_loaded ? QPageLayout::Landscape : QPageLayout::Portrait);
    Report shown;
    Preview preview(landscape_loaded ? shown : source);
    if (landscape_loaded) {
        source.job.generate(source.layout, report_rows(source.table));
        preview.prompts.open_answer = m_dir.filePath(QStringLiteral("export.prp"));
        save_page_file(preview.prompts.open_answer, source.job.stored_pages());
        QTest::mouseClick(preview.button("LoadReport"), Qt::LeftButton);
        QVERIFY(shown.job.loaded_from_file());
    }
    const int pages = source.job.page_count();
    const QString pdf = preview.prompts.save_answer = m_dir.filePath(QStringLiteral("export.pdf"));
    QTest::mouseClick(preview.button("ExportPdf"), Qt::LeftButton);
    QVERIFY(preview.prompts.messages.isEmpty());
    QCOMPARE(preview.prompts.titles.last(), QStringLiteral("Export PDF"));
    QCOMPARE(preview.prompts.filters.last(), QStringLiteral("PDF files (*.pdf)"));
    QCOMPARE(preview.prompts.suffixes.last(), QStringLiteral("pdf"));

    const QString info = poppler(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "9", pdf});
    QVERIFY2(info.startsWith(QStringLiteral("Title: PELORIN ")), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("Pages: %1 ").arg(pages)), qPrintable(info));
    QCOMPARE(info.count(QStringLiteral("size: %1 pts (A4)").arg(sheet)), pages);
    // The heading on every page; the rows in order after the title band.
    const QString text = poppler(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    QCOMPARE(text.count(QStringLiteral("MODEL OSTREL CALIBRATION REPORT")), pages);
    qsizetype at = text.indexOf(QStringLiteral("Spherical tank"));
    for (const Table::Row &row : source.table.rows()) {
        at = text.indexOf(QStringList(row.begin(), row.end()).join(' ').simplified(), at);
        QVERIFY2(at > 0, qPrintable(row.front()));
    }
}

void TestPreviewWindow::failed_export_leaves_no_file_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "missing/report.pdf"
                                    << "No such file or directory";
    QTest::newRow("path of a folder") << "folder"
                                      << "directory";
}

void TestPreviewWindow::failed_export_leaves_no_file()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    Report report;
    Preview preview(report);
    preview.prompts.save_answer = dir.filePath(name);
    QTest::mouseClick(preview.button("ExportPdf"), Qt::LeftButton);
    QCOMPARE(preview.prompts.messages.size(), 1);
    const QString text = preview.prompts.messages.at(0).text;
    QVERIFY2(text.contains("'" + dir.filePath(name) + "': ") && text.contains(reason),
             qPrintable(text));
    QCOMPARE(preview.prompts.messages.at(0).icon, Prompts::Icon::Error);
    // Nothing written, not even a temporary file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), {"folder"});
    QVERIFY(QDir(dir.filePath(QStringLiteral("folder"))).isEmpty());
}

void TestPreviewWindow::no_printer_is_said_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Print") << "Print";
    QTest::newRow("Printer setup") << "PrintSetup";
}

void TestPreviewWindow::no_printer_is_said()
{
    QFETCH(QString, button);
    Report report;
    Preview preview(report);
    preview.window->set_printer_check([] { return false; });
    QTest::mouseClick(preview.button(qPrintable(button)), Qt::LeftButton);
    QCoreApplication::processEvents(); // Print runs after its click
    QCOMPARE(preview.prompts.print_dialogs, 0);
    QCOMPARE(preview.prompts.messages.size(), 1);
    const testing::TestPrompts::Message &box = preview.prompts.messages.at(0);
    QCOMPARE(box.caption, QStringLiteral("PELORIN"));
    QCOMPARE(
        box.text,
        QStringLiteral("No printer is installed. Use Export PDF to keep the report as a file."));
    QCOMPARE(box.icon, Prompts::Icon::Information);
}

void TestPreviewWindow::preview_report_returns_when_closed()
{
    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(), table, layout);
    testing::TestPrompts prompts;

    bool seen_finished = false;
    QString page_position;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        PreviewWindow *window = open_preview_window();
        if (!window || !window->job() || !window->job()->is_finished())
            return;
        poll.stop();
        seen_finished = true;
        QCoreApplication::processEvents();
        page_position = window->findChild<QLabel *>(QStringLiteral("PagePanel"))->text();
        QTest::keyClick(window->page_view(), Qt::Key_Escape);
    });
    poll.start();
    QTimer::singleShot(20000, [] { QFAIL("the preview did not close"); });
    preview_report(layout, table, prompts);
    QVERIFY(seen_finished);
    QCOMPARE(page_position, QStringLiteral("Page 1 of 1"));
    QVERIFY(!layout.is_generating());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!open_preview_window());
}

void TestPreviewWindow::closing_during_generation_cancels()
{
    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(25), table, layout);
    testing::TestPrompts prompts;

    int rows_at_close = -1;
    QTimer poll; // fires whenever the generation lets events run
    poll.setInterval(0);
    connect(&poll, &QTimer::timeout, this, [&] {
        PreviewWindow *window = open_preview_window();
        if (!window || !window->job() || window->job()->status() != PrintJob::Status::Generating)
            return;
        poll.stop();
        rows_at_close = window->job()->progress();
        QTest::mouseClick(window->findChild<QToolButton *>(QStringLiteral("ExitButton")),
                          Qt::LeftButton);
    });
    poll.start();
    QTimer::singleShot(20000, [] { QFAIL("the preview did not close"); });
    preview_report(layout, table, prompts);
    QVERIFY(rows_at_close >= 0 && rows_at_close < 100);
    QVERIFY(!layout.is_generating());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!open_preview_window());
}

void TestPreviewWindow::no_preview_for_a_closed_table()
{
    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(), table, layout);
    table.close();
    testing::TestPrompts prompts;
    preview_report(layout, table, prompts);
    QVERIFY(!open_preview_window());
    QVERIFY(prompts.messages.isEmpty());
}

void TestPreviewWindow::no_second_report_while_generating()
{
    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(), table, layout);
    testing::TestPrompts prompts;
    layout.set_generating(true);
    preview_report(layout, table, prompts);
    QVERIFY(!open_preview_window());
    layout.set_generating(false);
}

QTEST_MAIN(TestPreviewWindow)
#include "tst_preview_window.moc"
