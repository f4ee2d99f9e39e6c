#pragma once

// The catalogue of tank shapes: each shape's command-line key, its name in the
// shape group and the report, its family, the dimensions it is entered with,
// its diagram and the Help page's section on its ends. The window, the command
// line, the report texts and the tests read it; the volume model has a shape
// function per shape (tank_volume.cpp).
//
// A new shape is a new Shape value and a row of shape_catalogue; the compiler
// then names each switch that must handle it.

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace pelorin {

// In the order of the shape group's items.
enum class Shape : std::uint8_t {
    Spherical,
    Conical,
    CylindricalFlat,
    CylindricalShallow,
    CylindricalDeep,
    CylindricalHemispherical,
};
constexpr int shape_count = 6;

// Shapes of a family share their dimensions, their height and their diagram's layout.
enum class ShapeFamily { Spherical, Conical, Cylindrical };

struct ShapeInfo
{
    Shape shape;
    const char *key;  // value of --shape
    const char *name; // item of the shape group; the report prints "<name> tank"
    ShapeFamily family;
    // The dimensions entered besides the diameter (and h1, h2, the points).
    bool length_cyl;
    bool angle;
    bool length_con;
    const char *diagram; // picture shown over the Input page
    const char *help;    // object name of the Help page's heading on its ends; "" for none
};

constexpr std::array<ShapeInfo, shape_count> shape_catalogue = {{
    {Shape::Spherical, "spherical", "Spherical", ShapeFamily::Spherical, false, false, false,
     "tank_spherical.png", ""},
    {Shape::Conical, "conical", "Conical", ShapeFamily::Conical, true, false, true,
     "tank_conical.png", ""},
    {Shape::CylindricalFlat, "flat", "Cylindrical (flat ends)", ShapeFamily::Cylindrical, true,
     true, false, "tank_cylindrical.png", ""},
    {Shape::CylindricalShallow, "shallow", "Cylindrical (shallow ends)", ShapeFamily::Cylindrical,
     true, true, false, "tank_cylindrical.png", "StaticText5"},
    {Shape::CylindricalDeep, "deep", "Cylindrical (deep ends)", ShapeFamily::Cylindrical, true,
     true, false, "tank_cylindrical.png", "StaticText6"},
    {Shape::CylindricalHemispherical, "hemispherical", "Cylindrical (hemispherical ends)",
     ShapeFamily::Cylindrical, true, true, false, "tank_cylindrical.png", "StaticText7"},
}};

constexpr bool catalogue_in_order()
{
    for (int i = 0; i < shape_count; ++i) {
        if (int(shape_catalogue[std::size_t(i)].shape) != i)
            return false;
    }
    return true;
}
static_assert(catalogue_in_order(), "shape_catalogue lists the shapes in their order");

// The catalogue's row of a shape; a value outside the shapes is a fault.
const ShapeInfo &shape_info(Shape shape);
// The shape at a position of the shape group (0 .. shape_count - 1).
inline Shape shape_at(int index)
{
    return Shape(index);
}

// The names in the order of the shape group, and the command-line keys.
QStringList shape_names();
QStringList shape_keys();

} // namespace pelorin
