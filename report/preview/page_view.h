#pragma once

// The preview's page view: one page as a white sheet with a one-pixel black
// outline and a two-pixel black shadow along its right and bottom edges, at a
// zoom percentage, in a scrolling area. The sheet is the paper at the zoom
// plus 4 pixels; it is centred where it is smaller than the view.

#include <QPicture>
#include <QScrollArea>
#include <QSize>
#include <QSizeF>

namespace pelorin {

// The zoom of the three zoom modes. Rounding is to the nearest integer, ties
// to even. `view` and `page` (the page at 100 %) are in pixels.
int fit_zoom(const QSize &view, const QSize &page);
int width_zoom(const QSize &view, const QSize &page);
// Zoom percentages outside this range are ignored.
constexpr int min_zoom = 2;
constexpr int max_zoom = 2000;

// The paper at 100 %: tenths of a millimetre x pixels per inch / 254.
QSize page_pixels(const QSizeF &paper, double dpi_x, double dpi_y);

class PageSheet;

class PageView : public QScrollArea
{
    Q_OBJECT

public:
    explicit PageView(QWidget *parent = nullptr);

    // The page to show: its picture (null for a sheet not yet drawn) and paper.
    void set_page(const QPicture &picture, const QSizeF &paper);
    const QSizeF &paper() const { return m_paper; }
    bool has_picture() const;

    int zoom() const { return m_zoom; }
    // Sets the zoom (ignored outside 2..2000), lays the sheet out anew and
    // scrolls to the top-left corner.
    void set_zoom(int zoom);
    void scroll_to_top_left();

    // The paper at 100 % on this screen, in pixels.
    QSize page_size() const;
    // The room for the sheet: the viewport without scroll bars.
    QSize view_size() const { return maximumViewportSize(); }
    // The sheet widget, outline and shadow included.
    QWidget *sheet() const;

signals:
    void resized();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void lay_out_sheet();

    PageSheet *m_sheet;
    QSizeF m_paper;
    int m_zoom = 100;
};

} // namespace pelorin
