#pragma once

// The Output page of the main window (TabSheetOutput): the shape title, Zero
// and Span, the explanatory text, the Report button and the grid DBGrid1 of
// the result table. The calibration run writes its texts through the main
// window; the page itself only sets up the widgets' look and the grid.

#include "ui_output_page.h"

#include <QWidget>

namespace pelorin {

class DataSource;
class ResultGrid;

class OutputPage : public QWidget
{
    Q_OBJECT

public:
    // Throws when a picture of the page cannot be loaded.
    explicit OutputPage(QWidget *parent = nullptr);

    // Shows the rows of the source's table in DBGrid1, marking its current row.
    void bind_grid(DataSource &source);
    // The grid's binding; valid after bind_grid().
    ResultGrid &result_grid() { return *m_result_grid; }

    // The widgets of the page, by their names.
    Ui::OutputPage ui;

protected:
    // Keeps the strips across the panel and the grid down to its bottom edge.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ResultGrid *m_result_grid = nullptr;
};

} // namespace pelorin
