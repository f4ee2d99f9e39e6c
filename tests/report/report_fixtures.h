#pragma once

// Shared by the report and printing tests: a result table filled by the real
// calibration run, the report captions PrintClick writes, and a page dump.

#include "calc/calc_state.h"
#include "calc/calibration_run.h"
#include "calc/result_table.h"
#include "fake_run_view.h"
#include "report/report_captions.h"
#include "report/report_engine.h"
#include "report/report_layout.h"

#include <QFont>
#include <QImage>
#include <QMetaType>
#include <QPainter>
#include <QString>
#include <QStringList>

namespace pelorin::testing {

// What PrintClick does before the preview: the run, then the captions.
inline void prepare_report(const RunInput &input, Table &table, ReportLayout &layout)
{
    TCalcState state;
    state.shape = input.shape;
    FakeRunView view(input);
    calibration_run(view, state, table);
    set_report_captions(layout, state,
                        report_texts(input.shape, input.size_unit, input.volume_unit));
}

inline RunInput startup_input(int points = 15)
{
    RunInput input;
    input.points = QString::number(points);
    return input;
}

// The page at `dpi` on a white image, for looking at and comparing.
inline QImage render_page(const ReportPage &page, double dpi)
{
    const int width = int(page.paper.width() * dpi / units_per_inch + 0.5);
    const int height = int(page.paper.height() * dpi / units_per_inch + 0.5);
    QImage image(width, height, QImage::Format_RGB32);
    const int dots_per_metre = int(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint_page(painter, page);
    return image;
}

// The fonts the program maps itself.
inline void install_font_substitutions()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

} // namespace pelorin::testing

Q_DECLARE_METATYPE(pelorin::testing::RunInput)
