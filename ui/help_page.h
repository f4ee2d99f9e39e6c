#pragma once

#include "ui_help_page.h"

#include <QWidget>

namespace pelorin {

// The Help page of the main window (TabSheetHelp): a drawing of a dished tank
// end and the descriptions of the shallow, deep and hemispherical ends.
// It is static: no handlers, nothing changes at run time.
class HelpPage : public QWidget
{
    Q_OBJECT

public:
    explicit HelpPage(QWidget *parent = nullptr);

private:
    Ui::HelpPage ui;
};

} // namespace pelorin
