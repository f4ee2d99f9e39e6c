// PELORIN: start-up. Options of the form --name run the command line
// (ui/command_line.h) without a window. Otherwise the application object sets
// the title and the common settings, the main window Form1 is created first,
// then the About box (hidden); the main window is shown and the event loop
// runs until it closes.

#include "report/preview/prompts.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/command_line.h"
#include "ui/main_window.h"

#include <exception>

int main(int argc, char *argv[])
{
    if (pelorin::wants_command_line(argc, argv))
        return pelorin::run_command_line(argc, argv);
    pelorin::WidgetPrompts prompts;
    try {
        pelorin::Application app(argc, argv, prompts);
        pelorin::TForm1 Form1(prompts);
        pelorin::TAboutBox AboutBox;
        Form1.set_about_box(&AboutBox);
        Form1.show();
        return app.exec();
    } catch (...) {
        // A window that cannot be built (a picture missing from the build)
        // ends the program with its message.
        if (QApplication::instance())
            pelorin::show_current_error(prompts);
        return 1;
    }
}
