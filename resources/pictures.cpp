#include "resources/pictures.h"

#include "resources/picture_data.h"

#include <QFile>
#include <QImage>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QPluginLoader>

#include <memory>
#include <stdexcept>

namespace pelorin {

namespace {

[[noreturn]] void cannot_load(const QString &name, const QString &reason)
{
    throw std::runtime_error(
        QStringLiteral("picture %1 cannot be loaded: %2").arg(name, reason).toStdString());
}

const PictureData *embedded_picture(const QString &name)
{
    for (int i = 0; i < embedded_picture_count; ++i) {
        if (name == QLatin1String(embedded_pictures[i].name))
            return &embedded_pictures[i];
    }
    return nullptr;
}

// The pixels decoded at build time, used in place: no copy, no decoder.
QImage embedded_image(const PictureData &data)
{
    QImage image(data.bits, data.width, data.height, data.bytes_per_line,
                 static_cast<QImage::Format>(data.format));
    if (data.color_count > 0)
        image.setColorTable(QList<QRgb>(data.colors, data.colors + data.color_count));
    image.setDotsPerMeterX(data.dots_per_meter_x);
    image.setDotsPerMeterY(data.dots_per_meter_y);
    return image;
}

// Qt's jpeg image plugin, loaded on its own from the library paths: reading
// through QImageReader would first look through every image plugin installed.
QImageIOPlugin *jpeg_plugin(QString &error)
{
    static QImageIOPlugin *plugin = nullptr;
    if (!plugin) {
        QPluginLoader loader(QStringLiteral("imageformats/qjpeg"));
        plugin = qobject_cast<QImageIOPlugin *>(loader.instance());
        if (!plugin)
            error = loader.errorString();
    }
    return plugin;
}

QImage jpeg_image(const QString &name, const QString &path)
{
    QString error;
    QImageIOPlugin *plugin = jpeg_plugin(error);
    if (!plugin)
        cannot_load(name, QStringLiteral("no JPEG decoder (%1)").arg(error));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        cannot_load(name, file.errorString());
    if (!(plugin->capabilities(&file, "jpeg") & QImageIOPlugin::CanRead))
        cannot_load(name, QStringLiteral("not a JPEG picture"));
    const std::unique_ptr<QImageIOHandler> handler(plugin->create(&file, "jpeg"));
    // The options QImageReader gives every handler before reading.
    if (handler->supportsOption(QImageIOHandler::Quality))
        handler->setOption(QImageIOHandler::Quality, -1);
    QImage image;
    if (!handler->read(&image) || image.isNull())
        cannot_load(name, QStringLiteral("the JPEG data cannot be decoded"));
    return image;
}

} // namespace

QPixmap load_picture(const QString &name)
{
    if (const PictureData *data = embedded_picture(name))
        return QPixmap::fromImage(embedded_image(*data));
    const QString path = QStringLiteral(":/pictures/") + name;
    if (name.endsWith(QLatin1String(".jpg")))
        return QPixmap::fromImage(jpeg_image(name, path));
    cannot_load(name, QStringLiteral("no such picture"));
}

} // namespace pelorin
