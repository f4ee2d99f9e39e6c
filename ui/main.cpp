#include "ui/placeholder_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    pelorin::PlaceholderWindow window;
    window.show();
    return app.exec();
}
