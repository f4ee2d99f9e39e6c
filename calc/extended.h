#pragma once

// Extended-precision arithmetic with the faults the system reports.
//
// Stored reals are 32-bit floats; arithmetic between them runs in the 80-bit
// x87 extended type (64-bit mantissa, round to nearest). Invalid operation,
// division by zero and overflow are errors; underflow and inexact results are
// silent. The faults are detected explicitly at the only places where they
// can arise from finite float inputs: the divisions, and the rounding of an
// extended value to a 32-bit float.

#include "calc/errors.h"

#include <cmath>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "the volume model needs the 80-bit extended type (64-bit mantissa)");

namespace pelorin {

using extended = long double;

// v rounded to the nearest 32-bit float. A NaN is the result of an invalid
// operation; a finite value that rounds to infinity overflows.
inline float f32(extended v)
{
    if (std::isnan(v))
        throw MathError(MathError::Kind::InvalidOperation);
    const float r = static_cast<float>(v);
    if (std::isinf(r))
        throw MathError(MathError::Kind::Overflow);
    return r;
}

// a / b in extended precision: 0/0 is an invalid operation, x/0 a division by zero.
inline extended divide(extended a, extended b)
{
    if (b == 0) {
        if (a == 0 || std::isnan(a))
            throw MathError(MathError::Kind::InvalidOperation);
        throw MathError(MathError::Kind::DivisionByZero);
    }
    return a / b;
}

} // namespace pelorin
