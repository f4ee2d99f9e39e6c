#include "ui/output_page.h"

#include "resources/pictures.h"
#include "ui/info_help_style.h"
#include "ui/result_grid.h"

#include <QEvent>
#include <QIcon>

namespace pelorin {

namespace {

const QColor teal(0x00, 0x80, 0x80);
const QColor navy(0x00, 0x00, 0x80);

void set_text_color(QWidget *widget, const QColor &color)
{
    QPalette colors = widget->palette();
    colors.setColor(QPalette::WindowText, color);
    widget->setPalette(colors);
}

} // namespace

OutputPage::OutputPage(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);

    QFont shape_font(QStringLiteral("Arial"));
    shape_font.setPixelSize(16);
    shape_font.setBold(true);
    ui.TextTankShape->setFont(shape_font);
    set_text_color(ui.TextTankShape, teal);

    for (QLabel *text : {ui.TextZero, ui.TextSpan, ui.TextFormula}) {
        text->setFont(ms_sans_serif(13, true));
        set_text_color(text, navy);
    }
    ui.StaticText1->setFont(ms_sans_serif(13));
    ui.StaticText1->adjustSize();

    style_memo(ui.Memo1, ms_sans_serif(13));

    QIcon printer(load_picture(QStringLiteral("glyph_printer.png")));
    printer.addPixmap(load_picture(QStringLiteral("glyph_printer_disabled.png")), QIcon::Disabled);
    ui.BtnReport->setIcon(printer);
    ui.BtnReport->setIconSize(QSize(16, 16));

    ui.DBGrid1->setFont(ms_sans_serif(11));
    ui.PanelOutput->installEventFilter(this);
}

void OutputPage::bind_grid(DataSource &source)
{
    m_result_grid = new ResultGrid(*ui.DBGrid1, source);
}

bool OutputPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui.PanelOutput && event->type() == QEvent::Resize) {
        const QSize panel = ui.PanelOutput->size();
        ui.TextTankShape->resize(panel.width() - 2, ui.TextTankShape->height());
        ui.TextFormula->resize(panel.width() - 2, ui.TextFormula->height());
        const QRect grid = ui.DBGrid1->geometry();
        ui.DBGrid1->setGeometry(grid.left(), grid.top(), grid.width(),
                                qMax(0, panel.height() - grid.top() - 1));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pelorin
