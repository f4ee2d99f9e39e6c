#include "ui/application.h"

#include "calc/errors.h"
#include "calc/number_text.h"
#include "report/prompts.h"
#include "resources/pictures.h"

#include <QEvent>
#include <QFont>
#include <QIcon>

namespace pelorin {

QString error_box_text(const QString &message)
{
    QString text = message;
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        text += QLatin1Char('.');
    return text;
}

void show_current_error(Prompts &prompts)
{
    QString message;
    try {
        throw;
    } catch (const Error &error) {
        message = error.message();
    } catch (const std::exception &error) {
        message = QString::fromUtf8(error.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    prompts.message(QApplication::activeWindow(), application_title, error_box_text(message),
                    Prompts::Icon::Error);
}

void set_up_application()
{
    // Only the application name carries the title: a display name would be
    // appended to every window caption ("Error — PELORIN").
    QCoreApplication::setApplicationName(application_title);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.6.0"));

    // The windows are laid out in pixels for the classic desktop controls:
    // the classic style draws the same flat bevels, and it paints without the
    // gradients that make the default style slow to repaint the result grid.
    QApplication::setStyle(QStringLiteral("Windows"));

    // The windows are laid out for "MS Sans Serif" 8 pt; its metric stand-in
    // is fixed here rather than left to the font configuration.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    QApplication::setFont(font);

    read_decimal_separator();
    QApplication::setWindowIcon(QIcon(load_picture(QStringLiteral("flask.png"))));
}

Application::Application(int &argc, char **argv, Prompts &prompts)
    : QApplication(argc, argv), m_prompts(prompts)
{
    set_up_application();
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        show_current_error(m_prompts);
        return false;
    }
}

bool Application::event(QEvent *event)
{
    // The user changed the regional settings: numbers follow the new separator.
    if (event->type() == QEvent::LocaleChange)
        read_decimal_separator();
    return QApplication::event(event);
}

} // namespace pelorin
