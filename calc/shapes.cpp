#include "calc/shapes.h"

namespace pelorin {

const ShapeInfo &shape_info(Shape shape)
{
    return shape_catalogue.at(std::size_t(shape));
}

QStringList shape_names()
{
    QStringList names;
    for (const ShapeInfo &info : shape_catalogue)
        names << QString::fromLatin1(info.name);
    return names;
}

QStringList shape_keys()
{
    QStringList keys;
    for (const ShapeInfo &info : shape_catalogue)
        keys << QString::fromLatin1(info.key);
    return keys;
}

} // namespace pelorin
