#pragma once

#include "calc/extended.h"
#include "calc/shapes.h"

namespace pelorin {

// Sine, cosine and tangent of a tank's angle. The angle stays the same
// through a whole calibration run while the x87 functions are slow, so the
// volume model keeps the terms of the last angle it used (compared bit for
// bit, so -0 and 0 differ).
struct AngleTerms
{
    float angle = 0;
    extended sin = 0;
    extended cos = 1;
    extended tan = 0;
};

// The calculation state of one window or one command-line run. The shape
// selection writes `shape`, the calibration run the rest, the volume model
// the level last evaluated, the report reads it. Real fields are 32-bit floats.
struct TCalcState
{
    float diameter = 0;               // d, size units
    float angle = 0;                  // inclination of a cylinder's axis, radians, 0 .. pi/2
    float length_cyl = 0;             // L, size units
    float length_con = 0;             // L1, size units (conical shape only)
    float cur_height = 0;             // height of the level last evaluated, size units
    float cur_volume = 0;             // volume of the level last evaluated
    float min_signal = 0;             // h1, size units
    float max_signal = 0;             // h2, size units
    float zero_volume = 0;            // volume at h1 in the chosen volume unit (Zero)
    float top_volume = 0;             // volume at h2 in the chosen volume unit (Zero + Span)
    Shape shape = Shape::Spherical;   // the chosen item of the shape group
    mutable AngleTerms angle_terms{}; // of `angle`, kept by the volume model
};

} // namespace pelorin
