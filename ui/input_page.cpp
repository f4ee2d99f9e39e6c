#include "ui/input_page.h"

#include "resources/pictures.h"
#include "ui/info_help_style.h"

#include <QEvent>
#include <QHelpEvent>
#include <QIcon>
#include <QRadioButton>
#include <QToolTip>

#include <initializer_list>

namespace pelorin {

namespace {

const QColor silver(0xC0, 0xC0, 0xC0);
const QColor teal(0x00, 0x80, 0x80);

// Shows the hint of a group while the pointer rests on any widget inside it,
// disabled ones included, which get no hint of their own.
class GroupHint : public QObject
{
public:
    GroupHint(QWidget *group) : QObject(group), m_group(group)
    {
        for (QWidget *child : group->findChildren<QWidget *>())
            child->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip)
            return false;
        const auto *help = static_cast<QHelpEvent *>(event);
        QToolTip::showText(help->globalPos(), m_group->toolTip(), qobject_cast<QWidget *>(watched));
        return true;
    }

private:
    QWidget *m_group;
};

void set_tab_order(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace

InputPage::InputPage(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);

    ui.PanelInput->set_color(silver);
    // Disabled labels in grey, readable on the silver panel.
    QPalette panel_colors = ui.PanelInput->palette();
    panel_colors.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    ui.PanelInput->setPalette(panel_colors);
    use_button_face_background(ui.GroupTankShape);
    ui.PanelImages->set_color(Qt::white);

    QFont title_font(QStringLiteral("Arial"));
    title_font.setPixelSize(16);
    title_font.setBold(true);
    ui.TextTankImage->setFont(title_font);
    QPalette title_colors = ui.TextTankImage->palette();
    title_colors.setColor(QPalette::WindowText, teal);
    title_colors.setBrush(QPalette::Window, title_colors.brush(QPalette::Button));
    ui.TextTankImage->setPalette(title_colors);
    ui.TextTankImage->setAutoFillBackground(true);

    ui.GroupTankShape->set_columns(2);
    ui.GroupTankShape->set_items({QStringLiteral("Spherical"), QStringLiteral("Conical"),
                                  QStringLiteral("Cylindrical (flat ends)"),
                                  QStringLiteral("Cylindrical (shallow ends)"),
                                  QStringLiteral("Cylindrical (deep ends)"),
                                  QStringLiteral("Cylindrical (hemispherical ends)")});
    ui.GroupTankShape->set_item_index(0);

    ui.Ed_points->set_text(QStringLiteral("15"));

    // Labels take the size of their text.
    for (QLabel *label :
         {ui.Lb_lin_units, ui.Lb_vol_units, ui.Lb_diameter, ui.Lb_length_cyl, ui.Lb_length_con,
          ui.Lb_angle, ui.Lb_angle1, ui.Lb_min_signal, ui.Lb_max_signal, ui.Lb_points})
        label->adjustSize();

    QIcon calculator(load_picture(QStringLiteral("glyph_calculator.png")));
    calculator.addPixmap(load_picture(QStringLiteral("glyph_calculator_disabled.png")),
                         QIcon::Disabled);
    ui.BtnCalculate->setIcon(calculator);
    ui.BtnCalculate->setIconSize(QSize(16, 16));

    // The other two diagrams are decoded when first shown: start-up only
    // needs the spherical one.
    show_diagram(ui.ImageSphTank);

    set_up_hints();
}

// The shape items are made after the other controls, so they would come
// last: the whole order is set, from the widget before the page on.
void InputPage::follow_in_tab_order(QWidget *before)
{
    QRadioButton *const shapes[] = {
        ui.GroupTankShape->item_button(0), ui.GroupTankShape->item_button(1),
        ui.GroupTankShape->item_button(2), ui.GroupTankShape->item_button(3),
        ui.GroupTankShape->item_button(4), ui.GroupTankShape->item_button(5)};
    set_tab_order({before, shapes[0], shapes[1], shapes[2], shapes[3], shapes[4], shapes[5],
                   ui.SizeUnits, ui.VolumeUnits, ui.Ed_diameter, ui.Ed_length_cyl, ui.Ed_length_con,
                   ui.Ed_angle, ui.Ed_min_signal, ui.Ed_max_signal, ui.Ed_points, ui.BtnCalculate});
}

void InputPage::set_up_hints()
{
    for (QWidget *group :
         {static_cast<QWidget *>(ui.GroupTankShape), static_cast<QWidget *>(ui.GroupUnits),
          static_cast<QWidget *>(ui.GroupParameters)}) {
        group->setToolTipDuration(-1);
        new GroupHint(group);
    }
}

// Shows one diagram box, loading its picture the first time.
void InputPage::show_diagram(QLabel *box)
{
    if (box->pixmap().isNull()) {
        const QString picture = box == ui.ImageSphTank   ? QStringLiteral("tank_spherical.png")
                                : box == ui.ImageConTank ? QStringLiteral("tank_conical.png")
                                                         : QStringLiteral("tank_cylindrical.png");
        box->setPixmap(load_picture(picture));
    }
    box->show();
}

void InputPage::disable_parameters()
{
    for (QWidget *widget :
         {static_cast<QWidget *>(ui.Lb_diameter), static_cast<QWidget *>(ui.Lb_length_cyl),
          static_cast<QWidget *>(ui.Lb_length_con), static_cast<QWidget *>(ui.Lb_angle),
          static_cast<QWidget *>(ui.Lb_angle1), static_cast<QWidget *>(ui.Ed_length_cyl),
          static_cast<QWidget *>(ui.Ed_length_con), static_cast<QWidget *>(ui.Ed_angle),
          static_cast<QWidget *>(ui.Ed_points)})
        widget->setEnabled(false);
    ui.ImageSphTank->hide();
    ui.ImageConTank->hide();
    ui.ImageCylTank->hide();
}

void InputPage::view_spherical()
{
    disable_parameters();
    ui.Ed_length_cyl->clear();
    ui.Ed_length_con->clear();
    ui.Ed_angle->clear();
    ui.Lb_diameter->setEnabled(true);
    ui.Ed_points->setEnabled(true);
    show_diagram(ui.ImageSphTank);
}

void InputPage::view_conical()
{
    disable_parameters();
    ui.Ed_angle->clear();
    ui.Lb_diameter->setEnabled(true);
    ui.Lb_length_cyl->setEnabled(true);
    ui.Ed_length_cyl->setEnabled(true);
    ui.Lb_length_con->setEnabled(true);
    ui.Ed_length_con->setEnabled(true);
    ui.Ed_points->setEnabled(true);
    show_diagram(ui.ImageConTank);
}

void InputPage::view_cylindrical()
{
    disable_parameters();
    ui.Ed_length_con->clear();
    ui.Lb_diameter->setEnabled(true);
    ui.Lb_length_cyl->setEnabled(true);
    ui.Ed_length_cyl->setEnabled(true);
    ui.Lb_angle->setEnabled(true);
    ui.Lb_angle1->setEnabled(true);
    ui.Ed_angle->setEnabled(true);
    ui.Ed_angle->setText(QStringLiteral("0"));
    ui.Ed_points->setEnabled(true);
    show_diagram(ui.ImageCylTank);
}

} // namespace pelorin
