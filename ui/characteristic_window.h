#pragma once

// The Characteristic window: what the correction table of the last run makes
// the instrument do. Its plot sets the tank's normalised volume against the
// normalised level beside the table's piecewise-linear line, and below it the
// linearisation error (the texts write "normalized", as the report does); its texts give the
// largest error and the points needed; two look-up fields turn a height into its volume and a
// volume into its height; the fine level table is saved as CSV. Everything comes from
// calc/characteristic.h.
//
// The window is not modal. The main window hands it each successful run while
// it is open; Esc or Close hides it.

#include "calc/calibration_run.h"
#include "calc/characteristic.h"

#include <QDialog>

#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pelorin {

class Prompts;

// The run's tank and the unit names its texts carry.
struct CharacteristicInput
{
    RunModel model;
    int size_unit_index = 0;
    QString size_unit;
    QString volume_unit;
};

// Both plots, drawn by one function for the screen, the clipboard, PNG and SVG.
class CharacteristicPlot : public QWidget
{
    Q_OBJECT

public:
    explicit CharacteristicPlot(QWidget *parent = nullptr);

    void set_characteristic(const Characteristic *characteristic, const CharacteristicInput *input);
    // Draws the plots into `area` of the painter's device.
    void paint_plot(QPainter &painter, const QRectF &area) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const Characteristic *m_characteristic = nullptr;
    const CharacteristicInput *m_input = nullptr;
};

class CharacteristicWindow : public QDialog
{
    Q_OBJECT

public:
    explicit CharacteristicWindow(Prompts &prompts, QWidget *parent = nullptr);
    ~CharacteristicWindow() override;

    // Shows the characteristic of a run; the look-ups are evaluated again.
    void set_input(const CharacteristicInput &input);
    // The run shown is no longer in the Output page's table (a new shape
    // cleared it): the window says so until the next run.
    void mark_as_last_run();
    // Shows the main window's "Optimised point placement" as a check box
    // that toggles it.
    void set_placement_action(QAction *action);
    const Characteristic &shown() const { return m_characteristic; }

    // The plots as a picture: to the clipboard, and to a PNG or SVG file the
    // user chooses (by its suffix). Throws Error naming the file on failure.
    // The save dialogs propose "<shape>-characteristic.png" and
    // "<shape>-level-table.csv".
    void copy_picture();
    void save_picture();
    // Asks for a file and writes the level table at the step of the Step
    // field. Throws Error for a blank step, a step that is no number, finer
    // than 0.001 or gives too many rows, or a file that cannot be written.
    void save_level_table();

private:
    void look_up_height();
    void look_up_volume();
    QImage picture() const;
    QString file_name(const QString &what) const;

    Prompts &m_prompts;
    std::optional<CharacteristicInput> m_input;
    Characteristic m_characteristic;
    CharacteristicPlot *m_plot;
    QLabel *m_last_run_note;
    QLabel *m_largest_error;
    QLabel *m_points_needed;
    QLabel *m_even_figures;
    QLabel *m_optimised_figures;
    QCheckBox *m_placement;
    QLabel *m_height_label;
    QLineEdit *m_height;
    QLabel *m_height_result;
    QLabel *m_volume_label;
    QLineEdit *m_volume;
    QLabel *m_volume_result;
    QLabel *m_step_label;
    QLineEdit *m_step;
};

} // namespace pelorin
