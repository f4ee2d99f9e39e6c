#pragma once

// The main window Form1: the menu, the page control with the Info, Input,
// Output, (hidden) Report and Help pages, the result table and its binding.
//
// Data flow: the user's input lives in the Input page's fields; `calculate`
// hands the window to the calibration run as its RunView, which reads the
// fields, writes the window's calculation state and Table and asks the window to show Zero, Span,
// the column titles, or a rejection. DBGrid1 on the Output page shows Table
// through DataSource. Every handler runs inside run_handler(), so an error
// leaving it reaches the application's default error box.
//
// Page changes made by the program go through set_active_page() and never
// run ChangePage; only a page selected by the user (mouse or keyboard on the
// tab row) does.

#include "calc/calibration_run.h"
#include "calc/result_table.h"
#include "report/report_layout.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

namespace Ui {
class TForm1;
}

namespace pelorin {

class CharacteristicWindow;
class Prompts;
class TAboutBox;
struct CharacteristicInput;

class TForm1 : public QMainWindow, private RunView
{
    Q_OBJECT

public:
    // Creates the window from its layout and runs FormCreate. Throws when a
    // picture of the window cannot be loaded.
    explicit TForm1(Prompts &prompts, QWidget *parent = nullptr);
    ~TForm1() override;

    // The About box that About1Click shows and FormActivate hides.
    void set_about_box(TAboutBox *about_box);

    Table &table() { return m_table; }
    // The calculation state: the chosen shape, and what the last run stored.
    const TCalcState &calc_state() const { return m_state; }
    // The calibration report's layout, made when the first report is asked
    // for (measuring its fonts is not start-up work) and kept for the life of
    // the window with its print settings. PrintClick writes its captions.
    ReportLayout &QuickRep1();
    DataSource &data_source() { return m_source; }
    Prompts &prompts() { return m_prompts; }

    // Makes a page active without running ChangePage.
    void set_active_page(QWidget *page);

    // The Characteristic window of the last successful run, created when
    // first shown; null before.
    CharacteristicWindow *characteristic_window() const;

public slots:
    // The calibration run on the current input.
    void calculate();
    // The page-change handler: runs the calibration when the user selected
    // the Output page.
    void ChangePage();
    void choose_tank();
    // The Report button: recalculates, fills the report and previews it,
    // returning when the preview closes.
    void PrintClick();
    void Exit1Click();
    void About1Click();
    // Shows the Characteristic window for the last successful run.
    void show_characteristic();
    void placement_changed();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void FormActivate();
    void page_changed();
    // Connects a signal to a handler that runs inside run_handler().
    template <typename Sender, typename Signal>
    void connect_handler(Sender *sender, Signal signal, void (TForm1::*handler)());
    void focus_field(InputField field);

    // RunView: how the calibration run sees this window.
    void show_output() override;
    QString field_text(InputField field) const override;
    int size_unit_index() const override;
    int volume_unit_index() const override;
    QString size_unit_text() const override;
    QString volume_unit_text() const override;
    void input_failed(InputField field) override;
    void reject(const QString &message, InputField field) override;
    void set_zero_text(const QString &text) override;
    void set_span_text(const QString &text) override;
    void set_column_titles(const QString &height, const QString &volume) override;

    std::unique_ptr<Ui::TForm1> ui;
    Prompts &m_prompts;
    TCalcState m_state;
    Table m_table;
    std::unique_ptr<ReportLayout> m_report;
    DataSource m_source;
    QPointer<TAboutBox> m_about_box;
    std::unique_ptr<CharacteristicInput> m_last_run;
    QPointer<CharacteristicWindow> m_characteristic;
    bool m_changing_page = false;
    // The field the last failed or rejected input focused.
    std::optional<InputField> m_focused_field;
    bool m_centred = false;
};

} // namespace pelorin
