#include "calc/units.h"

#include "calc/errors.h"
#include "calc/tank_volume.h"

namespace pelorin {

namespace {

std::size_t checked_position(int position)
{
    // Compared as an unsigned number, so -1 ("no selection") is outside too.
    if (static_cast<unsigned>(position) > 9u)
        throw RangeError();
    return static_cast<std::size_t>(position);
}

template <typename Unit, std::size_t count>
QStringList texts(const std::array<Unit, count> &units, const char *Unit::*text)
{
    QStringList list;
    for (const Unit &unit : units)
        list << QString::fromLatin1(unit.*text);
    return list;
}

} // namespace

float volume_factor(int size_position, int volume_position)
{
    const std::size_t size = checked_position(size_position);
    const float c = cube(size < size_units.size() ? size_units[size].metres : 1.0f);
    const std::size_t volume = checked_position(volume_position);
    const float unit = volume < volume_units.size() ? volume_units[volume].cubic_metres : 1.0f;
    return f32(divide(c, unit));
}

QStringList size_unit_names()
{
    return texts(size_units, &SizeUnit::name);
}

QStringList size_unit_keys()
{
    return texts(size_units, &SizeUnit::key);
}

QStringList volume_unit_names()
{
    return texts(volume_units, &VolumeUnit::name);
}

QStringList volume_unit_keys()
{
    return texts(volume_units, &VolumeUnit::key);
}

} // namespace pelorin
