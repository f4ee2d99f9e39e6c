// The volume model on any dimensions (every float, with the extremes made
// likely), any shape or a value past the shapes, and any level: only MathError
// or another pelorin::Error may leave it, the result is the stored volume,
// and a value past the shapes changes nothing.

#include "calc/calc_state.h"
#include "calc/errors.h"
#include "calc/tank_volume.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr float extremes[] = {0.0f,
                              -0.0f,
                              1.0f,
                              -1.0f,
                              0.5f,
                              1.5707964f, // pi/2 rounded up
                              1.5707963f, // pi/2 rounded down
                              FLT_MIN,
                              std::numeric_limits<float>::denorm_min(),
                              FLT_MAX,
                              -FLT_MAX,
                              FLT_EPSILON,
                              1e-20f,
                              1e20f,
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN()};
constexpr std::size_t extreme_count = sizeof extremes / sizeof extremes[0];

// Five bytes per value: a selector, then the float's bits.
float take_float(const std::uint8_t *&data)
{
    const std::uint8_t selector = data[0];
    float value;
    std::memcpy(&value, data + 1, sizeof value);
    data += 5;
    if (selector < 128)
        return extremes[selector % extreme_count];
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 26)
        return 0;
    pelorin::TCalcState s;
    s.diameter = take_float(data);
    s.angle = take_float(data);
    s.length_cyl = take_float(data);
    s.length_con = take_float(data);
    const float level = take_float(data);
    // Two values past the shapes, which must change nothing.
    const int shape = data[0] % (pelorin::shape_count + 2);
    s.shape = pelorin::Shape(shape);
    s.cur_height = 123.0f;
    s.cur_volume = 456.0f;

    try {
        const float volume = pelorin::tank_volume(s, level);
        if (shape >= pelorin::shape_count) {
            if (s.cur_height != 123.0f || s.cur_volume != 456.0f)
                std::abort();
        } else if (std::memcmp(&volume, &s.cur_volume, sizeof volume) != 0) {
            std::abort();
        }
    } catch (const pelorin::Error &) {
    }
    try {
        pelorin::tank_height(s);
    } catch (const pelorin::Error &) {
    }
    return 0;
}
