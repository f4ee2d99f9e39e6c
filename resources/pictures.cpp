#include "resources/pictures.h"

#include <QImageReader>

#include <stdexcept>

namespace pelorin {

QPixmap load_picture(const QString &name)
{
    QImageReader reader(QStringLiteral(":/pictures/") + name);
    const QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error(QStringLiteral("picture %1 cannot be loaded: %2")
                                     .arg(name, reader.errorString())
                                     .toStdString());
    return QPixmap::fromImage(image);
}

} // namespace pelorin
