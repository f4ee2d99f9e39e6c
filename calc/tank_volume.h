#pragma once

// The volume model: for each tank shape, a normalised level (0 = lowest point
// of the tank body, 1 = top of the tank height H) becomes an absolute height
// (the tank's cur_height) and a geometric volume in size units cubed (its
// cur_volume). Every rounding point of the model is an f32() below;
// everything else stays in extended precision.

#include "calc/calc_state.h"
#include "calc/extended.h"

namespace pelorin {

// Evaluates the shape function of the tank's shape at `level`, leaving height
// and volume in the tank, and returns cur_volume. A value outside the shapes
// changes nothing.
float tank_volume(TCalcState &tank, float level);

// Total height H of the tank from its shape and dimensions.
float tank_height(const TCalcState &tank);

// Limits v in place to [0, 1]; a NaN is an invalid operation.
void clamp_unit(float &v);

// Elementary operations and the parts of the model, exposed for testing.
float square(float v);
float cube(float v);

float calc_spherical(TCalcState &tank, float level);
float calc_conical(TCalcState &tank, float level);
float calc_flat_ends(TCalcState &tank, float level);
float calc_shallow_ends(TCalcState &tank, float level);
float calc_deep_ends(TCalcState &tank, float level);
float calc_hemispherical_ends(TCalcState &tank, float level);

float segment_volume(const TCalcState &tank, float level);
float segment_integral(float u);
float inclined_volume(const TCalcState &tank, float level);
float end_shallow(const TCalcState &tank, float a);
float end_deep(const TCalcState &tank, float a);
float end_hemispherical(const TCalcState &tank, float a);

namespace constants {
constexpr extended pi = 3.14159265358979323846264338327950288L;
constexpr extended pi_12 = pi / 12;
constexpr extended pi_24 = pi / 24;
constexpr extended one_third = 1.0L / 3;
constexpr extended one_over_2pi = 1 / (2 * pi);
constexpr extended shallow_end = 0.0809L;
constexpr extended deg_to_rad = 0.017453292519943295769L; // pi / 180
constexpr extended half_pi = 1.5707963267948966193L;
constexpr extended rad_to_deg = 57.295779513082320877L; // 180 / pi
} // namespace constants

} // namespace pelorin
