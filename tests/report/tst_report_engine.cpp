// The banded layout pass and the page painting: pagination in both
// orientations, repeated headers, band-aligned placement, the date and time
// element, cancelling between rows, an empty report, frame-line thickness and
// stored pages.

#include "report_fixtures.h"

#include "report/print_job.h"

#include <QBuffer>
#include <QTest>

using namespace pelorin;

namespace {

// The bands of a page in short form: H page header, T title, C column header,
// D<n> n detail bands, S summary.
QString band_sequence(const ReportPage &page)
{
    QStringList parts;
    int details = 0;
    const auto flush = [&]() {
        if (details > 0)
            parts << QStringLiteral("D%1").arg(details);
        details = 0;
    };
    for (const PlacedBand &band : page.bands) {
        if (band.kind == BandKind::Detail) {
            ++details;
            continue;
        }
        flush();
        switch (band.kind) {
        case BandKind::PageHeader:
            parts << QStringLiteral("H");
            break;
        case BandKind::Title:
            parts << QStringLiteral("T");
            break;
        case BandKind::ColumnHeader:
            parts << QStringLiteral("C");
            break;
        case BandKind::Summary:
            parts << QStringLiteral("S");
            break;
        case BandKind::Detail:
            break;
        }
    }
    flush();
    return parts.join(QLatin1Char(' '));
}

const PlacedBand *find_band(const ReportPage &page, BandKind kind)
{
    for (const PlacedBand &band : page.bands) {
        if (band.kind == kind)
            return &band;
    }
    return nullptr;
}

QDateTime fixed_moment()
{
    return QDateTime(QDate(2026, 3, 14), QTime(15, 9, 26));
}

// Length of the run of dark pixels in column x that contains row y (0 if the
// pixel is light).
int dark_run(const QImage &image, int x, int y)
{
    const auto dark = [&](int row) {
        return row >= 0 && row < image.height() && qGray(image.pixel(x, row)) < 128;
    };
    if (!dark(y))
        return 0;
    int top = y;
    while (dark(top - 1))
        --top;
    int bottom = y;
    while (dark(bottom + 1))
        ++bottom;
    return bottom - top + 1;
}

} // namespace

class TestReportEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pagination_data();
    void pagination();
    void second_page_repeats_headers();
    void detail_rows_show_table_rows_in_order();
    void band_aligned_elements_follow_the_band_data();
    void band_aligned_elements_follow_the_band();
    void date_time_text_data();
    void date_time_text();
    void date_time_is_taken_when_the_band_is_produced();
    void cancel_stops_before_the_next_row();
    void closed_table_gives_no_page();
    void frame_lines_in_device_pixels_data();
    void frame_lines_in_device_pixels();
    void stored_page_survives_its_bytes();
    void wide_values_run_across_the_left_edge();

private:
    QVector<Table::Row> rows(int points);
    ReportLayout m_layout;
};

void TestReportEngine::initTestCase()
{
    testing::install_font_substitutions();
    Table table;
    testing::prepare_report(testing::startup_input(), table, m_layout);
    if (qEnvironmentVariableIsSet("PELORIN_DUMP_PAGES")) {
        // Looking at the report: PELORIN_DUMP_PAGES=<dir> writes PNGs at 150 dpi.
        const QString dir = qEnvironmentVariable("PELORIN_DUMP_PAGES");
        for (const auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
            for (const ReportPage &page : layout_report(m_layout, rows(25), orientation)) {
                testing::render_page(page, 150).save(
                    QStringLiteral("%1/report_%2_page%3.png")
                        .arg(dir, orientation == QPageLayout::Portrait ? "portrait" : "landscape")
                        .arg(page.number));
            }
        }
    }
}

QVector<Table::Row> TestReportEngine::rows(int points)
{
    Table table;
    ReportLayout scratch;
    testing::prepare_report(testing::startup_input(points), table, scratch);
    return report_rows(table);
}

void TestReportEngine::pagination_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<QPageLayout::Orientation>("orientation");
    QTest::addColumn<QStringList>("pages");

    QTest::newRow("1 point portrait") << 1 << QPageLayout::Portrait << QStringList{"H T C D3 S"};
    QTest::newRow("15 points portrait")
        << 15 << QPageLayout::Portrait << QStringList{"H T C D17 S"};
    QTest::newRow("25 points portrait (27 rows) still one page")
        << 25 << QPageLayout::Portrait << QStringList{"H T C D27 S"};
    QTest::newRow("12 points landscape (14 rows) one page")
        << 12 << QPageLayout::Landscape << QStringList{"H T C D14 S"};
    QTest::newRow("13 points landscape (15 rows) summary on page 2")
        << 13 << QPageLayout::Landscape << QStringList{"H T C D15", "H C S"};
    QTest::newRow("25 points landscape (27 rows)")
        << 25 << QPageLayout::Landscape << QStringList{"H T C D19", "H C D8 S"};
}

void TestReportEngine::pagination()
{
    QFETCH(int, points);
    QFETCH(QPageLayout::Orientation, orientation);
    QFETCH(QStringList, pages);

    const QVector<ReportPage> result = layout_report(m_layout, rows(points), orientation);
    QStringList sequences;
    for (const ReportPage &page : result)
        sequences << band_sequence(page);
    QCOMPARE(sequences, pages);

    const QSizeF paper = m_layout.page_size(orientation);
    for (const ReportPage &page : result) {
        QCOMPARE(page.paper, paper);
        QCOMPARE(page.number, int(&page - result.data()) + 1);
        // Bands follow each other from the top margin, none past the bottom margin.
        double y = m_layout.top_margin();
        for (const PlacedBand &band : page.bands) {
            QCOMPARE(band.rect.top(), y);
            y = band.rect.bottom();
        }
        QVERIFY2(y <= paper.height() - m_layout.bottom_margin(), qPrintable(QString::number(y)));
    }
}

void TestReportEngine::second_page_repeats_headers()
{
    const QVector<ReportPage> pages = layout_report(m_layout, rows(25), QPageLayout::Landscape);
    QCOMPARE(pages.size(), 2);
    const ReportPage &first = pages.at(0);
    const ReportPage &second = pages.at(1);

    QCOMPARE(second.bands.at(0).kind, BandKind::PageHeader);
    QCOMPARE(second.bands.at(0).rect.top(), 127.0);
    QCOMPARE(second.bands.at(1).kind, BandKind::ColumnHeader);
    QCOMPARE(second.bands.at(1).rect.top(), 127.0 + 182.56);
    QCOMPARE(second.bands.at(2).kind, BandKind::Detail);
    QCOMPARE(second.bands.at(2).rect.top(), 127.0 + 182.56 + 132.29);
    QCOMPARE(second.bands.at(2).row, 19);

    // The repeated bands carry the same elements at the same places; the
    // column header only moves up by the height of the title band.
    const PlacedBand *header1 = find_band(first, BandKind::PageHeader);
    const PlacedBand *header2 = find_band(second, BandKind::PageHeader);
    for (const char *name : {"QRLabel1", "QRLabel7"}) {
        QCOMPARE(header2->element(name)->box, header1->element(name)->box);
        QCOMPARE(header2->element(name)->text, header1->element(name)->text);
    }
    const PlacedBand *columns1 = find_band(first, BandKind::ColumnHeader);
    const PlacedBand *columns2 = find_band(second, BandKind::ColumnHeader);
    QCOMPARE(columns2->elements.size(), 5);
    for (int i = 0; i < columns1->elements.size(); ++i) {
        const PlacedElement &e1 = columns1->elements.at(i);
        const PlacedElement &e2 = columns2->elements.at(i);
        QCOMPARE(e2.name, e1.name);
        QCOMPARE(e2.text, e1.text);
        QCOMPARE(e2.box.translated(0, 523.88), e1.box);
    }
    QCOMPARE(columns2->element("QRLbHeight")->text, QStringLiteral("Height (meters)"));
    QCOMPARE(columns2->element("QRLbVolume")->box.topLeft(),
             QPointF(127 + 1397.00, 309.56 + 21.17));
}

void TestReportEngine::detail_rows_show_table_rows_in_order()
{
    const QVector<ReportPage> pages = layout_report(m_layout, rows(15), QPageLayout::Portrait);
    QVector<QStringList> cells;
    for (const PlacedBand &band : pages.at(0).bands) {
        if (band.kind != BandKind::Detail)
            continue;
        QCOMPARE(band.row, int(cells.size()));
        QStringList texts;
        for (const char *name : {"QRDBText5", "QRDBText1", "QRDBText2", "QRDBText3", "QRDBText4"})
            texts << band.element(name)->text;
        cells.append(texts);
    }
    QCOMPARE(cells.size(), 17);
    QCOMPARE(cells.at(0), (QStringList{"           ", "0.000", "0.000", "0.000", "0.000"}));
    QCOMPARE(cells.at(1), (QStringList{"1", "0.063", "0.011", "0.625", "5.880"}));
    QCOMPARE(cells.at(4), (QStringList{"4", "0.250", "0.156", "2.500", "81.812"}));
    QCOMPARE(cells.at(8), (QStringList{"8", "0.500", "0.500", "5.000", "261.799"}));
    QCOMPARE(cells.at(16), (QStringList{"           ", "1.000", "1.000", "10.000", "523.599"}));

    // The value boxes stay where the layout puts them, right-aligned.
    const PlacedBand &first_row = pages.at(0).bands.at(3);
    const PlacedElement *volume = first_row.element("QRDBText4");
    QCOMPARE(volume->box, QRectF(127 + 1397.00, first_row.rect.top(), 127.00, 47.63));
    QCOMPARE(volume->alignment, Qt::Alignment(Qt::AlignRight));
    QVERIFY(volume->word_wrap);
}

void TestReportEngine::band_aligned_elements_follow_the_band_data()
{
    QTest::addColumn<QPageLayout::Orientation>("orientation");
    QTest::addColumn<double>("band_width");
    QTest::newRow("portrait") << QPageLayout::Portrait << 1846.79;
    QTest::newRow("landscape") << QPageLayout::Landscape << 2716.79;
}

void TestReportEngine::band_aligned_elements_follow_the_band()
{
    QFETCH(QPageLayout::Orientation, orientation);
    QFETCH(double, band_width);

    const ReportPage page = layout_report(m_layout, rows(3), orientation).at(0);
    const PlacedBand *header = find_band(page, BandKind::PageHeader);
    const PlacedBand *title = find_band(page, BandKind::Title);
    QCOMPARE(header->rect.width(), band_width);
    const double left = 127;
    const double right = left + band_width;

    const PlacedElement *date = header->element("QRSysData1");
    QCOMPARE(date->box.left(), left);
    QVERIFY(date->box.width() > 100);
    QCOMPARE(header->element("QRLabel7")->box.right(), right);
    const QRectF heading = header->element("QRLabel1")->box;
    QVERIFY(qAbs((heading.left() - left) - (right - heading.right())) < 1e-9);
    QCOMPARE(heading.top(), 127 + 10.58);
    QCOMPARE(heading.height(), 84.67);

    QCOMPARE(title->element("QRLbMaxSignal")->box.left(), left);
    QCOMPARE(title->element("QRLbSpan")->box.right(), right);
    QCOMPARE(title->element("QRLbSpan")->box.top(), title->rect.top() + 465.67);
    // Fixed boxes do not move with the band.
    const PlacedBand *summary = find_band(page, BandKind::Summary);
    QCOMPARE(summary->element("QRMemo1")->box,
             QRectF(left, summary->rect.top() + 31.75, 1844.15, 129.65));
}

void TestReportEngine::date_time_text_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");

    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    const QDate date(2026, 3, 14);
    QTest::newRow("afternoon, C locale")
        << QDateTime(date, QTime(15, 9, 26), Qt::UTC) << c << "14 Mar 2026 15:09:26";
    QTest::newRow("exact midnight leaves the time out")
        << QDateTime(date, QTime(0, 0, 0), Qt::UTC) << c << "14 Mar 2026";
    QTest::newRow("one second past midnight keeps it")
        << QDateTime(date, QTime(0, 0, 1), Qt::UTC) << c << "14 Mar 2026 00:00:01";
    QTest::newRow("half a second past midnight keeps it")
        << QDateTime(date, QTime(0, 0, 0, 500), Qt::UTC) << c << "14 Mar 2026 00:00:00";
    QTest::newRow("German short date")
        << QDateTime(date, QTime(0, 0, 0), Qt::UTC) << german << "14.03.26";
    QTest::newRow("German date and time, no time zone")
        << QDateTime(date, QTime(15, 9, 26), Qt::UTC) << german << "14.03.26 15:09:26";
    QTest::newRow("US time with its day half, no time zone")
        << QDateTime(date, QTime(15, 9, 26), Qt::UTC)
        << QLocale(QLocale::English, QLocale::UnitedStates) << "3/14/26 3:09:26 PM";
}

void TestReportEngine::date_time_text()
{
    QFETCH(QDateTime, moment);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(pelorin::date_time_text(moment, locale), expected);
}

void TestReportEngine::date_time_is_taken_when_the_band_is_produced()
{
    int calls = 0;
    const Clock clock = [&calls]() { return fixed_moment().addSecs(60 * calls++); };
    const QVector<ReportPage> pages =
        layout_report(m_layout, rows(25), QPageLayout::Landscape, clock);
    QCOMPARE(pages.size(), 2);
    QCOMPARE(calls, 2); // once per page header
    const QString first = find_band(pages.at(0), BandKind::PageHeader)->element("QRSysData1")->text;
    const QString second =
        find_band(pages.at(1), BandKind::PageHeader)->element("QRSysData1")->text;
    QCOMPARE(first, pelorin::date_time_text(fixed_moment()));
    QCOMPARE(second, pelorin::date_time_text(fixed_moment().addSecs(60)));
    QVERIFY(first != second);
}

void TestReportEngine::cancel_stops_before_the_next_row()
{
    const QVector<Table::Row> all = rows(15);
    QVector<int> asked;
    QVector<int> done;
    QVector<ReportPage> pages;
    GenerateHooks hooks;
    hooks.before_row = [&](int row) {
        asked.append(row);
        return row < 5;
    };
    hooks.after_row = [&](int rows_done) { done.append(rows_done); };
    hooks.page_done = [&](const ReportPage &page) { pages.append(page); };

    QVERIFY(!generate_report(m_layout, all, QPageLayout::Portrait, fixed_moment, hooks));
    QCOMPARE(asked, (QVector<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(done, (QVector<int>{1, 2, 3, 4, 5}));
    // The page begun is completed with what was produced, without the summary.
    QCOMPARE(pages.size(), 1);
    QCOMPARE(band_sequence(pages.at(0)), QStringLiteral("H T C D5"));
}

void TestReportEngine::closed_table_gives_no_page()
{
    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(), table, layout);
    table.close();
    QVERIFY(report_rows(table).isEmpty());
    QVERIFY(layout_report(layout, report_rows(table), QPageLayout::Portrait).isEmpty());

    PrintJob job(PrintJob::Destination::Screen);
    QVERIFY(job.generate(layout, report_rows(table)));
    QVERIFY(job.is_finished());
    QCOMPARE(job.page_count(), 0);
    QCOMPARE(job.available_pages(), 0);
    QVERIFY(job.page(1).isNull());
    QVERIFY(job.stored_pages().isEmpty());
}

void TestReportEngine::frame_lines_in_device_pixels_data()
{
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("one_point");
    QTest::addColumn<int>("two_points");
    QTest::newRow("30 dpi: never thinner than a pixel") << 30.0 << 1 << 1;
    QTest::newRow("96 dpi") << 96.0 << 1 << 3;
    QTest::newRow("150 dpi") << 150.0 << 2 << 4;
    QTest::newRow("600 dpi") << 600.0 << 8 << 17;
}

void TestReportEngine::frame_lines_in_device_pixels()
{
    QFETCH(double, dpi);
    QFETCH(int, one_point);
    QFETCH(int, two_points);

    const ReportPage page = layout_report(m_layout, rows(3), QPageLayout::Portrait).at(0);
    const QImage image = testing::render_page(page, dpi);
    const double px = dpi / units_per_inch;
    // A column between the Input and Output columns, where no text lies.
    const int x = int((127 + 700) * px);
    const PlacedBand *header = find_band(page, BandKind::PageHeader);
    const PlacedBand *columns = find_band(page, BandKind::ColumnHeader);
    const PlacedBand *summary = find_band(page, BandKind::Summary);
    QCOMPARE(dark_run(image, x, int(header->rect.bottom() * px - 0.5)), two_points);
    QCOMPARE(dark_run(image, x, int(columns->rect.top() * px + 0.5)), one_point);
    QCOMPARE(dark_run(image, x, int(columns->rect.bottom() * px - 0.5)), one_point);
    QCOMPARE(dark_run(image, x, int(summary->rect.top() * px + 0.5)), two_points);
    // Nothing else is drawn in that column between the rows.
    for (int y = int(columns->rect.bottom() * px) + 1; y < int(summary->rect.top() * px) - 1; ++y)
        QVERIFY2(qGray(image.pixel(x, y)) == 255, qPrintable(QString::number(y)));
}

void TestReportEngine::stored_page_survives_its_bytes()
{
    const ReportPage page = layout_report(m_layout, rows(15), QPageLayout::Portrait).at(0);
    const QPicture recorded = record_page(page);
    // The recorded sheet is the paper at the picture's resolution.
    const double dpi = recorded.logicalDpiX();
    QVERIFY(qAbs(recorded.boundingRect().width() - 2100 * dpi / 254) <= 1);
    QVERIFY(qAbs(recorded.boundingRect().height() - 2970 * dpi / 254) <= 1);

    QPicture restored;
    restored.setData(recorded.data(), recorded.size());
    const auto play = [](const QPicture &picture) {
        QImage image(620, 877, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QPainter painter(&image);
        play_page(painter, picture, QRectF(10, 10, 600, 600 * 2970.0 / 2100));
        return image;
    };
    const QImage before = play(recorded);
    QCOMPARE(play(restored), before);
    // The sheet fills the target: white at its corners, grey around it.
    QCOMPARE(before.pixel(10, 10), qRgb(255, 255, 255));
    QCOMPARE(before.pixel(609, 857), qRgb(255, 255, 255));
    QCOMPARE(before.pixel(8, 8), QColor(Qt::gray).rgb());
    QCOMPARE(before.pixel(612, 860), QColor(Qt::gray).rgb());
}

void TestReportEngine::wide_values_run_across_the_left_edge()
{
    // The start-up sphere in litres: the last volume is wider than its box.
    testing::RunInput litres = testing::startup_input();
    litres.volume_unit = 1;
    Table table;
    ReportLayout layout;
    testing::prepare_report(litres, table, layout);
    const ReportPage page = layout_report(layout, report_rows(table), QPageLayout::Portrait).at(0);
    const PlacedElement *volume = nullptr;
    for (const PlacedBand &band : page.bands) {
        if (band.row == 16)
            volume = band.element(QStringLiteral("QRDBText4"));
    }
    QVERIFY(volume && volume->text.size() >= 9);

    // Drawn directly and played back from a recorded page, as the preview does.
    const QImage direct = testing::render_page(page, 150);
    QImage played(direct.size(), QImage::Format_RGB32);
    played.fill(Qt::white);
    {
        QPainter painter(&played);
        play_page(painter, record_page(page), QRectF(QPointF(0, 0), QSizeF(played.size())));
    }
    const double px = 150 / units_per_inch;
    const QRect left_of_box(int((volume->box.left() - 40) * px), int(volume->box.top() * px),
                            int(40 * px), int(volume->box.height() * px));
    for (const QImage &image : {direct, played}) {
        int ink = 0;
        for (int y = left_of_box.top(); y <= left_of_box.bottom(); ++y) {
            for (int x = left_of_box.left(); x <= left_of_box.right(); ++x)
                ink += qGray(image.pixel(x, y)) < 128;
        }
        QVERIFY2(ink > 20, qPrintable(QString::number(ink)));
    }
}

QTEST_MAIN(TestReportEngine)
#include "tst_report_engine.moc"
