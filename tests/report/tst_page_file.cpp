// Saving and loading report pages: round trips page for page, and every kind
// of damaged, truncated, foreign or hostile file refused with an error that
// names the file.

#include "calc/errors.h"
#include "report/page_file.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <functional>
#include <limits>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using pelorin::StoredPage;

// The same cap for the sanitizer build, where an address-space limit cannot
// be used: the sanitizer ends the process above 4 GiB of memory in use.
extern "C" const char *__asan_default_options()
{
    return "hard_rss_limit_mb=4096";
}

namespace {

// Offsets in the file layout described in report/page_file.h.
constexpr int version_offset = 8;
constexpr int count_offset = 12;
constexpr int first_page = 16;
constexpr int width_offset = first_page;
constexpr int height_offset = first_page + 8;
constexpr int orientation_offset = first_page + 16;
constexpr int length_offset = first_page + 20;
constexpr int first_picture = first_page + 24;
constexpr int checksum_bytes = 32;

const QSizeF a4_portrait(2100, 2970);
const QSizeF a4_landscape(2970, 2100);

QPicture draw_page(int number, bool with_image = false)
{
    QPicture picture;
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(10 + number, 10, 200, 100);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    painter.drawText(QPointF(20, 50), QStringLiteral("Page %1 of the report").arg(number));
    painter.setBrush(QColor(200, (60 * number) % 256, 30));
    painter.drawEllipse(QRectF(50, 120, 80 + 10 * number, 40));
    painter.drawLine(0, 0, 250, 300 - number);
    if (with_image) {
        // Noise does not compress: the page's data grows past 100 kB.
        QImage noise(220, 180, QImage::Format_RGB32);
        QRandomGenerator random{quint32(number)};
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, random.generate() | 0xff000000u);
        painter.drawImage(QPointF(40, 170), noise);
    }
    painter.end();
    return picture;
}

StoredPage stored(const QPicture &picture, QSizeF paper = a4_portrait,
                  QPageLayout::Orientation orientation = QPageLayout::Portrait)
{
    return StoredPage{paper, orientation, QByteArray(picture.data(), int(picture.size()))};
}

QImage render(const QByteArray &data)
{
    QPicture picture;
    if (!data.isEmpty())
        picture.setData(data.constData(), uint(data.size()));
    QImage image(320, 360, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawPicture(0, 0, picture);
    painter.end();
    return image;
}

QByteArray read_all(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void write_all(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void set_u32(QByteArray &bytes, int offset, quint32 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

void set_f64(QByteArray &bytes, int offset, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, bytes.data() + offset);
}

// Recomputes the checksum after a deliberate change, so that the check behind
// it is the one that must find the fault.
QByteArray resealed(QByteArray bytes)
{
    const qsizetype body = bytes.size() - checksum_bytes;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(bytes.constData(), body));
    bytes.replace(body, checksum_bytes, hash.result());
    return bytes;
}

// The documented layout, written independently of save_page_file, so that
// files with any picture inside can be made.
QByteArray encode_page_file(const QVector<StoredPage> &pages)
{
    QByteArray bytes("\x89PRP\r\n\x1a\n", 8);
    const auto u32 = [&bytes](quint32 value) {
        char raw[4];
        qToLittleEndian(value, raw);
        bytes.append(raw, sizeof raw);
    };
    const auto f64 = [&bytes](double value) {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        char raw[8];
        qToLittleEndian(bits, raw);
        bytes.append(raw, sizeof raw);
    };
    u32(1);
    u32(quint32(pages.size()));
    for (const StoredPage &page : pages) {
        f64(page.paper_size.width());
        f64(page.paper_size.height());
        u32(quint32(page.orientation));
        u32(quint32(page.picture.size()));
        bytes.append(page.picture);
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(bytes);
    return bytes + hash.result();
}

// Fields as QPicture records hold them: QDataStream version Qt_6_0, big-endian.
QByteArray fields(const std::function<void(QDataStream &)> &write)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    write(stream);
    return bytes;
}

struct Record
{
    quint8 command;
    QByteArray payload;
};

// Sets the picture's own 16-bit checksum over everything after it.
QByteArray with_picture_checksum(QByteArray picture)
{
    qToBigEndian(quint16(qChecksum(QByteArrayView(picture).sliced(6))), picture.data() + 4);
    return picture;
}

// QPicture data put together record by record, laid out as QPainter's picture
// writer lays it out: header, begin record with bounding box and record count,
// the records, the end record.
QByteArray picture_of(const QList<Record> &records, quint16 format = 20, bool with_end = true,
                      quint32 extra_count = 0)
{
    const QByteArray body = fields([&](QDataStream &s) {
        s << format << quint16(0) << quint8(30) << quint8(4);
        s << qint32(0) << qint32(0) << qint32(300) << qint32(300);
        s << quint32(records.size() + (with_end ? 1 : 0) + extra_count);
        for (const Record &record : records) {
            s << record.command;
            if (record.payload.size() < 255)
                s << quint8(record.payload.size());
            else
                s << quint8(255) << quint32(record.payload.size());
            s.writeRawData(record.payload.constData(), int(record.payload.size()));
        }
        if (with_end)
            s << quint8(31) << quint8(0);
    });
    return with_picture_checksum(QByteArray("QPIC\0\0", 6) + body);
}

// The record commands a picture holds, by walking its record lengths.
std::set<int> record_commands(const QByteArray &picture)
{
    std::set<int> commands;
    qsizetype at = 32; // header, begin record, bounding box, record count
    while (at + 2 <= picture.size()) {
        const int command = quint8(picture[at]);
        qsizetype length = quint8(picture[at + 1]);
        at += 2;
        if (length == 255) {
            length = qFromBigEndian<quint32>(picture.constData() + at);
            at += 4;
        }
        commands.insert(command);
        at += length;
    }
    return commands;
}

// One drawing that makes QPainter's picture writer use every kind of record it
// has: state changes, every shape, text, images, clipping and transforms.
QPicture draw_every_kind_of_record()
{
    QImage tile(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, (x + y) % 2 ? 0xff2060a0u : 0x80ffc000u);

    QPicture picture;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrushOrigin(3, 4);
    painter.setPen(QPen(QColor(20, 40, 200), 3, Qt::DashDotLine, Qt::RoundCap, Qt::MiterJoin));
    painter.setBrush(QBrush(QColor(10, 160, 60), Qt::Dense4Pattern));
    painter.drawEllipse(QRectF(10, 10, 80, 50));
    QPen custom(Qt::darkGreen, 2);
    custom.setDashPattern({3, 1, 0.5, 1});
    custom.setDashOffset(2);
    custom.setCosmetic(true);
    painter.setPen(custom);
    painter.drawPolyline(QPolygonF({QPointF(100, 10), QPointF(150, 60), QPointF(200, 15)}));
    QLinearGradient linear(0, 0, 100, 100);
    linear.setColorAt(0, Qt::red);
    linear.setColorAt(0.5, QColor(0, 255, 0, 128));
    linear.setColorAt(1, Qt::blue);
    painter.setBrush(linear);
    painter.drawPolygon(QPolygonF({QPointF(10, 80), QPointF(90, 80), QPointF(50, 140)}),
                        Qt::WindingFill);
    QRadialGradient radial(QPointF(150, 110), 40, QPointF(140, 100), 5);
    radial.setColorAt(0, Qt::yellow);
    radial.setColorAt(1, Qt::darkRed);
    radial.setSpread(QGradient::ReflectSpread);
    painter.setBrush(radial);
    painter.drawRect(QRectF(110, 70, 80, 80));
    QConicalGradient conical(QPointF(240, 110), 30);
    conical.setColorAt(0, Qt::cyan);
    conical.setColorAt(1, Qt::magenta);
    painter.setBrush(conical);
    QPainterPath path;
    path.moveTo(200, 70);
    path.cubicTo(260, 60, 280, 160, 220, 150);
    path.quadTo(200, 120, 200, 70);
    path.addEllipse(QRectF(250, 20, 30, 20));
    painter.drawPath(path);
    painter.setBrush(QBrush(tile));
    painter.drawRect(QRectF(10, 150, 60, 40));

    QFont serif(QStringLiteral("DejaVu Serif"), 14, QFont::Bold, true);
    painter.setFont(serif);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(QColor(250, 240, 230));
    painter.drawText(QPointF(80, 175), QStringLiteral("Zero = 12.500"));
    painter.setBackgroundMode(Qt::TransparentMode);
    QFont pixels(QStringLiteral("DejaVu Sans"));
    pixels.setPixelSize(13);
    pixels.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    pixels.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    pixels.setCapitalization(QFont::SmallCaps);
    painter.setFont(pixels);
    painter.drawText(QRectF(80, 180, 200, 40), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("Input (norm) and Output (norm)"));

    painter.save();
    painter.translate(40, 230);
    painter.rotate(15);
    painter.scale(1.5, 0.8);
    painter.setClipRect(QRect(0, 0, 120, 60));
    painter.drawImage(QRectF(0, 0, 40, 40), tile, QRectF(0, 0, 8, 8));
    painter.drawPixmap(QRectF(45, 0, 30, 30), QPixmap::fromImage(tile), QRectF(2, 2, 6, 6));
    painter.restore();
    painter.setClipRegion(QRegion(QRect(150, 220, 60, 50)) + QRegion(QRect(200, 260, 60, 40)));
    painter.drawTiledPixmap(QRectF(150, 220, 120, 90), QPixmap::fromImage(tile), QPointF(1, 1));
    QPainterPath clip;
    clip.addEllipse(QRectF(20, 290, 100, 40));
    painter.setClipPath(clip, Qt::IntersectClip);
    painter.setOpacity(0.6);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.fillRect(QRectF(0, 280, 150, 60), QColor(200, 30, 30));
    painter.setClipping(false);
    painter.end();
    return picture;
}

// What load_page_file says about path; empty when it does not throw.
QString load_error(const QString &path)
{
    try {
        pelorin::load_page_file(path);
    } catch (const pelorin::Error &error) {
        return error.message().isEmpty() ? QStringLiteral("(empty message)") : error.message();
    }
    return {};
}

QString save_error(const QString &path, const QVector<StoredPage> &pages)
{
    try {
        pelorin::save_page_file(path, pages);
    } catch (const pelorin::Error &error) {
        return error.message().isEmpty() ? QStringLiteral("(empty message)") : error.message();
    }
    return {};
}

QString quoted(const QString &path)
{
    return QLatin1Char('\'') + QDir::toNativeSeparators(path) + QLatin1Char('\'');
}

} // namespace

class TestPageFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void round_trip_page_for_page_data();
    void round_trip_page_for_page();
    void every_kind_of_drawing_survives_the_round_trip();
    void written_file_has_the_documented_layout();
    void offered_file_type_matches_its_suffix();

    void truncated_at_every_length();
    void damaged_file_is_refused_data();
    void damaged_file_is_refused();
    void hand_built_picture_is_accepted();
    void hostile_picture_is_refused_before_it_is_played_data();
    void hostile_picture_is_refused_before_it_is_played();
    void missing_file_and_non_files_are_refused();
    void oversized_file_is_refused_before_reading();

    void save_refuses_pages_a_file_cannot_hold_data();
    void save_refuses_pages_a_file_cannot_hold();
    void save_replaces_an_existing_file();
    void failed_save_into_read_only_directory_keeps_old_file();
    void failed_write_keeps_old_file();

private:
    QByteArray valid_two_page_file();

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPageFile::initTestCase()
{
#if !defined(__SANITIZE_ADDRESS__)
    // Should a hostile picture ever reach QPicture's player, it would try to
    // take all memory: cap this process so that the test fails, not the machine.
    rlimit limit{};
    QCOMPARE(::getrlimit(RLIMIT_AS, &limit), 0);
    limit.rlim_cur = rlim_t(4) << 30;
    QCOMPARE(::setrlimit(RLIMIT_AS, &limit), 0);
#endif
}

void TestPageFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QByteArray TestPageFile::valid_two_page_file()
{
    const QString path = m_dir->filePath(QStringLiteral("valid.prp"));
    pelorin::save_page_file(
        path, {stored(draw_page(1)), stored(draw_page(2), a4_landscape, QPageLayout::Landscape)});
    return read_all(path);
}

void TestPageFile::round_trip_page_for_page_data()
{
    QTest::addColumn<QVector<StoredPage>>("pages");

    QTest::newRow("one A4 portrait page") << QVector<StoredPage>{stored(draw_page(1))};
    QTest::newRow("two pages turned to landscape")
        << QVector<StoredPage>{stored(draw_page(1), a4_landscape, QPageLayout::Landscape),
                               stored(draw_page(2), a4_landscape, QPageLayout::Landscape)};
    QTest::newRow("three pages of different sheets")
        << QVector<StoredPage>{stored(draw_page(1)), stored(draw_page(2), QSizeF(2159, 2794.5)),
                               stored(draw_page(3), QSizeF(4200, 2970), QPageLayout::Landscape)};
    const StoredPage large = stored(draw_page(4, true));
    QVERIFY(large.picture.size() > 100000);
    QTest::newRow("page with a picture over 100 kB")
        << QVector<StoredPage>{large, stored(draw_page(5))};
    QTest::newRow("blank page between drawn pages") << QVector<StoredPage>{
        stored(draw_page(1)), StoredPage{a4_portrait, QPageLayout::Portrait, {}},
        stored(draw_page(3))};
}

void TestPageFile::round_trip_page_for_page()
{
    QFETCH(QVector<StoredPage>, pages);
    const QString path = m_dir->filePath(QStringLiteral("report.prp"));

    pelorin::save_page_file(path, pages);
    QVERIFY(pelorin::page_file_exists(path));
    const QVector<StoredPage> loaded = pelorin::load_page_file(path);

    QCOMPARE(loaded.size(), pages.size());
    const QImage blank = render({});
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QByteArray number = QByteArray::number(i + 1);
        const char *row = number.constData();
        QVERIFY2(loaded[i].paper_size == pages[i].paper_size, row);
        QVERIFY2(loaded[i].orientation == pages[i].orientation, row);
        QVERIFY2(loaded[i].picture == pages[i].picture, row);
        const QImage original = render(pages[i].picture);
        QVERIFY2(render(loaded[i].picture) == original, row);
        // A drawn page must really draw something, or the comparison proves nothing.
        QVERIFY2(pages[i].picture.isEmpty() || original != blank, row);
    }
}

void TestPageFile::every_kind_of_drawing_survives_the_round_trip()
{
    const StoredPage page = stored(draw_every_kind_of_record());
    // Every kind of record QPainter's picture writer produces, so the check
    // made on loading is known to accept each of them as Qt writes it. (The
    // writer also has background records, but QPainter draws an opaque
    // background as shapes of its own and never sends them.)
    const QList<int> every_kind{7,  12, 13, 17, 18, 21, 24, 25, 31, 43,
                                45, 46, 47, 55, 61, 62, 63, 64, 65, 66};
    const std::set<int> found = record_commands(page.picture);
    QCOMPARE(QList<int>(found.begin(), found.end()), every_kind);

    const QString path = m_dir->filePath(QStringLiteral("everything.prp"));
    pelorin::save_page_file(path, {page});
    const QVector<StoredPage> loaded = pelorin::load_page_file(path);

    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded[0].picture, page.picture);
    const QImage original = render(page.picture);
    QVERIFY(original != render({}));
    QVERIFY(render(loaded[0].picture) == original);
}

void TestPageFile::written_file_has_the_documented_layout()
{
    const QVector<StoredPage> pages{
        stored(draw_page(1)), stored(draw_page(2), QSizeF(2159, 2794.5), QPageLayout::Landscape),
        StoredPage{a4_portrait, QPageLayout::Portrait, {}}};
    const QString path = m_dir->filePath(QStringLiteral("layout.prp"));
    pelorin::save_page_file(path, pages);
    QCOMPARE(read_all(path), encode_page_file(pages));
}

void TestPageFile::offered_file_type_matches_its_suffix()
{
    const QString filter = QString::fromLatin1(pelorin::page_file_filter);
    QVERIFY(filter.endsWith(QStringLiteral("(*.%1)").arg(pelorin::page_file_suffix)));
}

void TestPageFile::truncated_at_every_length()
{
    const QByteArray whole = valid_two_page_file();
    QVERIFY(whole.size() > first_picture + checksum_bytes);
    const QString path = m_dir->filePath(QStringLiteral("cut.prp"));
    // Every prefix: inside and at the end of the magic, the version, the page
    // count, each page's fields and picture, and the checksum.
    for (qsizetype length = 1; length < whole.size(); ++length) {
        write_all(path, whole.left(length));
        const QString message = load_error(path);
        const QByteArray context = QByteArray::number(length) + ": " + message.toUtf8();
        QVERIFY2(message.contains(quoted(path)), context);
        QVERIFY2(message.contains(QStringLiteral("is truncated")), context);
    }
}

void TestPageFile::damaged_file_is_refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    const QByteArray good = valid_two_page_file();
    const qsizetype picture_length = qFromLittleEndian<quint32>(good.constData() + length_offset);
    const auto with_u32 = [&good](int offset, quint32 value) {
        QByteArray bytes = good;
        set_u32(bytes, offset, value);
        return bytes;
    };
    const auto with_f64 = [&good](int offset, double value) {
        QByteArray bytes = good;
        set_f64(bytes, offset, value);
        return resealed(bytes);
    };
    const auto flipped = [&good](qsizetype offset) {
        QByteArray bytes = good;
        bytes[offset] = char(bytes[offset] ^ 0x10);
        return bytes;
    };
    QByteArray random_bytes(4096, Qt::Uninitialized);
    QRandomGenerator random(20240611);
    for (char &byte : random_bytes)
        byte = char(random.bounded(256));
    random_bytes[0] = 'R';

    QTest::newRow("empty file") << QByteArray() << "is empty";
    QTest::newRow("wrong magic") << flipped(1) << "is not a PELORIN report file";
    QTest::newRow("text file") << QByteArray("Zero = 12.5\r\nSpan = 80\r\n")
                               << "is not a PELORIN report file";
    QTest::newRow("random bytes") << random_bytes << "is not a PELORIN report file";
    QTest::newRow("random bytes after the magic")
        << good.left(8) + random_bytes << ""; // any refusal, as long as it names the file
    QTest::newRow("future version") << resealed(with_u32(version_offset, 2)) << "newer version";
    QTest::newRow("future version, old checksum") << with_u32(version_offset, 7) << "newer version";
    QTest::newRow("version 0") << resealed(with_u32(version_offset, 0)) << "is damaged";
    QTest::newRow("no pages") << resealed(with_u32(count_offset, 0)) << "holds no pages";
    QTest::newRow("huge page count")
        << with_u32(count_offset, 0xffffffffu) << "claims 4294967295 pages";
    QTest::newRow("one page over the page limit")
        << with_u32(count_offset, pelorin::max_pages + 1) << "claims 10001 pages";
    QTest::newRow("one page more than present")
        << resealed(with_u32(count_offset, 3)) << ""; // reads the checksum as a page
    QTest::newRow("one page fewer than present")
        << resealed(with_u32(count_offset, 1)) << "unexpected data after the last page";
    QTest::newRow("huge picture length")
        << with_u32(length_offset, 0xffffffffu) << "page 1 claims a picture of 4294967295 bytes";
    QTest::newRow("picture length over the cap")
        << with_u32(length_offset, pelorin::max_picture_bytes + 1) << "claims a picture";
    QTest::newRow("picture length past the end of the file")
        << with_u32(length_offset, quint32(good.size())) << "is truncated";
    QTest::newRow("picture length one short")
        << resealed(with_u32(length_offset, quint32(picture_length - 1))) << "";
    QTest::newRow("bit flipped in a picture")
        << flipped(first_picture + picture_length / 2) << "checksum mismatch";
    QTest::newRow("bit flipped in a paper size")
        << flipped(height_offset + 3) << "checksum mismatch";
    QTest::newRow("bit flipped in the checksum") << flipped(good.size() - 5) << "checksum mismatch";
    QTest::newRow("byte appended") << good + '\0' << "unexpected data after the last page";
    QTest::newRow("zero paper width") << with_f64(width_offset, 0.0) << "invalid paper size";
    QTest::newRow("negative paper height")
        << with_f64(height_offset, -2970.0) << "page 1 has an invalid paper size";
    QTest::newRow("NaN paper width")
        << with_f64(width_offset, std::numeric_limits<double>::quiet_NaN()) << "invalid paper size";
    QTest::newRow("infinite paper height")
        << with_f64(height_offset, std::numeric_limits<double>::infinity()) << "invalid paper size";
    QTest::newRow("paper a kilometre wide")
        << with_f64(width_offset, 1.0e7) << "invalid paper size";
    QTest::newRow("orientation 2")
        << resealed(with_u32(orientation_offset, 2)) << "page 1 has an invalid orientation";
    QTest::newRow("orientation -1")
        << resealed(with_u32(orientation_offset, 0xffffffffu)) << "invalid orientation";
}

void TestPageFile::damaged_file_is_refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString path = m_dir->filePath(QStringLiteral("damaged.prp"));
    write_all(path, bytes);

    const QString message = load_error(path);
    QVERIFY2(message.contains(quoted(path)), qPrintable(message));
    QVERIFY2(message.contains(expected), qPrintable(message));
}

void TestPageFile::hand_built_picture_is_accepted()
{
    // The records of the hostile cases below are built the same way; this
    // sound one shows that the building itself is faithful.
    const QFont font(QStringLiteral("DejaVu Sans"), 12);
    const QByteArray picture = picture_of({
        {46, fields([](QDataStream &s) { s << QPen(Qt::black, 2); })},
        {47, fields([](QDataStream &s) { s << QBrush(Qt::yellow); })},
        {7, fields([](QDataStream &s) { s << QRectF(10, 10, 80, 50); })},
        {12, fields([](QDataStream &s) {
             s << QPolygonF({QPointF(0, 0), QPointF(100, 100), QPointF(200, 0)});
         })},
        {45, fields([&font](QDataStream &s) { s << font; })},
        {21, fields([&font](QDataStream &s) {
             s << QPointF(20, 120) << QStringLiteral("Span") << font << quint32(0) << 1.0 << 0.0;
         })},
    });
    const QString path = m_dir->filePath(QStringLiteral("hand-built.prp"));
    write_all(path, encode_page_file({StoredPage{a4_portrait, QPageLayout::Portrait, picture}}));

    const QVector<StoredPage> loaded = pelorin::load_page_file(path);
    QCOMPARE(loaded.size(), 1);
    QVERIFY(render(loaded[0].picture) != render({}));
}

void TestPageFile::hostile_picture_is_refused_before_it_is_played_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QString>("reason");

    const QByteArray ellipse = fields([](QDataStream &s) { s << QRectF(10, 10, 50, 30); });
    const QString family = QStringLiteral("DejaVu Sans");
    const QFont font(family, 12);
    const auto point_fields = [](QDataStream &s, int count) {
        for (int i = 0; i < count; ++i)
            s << QPointF(i, 2 * i);
    };
    const QByteArray real = stored(draw_page(1)).picture;

    QTest::newRow("text instead of a picture")
        << QByteArray("not a picture at all") << QStringLiteral("no picture header");
    QTest::newRow("picture header only")
        << QByteArray("QPIC") << QStringLiteral("shorter than its fields");
    QByteArray own_checksum_broken = real;
    own_checksum_broken[real.size() / 2] = char(own_checksum_broken[real.size() / 2] ^ 1);
    QTest::newRow("picture's own checksum broken")
        << own_checksum_broken << QStringLiteral("own checksum does not match");
    QTest::newRow("picture cut in half")
        << real.left(real.size() / 2) << QStringLiteral("own checksum does not match");
    QTest::newRow("newer picture format")
        << picture_of({{7, ellipse}}, 21) << QStringLiteral("format 21.0 is not supported");
    QTest::newRow("older picture format")
        << picture_of({{7, ellipse}}, 5) << QStringLiteral("format 5.0 is not supported");

    // Counts the player would believe: it reserves or loops that many times.
    QTest::newRow("polyline claiming 4294967295 points")
        << picture_of({{12, fields([&](QDataStream &s) {
                            s << quint32(0xffffffffu);
                            point_fields(s, 3);
                        })}})
        << QStringLiteral("polygon holds more points");
    QTest::newRow("polygon claiming more points than it holds")
        << picture_of({{13, fields([&](QDataStream &s) {
                            s << quint32(10);
                            point_fields(s, 3);
                            s << qint8(0);
                        })}})
        << QStringLiteral("polygon holds more points");
    QTest::newRow("path claiming 2147483647 elements")
        << picture_of({{25, fields([](QDataStream &s) {
                            s << qint32(0x7fffffff) << qint32(0) << 1.0 << 2.0 << qint32(0)
                              << qint32(0);
                        })}})
        << QStringLiteral("path holds more elements");
    QTest::newRow("pen claiming 1073741824 dashes")
        << picture_of({{46, fields([](QDataStream &s) {
                            s << quint16(0x51) << false << 1.0 << QBrush(Qt::black) << 2.0
                              << quint32(1u << 30) << 1.0 << 2.0 << 0.0 << false;
                        })}})
        << QStringLiteral("too many dashes");
    QTest::newRow("gradient claiming 1073741824 stops")
        << picture_of({{47, fields([](QDataStream &s) {
                            s << quint8(Qt::LinearGradientPattern) << QColor() << qint32(0)
                              << qint32(0) << qint32(0) << qint32(0) << quint32(1u << 30) << 0.0
                              << QColor(Qt::red) << QPointF(0, 0) << QPointF(1, 1) << QTransform();
                        })}})
        << QStringLiteral("too many stops");
    QByteArray many_families = fields([&font](QDataStream &s) { s << font; });
    qToBigEndian(quint32(1u << 30),
                 many_families.data() + many_families.size() - 4 - 2 * family.size() - 4);
    QTest::newRow("font naming 1073741824 families")
        << picture_of({{45, many_families}}) << QStringLiteral("too many families");
    QTest::newRow("clip region claiming 1073741824 rectangles")
        << picture_of({{61, fields([](QDataStream &s) {
                            s << quint32(24) << qint32(10) << quint32(1u << 30) << qint32(0)
                              << qint32(0) << qint32(5) << qint32(5) << qint8(1);
                        })}})
        << QStringLiteral("clip region is malformed");

    // Structure the player does not check.
    QTest::newRow("nested begin record")
        << picture_of({{30, fields([](QDataStream &s) { s << quint32(1); })}})
        << QStringLiteral("unexpected record (30)");
    QTest::newRow("cubic curve of one point")
        << picture_of({{14, fields([](QDataStream &s) { s << QPolygon({QPoint(1, 1)}); })}})
        << QStringLiteral("unexpected record (14)");
    QTest::newRow("unknown record")
        << picture_of({{99, {}}}) << QStringLiteral("unexpected record (99)");
    QByteArray past_the_end = picture_of({{7, ellipse}});
    past_the_end[33] = char(200); // the ellipse record's length
    QTest::newRow("record running past the end")
        << with_picture_checksum(past_the_end) << QStringLiteral("runs past the end");
    QTest::newRow("record longer than its fields")
        << picture_of({{7, ellipse + QByteArray(4, '\0')}})
        << QStringLiteral("length does not match");
    QTest::newRow("end record missing")
        << picture_of({{7, ellipse}}, 20, false) << QStringLiteral("end record is missing");
    QTest::newRow("record count beyond the records")
        << picture_of({{7, ellipse}}, 20, true, 5) << QStringLiteral("end record is misplaced");
    QTest::newRow("data after the end record")
        << with_picture_checksum(picture_of({{7, ellipse}}) + "xx")
        << QStringLiteral("data follows the end record");
    QTest::newRow("end record in the middle") << picture_of({{7, ellipse}, {31, {}}, {7, ellipse}})
                                              << QStringLiteral("end record is misplaced");
    QTest::newRow("path starting with a line")
        << picture_of({{25, fields([](QDataStream &s) {
                            s << qint32(2) << qint32(1) << 0.0 << 0.0 << qint32(1) << 5.0 << 5.0
                              << qint32(0) << qint32(0);
                        })}})
        << QStringLiteral("out of order");
    QTest::newRow("path curve missing a control point")
        << picture_of({{25, fields([](QDataStream &s) {
                            s << qint32(3) << qint32(0) << 0.0 << 0.0 << qint32(2) << 5.0 << 5.0
                              << qint32(3) << 6.0 << 6.0 << qint32(0) << qint32(0);
                        })}})
        << QStringLiteral("curve is incomplete");

    // Values out of range.
    QTest::newRow("ellipse at NaN")
        << picture_of({{7, fields([](QDataStream &s) { s << QRectF(qQNaN(), 0, 5, 5); })}})
        << QStringLiteral("not finite");
    QTest::newRow("ellipse at 1e300")
        << picture_of({{7, fields([](QDataStream &s) { s << QRectF(1e300, 0, 5, 5); })}})
        << QStringLiteral("position is out of range");
    QTest::newRow("background mode 7")
        << picture_of({{41, fields([](QDataStream &s) { s << qint8(7); })}})
        << QStringLiteral("out of range (7)");
    QTest::newRow("composition mode 99")
        << picture_of({{64, fields([](QDataStream &s) { s << quint32(99); })}})
        << QStringLiteral("out of range (99)");
    QTest::newRow("opacity 2") << picture_of({{66, fields([](QDataStream &s) { s << 2.0; })}})
                               << QStringLiteral("opacity is out of range");
    QTest::newRow("colour of an unknown kind")
        << picture_of({{40, fields([](QDataStream &s) {
                            s << qint8(9) << quint16(0xffff) << quint16(0) << quint16(0)
                              << quint16(0) << quint16(0);
                        })}})
        << QStringLiteral("out of range (9)");
    QTest::newRow("brush style 20")
        << picture_of({{47, fields([](QDataStream &s) {
                            s << quint8(20) << QColor(Qt::red) << QTransform();
                        })}})
        << QStringLiteral("brush style is out of range");
    QTest::newRow("pen line style 9")
        << picture_of({{46, fields([](QDataStream &s) {
                            s << quint16(0x09) << false << 1.0 << QBrush(Qt::black) << 2.0
                              << quint32(0) << 0.0 << false;
                        })}})
        << QStringLiteral("pen style is out of range");
    QTest::newRow("text at a resolution of 1e300")
        << picture_of({{21, fields([&font](QDataStream &s) {
                            s << QPointF(10, 10) << QStringLiteral("x") << font << quint32(0)
                              << 1e300 << 0.0;
                        })}})
        << QStringLiteral("resolution is out of range");
    QFont huge = font;
    huge.setPointSizeF(1.0e6);
    QTest::newRow("font of a million points")
        << picture_of({{45, fields([&huge](QDataStream &s) { s << huge; })}})
        << QStringLiteral("font size is out of range");
    QImage small(2, 2, QImage::Format_RGB32);
    small.fill(Qt::red);
    QByteArray wide_image = fields([&small](QDataStream &s) {
        s << QRectF(0, 0, 10, 10) << small << QRectF(0, 0, 2, 2) << quint32(0);
    });
    qToBigEndian(quint32(100000), wide_image.data() + 32 + 4 + 8 + 8); // the PNG's width
    QTest::newRow("image 100000 pixels wide")
        << picture_of({{18, wide_image}}) << QStringLiteral("image is too large");
    QTest::newRow("image that is not PNG")
        << picture_of({{18, fields([](QDataStream &s) {
                            s << QRectF(0, 0, 10, 10) << qint32(1);
                            s.writeRawData("GIF89a\x02\0\x02\0\0\0\0;", 14);
                            s << QRectF(0, 0, 2, 2) << quint32(0);
                        })}})
        << QStringLiteral("not a PNG image");
}

void TestPageFile::hostile_picture_is_refused_before_it_is_played()
{
    QFETCH(QByteArray, picture);
    QFETCH(QString, reason);
    // The file's own checksum is right: only the check of the picture can
    // catch it. Handed to QPicture, some of these would take all memory.
    const QVector<StoredPage> pages{stored(draw_page(1)),
                                    StoredPage{a4_portrait, QPageLayout::Portrait, picture}};
    const QString path = m_dir->filePath(QStringLiteral("hostile.prp"));
    write_all(path, encode_page_file(pages));

    const QString message = load_error(path);
    QVERIFY2(message.contains(quoted(path)), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("page 2 is not a valid picture: ")),
             qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    // Saving refuses what loading would refuse.
    const QString refused = save_error(m_dir->filePath(QStringLiteral("again.prp")), pages);
    QVERIFY2(refused.contains(QStringLiteral("page 2 is not a picture this program can read back")),
             qPrintable(refused));
}

void TestPageFile::missing_file_and_non_files_are_refused()
{
    const QString missing = m_dir->filePath(QStringLiteral("missing.prp"));
    QVERIFY(!pelorin::page_file_exists(missing));
    QVERIFY(load_error(missing).contains(quoted(missing) + QStringLiteral(" does not exist")));

    const QString directory = m_dir->filePath(QStringLiteral("folder.prp"));
    QVERIFY(QDir().mkdir(directory));
    QVERIFY(pelorin::page_file_exists(directory));
    QVERIFY(load_error(directory).contains(quoted(directory) +
                                           QStringLiteral(" is not a regular file")));

    // Reading a pipe with no writer would wait for ever.
    const QString pipe = m_dir->filePath(QStringLiteral("pipe.prp"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(load_error(pipe).contains(quoted(pipe) + QStringLiteral(" is not a regular file")));
}

void TestPageFile::oversized_file_is_refused_before_reading()
{
    const QString path = m_dir->filePath(QStringLiteral("huge.prp"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(valid_two_page_file().left(first_page));
    QVERIFY(file.resize(pelorin::max_page_file_bytes + 1)); // sparse: costs no disk
    file.close();

    const QString message = load_error(path);
    QVERIFY2(message.contains(quoted(path) + QStringLiteral(" is too large")), qPrintable(message));
}

void TestPageFile::save_refuses_pages_a_file_cannot_hold_data()
{
    QTest::addColumn<QVector<StoredPage>>("pages");
    QTest::addColumn<QString>("expected");

    const StoredPage good = stored(draw_page(1));
    const auto with_paper = [&good](QSizeF paper) {
        StoredPage page = good;
        page.paper_size = paper;
        return QVector<StoredPage>{good, page};
    };
    StoredPage oversized = good;
    oversized.picture = QByteArray(qsizetype(pelorin::max_picture_bytes) + 1, 'x');

    QTest::newRow("no pages") << QVector<StoredPage>{} << "there are no pages";
    QTest::newRow("empty paper size") << with_paper(QSizeF()) << "page 2 has an invalid paper size";
    QTest::newRow("NaN paper height")
        << with_paper(QSizeF(2100, std::numeric_limits<double>::quiet_NaN()))
        << "invalid paper size";
    QTest::newRow("picture over the cap")
        << QVector<StoredPage>{oversized} << "page 1 is too large";
    QTest::newRow("one page more than a file holds")
        << QVector<StoredPage>(qsizetype(pelorin::max_pages) + 1,
                               StoredPage{a4_portrait, QPageLayout::Portrait, {}})
        << "10001 pages";
    QTest::newRow("file over the size cap")
        << QVector<StoredPage>(5, StoredPage{a4_portrait, QPageLayout::Portrait,
                                             QByteArray(pelorin::max_picture_bytes, 'x')})
        << "too large";
}

void TestPageFile::save_refuses_pages_a_file_cannot_hold()
{
    QFETCH(QVector<StoredPage>, pages);
    QFETCH(QString, expected);
    const QString path = m_dir->filePath(QStringLiteral("refused.prp"));

    const QString message = save_error(path, pages);
    QVERIFY2(message.contains(quoted(path)), qPrintable(message));
    QVERIFY2(message.contains(expected), qPrintable(message));
    QVERIFY(!QFile::exists(path));
}

void TestPageFile::save_replaces_an_existing_file()
{
    const QString path = m_dir->filePath(QStringLiteral("report.prp"));
    pelorin::save_page_file(path, {stored(draw_page(1)), stored(draw_page(2))});
    pelorin::save_page_file(path, {stored(draw_page(7), a4_landscape, QPageLayout::Landscape)});

    const QVector<StoredPage> loaded = pelorin::load_page_file(path);
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded[0].picture, stored(draw_page(7)).picture);
    QCOMPARE(loaded[0].orientation, QPageLayout::Landscape);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"report.prp"});
}

void TestPageFile::failed_save_into_read_only_directory_keeps_old_file()
{
    if (::geteuid() == 0)
        QSKIP("root ignores directory permissions, so the save cannot be made to fail here "
              "(failed_write_keeps_old_file covers the old file's safety for root)");

    const QString directory = m_dir->filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(directory));
    const QString path = directory + QStringLiteral("/report.prp");
    pelorin::save_page_file(path, {stored(draw_page(1))});
    const QByteArray before = read_all(path);
    QVERIFY(QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    const QString message = save_error(path, {stored(draw_page(2)), stored(draw_page(3))});
    QVERIFY(QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner));

    QVERIFY2(message.contains(quoted(path)), qPrintable(message));
    QCOMPARE(read_all(path), before);
    QCOMPARE(QDir(directory).entryList(QDir::Files), QStringList{"report.prp"});
}

void TestPageFile::failed_write_keeps_old_file()
{
    const QString path = m_dir->filePath(QStringLiteral("report.prp"));
    pelorin::save_page_file(path, {stored(draw_page(1))});
    const QByteArray before = read_all(path);

    // A file-size limit below the new file's size makes its writing fail half
    // way, whoever runs the test; the signal the limit raises is ignored so
    // that the write reports the error instead.
    rlimit old_limit{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    rlimit small_limit = old_limit;
    small_limit.rlim_cur = rlim_t(before.size() + 100);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small_limit), 0);
    const QString message = save_error(path, {stored(draw_page(2, true)), stored(draw_page(3))});
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &old_limit), 0);
    std::signal(SIGXFSZ, old_handler);

    // The message names the file and the system's reason.
    QVERIFY2(message.contains(quoted(path)), qPrintable(message));
    QVERIFY2(message.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(message));
    QCOMPARE(read_all(path), before);
    QCOMPARE(pelorin::load_page_file(path).size(), 1);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"report.prp"});
}

QTEST_MAIN(TestPageFile)
#include "tst_page_file.moc"
