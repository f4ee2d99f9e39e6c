#pragma once

// The Output page of the main window (TabSheetOutput): the shape title, Zero
// and Span, the explanatory text, the Report button and the grid DBGrid1 of
// the result table. The page owns its widgets: the main window writes the
// texts through the methods below; the page sets up their look and the grid.

#include <QWidget>

#include <memory>

namespace Ui {
class OutputPage;
}

namespace pelorin {

class DataSource;
class Prompts;
class ResultGrid;

class OutputPage : public QWidget
{
    Q_OBJECT

public:
    // Throws when a picture of the page cannot be loaded.
    explicit OutputPage(QWidget *parent = nullptr);
    ~OutputPage() override;

    // Shows the rows of the source's table in DBGrid1, marking its current
    // row; the grid's save dialog and error boxes go through `prompts`.
    void bind_grid(DataSource &source, Prompts &prompts);
    // The grid's binding; valid after bind_grid().
    ResultGrid &result_grid() { return *m_result_grid; }
    void show_grid();

    // The shape title across the top, and the Zero and Span texts.
    void set_title(const QString &text);
    void set_zero_text(const QString &text);
    void set_span_text(const QString &text);

signals:
    // The Report button was pressed.
    void report_clicked();

protected:
    // Keeps the strips across the panel and the grid down to its bottom edge.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<Ui::OutputPage> ui;
    ResultGrid *m_result_grid = nullptr;
};

} // namespace pelorin
