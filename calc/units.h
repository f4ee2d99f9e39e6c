#pragma once

// Units of measure: the size unit in which dimensions and heights are entered
// and the volume unit in which volumes are shown. Heights are never converted;
// volumes are multiplied by volume_factor().

#include <array>

namespace pelorin {

// Metres per size unit, indexed by the position in the size-unit list.
extern const std::array<float, 10> size_factors;
// Cubic metres per volume unit, indexed by the position in the volume-unit list.
extern const std::array<float, 10> volume_unit_factors;

// Chosen volume units per cubic size unit. A position outside 0..9 (-1 meaning
// "no selection" included) raises RangeError; the size position is tested first.
float volume_factor(int size_position, int volume_position);

} // namespace pelorin
