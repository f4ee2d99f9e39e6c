// The static Info and Help pages: their texts line for line, fonts, colours,
// geometry, tab order and pictures.

#include "calc/shapes.h"
#include "resources/pictures.h"
#include "ui/help_page.h"
#include "ui/info_page.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include <stdexcept>

using pelorin::HelpPage;
using pelorin::InfoPage;

namespace {

const QStringList introduction = {
    QStringLiteral("This program is designed to assist users in "),
    QStringLiteral("calculating a theoretical relationship between "),
    QStringLiteral("level and volume for a range of tank shapes. "),
    QStringLiteral("The program outputs data in format suitable for "),
    QStringLiteral("programming setup parameters into the Model "),
    QStringLiteral("Ostrel."),
    QString(),
    QStringLiteral("Factors such as temperature, tank distortion and "),
    QStringLiteral("other mechanical influences are ignored and "),
    QStringLiteral("Tarnvik strongly recommend that the user verify "),
    QStringLiteral("the volume-level characteristics of the tank "),
    QStringLiteral("through measurement."),
    QString(),
    QStringLiteral("Note that neither Tarnvik nor its agents accept "),
    QStringLiteral("any responsibility for the correctness of the "),
    QStringLiteral("calculations or their suitability for a particular "),
    QStringLiteral("installation."),
};

// The lines of a multi-line text as the user sees them: one per text block.
QStringList memo_lines(const QPlainTextEdit *memo)
{
    QStringList lines;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

// The widgets of a page in the order of its focus chain, restricted to the
// named widgets of the page (internal parts such as viewports are skipped).
QStringList focus_chain(QWidget *page, const QStringList &names)
{
    QStringList order;
    QWidget *widget = page->nextInFocusChain();
    while (widget != page) {
        if (names.contains(widget->objectName()))
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    }
    return order;
}

template <typename Widget> Widget *child(const QWidget *page, const char *name)
{
    Widget *widget = page->findChild<Widget *>(QLatin1String(name));
    if (!widget)
        qFatal("page %s has no widget %s", qPrintable(page->objectName()), name);
    return widget;
}

} // namespace

class TestInfoHelpPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void info_page_is_the_start_page();
    void introduction_lines_data();
    void introduction_lines();
    void help_lines_data();
    void help_lines();
    void headings_data();
    void headings();
    void help_texts_data();
    void help_texts();
    void memos_are_borderless_typing_fields_data();
    void memos_are_borderless_typing_fields();
    void memo_lines_are_not_cut_off_data();
    void memo_lines_are_not_cut_off();
    void typing_into_a_memo_changes_only_its_text();
    void geometry_data();
    void geometry();
    void tab_order_data();
    void tab_order();
    void tab_key_walks_the_help_memos();
    void shapes_name_their_help_sections();

    void pictures_have_their_sizes_data();
    void pictures_have_their_sizes();
    void logo_is_stored_as_jpeg();
    void instrument_picture_sized_and_centred();
    void logo_shown_unscaled_with_its_edge_cut();
    void tank_end_picture_fills_white_panel();
    void info_page_fails_without_jpeg_decoder();
};

void TestInfoHelpPages::initTestCase()
{
    // As the program does at start-up: the layout font is drawn with its
    // metric twin.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

void TestInfoHelpPages::info_page_is_the_start_page()
{
    InfoPage info;
    HelpPage help;
    QCOMPARE(info.objectName(), QStringLiteral("TabSheetStart"));
    QCOMPARE(help.objectName(), QStringLiteral("TabSheetHelp"));
    QCOMPARE(info.size(), QSize(629, 386));
    QCOMPARE(help.size(), QSize(629, 386));
    QCOMPARE(child<QLabel>(&info, "StaticText2")->text(),
             QStringLiteral("Deva  Redero  Rovovazuze"));
    QCOMPARE(child<QLabel>(&help, "StaticText4")->text(), QStringLiteral("Tank  Ends"));
    QVERIFY(child<QLabel>(&info, "StaticText3")->text().isEmpty());
    QVERIFY(child<QLabel>(&help, "StaticText8")->text().isEmpty());

    // Both pages are drawn on the button-face colour.
    for (QWidget *page : {static_cast<QWidget *>(&info), static_cast<QWidget *>(&help)}) {
        QVERIFY(page->autoFillBackground());
        QCOMPARE(page->palette().color(page->backgroundRole()),
                 page->palette().color(QPalette::Button));
    }
}

void TestInfoHelpPages::introduction_lines_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    for (int i = 0; i < introduction.size(); ++i)
        QTest::addRow("Memo2 line %02d", i + 1) << i << introduction.at(i);
}

void TestInfoHelpPages::introduction_lines()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    InfoPage page;
    const QStringList lines = memo_lines(child<QPlainTextEdit>(&page, "Memo2"));
    QCOMPARE(lines.size(), 17);
    QCOMPARE(lines.at(line), expected);
}

void TestInfoHelpPages::help_lines_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Memo3 shallow ends")
        << "Memo3"
        << QStringList{
               QStringLiteral("Tanks with shallow ends approximate end shapes manufactured "),
               QStringLiteral("to DIN standard 28011 with dimensions as follows:")};
    QTest::newRow("Memo4 shallow formulas")
        << "Memo4"
        << QStringList{QStringLiteral("Radius R = d"), QStringLiteral("Knuckle radius r = 0.06R")};
    QTest::newRow("Memo5 deep ends")
        << "Memo5"
        << QStringList{QStringLiteral("Tanks with deep ends approximate end shapes manufactured "),
                       QStringLiteral("to DIN standard 28013 with dimensions as follows:")};
    QTest::newRow("Memo6 deep formula")
        << "Memo6" << QStringList{QStringLiteral("Height  h = d / 4")};
    QTest::newRow("Memo7 hemispherical ends")
        << "Memo7"
        << QStringList{
               QStringLiteral("Tanks with hemispherical ends have the following dimensions:")};
    QTest::newRow("Memo8 hemispherical formula")
        << "Memo8" << QStringList{QStringLiteral("Radius  R = d / 2")};
}

void TestInfoHelpPages::help_lines()
{
    QFETCH(QString, memo);
    QFETCH(QStringList, expected);
    HelpPage page;
    QCOMPARE(memo_lines(child<QPlainTextEdit>(&page, qPrintable(memo))), expected);
}

void TestInfoHelpPages::headings_data()
{
    QTest::addColumn<bool>("help");
    QTest::addColumn<QString>("name");
    QTest::newRow("Info StaticText2") << false << "StaticText2";
    QTest::newRow("Help StaticText4") << true << "StaticText4";
}

void TestInfoHelpPages::headings()
{
    QFETCH(bool, help);
    QFETCH(QString, name);
    InfoPage info;
    HelpPage help_page;
    QWidget *page = help ? static_cast<QWidget *>(&help_page) : &info;
    const QLabel *heading = child<QLabel>(page, qPrintable(name));
    QCOMPARE(heading->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(heading->font().pixelSize(), 37);
    QVERIFY(heading->font().bold());
    QCOMPARE(heading->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x80));
    QCOMPARE(heading->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

void TestInfoHelpPages::help_texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("centred");
    QTest::newRow("StaticText5 heading")
        << "StaticText5"
        << "1. Shallow (torispherical) ends" << 13 << true << true << false;
    QTest::newRow("Memo3 text") << "Memo3" << QString() << 11 << false << false << false;
    QTest::newRow("Memo4 formulas") << "Memo4" << QString() << 11 << true << false << true;
    QTest::newRow("StaticText6 heading")
        << "StaticText6"
        << "2. Deep (ellipsoidal) ends" << 13 << true << true << false;
    QTest::newRow("Memo5 text") << "Memo5" << QString() << 11 << false << false << false;
    QTest::newRow("Memo6 formula") << "Memo6" << QString() << 11 << true << false << true;
    QTest::newRow("StaticText7 heading") << "StaticText7"
                                         << "3. Hemispherical ends" << 13 << true << true << false;
    QTest::newRow("Memo7 text") << "Memo7" << QString() << 11 << false << false << false;
    QTest::newRow("Memo8 formula") << "Memo8" << QString() << 11 << true << false << true;
}

void TestInfoHelpPages::help_texts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    QFETCH(bool, centred);
    HelpPage page;
    const QWidget *widget = child<QWidget>(&page, qPrintable(name));
    QCOMPARE(widget->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(widget->font().pixelSize(), pixels);
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().underline(), underline);
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    } else {
        const auto *memo = qobject_cast<const QPlainTextEdit *>(widget);
        QVERIFY(memo);
        const Qt::Alignment alignment = memo->document()->defaultTextOption().alignment();
        QCOMPARE(bool(alignment & Qt::AlignHCenter), centred);
    }
}

void TestInfoHelpPages::memos_are_borderless_typing_fields_data()
{
    QTest::addColumn<bool>("help");
    QTest::addColumn<QString>("name");
    QTest::newRow("Info Memo2") << false << "Memo2";
    for (const char *name : {"Memo3", "Memo4", "Memo5", "Memo6", "Memo7", "Memo8"})
        QTest::addRow("Help %s", name) << true << name;
}

void TestInfoHelpPages::memos_are_borderless_typing_fields()
{
    QFETCH(bool, help);
    QFETCH(QString, name);
    InfoPage info;
    HelpPage help_page;
    QWidget *page = help ? static_cast<QWidget *>(&help_page) : &info;
    const QPlainTextEdit *memo = child<QPlainTextEdit>(page, qPrintable(name));
    QCOMPARE(memo->frameShape(), QFrame::NoFrame);
    QCOMPARE(memo->palette().color(QPalette::Base), memo->palette().color(QPalette::Button));
    QVERIFY(!memo->isReadOnly());
    QVERIFY(memo->focusPolicy() & Qt::TabFocus);
    QVERIFY(memo->tabChangesFocus());
    // Each listed line is one line on the screen: nothing is wrapped.
    QCOMPARE(memo->document()->lineCount(), memo->document()->blockCount());
}

void TestInfoHelpPages::memo_lines_are_not_cut_off_data()
{
    memos_are_borderless_typing_fields_data();
}

// The fixed lines must end inside the memo: its rightmost pixel columns show
// nothing but the background.
void TestInfoHelpPages::memo_lines_are_not_cut_off()
{
    QFETCH(bool, help);
    QFETCH(QString, name);
    InfoPage info;
    HelpPage help_page;
    QWidget *page = help ? static_cast<QWidget *>(&help_page) : &info;
    QPlainTextEdit *memo = child<QPlainTextEdit>(page, qPrintable(name));
    const QImage shown = memo->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb background = memo->palette().color(QPalette::Base).rgb();
    QCOMPARE(shown.width(), memo->width());
    for (int x = shown.width() - 2; x < shown.width(); ++x)
        for (int y = 0; y < shown.height(); ++y)
            QVERIFY2(shown.pixel(x, y) == background,
                     qPrintable(QStringLiteral("text reaches the right edge at y=%1").arg(y)));
}

void TestInfoHelpPages::typing_into_a_memo_changes_only_its_text()
{
    InfoPage page;
    auto *memo = child<QPlainTextEdit>(&page, "Memo2");
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral(" ok"));
    QCOMPARE(memo_lines(memo).last(), QStringLiteral("installation. ok"));
    QCOMPARE(memo_lines(memo).size(), 17);
    // A page made afterwards shows the introduction unchanged.
    InfoPage fresh;
    QCOMPARE(memo_lines(child<QPlainTextEdit>(&fresh, "Memo2")), introduction);
}

void TestInfoHelpPages::geometry_data()
{
    QTest::addColumn<bool>("help");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Info heading") << false << "StaticText2" << QRect(0, 17, 629, 48);
    QTest::newRow("Info spacer") << false << "StaticText3" << QRect(0, 0, 629, 17);
    QTest::newRow("Info introduction") << false << "Memo2" << QRect(388, 76, 229, 229);
    QTest::newRow("Info logo box") << false << "Image2" << QRect(440, 320, 169, 49);
    QTest::newRow("Help heading") << true << "StaticText4" << QRect(0, 17, 629, 48);
    QTest::newRow("Help spacer") << true << "StaticText8" << QRect(0, 0, 629, 17);
    QTest::newRow("Help picture panel") << true << "Panel1" << QRect(32, 76, 185, 281);
    QTest::newRow("Help text panel") << true << "Panel2" << QRect(276, 80, 309, 281);
    // The stack of Panel2: each item under the previous one, full width.
    QTest::newRow("StaticText5") << true << "StaticText5" << QRect(0, 0, 309, 20);
    QTest::newRow("Memo3") << true << "Memo3" << QRect(0, 20, 309, 35);
    QTest::newRow("Memo4") << true << "Memo4" << QRect(0, 55, 309, 48);
    QTest::newRow("StaticText6") << true << "StaticText6" << QRect(0, 103, 309, 20);
    QTest::newRow("Memo5") << true << "Memo5" << QRect(0, 123, 309, 35);
    QTest::newRow("Memo6") << true << "Memo6" << QRect(0, 158, 309, 37);
    QTest::newRow("StaticText7") << true << "StaticText7" << QRect(0, 195, 309, 20);
    QTest::newRow("Memo7") << true << "Memo7" << QRect(0, 215, 309, 19);
    QTest::newRow("Memo8") << true << "Memo8" << QRect(0, 234, 309, 20);
}

void TestInfoHelpPages::geometry()
{
    QFETCH(bool, help);
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    InfoPage info;
    HelpPage help_page;
    QWidget *page = help ? static_cast<QWidget *>(&help_page) : &info;
    QCOMPARE(child<QWidget>(page, qPrintable(name))->geometry(), rect);
}

void TestInfoHelpPages::tab_order_data()
{
    QTest::addColumn<bool>("help");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("Info page") << false
                               << QStringList{"StaticText2", "Memo2", "StaticText3", "ImageStart",
                                              "Image2"};
    QTest::newRow("Help page") << true
                               << QStringList{"StaticText4", "StaticText8", "Panel1", "Image1",
                                              "Panel2",      "StaticText5", "Memo3",  "Memo4",
                                              "StaticText6", "Memo5",       "Memo6",  "StaticText7",
                                              "Memo7",       "Memo8"};
}

void TestInfoHelpPages::tab_order()
{
    QFETCH(bool, help);
    QFETCH(QStringList, order);
    InfoPage info;
    HelpPage help_page;
    QWidget *page = help ? static_cast<QWidget *>(&help_page) : &info;
    QCOMPARE(focus_chain(page, order), order);
}

void TestInfoHelpPages::tab_key_walks_the_help_memos()
{
    HelpPage page;
    page.show();
    QVERIFY(QTest::qWaitForWindowActive(&page));
    const QStringList memos = {"Memo3", "Memo4", "Memo5", "Memo6", "Memo7", "Memo8", "Memo3"};
    child<QWidget>(&page, "Memo3")->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 1; i < memos.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), memos.at(i));
    }
    // Tab moved the focus and typed nothing.
    QCOMPARE(memo_lines(child<QPlainTextEdit>(&page, "Memo3")).first(),
             QStringLiteral("Tanks with shallow ends approximate end shapes manufactured "));
}

void TestInfoHelpPages::pictures_have_their_sizes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::newRow("instrument") << "instrument.png" << QSize(348, 245);
    QTest::newRow("logo") << "logo.jpg" << QSize(174, 54);
    QTest::newRow("tank end") << "tank_end.png" << QSize(111, 202);
}

void TestInfoHelpPages::pictures_have_their_sizes()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QCOMPARE(pelorin::load_picture(file).size(), size);
}

void TestInfoHelpPages::logo_is_stored_as_jpeg()
{
    QImageReader reader(QStringLiteral(":/pictures/logo.jpg"));
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage logo = reader.read();
    QVERIFY2(!logo.isNull(), qPrintable(reader.errorString()));
    // The letters are dark teal on grey: green and blue well above red.
    QImage teal = logo.convertToFormat(QImage::Format_RGB32);
    int teal_pixels = 0;
    for (int y = 0; y < teal.height(); ++y)
        for (int x = 0; x < teal.width(); ++x) {
            const QColor c = teal.pixelColor(x, y);
            if (c.green() - c.red() > 40 && c.blue() - c.red() > 40)
                ++teal_pixels;
        }
    QVERIFY2(teal_pixels > 200, qPrintable(QString::number(teal_pixels)));
}

void TestInfoHelpPages::instrument_picture_sized_and_centred()
{
    InfoPage page;
    const QLabel *image = child<QLabel>(&page, "ImageStart");
    QCOMPARE(image->geometry(), QRect(16, 80, 348, 245));
    QCOMPARE(image->pixmap().size(), QSize(348, 245));
    QCOMPARE(image->alignment(), Qt::AlignCenter);
}

void TestInfoHelpPages::logo_shown_unscaled_with_its_edge_cut()
{
    InfoPage page;
    QLabel *box = child<QLabel>(&page, "Image2");
    QVERIFY(!box->hasScaledContents());
    QCOMPARE(box->pixmap().size(), QSize(174, 54));
    // What the box shows is the middle 169 x 49 of the logo, pixel for pixel:
    // 2 or 3 pixels are cut from each edge (the odd pixel may go either way).
    const QImage logo = pelorin::load_picture(QStringLiteral("logo.jpg"))
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    const QImage shown = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), QSize(169, 49));
    bool centred = false;
    for (int left : {2, 3})
        for (int top : {2, 3})
            centred = centred || shown == logo.copy(left, top, 169, 49);
    QVERIFY2(centred, "the box does not show the unscaled middle of the logo");
}

void TestInfoHelpPages::tank_end_picture_fills_white_panel()
{
    HelpPage page;
    const auto *panel = child<QFrame>(&page, "Panel1");
    const auto *image = child<QLabel>(panel, "Image1");
    QCOMPARE(panel->frameShape(), QFrame::Panel);
    QCOMPARE(panel->frameShadow(), QFrame::Raised);
    QVERIFY(panel->autoFillBackground());
    QCOMPARE(panel->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(image->parentWidget(), panel);
    page.resize(629, 386);
    page.grab(); // lays the panel out
    QCOMPARE(image->geometry(), panel->contentsRect());
    QCOMPARE(image->pixmap().size(), QSize(111, 202));
    QCOMPARE(image->alignment(), Qt::AlignCenter);
    QCOMPARE(child<QFrame>(&page, "Panel2")->frameShape(), QFrame::NoFrame);
}

// Without Qt's jpeg image plugin the logo cannot be decoded: the Info page
// must refuse to be built rather than show an empty box. Image plugins are
// loaded once per process, so the check runs in a child process of this test
// whose plugin search path is empty.
void TestInfoHelpPages::info_page_fails_without_jpeg_decoder()
{
    const QString child_flag = QStringLiteral("PELORIN_TEST_WITHOUT_IMAGE_PLUGINS");
    if (qEnvironmentVariableIsSet(qPrintable(child_flag))) {
        QCoreApplication::setLibraryPaths({});
        QVERIFY(!QImageReader::supportedImageFormats().contains("jpeg"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, InfoPage());
        return;
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(child_flag, QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("info_page_fails_without_jpeg_decoder")});
    QVERIFY(process.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("PASS   : TestInfoHelpPages::"
                                            "info_page_fails_without_jpeg_decoder")),
             qPrintable(output));
}

// The Help page describes the ends of the shapes whose catalogue row names a
// section: each names a heading of the page that speaks of that end.
void TestInfoHelpPages::shapes_name_their_help_sections()
{
    HelpPage page;
    int sections = 0;
    for (const pelorin::ShapeInfo &shape : pelorin::shape_catalogue) {
        if (*shape.help == '\0')
            continue;
        ++sections;
        const QString heading = child<QLabel>(&page, shape.help)->text().toLower();
        QVERIFY2(heading.contains(QLatin1String(shape.key)), qPrintable(heading));
    }
    QVERIFY(sections > 0);
}

QTEST_MAIN(TestInfoHelpPages)
#include "tst_info_help_pages.moc"
