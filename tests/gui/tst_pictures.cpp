// The compiled-in pictures of the main window and the report preview: each one
// loads, has the pixel size its widget is laid out for, and has the look the
// windows rely on (icon in 16 colours, greyed disabled glyphs, tool bar
// pictures that let the button face show through, diagrams in black and blue
// on white), at its size and in its rendering at twice the size (<name>@2x)
// that screens of device pixel ratio 2 get.

#include "resources/pictures.h"

#include <QColor>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPoint>
#include <QSet>
#include <QSize>
#include <QString>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// The committed pictures, resources/pictures/ of the source tree.
QDir pictures_folder()
{
    return QDir(qEnvironmentVariable("PELORIN_SOURCE_DIR") + QStringLiteral("/resources/pictures"));
}

QImage picture(const QString &name)
{
    return pelorin::load_picture(name).toImage().convertToFormat(QImage::Format_ARGB32);
}

QString twin_of(const char *name)
{
    return QString::fromLatin1(name).replace(QLatin1String(".png"), QLatin1String("@2x.png"));
}

// Each row twice: the picture, and its rendering at twice the size.
void add_both_sizes(const char *name)
{
    QTest::newRow(name) << QString::fromLatin1(name);
    QTest::newRow(qPrintable(twin_of(name))) << twin_of(name);
}

// The twin shrunk to the picture's size, each pixel the mean of the four it
// covers (premultiplied, so transparent pixels add no colour).
QImage halved(const QImage &twin)
{
    const QImage source = twin.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage half(source.size() / 2, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < half.height(); ++y) {
        for (int x = 0; x < half.width(); ++x) {
            int red = 0, green = 0, blue = 0, alpha = 0;
            for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
                const QRgb p = source.pixel(2 * x + d.x(), 2 * y + d.y());
                red += qRed(p);
                green += qGreen(p);
                blue += qBlue(p);
                alpha += qAlpha(p);
            }
            half.setPixel(x, y,
                          qRgba((red + 2) / 4, (green + 2) / 4, (blue + 2) / 4, (alpha + 2) / 4));
        }
    }
    return half;
}

// Mean difference of two pictures of one size over all four channels, 0..255.
double mean_difference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * x.width() * x.height());
}

// Difference between the strongest and the weakest colour channel: 0 for
// pure greys, 255 for pure red, green or blue.
int saturation(QRgb pixel)
{
    const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    return high - low;
}

struct PixelCounts
{
    int transparent = 0; // alpha 0
    int opaque = 0;      // alpha 255
    int saturated = 0;   // visible and clearly coloured
    int white = 0;       // opaque and nearly white
    int dark = 0;        // opaque and nearly black
    int blue = 0;        // opaque and clearly blue
};

PixelCounts count_pixels(const QImage &image)
{
    PixelCounts counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0)
                ++counts.transparent;
            if (qAlpha(pixel) < 128)
                continue;
            if (saturation(pixel) > 40)
                ++counts.saturated;
            if (qAlpha(pixel) != 255)
                continue;
            ++counts.opaque;
            if (qGray(pixel) >= 245)
                ++counts.white;
            if (qGray(pixel) < 64 && saturation(pixel) < 40)
                ++counts.dark;
            if (qBlue(pixel) >= 192 && qRed(pixel) < 96 && qGreen(pixel) < 96)
                ++counts.blue;
        }
    }
    return counts;
}

const QSet<QRgb> classic_palette = {
    qRgb(0x00, 0x00, 0x00), qRgb(0x80, 0x00, 0x00), qRgb(0x00, 0x80, 0x00), qRgb(0x80, 0x80, 0x00),
    qRgb(0x00, 0x00, 0x80), qRgb(0x80, 0x00, 0x80), qRgb(0x00, 0x80, 0x80), qRgb(0xC0, 0xC0, 0xC0),
    qRgb(0x80, 0x80, 0x80), qRgb(0xFF, 0x00, 0x00), qRgb(0x00, 0xFF, 0x00), qRgb(0xFF, 0xFF, 0x00),
    qRgb(0x00, 0x00, 0xFF), qRgb(0xFF, 0x00, 0xFF), qRgb(0x00, 0xFF, 0xFF), qRgb(0xFF, 0xFF, 0xFF)};

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void picture_is_the_decoded_file_data();
    void picture_is_the_decoded_file();
    void unknown_picture_throws();
    void picture_has_its_layout_size_data();
    void picture_has_its_layout_size();
    void twin_is_the_picture_at_twice_the_size_data();
    void twin_is_the_picture_at_twice_the_size();
    void icon_draws_the_rendering_for_the_ratio_data();
    void icon_draws_the_rendering_for_the_ratio();
    void icon_uses_sixteen_classic_colours_and_full_transparency_data();
    void icon_uses_sixteen_classic_colours_and_full_transparency();
    void disabled_glyph_is_a_grey_twin_data();
    void disabled_glyph_is_a_grey_twin();
    void tool_picture_is_drawn_on_a_transparent_ground_data();
    void tool_picture_is_drawn_on_a_transparent_ground();
    void diagram_is_black_and_blue_on_white_data();
    void diagram_is_black_and_blue_on_white();
};

// The program shows the PNG pictures from compressed pixel arrays decoded at
// build time, and the JPEG logo through the jpeg plugin loaded on its own:
// each must be, pixel for pixel and in the same format, what Qt's image
// reader makes of the committed file.
void TestPictures::picture_is_the_decoded_file_data()
{
    QTest::addColumn<QString>("name");
    const QStringList files = pictures_folder().entryList(QDir::Files);
    QVERIFY(files.contains(QStringLiteral("logo.jpg")));
    QVERIFY(files.size() >= 20);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << file;
}

void TestPictures::picture_is_the_decoded_file()
{
    QFETCH(QString, name);
    QImageReader reader(pictures_folder().filePath(name));
    const QImage decoded = reader.read();
    QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
    const QImage shown = pelorin::load_picture(name).toImage();
    QCOMPARE(shown.size(), decoded.size());
    QCOMPARE(shown.format(), QPixmap::fromImage(decoded).toImage().format());
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
             decoded.convertToFormat(QImage::Format_ARGB32));
}

void TestPictures::unknown_picture_throws()
{
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             pelorin::load_picture(QStringLiteral("missing.png")));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             pelorin::load_picture(QStringLiteral("missing.jpg")));
}

void TestPictures::picture_has_its_layout_size_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("icon") << "flask.png" << QSize(32, 32);
    QTest::newRow("spherical diagram") << "tank_spherical.png" << QSize(308, 250);
    QTest::newRow("conical diagram") << "tank_conical.png" << QSize(344, 250);
    QTest::newRow("cylindrical diagram") << "tank_cylindrical.png" << QSize(399, 236);
    const char *const glyphs[] = {"glyph_calculator.png",   "glyph_calculator_disabled.png",
                                  "glyph_printer.png",      "glyph_printer_disabled.png",
                                  "tool_zoom_fit.png",      "tool_zoom_100.png",
                                  "tool_zoom_width.png",    "tool_first_page.png",
                                  "tool_previous_page.png", "tool_next_page.png",
                                  "tool_last_page.png",     "tool_printer_setup.png",
                                  "tool_print.png",         "tool_save.png",
                                  "tool_load.png",          "tool_export_pdf.png"};
    for (const char *glyph : glyphs)
        QTest::newRow(glyph) << QString::fromLatin1(glyph) << QSize(16, 16);
}

void TestPictures::picture_has_its_layout_size()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QCOMPARE(pelorin::load_picture(name).size(), size);
}

// Every picture of the windows has its twin at twice the size, which a screen
// of ratio 2 gets in the same room, and which is the same drawing: shrunk
// back, it differs from the picture only by the finer edges.
void TestPictures::twin_is_the_picture_at_twice_the_size_data()
{
    QTest::addColumn<QString>("name");
    const QStringList files = pictures_folder().entryList(QDir::Files);
    for (const QString &file : files) {
        if (!file.contains(QLatin1String("@2x")))
            QTest::newRow(qPrintable(file)) << file;
    }
}

void TestPictures::twin_is_the_picture_at_twice_the_size()
{
    QFETCH(QString, name);
    const QPixmap single = pelorin::load_picture(name);
    QCOMPARE(pelorin::load_picture(name, 1).toImage(), single.toImage());

    const QPixmap twin = pelorin::load_picture(name, 2);
    QCOMPARE(twin.devicePixelRatio(), 2.0);
    QCOMPARE(twin.size(), single.size() * 2);
    QCOMPARE(twin.deviceIndependentSize().toSize(), single.size());
    const double difference = mean_difference(halved(twin.toImage()), single.toImage());
    QVERIFY2(difference < 6, qPrintable(QStringLiteral("mean difference %1").arg(difference)));
}

void TestPictures::icon_draws_the_rendering_for_the_ratio_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QString>("expected");
    QTest::newRow("enabled at 1") << int(QIcon::Normal) << 1.0 << "glyph_calculator.png";
    QTest::newRow("enabled at 2") << int(QIcon::Normal) << 2.0 << "glyph_calculator@2x.png";
    QTest::newRow("disabled at 1")
        << int(QIcon::Disabled) << 1.0 << "glyph_calculator_disabled.png";
    QTest::newRow("disabled at 2")
        << int(QIcon::Disabled) << 2.0 << "glyph_calculator_disabled@2x.png";
}

void TestPictures::icon_draws_the_rendering_for_the_ratio()
{
    QFETCH(int, mode);
    QFETCH(qreal, ratio);
    QFETCH(QString, expected);
    const QIcon icon = pelorin::load_icon(QStringLiteral("glyph_calculator.png"),
                                          QStringLiteral("glyph_calculator_disabled.png"));
    const QPixmap drawn = icon.pixmap(QSize(16, 16), ratio, QIcon::Mode(mode));
    QCOMPARE(drawn.devicePixelRatio(), ratio);
    QCOMPARE(drawn.toImage().convertToFormat(QImage::Format_ARGB32), picture(expected));
}

void TestPictures::icon_uses_sixteen_classic_colours_and_full_transparency_data()
{
    QTest::addColumn<QString>("name");
    add_both_sizes("flask.png");
}

void TestPictures::icon_uses_sixteen_classic_colours_and_full_transparency()
{
    QFETCH(QString, name);
    const QImage icon = picture(name);
    const int area = icon.width() * icon.height();
    QSet<QRgb> colours;
    int transparent = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb pixel = icon.pixel(x, y);
            if (qAlpha(pixel) == 0) {
                ++transparent;
                continue;
            }
            QVERIFY2(qAlpha(pixel) == 255,
                     qPrintable(QStringLiteral("half-transparent pixel at %1,%2").arg(x).arg(y)));
            QVERIFY2(classic_palette.contains(pixel),
                     qPrintable(QStringLiteral("colour %1 at %2,%3 is not a classic colour")
                                    .arg(QColor(pixel).name())
                                    .arg(x)
                                    .arg(y)));
            colours.insert(pixel);
        }
    }
    QVERIFY(colours.size() <= 16);
    // The flask needs its outline, grey neck, dark blue liquid and highlight.
    QVERIFY(colours.size() >= 5);
    QVERIFY(colours.contains(qRgb(0x00, 0x00, 0x80)));
    QVERIFY(colours.contains(qRgb(0x80, 0x80, 0x80)) || colours.contains(qRgb(0xC0, 0xC0, 0xC0)));
    // The corners are background and a fair share of the square is flask.
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(icon.width() - 1, 0)), 0);
    QVERIFY(transparent * 1024 > 100 * area);
    QVERIFY(transparent * 1024 < (32 * 32 - 300) * area);
}

void TestPictures::disabled_glyph_is_a_grey_twin_data()
{
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<QString>("disabled");
    QTest::newRow("Calculate") << "glyph_calculator.png"
                               << "glyph_calculator_disabled.png";
    QTest::newRow("Report") << "glyph_printer.png"
                            << "glyph_printer_disabled.png";
    QTest::newRow("Calculate 2x") << "glyph_calculator@2x.png"
                                  << "glyph_calculator_disabled@2x.png";
    QTest::newRow("Report 2x") << "glyph_printer@2x.png"
                               << "glyph_printer_disabled@2x.png";
}

void TestPictures::disabled_glyph_is_a_grey_twin()
{
    QFETCH(QString, enabled);
    QFETCH(QString, disabled);
    const QImage normal = picture(enabled);
    const QImage greyed = picture(disabled);
    QVERIFY(normal != greyed);

    const PixelCounts normal_counts = count_pixels(normal);
    const PixelCounts greyed_counts = count_pixels(greyed);
    QVERIFY2(normal_counts.saturated > 0, "the enabled glyph has no colour");
    QCOMPARE(greyed_counts.saturated, 0);
    // Still recognisably the same object: a good part of it is drawn, and the
    // background stays transparent so the button face shows through.
    QVERIFY(greyed_counts.opaque >= normal_counts.opaque / 4);
    QVERIFY(greyed_counts.transparent > 0);
    QCOMPARE(qAlpha(greyed.pixel(0, greyed.height() - 1)), 0);
}

void TestPictures::tool_picture_is_drawn_on_a_transparent_ground_data()
{
    QTest::addColumn<QString>("name");
    const char *const tools[] = {
        "tool_zoom_fit.png",   "tool_zoom_100.png",      "tool_zoom_width.png",
        "tool_first_page.png", "tool_previous_page.png", "tool_next_page.png",
        "tool_last_page.png",  "tool_printer_setup.png", "tool_print.png",
        "tool_save.png",       "tool_load.png",          "glyph_calculator.png",
        "glyph_printer.png",   "tool_export_pdf.png"};
    for (const char *tool : tools)
        add_both_sizes(tool);
}

void TestPictures::tool_picture_is_drawn_on_a_transparent_ground()
{
    QFETCH(QString, name);
    const PixelCounts counts = count_pixels(picture(name));
    QVERIFY2(counts.transparent > 0, "no background: the picture would cover the button face");
    QVERIFY2(counts.opaque >= 20, "hardly anything is drawn");
    QVERIFY2(counts.dark >= 8, "no dark outline or symbol");
}

void TestPictures::diagram_is_black_and_blue_on_white_data()
{
    QTest::addColumn<QString>("name");
    for (const char *diagram : {"tank_spherical.png", "tank_conical.png", "tank_cylindrical.png"})
        add_both_sizes(diagram);
}

void TestPictures::diagram_is_black_and_blue_on_white()
{
    QFETCH(QString, name);
    const QImage diagram = picture(name);
    const int area = diagram.width() * diagram.height();
    const PixelCounts counts = count_pixels(diagram);
    QCOMPARE(counts.opaque, area);
    QVERIFY2(counts.white * 100 >= area * 70, "the background is not mostly white");
    // The thick tank outline, the base line, the dimension lines and the
    // labels: a few per cent of the picture.
    QVERIFY2(counts.dark * 100 >= area * 3, "too few black pixels for the tank outline");
    // The transmitter bar alone covers 8 x 80 pixels or more.
    QVERIFY2(counts.blue >= 700, "the blue transmitter bar and Span marks are missing");
    // All four edges are white margin, not cut-off drawing.
    QCOMPARE(diagram.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(diagram.pixel(diagram.width() - 1, 0), qRgb(255, 255, 255));
    QCOMPARE(diagram.pixel(diagram.width() - 1, diagram.height() - 1), qRgb(255, 255, 255));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
