// The program's start-up, as ui/main.cpp does it, ended at the main window's
// first paint (see startup.sh).

#include "report/preview/prompts.h"
#include "startup_timer.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/main_window.h"

int main(int argc, char *argv[])
{
    pelorin::WidgetPrompts prompts;
    pelorin::Application app(argc, argv, prompts);
    pelorin::TForm1 Form1(prompts);
    pelorin::TAboutBox AboutBox;
    Form1.set_about_box(&AboutBox);
    FirstPaintTimer timer;
    Form1.installEventFilter(&timer);
    Form1.show();
    return app.exec();
}
