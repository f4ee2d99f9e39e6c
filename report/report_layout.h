#pragma once

// The calibration report layout QuickRep1 as data: report settings, the five
// bands in print order and their elements. Every position, size, margin and
// band height is in tenths of a millimetre (254 units make one inch); font
// sizes and frame-line widths are in points.
//
// The layout is a plain value: PrintClick writes its captions, the engine
// (report_engine.h) reads it and the rows of the result table and produces
// pages. Only the print settings are changed later, by the preview's printer
// setup. Measuring text needs the font database, so a QGuiApplication must
// exist, but no window.

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QRectF>
#include <QString>
#include <QVector>

class QFont;

namespace pelorin {

// Report measure: tenths of a millimetre.
constexpr double units_per_inch = 254.0;
constexpr double units_per_point = units_per_inch / 72.0;

// Text is laid out and painted in a reference space of 720 dots per inch, in
// which every font of a whole or tenth point size has an exact pixel size
// (10 pt = 100 px). Measuring and painting there gives the same line widths
// and breaks on the screen, in a stored page and on any printer.
constexpr double reference_dpi = 720.0;
constexpr double reference_per_unit = reference_dpi / units_per_inch;

struct ReportFont
{
    QString family = QStringLiteral("Arial");
    double points = 10;
    bool bold = false;
    bool underline = false;

    bool operator==(const ReportFont &other) const
    {
        return family == other.family && points == other.points && bold == other.bold &&
               underline == other.underline;
    }
};

// The QFont of a report font in the reference space (pixel size points x 10).
QFont reference_font(const ReportFont &font);
// Width of a one-line text in the font, in tenths of a millimetre.
double text_width(const ReportFont &font, const QString &text);

// Frame lines along the edges, widths in points; 0 draws no line.
struct FrameLines
{
    double top = 0;
    double bottom = 0;
    double left = 0;
    double right = 0;

    bool any() const { return top > 0 || bottom > 0 || left > 0 || right > 0; }
};

enum class ElementKind {
    Label,      // fixed caption (QRLabel, QRLb)
    SystemData, // date and time, evaluated when its band is produced
    DataText,   // a field of the current row of the bound table
    Memo,       // multi-line text
};

enum class Placement {
    FixedBox,   // Left, Top, Width, Height as stored; text aligned inside
    BandLeft,   // sized to its text, at the band's left edge
    BandCentre, // sized to its text, centred in the band
    BandRight,  // sized to its text, flush with the band's right edge
};

struct ReportElement
{
    QString name;
    ElementKind kind = ElementKind::Label;
    Placement placement = Placement::FixedBox;
    double left = 0; // from the band's left edge
    double top = 0;  // from the band's top edge
    double width = 0;
    double height = 0;
    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool word_wrap = false;
    FrameLines frame;
    QString field;   // DataText: field name of the bound table
    QString caption; // Label and Memo: the text

    bool band_aligned() const { return placement != Placement::FixedBox; }
};

enum class BandKind { PageHeader, Title, ColumnHeader, Detail, Summary };

struct ReportBand
{
    QString name;
    BandKind kind = BandKind::Detail;
    double width = 0;
    double height = 0;
    FrameLines frame;
    QVector<ReportElement> elements;
};

// The report's print settings; the preview's printer setup changes them for
// the rest of the program run.
struct PrintSettings
{
    QString printer_name; // empty: the system's default printer
    int copies = 1;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int first_page = 0; // 0 and 0: all pages
    int last_page = 0;
    QPrinter::PaperSource paper_source = QPrinter::Upper; // the printer's first bin
    bool duplex = false;
};

class ReportLayout
{
public:
    // QuickRep1 as designed: captions set by PrintClick start empty.
    ReportLayout();

    QString name() const { return QStringLiteral("QuickRep1"); }
    const QString &title() const { return m_title; }
    void set_title(const QString &title) { m_title = title; }

    QPageSize::PageSizeId paper() const { return QPageSize::A4; }
    double paper_width() const { return 2100; }
    double paper_length() const { return 2970; }
    double top_margin() const { return 127; }
    double bottom_margin() const { return 127; }
    double left_margin() const { return 127; }
    double right_margin() const { return 127; }
    int columns() const { return 1; }
    double column_spacing() const { return 0; }
    const ReportFont &default_font() const { return m_default_font; }
    bool first_page_header() const { return true; }
    bool last_page_footer() const { return true; }
    bool print_if_empty() const { return false; }

    // Paper size in the given orientation (landscape swaps width and length).
    QSizeF page_size(QPageLayout::Orientation orientation) const;
    double usable_width(QPageLayout::Orientation orientation) const;
    double usable_height(QPageLayout::Orientation orientation) const;
    // A band spans the width between the margins: its designed width, widened
    // or narrowed with the page.
    double band_width(const ReportBand &band, QPageLayout::Orientation orientation) const;

    const QVector<ReportBand> &bands() const { return m_bands; }
    const ReportBand &band(BandKind kind) const;
    // Throws pelorin::Error for an unknown name.
    const ReportBand &band(const QString &name) const;
    const ReportElement &element(const QString &name) const;
    bool has_element(const QString &name) const;

    // Replaces a label's text; a band-aligned label is re-sized to the text
    // and re-placed in its band.
    void set_caption(const QString &name, const QString &text);

    PrintSettings &print_settings() { return m_print_settings; }
    const PrintSettings &print_settings() const { return m_print_settings; }

    // Set while a report is being generated from this layout (preview or
    // print), so that a second report request can be refused.
    bool is_generating() const { return m_generating; }
    void set_generating(bool generating) { m_generating = generating; }

private:
    static void place_in_band(ReportElement &element, double band_width);

    QString m_title;
    ReportFont m_default_font;
    QVector<ReportBand> m_bands;
    PrintSettings m_print_settings;
    bool m_generating = false;
};

// Box of an element inside a band of the given width, in band coordinates. A
// band-aligned element takes `text_width` as its width and is placed by its
// alignment; a fixed box keeps its stored geometry.
QRectF element_box(const ReportElement &element, double band_width, double text_width);

} // namespace pelorin
