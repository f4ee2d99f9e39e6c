#pragma once

#include <QPixmap>
#include <QString>

namespace pelorin {

// Loads the compiled-in picture resources/pictures/<name>. A picture that is
// missing or cannot be decoded (for example a JPEG without its decoder) is a
// fault of the build: it throws std::runtime_error naming the picture instead
// of showing an empty box.
QPixmap load_picture(const QString &name);

} // namespace pelorin
