#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class InfoPage;
}

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
    ~InfoPage() override;

private:
    std::unique_ptr<Ui::InfoPage> ui;
};

} // namespace pelorin
