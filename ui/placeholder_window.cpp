#include "ui/placeholder_window.h"

namespace pelorin {

PlaceholderWindow::PlaceholderWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("PELORIN"));
    setFixedSize(645, 460);
}

} // namespace pelorin
