#include "calc/tank_volume.h"

#include <cmath>
#include <cstring>

namespace pelorin {

using namespace constants;

namespace {

// The levels at the two end faces of an inclined body differ by 1/k. Above
// this k the body is evaluated at its mean level (see inclined_volume).
constexpr float long_body_k = 1024;

// Sine, cosine and tangent of the stored angle. The angle stays the same
// through a whole calibration run while the x87 functions are slow, so the
// terms of the last angle are kept (compared bit for bit, so -0 and 0 differ).
struct AngleTerms
{
    float angle = 0;
    extended sin = 0;
    extended cos = 1;
    extended tan = 0;
};

const AngleTerms &angle_terms(float angle)
{
    static AngleTerms terms;
    if (std::memcmp(&terms.angle, &angle, sizeof angle) != 0) {
        terms.angle = angle;
        terms.sin = sinl(angle);
        terms.cos = cosl(angle);
        terms.tan = tanl(angle);
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
float cylinder_height(float level)
{
    const TCalcState &s = CalcState;
    const AngleTerms &t = angle_terms(s.angle);
    return f32((t.cos * s.diameter + t.sin * s.length_cyl) * level);
}

// Liquid volume in one end of fill fraction a: C d^3 (3a^2 - 2a^3).
float end_volume(float a, extended c)
{
    clamp_unit(a);
    const extended fill = 3 * static_cast<extended>(square(a)) - 2 * static_cast<extended>(cube(a));
    return f32((cube(CalcState.diameter) * c) * fill);
}

// The cylindrical shapes with dished ends: body plus the liquid in both ends.
float calc_with_ends(float level, float (*end)(float))
{
    TCalcState &s = CalcState;
    s.cur_height = cylinder_height(level);
    const extended tan_angle = angle_terms(s.angle).tan;
    float a_low = f32(level + tan_angle * (divide(level, s.diameter) * s.length_cyl));
    float a_high = f32(
        level - tan_angle * (divide(1 - static_cast<extended>(level), s.diameter) * s.length_cyl));
    clamp_unit(a_low);
    clamp_unit(a_high);
    const float c = inclined_volume(level);
    s.cur_volume = f32((static_cast<extended>(end(a_low)) + c) + end(a_high));
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

float end_shallow(float a)
{
    return end_volume(a, shallow_end);
}

float end_deep(float a)
{
    return end_volume(a, pi_24);
}

float end_hemispherical(float a)
{
    return end_volume(a, pi_12);
}

float calc_spherical(float level)
{
    TCalcState &s = CalcState;
    s.cur_height = f32(static_cast<extended>(level) * s.diameter);
    s.cur_volume = f32(2 * static_cast<extended>(end_hemispherical(level)));
    return s.cur_volume;
}

float calc_conical(float level)
{
    TCalcState &s = CalcState;
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

float segment_volume(float level)
{
    const TCalcState &s = CalcState;
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

float inclined_volume(float level)
{
    const TCalcState &s = CalcState;
    if (s.angle == 0)
        return segment_volume(level);
    const float k = f32(divide(divide(s.diameter, s.length_cyl), angle_terms(s.angle).tan));
    if (k > long_body_k) {
        // Nearly horizontal (or very short) body: the difference of the two
        // 32-bit antiderivatives below would be multiplied by a huge k and
        // lose its digits. The level changes so little along the axis that the
        // horizontal body filled to the mean of the two end-face levels is
        // within 1e-5 of the full body.
        const extended mean =
            level + (2 * static_cast<extended>(level) - 1) / (2 * static_cast<extended>(k));
        return segment_volume(f32(mean));
    }
    const float u_low = f32(level + divide(level, k));
    const float u_high = f32(level - divide(1 - static_cast<extended>(level), k));
    float w = f32(level - (1 - static_cast<extended>(level)) * k);
    clamp_unit(w);
    const float a = segment_integral(u_low);
    const float b = segment_integral(u_high);
    return f32(segment_volume(1) * ((static_cast<extended>(a) - b) * k + w));
}

float calc_flat_ends(float level)
{
    TCalcState &s = CalcState;
    s.cur_height = cylinder_height(level);
    s.cur_volume = inclined_volume(level);
    return s.cur_volume;
}

float calc_shallow_ends(float level)
{
    return calc_with_ends(level, end_shallow);
}

float calc_deep_ends(float level)
{
    return calc_with_ends(level, end_deep);
}

float calc_hemispherical_ends(float level)
{
    return calc_with_ends(level, end_hemispherical);
}

float tank_volume(std::uint8_t shape, float level)
{
    switch (shape) {
    case Spherical:
        calc_spherical(level);
        break;
    case Conical:
        calc_conical(level);
        break;
    case CylindricalFlat:
        calc_flat_ends(level);
        break;
    case CylindricalShallow:
        calc_shallow_ends(level);
        break;
    case CylindricalDeep:
        calc_deep_ends(level);
        break;
    case CylindricalHemispherical:
        calc_hemispherical_ends(level);
        break;
    default:
        break; // no shape function: the previous volume stands
    }
    return CalcState.cur_volume;
}

float tank_height()
{
    const TCalcState &s = CalcState;
    switch (s.shape) {
    case Spherical:
        return s.diameter;
    case Conical:
        return f32(static_cast<extended>(s.length_cyl) + s.length_con);
    default:
        const AngleTerms &t = angle_terms(s.angle);
        return f32(t.sin * s.length_cyl + t.cos * s.diameter);
    }
}

} // namespace pelorin
