#pragma once

// The volume model: for each of the six tank shapes, a normalised level
// (0 = lowest point of the tank body, 1 = top of the tank height H) becomes an
// absolute height (CalcState.cur_height) and a geometric volume in size units
// cubed (CalcState.cur_volume). Every rounding point of the model is an f32()
// below; everything else stays in extended precision.

#include "calc/calc_state.h"
#include "calc/extended.h"

#include <cstdint>

namespace pelorin {

// Shape indexes, the positions of the items of the shape group.
enum Shape : std::uint8_t {
    Spherical = 0,
    Conical = 1,
    CylindricalFlat = 2,
    CylindricalShallow = 3,
    CylindricalDeep = 4,
    CylindricalHemispherical = 5,
};

// Evaluates the shape function of `shape` at `level`, leaving height and volume
// in CalcState, and returns cur_volume. A shape outside 0..5 changes nothing.
float tank_volume(std::uint8_t shape, float level);

// Total height H of the current shape from the dimensions in CalcState.
float tank_height();

// Limits v in place to [0, 1]; a NaN is an invalid operation.
void clamp_unit(float &v);

// Elementary operations and the parts of the model, exposed for testing.
float square(float v);
float cube(float v);

float calc_spherical(float level);
float calc_conical(float level);
float calc_flat_ends(float level);
float calc_shallow_ends(float level);
float calc_deep_ends(float level);
float calc_hemispherical_ends(float level);

float segment_volume(float level);
float segment_integral(float u);
float inclined_volume(float level);
float end_shallow(float a);
float end_deep(float a);
float end_hemispherical(float a);

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
