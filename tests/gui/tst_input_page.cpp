// The Input page: its widgets at start-up, the shape selection with the fields
// and the diagram of each shape family, the group hints, and the spin box for
// the number of points.

#include "gui_support.h"

#include "ui/points_edit.h"
#include "ui/radio_group.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QToolTip>
#include <QtTest>

using namespace gui_support;

namespace {

pelorin::RadioGroup *shapes(const Program &program)
{
    return program.widget<pelorin::RadioGroup>("GroupTankShape");
}

pelorin::PointsEdit *points_box(const Program &program)
{
    return program.widget<pelorin::PointsEdit>("Ed_points");
}

// The names of the widgets among `names` that are enabled.
QStringList enabled(const Program &program, const QStringList &names)
{
    QStringList result;
    for (const QString &name : names) {
        if (program.widget(name.toLatin1().constData())->isEnabled())
            result << name;
    }
    return result;
}

const QStringList parameter_widgets = {
    "Lb_diameter",   "Ed_diameter",   "Lb_length_cyl", "Ed_length_cyl", "Lb_length_con",
    "Ed_length_con", "Lb_angle",      "Lb_angle1",     "Ed_angle",      "Lb_min_signal",
    "Ed_min_signal", "Lb_max_signal", "Ed_max_signal", "Lb_points",     "Ed_points"};

const QStringList always_enabled = {"Lb_diameter",   "Ed_diameter",   "Lb_min_signal",
                                    "Ed_min_signal", "Lb_max_signal", "Ed_max_signal",
                                    "Lb_points",     "Ed_points"};

QString visible_diagram(const Program &program)
{
    QStringList visible;
    for (const char *name : {"ImageSphTank", "ImageConTank", "ImageCylTank"}) {
        if (!program.widget(name)->isHidden())
            visible << QLatin1String(name);
    }
    return visible.join(QLatin1Char(','));
}

} // namespace

class TestInputPage : public QObject
{
    Q_OBJECT

private slots:
    void start_up_state();
    void geometry_data();
    void geometry();
    void shape_items_in_two_columns();
    void diagrams_are_centred_and_not_scaled();
    void shape_change_data();
    void shape_change();
    void shape_change_resets_results_and_heights();
    void choosing_the_selected_shape_changes_nothing();
    void switching_between_cylindrical_shapes_resets_the_angle();
    void group_hint_data();
    void group_hint();
    void resting_on_a_disabled_field_shows_the_group_hint();
    void only_the_groups_have_hints();
    void tab_order();
    void points_typing_data();
    void points_typing();
    void points_stepping_data();
    void points_stepping();
    void points_arrow_buttons_step();
    void points_focus_out_data();
    void points_focus_out();
    void points_clamped_before_a_calculate_click();
    void points_not_clamped_by_the_calculate_shortcut();
    void points_clamped_when_the_user_selects_output();
};

void TestInputPage::start_up_state()
{
    Program program;
    QCOMPARE(shapes(program)->item_index(), 0);
    QCOMPARE(program.text("TextTankImage"), QStringLiteral("Spherical tank"));
    QCOMPARE(program.text("Ed_diameter"), QStringLiteral("10"));
    QCOMPARE(program.text("Ed_length_cyl"), QString());
    QCOMPARE(program.text("Ed_length_con"), QString());
    QCOMPARE(program.text("Ed_angle"), QString());
    QCOMPARE(program.text("Ed_min_signal"), QStringLiteral("min"));
    QCOMPARE(program.text("Ed_max_signal"), QStringLiteral("max"));
    QCOMPARE(program.text("Ed_points"), QStringLiteral("15"));
    QCOMPARE(enabled(program, parameter_widgets), always_enabled);
    QCOMPARE(visible_diagram(program), QStringLiteral("ImageSphTank"));

    auto *size = program.widget<QComboBox>("SizeUnits");
    auto *volume = program.widget<QComboBox>("VolumeUnits");
    QCOMPARE(size->currentText(), QStringLiteral("meters"));
    QCOMPARE(volume->currentText(), QStringLiteral("m3"));
    QVERIFY(!size->isEditable());
    QVERIFY(!volume->isEditable());
    QStringList sizes, volumes;
    for (int i = 0; i < size->count(); ++i)
        sizes << size->itemText(i);
    for (int i = 0; i < volume->count(); ++i)
        volumes << volume->itemText(i);
    QCOMPARE(sizes, (QStringList{"meters", "feet"}));
    QCOMPARE(volumes, (QStringList{"m3", "liters", "US gal", "ft3"}));

    QCOMPARE(program.widget<QPushButton>("BtnCalculate")->text(), QStringLiteral("&Calculate"));
    const QIcon glyph = program.widget<QPushButton>("BtnCalculate")->icon();
    QVERIFY(!glyph.isNull());
    QVERIFY(glyph.pixmap(16, 16, QIcon::Disabled).toImage() !=
            glyph.pixmap(16, 16, QIcon::Normal).toImage());
}

void TestInputPage::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");

    const struct
    {
        const char *name;
        QRect geometry;
    } widgets[] = {
        {"GroupTankShape", {8, 8, 402, 77}},      {"GroupUnits", {420, 8, 201, 77}},
        {"GroupParameters", {421, 92, 200, 217}}, {"BtnCalculate", {420, 320, 200, 49}},
        {"PanelImages", {8, 96, 402, 272}},       {"SizeUnits", {96, 16, 85, 21}},
        {"VolumeUnits", {96, 44, 85, 21}},        {"Ed_diameter", {124, 15, 57, 21}},
        {"Ed_length_cyl", {124, 43, 57, 21}},     {"Ed_length_con", {124, 71, 57, 21}},
        {"Ed_angle", {124, 99, 57, 21}},          {"Ed_min_signal", {124, 127, 57, 21}},
        {"Ed_max_signal", {125, 156, 57, 21}},    {"Ed_points", {124, 184, 57, 22}},
        {"TextTankImage", {1, 1, 400, 23}},       {"ImageSphTank", {1, 24, 400, 247}},
        {"ImageConTank", {1, 24, 400, 247}},      {"ImageCylTank", {1, 24, 400, 247}},
    };
    for (const auto &widget : widgets)
        QTest::newRow(widget.name) << QString::fromLatin1(widget.name) << widget.geometry;

    const struct
    {
        const char *name;
        QPoint position;
    } labels[] = {{"Lb_lin_units", {12, 20}},   {"Lb_vol_units", {12, 48}},
                  {"Lb_diameter", {12, 20}},    {"Lb_length_cyl", {12, 48}},
                  {"Lb_length_con", {12, 76}},  {"Lb_angle", {12, 100}},
                  {"Lb_angle1", {12, 112}},     {"Lb_min_signal", {12, 132}},
                  {"Lb_max_signal", {12, 160}}, {"Lb_points", {12, 188}}};
    for (const auto &label : labels)
        QTest::newRow(label.name) << QString::fromLatin1(label.name)
                                  << QRect(label.position, QSize());
}

// Positions and sizes; labels are sized to their text, so only their place counts.
void TestInputPage::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    Program program;
    const QWidget *widget = program.widget(name.toLatin1().constData());
    if (geometry.size().isEmpty()) {
        QCOMPARE(widget->pos(), geometry.topLeft());
        const auto *label = qobject_cast<const QLabel *>(widget);
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
    } else {
        QCOMPARE(widget->geometry(), geometry);
    }
}

void TestInputPage::shape_items_in_two_columns()
{
    Program program;
    const QStringList texts = {"Spherical",
                               "Conical",
                               "Cylindrical (flat ends)",
                               "Cylindrical (shallow ends)",
                               "Cylindrical (deep ends)",
                               "Cylindrical (hemispherical ends)"};
    QCOMPARE(shapes(program)->item_count(), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(shapes(program)->item_text(i), texts.at(i));
    // Items 0 to 2 down the left column, 3 to 5 down the right one.
    const auto pos = [&](int i) { return shapes(program)->item_button(i)->geometry(); };
    QCOMPARE(pos(0).left(), pos(2).left());
    QCOMPARE(pos(3).left(), pos(5).left());
    QVERIFY(pos(3).left() > pos(0).right() - 1);
    QCOMPARE(pos(0).top(), pos(3).top());
    QVERIFY(pos(0).top() < pos(1).top() && pos(1).top() < pos(2).top());
    QVERIFY(shapes(program)->rect().contains(pos(5)));
    QCOMPARE(shapes(program)->palette().color(QPalette::Window),
             shapes(program)->palette().color(QPalette::Button));
    QVERIFY(shapes(program)->autoFillBackground());
}

// Each diagram as its shape shows it (the pictures are loaded when first shown).
void TestInputPage::diagrams_are_centred_and_not_scaled()
{
    Program program;
    const struct
    {
        int shape;
        const char *name;
        QSize size;
    } diagrams[] = {{1, "ImageConTank", {344, 250}},
                    {5, "ImageCylTank", {399, 236}},
                    {0, "ImageSphTank", {308, 250}}};
    for (const auto &diagram : diagrams) {
        choose_shape(program, diagram.shape);
        const auto *box = program.widget<QLabel>(diagram.name);
        QVERIFY(box->isVisible());
        QCOMPARE(box->pixmap().size(), diagram.size);
        QVERIFY(!box->hasScaledContents());
        QCOMPARE(box->alignment(), Qt::AlignCenter);
    }
}

void TestInputPage::shape_change_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("also_enabled");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("diagram");

    // texts: length of cylinder, length of cone, angle, after the change; the
    // fields held "3", "1" and "7" (those that were enabled) before it.
    const QStringList conical_fields = {"Lb_length_cyl", "Ed_length_cyl", "Lb_length_con",
                                        "Ed_length_con"};
    const QStringList cylindrical_fields = {"Lb_length_cyl", "Ed_length_cyl", "Lb_angle",
                                            "Lb_angle1", "Ed_angle"};
    QTest::newRow("spherical to conical")
        << 0 << 1 << "Conical tank" << conical_fields << QStringList{"", "", ""} << "ImageConTank";
    QTest::newRow("flat ends to conical keeps L")
        << 2 << 1 << "Conical tank" << conical_fields << QStringList{"3", "", ""} << "ImageConTank";
    QTest::newRow("conical to spherical")
        << 1 << 0 << "Spherical tank" << QStringList() << QStringList{"", "", ""} << "ImageSphTank";
    QTest::newRow("conical to flat ends")
        << 1 << 2 << "Cylindrical (flat ends) tank" << cylindrical_fields
        << QStringList{"3", "", "0"} << "ImageCylTank";
    QTest::newRow("conical to hemispherical ends")
        << 1 << 5 << "Cylindrical (hemispherical ends) tank" << cylindrical_fields
        << QStringList{"3", "", "0"} << "ImageCylTank";
    QTest::newRow("shallow ends to conical")
        << 3 << 1 << "Conical tank" << conical_fields << QStringList{"3", "", ""} << "ImageConTank";
    QTest::newRow("deep ends to spherical")
        << 4 << 0 << "Spherical tank" << QStringList() << QStringList{"", "", ""} << "ImageSphTank";
}

// Each shape family enables its own fields, clears or keeps the texts and
// shows its diagram; diameter, points and units survive every change.
void TestInputPage::shape_change()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, title);
    QFETCH(QStringList, also_enabled);
    QFETCH(QStringList, texts);
    QFETCH(QString, diagram);

    Program program;
    choose_shape(program, from);
    for (const auto &[name, text] : {std::pair{"Ed_length_cyl", "3"},
                                     std::pair{"Ed_length_con", "1"}, std::pair{"Ed_angle", "7"}}) {
        if (program.widget(name)->isEnabled())
            program.set_text(name, QString::fromLatin1(text));
    }
    program.set_text("Ed_diameter", QStringLiteral("4.5"));
    program.set_text("Ed_points", QStringLiteral("7"));
    program.widget<QComboBox>("SizeUnits")->setCurrentIndex(1);
    program.widget<QComboBox>("VolumeUnits")->setCurrentIndex(2);

    choose_shape(program, to);

    QCOMPARE(shapes(program)->item_index(), to);
    QCOMPARE(int(program.form->calc_state().shape), to);
    QCOMPARE(program.text("TextTankImage"), title);
    QCOMPARE(program.text("TextTankShape"), title);
    QStringList expected_enabled;
    for (const QString &name : parameter_widgets) {
        if (always_enabled.contains(name) || also_enabled.contains(name))
            expected_enabled << name;
    }
    QCOMPARE(enabled(program, parameter_widgets), expected_enabled);
    QCOMPARE((QStringList{program.text("Ed_length_cyl"), program.text("Ed_length_con"),
                          program.text("Ed_angle")}),
             texts);
    QCOMPARE(visible_diagram(program), diagram);
    QCOMPARE(program.text("Ed_diameter"), QStringLiteral("4.5"));
    QCOMPARE(program.text("Ed_points"), QStringLiteral("7"));
    QCOMPARE(program.widget<QComboBox>("SizeUnits")->currentIndex(), 1);
    QCOMPARE(program.widget<QComboBox>("VolumeUnits")->currentIndex(), 2);
}

void TestInputPage::shape_change_resets_results_and_heights()
{
    Program program;
    program.set_text("Ed_min_signal", QStringLiteral("1"));
    program.set_text("Ed_max_signal", QStringLiteral("9"));
    press_calculate(program);
    QCOMPARE(program.grid_model()->rowCount(), 17);

    choose_shape(program, 1);
    QCOMPARE(program.grid_model()->rowCount(), 0);
    QCOMPARE(program.text("TextZero"), QStringLiteral(" Zero  = ?"));
    QCOMPARE(program.text("TextSpan"), QStringLiteral(" Span = ?"));
    QCOMPARE(program.text("Ed_min_signal"), QStringLiteral("min"));
    QCOMPARE(program.text("Ed_max_signal"), QStringLiteral("max"));
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetInput"));
}

void TestInputPage::choosing_the_selected_shape_changes_nothing()
{
    Program program;
    choose_shape(program, 2);
    program.set_text("Ed_length_cyl", QStringLiteral("5"));
    program.set_text("Ed_angle", QStringLiteral("10"));
    program.set_text("Ed_max_signal", QStringLiteral("2"));
    press_calculate(program);
    QCOMPARE(program.grid_model()->rowCount(), 17);
    const QString span = program.text("TextSpan");

    choose_shape(program, 2);
    QCOMPARE(program.grid_model()->rowCount(), 17);
    QCOMPARE(program.text("TextSpan"), span);
    QCOMPARE(program.text("Ed_max_signal"), QStringLiteral("2"));
    QCOMPARE(program.text("Ed_angle"), QStringLiteral("10"));
}

void TestInputPage::switching_between_cylindrical_shapes_resets_the_angle()
{
    Program program;
    choose_shape(program, 3);
    program.set_text("Ed_angle", QStringLiteral("12"));
    program.set_text("Ed_length_cyl", QStringLiteral("6"));
    choose_shape(program, 4);
    QCOMPARE(program.text("Ed_angle"), QStringLiteral("0"));
    QCOMPARE(program.text("Ed_length_cyl"), QStringLiteral("6"));
    QCOMPARE(program.text("TextTankImage"), QStringLiteral("Cylindrical (deep ends) tank"));
}

void TestInputPage::group_hint_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");
    QTest::newRow("disabled cylinder length") << "Ed_length_cyl"
                                              << "Enter parameters";
    QTest::newRow("disabled angle label") << "Lb_angle1"
                                          << "Enter parameters";
    QTest::newRow("diameter field") << "Ed_diameter"
                                    << "Enter parameters";
    QTest::newRow("points box") << "Ed_points"
                                << "Enter parameters";
    QTest::newRow("parameters group") << "GroupParameters"
                                      << "Enter parameters";
    QTest::newRow("size list") << "SizeUnits"
                               << "Choose units of measurement";
    QTest::newRow("units group") << "GroupUnits"
                                 << "Choose units of measurement";
    QTest::newRow("shape item") << "GroupTankShapeItem4"
                                << "Choose tank shape";
}

// Resting the pointer on a group or anything inside it, disabled widgets
// included, shows the group's hint.
void TestInputPage::group_hint()
{
    QFETCH(QString, name);
    QFETCH(QString, hint);

    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetInput");
    QWidget *widget = program.widget(name.toLatin1().constData());
    QVERIFY(widget);
    const QPoint inside = widget->rect().center();
    QHelpEvent help(QEvent::ToolTip, inside, widget->mapToGlobal(inside));
    QApplication::sendEvent(widget, &help);
    QTRY_COMPARE(QToolTip::text(), hint);
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
}

// The pointer coming to rest on a disabled field, as the user does it.
void TestInputPage::resting_on_a_disabled_field_shows_the_group_hint()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetInput");
    QWidget *field = program.widget("Ed_length_con");
    QVERIFY(!field->isEnabled());
    QTest::mouseMove(field, QPoint(5, 5));
    QTest::mouseMove(field, field->rect().center());
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Enter parameters"));
    QToolTip::hideText();
}

void TestInputPage::only_the_groups_have_hints()
{
    Program program;
    QStringList with_hint;
    for (QWidget *widget : program.page("TabSheetInput")->findChildren<QWidget *>()) {
        if (!widget->toolTip().isEmpty())
            with_hint << widget->objectName();
    }
    with_hint.sort();
    QCOMPARE(with_hint, (QStringList{"GroupParameters", "GroupTankShape", "GroupUnits"}));
}

void TestInputPage::tab_order()
{
    // Tab from the tab row walks the groups as laid out: the checked shape,
    // the units, the parameters, Calculate (the conical shape's fields).
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    choose_shape(program, 1);
    program.pages()->tabBar()->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        if (qobject_cast<QAbstractSpinBox *>(focus->parentWidget()))
            focus = focus->parentWidget(); // the points box's editor
        order << focus->objectName();
    }
    QCOMPARE(order, QStringList({"GroupTankShapeItem1", "SizeUnits", "VolumeUnits", "Ed_diameter",
                                 "Ed_length_cyl", "Ed_length_con", "Ed_min_signal", "Ed_max_signal",
                                 "Ed_points", "BtnCalculate"}));
}

void TestInputPage::points_typing_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");

    QTest::newRow("digits") << "12"
                            << "12" << 0;
    QTest::newRow("signs") << "+-3"
                           << "+-3" << 0;
    QTest::newRow("decimal point") << "1.5"
                                   << "1.5" << 0;
    QTest::newRow("letter refused") << "1a"
                                    << "1" << 1;
    QTest::newRow("comma is not the separator") << "1,5"
                                                << "15" << 1;
    QTest::newRow("blank refused") << " 7"
                                   << "7" << 1;
    QTest::newRow("dollar refused") << "$1"
                                    << "1" << 1;
}

void TestInputPage::points_typing()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, beeps);

    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetInput");
    pelorin::PointsEdit *box = points_box(program);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, keys);
    QCOMPARE(box->text(), text);
    QCOMPARE(program.prompts.beeps, beeps);
}

void TestInputPage::points_stepping_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");

    QTest::newRow("up from 15") << "15" << int(Qt::Key_Up) << "16";
    QTest::newRow("down from 15") << "15" << int(Qt::Key_Down) << "14";
    QTest::newRow("up from 25 stays") << "25" << int(Qt::Key_Up) << "25";
    QTest::newRow("down from 1 stays") << "1" << int(Qt::Key_Down) << "1";
    QTest::newRow("up from 30 to the bound") << "30" << int(Qt::Key_Up) << "25";
    QTest::newRow("down from -5 to the bound") << "-5" << int(Qt::Key_Down) << "1";
    QTest::newRow("up from a decimal counts as 1") << "1.5" << int(Qt::Key_Up) << "2";
    QTest::newRow("up from empty counts as 1") << "" << int(Qt::Key_Up) << "2";
    QTest::newRow("down from a sign counts as 1") << "-" << int(Qt::Key_Down) << "1";
    QTest::newRow("page up does not step") << "15" << int(Qt::Key_PageUp) << "15";
}

void TestInputPage::points_stepping()
{
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(QString, text);

    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetInput");
    pelorin::PointsEdit *box = points_box(program);
    box->setFocus();
    box->set_text(start);
    QTest::keyClick(box, Qt::Key(key));
    QCOMPARE(box->text(), text);
    QCOMPARE(program.prompts.beeps, 0);
}

void TestInputPage::points_arrow_buttons_step()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetInput");
    pelorin::PointsEdit *box = points_box(program);
    box->set_text(QStringLiteral("24"));

    QStyleOptionSpinBox option;
    option.initFrom(box);
    option.rect = box->rect();
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    option.frame = true;
    const QPoint up = box->style()
                          ->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, box)
                          .center();
    const QPoint down =
        box->style()
            ->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, box)
            .center();

    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, up);
    QCOMPARE(box->text(), QStringLiteral("25"));
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, up);
    QCOMPARE(box->text(), QStringLiteral("25"));
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, down);
    QCOMPARE(box->text(), QStringLiteral("24"));
}

void TestInputPage::points_focus_out_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");

    QTest::newRow("30 to 25") << "30"
                              << "25";
    QTest::newRow("0 to 1") << "0"
                            << "1";
    QTest::newRow("-5 to 1") << "-5"
                             << "1";
    QTest::newRow("12 kept") << "12"
                             << "12";
    QTest::newRow("+7 kept as typed") << "+7"
                                      << "+7";
    QTest::newRow("empty kept") << ""
                                << "";
    QTest::newRow("lone sign kept") << "-"
                                    << "-";
    QTest::newRow("decimal kept") << "1.5"
                                  << "1.5";
}

// Leaving the box puts a whole number into 1..25; other text stays for the
// calibration run to judge.
void TestInputPage::points_focus_out()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);

    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetInput");
    pelorin::PointsEdit *box = points_box(program);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), typed);

    QTest::keyClick(box, Qt::Key_Tab);
    QVERIFY(!box->hasFocus());
    QCOMPARE(box->text(), text);
}

void TestInputPage::points_clamped_before_a_calculate_click()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetInput");
    pelorin::PointsEdit *box = points_box(program);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("30"));
    QTest::keyClick(box, Qt::Key_Enter);
    QCOMPARE(program.prompts.beeps, 1);

    QTest::mouseClick(program.widget("BtnCalculate"), Qt::LeftButton);
    QCOMPARE(box->text(), QStringLiteral("25"));
    QCOMPARE(program.prompts.messages.size(), 0);
    QCOMPARE(program.grid_model()->rowCount(), 27);
}

void TestInputPage::points_not_clamped_by_the_calculate_shortcut()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetInput");
    pelorin::PointsEdit *box = points_box(program);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("30"));

    QTest::keyClick(box, Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(program.prompts.messages.size(), 1);
    QCOMPARE(program.prompts.messages.at(0).text, QStringLiteral("Invalid number of points !"));
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetInput"));
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(box->text(), QStringLiteral("30"));
}

// Selecting the Output tab takes the focus from the box first, as leaving it
// does: the run then uses the bound.
void TestInputPage::points_clamped_when_the_user_selects_output()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetInput");
    pelorin::PointsEdit *box = points_box(program);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("0"));

    program.click_page("TabSheetOutput");
    QCOMPARE(box->text(), QStringLiteral("1"));
    QCOMPARE(program.prompts.messages.size(), 0);
    QCOMPARE(program.grid_model()->rowCount(), 3);
}

QTEST_MAIN(TestInputPage)
#include "tst_input_page.moc"
