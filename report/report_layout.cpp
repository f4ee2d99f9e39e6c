#include "report/report_layout.h"

#include "calc/errors.h"
#include "calc/result_table.h"

#include <QFont>
#include <QFontMetricsF>

#include <cmath>

namespace pelorin {

namespace {

ReportFont font(const QString &family, double points, bool bold = false)
{
    ReportFont f;
    f.family = family;
    f.points = points;
    f.bold = bold;
    return f;
}

ReportElement label(const QString &name, Placement placement, double top, double height,
                    const ReportFont &font, const QString &caption = QString())
{
    ReportElement e;
    e.name = name;
    e.kind = ElementKind::Label;
    e.placement = placement;
    e.top = top;
    e.height = height;
    e.font = font;
    switch (placement) {
    case Placement::BandCentre:
        e.alignment = Qt::AlignHCenter;
        break;
    case Placement::BandRight:
        e.alignment = Qt::AlignRight;
        break;
    default:
        e.alignment = Qt::AlignLeft;
        break;
    }
    e.caption = caption;
    return e;
}

ReportElement box(const QString &name, ElementKind kind, double left, double top, double width,
                  double height, const ReportFont &font, Qt::Alignment alignment)
{
    ReportElement e;
    e.name = name;
    e.kind = kind;
    e.placement = Placement::FixedBox;
    e.left = left;
    e.top = top;
    e.width = width;
    e.height = height;
    e.font = font;
    e.alignment = alignment;
    e.word_wrap = true;
    return e;
}

ReportBand make_band(const QString &name, BandKind kind, double height, FrameLines frame)
{
    ReportBand b;
    b.name = name;
    b.kind = kind;
    b.width = 1846.79;
    b.height = height;
    b.frame = frame;
    return b;
}

} // namespace

QFont reference_font(const ReportFont &font)
{
    QFont f(font.family);
    // Pixel size in the 720 dpi reference space; the painter scales it to the
    // device, so the size in points holds on every output.
    f.setPixelSize(static_cast<int>(std::lround(font.points * reference_dpi / 72.0)));
    f.setBold(font.bold);
    f.setUnderline(font.underline);
    return f;
}

double text_width(const ReportFont &font, const QString &text)
{
    const QFontMetricsF metrics(reference_font(font));
    return metrics.horizontalAdvance(text) / reference_per_unit;
}

QRectF element_box(const ReportElement &element, double band_width, double text_width)
{
    switch (element.placement) {
    case Placement::FixedBox:
        break;
    case Placement::BandLeft:
        return QRectF(0, element.top, text_width, element.height);
    case Placement::BandCentre:
        return QRectF((band_width - text_width) / 2, element.top, text_width, element.height);
    case Placement::BandRight:
        return QRectF(band_width - text_width, element.top, text_width, element.height);
    }
    return QRectF(element.left, element.top, element.width, element.height);
}

ReportLayout::ReportLayout() : m_title(QStringLiteral("PELORIN"))
{
    const ReportFont arial10 = m_default_font;
    const ReportFont arial10_bold = font(QStringLiteral("Arial"), 10, true);

    FrameLines page_header_frame;
    page_header_frame.bottom = 2;
    ReportBand page_header = make_band(QStringLiteral("PageHeaderBand1"), BandKind::PageHeader,
                                       182.56, page_header_frame);
    page_header.elements = {
        label(QStringLiteral("QRLabel1"), Placement::BandCentre, 10.58, 84.67,
              font(QStringLiteral("Times New Roman"), 20, true),
              QStringLiteral("MODEL OSTREL CALIBRATION REPORT")),
        label(QStringLiteral("QRSysData1"), Placement::BandLeft, 127.00, 44.98, arial10),
        label(QStringLiteral("QRLabel7"), Placement::BandRight, 127.00, 44.98, arial10,
              QStringLiteral("by Tarnvik")),
    };
    page_header.elements[1].kind = ElementKind::SystemData;

    ReportBand title =
        make_band(QStringLiteral("TitleBand1"), BandKind::Title, 523.88, FrameLines());
    title.elements = {
        label(QStringLiteral("QRLbTankShape"), Placement::BandCentre, 52.92, 66.15,
              font(QStringLiteral("Arial"), 16, true)),
        label(QStringLiteral("QRLbDiameter"), Placement::BandLeft, 148.17, 44.98, arial10),
        label(QStringLiteral("QRLbLenCylinder"), Placement::BandLeft, 211.67, 44.98, arial10),
        label(QStringLiteral("QRLbLenCone"), Placement::BandLeft, 275.17, 44.98, arial10),
        label(QStringLiteral("QRLbAngle"), Placement::BandLeft, 338.67, 44.98, arial10),
        label(QStringLiteral("QRLbMinSignal"), Placement::BandLeft, 402.17, 44.98, arial10),
        label(QStringLiteral("QRLbMaxSignal"), Placement::BandLeft, 465.67, 44.98, arial10),
        label(QStringLiteral("QRLabel4"), Placement::BandRight, 148.17, 44.98, arial10,
              QStringLiteral("Maximum Volume = ZERO + SPAN")),
        label(QStringLiteral("QRLbZero"), Placement::BandRight, 402.17, 44.98, arial10),
        label(QStringLiteral("QRLbSpan"), Placement::BandRight, 465.67, 44.98, arial10),
    };

    FrameLines column_header_frame;
    column_header_frame.top = 1;
    column_header_frame.bottom = 1;
    ReportBand column_header = make_band(QStringLiteral("ColumnHeaderBand1"),
                                         BandKind::ColumnHeader, 132.29, column_header_frame);
    const struct
    {
        const char *name;
        double left;
        const char *caption;
    } titles[] = {
        {"QRLabel6", 169.33, "Point"},      {"QRLabel2", 476.25, input_title},
        {"QRLabel3", 783.17, output_title}, {"QRLbHeight", 1090.08, ""},
        {"QRLbVolume", 1397.00, ""},
    };
    for (const auto &t : titles) {
        ReportElement e = box(QString::fromLatin1(t.name), ElementKind::Label, t.left, 21.17,
                              177.27, 105.83, arial10_bold, Qt::AlignHCenter);
        e.caption = QString::fromLatin1(t.caption);
        column_header.elements.append(e);
    }

    ReportBand detail =
        make_band(QStringLiteral("DetailBand1"), BandKind::Detail, 52.92, FrameLines());
    const struct
    {
        const char *name;
        double left;
        const char *field;
    } cells[] = {
        {"QRDBText5", 177.80, "Point"},   {"QRDBText1", 482.60, "Input"},
        {"QRDBText2", 787.40, "Output"},  {"QRDBText3", 1092.20, "Height"},
        {"QRDBText4", 1397.00, "Volume"},
    };
    for (const auto &c : cells) {
        ReportElement e = box(QString::fromLatin1(c.name), ElementKind::DataText, c.left, 0, 127.00,
                              47.63, arial10, Qt::AlignRight);
        e.field = QString::fromLatin1(c.field);
        detail.elements.append(e);
    }

    FrameLines summary_frame;
    summary_frame.top = 2;
    ReportBand summary =
        make_band(QStringLiteral("SummaryBand1"), BandKind::Summary, 251.35, summary_frame);
    ReportElement memo = box(QStringLiteral("QRMemo1"), ElementKind::Memo, 0, 31.75, 1844.15,
                             129.65, arial10, Qt::AlignLeft);
    memo.caption = QStringLiteral(
        "Input (norm) and Output (norm) are normalized non-linearity correction values between "
        "0 and 1 which are programmed into the Tarnvik Model Ostrel together with the values of "
        "Zero and Span.");
    summary.elements.append(memo);

    m_bands = {page_header, title, column_header, detail, summary};
    for (ReportBand &b : m_bands) {
        for (ReportElement &e : b.elements) {
            if (e.band_aligned() && e.kind == ElementKind::Label) {
                e.width = text_width(e.font, e.caption);
                place_in_band(e, b.width);
            }
        }
    }
}

QSizeF ReportLayout::page_size(QPageLayout::Orientation orientation) const
{
    if (orientation == QPageLayout::Landscape)
        return QSizeF(paper_length(), paper_width());
    return QSizeF(paper_width(), paper_length());
}

double ReportLayout::usable_width(QPageLayout::Orientation orientation) const
{
    return page_size(orientation).width() - left_margin() - right_margin();
}

double ReportLayout::usable_height(QPageLayout::Orientation orientation) const
{
    return page_size(orientation).height() - top_margin() - bottom_margin();
}

double ReportLayout::band_width(const ReportBand &band, QPageLayout::Orientation orientation) const
{
    return band.width + usable_width(orientation) - usable_width(QPageLayout::Portrait);
}

const ReportBand &ReportLayout::band(BandKind kind) const
{
    for (const ReportBand &b : m_bands) {
        if (b.kind == kind)
            return b;
    }
    throw Error(QStringLiteral("The report has no band of this kind"));
}

const ReportBand &ReportLayout::band(const QString &name) const
{
    for (const ReportBand &b : m_bands) {
        if (b.name == name)
            return b;
    }
    throw Error(QStringLiteral("The report has no band %1").arg(name));
}

bool ReportLayout::has_element(const QString &name) const
{
    for (const ReportBand &b : m_bands) {
        for (const ReportElement &e : b.elements) {
            if (e.name == name)
                return true;
        }
    }
    return false;
}

const ReportElement &ReportLayout::element(const QString &name) const
{
    for (const ReportBand &b : m_bands) {
        for (const ReportElement &e : b.elements) {
            if (e.name == name)
                return e;
        }
    }
    throw Error(QStringLiteral("The report has no element %1").arg(name));
}

void ReportLayout::set_caption(const QString &name, const QString &text)
{
    for (ReportBand &b : m_bands) {
        for (ReportElement &e : b.elements) {
            if (e.name != name)
                continue;
            if (e.kind == ElementKind::DataText || e.kind == ElementKind::SystemData)
                throw Error(QStringLiteral("The report element %1 has no caption").arg(name));
            e.caption = text;
            if (e.band_aligned()) {
                e.width = text_width(e.font, text);
                place_in_band(e, b.width);
            }
            return;
        }
    }
    throw Error(QStringLiteral("The report has no element %1").arg(name));
}

void ReportLayout::place_in_band(ReportElement &element, double band_width)
{
    element.left = element_box(element, band_width, element.width).left();
}

} // namespace pelorin
