// The application object: its start-up settings, the default error box for
// errors that leave an event handler, the re-reading of the decimal separator
// on a locale change, and the end of the program with its main window.
//
// The test runs inside pelorin::Application (its own main below), as the
// program does.

#include "gui_support.h"

#include "calc/errors.h"
#include "calc/number_text.h"

#include <QEvent>
#include <QFontInfo>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <stdexcept>

using namespace gui_support;

namespace {

// An object whose event handler fails the way the test asks.
class FailingReceiver : public QObject
{
public:
    static const QEvent::Type fail = QEvent::Type(QEvent::User + 1);
    static const QEvent::Type count = QEvent::Type(QEvent::User + 2);

    std::function<void()> failure;
    int counted = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == fail) {
            failure();
            return true;
        }
        if (event->type() == count) {
            ++counted;
            return true;
        }
        return QObject::event(event);
    }
};

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

public:
    explicit TestApplication(RecordingPrompts &prompts) : m_prompts(prompts) {}

private slots:
    void init();
    void start_up_settings();
    void style_icon_is_the_windows_style_icon_data();
    void style_icon_is_the_windows_style_icon();
    void error_box_text_data();
    void error_box_text();
    void handler_error_reaches_the_error_box_data();
    void handler_error_reaches_the_error_box();
    void locale_change_rereads_the_separator();
    void exit_ends_the_program_while_the_about_box_is_shown();

private:
    RecordingPrompts &m_prompts;
};

void TestApplication::init()
{
    m_prompts.messages.clear();
    m_prompts.beeps = 0;
}

void TestApplication::start_up_settings()
{
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("PELORIN"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.0.6.0"));
    QCOMPARE(QApplication::font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(QApplication::font().pixelSize(), 11);
    QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Liberation Sans"));
    QVERIFY(!QApplication::windowIcon().isNull());
}

// The application style hands out some of its icons before it reads their
// image files: drawn, they are the classic style's own icons.
void TestApplication::style_icon_is_the_windows_style_icon_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::newRow("horizontal extension")
        << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::LeftToRight;
    QTest::newRow("horizontal extension, right to left")
        << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::RightToLeft;
    QTest::newRow("vertical extension")
        << int(QStyle::SP_ToolBarVerticalExtensionButton) << Qt::LeftToRight;
    QTest::newRow("message box warning") << int(QStyle::SP_MessageBoxWarning) << Qt::LeftToRight;
}

void TestApplication::style_icon_is_the_windows_style_icon()
{
    QFETCH(int, which);
    QFETCH(Qt::LayoutDirection, direction);
    const auto pixmap = QStyle::StandardPixmap(which);
    const std::unique_ptr<QStyle> classic(QStyleFactory::create(QStringLiteral("Windows")));
    QStyleOption option;
    option.direction = direction;
    const QIcon expected = classic->standardIcon(pixmap, &option);
    const QIcon icon = QApplication::style()->standardIcon(pixmap, &option);
    QVERIFY(!expected.isNull());
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.availableSizes(), expected.availableSizes());
    for (const int size : {8, 16, 32}) {
        QCOMPARE(icon.actualSize(QSize(size, size)), expected.actualSize(QSize(size, size)));
        QCOMPARE(icon.pixmap(size).toImage(), expected.pixmap(size).toImage());
        QCOMPARE(icon.pixmap(size, QIcon::Disabled).toImage(),
                 expected.pixmap(size, QIcon::Disabled).toImage());
    }
}

void TestApplication::error_box_text_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");

    QTest::newRow("ends in a letter") << "Floating point overflow"
                                      << "Floating point overflow.";
    QTest::newRow("ends in a quote") << "'x' is"
                                     << "'x' is.";
    QTest::newRow("ends in a digit") << "value 5"
                                     << "value 5.";
    QTest::newRow("ends in a slash, just above the full stop") << "a/"
                                                               << "a/.";
    QTest::newRow("ends in a full stop") << "Done."
                                         << "Done.";
    QTest::newRow("ends in an exclamation mark") << "Invalid !"
                                                 << "Invalid !";
    QTest::newRow("ends in a comma") << "a,"
                                     << "a,";
    QTest::newRow("ends in a hyphen") << "a-"
                                      << "a-";
    QTest::newRow("ends in a blank") << "a "
                                     << "a ";
    QTest::newRow("empty") << ""
                           << "";
}

void TestApplication::error_box_text()
{
    QFETCH(QString, message);
    QFETCH(QString, text);
    QCOMPARE(pelorin::error_box_text(message), text);
}

void TestApplication::handler_error_reaches_the_error_box_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("posted");
    QTest::addColumn<QString>("text");

    QTest::newRow("conversion error, sent") << 0 << false << "'a' is not a valid integer value.";
    QTest::newRow("conversion error, posted") << 0 << true << "'a' is not a valid integer value.";
    QTest::newRow("arithmetic fault, posted") << 1 << true << "Floating point division by zero.";
    QTest::newRow("standard exception, posted") << 2 << true << "disk full!";
}

// An error leaving an event handler is shown in the application's error box
// and the event loop goes on with the next event.
void TestApplication::handler_error_reaches_the_error_box()
{
    QFETCH(int, kind);
    QFETCH(bool, posted);
    QFETCH(QString, text);

    FailingReceiver receiver;
    receiver.failure = [kind] {
        if (kind == 0)
            throw pelorin::ConvertError(QStringLiteral("'a' is not a valid integer value"));
        if (kind == 1)
            throw pelorin::MathError(pelorin::MathError::Kind::DivisionByZero);
        throw std::runtime_error("disk full!");
    };
    if (posted) {
        QCoreApplication::postEvent(&receiver, new QEvent(FailingReceiver::fail));
        QCoreApplication::postEvent(&receiver, new QEvent(FailingReceiver::count));
        QCoreApplication::sendPostedEvents(&receiver);
    } else {
        QEvent event(FailingReceiver::fail);
        QCoreApplication::sendEvent(&receiver, &event);
        QEvent next(FailingReceiver::count);
        QCoreApplication::sendEvent(&receiver, &next);
    }

    QCOMPARE(m_prompts.messages.size(), 1);
    QCOMPARE(m_prompts.messages.at(0).caption, QStringLiteral("PELORIN"));
    QCOMPARE(m_prompts.messages.at(0).text, text);
    QCOMPARE(m_prompts.messages.at(0).icon, pelorin::Prompts::Icon::Error);
    QCOMPARE(m_prompts.beeps, 0);
    QCOMPARE(receiver.counted, 1);
}

void TestApplication::locale_change_rereads_the_separator()
{
    // The test runs in the C.UTF-8 locale, whose separator is the point.
    pelorin::set_decimal_separator(QLatin1Char(','));
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(qApp, &change);
    QCOMPARE(pelorin::decimal_separator(), QLatin1Char('.'));
}

// "E&xit" ends the event loop at once, also while the About box is visible.
void TestApplication::exit_ends_the_program_while_the_about_box_is_shown()
{
    Program program;
    program.action("About1")->trigger();
    QVERIFY(program.about->isVisible());

    bool timed_out = false;
    QAction *exit = program.action("Exit1");
    QTimer::singleShot(0, program.form.get(), [exit] { exit->trigger(); });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [&] {
        timed_out = true;
        QCoreApplication::exit(1);
    });
    guard.start(5000);
    const int status = QApplication::exec();

    QVERIFY(!timed_out);
    QCOMPARE(status, 0);
    QVERIFY(!program.form->isVisible());
}

int main(int argc, char *argv[])
{
    RecordingPrompts prompts;
    pelorin::Application app(argc, argv, prompts);
    TestApplication test(prompts);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
