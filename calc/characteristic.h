#pragma once

// What the correction table makes the instrument do. The instrument does not
// know the tank: between the n + 2 points of the table, as the user programs
// them (the texts of the grid, three decimals), it interpolates linearly. The
// characteristic set side by side the tank's normalised volume against the
// normalised level, and that interpolation, and their difference, the
// linearisation error.
//
// Every value comes from the volume model through the run's own rules
// (evaluate_input / evaluate_level), on a copy of the model's tank. The model's
// errors (MathError …) become the `failure` text or leave as exceptions, as
// each function says.

#include "calc/calibration_run.h"
#include "calc/extended.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace pelorin {

struct CurvePoint
{
    double x = 0; // normalised level
    double y = 0;
};

// The error limits, in % of span, for which the points needed are counted.
constexpr std::array<double, 4> error_limits = {1, 0.5, 0.1, 0.05};
constexpr int most_points = 25;
// The model is sampled on this many intervals of the normalised level: the
// narrowest table interval (25 points, 1/26 less the rounding of its ends to
// three decimals, 0.0375) still holds more than 100 of them.
constexpr int curve_intervals = 2700;

struct Characteristic
{
    // The model's normalised volume, at least 100 levels per table interval.
    std::vector<CurvePoint> model;
    // The table's points as the grid shows them (Input, Output).
    std::vector<CurvePoint> table;
    // Interpolated minus model normalised volume, in % of span, at the levels of `model`.
    std::vector<CurvePoint> error;

    // The error of largest magnitude: its level, normalised and in size units,
    // and its size in % of span and in volume units.
    double largest_input = 0;
    double largest_height = 0;
    double largest_percent = 0;
    double largest_volume = 0;

    // For each of error_limits, the fewest points whose table keeps the error
    // within it; 0 when 25 points are not enough. Placed as the run placed
    // its table.
    std::array<int, error_limits.size()> points_needed{};

    // The two placements side by side, for the run's number of points: the
    // largest error magnitude in % of span, and the points needed.
    struct PlacementFigures
    {
        double largest = 0;
        std::array<int, error_limits.size()> points_needed{};
    };
    PlacementFigures even;
    PlacementFigures optimised;
    // The curve is straight to the shown digits: any placement is as good.
    bool straight = false;

    // Not empty when the model raised an error: what happened, and where.
    // The curves are then empty.
    QString failure;
};

// The characteristic of the model's table, placed as the run placed it, with
// both placements' figures.
Characteristic characteristic(const RunModel &model);

// The largest error magnitude, in % of span, of a table of `points` points
// for the model's tank, on `samples` + 1 evenly spaced levels. Leaves the
// model's errors as exceptions.
double largest_error(const RunModel &model, int points, int samples);

// The largest error magnitude, in % of span, of `table` (points as the grid
// shows them) for the model's tank, found as the characteristic finds it: on
// the curve's levels, the peaks refined. Leaves the model's errors as
// exceptions.
double largest_error(const RunModel &model, const std::vector<CurvePoint> &table);

// A number as the grid writes it, read back: what the user programs.
double as_shown(float value);

// "Largest error = -0.412 % of span (-2.157 m3) at level 0.530 (5.300 meters)",
// or for an error that shows as 0.000 "... : the table is exact at every level".
QString largest_error_text(const Characteristic &c, const QString &size_unit,
                           const QString &volume_unit);
// "Points needed for 1 % = 3; 0.5 % = 5; 0.1 % = 12; 0.05 % = more than 25"
QString points_needed_text(const Characteristic &c);
// "Even placement: largest error 0.498 % of span; points needed for 1 % = 8, …"
// and the same for the optimised placement.
QString even_placement_text(const Characteristic &c);
QString optimised_placement_text(const Characteristic &c);

// The fine level table: heights from h1 to h2 in steps of `step` size units,
// h2 always the last row. Throws Error when the step is not a positive number,
// is finer than the heights are shown (min_level_step: finer steps repeat
// heights) or gives more than max_level_rows rows, and the model's errors.
// The messages name the step as `step_text` (as the user typed it) when given.
constexpr int max_level_rows = 100000;
constexpr extended min_level_step = 0.001L;
std::vector<LevelValues> level_table(const RunModel &model, extended step,
                                     const QString &step_text = QString());
// The usual step: 1 cm in meters, 0.05 ft in feet.
extended default_level_step(int size_unit_index);
// As CSV, by the rules of the table's CSV: height, volume, then both
// normalised, formatted like the grid.
QString level_table_csv(const std::vector<LevelValues> &rows, const QString &size_unit,
                        const QString &volume_unit);

// The look-ups keep to the table's range, h1 .. h2 and Zero .. Zero + Span,
// judged at the digits the texts show: a range end as shown is inside (and
// taken as the end itself). Outside they give nothing; the model's errors
// leave as exceptions.
//
// The tank at a height in size units.
std::optional<LevelValues> values_at_height(const RunModel &model, extended height);
// The level whose volume is nearest `volume`, found by bisection between h1
// and h2 to the resolution of the 32-bit level.
std::optional<LevelValues> values_at_volume(const RunModel &model, extended volume);

} // namespace pelorin
