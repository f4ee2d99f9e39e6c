// The main window Form1: its state after start-up, the fixed size, the menu,
// which page changes run the calibration (only those the user makes) and how
// the About box comes and goes with the main window.

#include "gui_support.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QtTest>

using namespace gui_support;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void start_up_state();
    void every_named_widget_exists_data();
    void every_named_widget_exists();
    void window_size_is_fixed();
    void menu_has_two_commands_without_sub_menus();
    void tab_click_data();
    void tab_click();
    void keyboard_page_change_data();
    void keyboard_page_change();
    void report_page_is_never_reached();
    void run_switching_to_output_runs_no_second_calculation();
    void rejection_after_selecting_output_runs_once();
    void rejection_focuses_the_field_data();
    void rejection_focuses_the_field();
    void about_command_shows_the_box();
    void about_box_hides_data();
    void about_box_hides();
};

void TestMainWindow::start_up_state()
{
    Program program;
    QCOMPARE(program.form->windowTitle(), QStringLiteral("PELORIN"));
    QCOMPARE(program.form->objectName(), QStringLiteral("Form1"));
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetStart"));

    QStringList visible_tabs;
    for (int i = 0; i < program.pages()->count(); ++i) {
        if (program.pages()->isTabVisible(i))
            visible_tabs << program.pages()->tabText(i);
    }
    QCOMPARE(visible_tabs, (QStringList{"Info", "Input", "Output", "Help"}));
    QWidget *report_page = program.page("TabSheetReport");
    QVERIFY(!program.pages()->isTabVisible(program.pages()->indexOf(report_page)));
    QVERIFY(!program.widget("PanelReport")->isVisibleTo(report_page));

    QCOMPARE(program.text("TextTankImage"), QStringLiteral("Spherical tank"));
    QCOMPARE(program.text("TextTankShape"), QStringLiteral("Spherical tank"));
    QCOMPARE(program.text("TextZero"), QStringLiteral(" Zero  = ?"));
    QCOMPARE(program.text("TextSpan"), QStringLiteral(" Span = ?"));
    QCOMPARE(program.grid_model()->rowCount(), 0);
    QCOMPARE(int(program.form->calc_state().shape), 0);
    QVERIFY(!program.about->isVisible());
}

void TestMainWindow::every_named_widget_exists_data()
{
    QTest::addColumn<QString>("name");
    const char *const names[] = {
        "Form1",          "MainMenu1",     "Exit1",           "About1",
        "PageControl1",   "TabSheetStart", "TabSheetInput",   "TabSheetOutput",
        "TabSheetReport", "PanelReport",   "TabSheetHelp",    "PanelInput",
        "GroupTankShape", "GroupUnits",    "Lb_lin_units",    "Lb_vol_units",
        "SizeUnits",      "VolumeUnits",   "GroupParameters", "Lb_diameter",
        "Ed_diameter",    "Lb_length_cyl", "Ed_length_cyl",   "Lb_length_con",
        "Ed_length_con",  "Lb_angle",      "Lb_angle1",       "Ed_angle",
        "Lb_min_signal",  "Ed_min_signal", "Lb_max_signal",   "Ed_max_signal",
        "Lb_points",      "Ed_points",     "BtnCalculate",    "PanelImages",
        "TextTankImage",  "ImageSphTank",  "ImageConTank",    "ImageCylTank",
        "PanelOutput",    "DBGrid1",       "TextTankShape",   "TextZero",
        "TextSpan",       "StaticText1",   "TextFormula",     "BtnReport",
        "Memo1"};
    for (const char *name : names)
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestMainWindow::every_named_widget_exists()
{
    QFETCH(QString, name);
    Program program;
    const bool found =
        program.form->objectName() == name || program.form->findChild<QObject *>(name) != nullptr;
    QVERIFY2(found, qPrintable(name));
}

void TestMainWindow::window_size_is_fixed()
{
    Program program;
    QCOMPARE(program.form->minimumSize(), program.form->maximumSize());
    QCOMPARE(program.form->width(), 637);
    QCOMPARE(program.pages()->size(), QSize(637, 414));

    program.form->resize(900, 700);
    QCOMPARE(program.pages()->size(), QSize(637, 414));
    const QSize size = program.form->size();
    program.form->showMaximized();
    QTest::qWait(20);
    QCOMPARE(program.form->size(), size);
    QCOMPARE(program.pages()->size(), QSize(637, 414));

    // Every page is 629 x 386; the grid takes the Output page's height below its strips.
    for (int page = 0; page < program.pages()->count(); ++page) {
        program.form->set_active_page(program.pages()->widget(page));
        QCOMPARE(program.active_page()->size(), QSize(629, 386));
    }
    program.form->set_active_page(program.page("TabSheetOutput"));
    QCOMPARE(program.widget("DBGrid1")->geometry(), QRect(1, 44, 408, 341));
}

void TestMainWindow::menu_has_two_commands_without_sub_menus()
{
    Program program;
    auto *menu = program.widget<QMenuBar>("MainMenu1");
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions.at(0)->objectName(), QStringLiteral("Exit1"));
    QCOMPARE(actions.at(0)->text(), QStringLiteral("E&xit"));
    QCOMPARE(actions.at(1)->objectName(), QStringLiteral("About1"));
    QCOMPARE(actions.at(1)->text(), QStringLiteral("&About"));
    QVERIFY(!actions.at(0)->menu());
    QVERIFY(!actions.at(1)->menu());
    QCOMPARE(program.form->menuBar(), menu);
}

void TestMainWindow::tab_click_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("runs");
    QTest::newRow("Info") << "TabSheetStart" << false;
    QTest::newRow("Input") << "TabSheetInput" << false;
    QTest::newRow("Output") << "TabSheetOutput" << true;
    QTest::newRow("Help") << "TabSheetHelp" << false;
}

// Clicking a tab selects its page; only the Output page runs the calibration.
void TestMainWindow::tab_click()
{
    QFETCH(QString, page);
    QFETCH(bool, runs);

    Program program;
    // Start away from the page so that the click changes the page.
    click_tab(
        program.pages(),
        program.widget(page == QLatin1String("TabSheetHelp") ? "TabSheetInput" : "TabSheetHelp"));
    QCOMPARE(program.grid_model()->rowCount(), 0);

    click_tab(program.pages(), program.widget(page.toLatin1().constData()));
    QCOMPARE(program.active_page_name(), page);
    QCOMPARE(program.grid_model()->rowCount(), runs ? 17 : 0);
    QCOMPARE(program.text("TextZero"),
             runs ? QStringLiteral(" Zero  = 0.000") : QStringLiteral(" Zero  = ?"));
}

void TestMainWindow::keyboard_page_change_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("on_tab_bar");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("runs");

    QTest::newRow("Ctrl+Tab Input to Output")
        << "TabSheetInput" << int(Qt::Key_Tab) << int(Qt::ControlModifier) << false
        << "TabSheetOutput" << true;
    QTest::newRow("Ctrl+Tab Info to Input")
        << "TabSheetStart" << int(Qt::Key_Tab) << int(Qt::ControlModifier) << false
        << "TabSheetInput" << false;
    QTest::newRow("Ctrl+Shift+Tab Help to Output")
        << "TabSheetHelp" << int(Qt::Key_Backtab) << int(Qt::ControlModifier | Qt::ShiftModifier)
        << false << "TabSheetOutput" << true;
    QTest::newRow("Right arrow on the tabs Input to Output")
        << "TabSheetInput" << int(Qt::Key_Right) << int(Qt::NoModifier) << true << "TabSheetOutput"
        << true;
    QTest::newRow("Left arrow on the tabs Output to Input")
        << "TabSheetOutput" << int(Qt::Key_Left) << int(Qt::NoModifier) << true << "TabSheetInput"
        << false;
}

// Page changes made with the keyboard count as the user's selection too.
void TestMainWindow::keyboard_page_change()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, on_tab_bar);
    QFETCH(QString, to);
    QFETCH(bool, runs);

    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.form->set_active_page(program.widget(from.toLatin1().constData()));
    QWidget *target = program.pages();
    if (on_tab_bar) {
        program.pages()->tabBar()->setFocus(Qt::TabFocusReason);
        target = program.pages()->tabBar();
    }
    QCOMPARE(program.grid_model()->rowCount(), 0);

    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(program.active_page_name(), to);
    QCOMPARE(program.grid_model()->rowCount(), runs ? 17 : 0);
}

void TestMainWindow::report_page_is_never_reached()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetOutput");
    QTest::keyClick(program.pages(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetHelp"));

    program.click_page("TabSheetOutput");
    program.pages()->tabBar()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(program.pages()->tabBar(), Qt::Key_Right);
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetHelp"));
}

// The run makes the Output page active itself: that switch starts no second
// run, so an invalid input is rejected once.
void TestMainWindow::run_switching_to_output_runs_no_second_calculation()
{
    Program program;
    program.click_page("TabSheetInput");
    program.set_text("Ed_points", QStringLiteral("0"));
    int runs_seen = 0;
    // A second run would reach the rejection again while the first one is
    // still showing its box.
    program.prompts.on_message = [&](const RecordingPrompts::Message &) {
        ++runs_seen;
        QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetOutput"));
    };
    press_calculate(program);

    QCOMPARE(runs_seen, 1);
    QCOMPARE(program.prompts.beeps, 1);
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetInput"));
}

void TestMainWindow::rejection_after_selecting_output_runs_once()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.set_text("Ed_max_signal", QStringLiteral("11"));
    program.click_page("TabSheetOutput");

    QCOMPARE(program.prompts.beeps, 1);
    QCOMPARE(program.prompts.messages.size(), 1);
    QCOMPARE(program.prompts.messages.at(0).text, QStringLiteral("Invalid height (h2) !"));
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetInput"));
    QCOMPARE(QApplication::focusWidget(), program.widget("Ed_max_signal"));
    QCOMPARE(program.grid_model()->rowCount(), 0);
}

void TestMainWindow::rejection_focuses_the_field_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("mouse") << "mouse";
    QTest::newRow("Ctrl+Tab") << "Ctrl+Tab";
    QTest::newRow("arrow key") << "arrow key";
}

// However the Output page is selected, a rejection ends on the Input page
// with the offending field focused once the message box has gone.
void TestMainWindow::rejection_focuses_the_field()
{
    QFETCH(QString, way);
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.click_page("TabSheetInput");
    program.set_text("Ed_max_signal", QStringLiteral("11"));
    QWidget box;
    program.prompts.on_message = [&](const RecordingPrompts::Message &) {
        // As a modal box does: it takes the activation while it is shown.
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.hide();
    };

    if (way == QLatin1String("mouse")) {
        program.click_page("TabSheetOutput");
    } else if (way == QLatin1String("Ctrl+Tab")) {
        program.widget("Ed_diameter")->setFocus();
        QTest::keyClick(program.widget("Ed_diameter"), Qt::Key_Tab, Qt::ControlModifier);
    } else {
        program.pages()->tabBar()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(program.pages()->tabBar(), Qt::Key_Right);
    }
    QCOMPARE(program.prompts.messages.size(), 1);
    // The window system gives the activation back when the box has gone.
    program.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    QCOMPARE(program.active_page_name(), QStringLiteral("TabSheetInput"));
    QCOMPARE(QApplication::focusWidget(), program.widget("Ed_max_signal"));
}

void TestMainWindow::about_command_shows_the_box()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.action("About1")->trigger();
    QVERIFY(program.about->isVisible());
    QVERIFY(!program.about->isModal());
    QVERIFY(program.form->isEnabled());

    program.action("About1")->trigger();
    QVERIFY(program.about->isVisible());
}

void TestMainWindow::about_box_hides_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK button") << "ok";
    QTest::newRow("Enter on OK") << "enter";
    QTest::newRow("caption close button") << "close";
    QTest::newRow("main window activated") << "activate";
}

void TestMainWindow::about_box_hides()
{
    QFETCH(QString, how);
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    program.action("About1")->trigger();
    QVERIFY(QTest::qWaitForWindowActive(program.about.get()));

    if (how == QLatin1String("ok")) {
        QTest::mouseClick(program.about_widget<QPushButton>("OKButton"), Qt::LeftButton);
    } else if (how == QLatin1String("enter")) {
        auto *ok = program.about_widget<QPushButton>("OKButton");
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
    } else if (how == QLatin1String("close")) {
        QVERIFY(!program.about->close());
    } else {
        program.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    }
    QTRY_VERIFY(!program.about->isVisible());
    QVERIFY(program.form->isVisible());

    // The box is kept and comes back on the next command.
    program.action("About1")->trigger();
    QVERIFY(program.about->isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
