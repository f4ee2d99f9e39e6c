// Saving and loading report pages: round trips page for page, and every kind
// of damaged, truncated, foreign or hostile file refused with an error that
// names the file.

#include "report_fixtures.h"

#include "calc/errors.h"
#include "report/page_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pelorin;

namespace {

// Offsets in the file layout described in report/page_file.h.
constexpr int version_offset = 8;
constexpr int count_offset = 12;
constexpr int width_offset = 16;
constexpr int height_offset = 24;
constexpr int orientation_offset = 32;
constexpr int band_count_offset = 36;
constexpr int band_kind_offset = 40;
constexpr int band_name_offset = 44; // its length, then its bytes
constexpr int checksum_bytes = 32;

// The pages of the calibration report for the start-up input.
QVector<StoredPage> report_pages(int points,
                                 QPageLayout::Orientation orientation = QPageLayout::Portrait)
{
    Table table;
    ReportLayout layout;
    testing::prepare_report(testing::startup_input(points), table, layout);
    const QDateTime moment(QDate(2026, 3, 14), QTime(15, 9, 26));
    return layout_report(layout, report_rows(table), orientation, [moment] { return moment; });
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

QByteArray sha256(const char *data, qsizetype length)
{
    return QCryptographicHash::hash(QByteArrayView(data, length), QCryptographicHash::Sha256);
}

// Recomputes the checksum after a deliberate change, so that the check behind
// it is the one that must find the fault.
QByteArray resealed(QByteArray bytes)
{
    const qsizetype body = bytes.size() - checksum_bytes;
    bytes.replace(body, checksum_bytes, sha256(bytes.constData(), body));
    return bytes;
}

// A file around page records, as save_page_file would write it if it did not
// refuse the pages' values.
QByteArray file_of(const QVector<StoredPage> &pages)
{
    QByteArray bytes("\x89PRP\r\n\x1a\n", 8);
    bytes.append(8, '\0');
    set_u32(bytes, version_offset, page_file_version);
    set_u32(bytes, count_offset, quint32(pages.size()));
    for (const StoredPage &page : pages)
        bytes += encode_page(page);
    return bytes + sha256(bytes.constData(), bytes.size());
}

QImage render(const StoredPage &page)
{
    return testing::render_page(page, 60);
}

// What load_page_file says about path; empty when it does not throw.
QString load_error(const QString &path)
{
    try {
        load_page_file(path);
    } catch (const Error &error) {
        return error.message().isEmpty() ? QStringLiteral("(empty message)") : error.message();
    }
    return {};
}

QString save_error(const QString &path, const QVector<StoredPage> &pages)
{
    try {
        save_page_file(path, pages);
    } catch (const Error &error) {
        return error.message().isEmpty() ? QStringLiteral("(empty message)") : error.message();
    }
    return {};
}

QString quoted(const QString &path)
{
    return QLatin1Char('\'') + QDir::toNativeSeparators(path) + QLatin1Char('\'');
}

using PageChange = std::function<void(StoredPage &)>;

// The second element of the first band that has two.
PlacedElement &second_element(StoredPage &page)
{
    for (PlacedBand &band : page.bands) {
        if (band.elements.size() >= 2)
            return band.elements[1];
    }
    throw Error(QStringLiteral("no band with two elements"));
}

} // namespace

Q_DECLARE_METATYPE(PageChange)
Q_DECLARE_METATYPE(pelorin::StoredPage)

class TestPageFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void round_trip_page_for_page_data();
    void round_trip_page_for_page();
    void written_file_has_the_documented_layout();
    void offered_file_type_matches_its_suffix();

    void truncated_at_every_length();
    void damaged_file_is_refused_data();
    void damaged_file_is_refused();
    void hostile_values_are_refused_data();
    void hostile_values_are_refused();
    void missing_file_and_non_files_are_refused();
    void oversized_file_is_refused_before_reading();

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
    testing::install_font_substitutions();
}

void TestPageFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QByteArray TestPageFile::valid_two_page_file()
{
    return file_of(report_pages(25, QPageLayout::Landscape));
}

void TestPageFile::round_trip_page_for_page_data()
{
    QTest::addColumn<QVector<StoredPage>>("pages");

    QTest::newRow("one A4 portrait page") << report_pages(15);
    QTest::newRow("two landscape pages") << report_pages(25, QPageLayout::Landscape);
    // Values no report of today holds but a file may: other sheets, texts
    // beyond Latin-1, frames, every alignment, an empty page.
    QVector<StoredPage> unusual = report_pages(3);
    unusual[0].paper = QSizeF(2159, 2794.5);
    PlacedElement &first = unusual[0].bands[0].elements[0];
    first.text = QStringLiteral("Füllhöhe 0,5 m³ — 液位");
    first.alignment = Qt::AlignHCenter;
    first.frame = FrameLines{0.5, 1, 2, 3};
    first.font.underline = true;
    StoredPage empty;
    empty.paper = QSizeF(4200, 2970);
    empty.orientation = QPageLayout::Landscape;
    unusual << empty;
    QTest::newRow("unusual values and an empty page") << unusual;
}

void TestPageFile::round_trip_page_for_page()
{
    QFETCH(QVector<StoredPage>, pages);
    const QString path = m_dir->filePath(QStringLiteral("report.prp"));

    save_page_file(path, pages);
    QVERIFY(page_file_exists(path));
    const QVector<StoredPage> loaded = load_page_file(path);

    QCOMPARE(loaded.size(), pages.size());
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QByteArray number = QByteArray::number(i + 1);
        QVERIFY2(loaded[i].number == i + 1, number);
        QVERIFY2(loaded[i].paper == pages[i].paper, number);
        QVERIFY2(loaded[i].orientation == pages[i].orientation, number);
        QVERIFY2(render(loaded[i]) == render(pages[i]), number);
    }
    // What was loaded saves to the very same bytes.
    const QString again = m_dir->filePath(QStringLiteral("again.prp"));
    save_page_file(again, loaded);
    QCOMPARE(read_all(again), read_all(path));
}

void TestPageFile::written_file_has_the_documented_layout()
{
    const QVector<StoredPage> pages = report_pages(25, QPageLayout::Landscape);
    const QString path = m_dir->filePath(QStringLiteral("layout.prp"));
    save_page_file(path, pages);
    const QByteArray bytes = read_all(path);

    QCOMPARE(bytes.left(8), QByteArray("\x89PRP\r\n\x1a\n", 8));
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + version_offset), 2u);
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + count_offset), 2u);
    double width = 0;
    std::memcpy(&width, bytes.constData() + width_offset, sizeof width);
    QCOMPARE(width, 2970.0);
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + orientation_offset), 1u);
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + band_count_offset),
             quint32(pages[0].bands.size()));
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + band_kind_offset),
             quint32(BandKind::PageHeader));
    const qsizetype body = bytes.size() - checksum_bytes;
    QCOMPARE(bytes.mid(body), sha256(bytes.constData(), body));
    QCOMPARE(bytes, file_of(pages));
}

void TestPageFile::offered_file_type_matches_its_suffix()
{
    const QString filter = QString::fromLatin1(page_file_filter);
    QVERIFY(filter.endsWith(QStringLiteral("(*.%1)").arg(page_file_suffix)));
}

void TestPageFile::truncated_at_every_length()
{
    const QByteArray whole = file_of(report_pages(1));
    // Every prefix: inside and at the end of the magic, the version, the page
    // count, each field of the page, and the checksum.
    for (qsizetype length = 1; length < whole.size(); ++length) {
        QString message;
        try {
            parse_page_file(QStringLiteral("cut.prp"), whole.left(length));
        } catch (const Error &error) {
            message = error.message();
        }
        const QByteArray context = QByteArray::number(length) + ": " + message.toUtf8();
        QVERIFY2(message == QStringLiteral("'cut.prp' is truncated"), context);
    }
}

void TestPageFile::damaged_file_is_refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    const QByteArray good = valid_two_page_file();
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
    QByteArray bad_utf8 = good;
    bad_utf8[band_name_offset + 4] = char(0xff);

    QTest::newRow("empty file") << QByteArray() << "is empty";
    QTest::newRow("wrong magic") << flipped(1) << "is not a PELORIN report file";
    QTest::newRow("text file") << QByteArray("Zero = 12.5\r\nSpan = 80\r\n")
                               << "is not a PELORIN report file";
    QTest::newRow("random bytes") << random_bytes << "is not a PELORIN report file";
    QTest::newRow("random bytes after the magic")
        << good.left(8) + random_bytes << ""; // any refusal, as long as it names the file
    QTest::newRow("future version") << resealed(with_u32(version_offset, 3)) << "newer version";
    QTest::newRow("future version, old checksum") << with_u32(version_offset, 7) << "newer version";
    QTest::newRow("format 1 of a development version")
        << resealed(with_u32(version_offset, 1)) << "page file format 1 of a development version";
    QTest::newRow("version 0") << resealed(with_u32(version_offset, 0)) << "is damaged";
    QTest::newRow("no pages") << resealed(with_u32(count_offset, 0)) << "holds no pages";
    QTest::newRow("huge page count")
        << with_u32(count_offset, 0xffffffffu) << "4294967295 pages are more than the 10000";
    QTest::newRow("one page over the page limit")
        << with_u32(count_offset, max_pages + 1) << "10001 pages";
    QTest::newRow("one page more than present") << resealed(with_u32(count_offset, 3)) << "";
    QTest::newRow("one page fewer than present")
        << resealed(with_u32(count_offset, 1)) << "unexpected data after the last page";
    QTest::newRow("huge band count") << with_u32(band_count_offset, 0xffffffffu) << "bands";
    QTest::newRow("unknown band kind") << with_u32(band_kind_offset, 9) << "unknown band kind 9";
    QTest::newRow("huge text length") << with_u32(band_name_offset, 0xffffffffu) << "text bytes";
    QTest::newRow("text running past the end")
        << with_u32(band_name_offset, max_text_bytes) << "is truncated";
    QTest::newRow("text not UTF-8") << resealed(bad_utf8) << "not valid UTF-8";
    QTest::newRow("bit flipped in a text") << flipped(good.size() / 2) << "";
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
    QTest::newRow("orientation 2") << resealed(with_u32(orientation_offset, 2)) << "orientation 2";
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

void TestPageFile::hostile_values_are_refused_data()
{
    QTest::addColumn<PageChange>("change");
    QTest::addColumn<QString>("expected");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("NaN band rectangle")
        << PageChange([nan](StoredPage &p) { p.bands[1].rect.setTop(nan); }) << "band 2";
    QTest::newRow("band row below -1")
        << PageChange([](StoredPage &p) { p.bands[3].row = -2; }) << "band 4";
    QTest::newRow("negative box width")
        << PageChange([](StoredPage &p) { second_element(p).box.setWidth(-1); }) << "element 2";
    QTest::newRow("box far off the sheet")
        << PageChange([](StoredPage &p) { second_element(p).box.moveLeft(1e9); }) << "element 2";
    QTest::newRow("font of 0 points")
        << PageChange([](StoredPage &p) { second_element(p).font.points = 0; }) << "element 2";
    QTest::newRow("font of a million points")
        << PageChange([](StoredPage &p) { second_element(p).font.points = 1e6; }) << "element 2";
    QTest::newRow("negative frame line")
        << PageChange([](StoredPage &p) { second_element(p).frame.left = -1; }) << "element 2";
    QTest::newRow("justified text")
        << PageChange([](StoredPage &p) { second_element(p).alignment = Qt::AlignJustify; })
        << "element 2";
    QTest::newRow("text over the length limit") << PageChange([](StoredPage &p) {
        second_element(p).text = QString(70000, QLatin1Char('9'));
    }) << "";
    QTest::newRow("one band too many") << PageChange([](StoredPage &p) {
        p.bands = QVector<PlacedBand>(qsizetype(max_bands) + 1, p.bands[0]);
    }) << "1001 bands";
    QTest::newRow("one element too many") << PageChange([](StoredPage &p) {
        p.bands.resize(1);
        p.bands[0].elements =
            QVector<PlacedElement>(qsizetype(max_elements) + 1, p.bands[0].elements[0]);
    }) << "elements";
}

// Values out of range are refused on loading (behind a sound checksum), and
// saving refuses them too, so that every saved file loads again.
void TestPageFile::hostile_values_are_refused()
{
    QFETCH(PageChange, change);
    QFETCH(QString, expected);
    QVector<StoredPage> pages = report_pages(3);
    pages << pages[0];
    change(pages[1]);
    const QString path = m_dir->filePath(QStringLiteral("hostile.prp"));
    write_all(path, file_of(pages));

    const QString message = load_error(path);
    QVERIFY2(message.contains(quoted(path)) && message.contains(QStringLiteral("is damaged")),
             qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("page 2")) && message.contains(expected),
             qPrintable(message));

    const QString refused = save_error(m_dir->filePath(QStringLiteral("again.prp")), pages);
    QVERIFY2(refused.contains(QStringLiteral("page 2")) && refused.contains(expected),
             qPrintable(refused));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("again.prp"))));
}

void TestPageFile::missing_file_and_non_files_are_refused()
{
    const QString missing = m_dir->filePath(QStringLiteral("missing.prp"));
    QVERIFY(!page_file_exists(missing));
    QVERIFY(load_error(missing).contains(quoted(missing) + QStringLiteral(" does not exist")));

    const QString directory = m_dir->filePath(QStringLiteral("folder.prp"));
    QVERIFY(QDir().mkdir(directory));
    QVERIFY(page_file_exists(directory));
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
    file.write(valid_two_page_file().left(band_count_offset));
    QVERIFY(file.resize(max_page_file_bytes + 1)); // sparse: costs no disk
    file.close();

    const QString message = load_error(path);
    QVERIFY2(message.contains(quoted(path) + QStringLiteral(" is too large")), qPrintable(message));
}

void TestPageFile::save_refuses_pages_a_file_cannot_hold()
{
    const QString path = m_dir->filePath(QStringLiteral("refused.prp"));
    QVERIFY(save_error(path, {}).endsWith(QStringLiteral("there are no pages")));
    const StoredPage blank = report_pages(1).at(0);
    QVERIFY(save_error(path, QVector<StoredPage>(qsizetype(max_pages) + 1, blank))
                .contains(QStringLiteral("10001 pages")));
    // Pages within every limit but too many bytes for one file.
    StoredPage bulky = blank;
    bulky.bands.resize(1);
    bulky.bands[0].elements = QVector<PlacedElement>(600, bulky.bands[0].elements[0]);
    for (PlacedElement &e : bulky.bands[0].elements)
        e.text = QString(qsizetype(max_text_bytes), QLatin1Char('x'));
    const QString message = save_error(path, {bulky, bulky});
    QVERIFY2(message.contains(quoted(path)) &&
                 message.endsWith(QStringLiteral("too large for one file")),
             qPrintable(message));
    QVERIFY(!QFile::exists(path));
}

void TestPageFile::save_replaces_an_existing_file()
{
    const QString path = m_dir->filePath(QStringLiteral("report.prp"));
    save_page_file(path, report_pages(25, QPageLayout::Landscape));
    const QVector<StoredPage> replacement = report_pages(5);
    save_page_file(path, replacement);

    const QVector<StoredPage> loaded = load_page_file(path);
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded[0].orientation, QPageLayout::Portrait);
    QVERIFY(render(loaded[0]) == render(replacement[0]));
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
    save_page_file(path, report_pages(1));
    const QByteArray before = read_all(path);
    QVERIFY(QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    const QString message = save_error(path, report_pages(25, QPageLayout::Landscape));
    QVERIFY(QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner));

    QVERIFY2(message.contains(quoted(path)), qPrintable(message));
    QCOMPARE(read_all(path), before);
    QCOMPARE(QDir(directory).entryList(QDir::Files), QStringList{"report.prp"});
}

void TestPageFile::failed_write_keeps_old_file()
{
    const QString path = m_dir->filePath(QStringLiteral("report.prp"));
    save_page_file(path, report_pages(1));
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
    const QString message = save_error(path, report_pages(25, QPageLayout::Landscape));
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &old_limit), 0);
    std::signal(SIGXFSZ, old_handler);

    // The message names the file and the system's reason.
    QVERIFY2(message.contains(quoted(path)), qPrintable(message));
    QVERIFY2(message.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(message));
    QCOMPARE(read_all(path), before);
    QCOMPARE(load_page_file(path).size(), 1);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"report.prp"});
}

QTEST_MAIN(TestPageFile)
#include "tst_page_file.moc"
