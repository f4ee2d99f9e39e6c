#pragma once

// The Input page of the main window (TabSheetInput): the shape group, the
// unit lists, the parameter fields, the Calculate button and the diagram
// panel. The page owns its widgets: the main window reads and sets them
// through the methods below, and view_shape() switches the parameter group
// and the diagram to a shape as the shape catalogue describes it.

#include "calc/calibration_run.h"
#include "calc/shapes.h"
#include "ui/points_edit.h"

#include <QWidget>

#include <memory>

class QLabel;

namespace Ui {
class InputPage;
}

namespace pelorin {

class InputPage : public QWidget
{
    Q_OBJECT

public:
    // Throws when a picture of the page cannot be loaded (a diagram: when
    // it is first shown).
    explicit InputPage(QWidget *parent = nullptr);
    ~InputPage() override;

    // Puts the page's controls right after `before` in the tab order, as
    // laid out: the shape group, the units, the parameters, Calculate.
    void follow_in_tab_order(QWidget *before);

    // The shape group: the chosen item (a position in the shape catalogue)
    // and the text of an item.
    int shape_index() const;
    QString shape_text(int index) const;
    // The shape title over the diagram.
    void set_title(const QString &text);

    // A parameter field's text and its label's caption.
    QString field_text(InputField field) const;
    QString label_text(InputField field) const;
    // Gives a field the focus with its text selected, ready to be retyped.
    void focus_field(InputField field);
    // h1 and h2 back to "min" and "max".
    void reset_heights();

    // The unit lists: the chosen item and its text; choose_first_units()
    // selects meters and m3.
    int size_unit_index() const;
    int volume_unit_index() const;
    QString size_unit_text() const;
    QString volume_unit_text() const;
    void choose_first_units();

    // While the returned guard lives, the focus leaving the points box keeps
    // its text (a page switch made by the program).
    PointsEdit::KeepText keep_points_text();

    // The fields the shape uses enabled (the others disabled and emptied, the
    // angle at "0"), and its diagram.
    void view_shape(Shape shape);

signals:
    // The user chose another shape.
    void shape_chosen(int index);
    // The Calculate button was pressed.
    void calculate_clicked();
    // The points box refused a key.
    void points_refused();

private:
    QWidget *field_widget(InputField field) const;
    QLabel *field_label(InputField field) const;
    void set_up_hints();
    // The common disabled state of the parameter group; no diagram shown.
    void disable_parameters();
    QLabel *diagram_box(ShapeFamily family) const;
    void show_diagram(const ShapeInfo &shape);

    std::unique_ptr<Ui::InputPage> ui;
};

} // namespace pelorin
