#include "report/pdf_export.h"

#include "calc/errors.h"
#include "report/output_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace pelorin {

namespace {

// The drawing resolution; paint_page scales its reference space to it.
constexpr int pdf_resolution = 1200;

// The sheet of a page without margins: its paper given upright (a standard
// size when it matches one, A4 for the report) and turned as the page says.
QPageLayout sheet_of(const ReportPage &page)
{
    const bool turned = page.orientation == QPageLayout::Landscape;
    const QSizeF upright = turned ? page.paper.transposed() : page.paper;
    const QPageSize size(upright / 10.0, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, page.orientation, QMarginsF(0, 0, 0, 0));
}

} // namespace

QByteArray report_pdf(const QVector<ReportPage> &pages, const QString &title)
{
    if (pages.isEmpty())
        throw Error(QStringLiteral("there are no pages"));
    for (const ReportPage &page : pages) {
        if (!(page.paper.width() > 0 && page.paper.height() > 0))
            throw Error(QStringLiteral("page %1 has no paper size").arg(page.number));
    }

    QByteArray document;
    QBuffer buffer(&document);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(pdf_resolution);
    writer.setTitle(title);
    writer.setCreator(title);
    writer.setPageLayout(sheet_of(pages.first()));

    QPainter painter;
    if (!painter.begin(&writer))
        throw Error(QStringLiteral("the PDF could not be started"));
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            // A new page takes the layout set just before it.
            writer.setPageLayout(sheet_of(pages.at(i)));
            writer.newPage();
        }
        paint_page(painter, pages.at(i));
    }
    painter.end(); // finishes the document
    return document;
}

void write_report_pdf(const QByteArray &path, const QVector<ReportPage> &pages,
                      const QString &title)
{
    // The document is made in memory and then written whole, or not at all
    // (the old file, if any, stays as it was).
    QString why;
    try {
        why = write_output_file(path, report_pdf(pages, title));
    } catch (const Error &error) {
        why = error.message();
    }
    // Ends in a full stop, as the other save errors' boxes do.
    if (!why.isEmpty())
        throw Error(QStringLiteral("The report could not be exported to '%1': %2%3")
                        .arg(QDir::toNativeSeparators(QFile::decodeName(path)), why,
                             why.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")));
}

void write_report_pdf(const QString &path, const QVector<ReportPage> &pages, const QString &title)
{
    write_report_pdf(QFile::encodeName(path), pages, title);
}

} // namespace pelorin
