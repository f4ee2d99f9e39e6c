#pragma once

// The banded report engine.
//
//   ReportLayout + rows of Table --(layout pass: generate_report)--> ReportPage...
//   ReportPage --(paint_page)--> any QPainter (a QPicture for the preview,
//                                 a QPrinter for printing, a QImage in tests)
//
// The layout pass places the bands in print order (page header, title, column
// header, one detail band per row, summary) on pages of the report's paper in
// the given orientation; a band that does not fit above the bottom margin
// starts a new page, which begins with the page header and the column header.
// Placed pages are in tenths of a millimetre and hold the texts to draw, so
// painting needs nothing else. The date and time element takes the clock's
// time when its band is produced.

#include "calc/result_table.h"
#include "report/report_layout.h"

#include <QDateTime>
#include <QLocale>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

#include <functional>

class QPainter;

namespace pelorin {

struct PlacedElement
{
    QString name;
    ElementKind kind = ElementKind::Label;
    QRectF box; // page coordinates, tenths of a millimetre
    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool word_wrap = false;
    FrameLines frame;
    QString text;
};

struct PlacedBand
{
    QString name;
    BandKind kind = BandKind::Detail;
    QRectF rect; // page coordinates, tenths of a millimetre
    FrameLines frame;
    int row = -1; // detail bands: index of the table row
    QVector<PlacedElement> elements;

    const PlacedElement *element(const QString &name) const;
};

struct ReportPage
{
    int number = 0; // from 1
    QSizeF paper;   // tenths of a millimetre, in the page's orientation
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QVector<PlacedBand> bands;
};

// The text of the date and time element: the date in the locale's short
// format, then a blank and the time in its long format; the blank and the time
// are left out when the time is exactly 00:00:00.
QString date_time_text(const QDateTime &moment, const QLocale &locale = QLocale::system());

using Clock = std::function<QDateTime()>;

// What the generating side does between the steps of the layout pass.
struct GenerateHooks
{
    // Before every detail row (index from 0); false stops the report there.
    std::function<bool(int row)> before_row;
    // After every detail row, with the number of rows produced so far.
    std::function<void(int rows_done)> after_row;
    // A page is begun (number from 1).
    std::function<void(int number)> page_begun;
    // A page is complete; it is not touched again.
    std::function<void(const ReportPage &page)> page_done;
};

// The layout pass over `rows`. With no rows (a closed or empty table) nothing
// is produced, not even a page header. Returns false when before_row stopped
// the report; the page begun so far is completed all the same.
bool generate_report(const ReportLayout &layout, const QVector<Table::Row> &rows,
                     QPageLayout::Orientation orientation, const Clock &clock,
                     const GenerateHooks &hooks);

// All pages at once, for tests and measurements.
QVector<ReportPage> layout_report(const ReportLayout &layout, const QVector<Table::Row> &rows,
                                  QPageLayout::Orientation orientation,
                                  const Clock &clock = &QDateTime::currentDateTime);

// The rows a report reads from the table: none while it is closed.
QVector<Table::Row> report_rows(const Table &table);

// Paints a page with its top-left paper corner at the painter's origin, at the
// resolution of the painter's device: one unit of the painter's coordinates is
// one device pixel of a device of logicalDpiX x logicalDpiY. The whole sheet is
// painted white first, so a recorded picture's bounding rectangle is the sheet.
// Frame lines are at least one device pixel thick. Texts are never clipped to
// their boxes: a value wider than its box overflows it as its alignment says.
void paint_page(QPainter &painter, const ReportPage &page);

} // namespace pelorin
