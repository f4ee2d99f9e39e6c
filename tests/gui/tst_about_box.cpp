// The About box: its frame and texts, the double bevel of its panel, and its
// placing: centred the first time, where the user left it afterwards.

#include "gui_support.h"

#include <QImage>
#include <QScreen>
#include <QtTest>

using namespace gui_support;

class TestAboutBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { start_up(); }
    void window_properties();
    void texts();
    void panel_has_a_lowered_outer_and_a_raised_inner_edge();
    void icon_is_stretched_to_its_box();
    void centred_first_then_left_where_moved();
    void escape_does_not_hide_the_box();
};

void TestAboutBox::window_properties()
{
    pelorin::TAboutBox box;
    QCOMPARE(box.objectName(), QStringLiteral("AboutBox"));
    QCOMPARE(box.windowTitle(), QStringLiteral("About PELORIN"));
    QCOMPARE(box.size(), QSize(298, 213));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    const Qt::WindowFlags flags = box.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!box.isModal());
    QVERIFY(!box.isVisible());
    QVERIFY(box.ui.OKButton->isDefault());
    QCOMPARE(box.ui.OKButton->text(), QStringLiteral("OK"));
    QCOMPARE(box.ui.OKButton->geometry(), QRect(111, 180, 75, 25));
    QCOMPARE(box.ui.Panel1->geometry(), QRect(8, 8, 281, 161));
}

void TestAboutBox::texts()
{
    pelorin::TAboutBox box;
    QCOMPARE(box.ui.ProductName->text(), QStringLiteral("Program: Deva Redero Rovovazuze"));
    QCOMPARE(box.ui.Version->text(), QStringLiteral("Version: 1.06"));
    QCOMPARE(box.ui.ProductName->pos(), QPoint(88, 16));
    QCOMPARE(box.ui.Version->pos(), QPoint(88, 40));
    const QStringList captions = memo_lines(box.ui.Memo1);
    QCOMPARE(captions.size(), 5);
    QCOMPARE(captions.mid(1), (QStringList{"Phone:", "Fax:", "Email:", "Web site:"}));
    QCOMPARE(memo_lines(box.ui.Memo2).size(), 5);
    QVERIFY(!box.ui.Memo2->isReadOnly());
}

void TestAboutBox::panel_has_a_lowered_outer_and_a_raised_inner_edge()
{
    pelorin::TAboutBox box;
    const QImage panel = box.ui.Panel1->grab().toImage();
    const QPalette &colors = box.ui.Panel1->palette();
    const QRgb dark = colors.color(QPalette::Dark).rgb();
    const QRgb light = colors.color(QPalette::Light).rgb();
    const int right = panel.width() - 1;
    const int bottom = panel.height() - 1;
    // Sampled beside the texts: x 20 below the icon, y 64 between the version
    // and the contact block.
    // Outer edge: dark at the top and left, light at the bottom and right.
    QCOMPARE(panel.pixel(20, 0), dark);
    QCOMPARE(panel.pixel(0, 64), dark);
    QCOMPARE(panel.pixel(20, bottom), light);
    QCOMPARE(panel.pixel(right, 64), light);
    // Inner edge the other way round.
    QCOMPARE(panel.pixel(20, 1), light);
    QCOMPARE(panel.pixel(1, 64), light);
    QCOMPARE(panel.pixel(20, bottom - 1), dark);
    QCOMPARE(panel.pixel(right - 1, 64), dark);
}

void TestAboutBox::icon_is_stretched_to_its_box()
{
    pelorin::TAboutBox box;
    QCOMPARE(box.ui.ProgramIcon->geometry(), QRect(28, 20, 32, 32));
    QVERIFY(box.ui.ProgramIcon->hasScaledContents());
    QVERIFY(!box.ui.ProgramIcon->pixmap().isNull());
}

void TestAboutBox::centred_first_then_left_where_moved()
{
    pelorin::TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QPoint centre = box.screen()->availableGeometry().center();
    QVERIFY((box.frameGeometry().center() - centre).manhattanLength() <= 2);

    const QPoint moved = box.pos() + QPoint(40, -30);
    box.move(moved);
    box.ui.OKButton->click();
    QVERIFY(!box.isVisible());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.pos(), moved);
}

void TestAboutBox::escape_does_not_hide_the_box()
{
    pelorin::TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key_Escape);
    QVERIFY(box.isVisible());
}

QTEST_MAIN(TestAboutBox)
#include "tst_about_box.moc"
