#include "report/pdf_export.h"

#include "calc/errors.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

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

void write_report_pdf(const QString &path, const QVector<ReportPage> &pages, const QString &title)
{
    const auto fail = [&path](const QString &why) {
        return Error(QStringLiteral("The report could not be exported to '%1': %2")
                         .arg(QDir::toNativeSeparators(path), why));
    };
    if (pages.isEmpty())
        throw fail(QStringLiteral("there are no pages"));
    for (const ReportPage &page : pages) {
        if (!(page.paper.width() > 0 && page.paper.height() > 0))
            throw fail(QStringLiteral("page %1 has no paper size").arg(page.number));
    }

    // QSaveFile writes beside the target and renames over it only on commit:
    // a failure at any point leaves nothing at path (or the old file as it was).
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw fail(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setResolution(pdf_resolution);
        writer.setTitle(title);
        writer.setCreator(title);
        writer.setPageLayout(sheet_of(pages.first()));

        QPainter painter;
        if (!painter.begin(&writer)) {
            const QString why = file.error() != QFileDevice::NoError
                                    ? file.errorString()
                                    : QStringLiteral("the PDF could not be started");
            file.cancelWriting();
            throw fail(why);
        }
        for (qsizetype i = 0; i < pages.size(); ++i) {
            if (i > 0) {
                // A new page takes the layout set just before it.
                writer.setPageLayout(sheet_of(pages.at(i)));
                writer.newPage();
            }
            paint_page(painter, pages.at(i));
        }
        painter.end(); // writes the rest of the document to the file
    }
    if (!file.commit())
        throw fail(file.errorString());
}

} // namespace pelorin
