#pragma once

// The About box AboutBox: program name, version and the maker's contact
// block. A non-modal window that stays on top; OK and the caption's close
// button hide it (it lives as long as the program). Centred on the screen the
// first time it is shown; later showings leave it where it was.

#include <QDialog>

#include <memory>

namespace Ui {
class TAboutBox;
}

namespace pelorin {

class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    // Throws when the icon cannot be loaded.
    explicit TAboutBox(QWidget *parent = nullptr);
    ~TAboutBox() override;

public slots:
    void OKButtonClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
    bool m_placed = false;
};

} // namespace pelorin
