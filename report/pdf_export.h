#pragma once

// Export of report pages as a PDF file: the same pages, drawn by the same
// paint_page as on a printer, written by Qt's PDF writer (vector drawing and
// real text, so the file can be searched and its text extracted).

#include "report/report_engine.h"

#include <QString>
#include <QVector>

namespace pelorin {

// Writes the pages as a vector PDF to path, atomically: one PDF page per
// report page, each on its own paper and orientation, drawn by paint_page;
// the document title is `title`. Throws pelorin::Error naming the file and
// the reason when it cannot be written (nothing is left at path then).
void write_report_pdf(const QString &path, const QVector<ReportPage> &pages, const QString &title);

} // namespace pelorin
