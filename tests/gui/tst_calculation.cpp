// The calibration run driven through the main window: the results it shows,
// the nine rejections with their message, page and focus, and the errors of
// the guarded reads, which reach the default error box without a beep.

#include "gui_support.h"

#include <QApplication>
#include <QLabel>
#include <QtTest>

using namespace gui_support;

namespace {

const QString blanks = QStringLiteral("           ");

// Field texts of one case, applied after the shape was chosen.
struct Field
{
    const char *name;
    const char *text;
};
using Fields = QVector<Field>;

void apply(const Program &program, const Fields &fields)
{
    for (const auto &field : fields)
        program.set_text(field.name, QString::fromUtf8(field.text));
}

// Valid dimensions for each shape family.
Fields valid_dimensions(int shape)
{
    if (shape == 0)
        return {{"Ed_diameter", "10"}};
    if (shape == 1)
        return {{"Ed_diameter", "2"}, {"Ed_length_cyl", "3"}, {"Ed_length_con", "1"}};
    return {{"Ed_diameter", "2"}, {"Ed_length_cyl", "5"}, {"Ed_angle", "0"}};
}

} // namespace

Q_DECLARE_METATYPE(Fields)

class TestCalculation : public QObject
{
    Q_OBJECT

private slots:
    void start_up_input_gives_the_sphere_table();
    void selecting_the_output_tab_runs_the_calibration();
    void conical_tank_table();
    void point_count_sets_the_rows_data();
    void point_count_sets_the_rows();
    void rejection_data();
    void rejection();
    void accepted_edge_values_data();
    void accepted_edge_values();
    void guarded_read_error_data();
    void guarded_read_error();
    void arithmetic_fault_keeps_the_output_page();
    void selecting_output_again_repeats_the_rejection();
};

void TestCalculation::start_up_input_gives_the_sphere_table()
{
    Program program;
    press_calculate(program);

    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetOutput"));
    QCOMPARE(program.text("TextZero"), QStringLiteral(" Zero  = 0.000"));
    QCOMPARE(program.text("TextSpan"), QStringLiteral(" Span = 523.599"));
    const QAbstractItemModel *grid = program.grid_model();
    QCOMPARE(grid->rowCount(), 17);
    QCOMPARE(row_texts(grid, 0), (QStringList{blanks, "0.000", "0.000", "0.000", "0.000"}));
    QCOMPARE(row_texts(grid, 1), (QStringList{"1", "0.063", "0.011", "0.625", "5.880"}));
    QCOMPARE(row_texts(grid, 4), (QStringList{"4", "0.250", "0.156", "2.500", "81.812"}));
    QCOMPARE(row_texts(grid, 8), (QStringList{"8", "0.500", "0.500", "5.000", "261.799"}));
    QCOMPARE(row_texts(grid, 16), (QStringList{blanks, "1.000", "1.000", "10.000", "523.599"}));
    QCOMPARE(column_titles(grid), (QStringList{"Point", "Input (norm)", "Output (norm)",
                                               "Height (meters)", "Volume (m3)"}));
    QVERIFY(program.widget("DBGrid1")->isVisible());
    QCOMPARE(program.prompts.beeps, 0);
    QVERIFY(program.prompts.messages.isEmpty());
}

void TestCalculation::selecting_the_output_tab_runs_the_calibration()
{
    Program program;
    program.click_page("TabSheetOutput");

    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetOutput"));
    QCOMPARE(program.grid_model()->rowCount(), 17);
    QCOMPARE(program.text("TextSpan"), QStringLiteral(" Span = 523.599"));
}

void TestCalculation::conical_tank_table()
{
    Program program;
    choose_shape(program, 1);
    apply(
        program,
        {{"Ed_diameter", "2"}, {"Ed_length_cyl", "3"}, {"Ed_length_con", "1"}, {"Ed_points", "3"}});
    press_calculate(program);

    QCOMPARE(program.text("TextZero"), QStringLiteral(" Zero  = 0.000"));
    QCOMPARE(program.text("TextSpan"), QStringLiteral(" Span = 10.472"));
    const QAbstractItemModel *grid = program.grid_model();
    QCOMPARE(grid->rowCount(), 5);
    const QList<QStringList> expected = {{blanks, "0.000", "0.000", "0.000", "0.000"},
                                         {"1", "0.250", "0.100", "1.000", "1.047"},
                                         {"2", "0.500", "0.400", "2.000", "4.189"},
                                         {"3", "0.750", "0.700", "3.000", "7.330"},
                                         {blanks, "1.000", "1.000", "4.000", "10.472"}};
    for (int row = 0; row < expected.size(); ++row)
        QCOMPARE(row_texts(grid, row), expected.at(row));
}

void TestCalculation::point_count_sets_the_rows_data()
{
    QTest::addColumn<QString>("points");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("middle_row");

    QTest::newRow("one point") << "1" << 3
                               << QStringList{"1", "0.500", "0.500", "5.000", "261.799"};
    QTest::newRow("25 points") << "25" << 27
                               << QStringList{"13", "0.500", "0.500", "5.000", "261.799"};
}

void TestCalculation::point_count_sets_the_rows()
{
    QFETCH(QString, points);
    QFETCH(int, rows);
    QFETCH(QStringList, middle_row);

    Program program;
    program.set_text("Ed_points", points);
    press_calculate(program);

    QCOMPARE(program.grid_model()->rowCount(), rows);
    QCOMPARE(row_texts(program.grid_model(), rows / 2), middle_row);
}

void TestCalculation::rejection_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    const QString points = QStringLiteral("Invalid number of points !");
    const QString diameter = QStringLiteral("Invalid diameter (d) !");
    const QString length = QStringLiteral("Invalid length of cylinder (L) !");
    const QString angle = QStringLiteral("Invalid angle of inclination (x) !");
    const QString cone = QStringLiteral("Invalid length of cone (L1) !");
    const QString h1 = QStringLiteral("Invalid height (h1) !");
    const QString h2 = QStringLiteral("Invalid height (h2) !");
    const QString order = QStringLiteral("Height (h1) must be less than height (h2) !");

    QTest::newRow("0 points") << 0 << Fields{{"Ed_points", "0"}} << points << "Ed_points";
    QTest::newRow("26 points") << 0 << Fields{{"Ed_points", "26"}} << points << "Ed_points";
    QTest::newRow("points before diameter")
        << 0 << Fields{{"Ed_points", "26"}, {"Ed_diameter", "-1"}} << points << "Ed_points";
    QTest::newRow("diameter 0") << 0 << Fields{{"Ed_diameter", "0"}} << diameter << "Ed_diameter";
    QTest::newRow("diameter -1") << 0 << Fields{{"Ed_diameter", "-1"}} << diameter << "Ed_diameter";
    QTest::newRow("diameter 1e-50 stored as 0")
        << 0 << Fields{{"Ed_diameter", "1e-50"}} << diameter << "Ed_diameter";
    QTest::newRow("conical L 0") << 1 << Fields{{"Ed_length_cyl", "0"}} << length
                                 << "Ed_length_cyl";
    QTest::newRow("flat ends L -2")
        << 2 << Fields{{"Ed_length_cyl", "-2"}} << length << "Ed_length_cyl";
    QTest::newRow("angle 90") << 2 << Fields{{"Ed_angle", "90"}} << angle << "Ed_angle";
    QTest::newRow("angle 89.9999991")
        << 3 << Fields{{"Ed_angle", "89.9999991"}} << angle << "Ed_angle";
    QTest::newRow("angle -0.5") << 5 << Fields{{"Ed_angle", "-0.5"}} << angle << "Ed_angle";
    QTest::newRow("cone L1 -1") << 1 << Fields{{"Ed_length_con", "-1"}} << cone << "Ed_length_con";
    QTest::newRow("h1 -1") << 0 << Fields{{"Ed_min_signal", "-1"}} << h1 << "Ed_min_signal";
    QTest::newRow("h2 -1") << 0 << Fields{{"Ed_max_signal", "-1"}} << h2 << "Ed_max_signal";
    QTest::newRow("h2 above H") << 0 << Fields{{"Ed_max_signal", "10.5"}} << h2 << "Ed_max_signal";
    QTest::newRow("h2 above conical H")
        << 1 << Fields{{"Ed_max_signal", "4.01"}} << h2 << "Ed_max_signal";
    QTest::newRow("h1 equal to h2")
        << 0 << Fields{{"Ed_min_signal", "5"}, {"Ed_max_signal", "5"}} << order << "Ed_min_signal";
    QTest::newRow("h1 min with h2 0")
        << 4 << Fields{{"Ed_max_signal", "0"}} << order << "Ed_min_signal";
}

// A rejection beeps once, shows the "Error" box, brings the Input page and
// the field, and leaves the results of the previous run on the Output page.
void TestCalculation::rejection()
{
    QFETCH(int, shape);
    QFETCH(Fields, fields);
    QFETCH(QString, message);
    QFETCH(QString, focus);

    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    choose_shape(program, shape);
    apply(program, valid_dimensions(shape));
    press_calculate(program);
    QCOMPARE(program.prompts.messages.size(), 0);
    const int rows = program.grid_model()->rowCount();
    QVERIFY(rows > 0);
    const QString zero = program.text("TextZero");
    const QString span = program.text("TextSpan");

    apply(program, fields);
    press_calculate(program);

    QCOMPARE(program.prompts.beeps, 1);
    QCOMPARE(program.prompts.messages.size(), 1);
    QCOMPARE(program.prompts.messages.at(0).caption, QStringLiteral("Error"));
    QCOMPARE(program.prompts.messages.at(0).text, message);
    QCOMPARE(program.prompts.messages.at(0).icon, pelorin::Prompts::Icon::Error);
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetInput"));
    QCOMPARE(QApplication::focusWidget(), program.widget(focus.toLatin1().constData()));
    QCOMPARE(program.grid_model()->rowCount(), rows);
    QCOMPARE(program.text("TextZero"), zero);
    QCOMPARE(program.text("TextSpan"), span);
}

void TestCalculation::accepted_edge_values_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("last_height");

    QTest::newRow("angle 89.999999") << 2 << Fields{{"Ed_angle", "89.999999"}} << "5.000";
    QTest::newRow("angle 0") << 2 << Fields{{"Ed_angle", "0"}} << "2.000";
    QTest::newRow("h2 equal to H") << 0 << Fields{{"Ed_max_signal", "10"}} << "10.000";
    QTest::newRow("h1 typed 0") << 0 << Fields{{"Ed_min_signal", "0"}} << "10.000";
}

void TestCalculation::accepted_edge_values()
{
    QFETCH(int, shape);
    QFETCH(Fields, fields);
    QFETCH(QString, last_height);

    Program program;
    choose_shape(program, shape);
    apply(program, valid_dimensions(shape));
    apply(program, fields);
    press_calculate(program);

    QCOMPARE(program.prompts.beeps, 0);
    QVERIFY(program.prompts.messages.isEmpty());
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetOutput"));
    QCOMPARE(program.grid_model()->rowCount(), 17);
    QCOMPARE(program.grid_model()->index(16, 3).data().toString(), last_height);
}

void TestCalculation::guarded_read_error_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("points 1.5") << "Ed_points"
                                << "1.5"
                                << "'1.5' is not a valid integer value.";
    QTest::newRow("h1 Min") << "Ed_min_signal"
                            << "Min"
                            << "'Min' is not a valid floating point value.";
    QTest::newRow("h1 min after a blank") << "Ed_min_signal"
                                          << " min"
                                          << "' min' is not a valid floating point value.";
    QTest::newRow("h2 MAX") << "Ed_max_signal"
                            << "MAX"
                            << "'MAX' is not a valid floating point value.";
    QTest::newRow("diameter 1e39") << "Ed_diameter"
                                   << "1e39"
                                   << "Floating point overflow.";
    QTest::newRow("diameter empty") << "Ed_diameter"
                                    << ""
                                    << "'' is not a valid floating point value.";
}

// A text that cannot be read: no beep, no "Error" box; the Input page and the
// field come first, then the default error box shows the message.
void TestCalculation::guarded_read_error()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);

    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    QWidget *expected_focus = program.widget(field.toLatin1().constData());
    QString page_at_message;
    QWidget *focus_at_message = nullptr;
    program.prompts.on_message = [&](const RecordingPrompts::Message &) {
        page_at_message = program.active_page_name();
        focus_at_message = QApplication::focusWidget();
    };

    program.set_text(field.toLatin1().constData(), text);
    press_calculate(program);

    QCOMPARE(program.prompts.beeps, 0);
    QCOMPARE(program.prompts.messages.size(), 1);
    QCOMPARE(program.prompts.messages.at(0).caption, QStringLiteral("PELORIN"));
    QCOMPARE(program.prompts.messages.at(0).icon, pelorin::Prompts::Icon::Error);
    QCOMPARE(program.prompts.messages.at(0).text, message);
    QCOMPARE(page_at_message, QStringLiteral("TabSheetInput"));
    QCOMPARE(focus_at_message, expected_focus);
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetInput"));
    QCOMPARE(program.grid_model()->rowCount(), 0);
}

// h2 so close to 0 that both volumes round to the same value: the first row
// divides zero by zero after the table was cleared. The error is not a
// guarded read, so the Output page stays.
void TestCalculation::arithmetic_fault_keeps_the_output_page()
{
    Program program;
    press_calculate(program);
    QCOMPARE(program.grid_model()->rowCount(), 17);

    program.set_text("Ed_max_signal", QStringLiteral("1e-30"));
    press_calculate(program);

    QCOMPARE(program.prompts.beeps, 0);
    QCOMPARE(program.prompts.messages.size(), 1);
    QCOMPARE(program.prompts.messages.at(0).caption, QStringLiteral("PELORIN"));
    QCOMPARE(program.prompts.messages.at(0).text,
             QStringLiteral("Invalid floating point operation."));
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetOutput"));
    QCOMPARE(program.grid_model()->rowCount(), 0);
}

void TestCalculation::selecting_output_again_repeats_the_rejection()
{
    Program program;
    program.set_text("Ed_diameter", QStringLiteral("0"));
    program.click_page("TabSheetOutput");
    QCOMPARE(program.prompts.beeps, 1);
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetInput"));

    program.click_page("TabSheetOutput");
    QCOMPARE(program.prompts.beeps, 2);
    QCOMPARE(program.prompts.messages.size(), 2);
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetInput"));
}

QTEST_MAIN(TestCalculation)
#include "tst_calculation.moc"
