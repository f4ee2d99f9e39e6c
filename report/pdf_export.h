#pragma once

// Export of report pages as a PDF file: the same pages, drawn by the same
// paint_page as on a printer, written by Qt's PDF writer (vector drawing and
// real text, so the file can be searched and its text extracted).

#include "report/report_engine.h"

#include <QString>
#include <QVector>

namespace pelorin {

// The pages as a vector PDF document: one PDF page per report page, each on
// its own paper and orientation, drawn by paint_page; the document title is
// `title`. Throws pelorin::Error with the reason when there is nothing to draw.
QByteArray report_pdf(const QVector<ReportPage> &pages, const QString &title);

// Writes report_pdf() to the output named by path (see write_output_file: a
// file is replaced whole or left as it was). Throws pelorin::Error naming the
// file and the reason when it cannot be written.
void write_report_pdf(const QByteArray &path, const QVector<ReportPage> &pages,
                      const QString &title);
void write_report_pdf(const QString &path, const QVector<ReportPage> &pages, const QString &title);

} // namespace pelorin
