#include "calc/units.h"

#include "calc/errors.h"
#include "calc/extended.h"
#include "calc/tank_volume.h"

namespace pelorin {

// Positions past the listed units hold 1; no list item leads to them.
const std::array<float, 10> size_factors = {1.0f, 0.3048f, 1.0f, 1.0f, 1.0f,
                                            1.0f, 1.0f,    1.0f, 1.0f, 1.0f};
const std::array<float, 10> volume_unit_factors = {1.0f, 0.001f, 0.003785411f, 0.02831685f, 1.0f,
                                                   1.0f, 1.0f,   1.0f,         1.0f,        1.0f};

namespace {

std::size_t checked_position(int position)
{
    // Compared as an unsigned number, so -1 ("no selection") is outside too.
    if (static_cast<unsigned>(position) > 9u)
        throw RangeError();
    return static_cast<std::size_t>(position);
}

} // namespace

float volume_factor(int size_position, int volume_position)
{
    const float c = cube(size_factors[checked_position(size_position)]);
    const float unit = volume_unit_factors[checked_position(volume_position)];
    return f32(divide(c, unit));
}

} // namespace pelorin
