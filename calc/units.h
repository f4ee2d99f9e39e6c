#pragma once

// Units of measure: the size unit in which dimensions and heights are entered
// and the volume unit in which volumes are shown. Heights are never converted;
// volumes are multiplied by volume_factor(). The lists below are the window's
// unit lists, in order, with the command line's keys.

#include "calc/extended.h"

#include <QStringList>

#include <array>

namespace pelorin {

struct SizeUnit
{
    const char *key;     // value of --size-unit
    const char *name;    // item of the size-unit list, printed after sizes
    float metres;        // metres per unit
    extended level_step; // the level table's usual step
};

struct VolumeUnit
{
    const char *key;    // value of --volume-unit
    const char *name;   // item of the volume-unit list, printed after volumes
    float cubic_metres; // cubic metres per unit
};

constexpr std::array<SizeUnit, 2> size_units = {{
    {"meters", "meters", 1.0f, 0.01L},
    {"feet", "feet", 0.3048f, 0.05L},
}};
constexpr std::array<VolumeUnit, 4> volume_units = {{
    {"m3", "m3", 1.0f},
    {"liters", "liters", 0.001f},
    {"usgal", "US gal", 0.003785411f},
    {"ft3", "ft3", 0.02831685f},
}};

// Chosen volume units per cubic size unit. A position outside 0..9 (-1 meaning
// "no selection" included) raises RangeError; the size position is tested
// first. Positions past the listed units, up to 9, count as 1.
float volume_factor(int size_position, int volume_position);

QStringList size_unit_names();
QStringList size_unit_keys();
QStringList volume_unit_names();
QStringList volume_unit_keys();

} // namespace pelorin
