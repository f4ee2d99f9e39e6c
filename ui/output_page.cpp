#include "ui/output_page.h"
#include "ui_output_page.h"

#include "resources/pictures.h"
#include "ui/colors.h"
#include "ui/info_help_style.h"
#include "ui/result_grid.h"

#include <QEvent>
#include <QIcon>

namespace pelorin {

OutputPage::OutputPage(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::OutputPage>())
{
    ui->setupUi(this);

    QFont shape_font(QStringLiteral("Arial"));
    shape_font.setPixelSize(16);
    shape_font.setBold(true);
    ui->TextTankShape->setFont(shape_font);
    colors::fix_text_color(ui->TextTankShape, colors::teal);

    for (QLabel *text : {ui->TextZero, ui->TextSpan, ui->TextFormula}) {
        text->setFont(ms_sans_serif(13, true));
        colors::fix_text_color(text, colors::navy);
    }
    ui->StaticText1->setFont(ms_sans_serif(13));
    ui->StaticText1->adjustSize();

    style_memo(ui->Memo1, ms_sans_serif(13));

    ui->BtnReport->setIcon(load_icon(QStringLiteral("glyph_printer.png"),
                                     QStringLiteral("glyph_printer_disabled.png")));
    ui->BtnReport->setIconSize(QSize(16, 16));

    ui->DBGrid1->setFont(ms_sans_serif(11));
    ui->PanelOutput->installEventFilter(this);
    connect(ui->BtnReport, &QPushButton::clicked, this, &OutputPage::report_clicked);
}

OutputPage::~OutputPage() = default;

void OutputPage::show_grid()
{
    ui->DBGrid1->setVisible(true);
}

void OutputPage::set_title(const QString &text)
{
    ui->TextTankShape->setText(text);
}

void OutputPage::set_zero_text(const QString &text)
{
    ui->TextZero->setText(text);
}

void OutputPage::set_span_text(const QString &text)
{
    ui->TextSpan->setText(text);
}

void OutputPage::bind_grid(DataSource &source, Prompts &prompts)
{
    m_result_grid = new ResultGrid(*ui->DBGrid1, source, prompts);
}

bool OutputPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->PanelOutput && event->type() == QEvent::Resize) {
        const QSize panel = ui->PanelOutput->size();
        ui->TextTankShape->resize(panel.width() - 2, ui->TextTankShape->height());
        ui->TextFormula->resize(panel.width() - 2, ui->TextFormula->height());
        const QRect grid = ui->DBGrid1->geometry();
        ui->DBGrid1->setGeometry(grid.left(), grid.top(), grid.width(),
                                 qMax(0, panel.height() - grid.top() - 1));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pelorin
