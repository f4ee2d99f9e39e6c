#pragma once

// The last step of PrintClick: preview of the report.
//
//   PrintClick: calculate -> set_report_captions -> preview_report (returns when
//   the preview window has closed)

#include "calc/result_table.h"

class QWidget;

namespace pelorin {

class Prompts;
class ReportLayout;

// Generates the report (layout `layout`, rows of `table` in order) into screen
// pages under a new preview window and returns only when that window has been
// closed or the application is ending. Returns at once when a report is being
// generated already; a closed or empty table gives no page and so no preview.
// The window's dialogs go through `prompts`; `parent` owns the window.
void preview_report(ReportLayout &layout, const Table &table, Prompts &prompts,
                    QWidget *parent = nullptr);

} // namespace pelorin
