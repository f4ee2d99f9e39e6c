#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class HelpPage;
}

namespace pelorin {

// The Help page of the main window (TabSheetHelp): a drawing of a dished tank
// end and the descriptions of the shallow, deep and hemispherical ends.
// It is static: no handlers, nothing changes at run time.
class HelpPage : public QWidget
{
    Q_OBJECT

public:
    explicit HelpPage(QWidget *parent = nullptr);
    ~HelpPage() override;

private:
    std::unique_ptr<Ui::HelpPage> ui;
};

} // namespace pelorin
