#include "calc/tank_volume.h"

#include <cmath>
#include <cstring>

namespace pelorin {

using namespace constants;

namespace {

// The levels at the two end faces of an inclined body differ by 1/k. Above
// this k the body is evaluated at its mean level (see inclined_volume).
constexpr float long_body_k = 1024;

// The terms of the tank's angle, worked out again only when the angle changed.
const AngleTerms &angle_terms(const TCalcState &tank)
{
    AngleTerms &terms = tank.angle_terms;
    if (std::memcmp(&terms.angle, &tank.angle, sizeof tank.angle) != 0) {
        terms.angle = tank.angle;
        terms.sin = sinl(tank.angle);
        terms.cos = cosl(tank.angle);
        terms.tan = tanl(tank.angle);
    }
    return terms;
}

// ArcCos through the two-argument arc tangent: ArcCos(1) = 0, ArcCos(-1) = pi.
extended arc_cos(extended v)
{
    return atan2l(sqrtl(1 - v * v), v);
}

// Height of the level for the cylindrical shapes: the sum is not rounded before
// the multiplication, so level 1 gives exactly H.
float cylinder_height(const TCalcState &s, float level)
{
    const AngleTerms &t = angle_terms(s);
    return f32((t.cos * s.diameter + t.sin * s.length_cyl) * level);
}

// Liquid volume in one end of fill fraction a: C d^3 (3a^2 - 2a^3).
float end_volume(const TCalcState &tank, float a, extended c)
{
    clamp_unit(a);
    const extended fill = 3 * static_cast<extended>(square(a)) - 2 * static_cast<extended>(cube(a));
    return f32((cube(tank.diameter) * c) * fill);
}

// The cylindrical shapes with dished ends: body plus the liquid in both ends.
float calc_with_ends(TCalcState &s, float level, float (*end)(const TCalcState &, float))
{
    s.cur_height = cylinder_height(s, level);
    const extended tan_angle = angle_terms(s).tan;
    float a_low = f32(level + tan_angle * (divide(level, s.diameter) * s.length_cyl));
    float a_high = f32(
        level - tan_angle * (divide(1 - static_cast<extended>(level), s.diameter) * s.length_cyl));
    clamp_unit(a_low);
    clamp_unit(a_high);
    const float c = inclined_volume(s, level);
    s.cur_volume = f32((static_cast<extended>(end(s, a_low)) + c) + end(s, a_high));
    return s.cur_volume;
}

} // namespace

float square(float v)
{
    return f32(static_cast<extended>(v) * v);
}

float cube(float v)
{
    return f32((static_cast<extended>(v) * v) * v);
}

void clamp_unit(float &v)
{
    // Signalling comparisons: a NaN cannot be limited.
    if (std::isnan(v))
        throw MathError(MathError::Kind::InvalidOperation);
    if (v < 0)
        v = 0;
    if (v > 1)
        v = 1;
}

float end_shallow(const TCalcState &tank, float a)
{
    return end_volume(tank, a, shallow_end);
}

float end_deep(const TCalcState &tank, float a)
{
    return end_volume(tank, a, pi_24);
}

float end_hemispherical(const TCalcState &tank, float a)
{
    return end_volume(tank, a, pi_12);
}

float calc_spherical(TCalcState &s, float level)
{
    s.cur_height = f32(static_cast<extended>(level) * s.diameter);
    s.cur_volume = f32(2 * static_cast<extended>(end_hemispherical(s, level)));
    return s.cur_volume;
}

float calc_conical(TCalcState &s, float level)
{
    s.cur_height = f32((static_cast<extended>(s.length_cyl) + s.length_con) * level);
    const extended base = square(s.diameter) * pi_12;
    if (s.cur_height > s.length_con) {
        // Full cone plus the filled part of the cylinder.
        s.cur_volume = f32(base * (3 * static_cast<extended>(s.cur_height) -
                                   2 * static_cast<extended>(s.length_con)));
    } else {
        const float cone_square = square(s.length_con);
        if (cone_square == 0) {
            // A flat-bottomed cylinder (no cone, or one too short to square):
            // nothing is held at or below the bottom, as the cylinder formula says.
            s.cur_volume = 0;
        } else {
            s.cur_volume = f32(divide(base, cone_square) * cube(s.cur_height));
        }
    }
    return s.cur_volume;
}

float segment_volume(const TCalcState &s, float level)
{
    float a = level;
    clamp_unit(a);
    // The full cylinder (a = 1, alpha = 2 pi) is asked for on every inclined
    // level; its segment term is a constant.
    static const float full_alpha = f32(2 * arc_cos(-1));
    static const extended full_term = full_alpha - sinl(full_alpha);
    const float alpha = a == 1 ? full_alpha : f32(2 * arc_cos(1 - 2 * static_cast<extended>(a)));
    const extended term = a == 1 ? full_term : alpha - sinl(alpha);
    return f32((static_cast<extended>(square(s.diameter)) * s.length_cyl) * term / 8);
}

float segment_integral(float u)
{
    clamp_unit(u);
    const float phi = f32(arc_cos(1 - 2 * static_cast<extended>(u)));
    const extended sin_phi = sinl(phi);
    return f32(((sin_phi - phi * cosl(phi)) - cube(f32(sin_phi)) * one_third) * one_over_2pi);
}

float inclined_volume(const TCalcState &s, float level)
{
    if (s.angle == 0)
        return segment_volume(s, level);
    const float k = f32(divide(divide(s.diameter, s.length_cyl), angle_terms(s).tan));
    if (k > long_body_k) {
        // Nearly horizontal (or very short) body: the difference of the two
        // 32-bit antiderivatives below would be multiplied by a huge k and
        // lose its digits. The level changes so little along the axis that the
        // horizontal body filled to the mean of the two end-face levels is
        // within 1e-5 of the full body.
        const extended mean =
            level + (2 * static_cast<extended>(level) - 1) / (2 * static_cast<extended>(k));
        return segment_volume(s, f32(mean));
    }
    const float u_low = f32(level + divide(level, k));
    const float u_high = f32(level - divide(1 - static_cast<extended>(level), k));
    float w = f32(level - (1 - static_cast<extended>(level)) * k);
    clamp_unit(w);
    const float a = segment_integral(u_low);
    const float b = segment_integral(u_high);
    return f32(segment_volume(s, 1) * ((static_cast<extended>(a) - b) * k + w));
}

float calc_flat_ends(TCalcState &s, float level)
{
    s.cur_height = cylinder_height(s, level);
    s.cur_volume = inclined_volume(s, level);
    return s.cur_volume;
}

float calc_shallow_ends(TCalcState &tank, float level)
{
    return calc_with_ends(tank, level, end_shallow);
}

float calc_deep_ends(TCalcState &tank, float level)
{
    return calc_with_ends(tank, level, end_deep);
}

float calc_hemispherical_ends(TCalcState &tank, float level)
{
    return calc_with_ends(tank, level, end_hemispherical);
}

float tank_volume(TCalcState &tank, float level)
{
    switch (tank.shape) {
    case Shape::Spherical:
        return calc_spherical(tank, level);
    case Shape::Conical:
        return calc_conical(tank, level);
    case Shape::CylindricalFlat:
        return calc_flat_ends(tank, level);
    case Shape::CylindricalShallow:
        return calc_shallow_ends(tank, level);
    case Shape::CylindricalDeep:
        return calc_deep_ends(tank, level);
    case Shape::CylindricalHemispherical:
        return calc_hemispherical_ends(tank, level);
    }
    return tank.cur_volume; // no shape function: the previous volume stands
}

float tank_height(const TCalcState &tank)
{
    switch (tank.shape) {
    case Shape::Spherical:
        return tank.diameter;
    case Shape::Conical:
        return f32(static_cast<extended>(tank.length_cyl) + tank.length_con);
    case Shape::CylindricalFlat:
    case Shape::CylindricalShallow:
    case Shape::CylindricalDeep:
    case Shape::CylindricalHemispherical:
        break;
    }
    // The inclined cylinder, also for a value outside the shapes.
    const AngleTerms &t = angle_terms(tank);
    return f32(t.sin * tank.length_cyl + t.cos * tank.diameter);
}

} // namespace pelorin
