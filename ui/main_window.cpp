#include "ui/main_window.h"
#include "ui_main_window.h"

#include "report/preview/prompts.h"
#include "report/preview/report_preview.h"
#include "report/report_captions.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/characteristic_window.h"
#include "ui/result_grid.h"

#include <QEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>

namespace pelorin {

// The client area under the menu: the page control fills it.
static constexpr int client_width = 637;
static constexpr int client_height = 414;

template <typename Sender, typename Signal>
void TForm1::connect_handler(Sender *sender, Signal signal, void (TForm1::*handler)())
{
    connect(sender, signal, this,
            [this, handler] { run_handler(m_prompts, this, [&] { (this->*handler)(); }); });
}

TForm1::TForm1(Prompts &prompts, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TForm1>()), m_prompts(prompts)
{
    ui->setupUi(this);
    // The main window's layout gives the menu bar its height for the width.
    const int menu_height = ui->MainMenu1->heightForWidth(client_width);
    setFixedSize(client_width,
                 client_height +
                     (menu_height > 0 ? menu_height : ui->MainMenu1->sizeHint().height()));
    QPalette colors = palette();
    colors.setBrush(QPalette::Window, colors.brush(QPalette::Button));
    setPalette(colors);

    ui->TabSheetInput->follow_in_tab_order(ui->PageControl1->tabBar());
    ui->PageControl1->installEventFilter(this);

    m_source.set_dataset(&m_table);
    m_source.set_grid_titles(QStringLiteral("Height"), QStringLiteral("Volume"));
    ui->TabSheetOutput->bind_grid(m_source, m_prompts);
    ui->TabSheetOutput->result_grid().set_file_name_stem(
        [this] { return QString::fromLatin1(shape_info(m_state.shape).key); });

    connect_handler(ui->Exit1, &QAction::triggered, &TForm1::Exit1Click);
    connect_handler(ui->About1, &QAction::triggered, &TForm1::About1Click);
    connect_handler(ui->PageControl1, &QTabWidget::currentChanged, &TForm1::page_changed);
    connect_handler(ui->TabSheetInput, &InputPage::shape_chosen, &TForm1::choose_tank);
    connect_handler(ui->TabSheetInput, &InputPage::calculate_clicked, &TForm1::calculate);
    connect_handler(ui->TabSheetOutput, &OutputPage::report_clicked, &TForm1::PrintClick);
    connect_handler(&ui->TabSheetOutput->result_grid(), &ResultGrid::characteristic_requested,
                    &TForm1::show_characteristic);
    connect(ui->TabSheetInput, &InputPage::points_refused, this, [this] { m_prompts.beep(); });
    // A table on show is placed again at once, as Calculate would place it.
    connect_handler(ui->TabSheetOutput->result_grid().placement_action(), &QAction::toggled,
                    &TForm1::placement_changed);

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::set_about_box(TAboutBox *about_box)
{
    m_about_box = about_box;
}

void TForm1::FormCreate()
{
    InputPage &input = *ui->TabSheetInput;
    const QString title = input.shape_text(input.shape_index()) + QStringLiteral(" tank");
    input.set_title(title);
    ui->TabSheetOutput->set_title(title);
    input.choose_first_units();
    // Hidden and disabled: the keyboard's page switching skips only disabled
    // tabs, and the Report page must never be reached.
    const int report = ui->PageControl1->indexOf(ui->TabSheetReport);
    ui->PageControl1->setTabVisible(report, false);
    ui->PageControl1->setTabEnabled(report, false);
    set_active_page(ui->TabSheetStart);
}

void TForm1::FormActivate()
{
    if (m_about_box)
        m_about_box->hide();
}

// A page change made by the program: no ChangePage, and the points box keeps
// its text when the page switch takes the focus from it (the calibration run
// started with Alt+C judges the text as typed).
void TForm1::set_active_page(QWidget *page)
{
    const QScopedValueRollback<bool> guard(m_changing_page, true);
    const PointsEdit::KeepText keep = ui->TabSheetInput->keep_points_text();
    ui->PageControl1->setCurrentWidget(page);
}

void TForm1::page_changed()
{
    if (!m_changing_page)
        ChangePage();
}

void TForm1::ChangePage()
{
    if (ui->PageControl1->currentWidget() == ui->TabSheetOutput)
        calculate();
}

void TForm1::calculate()
{
    // The grid follows the table once, when the run has written its rows.
    const ResultGrid::Hold hold(ui->TabSheetOutput->result_grid());
    const bool optimised = ui->TabSheetOutput->result_grid().placement_action()->isChecked();
    const std::optional<RunModel> model = calibration_run(
        *this, m_state, m_table, optimised ? PointPlacement::Optimised : PointPlacement::Even);
    if (!model)
        return;
    const InputPage &input = *ui->TabSheetInput;
    m_last_run = std::make_unique<CharacteristicInput>(CharacteristicInput{
        *model, input.size_unit_index(), input.size_unit_text(), input.volume_unit_text()});
    if (m_characteristic && m_characteristic->isVisible())
        m_characteristic->set_input(*m_last_run);
}

void TForm1::placement_changed()
{
    if (m_last_run && m_source.rowCount() > 0)
        calculate();
}

CharacteristicWindow *TForm1::characteristic_window() const
{
    return m_characteristic;
}

void TForm1::show_characteristic()
{
    if (!m_last_run)
        return;
    if (!m_characteristic) {
        m_characteristic = new CharacteristicWindow(m_prompts, this);
        m_characteristic->set_placement_action(
            ui->TabSheetOutput->result_grid().placement_action());
    }
    m_characteristic->set_input(*m_last_run);
    m_characteristic->show();
    m_characteristic->raise();
    m_characteristic->activateWindow();
}

void TForm1::choose_tank()
{
    InputPage &input = *ui->TabSheetInput;
    OutputPage &output = *ui->TabSheetOutput;
    const int index = input.shape_index();

    m_table.close();
    if (m_characteristic)
        m_characteristic->mark_as_last_run();
    input.reset_heights();
    output.set_zero_text(QStringLiteral(" Zero  = ?"));
    output.set_span_text(QStringLiteral(" Span = ?"));
    const QString title = input.shape_text(index) + QStringLiteral(" tank");
    input.set_title(title);
    output.set_title(title);
    m_state.shape = shape_at(index);
    input.view_shape(m_state.shape);
}

void TForm1::PrintClick()
{
    // A conversion error leaves here with the run: no caption changes and no
    // preview. A rejection returns normally and the report shows the
    // calculation state as the interrupted run left it.
    calculate();

    const InputPage &input = *ui->TabSheetInput;
    ReportTexts texts;
    texts.diameter = input.label_text(InputField::Diameter);
    texts.length_cyl = input.label_text(InputField::LengthCyl);
    texts.length_con = input.label_text(InputField::LengthCon);
    texts.angle = input.label_text(InputField::Angle);
    texts.min_signal = input.label_text(InputField::MinSignal);
    texts.max_signal = input.label_text(InputField::MaxSignal);
    texts.tank_shape = input.shape_text(input.shape_index());
    texts.size_unit = input.size_unit_text();
    texts.volume_unit = input.volume_unit_text();
    set_report_captions(QuickRep1(), m_state, texts);

    preview_report(QuickRep1(), m_table, m_prompts, this);
}

ReportLayout &TForm1::QuickRep1()
{
    if (!m_report)
        m_report = std::make_unique<ReportLayout>();
    return *m_report;
}

void TForm1::Exit1Click()
{
    close();
}

void TForm1::About1Click()
{
    if (!m_about_box)
        return;
    m_about_box->show();
    m_about_box->raise();
    m_about_box->activateWindow();
}

bool TForm1::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        run_handler(m_prompts, this, [this] { FormActivate(); });
    return QMainWindow::event(event);
}

// Ctrl+Tab and Ctrl+Shift+Tab on the page control: when the page change
// ends on a rejection, the message box has just taken the activation away,
// no widget has the focus, and the control would give it to its tab row. The
// rejected field gets it back.
bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != ui->PageControl1 || event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) ||
        !(key->modifiers() & Qt::ControlModifier))
        return QMainWindow::eventFilter(watched, event);
    m_focused_field.reset();
    static_cast<QObject *>(ui->PageControl1)->event(event);
    if (m_focused_field)
        focus_field(*m_focused_field);
    return true;
}

// The size is fixed: a request to maximise leaves the window as it is.
void TForm1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
    QMainWindow::changeEvent(event);
}

void TForm1::showEvent(QShowEvent *event)
{
    centre_on_first_show(*this, m_centred);
    QMainWindow::showEvent(event);
}

void TForm1::focus_field(InputField field)
{
    m_focused_field = field;
    ui->TabSheetInput->focus_field(field);
}

void TForm1::show_output()
{
    set_active_page(ui->TabSheetOutput);
    ui->TabSheetOutput->show_grid();
}

QString TForm1::field_text(InputField field) const
{
    return ui->TabSheetInput->field_text(field);
}

int TForm1::size_unit_index() const
{
    return ui->TabSheetInput->size_unit_index();
}

int TForm1::volume_unit_index() const
{
    return ui->TabSheetInput->volume_unit_index();
}

QString TForm1::size_unit_text() const
{
    return ui->TabSheetInput->size_unit_text();
}

QString TForm1::volume_unit_text() const
{
    return ui->TabSheetInput->volume_unit_text();
}

void TForm1::input_failed(InputField field)
{
    set_active_page(ui->TabSheetInput);
    focus_field(field);
}

void TForm1::reject(const QString &message, InputField field)
{
    m_prompts.beep();
    m_prompts.message(this, QStringLiteral("Error"), message, Prompts::Icon::Error);
    set_active_page(ui->TabSheetInput);
    focus_field(field);
}

void TForm1::set_zero_text(const QString &text)
{
    ui->TabSheetOutput->set_zero_text(text);
}

void TForm1::set_span_text(const QString &text)
{
    ui->TabSheetOutput->set_span_text(text);
}

void TForm1::set_column_titles(const QString &height, const QString &volume)
{
    m_source.set_title(3, height);
    m_source.set_title(4, volume);
}

} // namespace pelorin
