#include "report/preview/page_view.h"

#include "report/print_job.h"
#include "report/report_layout.h"

#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {

// Nearest integer, ties to even (the default rounding mode).
int round_even(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

int fit_zoom(const QSize &view, const QSize &page)
{
    if (page.isEmpty())
        return 0;
    return std::min(round_even(95.0 * view.width() / page.width()),
                    round_even(95.0 * view.height() / page.height()));
}

int width_zoom(const QSize &view, const QSize &page)
{
    if (page.isEmpty())
        return 0;
    return round_even(90.0 * view.width() / page.width());
}

QSize page_pixels(const QSizeF &paper, double dpi_x, double dpi_y)
{
    return QSize(round_even(paper.width() * dpi_x / units_per_inch),
                 round_even(paper.height() * dpi_y / units_per_inch));
}

// Paints the sheet: outline, shadow, white paper and the page's picture.
class PageSheet : public QWidget
{
public:
    explicit PageSheet(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("PageSheet"));
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    }

    void set_picture(const QPicture &picture)
    {
        m_picture = picture;
        update();
    }
    bool has_picture() const { return !m_picture.isNull(); }

    // The paper's size at the zoom; the widget is 4 pixels larger.
    void set_paper_size(const QSize &size)
    {
        m_paper = size;
        setFixedSize(size + QSize(4, 4));
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const int w = m_paper.width();
        const int h = m_paper.height();
        // Outline (1 pixel) around the paper, shadow (2 pixels) right and below.
        painter.fillRect(QRect(0, 0, w + 2, h + 2), Qt::black);
        painter.fillRect(QRect(w + 2, 2, 2, h + 2), Qt::black);
        painter.fillRect(QRect(2, h + 2, w + 2, 2), Qt::black);
        const QRect paper(1, 1, w, h);
        painter.fillRect(paper, Qt::white);
        if (!m_picture.isNull()) {
            painter.setClipRect(paper);
            play_page(painter, m_picture, paper);
        }
    }

private:
    QPicture m_picture;
    QSize m_paper;
};

PageView::PageView(QWidget *parent) : QScrollArea(parent), m_sheet(new PageSheet(this))
{
    setObjectName(QStringLiteral("PageView"));
    setAlignment(Qt::AlignCenter);
    setWidgetResizable(false);
    setBackgroundRole(QPalette::Dark);
    setWidget(m_sheet);
    m_paper = QSizeF(2100, 2970);
    lay_out_sheet();
}

QWidget *PageView::sheet() const
{
    return m_sheet;
}

bool PageView::has_picture() const
{
    return m_sheet->has_picture();
}

void PageView::set_page(const QPicture &picture, const QSizeF &paper)
{
    const bool new_paper = paper != m_paper;
    m_sheet->set_picture(picture);
    if (new_paper && !paper.isEmpty()) {
        m_paper = paper;
        lay_out_sheet();
    }
}

QSize PageView::page_size() const
{
    return page_pixels(m_paper, logicalDpiX(), logicalDpiY());
}

void PageView::set_zoom(int zoom)
{
    if (zoom < min_zoom || zoom > max_zoom)
        return;
    m_zoom = zoom;
    lay_out_sheet();
    scroll_to_top_left();
}

void PageView::lay_out_sheet()
{
    const QSize page = page_size();
    m_sheet->set_paper_size(QSize(round_even(page.width() * m_zoom / 100.0),
                                  round_even(page.height() * m_zoom / 100.0)));
}

void PageView::scroll_to_top_left()
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    emit resized();
}

} // namespace pelorin
