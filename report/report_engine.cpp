#include "report/report_engine.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace pelorin {

const PlacedElement *PlacedBand::element(const QString &name) const
{
    for (const PlacedElement &e : elements) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

namespace {

// The locale's long time format without its time zone: the report shows the
// local time as the clock reads it ("15:09:26", "3:09:26 PM").
QString long_time_format(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result += c;
    }
    return result.trimmed();
}

} // namespace

QString date_time_text(const QDateTime &moment, const QLocale &locale)
{
    QString text = locale.toString(moment.date(), QLocale::ShortFormat);
    if (moment.time() != QTime(0, 0, 0))
        text += QLatin1Char(' ') + locale.toString(moment.time(), long_time_format(locale));
    return text;
}

QVector<Table::Row> report_rows(const Table &table)
{
    return table.is_open() ? table.rows() : QVector<Table::Row>();
}

namespace {

// Places bands one below the other on pages and hands each finished page on.
class Pager
{
public:
    Pager(const ReportLayout &layout, QPageLayout::Orientation orientation, const Clock &clock,
          const GenerateHooks &hooks)
        : m_layout(layout), m_orientation(orientation), m_clock(clock), m_hooks(hooks)
    {}

    void add(const ReportBand &band, const Table::Row *row = nullptr, int row_index = -1)
    {
        if (!m_open)
            start_page();
        const double bottom = m_page.paper.height() - m_layout.bottom_margin();
        // A band taller than a whole page goes on the page it starts; every
        // other band that does not fit begins the next page.
        if (m_y + band.height > bottom && m_body_bands > 0) {
            finish();
            start_page();
        }
        place(band, row, row_index);
        ++m_body_bands;
        if (band.kind == BandKind::ColumnHeader)
            m_column_header = &band;
    }

    void finish()
    {
        if (!m_open)
            return;
        m_open = false;
        if (m_hooks.page_done)
            m_hooks.page_done(m_page);
    }

private:
    void start_page()
    {
        m_page = ReportPage();
        m_page.number = ++m_page_number;
        m_page.orientation = m_orientation;
        m_page.paper = m_layout.page_size(m_orientation);
        m_y = m_layout.top_margin();
        m_body_bands = 0;
        m_open = true;
        if (m_hooks.page_begun)
            m_hooks.page_begun(m_page.number);
        if (m_page_number > 1 || m_layout.first_page_header()) {
            for (const ReportBand &band : m_layout.bands()) {
                if (band.kind == BandKind::PageHeader)
                    place(band, nullptr, -1);
            }
        }
        if (m_column_header)
            place(*m_column_header, nullptr, -1);
    }

    void place(const ReportBand &band, const Table::Row *row, int row_index)
    {
        PlacedBand placed;
        placed.name = band.name;
        placed.kind = band.kind;
        placed.frame = band.frame;
        placed.row = row_index;
        const double width = m_layout.band_width(band, m_orientation);
        placed.rect = QRectF(m_layout.left_margin(), m_y, width, band.height);
        for (const ReportElement &e : band.elements) {
            PlacedElement p;
            p.name = e.name;
            p.kind = e.kind;
            p.font = e.font;
            p.alignment = e.alignment;
            p.word_wrap = e.word_wrap;
            p.frame = e.frame;
            double text_width = e.width;
            switch (e.kind) {
            case ElementKind::Label:
            case ElementKind::Memo:
                p.text = e.caption;
                break;
            case ElementKind::SystemData:
                p.text = date_time_text(m_clock ? m_clock() : QDateTime::currentDateTime());
                text_width = pelorin::text_width(e.font, p.text);
                break;
            case ElementKind::DataText: {
                const int field = Table::field_index(e.field);
                if (row && field >= 0)
                    p.text = (*row)[static_cast<std::size_t>(field)];
                break;
            }
            }
            p.box = element_box(e, width, text_width).translated(placed.rect.topLeft());
            placed.elements.append(p);
        }
        m_page.bands.append(placed);
        m_y += band.height;
    }

    const ReportLayout &m_layout;
    QPageLayout::Orientation m_orientation;
    const Clock &m_clock;
    const GenerateHooks &m_hooks;
    const ReportBand *m_column_header = nullptr;
    ReportPage m_page;
    int m_page_number = 0;
    double m_y = 0;
    int m_body_bands = 0;
    bool m_open = false;
};

// Thickness of a frame line of `points` on a device of `dpi`, in whole device
// pixels and never below one.
double line_pixels(double points, double dpi)
{
    return std::max(1.0, std::round(points * dpi / 72.0));
}

} // namespace

bool generate_report(const ReportLayout &layout, const QVector<Table::Row> &rows,
                     QPageLayout::Orientation orientation, const Clock &clock,
                     const GenerateHooks &hooks)
{
    if (rows.isEmpty() && !layout.print_if_empty())
        return true;
    Pager pager(layout, orientation, clock, hooks);
    pager.add(layout.band(BandKind::Title));
    pager.add(layout.band(BandKind::ColumnHeader));
    const ReportBand &detail = layout.band(BandKind::Detail);
    for (int i = 0; i < rows.size(); ++i) {
        if (hooks.before_row && !hooks.before_row(i)) {
            pager.finish();
            return false;
        }
        pager.add(detail, &rows[i], i);
        if (hooks.after_row)
            hooks.after_row(i + 1);
    }
    pager.add(layout.band(BandKind::Summary));
    pager.finish();
    return true;
}

QVector<ReportPage> layout_report(const ReportLayout &layout, const QVector<Table::Row> &rows,
                                  QPageLayout::Orientation orientation, const Clock &clock)
{
    QVector<ReportPage> pages;
    GenerateHooks hooks;
    hooks.page_done = [&pages](const ReportPage &page) { pages.append(page); };
    generate_report(layout, rows, orientation, clock, hooks);
    return pages;
}

void paint_page(QPainter &painter, const ReportPage &page)
{
    const QPaintDevice *device = painter.device();
    const double dpi_x = device ? device->logicalDpiX() : reference_dpi;
    const double dpi_y = device ? device->logicalDpiY() : reference_dpi;

    painter.save();
    // Everything below is in the 720 dpi reference space.
    painter.scale(dpi_x / reference_dpi, dpi_y / reference_dpi);
    const auto ref = [](const QRectF &units) {
        return QRectF(units.topLeft() * reference_per_unit, units.size() * reference_per_unit);
    };
    const QColor ink(Qt::black);
    QPen hairline(ink, 0); // cosmetic: one device pixel at any scale
    hairline.setCosmetic(true);

    // A frame line is a solid bar inside the rectangle along one edge.
    const auto draw_frame = [&](const QRectF &rect, const FrameLines &frame) {
        const double h_px = reference_dpi / dpi_y; // one device pixel, vertically
        const double w_px = reference_dpi / dpi_x;
        const auto bar = [&](const QRectF &r, const QLineF &centre) {
            painter.fillRect(r, ink);
            // Keeps the line visible when a stored page is played back smaller.
            painter.setPen(hairline);
            painter.drawLine(centre);
            painter.setPen(ink);
        };
        if (frame.top > 0) {
            const double t = line_pixels(frame.top, dpi_y) * h_px;
            bar(QRectF(rect.left(), rect.top(), rect.width(), t),
                QLineF(rect.left(), rect.top() + t / 2, rect.right(), rect.top() + t / 2));
        }
        if (frame.bottom > 0) {
            const double t = line_pixels(frame.bottom, dpi_y) * h_px;
            bar(QRectF(rect.left(), rect.bottom() - t, rect.width(), t),
                QLineF(rect.left(), rect.bottom() - t / 2, rect.right(), rect.bottom() - t / 2));
        }
        if (frame.left > 0) {
            const double t = line_pixels(frame.left, dpi_x) * w_px;
            bar(QRectF(rect.left(), rect.top(), t, rect.height()),
                QLineF(rect.left() + t / 2, rect.top(), rect.left() + t / 2, rect.bottom()));
        }
        if (frame.right > 0) {
            const double t = line_pixels(frame.right, dpi_x) * w_px;
            bar(QRectF(rect.right() - t, rect.top(), t, rect.height()),
                QLineF(rect.right() - t / 2, rect.top(), rect.right() - t / 2, rect.bottom()));
        }
    };

    // Opaque white backgrounds are drawn as rectangles with the white brush
    // and no pen, the texts with the ink pen: two pen changes per element keep
    // a recorded page small.
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawRect(ref(QRectF(QPointF(0, 0), page.paper)));
    bool ink_pen = false;
    const ReportFont *font = nullptr; // the painter's font, set only when it changes
    for (const PlacedBand &band : page.bands) {
        const QRectF band_rect = ref(band.rect);
        if (ink_pen) {
            painter.setPen(Qt::NoPen);
            ink_pen = false;
        }
        painter.drawRect(band_rect);
        for (const PlacedElement &e : band.elements) {
            const QRectF box = ref(e.box);
            if (ink_pen) {
                painter.setPen(Qt::NoPen);
                ink_pen = false;
            }
            painter.drawRect(box);
            if (!e.text.isEmpty()) {
                if (!font || !(*font == e.font)) {
                    painter.setFont(reference_font(e.font));
                    font = &e.font;
                }
                painter.setPen(ink);
                ink_pen = true;
                // A text wider than its box is drawn beyond the box, never
                // cut: a right-aligned value runs across the left edge with
                // all its digits.
                int flags = static_cast<int>(e.alignment & Qt::AlignHorizontal_Mask) |
                            Qt::AlignTop | Qt::TextDontClip;
                if (e.word_wrap)
                    flags |= Qt::TextWordWrap;
                painter.drawText(box, flags, e.text);
            }
            if (e.frame.any()) {
                draw_frame(box, e.frame);
                ink_pen = true;
            }
        }
        if (band.frame.any()) {
            draw_frame(band_rect, band.frame);
            ink_pen = true;
        }
    }
    painter.restore();
}

} // namespace pelorin
