// The About box: its frame and texts, the double bevel of its panel, and its
// placing: centred the first time, where the user left it afterwards.

#include "gui_support.h"

#include "ui/bevel_panel.h"

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
    const auto *ok = named<QPushButton>(&box, "OKButton");
    QVERIFY(ok->isDefault());
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(ok->geometry(), QRect(111, 180, 75, 25));
    QCOMPARE(named<pelorin::BevelPanel>(&box, "Panel1")->geometry(), QRect(8, 8, 281, 161));
}

void TestAboutBox::texts()
{
    pelorin::TAboutBox box;
    const auto *product = named<QLabel>(&box, "ProductName");
    const auto *version = named<QLabel>(&box, "Version");
    QCOMPARE(product->text(), QStringLiteral("Program: Deva Redero Rovovazuze"));
    QCOMPARE(version->text(), QStringLiteral("Version: 1.06"));
    QCOMPARE(product->pos(), QPoint(88, 16));
    QCOMPARE(version->pos(), QPoint(88, 40));
    const QStringList captions = memo_lines(named<QPlainTextEdit>(&box, "Memo1"));
    QCOMPARE(captions.size(), 5);
    QCOMPARE(captions.mid(1), (QStringList{"Phone:", "Fax:", "Email:", "Web site:"}));
    const auto *contacts = named<QPlainTextEdit>(&box, "Memo2");
    QCOMPARE(memo_lines(contacts).size(), 5);
    QVERIFY(!contacts->isReadOnly());
}

void TestAboutBox::panel_has_a_lowered_outer_and_a_raised_inner_edge()
{
    pelorin::TAboutBox box;
    auto *bevel = named<pelorin::BevelPanel>(&box, "Panel1");
    const QImage panel = bevel->grab().toImage();
    const QPalette &colors = bevel->palette();
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
    const auto *icon = named<QLabel>(&box, "ProgramIcon");
    QCOMPARE(icon->geometry(), QRect(28, 20, 32, 32));
    QVERIFY(icon->hasScaledContents());
    QVERIFY(!icon->pixmap().isNull());
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
    named<QPushButton>(&box, "OKButton")->click();
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
