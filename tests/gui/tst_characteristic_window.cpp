// The Characteristic window as the user reaches it from the Output page: the
// shortcut only there and only after a run, a window that follows new runs and
// closes with Esc, the look-ups, and what it writes (level table, PNG, SVG,
// clipboard).

#include "gui_support.h"

#include "ui/characteristic_window.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QFontInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>

using namespace gui_support;

namespace {

pelorin::CharacteristicWindow *open_window(const Program &program)
{
    QWidget *grid = program.widget("DBGrid1");
    QTest::keyClick(grid->window(), Qt::Key_L, Qt::ControlModifier);
    return program.form->characteristic_window();
}

QString label_text(const QWidget *window, const char *name)
{
    return named<QLabel>(window, name)->text();
}

} // namespace

class TestCharacteristicWindow : public QObject
{
    Q_OBJECT

private slots:
    void opens_from_the_output_page_and_follows_runs();
    void look_ups();
    void writes_table_and_pictures();
    void mnemonics_without_clashes();
};

void TestCharacteristicWindow::opens_from_the_output_page_and_follows_runs()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    auto *show = program.widget<QAction>("ShowCharacteristic");
    QCOMPARE(show->text(), QStringLiteral("S&how characteristic"));
    QCOMPARE(show->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
    QVERIFY(show->isShortcutVisibleInContextMenu());
    QVERIFY(!show->isEnabled());

    // Not before a run, not on the Input page.
    program.form->set_active_page(program.page("TabSheetOutput"));
    QVERIFY(!open_window(program));
    press_calculate(program);
    program.form->set_active_page(program.page("TabSheetInput"));
    QTest::keyClick(program.form.get(), Qt::Key_L, Qt::ControlModifier);
    QVERIFY(!program.form->characteristic_window());

    program.form->set_active_page(program.page("TabSheetOutput"));
    pelorin::CharacteristicWindow *window = open_window(program);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isModal());
    QCOMPARE(window->windowTitle(),
             QStringLiteral("Characteristic \u2014 Spherical tank \u2014 PELORIN"));
    QCOMPARE(label_text(window, "LargestError"),
             QStringLiteral("Largest error = -0.268 % of span (-1.402 m3) at level 0.970 "
                            "(9.695 meters)"));
    QVERIFY(label_text(window, "PointsNeeded").startsWith("Points needed for 1 % = 8; "));

    // A new run while it is open: 25 points.
    program.form->set_active_page(program.page("TabSheetInput"));
    program.set_text("Ed_points", QStringLiteral("25"));
    press_calculate(program);
    QCOMPARE(window->shown().table.size(), std::size_t(27));
    QVERIFY(!label_text(window, "LargestError").contains("-0.268"));

    // A rejected run leaves the last good one.
    program.form->set_active_page(program.page("TabSheetInput"));
    program.set_text("Ed_diameter", QStringLiteral("-1"));
    press_calculate(program);
    QCOMPARE(window->shown().table.size(), std::size_t(27));

    // A new shape clears the table: the window says it shows the last run.
    auto *note = named<QLabel>(window, "LastRunNote");
    QVERIFY(note->isHidden());
    program.set_text("Ed_diameter", QStringLiteral("10"));
    choose_shape(program, 2);
    QVERIFY(!note->isHidden());
    choose_shape(program, 0);
    press_calculate(program);
    QVERIFY(note->isHidden());

    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

void TestCharacteristicWindow::look_ups()
{
    Program program;
    press_calculate(program);
    program.form->show_characteristic();
    pelorin::CharacteristicWindow *window = program.form->characteristic_window();
    QVERIFY(window);

    const struct
    {
        const char *field, *result, *text, *expected;
    } cases[] = {
        {"LookUpHeight", "LookUpHeightResult", "5", "Volume = 261.799 m3, normalized 0.500"},
        {"LookUpHeight", "LookUpHeightResult", "10.001",
         "The height lies outside h1 .. h2 (0.000 to 10.000 meters)"},
        {"LookUpHeight", "LookUpHeightResult", "five", "'five' is not a valid floating point"},
        {"LookUpVolume", "LookUpVolumeResult", "261.799",
         "Height = 5.000 meters, normalized 0.500"},
        // The range as shown, 523.599 for 523.5988.
        {"LookUpVolume", "LookUpVolumeResult", "523.599", "Height = 10.000 meters"},
        {"LookUpVolume", "LookUpVolumeResult", "523.6",
         "The volume lies outside Zero .. Zero + Span (0.000 to 523.599 m3)"},
    };
    const int width = window->width();
    for (const auto &c : cases) {
        named<QLineEdit>(window, c.field)->setText(QString::fromLatin1(c.text));
        QVERIFY2(label_text(window, c.result).startsWith(QLatin1String(c.expected)),
                 qPrintable(label_text(window, c.result)));
    }
    // A long message wraps in the window's width, at its smallest too.
    window->resize(window->minimumSizeHint());
    const int smallest = window->width();
    named<QLineEdit>(window, "LookUpHeight")->setText(QString(200, QLatin1Char('9')) + "x");
    QApplication::processEvents();
    QCOMPARE(window->width(), smallest);
    QVERIFY(width >= smallest);
}

// Every label with a field and every button answers to its own Alt+letter.
void TestCharacteristicWindow::mnemonics_without_clashes()
{
    Program program;
    press_calculate(program);
    program.form->show_characteristic();
    pelorin::CharacteristicWindow *window = program.form->characteristic_window();
    QVERIFY(window);
    QStringList texts;
    for (const QLabel *label : window->findChildren<QLabel *>())
        if (label->buddy())
            texts << label->text();
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
        texts << button->text();
    QSet<QChar> keys;
    for (const QString &text : texts) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(text));
        const QChar key = text.at(at + 1).toLower();
        QVERIFY2(!keys.contains(key), qPrintable(text));
        keys.insert(key);
    }
    QVERIFY(keys.size() >= 7);
}

void TestCharacteristicWindow::writes_table_and_pictures()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    Program program;
    press_calculate(program);
    program.form->show_characteristic();
    pelorin::CharacteristicWindow *window = program.form->characteristic_window();
    QVERIFY(window);

    // The level table at the usual 1 cm: 0 to 10 m is 1001 rows.
    QCOMPARE(named<QLineEdit>(window, "LevelStep")->text(), QStringLiteral("0.01"));
    program.prompts.save_answer = folder.filePath("levels.csv");
    named<QPushButton>(window, "SaveLevelTable")->click();
    QFile levels(program.prompts.save_answer);
    QVERIFY(levels.open(QIODevice::ReadOnly));
    const QByteArray csv = levels.readAll();
    QCOMPARE(csv.count("\r\n"), 1002);
    QVERIFY(csv.contains("\r\n5.000,261.799,0.500,0.500\r\n"));

    QCOMPARE(program.prompts.proposed_names, QStringList{"spherical-level-table.csv"});

    // A step the table cannot show, or none, is refused before any file is
    // asked for, in a box of this window.
    program.prompts.titles.clear();
    const struct
    {
        const char *step, *message;
    } refused[] = {
        {"0.00001", "A step of 0.00001 is finer than the table shows its heights: the step must "
                    "be at least 0.001."},
        {" ", "Enter the height step of the level table in the Step field."},
    };
    for (const auto &r : refused) {
        program.prompts.messages.clear();
        named<QLineEdit>(window, "LevelStep")->setText(QString::fromLatin1(r.step));
        named<QPushButton>(window, "SaveLevelTable")->click();
        QCOMPARE(program.prompts.messages.size(), 1);
        QCOMPARE(program.prompts.messages.constFirst().text, QString::fromLatin1(r.message));
        QCOMPARE(program.prompts.messages.constFirst().parent, window);
    }
    QVERIFY(program.prompts.titles.isEmpty());

    // A failed save: the box belongs to the window.
    program.prompts.messages.clear();
    program.prompts.save_answer = folder.filePath("missing/plot.png");
    named<QPushButton>(window, "SavePicture")->click();
    QCOMPARE(program.prompts.messages.size(), 1);
    QCOMPARE(program.prompts.messages.constFirst().parent, window);
    QVERIFY(program.prompts.messages.constFirst().text.endsWith(QLatin1Char('.')));
    QCOMPARE(program.prompts.proposed_names.constLast(), "spherical-characteristic.png");

    const QSize plot = window->findChild<QWidget *>("Plot")->size();
    program.prompts.save_answer = folder.filePath("plot.png");
    named<QPushButton>(window, "SavePicture")->click();
    QCOMPARE(QImage(program.prompts.save_answer).size(), plot);
    program.prompts.save_answer = folder.filePath("plot.svg");
    named<QPushButton>(window, "SavePicture")->click();
    QFile svg(program.prompts.save_answer);
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray vector = svg.readAll();
    QVERIFY(vector.contains("<svg") && vector.contains("<polyline"));
    QVERIFY(vector.contains("Linearization error"));
    // The font the window draws with, by the name the system knows it.
    QVERIFY(!vector.contains("MS Sans Serif"));
    QVERIFY(
        vector.contains(QFontInfo(window->findChild<QWidget *>("Plot")->font()).family().toUtf8()));

    QGuiApplication::clipboard()->clear();
    named<QPushButton>(window, "CopyPicture")->click();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), plot);
    QCOMPARE(program.prompts.messages.size(), 1);
}

QTEST_MAIN(TestCharacteristicWindow)
#include "tst_characteristic_window.moc"
