#include "resources/pictures.h"

#include "resources/picture_data.h"

#include <QFile>
#include <QImage>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QPluginLoader>

#include <cstring>
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

// The pixels decoded at build time, inflated into a picture of their own.
QImage embedded_image(const QString &name, const PictureData &data)
{
    const QByteArray bits = qUncompress(data.packed_bits, data.packed_size);
    if (bits.size() != qsizetype(data.bytes_per_line) * data.height)
        cannot_load(name, QStringLiteral("its compiled-in pixels are damaged"));
    QImage image(data.width, data.height, static_cast<QImage::Format>(data.format));
    if (image.isNull())
        cannot_load(name, QStringLiteral("no memory for its pixels"));
    if (image.bytesPerLine() < data.bytes_per_line)
        cannot_load(name, QStringLiteral("its compiled-in scan lines do not fit"));
    for (int y = 0; y < data.height; ++y)
        std::memcpy(image.scanLine(y), bits.constData() + qsizetype(y) * data.bytes_per_line,
                    size_t(data.bytes_per_line));
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

// A picture rendered at twice the size says so in its name, <name>@2x, and is
// marked with device pixel ratio 2 as Qt's image reader marks such a file.
QPixmap shown_as_named(const QString &name, const QImage &image)
{
    QPixmap pixmap = QPixmap::fromImage(image);
    if (name.contains(QLatin1String("@2x.")))
        pixmap.setDevicePixelRatio(2);
    return pixmap;
}

// "flask.png" -> "flask@2x.png"
QString twice_the_size(const QString &name)
{
    QString twin = name;
    return twin.insert(int(name.lastIndexOf(QLatin1Char('.'))), QLatin1String("@2x"));
}

void add_renderings(QIcon &icon, const QString &name, QIcon::Mode mode)
{
    icon.addPixmap(load_picture(name), mode);
    icon.addPixmap(load_picture(name, 2), mode);
}

} // namespace

QPixmap load_picture(const QString &name)
{
    if (const PictureData *data = embedded_picture(name))
        return shown_as_named(name, embedded_image(name, *data));
    const QString path = QStringLiteral(":/pictures/") + name;
    if (name.endsWith(QLatin1String(".jpg")))
        return shown_as_named(name, jpeg_image(name, path));
    cannot_load(name, QStringLiteral("no such picture"));
}

QPixmap load_picture(const QString &name, qreal device_pixel_ratio)
{
    return load_picture(device_pixel_ratio > 1 ? twice_the_size(name) : name);
}

QIcon load_icon(const QString &name, const QString &disabled)
{
    QIcon icon;
    add_renderings(icon, name, QIcon::Normal);
    if (!disabled.isEmpty())
        add_renderings(icon, disabled, QIcon::Disabled);
    return icon;
}

} // namespace pelorin
