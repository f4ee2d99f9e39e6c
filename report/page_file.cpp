#include "report/page_file.h"

#include "calc/errors.h"
#include "report/picture_check.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPicture>
#include <QSaveFile>

#include <cmath>
#include <cstring>

namespace pelorin {

namespace {

constexpr char magic[8] = {'\x89', 'P', 'R', 'P', '\r', '\n', '\x1a', '\n'};
constexpr qsizetype header_bytes = 8 + 4 + 4;
constexpr qsizetype page_header_bytes = 8 + 8 + 4 + 4;
constexpr auto checksum_algorithm = QCryptographicHash::Sha256;
constexpr qsizetype checksum_bytes = 32;

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

bool valid_extent(double extent)
{
    return std::isfinite(extent) && extent > 0.0 && extent <= max_paper_extent;
}

bool valid_orientation(quint32 value)
{
    return value == quint32(QPageLayout::Portrait) || value == quint32(QPageLayout::Landscape);
}

// After picture_data_problem() has found nothing wrong, QPicture itself must
// replay the data without a format error. The replay goes into another
// picture, so nothing is rasterised.
bool picture_replays(const QByteArray &data)
{
    if (data.isEmpty())
        return true; // a blank page
    QPicture picture;
    picture.setData(data.constData(), uint(data.size()));
    QPicture sink;
    QPainter painter(&sink);
    const bool ok = picture.play(&painter);
    painter.end();
    return ok;
}

// Fields are little-endian; reals are IEEE-754 binary64.
void set_up(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_6_0);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
}

// Reads fields from the file's bytes; a read past the end fails and says so.
class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_stream(bytes), m_size(bytes.size())
    {
        set_up(m_stream);
    }

    qsizetype position() const { return qsizetype(m_stream.device()->pos()); }
    qsizetype remaining() const { return m_size - position(); }

    bool read_u32(quint32 &value)
    {
        m_stream >> value;
        return m_stream.status() == QDataStream::Ok;
    }

    bool read_f64(double &value)
    {
        m_stream >> value;
        return m_stream.status() == QDataStream::Ok;
    }

    // count is at most max_picture_bytes, well inside int.
    bool skip(qsizetype count) { return m_stream.skipRawData(int(count)) == count; }

private:
    QDataStream m_stream;
    qsizetype m_size;
};

// Where one page's fields sit in the file, as found while walking it.
struct PageEntry
{
    double width = 0.0;
    double height = 0.0;
    quint32 orientation = 0;
    qsizetype picture_offset = 0;
    quint32 picture_length = 0;
};

} // namespace

QVector<StoredPage> parse_page_file(const QString &name, const QByteArray &bytes)
{
    const auto fail = [&name](const QString &what) {
        return Error(QStringLiteral("'%1' %2").arg(name, what));
    };
    const auto damaged = [&fail](const QString &why) {
        return fail(QStringLiteral("is damaged: %1").arg(why));
    };
    const QString truncated = QStringLiteral("is truncated");

    if (bytes.isEmpty())
        throw fail(QStringLiteral("is empty"));
    const qsizetype magic_seen = qMin(bytes.size(), qsizetype(sizeof magic));
    if (std::memcmp(bytes.constData(), magic, size_t(magic_seen)) != 0)
        throw fail(QStringLiteral("is not a PELORIN report file"));

    Reader reader(bytes);
    quint32 version = 0;
    quint32 count = 0;
    if (!reader.skip(sizeof magic) || !reader.read_u32(version))
        throw fail(truncated);
    // A newer format may change everything after the version, so it is
    // refused before anything else is read.
    if (version > page_file_version)
        throw fail(QStringLiteral("was written by a newer version of PELORIN "
                                  "(page file format %1; this version reads format %2)")
                       .arg(version)
                       .arg(page_file_version));
    if (version == 0)
        throw damaged(QStringLiteral("unknown page file format 0"));
    if (!reader.read_u32(count))
        throw fail(truncated);
    if (count == 0)
        throw damaged(QStringLiteral("it holds no pages"));
    if (count > max_pages)
        throw damaged(QStringLiteral("it claims %1 pages (at most %2 are possible)")
                          .arg(count)
                          .arg(max_pages));

    // Walk the page records: only offsets and lengths are taken here, and
    // every length is checked against the bytes actually present.
    QVector<PageEntry> entries;
    for (quint32 number = 1; number <= count; ++number) {
        PageEntry entry;
        if (!reader.read_f64(entry.width) || !reader.read_f64(entry.height) ||
            !reader.read_u32(entry.orientation) || !reader.read_u32(entry.picture_length))
            throw fail(truncated);
        if (entry.picture_length > max_picture_bytes)
            throw damaged(QStringLiteral("page %1 claims a picture of %2 bytes")
                              .arg(number)
                              .arg(entry.picture_length));
        entry.picture_offset = reader.position();
        if (!reader.skip(entry.picture_length))
            throw fail(truncated);
        entries.append(entry);
    }
    const qsizetype checked_bytes = reader.position();
    if (reader.remaining() < checksum_bytes)
        throw fail(truncated);
    if (reader.remaining() > checksum_bytes)
        throw damaged(QStringLiteral("unexpected data after the last page"));
    if (checksum_of(bytes.constData(), checked_bytes) != bytes.mid(checked_bytes))
        throw damaged(QStringLiteral("checksum mismatch"));

    // The bytes are as they were written; now check what they say.
    QVector<StoredPage> pages;
    pages.reserve(qsizetype(count));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const PageEntry &entry = entries.at(i);
        const qsizetype number = i + 1;
        if (!valid_extent(entry.width) || !valid_extent(entry.height))
            throw damaged(QStringLiteral("page %1 has an invalid paper size").arg(number));
        if (!valid_orientation(entry.orientation))
            throw damaged(QStringLiteral("page %1 has an invalid orientation").arg(number));
        StoredPage page;
        page.paper_size = QSizeF(entry.width, entry.height);
        page.orientation = QPageLayout::Orientation(entry.orientation);
        page.picture = bytes.mid(entry.picture_offset, entry.picture_length);
        const QString problem = picture_data_problem(page.picture);
        if (!problem.isEmpty())
            throw damaged(
                QStringLiteral("page %1 is not a valid picture: %2").arg(number).arg(problem));
        if (!picture_replays(page.picture))
            throw damaged(QStringLiteral("page %1 is not a valid picture").arg(number));
        pages.append(page);
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
    qsizetype total = header_bytes + checksum_bytes;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const StoredPage &page = pages.at(i);
        if (!valid_extent(page.paper_size.width()) || !valid_extent(page.paper_size.height()))
            throw fail(QStringLiteral("page %1 has an invalid paper size").arg(i + 1));
        if (page.picture.size() > qsizetype(max_picture_bytes))
            throw fail(QStringLiteral("page %1 is too large").arg(i + 1));
        total += page_header_bytes + page.picture.size();
    }
    if (total > max_page_file_bytes)
        throw fail(QStringLiteral("the pages are too large for one file"));
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QString problem = picture_data_problem(pages.at(i).picture);
        if (!problem.isEmpty())
            throw fail(QStringLiteral("page %1 is not a picture this program can read back: %2")
                           .arg(i + 1)
                           .arg(problem));
    }

    QByteArray bytes;
    bytes.reserve(total);
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        set_up(out);
        out.writeRawData(magic, sizeof magic);
        out << page_file_version << quint32(pages.size());
        for (const StoredPage &page : pages) {
            out << page.paper_size.width() << page.paper_size.height() << quint32(page.orientation)
                << quint32(page.picture.size());
            out.writeRawData(page.picture.constData(), int(page.picture.size()));
        }
    }
    bytes.append(checksum_of(bytes.constData(), bytes.size()));

    // QSaveFile writes a temporary file beside the target and renames it over
    // the target only on commit; on any failure the old file stays as it was.
    // Unbuffered, a write that makes no progress reports the system's reason
    // ("No space left on device"); a short one is followed by another, which
    // then fails with that reason.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw fail(file.errorString());
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            throw fail(why);
        }
        done += qsizetype(written);
    }
    if (!file.commit())
        throw fail(file.errorString());
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
