#pragma once

// The Input page of the main window (TabSheetInput): the shape group, the
// unit lists, the parameter fields, the Calculate button and the diagram
// panel. The main window's handlers reach the widgets by name through `ui`;
// the page itself only arranges them: the routines below switch the
// parameter group and the diagram between the shape families.

#include "ui_input_page.h"

#include <QWidget>

namespace pelorin {

class InputPage : public QWidget
{
    Q_OBJECT

public:
    // Throws when a picture of the page cannot be loaded (a diagram: when
    // it is first shown).
    explicit InputPage(QWidget *parent = nullptr);

    // The common disabled state of the parameter group; no diagram shown.
    void disable_parameters();
    // Puts the page's controls right after `before` in the tab order, as
    // laid out: the shape group, the units, the parameters, Calculate.
    void follow_in_tab_order(QWidget *before);

    // The fields and the diagram of one shape family.
    void view_spherical();
    void view_conical();
    void view_cylindrical();

    // The widgets of the page, by their names.
    Ui::InputPage ui;

private:
    void set_up_hints();
    void show_diagram(QLabel *box);
};

} // namespace pelorin
