#pragma once

// The application object of the program and its default error display.
//
// Every error that leaves an event handler ends here: the handlers of the
// windows run inside run_handler(), and Application::notify() catches what
// escapes any other event handler. Either way the message is shown in the
// application's default error box (caption "PELORIN", error icon, one OK) and
// the event loop goes on.

#include <QApplication>
#include <QString>

#include <exception>
#include <utility>

namespace pelorin {

class Prompts;

// The application title: the caption of the default error box.
inline const QString application_title = QStringLiteral("PELORIN");

// The text of the default error box for an error message: a full stop is
// appended unless the message ends in "." or a character below it.
QString error_box_text(const QString &message);

// Shows the default error box for the exception being handled (call inside a
// catch block): pelorin::Error shows message(), std::exception what(). The
// box belongs to `window`, else to the active window.
void show_current_error(Prompts &prompts, QWidget *window = nullptr);

// Runs one event handler of `window`; an error leaving it goes to the default
// error box of that window instead of travelling through the toolkit's event
// dispatch.
template <typename Handler> void run_handler(Prompts &prompts, QWidget *window, Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        show_current_error(prompts, window);
    }
}

// A window's first showing (`placed` still false) centres it on its screen
// and sets `placed`; later showings keep the place. Call from showEvent.
void centre_on_first_show(QWidget &window, bool &placed);

// The application-wide settings made at start-up: title, version, the font
// substitution and default font, the decimal separator and the icon.
void set_up_application();

class Application : public QApplication
{
    Q_OBJECT

public:
    // Initialises the application object and makes the start-up settings.
    Application(int &argc, char **argv, Prompts &prompts);

    bool notify(QObject *receiver, QEvent *event) override;

protected:
    bool event(QEvent *event) override;

private:
    Prompts &m_prompts;
};

} // namespace pelorin
