#pragma once

#include <QMainWindow>

namespace pelorin {

// Stands in for the main window until the real one exists.
class PlaceholderWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit PlaceholderWindow(QWidget *parent = nullptr);
};

} // namespace pelorin
