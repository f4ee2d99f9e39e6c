// The yardstick for the start-up measurement (see startup.sh): a bare program
// that shows an empty main window holding a tab widget, ended at its first
// paint.

#include "startup_timer.h"

#include <QApplication>
#include <QMainWindow>
#include <QTabWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *pages = new QTabWidget(&window);
    pages->addTab(new QWidget, QStringLiteral("Info"));
    window.setCentralWidget(pages);
    window.resize(637, 434);
    FirstPaintTimer timer;
    window.installEventFilter(&timer);
    window.show();
    return app.exec();
}
