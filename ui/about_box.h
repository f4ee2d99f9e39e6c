#pragma once

// The About box AboutBox: program name, version and the maker's contact
// block. A non-modal window that stays on top; OK and the caption's close
// button hide it (it lives as long as the program). Centred on the screen the
// first time it is shown; later showings leave it where it was.

#include "ui_about_box.h"

#include <QDialog>

namespace pelorin {

class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    // Throws when the icon cannot be loaded.
    explicit TAboutBox(QWidget *parent = nullptr);

    // The widgets of the box, by their names.
    Ui::TAboutBox ui;

public slots:
    void OKButtonClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_placed = false;
};

} // namespace pelorin
