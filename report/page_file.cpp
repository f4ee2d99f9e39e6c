#include "report/page_file.h"

#include "calc/errors.h"
#include "report/output_file.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstring>

namespace pelorin {

namespace {

constexpr char magic[8] = {'\x89', 'P', 'R', 'P', '\r', '\n', '\x1a', '\n'};
constexpr auto checksum_algorithm = QCryptographicHash::Sha256;
constexpr qsizetype checksum_bytes = 32;
constexpr quint32 first_page_file_version = 1; // pages as drawing commands, no longer read

QString shown_name(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray checksum_of(const char *data, qsizetype length)
{
    QCryptographicHash hash(checksum_algorithm);
    hash.addData(QByteArrayView(data, length));
    return hash.result();
}

// Fields are little-endian; reals are IEEE-754 binary64.
void set_up(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_6_0);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
}

// ---- Writing ----

void write_text(QDataStream &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    out << quint32(utf8.size());
    out.writeRawData(utf8.constData(), int(utf8.size()));
}

void write_rect(QDataStream &out, const QRectF &rect)
{
    out << rect.left() << rect.top() << rect.width() << rect.height();
}

void write_frame(QDataStream &out, const FrameLines &frame)
{
    out << frame.top << frame.bottom << frame.left << frame.right;
}

quint32 horizontal_alignment(Qt::Alignment alignment)
{
    return quint32(alignment & Qt::AlignHorizontal_Mask);
}

void write_page(QDataStream &out, const StoredPage &page)
{
    out << page.paper.width() << page.paper.height() << quint32(page.orientation)
        << quint32(page.bands.size());
    for (const PlacedBand &band : page.bands) {
        out << quint32(band.kind);
        write_text(out, band.name);
        write_rect(out, band.rect);
        write_frame(out, band.frame);
        out << qint32(band.row) << quint32(band.elements.size());
        for (const PlacedElement &e : band.elements) {
            write_text(out, e.name);
            out << quint32(e.kind);
            write_rect(out, e.box);
            write_text(out, e.font.family);
            out << e.font.points << quint8(e.font.bold) << quint8(e.font.underline)
                << horizontal_alignment(e.alignment) << quint8(e.word_wrap);
            write_frame(out, e.frame);
            write_text(out, e.text);
        }
    }
}

// ---- Checking values ----

bool valid_extent(double extent)
{
    return std::isfinite(extent) && extent > 0.0 && extent <= max_paper_extent;
}

bool valid_rect(const QRectF &rect)
{
    const auto coordinate = [](double v) {
        return std::isfinite(v) && std::fabs(v) <= max_paper_extent;
    };
    const auto size = [](double v) {
        return std::isfinite(v) && v >= 0.0 && v <= max_paper_extent;
    };
    return coordinate(rect.left()) && coordinate(rect.top()) && size(rect.width()) &&
           size(rect.height());
}

bool valid_frame(const FrameLines &frame)
{
    for (const double width : {frame.top, frame.bottom, frame.left, frame.right}) {
        if (!std::isfinite(width) || width < 0.0 || width > max_frame_points)
            return false;
    }
    return true;
}

bool text_fits(const QString &text)
{
    return text.size() <= qsizetype(max_text_bytes) &&
           text.toUtf8().size() <= qsizetype(max_text_bytes);
}

// What is wrong with a page's values, as "has ..."; empty when nothing is.
// Loading and saving hold pages to the same limits.
QString page_problem(const StoredPage &page)
{
    if (!valid_extent(page.paper.width()) || !valid_extent(page.paper.height()))
        return QStringLiteral("has an invalid paper size");
    if (page.orientation != QPageLayout::Portrait && page.orientation != QPageLayout::Landscape)
        return QStringLiteral("has an invalid orientation");
    if (page.bands.size() > qsizetype(max_bands))
        return QStringLiteral("has %1 bands, more than the %2 possible")
            .arg(page.bands.size())
            .arg(max_bands);
    qsizetype elements = 0;
    for (qsizetype b = 0; b < page.bands.size(); ++b) {
        const PlacedBand &band = page.bands.at(b);
        const QString where = QStringLiteral("band %1").arg(b + 1);
        if (!valid_rect(band.rect) || !valid_frame(band.frame) || band.row < -1 ||
            !text_fits(band.name))
            return QStringLiteral("has an invalid %1").arg(where);
        elements += band.elements.size();
        if (elements > qsizetype(max_elements))
            return QStringLiteral("has more than the %1 elements possible").arg(max_elements);
        for (qsizetype i = 0; i < band.elements.size(); ++i) {
            const PlacedElement &e = band.elements.at(i);
            const quint32 alignment = horizontal_alignment(e.alignment);
            if (!valid_rect(e.box) || !valid_frame(e.frame) || !std::isfinite(e.font.points) ||
                e.font.points <= 0.0 || e.font.points > max_font_points ||
                (alignment != Qt::AlignLeft && alignment != Qt::AlignRight &&
                 alignment != Qt::AlignHCenter) ||
                !text_fits(e.name) || !text_fits(e.font.family) || !text_fits(e.text))
                return QStringLiteral("has an invalid element %1 in %2").arg(i + 1).arg(where);
        }
    }
    return QString();
}

// ---- Reading ----

// Why bytes were refused: cut short, or holding something no writer writes.
struct Refusal
{
    bool truncated = false;
    QString why;
};

// Reads fields from a file's bytes. Every count and length is checked against
// its limit and against the bytes still present before anything is made of it.
class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_stream(bytes), m_size(bytes.size())
    {
        set_up(m_stream);
    }

    qsizetype position() const { return qsizetype(m_stream.device()->pos()); }
    qsizetype remaining() const { return m_size - position(); }

    void skip(qsizetype count)
    {
        if (m_stream.skipRawData(int(count)) != count)
            throw Refusal{true, {}};
    }

    template <typename T> T number()
    {
        T value{};
        m_stream >> value;
        if (m_stream.status() != QDataStream::Ok)
            throw Refusal{true, {}};
        return value;
    }

    double real() { return number<double>(); }

    bool flag()
    {
        const auto value = number<quint8>();
        if (value > 1)
            throw Refusal{false, QStringLiteral("a flag is neither 0 nor 1")};
        return value == 1;
    }

    // An enumeration's value, at most `last`.
    quint32 choice(quint32 last, const char *what)
    {
        const auto value = number<quint32>();
        if (value > last)
            throw Refusal{false,
                          QStringLiteral("unknown %1 %2").arg(QLatin1String(what)).arg(value)};
        return value;
    }

    quint32 count(quint32 limit, const char *what)
    {
        const auto value = number<quint32>();
        if (value > limit)
            throw Refusal{false, QStringLiteral("%1 %2 are more than the %3 possible")
                                     .arg(value)
                                     .arg(QLatin1String(what))
                                     .arg(limit)};
        return value;
    }

    QString text()
    {
        const quint32 length = count(max_text_bytes, "text bytes");
        if (qsizetype(length) > remaining())
            throw Refusal{true, {}};
        QByteArray utf8(qsizetype(length), Qt::Uninitialized);
        m_stream.readRawData(utf8.data(), int(length));
        QString text = QString::fromUtf8(utf8);
        if (text.toUtf8() != utf8)
            throw Refusal{false, QStringLiteral("a text is not valid UTF-8")};
        return text;
    }

    QRectF rect()
    {
        const double left = real();
        const double top = real();
        const double width = real();
        const double height = real();
        return QRectF(left, top, width, height);
    }

    FrameLines frame()
    {
        FrameLines frame;
        frame.top = real();
        frame.bottom = real();
        frame.left = real();
        frame.right = real();
        return frame;
    }

private:
    QDataStream m_stream;
    qsizetype m_size;
};

// One page record; its values are checked by page_problem() afterwards.
StoredPage read_page(Reader &in)
{
    StoredPage page;
    const double width = in.real();
    const double height = in.real();
    page.paper = QSizeF(width, height);
    page.orientation = QPageLayout::Orientation(in.choice(QPageLayout::Landscape, "orientation"));
    const quint32 bands = in.count(max_bands, "bands");
    quint32 elements_left = max_elements;
    for (quint32 b = 0; b < bands; ++b) {
        PlacedBand band;
        band.kind = BandKind(in.choice(quint32(BandKind::Summary), "band kind"));
        band.name = in.text();
        band.rect = in.rect();
        band.frame = in.frame();
        band.row = in.number<qint32>();
        const quint32 elements = in.count(elements_left, "elements");
        elements_left -= elements;
        for (quint32 i = 0; i < elements; ++i) {
            PlacedElement e;
            e.name = in.text();
            e.kind = ElementKind(in.choice(quint32(ElementKind::Memo), "element kind"));
            e.box = in.rect();
            e.font.family = in.text();
            e.font.points = in.real();
            e.font.bold = in.flag();
            e.font.underline = in.flag();
            e.alignment = Qt::Alignment(int(in.choice(Qt::AlignHorizontal_Mask, "alignment")));
            e.word_wrap = in.flag();
            e.frame = in.frame();
            e.text = in.text();
            band.elements.append(e);
        }
        page.bands.append(band);
    }
    return page;
}

} // namespace

QByteArray encode_page(const StoredPage &page)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    set_up(out);
    write_page(out, page);
    return bytes;
}

StoredPage decode_page(const QByteArray &bytes)
{
    try {
        Reader in(bytes);
        StoredPage page = read_page(in);
        if (in.remaining() != 0)
            throw Refusal{false, QStringLiteral("unexpected data after the page")};
        const QString problem = page_problem(page);
        if (!problem.isEmpty())
            throw Refusal{false, QStringLiteral("the page %1").arg(problem)};
        return page;
    } catch (const Refusal &refusal) {
        throw Error(QStringLiteral("A stored report page is damaged: %1")
                        .arg(refusal.truncated ? QStringLiteral("it is truncated") : refusal.why));
    }
}

QVector<StoredPage> parse_page_file(const QString &name, const QByteArray &bytes)
{
    const auto fail = [&name](const QString &what) {
        return Error(QStringLiteral("'%1' %2").arg(name, what));
    };
    const auto damaged = [&fail](const QString &why) {
        return fail(QStringLiteral("is damaged: %1").arg(why));
    };

    if (bytes.isEmpty())
        throw fail(QStringLiteral("is empty"));
    const qsizetype magic_seen = qMin(bytes.size(), qsizetype(sizeof magic));
    if (std::memcmp(bytes.constData(), magic, size_t(magic_seen)) != 0)
        throw fail(QStringLiteral("is not a PELORIN report file"));

    QVector<StoredPage> pages;
    try {
        Reader in(bytes);
        in.skip(sizeof magic);
        // Another format may change everything after the version, so it is
        // refused before anything else is read.
        const auto version = in.number<quint32>();
        if (version > page_file_version)
            throw fail(QStringLiteral("was written by a newer version of PELORIN "
                                      "(page file format %1; this version reads format %2)")
                           .arg(version)
                           .arg(page_file_version));
        if (version == first_page_file_version)
            throw fail(QStringLiteral("is in page file format 1 of a development version of "
                                      "PELORIN, which this version does not read (it reads "
                                      "format %1)")
                           .arg(page_file_version));
        if (version != page_file_version)
            throw damaged(QStringLiteral("unknown page file format %1").arg(version));
        const quint32 count = in.count(max_pages, "pages");
        if (count == 0)
            throw damaged(QStringLiteral("it holds no pages"));
        for (quint32 number = 1; number <= count; ++number) {
            try {
                pages.append(read_page(in));
            } catch (Refusal &refusal) {
                refusal.why = QStringLiteral("page %1: %2").arg(number).arg(refusal.why);
                throw;
            }
            pages.last().number = int(number);
        }
        const qsizetype checked_bytes = in.position();
        if (in.remaining() < checksum_bytes)
            throw Refusal{true, {}};
        if (in.remaining() > checksum_bytes)
            throw damaged(QStringLiteral("unexpected data after the last page"));
        if (checksum_of(bytes.constData(), checked_bytes) != bytes.mid(checked_bytes))
            throw damaged(QStringLiteral("checksum mismatch"));
    } catch (const Refusal &refusal) {
        throw refusal.truncated ? fail(QStringLiteral("is truncated")) : damaged(refusal.why);
    }

    // The bytes are as they were written; now check what they say.
    for (const StoredPage &page : pages) {
        const QString problem = page_problem(page);
        if (!problem.isEmpty())
            throw damaged(QStringLiteral("page %1 %2").arg(page.number).arg(problem));
    }
    return pages;
}

void save_page_file(const QString &path, const QVector<StoredPage> &pages)
{
    const auto fail = [&path](const QString &why) {
        return Error(QStringLiteral("The report pages could not be saved to '%1': %2")
                         .arg(shown_name(path), why));
    };

    // Refuse what load_page_file would refuse, so a saved file always loads.
    if (pages.isEmpty())
        throw fail(QStringLiteral("there are no pages"));
    if (pages.size() > qsizetype(max_pages))
        throw fail(QStringLiteral("%1 pages are more than the %2 a file can hold")
                       .arg(pages.size())
                       .arg(max_pages));
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QString problem = page_problem(pages.at(i));
        if (!problem.isEmpty())
            throw fail(QStringLiteral("page %1 %2").arg(i + 1).arg(problem));
    }

    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        set_up(out);
        out.writeRawData(magic, sizeof magic);
        out << page_file_version << quint32(pages.size());
        for (const StoredPage &page : pages) {
            write_page(out, page);
            if (bytes.size() + checksum_bytes > max_page_file_bytes)
                throw fail(QStringLiteral("the pages are too large for one file"));
        }
    }
    bytes.append(checksum_of(bytes.constData(), bytes.size()));

    const QString why = write_output_file(path, bytes);
    if (!why.isEmpty())
        throw fail(why);
}

QVector<StoredPage> load_page_file(const QString &path)
{
    const QString name = shown_name(path);
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("'%1' does not exist").arg(name));
    // Directories, pipes and devices are refused before opening: reading a
    // pipe could wait for ever.
    if (!info.isFile())
        throw Error(QStringLiteral("'%1' is not a regular file").arg(name));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("'%1' could not be opened: %2").arg(name, file.errorString()));
    if (file.isSequential())
        throw Error(QStringLiteral("'%1' is not a regular file").arg(name));
    const qint64 size = file.size();
    if (size > max_page_file_bytes)
        throw Error(QStringLiteral("'%1' is too large to be a PELORIN report file").arg(name));

    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 got = file.read(bytes.data() + done, bytes.size() - done);
        if (got < 0)
            throw Error(QStringLiteral("'%1' could not be read: %2").arg(name, file.errorString()));
        if (got == 0)
            break; // the file shrank while being read: parsing finds it truncated
        done += qsizetype(got);
    }
    bytes.truncate(done);
    return parse_page_file(name, bytes);
}

bool page_file_exists(const QString &path)
{
    return QFileInfo::exists(path);
}

} // namespace pelorin
