#include "ui/help_page.h"
#include "ui_help_page.h"

#include "resources/pictures.h"
#include "ui/colors.h"
#include "ui/info_help_style.h"

#include <QColor>
#include <QPalette>

namespace pelorin {

namespace {

// A heading of one kind of tank end: 13 pixels, bold, underlined, black.
void style_end_heading(QLabel *heading)
{
    heading->setFont(ms_sans_serif(13, true, true));
    colors::fix_text_color(heading, Qt::black);
}

} // namespace

HelpPage::HelpPage(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::HelpPage>())
{
    ui->setupUi(this);
    setFont(ms_sans_serif(11));
    use_button_face_background(this);
    style_heading(ui->StaticText4);

    QPalette white = ui->Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    ui->Panel1->setPalette(white);
    ui->Panel1->setAutoFillBackground(true);
    ui->Image1->setPixmap(load_picture(QStringLiteral("tank_end.png"), devicePixelRatioF()));

    // Each end: its heading, a description, and the formulas centred in bold.
    const QFont text = ms_sans_serif(11);
    const QFont formula = ms_sans_serif(11, true);
    style_end_heading(ui->StaticText5);
    style_memo(ui->Memo3, text);
    style_memo(ui->Memo4, formula, true);
    style_end_heading(ui->StaticText6);
    style_memo(ui->Memo5, text);
    style_memo(ui->Memo6, formula, true);
    style_end_heading(ui->StaticText7);
    style_memo(ui->Memo7, text);
    style_memo(ui->Memo8, formula, true);
}

HelpPage::~HelpPage() = default;

} // namespace pelorin
