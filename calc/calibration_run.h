#pragma once

// The calibration run: reads the input fields in a fixed order, validates and
// stores them in CalcState, computes Zero and Span and rewrites the result
// table with n + 2 rows of normalised correction values.
//
// The run talks to the window through RunView, so it can be driven without
// widgets. It returns normally after a rejection (the view has beeped, shown
// the message and focused the field); errors (conversion, arithmetic, range)
// leave it as exceptions. A failed guarded read first calls input_failed() so
// the view can switch to the Input page and focus the field before the error
// travels on.

#include <QString>

namespace pelorin {

class Table;

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

// Runs the calibration on the view's input, writing CalcState and `table`.
void calibration_run(RunView &view, Table &table);

// The texts of one table row, as the run formats them.
QString point_text(int point); // eleven blanks for 0 (the first and last rows)
QString value_text(long double value);

} // namespace pelorin
