#pragma once

#include <cstdint>

namespace pelorin {

// The process-wide calculation state. The shape selection writes `shape`, the
// calibration run the rest, the report reads it. Real fields are 32-bit floats.
struct TCalcState
{
    float diameter = 0;     // d, size units
    float angle = 0;        // inclination of a cylinder's axis, radians, 0 .. pi/2
    float length_cyl = 0;   // L, size units
    float length_con = 0;   // L1, size units (conical shape only)
    float cur_height = 0;   // height of the level last evaluated, size units
    float cur_volume = 0;   // volume of the level last evaluated
    float min_signal = 0;   // h1, size units
    float max_signal = 0;   // h2, size units
    float zero_volume = 0;  // volume at h1 in the chosen volume unit (Zero)
    float top_volume = 0;   // volume at h2 in the chosen volume unit (Zero + Span)
    std::uint8_t shape = 0; // 0 .. 5, position in the shape list
};

extern TCalcState CalcState;

} // namespace pelorin
