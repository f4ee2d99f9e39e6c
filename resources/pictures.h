#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace pelorin {

// Loads the compiled-in picture resources/pictures/<name>. A picture that is
// missing or cannot be decoded (for example a JPEG without its decoder) is a
// fault of the build: it throws std::runtime_error naming the picture instead
// of showing an empty box.
QPixmap load_picture(const QString &name);

// Every picture also comes rendered at twice its size, as <name>@2x, for
// screens of device pixel ratio 2: the picture for a ratio above 1 is that
// rendering, marked with ratio 2 so that it takes the same room; at ratio 1
// it is load_picture(name). A picture box takes the one for the ratio of the
// screen its window is made on.
QPixmap load_picture(const QString &name, qreal device_pixel_ratio);

// Both renderings of a picture (and of its greyed twin for the disabled
// state, when named) as an icon, which draws the one that fits the screen.
QIcon load_icon(const QString &name, const QString &disabled = QString());

} // namespace pelorin
