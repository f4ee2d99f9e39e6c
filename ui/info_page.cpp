#include "ui/info_page.h"
#include "ui_info_page.h"

#include "resources/pictures.h"
#include "ui/info_help_style.h"

namespace pelorin {

InfoPage::InfoPage(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::InfoPage>())
{
    ui->setupUi(this);
    setFont(ms_sans_serif(11));
    use_button_face_background(this);
    style_heading(ui->StaticText2);
    style_memo(ui->Memo2, ms_sans_serif(11));

    // The picture box takes the size of its picture around its centre.
    const QPixmap instrument = load_picture(QStringLiteral("instrument.png"), devicePixelRatioF());
    const QPoint centre = ui->ImageStart->geometry().center();
    ui->ImageStart->resize(instrument.deviceIndependentSize().toSize());
    ui->ImageStart->move(centre - ui->ImageStart->rect().center());
    ui->ImageStart->setPixmap(instrument);

    // The logo is a JPEG and is shown unscaled in a slightly smaller box, so
    // its outer edge is cut; without the JPEG decoder this throws.
    ui->Image2->setPixmap(load_picture(QStringLiteral("logo.jpg"), devicePixelRatioF()));
}

InfoPage::~InfoPage() = default;

} // namespace pelorin
