// Renders the program's pictures from their SVG sources.
//
//   render_pictures [--check] <source dir> <picture dir> [<list>]
//
// The list (by default <source dir>/pictures.txt) names one picture a line:
// the PNG file to write, its size in pixels, the SVG in <source dir> it is
// drawn from and the treatment:
//
//   plain      the drawing as it is (transparent where the drawing leaves it so)
//   opaque     the drawing over white, written without an alpha channel
//   palette16  snapped to the classic 16-colour palette, every pixel either
//              fully opaque or fully transparent, written palette-indexed
//   embossed   the greyed twin of a button glyph: the dark parts of the drawing
//              become a grey silhouette with a white relief one pixel below
//              and to the right, everything else transparent
//   icon       the drawing as it is, scaled to the listed size: a size of the
//              desktop's icon theme
//
// Every picture but an icon is also rendered at twice its size, for screens
// of device pixel ratio 2, into <name>@2x.png: the same drawing and treatment
// with twice the pixels in each direction (the embossed relief two pixels
// off), so the windows look the same there, only sharper.
//
// With --check nothing is written: each picture is rendered in memory and
// compared pixel for pixel with the file in <picture dir>; the exit status is
// 1 when any picture is missing or differs from its source.
//
// Every rendering goes through QSvgRenderer into a QImage of exactly the listed
// size (or twice it), so the same sources, fonts and Qt give the same pixels.
// A source whose declared size differs from the listed one (an icon: whose
// shape differs), a font family that is not installed, or any warning of the
// SVG reader is an error: a substituted font or a silently dropped element
// would change the picture unnoticed.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QSvgRenderer>
#include <QTextStream>
#include <QVector>
#include <QXmlStreamReader>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace pelorin {
namespace {

enum class Treatment { plain, opaque, palette16, embossed, icon };

struct PictureEntry
{
    QString output;
    QSize size;
    QString source;
    Treatment treatment = Treatment::plain;
    int line = 0;
};

// One file an entry makes: the listed picture, or its twin at twice the size.
struct Rendering
{
    QString output;
    int scale = 1;
};

// The classic 16-colour palette of the old display adapters and icon editors.
const QVector<QRgb> classic_palette = {
    qRgb(0x00, 0x00, 0x00), qRgb(0x80, 0x00, 0x00), qRgb(0x00, 0x80, 0x00), qRgb(0x80, 0x80, 0x00),
    qRgb(0x00, 0x00, 0x80), qRgb(0x80, 0x00, 0x80), qRgb(0x00, 0x80, 0x80), qRgb(0xC0, 0xC0, 0xC0),
    qRgb(0x80, 0x80, 0x80), qRgb(0xFF, 0x00, 0x00), qRgb(0x00, 0xFF, 0x00), qRgb(0xFF, 0xFF, 0x00),
    qRgb(0x00, 0x00, 0xFF), qRgb(0xFF, 0x00, 0xFF), qRgb(0x00, 0xFF, 0xFF), qRgb(0xFF, 0xFF, 0xFF)};

// Colours of the greyed glyph: the button shadow and the button highlight.
const QRgb emboss_shadow = qRgb(0x80, 0x80, 0x80);
const QRgb emboss_highlight = qRgb(0xFF, 0xFF, 0xFF);

// A pixel counts as "ink" for the greyed glyph when it is mostly opaque and
// darker than this luminance (0..255); light parts (body, paper, light-blue
// digits) drop out as on the old toolkits' disabled buttons.
const int emboss_ink_limit = 128;

// Pixel density written into every PNG (96 pixels per inch), so that the files
// do not depend on the screen of the machine that rendered them.
const int dots_per_meter = 3780;

// Warnings of the SVG reader collected while a picture renders.
QStringList svg_warnings;

void collect_warnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    svg_warnings << message;
}

[[noreturn]] void fail(const QString &message)
{
    throw std::runtime_error(message.toStdString());
}

Treatment treatment_from_name(const QString &name, const QString &where)
{
    if (name == QLatin1String("plain"))
        return Treatment::plain;
    if (name == QLatin1String("opaque"))
        return Treatment::opaque;
    if (name == QLatin1String("palette16"))
        return Treatment::palette16;
    if (name == QLatin1String("embossed"))
        return Treatment::embossed;
    if (name == QLatin1String("icon"))
        return Treatment::icon;
    fail(QStringLiteral("%1: unknown treatment \"%2\"").arg(where, name));
}

// The files of one entry: the picture, and its twin at twice the size for
// everything but the icon theme's sizes.
QVector<Rendering> renderings(const PictureEntry &entry)
{
    QVector<Rendering> files = {{entry.output, 1}};
    if (entry.treatment != Treatment::icon) {
        QString twin = entry.output;
        twin.insert(twin.size() - int(std::strlen(".png")), QLatin1String("@2x"));
        files.append({twin, 2});
    }
    return files;
}

QVector<PictureEntry> read_picture_list(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    QVector<PictureEntry> entries;
    QSet<QString> outputs;
    const QRegularExpression size_pattern(QStringLiteral("^([0-9]+)x([0-9]+)$"));
    QTextStream stream(&file);
    int line_number = 0;
    while (!stream.atEnd()) {
        ++line_number;
        const QString line = stream.readLine().section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QString where = QStringLiteral("%1:%2").arg(path).arg(line_number);
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")));
        if (fields.size() != 4)
            fail(where +
                 QStringLiteral(": expected <picture> <width>x<height> <source> <treatment>"));
        const QRegularExpressionMatch size = size_pattern.match(fields[1]);
        if (!size.hasMatch())
            fail(where + QStringLiteral(": bad size \"%1\"").arg(fields[1]));
        PictureEntry entry;
        entry.output = fields[0];
        entry.size = QSize(size.captured(1).toInt(), size.captured(2).toInt());
        entry.source = fields[2];
        entry.treatment = treatment_from_name(fields[3], where);
        entry.line = line_number;
        if (!entry.output.endsWith(QLatin1String(".png")) ||
            entry.output.contains(QLatin1Char('/')))
            fail(where + QStringLiteral(": the picture must be a plain .png file name"));
        if (entry.size.isEmpty())
            fail(where + QStringLiteral(": empty size"));
        for (const Rendering &file : renderings(entry)) {
            if (outputs.contains(file.output))
                fail(where + QStringLiteral(": %1 is listed twice").arg(file.output));
            outputs.insert(file.output);
        }
        entries.append(entry);
    }
    if (entries.isEmpty())
        fail(path + QStringLiteral(" lists no picture"));
    return entries;
}

// Every font family an SVG asks for must be installed, or Qt would quietly
// draw the labels in another font.
void check_fonts(const QString &svg_path)
{
    QFile file(svg_path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(svg_path, file.errorString()));
    const QStringList installed = QFontDatabase::families();
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString family = xml.attributes().value(QLatin1String("font-family")).toString();
        if (family.isEmpty())
            continue;
        const QString name =
            family.section(QLatin1Char(','), 0, 0).trimmed().remove(QLatin1Char('\''));
        if (!installed.contains(name, Qt::CaseInsensitive))
            fail(QStringLiteral("%1: font family \"%2\" is not installed").arg(svg_path, name));
    }
    if (xml.hasError())
        fail(QStringLiteral("%1: %2").arg(svg_path, xml.errorString()));
}

// Draws the SVG into `pixels`. The source must be drawn for `listed`, or,
// when `any_size`, only have its shape.
QImage render_svg(const QString &svg_path, const QSize &listed, const QSize &pixels, bool any_size)
{
    check_fonts(svg_path);
    svg_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collect_warnings);
    QSvgRenderer renderer(svg_path);
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    qInstallMessageHandler(previous);
    if (!renderer.isValid())
        fail(svg_path + QStringLiteral(": not a valid SVG drawing"));
    const QSize drawn = renderer.defaultSize();
    const bool fits = any_size ? drawn.width() * listed.height() == drawn.height() * listed.width()
                               : drawn == listed;
    if (!fits)
        fail(QStringLiteral("%1: drawn for %2x%3 pixels, listed as %4x%5")
                 .arg(svg_path)
                 .arg(drawn.width())
                 .arg(drawn.height())
                 .arg(listed.width())
                 .arg(listed.height()));
    if (!svg_warnings.isEmpty())
        fail(svg_path + QStringLiteral(": ") + svg_warnings.join(QStringLiteral("; ")));
    return image.convertToFormat(QImage::Format_ARGB32);
}

int squared_distance(QRgb a, QRgb b)
{
    const int red = qRed(a) - qRed(b);
    const int green = qGreen(a) - qGreen(b);
    const int blue = qBlue(a) - qBlue(b);
    return red * red + green * green + blue * blue;
}

int nearest_palette_index(QRgb colour)
{
    int best = 0;
    for (int i = 1; i < classic_palette.size(); ++i) {
        if (squared_distance(colour, classic_palette[i]) <
            squared_distance(colour, classic_palette[best]))
            best = i;
    }
    return best;
}

// Snaps every pixel to the classic palette: at least half opaque becomes the
// nearest palette colour, the rest fully transparent. The colour table holds
// the transparent entry first, then only the palette colours in use, in
// palette order.
QImage to_classic_palette(const QImage &drawing)
{
    QVector<int> index_of_pixel(drawing.width() * drawing.height(), -1);
    QVector<bool> used(classic_palette.size(), false);
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            const QRgb pixel = drawing.pixel(x, y);
            if (qAlpha(pixel) < 128)
                continue;
            const int index = nearest_palette_index(pixel);
            index_of_pixel[y * drawing.width() + x] = index;
            used[index] = true;
        }
    }
    QVector<QRgb> table = {qRgba(0, 0, 0, 0)};
    QVector<int> table_index(classic_palette.size(), 0);
    for (int i = 0; i < classic_palette.size(); ++i) {
        if (used[i]) {
            table_index[i] = table.size();
            table.append(classic_palette[i]);
        }
    }
    QImage result(drawing.size(), QImage::Format_Indexed8);
    result.setColorTable(table);
    for (int y = 0; y < drawing.height(); ++y) {
        uchar *line = result.scanLine(y);
        for (int x = 0; x < drawing.width(); ++x) {
            const int index = index_of_pixel[y * drawing.width() + x];
            line[x] = static_cast<uchar>(index < 0 ? 0 : table_index[index]);
        }
    }
    return result;
}

bool is_ink(const QImage &drawing, int x, int y)
{
    if (x < 0 || y < 0 || x >= drawing.width() || y >= drawing.height())
        return false;
    const QRgb pixel = drawing.pixel(x, y);
    return qAlpha(pixel) >= 128 && qGray(pixel) < emboss_ink_limit;
}

// The disabled look of the old toolkits: the ink in the button shadow colour,
// over a copy of it in the highlight colour shifted one pixel (at the given
// scale) right and down.
QImage embossed(const QImage &drawing, int scale)
{
    QImage result(drawing.size(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            if (is_ink(drawing, x, y))
                result.setPixel(x, y, emboss_shadow);
            else if (is_ink(drawing, x - scale, y - scale))
                result.setPixel(x, y, emboss_highlight);
        }
    }
    return result;
}

QImage render_picture(const PictureEntry &entry, int scale, const QDir &source_dir)
{
    const QImage drawing = render_svg(source_dir.filePath(entry.source), entry.size,
                                      entry.size * scale, entry.treatment == Treatment::icon);
    QImage result;
    switch (entry.treatment) {
    case Treatment::plain:
    case Treatment::icon:
        result = drawing;
        break;
    case Treatment::opaque: {
        result = QImage(drawing.size(), QImage::Format_RGB32);
        result.fill(Qt::white);
        QPainter painter(&result);
        painter.drawImage(0, 0, drawing);
        break;
    }
    case Treatment::palette16:
        result = to_classic_palette(drawing);
        break;
    case Treatment::embossed:
        result = embossed(drawing, scale);
        break;
    }
    result.setDotsPerMeterX(dots_per_meter);
    result.setDotsPerMeterY(dots_per_meter);
    return result;
}

void write_picture(const QImage &picture, const QString &path)
{
    QImageWriter writer(path, "png");
    writer.setCompression(100); // Qt's scale: 100 is zlib's strongest level

    if (!writer.write(picture))
        fail(QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()));
}

// Compares the rendering with the committed file; returns what differs, or an
// empty text when they agree pixel for pixel.
QString compare_with_file(const QImage &picture, const QString &path)
{
    QImageReader reader(path);
    const QImage stored = reader.read();
    if (stored.isNull())
        return QStringLiteral("cannot be read (%1)").arg(reader.errorString());
    if (stored.size() != picture.size())
        return QStringLiteral("is %1x%2 pixels, the source gives %3x%4")
            .arg(stored.width())
            .arg(stored.height())
            .arg(picture.width())
            .arg(picture.height());
    if ((picture.format() == QImage::Format_Indexed8) !=
        (stored.format() == QImage::Format_Indexed8))
        return QStringLiteral("palette-indexed in one and not in the other");
    const QImage expected = picture.convertToFormat(QImage::Format_ARGB32);
    const QImage actual = stored.convertToFormat(QImage::Format_ARGB32);
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if (expected.pixel(x, y) != actual.pixel(x, y))
                ++differing;
        }
    }
    if (differing > 0)
        return QStringLiteral("differs from its source in %1 pixels").arg(differing);
    return QString();
}

int run(const QStringList &arguments)
{
    QStringList paths = arguments;
    const bool check = paths.removeAll(QStringLiteral("--check")) > 0;
    if (paths.size() != 2 && paths.size() != 3) {
        std::fputs("usage: render_pictures [--check] <source dir> <picture dir> [<list>]\n",
                   stderr);
        return 2;
    }
    const QDir source_dir(paths[0]);
    const QDir picture_dir(paths[1]);
    const QString list =
        paths.size() == 3 ? paths[2] : source_dir.filePath(QStringLiteral("pictures.txt"));
    if (!check && !picture_dir.exists())
        fail(picture_dir.path() + QStringLiteral(" does not exist"));
    const QVector<PictureEntry> entries = read_picture_list(list);
    int files = 0;
    int faults = 0;
    for (const PictureEntry &entry : entries) {
        for (const Rendering &file : renderings(entry)) {
            const QImage picture = render_picture(entry, file.scale, source_dir);
            const QString path = picture_dir.filePath(file.output);
            ++files;
            if (check) {
                const QString difference = compare_with_file(picture, path);
                if (!difference.isEmpty()) {
                    std::fprintf(stderr, "%s %s\n", qPrintable(path), qPrintable(difference));
                    ++faults;
                }
            } else {
                write_picture(picture, path);
                std::printf("%s (%dx%d)\n", qPrintable(path), picture.width(), picture.height());
            }
        }
    }
    if (check && faults == 0)
        std::printf("%d pictures agree with their sources\n", files);
    return faults == 0 ? 0 : 1;
}

} // namespace
} // namespace pelorin

int main(int argc, char *argv[])
{
    const QGuiApplication application(argc, argv);
    try {
        return pelorin::run(QGuiApplication::arguments().mid(1));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "render_pictures: %s\n", error.what());
        return 1;
    }
}
