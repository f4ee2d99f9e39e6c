#pragma once

// Where the table's inner points go. The instrument interpolates linearly
// between the (Input, Output) pairs it is given, as the grid shows them (three
// decimals), and nothing makes the inner Inputs evenly spaced: placed where
// the tank's curve bends they cut the largest linearisation error several
// times for the same number of points.
//
// The placement is the best over the Inputs 0.001 .. 0.999 of the three-decimal
// grid, each Output the model's normalised volume at its Input. A table's error
// is measured as the characteristic measures it: the table as shown against
// the model's curve at the levels i / curve_intervals, and at the table's own
// Inputs, where the Output's rounding alone makes an error. The error of a
// segment depends on its two ends only, so the best largest error for every
// number of points is a minimax shortest path over the grid:
//   B_k(b) = min over a < b of max(B_k-1(a), w(a, b)),
// with w(a, b) the largest error between the nodes a and b, read from the
// upper and lower convex hulls of the curve's samples between them.

#include "calc/calibration_run.h"
#include "calc/characteristic.h"

#include <array>
#include <functional>
#include <vector>

namespace pelorin {

// The model's normalised volume (Output) at a normalised level (Input).
using VolumeCurve = std::function<float(float input)>;

// The steps of the three-decimal grid between Input 0 and Input 1.
constexpr int placement_grid = 1000;

struct OptimalPlacement
{
    // The n inner Inputs, rising; the first and last rows stay at Input 0 and 1.
    std::vector<float> inputs;
    // The n + 2 points as the grid shows them (Input, Output).
    std::vector<CurvePoint> table;
    // The table's largest error magnitude, in % of span.
    double largest = 0;
    // The curve is straight to the shown digits: every placement is as good as
    // any other, and `inputs` are the even ones (table_inputs).
    bool straight = false;
    // The largest error of the best placement of n inner points, n = 0 .. 25.
    std::array<double, most_points + 1> largest_for{};
    // For each of error_limits, the fewest points whose best placement keeps
    // the error within it; 0 when 25 points are not enough.
    std::array<int, error_limits.size()> points_needed{};
};

// The best placement of `points` inner Inputs (1 .. 25) for the curve. Of
// equally good tables the one with the smallest sum of its segments' errors
// wins; what ties remain go, from the last row down, to the lower Input.
// `grid_steps`, a divisor of 1000, coarsens the grid (the Inputs k /
// grid_steps). Throws std::invalid_argument for points or a grid out of
// range; the curve's errors leave as they come.
OptimalPlacement optimal_placement(const VolumeCurve &output, int points,
                                   int grid_steps = placement_grid);

// The same for a finished run's tank, each Output by the run's own rules.
OptimalPlacement optimal_placement(const RunModel &model, int points);

} // namespace pelorin
