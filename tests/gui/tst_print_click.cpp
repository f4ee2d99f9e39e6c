// The Report button: PrintClick recalculates, writes the report's captions and
// opens the preview, returning when the preview closes.

#include "gui_support.h"

#include "report/preview/preview_window.h"
#include "report/report_layout.h"

#include <QComboBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

using namespace gui_support;
using pelorin::PreviewWindow;

namespace {

// What a preview showed before it was closed.
struct Seen
{
    bool opened = false;
    QString caption;
    QString page_position;
};

// Presses the Report button and closes the preview as soon as its pages are
// finished (Print enabled), remembering what it showed. Gives up after 10 s.
Seen press_report(const Program &program)
{
    Seen seen;
    QTimer closer;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *preview = qobject_cast<PreviewWindow *>(w);
            if (!preview || !preview->isVisible())
                continue;
            auto *print = preview->findChild<QToolButton *>(QStringLiteral("Print"));
            if (print && print->isEnabled()) {
                seen.opened = true;
                seen.caption = preview->windowTitle();
                seen.page_position =
                    preview->findChild<QLabel *>(QStringLiteral("PagePanel"))->text();
                preview->close();
                return;
            }
        }
        if (clock.elapsed() > 10000)
            for (QWidget *w : QApplication::topLevelWidgets())
                if (qobject_cast<PreviewWindow *>(w))
                    w->close();
    });
    closer.start(20);
    QTest::mouseClick(program.widget<QPushButton>("BtnReport"), Qt::LeftButton);
    closer.stop();
    return seen;
}

QString caption(const Program &program, const char *element)
{
    return program.form->QuickRep1().element(QLatin1String(element)).caption;
}

void show_output(const Program &program)
{
    program.click_page("TabSheetOutput");
}

} // namespace

class TestPrintClick : public QObject
{
    Q_OBJECT

private slots:
    void start_up_report();
    void captions_follow_shape_and_units_data();
    void captions_follow_shape_and_units();
    void rejected_input_still_previews();
    void conversion_error_opens_no_preview();
    void closed_table_gives_no_preview();
};

void TestPrintClick::start_up_report()
{
    Program program;
    show_output(program);
    const Seen seen = press_report(program);
    QVERIFY(seen.opened);
    QCOMPARE(seen.caption, QString("PELORIN"));
    QCOMPARE(seen.page_position, QString("Page 1 of 1"));
    QCOMPARE(caption(program, "QRLbTankShape"), QString("Spherical tank"));
    QCOMPARE(caption(program, "QRLbDiameter"), QString("Diameter (d) - 10.000 meters"));
    QCOMPARE(caption(program, "QRLbLenCylinder"), QString("Length of cylinder (L) - 0.000 meters"));
    QCOMPARE(caption(program, "QRLbLenCone"), QString("Length of cone (L1) - 0.000 meters"));
    QCOMPARE(caption(program, "QRLbAngle"), QString("Angle of inclination (x) - 0.000 degrees"));
    QCOMPARE(caption(program, "QRLbMinSignal"), QString("Height (h1) - 0.000 meters"));
    QCOMPARE(caption(program, "QRLbMaxSignal"), QString("Height (h2) - 10.000 meters"));
    QCOMPARE(caption(program, "QRLbZero"), QString("ZERO - 0.000 m3"));
    QCOMPARE(caption(program, "QRLbSpan"), QString("SPAN - 523.599 m3"));
    QCOMPARE(caption(program, "QRLbHeight"), QString("Height (meters)"));
    QCOMPARE(caption(program, "QRLbVolume"), QString("Volume (m3)"));
    // The run before the report filled the table; control is back afterwards.
    QCOMPARE(program.grid_model()->rowCount(), 17);
    QCOMPARE(program.active_page_name(), QString("TabSheetOutput"));
}

void TestPrintClick::captions_follow_shape_and_units_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("volume");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<QStringList>("expected"); // element=caption pairs
    QTest::newRow("cylindrical 30 degrees, meters")
        << 3 << 0 << 0 << "30"
        << QStringList{"QRLbTankShape=Cylindrical (shallow ends) tank",
                       "QRLbAngle=Angle of inclination (x) - 30.000 degrees",
                       "QRLbLenCone=Length of cone (L1) - 0.000 meters",
                       "QRLbLenCylinder=Length of cylinder (L) - 5.000 meters"};
    QTest::newRow("conical, feet and US gal")
        << 1 << 1 << 2 << ""
        << QStringList{"QRLbTankShape=Conical tank",
                       "QRLbAngle=Angle of inclination (x) - 0.000 degrees",
                       "QRLbDiameter=Diameter (d) - 2.000 feet",
                       "QRLbMaxSignal=Height (h2) - 6.000 feet",
                       "QRLbHeight=Height (feet)",
                       "QRLbVolume=Volume (US gal)"};
}

void TestPrintClick::captions_follow_shape_and_units()
{
    QFETCH(int, shape);
    QFETCH(int, size);
    QFETCH(int, volume);
    QFETCH(QString, angle);
    QFETCH(QStringList, expected);

    Program program;
    choose_shape(program, shape);
    program.set_text("Ed_diameter", "2");
    program.set_text("Ed_length_cyl", "5");
    program.set_text("Ed_length_con", "1");
    if (!angle.isEmpty())
        program.set_text("Ed_angle", angle);
    auto *volume_units = program.widget<QComboBox>("VolumeUnits");
    program.widget<QComboBox>("SizeUnits")->setCurrentIndex(size);
    volume_units->setCurrentIndex(volume);
    show_output(program);
    QVERIFY(press_report(program).opened);
    for (const QString &pair : expected) {
        const QString name = pair.section(QLatin1Char('='), 0, 0);
        QCOMPARE(caption(program, qPrintable(name)), pair.section(QLatin1Char('='), 1));
    }
    const QString volume_unit = volume_units->currentText();
    QVERIFY(caption(program, "QRLbZero").endsWith(QLatin1Char(' ') + volume_unit));
    QVERIFY(caption(program, "QRLbSpan").endsWith(QLatin1Char(' ') + volume_unit));
}

void TestPrintClick::rejected_input_still_previews()
{
    Program program;
    show_output(program); // a complete run first: Zero and Span of d = 10
    program.set_text("Ed_diameter", "-5");
    const Seen seen = press_report(program);
    // The rejection comes first, then the preview with the state the run left.
    QCOMPARE(program.prompts.messages.size(), 1);
    QCOMPARE(program.prompts.messages.at(0).text, QString("Invalid diameter (d) !"));
    QVERIFY(seen.opened);
    QCOMPARE(caption(program, "QRLbDiameter"), QString("Diameter (d) - -5.000 meters"));
    QCOMPARE(caption(program, "QRLbMaxSignal"), QString("Height (h2) - 0.000 meters"));
    QCOMPARE(caption(program, "QRLbSpan"), QString("SPAN - 523.599 m3"));
    QCOMPARE(program.active_page_name(), QString("TabSheetInput"));
}

void TestPrintClick::conversion_error_opens_no_preview()
{
    Program program;
    show_output(program);
    QVERIFY(press_report(program).opened);
    program.set_text("Ed_diameter", "ten");
    const Seen seen = press_report(program);
    QVERIFY(!seen.opened);
    QCOMPARE(program.prompts.messages.size(), 1);
    QCOMPARE(program.prompts.messages.at(0).caption, QString("PELORIN"));
    QCOMPARE(program.prompts.messages.at(0).text,
             QString("'ten' is not a valid floating point value."));
    // The captions of the earlier report stand.
    QCOMPARE(caption(program, "QRLbDiameter"), QString("Diameter (d) - 10.000 meters"));
}

void TestPrintClick::closed_table_gives_no_preview()
{
    // A shape change closes the table; a report over it produces no page and
    // nothing fails. Here the run rejects the input, so the table stays closed.
    Program program;
    choose_shape(program, 1);
    program.set_text("Ed_diameter", "0");
    show_output(program);
    program.prompts.messages.clear();
    const Seen seen = press_report(program);
    QVERIFY(!seen.opened);
    QCOMPARE(program.prompts.messages.size(), 1);
    QCOMPARE(program.prompts.messages.at(0).text, QString("Invalid diameter (d) !"));
}

QTEST_MAIN(TestPrintClick)
#include "tst_print_click.moc"
