#include "ui/input_page.h"
#include "ui_input_page.h"

#include "calc/units.h"
#include "resources/pictures.h"
#include "ui/colors.h"
#include "ui/info_help_style.h"

#include <QAbstractSpinBox>
#include <QEvent>
#include <QHelpEvent>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>

#include <vector>

namespace pelorin {

namespace {

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

void set_tab_order(const std::vector<QWidget *> &widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace

InputPage::InputPage(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::InputPage>())
{
    ui->setupUi(this);

    colors::fix_background(ui->PanelInput, colors::silver);
    // Disabled labels in grey, readable on the silver panel.
    QPalette panel_colors = ui->PanelInput->palette();
    panel_colors.setColor(QPalette::Disabled, QPalette::WindowText, colors::grey);
    ui->PanelInput->setPalette(panel_colors);
    use_button_face_background(ui->GroupTankShape);
    ui->PanelImages->set_color(Qt::white);

    QFont title_font(QStringLiteral("Arial"));
    title_font.setPixelSize(16);
    title_font.setBold(true);
    ui->TextTankImage->setFont(title_font);
    colors::fix_text_color(ui->TextTankImage, colors::teal);

    ui->GroupTankShape->set_columns(2);
    ui->GroupTankShape->set_items(shape_names());
    ui->GroupTankShape->set_item_index(0);
    ui->SizeUnits->addItems(size_unit_names());
    ui->VolumeUnits->addItems(volume_unit_names());

    ui->Ed_points->set_text(QStringLiteral("15"));

    // Labels take the size of their text.
    for (QLabel *label :
         {ui->Lb_lin_units, ui->Lb_vol_units, ui->Lb_diameter, ui->Lb_length_cyl, ui->Lb_length_con,
          ui->Lb_angle, ui->Lb_angle1, ui->Lb_min_signal, ui->Lb_max_signal, ui->Lb_points})
        label->adjustSize();

    ui->BtnCalculate->setIcon(load_icon(QStringLiteral("glyph_calculator.png"),
                                        QStringLiteral("glyph_calculator_disabled.png")));
    ui->BtnCalculate->setIconSize(QSize(16, 16));

    // The other diagrams are decoded when first shown: start-up only needs
    // the first shape's.
    show_diagram(shape_info(shape_at(0)));

    set_up_hints();

    connect(ui->GroupTankShape, &RadioGroup::item_index_changed, this, &InputPage::shape_chosen);
    connect(ui->BtnCalculate, &QPushButton::clicked, this, &InputPage::calculate_clicked);
    connect(ui->Ed_points, &PointsEdit::refused, this, &InputPage::points_refused);
}

InputPage::~InputPage() = default;

int InputPage::shape_index() const
{
    return ui->GroupTankShape->item_index();
}

QString InputPage::shape_text(int index) const
{
    return ui->GroupTankShape->item_text(index);
}

void InputPage::set_title(const QString &text)
{
    ui->TextTankImage->setText(text);
}

QWidget *InputPage::field_widget(InputField field) const
{
    switch (field) {
    case InputField::Points:
        return ui->Ed_points;
    case InputField::Diameter:
        return ui->Ed_diameter;
    case InputField::LengthCyl:
        return ui->Ed_length_cyl;
    case InputField::Angle:
        return ui->Ed_angle;
    case InputField::LengthCon:
        return ui->Ed_length_con;
    case InputField::MinSignal:
        return ui->Ed_min_signal;
    case InputField::MaxSignal:
        return ui->Ed_max_signal;
    }
    return nullptr;
}

QLabel *InputPage::field_label(InputField field) const
{
    switch (field) {
    case InputField::Points:
        return ui->Lb_points;
    case InputField::Diameter:
        return ui->Lb_diameter;
    case InputField::LengthCyl:
        return ui->Lb_length_cyl;
    case InputField::Angle:
        return ui->Lb_angle;
    case InputField::LengthCon:
        return ui->Lb_length_con;
    case InputField::MinSignal:
        return ui->Lb_min_signal;
    case InputField::MaxSignal:
        return ui->Lb_max_signal;
    }
    return nullptr;
}

QString InputPage::field_text(InputField field) const
{
    const QWidget *widget = field_widget(field);
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    return static_cast<const QAbstractSpinBox *>(widget)->text();
}

QString InputPage::label_text(InputField field) const
{
    return field_label(field)->text();
}

void InputPage::focus_field(InputField field)
{
    QWidget *widget = field_widget(field);
    widget->setFocus(Qt::OtherFocusReason);
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edit->selectAll();
    else if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget))
        spin->selectAll();
}

void InputPage::reset_heights()
{
    ui->Ed_min_signal->setText(QStringLiteral("min"));
    ui->Ed_max_signal->setText(QStringLiteral("max"));
}

int InputPage::size_unit_index() const
{
    return ui->SizeUnits->currentIndex();
}

int InputPage::volume_unit_index() const
{
    return ui->VolumeUnits->currentIndex();
}

QString InputPage::size_unit_text() const
{
    return ui->SizeUnits->currentText();
}

QString InputPage::volume_unit_text() const
{
    return ui->VolumeUnits->currentText();
}

void InputPage::choose_first_units()
{
    ui->SizeUnits->setCurrentIndex(0);
    ui->VolumeUnits->setCurrentIndex(0);
}

PointsEdit::KeepText InputPage::keep_points_text()
{
    return PointsEdit::KeepText(*ui->Ed_points);
}

// The shape items are made after the other controls, so they would come
// last: the whole order is set, from the widget before the page on.
void InputPage::follow_in_tab_order(QWidget *before)
{
    std::vector<QWidget *> order = {before};
    for (int i = 0; i < shape_count; ++i)
        order.push_back(ui->GroupTankShape->item_button(i));
    order.insert(order.end(), {ui->SizeUnits, ui->VolumeUnits, ui->Ed_diameter, ui->Ed_length_cyl,
                               ui->Ed_length_con, ui->Ed_angle, ui->Ed_min_signal,
                               ui->Ed_max_signal, ui->Ed_points, ui->BtnCalculate});
    set_tab_order(order);
}

void InputPage::set_up_hints()
{
    for (QWidget *group :
         {static_cast<QWidget *>(ui->GroupTankShape), static_cast<QWidget *>(ui->GroupUnits),
          static_cast<QWidget *>(ui->GroupParameters)}) {
        group->setToolTipDuration(-1);
        new GroupHint(group);
    }
}

QLabel *InputPage::diagram_box(ShapeFamily family) const
{
    switch (family) {
    case ShapeFamily::Spherical:
        return ui->ImageSphTank;
    case ShapeFamily::Conical:
        return ui->ImageConTank;
    case ShapeFamily::Cylindrical:
        return ui->ImageCylTank;
    }
    return nullptr;
}

// Shows the diagram box of the shape's family with the shape's picture,
// loading the picture when the box does not hold it yet.
void InputPage::show_diagram(const ShapeInfo &shape)
{
    QLabel *box = diagram_box(shape.family);
    const QString picture = QString::fromLatin1(shape.diagram);
    if (box->pixmap().isNull() || box->property("picture").toString() != picture) {
        box->setPixmap(load_picture(picture, box->devicePixelRatioF()));
        box->setProperty("picture", picture);
    }
    box->show();
}

void InputPage::disable_parameters()
{
    for (QWidget *widget :
         {static_cast<QWidget *>(ui->Lb_diameter), static_cast<QWidget *>(ui->Lb_length_cyl),
          static_cast<QWidget *>(ui->Lb_length_con), static_cast<QWidget *>(ui->Lb_angle),
          static_cast<QWidget *>(ui->Lb_angle1), static_cast<QWidget *>(ui->Ed_length_cyl),
          static_cast<QWidget *>(ui->Ed_length_con), static_cast<QWidget *>(ui->Ed_angle),
          static_cast<QWidget *>(ui->Ed_points)})
        widget->setEnabled(false);
    ui->ImageSphTank->hide();
    ui->ImageConTank->hide();
    ui->ImageCylTank->hide();
}

void InputPage::view_shape(Shape shape)
{
    const ShapeInfo &info = shape_info(shape);
    disable_parameters();
    // The fields the shape does not use are emptied.
    if (!info.length_cyl)
        ui->Ed_length_cyl->clear();
    if (!info.length_con)
        ui->Ed_length_con->clear();
    if (!info.angle)
        ui->Ed_angle->clear();
    ui->Lb_diameter->setEnabled(true);
    if (info.length_cyl) {
        ui->Lb_length_cyl->setEnabled(true);
        ui->Ed_length_cyl->setEnabled(true);
    }
    if (info.length_con) {
        ui->Lb_length_con->setEnabled(true);
        ui->Ed_length_con->setEnabled(true);
    }
    if (info.angle) {
        ui->Lb_angle->setEnabled(true);
        ui->Lb_angle1->setEnabled(true);
        ui->Ed_angle->setEnabled(true);
        ui->Ed_angle->setText(QStringLiteral("0"));
    }
    ui->Ed_points->setEnabled(true);
    show_diagram(info);
}

} // namespace pelorin
