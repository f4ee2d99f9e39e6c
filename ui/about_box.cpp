#include "ui/about_box.h"
#include "ui_about_box.h"

#include "resources/pictures.h"
#include "ui/application.h"
#include "ui/info_help_style.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace pelorin {

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TAboutBox>())
{
    ui->setupUi(this);
    setFixedSize(298, 213);
    setModal(false);
    // Closing the main window ends the program even while the box is shown.
    setAttribute(Qt::WA_QuitOnClose, false);
    use_button_face_background(this);

    ui->Panel1->set_color(palette().color(QPalette::Window));
    ui->Panel1->set_bevels(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::Raised);
    ui->ProgramIcon->setPixmap(load_picture(QStringLiteral("flask.png"), devicePixelRatioF()));
    setWindowIcon(load_icon(QStringLiteral("flask.png")));
    ui->ProductName->adjustSize();
    ui->Version->adjustSize();
    style_memo(ui->Memo1, ms_sans_serif(11));
    style_memo(ui->Memo2, ms_sans_serif(11));

    connect(ui->OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
}

TAboutBox::~TAboutBox() = default;

// OK carries the dialog result OK and hides the box.
void TAboutBox::OKButtonClick()
{
    setResult(QDialog::Accepted);
    hide();
}

void TAboutBox::showEvent(QShowEvent *event)
{
    centre_on_first_show(*this, m_placed);
    QDialog::showEvent(event);
}

// The caption's close button hides the box; it is never destroyed by it.
void TAboutBox::closeEvent(QCloseEvent *event)
{
    hide();
    event->ignore();
}

// Escape does not close the box: only OK and the close button do.
void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace pelorin
