#include "report/picture_check.h"

#include <QDataStream>
#include <QFont>
#include <QIODevice>
#include <QPainter>
#include <QtGlobal>

#include <cmath>
#include <cstring>
#include <limits>

namespace pelorin {

namespace {

// The picture format QPainter writes on a QPicture in Qt 6.0 to 6.4; its
// fields are those of QDataStream version Qt_6_0, big-endian.
constexpr quint16 picture_format = 20;

// Limits far above anything a report page holds, low enough that replaying
// or rendering the page stays cheap.
constexpr double max_coordinate = 1.0e7;
constexpr double max_pen_width = 1.0e4;
constexpr double max_font_points = 2000.0;
constexpr qint32 max_font_pixels = 20000;
constexpr quint32 max_dashes = 64;
constexpr quint32 max_gradient_stops = 1024;
constexpr quint32 max_font_families = 32;
constexpr qsizetype max_name_chars = 256;
constexpr qsizetype max_text_chars = 100000;
constexpr quint32 max_region_rects = 1000;
constexpr quint32 max_image_side = 8192;
constexpr quint64 max_image_pixels = 4096 * 4096;

// The records the picture writer produces.
enum Command : quint8 {
    DrawEllipse = 7,
    DrawPolyline = 12,
    DrawPolygon = 13,
    DrawPixmap = 17,
    DrawImage = 18,
    DrawTextItem = 21,
    DrawTiledPixmap = 24,
    DrawPath = 25,
    Begin = 30,
    End = 31,
    SetBkColor = 40,
    SetBkMode = 41,
    SetBrushOrigin = 43,
    SetFont = 45,
    SetPen = 46,
    SetBrush = 47,
    SetWMatrix = 55,
    SetClipRegion = 61,
    SetClipPath = 62,
    SetRenderHint = 63,
    SetCompositionMode = 64,
    SetClipEnabled = 65,
    SetOpacity = 66,
};

struct Rejected
{
    QString why;
};

[[noreturn]] void reject(const QString &why)
{
    throw Rejected{why};
}

class PictureChecker
{
public:
    explicit PictureChecker(const QByteArray &data)
        : m_data(data), m_stream(data), m_size(data.size()), m_limit(data.size())
    {
        m_stream.setVersion(QDataStream::Qt_6_0);
        m_stream.setByteOrder(QDataStream::BigEndian);
        m_stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
    }

    void check()
    {
        check_header();
        const quint32 records = u32();
        if (records == 0)
            reject(QStringLiteral("it holds no records"));
        for (quint32 i = 0; i < records; ++i) {
            m_limit = m_size;
            const quint8 command = u8();
            const quint8 short_length = u8();
            const quint32 length = short_length == 255 ? u32() : short_length;
            if (length > quint64(remaining()))
                reject(QStringLiteral("a record runs past the end"));
            m_limit = position() + qsizetype(length);
            const bool last = i + 1 == records;
            if (command == End) {
                if (!last || length != 0)
                    reject(QStringLiteral("the end record is misplaced"));
            } else {
                if (last)
                    reject(QStringLiteral("the end record is missing"));
                record(command);
            }
            if (position() != m_limit)
                reject(QStringLiteral("a record's length does not match its fields"));
        }
        if (position() != m_size)
            reject(QStringLiteral("data follows the end record"));
    }

private:
    void check_header()
    {
        char magic[4];
        raw(magic, sizeof magic);
        if (std::memcmp(magic, "QPIC", sizeof magic) != 0)
            reject(QStringLiteral("it has no picture header"));
        const quint16 stored_checksum = u16();
        const QByteArrayView checked = QByteArrayView(m_data).sliced(position());
        if (qChecksum(checked) != stored_checksum)
            reject(QStringLiteral("its own checksum does not match"));
        const quint16 major = u16();
        const quint16 minor = u16();
        if (major != picture_format || minor != 0)
            reject(QStringLiteral("picture format %1.%2 is not supported").arg(major).arg(minor));
        if (u8() != Begin)
            reject(QStringLiteral("it does not begin with a begin record"));
        u8(); // length byte of the begin record, not used by the player
        for (int i = 0; i < 4; ++i)
            i32(); // bounding rectangle
    }

    void record(quint8 command)
    {
        switch (command) {
        case DrawEllipse:
            rect();
            break;
        case DrawPolyline:
            polygon();
            break;
        case DrawPolygon:
            polygon();
            u8(); // fill rule: zero odd-even, anything else winding
            break;
        case DrawPixmap:
            rect();
            image();
            rect();
            break;
        case DrawImage:
            rect();
            image();
            rect();
            u32(); // conversion flags
            break;
        case DrawTiledPixmap:
            rect();
            image();
            point();
            break;
        case DrawTextItem: {
            point();
            string(max_text_chars);
            font();
            u32(); // render flags
            const double dpi_scale = real();
            if (!(dpi_scale > 0.0 && dpi_scale <= 100.0))
                reject(QStringLiteral("a text's resolution is out of range"));
            coordinate(); // justification width
            break;
        }
        case DrawPath:
            path();
            break;
        case SetBkColor:
            color();
            break;
        case SetBkMode:
            enumeration(u8(), 1);
            break;
        case SetBrushOrigin:
            point();
            break;
        case SetFont:
            font();
            break;
        case SetPen:
            pen();
            break;
        case SetBrush:
            brush();
            break;
        case SetWMatrix:
            transform();
            enumeration(u8(), 1);
            break;
        case SetClipRegion:
            region();
            enumeration(u8(), Qt::IntersectClip);
            break;
        case SetClipPath:
            path();
            enumeration(u8(), Qt::IntersectClip);
            break;
        case SetRenderHint:
            u32();
            break;
        case SetCompositionMode:
            enumeration(u32(), QPainter::RasterOp_NotDestination);
            break;
        case SetClipEnabled:
            enumeration(u8(), 1);
            break;
        case SetOpacity: {
            const double opacity = real();
            if (opacity < 0.0 || opacity > 1.0)
                reject(QStringLiteral("an opacity is out of range"));
            break;
        }
        default:
            reject(QStringLiteral("it holds an unexpected record (%1)").arg(command));
        }
    }

    // Composite fields, as QDataStream writes them.

    void point()
    {
        coordinate();
        coordinate();
    }

    void rect()
    {
        for (int i = 0; i < 4; ++i)
            coordinate();
    }

    void transform()
    {
        for (int i = 0; i < 9; ++i)
            coordinate();
    }

    void color()
    {
        enumeration(quint8(i8()), 5); // colour model: invalid, RGB, HSV, CMYK, HSL, extended RGB
        for (int i = 0; i < 5; ++i)
            u16(); // alpha, three components, padding
    }

    void polygon()
    {
        const quint32 count = u32();
        if (quint64(count) * 16 > quint64(remaining()))
            reject(QStringLiteral("a polygon holds more points than its record"));
        for (quint32 i = 0; i < count; ++i)
            point();
    }

    void path()
    {
        const qint32 count = i32();
        if (count == 0)
            return; // an empty path is only its count
        if (count < 0 || quint64(count) * 20 + 8 > quint64(remaining()))
            reject(QStringLiteral("a path holds more elements than its record"));
        // Elements: move-to first; every curve-to followed by its two
        // control points, which appear nowhere else.
        int control_points_due = 0;
        for (qint32 i = 0; i < count; ++i) {
            const qint32 type = i32();
            if (control_points_due > 0) {
                if (type != 3)
                    reject(QStringLiteral("a path's curve is incomplete"));
                --control_points_due;
            } else if ((i == 0 && type != 0) || type < 0 || type > 2) {
                reject(QStringLiteral("a path's elements are out of order"));
            } else if (type == 2) {
                control_points_due = 2;
            }
            point();
        }
        if (control_points_due > 0)
            reject(QStringLiteral("a path's curve is incomplete"));
        const qint32 subpath_start = i32();
        if (subpath_start < 0 || subpath_start >= count)
            reject(QStringLiteral("a path's subpath start is out of range"));
        enumeration(u32(), Qt::WindingFill);
    }

    void region()
    {
        const quint32 bytes = u32();
        if (bytes == 0 || bytes == 0xffffffffu)
            return; // empty region
        const qint32 kind = i32();
        const quint32 count = u32();
        const qint32 rectangles = 10; // the only kind the writer uses
        if (kind != rectangles || count > max_region_rects || bytes != 8 + 16 * count)
            reject(QStringLiteral("a clip region is malformed"));
        for (quint32 i = 0; i < count; ++i) {
            const qint32 left = i32();
            const qint32 top = i32();
            const qint32 right = i32();
            const qint32 bottom = i32();
            for (const qint32 value : {left, top, right, bottom})
                if (std::abs(double(value)) > max_coordinate)
                    reject(QStringLiteral("a clip region is out of range"));
            if (right < left - 1 || bottom < top - 1)
                reject(QStringLiteral("a clip region is malformed"));
        }
    }

    void brush()
    {
        const quint8 style = u8();
        const quint8 linear = Qt::LinearGradientPattern;
        const quint8 conical = Qt::ConicalGradientPattern;
        if (style > conical && style != Qt::TexturePattern)
            reject(QStringLiteral("a brush style is out of range"));
        color();
        if (style == Qt::TexturePattern) {
            image();
        } else if (style >= linear) {
            const quint32 type = u32();
            if (type != quint32(style - linear)) // linear, radial, conical in both
                reject(QStringLiteral("a gradient does not match its brush"));
            enumeration(u32(), 2); // spread
            enumeration(u32(), 3); // coordinate mode
            enumeration(u32(), 1); // interpolation mode
            const quint32 stops = u32();
            if (stops > max_gradient_stops || quint64(stops) * 19 > quint64(remaining()))
                reject(QStringLiteral("a gradient holds too many stops"));
            for (quint32 i = 0; i < stops; ++i) {
                const double at = real();
                if (at < 0.0 || at > 1.0)
                    reject(QStringLiteral("a gradient stop is out of range"));
                color();
            }
            point(); // start, centre
            if (type == 0) {
                point(); // final stop
            } else if (type == 1) {
                point();      // focal point
                coordinate(); // radius
                coordinate(); // focal radius
            } else {
                coordinate(); // angle
            }
        }
        transform();
    }

    void pen()
    {
        const quint16 style = u16();
        const int line = style & Qt::MPenStyle;
        const int cap = style & Qt::MPenCapStyle;
        const int join = style & Qt::MPenJoinStyle;
        if ((style & ~(Qt::MPenStyle | Qt::MPenCapStyle | Qt::MPenJoinStyle)) != 0 ||
            line > Qt::CustomDashLine || cap > Qt::RoundCap ||
            (join != Qt::MiterJoin && join != Qt::BevelJoin && join != Qt::RoundJoin &&
             join != Qt::SvgMiterJoin))
            reject(QStringLiteral("a pen style is out of range"));
        enumeration(u8(), 1); // cosmetic
        bounded(real(), 0.0, max_pen_width, QStringLiteral("a pen width"));
        brush();
        bounded(real(), 0.0, max_pen_width, QStringLiteral("a pen's miter limit"));
        const quint32 dashes = u32();
        if (dashes > max_dashes || quint64(dashes) * 8 > quint64(remaining()))
            reject(QStringLiteral("a pen holds too many dashes"));
        for (quint32 i = 0; i < dashes; ++i)
            bounded(real(), 0.0, max_pen_width, QStringLiteral("a dash"));
        coordinate();         // dash offset
        enumeration(u8(), 1); // default width
    }

    void font()
    {
        string(max_name_chars); // family
        string(max_name_chars); // style name
        const double points = real();
        if (points != -1.0 && !(points > 0.0 && points <= max_font_points))
            reject(QStringLiteral("a font size is out of range"));
        const qint32 pixels = i32();
        if (pixels != -1 && (pixels < 0 || pixels > max_font_pixels))
            reject(QStringLiteral("a font size is out of range"));
        enumeration(u8(), QFont::Fantasy); // style hint
        u16();                             // style strategy flags
        enumeration(u16(), 1000);          // weight
        u8();                              // style bits
        enumeration(u16(), 4000);          // stretch
        u8();                              // more style bits
        for (int i = 0; i < 2; ++i) {      // letter and word spacing, 1/64 units
            if (std::abs(double(i32())) > 64.0 * max_pen_width)
                reject(QStringLiteral("a font spacing is out of range"));
        }
        enumeration(u8(), QFont::PreferFullHinting);
        enumeration(u8(), QFont::Capitalize);
        const quint32 families = u32();
        if (families > max_font_families)
            reject(QStringLiteral("a font names too many families"));
        for (quint32 i = 0; i < families; ++i)
            string(max_name_chars);
    }

    // A QImage as streamed: a marker, then (unless null) a PNG file whose
    // chunks must fit its record and whose size must be bounded.
    void image()
    {
        const qint32 marker = i32();
        if (marker == 0)
            return;
        if (marker != 1)
            reject(QStringLiteral("an image is malformed"));
        char signature[8];
        raw(signature, sizeof signature);
        if (std::memcmp(signature, "\x89PNG\r\n\x1a\n", sizeof signature) != 0)
            reject(QStringLiteral("an image is not a PNG image"));
        for (bool first = true;; first = false) {
            const quint32 length = u32();
            char type[4];
            raw(type, sizeof type);
            if (quint64(length) + 4 > quint64(remaining()))
                reject(QStringLiteral("an image runs past its record"));
            if (first) {
                if (std::memcmp(type, "IHDR", 4) != 0 || length != 13)
                    reject(QStringLiteral("an image is malformed"));
                const quint32 width = u32();
                const quint32 height = u32();
                if (width == 0 || height == 0 || width > max_image_side ||
                    height > max_image_side || quint64(width) * height > max_image_pixels)
                    reject(QStringLiteral("an image is too large"));
                skip(5);
            } else {
                skip(length);
            }
            skip(4); // chunk checksum, checked by the PNG reader
            if (std::memcmp(type, "IEND", 4) == 0)
                return;
        }
    }

    void string(qsizetype max_chars)
    {
        const quint32 bytes = u32();
        if (bytes == 0xffffffffu)
            return; // null string
        if (bytes % 2 != 0 || bytes / 2 > quint64(max_chars))
            reject(QStringLiteral("a text is malformed or too long"));
        skip(bytes);
    }

    // Plain fields; each read is checked against the record's end first.

    double real()
    {
        need(8);
        double value = 0;
        m_stream >> value;
        if (!std::isfinite(value))
            reject(QStringLiteral("a number is not finite"));
        return value;
    }

    void coordinate()
    {
        bounded(real(), -max_coordinate, max_coordinate, QStringLiteral("a position"));
    }

    static void bounded(double value, double low, double high, const QString &what)
    {
        if (value < low || value > high)
            reject(QStringLiteral("%1 is out of range").arg(what));
    }

    static void enumeration(quint32 value, quint32 highest)
    {
        if (value > highest)
            reject(QStringLiteral("a setting is out of range (%1)").arg(value));
    }

    template <typename T> T integer()
    {
        need(sizeof(T));
        T value = 0;
        m_stream >> value;
        return value;
    }
    quint8 u8() { return integer<quint8>(); }
    qint8 i8() { return integer<qint8>(); }
    quint16 u16() { return integer<quint16>(); }
    quint32 u32() { return integer<quint32>(); }
    qint32 i32() { return integer<qint32>(); }

    void raw(char *buffer, int length)
    {
        need(length);
        m_stream.readRawData(buffer, length);
    }

    void skip(quint64 length)
    {
        need(length);
        m_stream.skipRawData(int(length)); // need() bounds it by the data size
    }

    void need(quint64 length)
    {
        if (length > quint64(m_limit - position()))
            reject(QStringLiteral("a record is shorter than its fields"));
    }

    qsizetype position() const { return qsizetype(m_stream.device()->pos()); }
    qsizetype remaining() const { return m_limit - position(); }

    const QByteArray &m_data;
    QDataStream m_stream;
    qsizetype m_size;
    qsizetype m_limit; // end of the current record
};

} // namespace

QString picture_data_problem(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    if (data.size() > std::numeric_limits<int>::max())
        return QStringLiteral("it is too large");
    try {
        PictureChecker(data).check();
    } catch (const Rejected &rejected) {
        return rejected.why;
    }
    return {};
}

} // namespace pelorin
