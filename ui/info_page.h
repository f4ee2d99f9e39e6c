#pragma once

#include "ui_info_page.h"

#include <QWidget>

namespace pelorin {

// The Info page of the main window (TabSheetStart): the program's title, a
// picture of the level monitor, the introduction text and the maker's logo.
// It is static: no handlers, nothing changes at run time.
class InfoPage : public QWidget
{
    Q_OBJECT

public:
    // Throws when a picture of the page cannot be decoded (the JPEG logo
    // needs Qt's jpeg image plugin), so a broken build fails at start-up.
    explicit InfoPage(QWidget *parent = nullptr);

private:
    Ui::InfoPage ui;
};

} // namespace pelorin
