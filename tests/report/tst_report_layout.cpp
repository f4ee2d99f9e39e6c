// The report layout QuickRep1 as data, its caption setter, and the captions
// PrintClick writes from the calculation state.

#include "report_fixtures.h"

#include "calc/errors.h"

#include <QTest>

#include <cmath>

using namespace pelorin;

Q_DECLARE_METATYPE(pelorin::Placement)
Q_DECLARE_METATYPE(pelorin::ElementKind)

class TestReportLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void report_settings();
    void bands_in_print_order();
    void elements_data();
    void elements();
    void caption_resizes_and_replaces_band_aligned_label_data();
    void caption_resizes_and_replaces_band_aligned_label();
    void caption_keeps_fixed_box();
    void unknown_names_are_errors();
    void captions_data();
    void captions();
    void span_is_the_unrounded_difference();
    void captions_are_rewritten_each_time();
};

void TestReportLayout::initTestCase()
{
    testing::install_font_substitutions();
}

void TestReportLayout::report_settings()
{
    const ReportLayout layout;
    QCOMPARE(layout.name(), QStringLiteral("QuickRep1"));
    QCOMPARE(layout.title(), QStringLiteral("PELORIN"));
    QCOMPARE(layout.paper(), QPageSize::A4);
    QCOMPARE(layout.page_size(QPageLayout::Portrait), QSizeF(2100, 2970));
    QCOMPARE(layout.page_size(QPageLayout::Landscape), QSizeF(2970, 2100));
    QCOMPARE(layout.usable_width(QPageLayout::Portrait), 1846.0);
    QCOMPARE(layout.usable_height(QPageLayout::Portrait), 2716.0);
    QCOMPARE(layout.usable_height(QPageLayout::Landscape), 1846.0);
    QVERIFY(!layout.print_if_empty());
    QVERIFY(layout.first_page_header());

    const PrintSettings &print = layout.print_settings();
    QVERIFY(print.printer_name.isEmpty()); // the system's default printer
    QCOMPARE(print.copies, 1);
    QCOMPARE(print.orientation, QPageLayout::Portrait);
    QCOMPARE(print.first_page, 0);
    QCOMPARE(print.last_page, 0);
    QCOMPARE(print.paper_source, QPrinter::Upper);
    QVERIFY(!print.duplex);
}

void TestReportLayout::bands_in_print_order()
{
    const ReportLayout layout;
    QStringList names;
    QVector<double> heights;
    for (const ReportBand &band : layout.bands()) {
        names << band.name;
        heights << band.height;
        QCOMPARE(band.width, 1846.79);
    }
    QCOMPARE(names, (QStringList{"PageHeaderBand1", "TitleBand1", "ColumnHeaderBand1",
                                 "DetailBand1", "SummaryBand1"}));
    QCOMPARE(heights, (QVector<double>{182.56, 523.88, 132.29, 52.92, 251.35}));
    QCOMPARE(layout.band("PageHeaderBand1").frame.bottom, 2.0);
    QCOMPARE(layout.band("PageHeaderBand1").frame.top, 0.0);
    QCOMPARE(layout.band("ColumnHeaderBand1").frame.top, 1.0);
    QCOMPARE(layout.band("ColumnHeaderBand1").frame.bottom, 1.0);
    QCOMPARE(layout.band("SummaryBand1").frame.top, 2.0);
    QVERIFY(!layout.band("TitleBand1").frame.any());
    QVERIFY(!layout.band("DetailBand1").frame.any());
}

void TestReportLayout::elements_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<ElementKind>("kind");
    QTest::addColumn<Placement>("placement");
    QTest::addColumn<double>("left"); // fixed boxes only
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width"); // fixed boxes only
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("field_or_caption");

    const auto label = ElementKind::Label;
    const auto left = Placement::BandLeft;
    const auto right = Placement::BandRight;
    const auto centre = Placement::BandCentre;
    const auto fixed = Placement::FixedBox;
    const QString arial = QStringLiteral("Arial 10");
    const QString bold = QStringLiteral("Arial 10 bold");

    QTest::newRow("QRLabel1") << "PageHeaderBand1" << label << centre << 0.0 << 10.58 << 0.0
                              << 84.67 << "Times New Roman 20 bold"
                              << "MODEL OSTREL CALIBRATION REPORT";
    QTest::newRow("QRSysData1") << "PageHeaderBand1" << ElementKind::SystemData << left << 0.0
                                << 127.00 << 0.0 << 44.98 << arial << "";
    QTest::newRow("QRLabel7") << "PageHeaderBand1" << label << right << 0.0 << 127.00 << 0.0
                              << 44.98 << arial << "by Tarnvik";
    QTest::newRow("QRLbTankShape")
        << "TitleBand1" << label << centre << 0.0 << 52.92 << 0.0 << 66.15 << "Arial 16 bold"
        << "";
    const struct
    {
        const char *name;
        double top;
    } lines[] = {{"QRLbDiameter", 148.17}, {"QRLbLenCylinder", 211.67}, {"QRLbLenCone", 275.17},
                 {"QRLbAngle", 338.67},    {"QRLbMinSignal", 402.17},   {"QRLbMaxSignal", 465.67}};
    for (const auto &line : lines) {
        QTest::newRow(line.name) << "TitleBand1" << label << left << 0.0 << line.top << 0.0 << 44.98
                                 << arial << "";
    }
    QTest::newRow("QRLabel4") << "TitleBand1" << label << right << 0.0 << 148.17 << 0.0 << 44.98
                              << arial << "Maximum Volume = ZERO + SPAN";
    QTest::newRow("QRLbZero") << "TitleBand1" << label << right << 0.0 << 402.17 << 0.0 << 44.98
                              << arial << "";
    QTest::newRow("QRLbSpan") << "TitleBand1" << label << right << 0.0 << 465.67 << 0.0 << 44.98
                              << arial << "";
    const struct
    {
        const char *name;
        double left;
        const char *caption;
    } titles[] = {{"QRLabel6", 169.33, "Point"},
                  {"QRLabel2", 476.25, "Input (norm)"},
                  {"QRLabel3", 783.17, "Output (norm)"},
                  {"QRLbHeight", 1090.08, ""},
                  {"QRLbVolume", 1397.00, ""}};
    for (const auto &t : titles) {
        QTest::newRow(t.name) << "ColumnHeaderBand1" << label << fixed << t.left << 21.17 << 177.27
                              << 105.83 << bold << t.caption;
    }
    const struct
    {
        const char *name;
        double left;
        const char *field;
    } cells[] = {{"QRDBText5", 177.80, "Point"},
                 {"QRDBText1", 482.60, "Input"},
                 {"QRDBText2", 787.40, "Output"},
                 {"QRDBText3", 1092.20, "Height"},
                 {"QRDBText4", 1397.00, "Volume"}};
    for (const auto &c : cells) {
        QTest::newRow(c.name) << "DetailBand1" << ElementKind::DataText << fixed << c.left << 0.0
                              << 127.00 << 47.63 << arial << c.field;
    }
    QTest::newRow("QRMemo1")
        << "SummaryBand1" << ElementKind::Memo << fixed << 0.0 << 31.75 << 1844.15 << 129.65
        << arial
        << "Input (norm) and Output (norm) are normalized non-linearity correction values "
           "between 0 and 1 which are programmed into the Tarnvik Model Ostrel together with "
           "the values of Zero and Span.";
}

void TestReportLayout::elements()
{
    QFETCH(QString, band);
    QFETCH(ElementKind, kind);
    QFETCH(Placement, placement);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QString, font);
    QFETCH(QString, field_or_caption);

    const ReportLayout layout;
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const ReportElement &e = layout.element(name);
    QCOMPARE(e.name, name);
    bool in_band = false;
    for (const ReportElement &other : layout.band(band).elements)
        in_band = in_band || other.name == name;
    QVERIFY(in_band);
    QCOMPARE(e.kind, kind);
    QCOMPARE(e.placement, placement);
    QCOMPARE(e.top, top);
    QCOMPARE(e.height, height);
    if (placement == Placement::FixedBox) {
        QCOMPARE(e.left, left);
        QCOMPARE(e.width, width);
        QVERIFY(e.word_wrap);
    }
    QString actual_font = e.font.family + QLatin1Char(' ') + QString::number(e.font.points);
    if (e.font.bold)
        actual_font += QStringLiteral(" bold");
    QCOMPARE(actual_font, font);
    QVERIFY(!e.font.underline);
    QVERIFY(!e.frame.any());
    QCOMPARE(kind == ElementKind::DataText ? e.field : e.caption, field_or_caption);

    // Alignment: band-aligned by their side, column titles centred, values right.
    Qt::Alignment expected = Qt::AlignLeft;
    if (placement == Placement::BandCentre || band == QLatin1String("ColumnHeaderBand1"))
        expected = Qt::AlignHCenter;
    else if (placement == Placement::BandRight || kind == ElementKind::DataText)
        expected = Qt::AlignRight;
    QCOMPARE(e.alignment, expected);
}

void TestReportLayout::caption_resizes_and_replaces_band_aligned_label_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("left") << "QRLbDiameter";
    QTest::newRow("centred") << "QRLbTankShape";
    QTest::newRow("right") << "QRLbSpan";
}

void TestReportLayout::caption_resizes_and_replaces_band_aligned_label()
{
    QFETCH(QString, name);
    ReportLayout layout;
    const double band = 1846.79;

    layout.set_caption(name, QStringLiteral("SPAN - 1.000 m3"));
    const ReportElement short_text = layout.element(name);
    layout.set_caption(name, QStringLiteral("SPAN - 1234567.000 US gal"));
    const ReportElement long_text = layout.element(name);

    QCOMPARE(long_text.caption, QStringLiteral("SPAN - 1234567.000 US gal"));
    QVERIFY(long_text.width > short_text.width + 50);
    QCOMPARE(long_text.width, text_width(long_text.font, long_text.caption));
    for (const ReportElement &e : {short_text, long_text}) {
        switch (e.placement) {
        case Placement::BandLeft:
            QCOMPARE(e.left, 0.0);
            break;
        case Placement::BandCentre:
            QVERIFY(std::abs(e.left - (band - e.left - e.width)) < 1e-9);
            break;
        case Placement::BandRight:
            QVERIFY(std::abs(e.left + e.width - band) < 1e-9);
            break;
        case Placement::FixedBox:
            QFAIL("not band-aligned");
        }
    }
    // About 25 characters at 10 or 16 pt are a few centimetres wide.
    QVERIFY2(long_text.width > 300 && long_text.width < 1000,
             qPrintable(QString::number(long_text.width)));
}

void TestReportLayout::caption_keeps_fixed_box()
{
    ReportLayout layout;
    layout.set_caption(QStringLiteral("QRLbHeight"),
                       QStringLiteral("Height (a very long unit name)"));
    const ReportElement &e = layout.element(QStringLiteral("QRLbHeight"));
    QCOMPARE(e.caption, QStringLiteral("Height (a very long unit name)"));
    QCOMPARE(e.left, 1090.08);
    QCOMPARE(e.width, 177.27);
}

void TestReportLayout::unknown_names_are_errors()
{
    ReportLayout layout;
    QVERIFY(!layout.has_element(QStringLiteral("QRLbNothing")));
    QVERIFY_THROWS_EXCEPTION(Error, layout.element(QStringLiteral("QRLbNothing")));
    QVERIFY_THROWS_EXCEPTION(Error, layout.set_caption(QStringLiteral("QRLbNothing"), "x"));
    QVERIFY_THROWS_EXCEPTION(Error, layout.band(QStringLiteral("FooterBand1")));
    // A data field shows the table's text; it has no caption to set.
    QVERIFY_THROWS_EXCEPTION(Error, layout.set_caption(QStringLiteral("QRDBText1"), "x"));
}

void TestReportLayout::captions_data()
{
    QTest::addColumn<testing::RunInput>("input");
    QTest::addColumn<QStringList>("captions"); // in the order of the names below

    QTest::newRow("start-up values") << testing::startup_input()
                                     << QStringList{"Spherical tank",
                                                    "Diameter (d) - 10.000 meters",
                                                    "Length of cylinder (L) - 0.000 meters",
                                                    "Length of cone (L1) - 0.000 meters",
                                                    "Angle of inclination (x) - 0.000 degrees",
                                                    "Height (h1) - 0.000 meters",
                                                    "Height (h2) - 10.000 meters",
                                                    "ZERO - 0.000 m3",
                                                    "SPAN - 523.599 m3",
                                                    "Height (meters)",
                                                    "Volume (m3)"};

    testing::RunInput feet = testing::startup_input();
    feet.size_unit = 1;
    feet.volume_unit = 2;
    QTest::newRow("feet and US gal") << feet
                                     << QStringList{"Spherical tank",
                                                    "Diameter (d) - 10.000 feet",
                                                    "Length of cylinder (L) - 0.000 feet",
                                                    "Length of cone (L1) - 0.000 feet",
                                                    "Angle of inclination (x) - 0.000 degrees",
                                                    "Height (h1) - 0.000 feet",
                                                    "Height (h2) - 10.000 feet",
                                                    "ZERO - 0.000 US gal",
                                                    "SPAN - 3916.792 US gal",
                                                    "Height (feet)",
                                                    "Volume (US gal)"};

    testing::RunInput inclined = testing::startup_input();
    inclined.shape = Shape::CylindricalFlat;
    inclined.diameter = QStringLiteral("2");
    inclined.length_cyl = QStringLiteral("4");
    inclined.angle = QStringLiteral("30");
    inclined.min_signal = QStringLiteral("0.5");
    QTest::newRow("cylindrical, flat ends, inclined 30 degrees")
        << inclined
        << QStringList{"Cylindrical (flat ends) tank",
                       "Diameter (d) - 2.000 meters",
                       "Length of cylinder (L) - 4.000 meters",
                       "Length of cone (L1) - 0.000 meters",
                       "Angle of inclination (x) - 30.000 degrees",
                       "Height (h1) - 0.500 meters",
                       "Height (h2) - 3.732 meters",
                       "",
                       "",
                       "Height (meters)",
                       "Volume (m3)"};

    testing::RunInput conical = testing::startup_input(3);
    conical.shape = Shape::Conical;
    conical.diameter = QStringLiteral("2");
    conical.length_cyl = QStringLiteral("3");
    conical.length_con = QStringLiteral("1");
    QTest::newRow("conical") << conical
                             << QStringList{"Conical tank",
                                            "Diameter (d) - 2.000 meters",
                                            "Length of cylinder (L) - 3.000 meters",
                                            "Length of cone (L1) - 1.000 meters",
                                            "Angle of inclination (x) - 0.000 degrees",
                                            "Height (h1) - 0.000 meters",
                                            "Height (h2) - 4.000 meters",
                                            "ZERO - 0.000 m3",
                                            "SPAN - 10.472 m3",
                                            "Height (meters)",
                                            "Volume (m3)"};
}

void TestReportLayout::captions()
{
    QFETCH(testing::RunInput, input);
    QFETCH(QStringList, captions);

    const QStringList names = {"QRLbTankShape", "QRLbDiameter",  "QRLbLenCylinder", "QRLbLenCone",
                               "QRLbAngle",     "QRLbMinSignal", "QRLbMaxSignal",   "QRLbZero",
                               "QRLbSpan",      "QRLbHeight",    "QRLbVolume"};
    Table table;
    ReportLayout layout;
    testing::prepare_report(input, table, layout);
    for (int i = 0; i < names.size(); ++i) {
        if (captions.at(i).isEmpty())
            continue; // a value this row does not pin
        QCOMPARE(layout.element(names.at(i)).caption, captions.at(i));
    }
    // Zero and Span lines always end in the volume unit, the angle in degrees.
    QVERIFY(layout.element("QRLbZero")
                .caption.endsWith(QLatin1Char(' ') + volume_unit_names().value(input.volume_unit)));
    QVERIFY(layout.element("QRLbSpan")
                .caption.endsWith(QLatin1Char(' ') + volume_unit_names().value(input.volume_unit)));
    QVERIFY(layout.element("QRLbAngle").caption.endsWith(QStringLiteral(" degrees")));
}

void TestReportLayout::span_is_the_unrounded_difference()
{
    // 16777217 is not a 32-bit float: a difference rounded to 32 bits would
    // print 16777216.000 or 16777218.000.
    TCalcState state;
    state.zero_volume = 1.0f;
    state.top_volume = 16777218.0f;
    ReportLayout layout;
    set_report_captions(layout, state, report_texts(Shape::Spherical, 0, 0));
    QCOMPARE(layout.element("QRLbSpan").caption, QStringLiteral("SPAN - 1.677722E7 m3"));

    state.zero_volume = 0.1f; // 0.100000001490116...
    state.top_volume = 1000.0f;
    set_report_captions(layout, state, report_texts(Shape::Spherical, 0, 0));
    QCOMPARE(layout.element("QRLbSpan").caption, QStringLiteral("SPAN - 999.900 m3"));
    QCOMPARE(layout.element("QRLbZero").caption, QStringLiteral("ZERO - 0.100 m3"));
}

void TestReportLayout::captions_are_rewritten_each_time()
{
    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(), table, layout);
    const double metres_width = layout.element("QRLbDiameter").width;

    testing::RunInput feet = testing::startup_input();
    feet.size_unit = 1;
    feet.volume_unit = 3;
    testing::prepare_report(feet, table, layout);
    for (const char *name : {"QRLbDiameter", "QRLbLenCylinder", "QRLbLenCone", "QRLbMinSignal",
                             "QRLbMaxSignal", "QRLbZero", "QRLbSpan", "QRLbHeight", "QRLbVolume"}) {
        const QString caption = layout.element(name).caption;
        QVERIFY2(!caption.contains(QStringLiteral("meters")) && !caption.contains("m3"),
                 qPrintable(caption));
    }
    QVERIFY(layout.element("QRLbDiameter").width < metres_width);
}

QTEST_MAIN(TestReportLayout)
#include "tst_report_layout.moc"
