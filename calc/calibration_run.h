#pragma once

// The calibration run: reads the input fields in a fixed order, validates and
// stores them in the caller's calculation state, computes Zero and Span and rewrites the result
// table with n + 2 rows of normalised correction values.
//
// The run talks to the window through RunView, so it can be driven without
// widgets. It returns normally after a rejection (the view has beeped, shown
// the message and focused the field); errors (conversion, arithmetic, range)
// leave it as exceptions. A failed guarded read first calls input_failed() so
// the view can switch to the Input page and focus the field before the error
// travels on.

#include "calc/calc_state.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace pelorin {

class Table;
struct OptimalPlacement;

enum class InputField { Points, Diameter, LengthCyl, Angle, LengthCon, MinSignal, MaxSignal };

class RunView
{
public:
    virtual ~RunView() = default;

    // Step 1: make the Output page active and the grid visible (no page-change event).
    virtual void show_output() = 0;
    virtual QString field_text(InputField field) const = 0;
    virtual int size_unit_index() const = 0;
    virtual int volume_unit_index() const = 0;
    virtual QString size_unit_text() const = 0;
    virtual QString volume_unit_text() const = 0;
    // A guarded read failed: Input page active, focus on the field. The error
    // continues after this returns.
    virtual void input_failed(InputField field) = 0;
    // A value out of range: beep, modal "Error" box, Input page, focus.
    virtual void reject(const QString &message, InputField field) = 0;
    virtual void set_zero_text(const QString &text) = 0;
    virtual void set_span_text(const QString &text) = 0;
    virtual void set_column_titles(const QString &height, const QString &volume) = 0;
};

// What a finished run knows about its tank: enough to evaluate the tank again
// at any level, by the run's own rules, after the run's state has moved on.
struct RunModel
{
    TCalcState tank;     // shape, dimensions, h1, h2, Zero and the volume at h2
    float height = 0;    // H
    float factor = 0;    // volume units per cubed size unit
    float level_min = 0; // f32(h1 / H)
    float level_max = 0; // f32(h2 / H)
    int points = 0;      // n
    // The table's n + 2 Inputs as the run placed them.
    std::vector<float> inputs;
    bool optimised = false; // placed by optimal_placement, not evenly
    // The placement the run found, when it placed its points optimally: its
    // figures serve the characteristic too.
    std::shared_ptr<const OptimalPlacement> placement;
};

// Where the run puts the table's inner points: evenly (i / (n + 1)), or where
// they keep the largest linearisation error smallest (calc/placement.h).
enum class PointPlacement { Even, Optimised };

// The tank at one level, as a table row shows it.
struct LevelValues
{
    float input = 0;  // normalised level: 0 at h1, 1 at h2
    float level = 0;  // level of the volume model: 0 at the bottom, 1 at H
    float height = 0; // size units
    float volume = 0; // volume units
    float output = 0; // normalised volume: 0 at Zero, 1 at Zero + Span
};

// The normalised levels of the n + 2 table rows: 0, then steps of 1 / (n + 1)
// summed in 32-bit floats.
std::vector<float> table_inputs(int points);

// The tank at the normalised level `input`, and at the model level `level`,
// evaluated in `tank`, which must hold the model's tank (the run's own state
// during a run, a copy of model.tank otherwise) and keeps the level last
// evaluated.
LevelValues evaluate_input(const RunModel &model, TCalcState &tank, float input);
LevelValues evaluate_level(const RunModel &model, TCalcState &tank, float level);

// Runs the calibration on the view's input for the shape in `state`, writing
// the other fields of `state` as far as the run gets, and `table`. Returns the
// run's model when the run wrote its whole table, nothing after a rejection.
// The placement changes nothing but the Inputs of the inner rows.
std::optional<RunModel> calibration_run(RunView &view, TCalcState &state, Table &table,
                                        PointPlacement placement = PointPlacement::Even);

// The texts of one table row, as the run formats them.
QString point_text(int point); // eleven blanks for 0 (the first and last rows)
QString value_text(long double value);

} // namespace pelorin
