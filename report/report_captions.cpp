#include "report/report_captions.h"

#include "calc/extended.h"
#include "calc/number_text.h"
#include "report/report_layout.h"

namespace pelorin {

namespace {

QString fmt(extended value)
{
    return format_fixed(value, 7, 3);
}

// Radians to degrees with the extended constant 180/pi.
constexpr extended degrees_per_radian = 57.295779513082320877L;

} // namespace

void set_report_captions(ReportLayout &layout, const TCalcState &state, const ReportTexts &texts)
{
    const QString size = QStringLiteral(" ") + texts.size_unit;
    const QString volume = QStringLiteral(" ") + texts.volume_unit;
    const QString dash = QStringLiteral(" - ");

    layout.set_caption(QStringLiteral("QRLbTankShape"), texts.tank_shape + QStringLiteral(" tank"));
    layout.set_caption(QStringLiteral("QRLbDiameter"),
                       texts.diameter + dash + fmt(state.diameter) + size);
    layout.set_caption(QStringLiteral("QRLbLenCylinder"),
                       texts.length_cyl + dash + fmt(state.length_cyl) + size);
    layout.set_caption(QStringLiteral("QRLbLenCone"),
                       texts.length_con + dash + fmt(state.length_con) + size);
    layout.set_caption(QStringLiteral("QRLbAngle"),
                       texts.angle + QStringLiteral(" (x) - ") +
                           fmt(static_cast<extended>(state.angle) * degrees_per_radian) +
                           QStringLiteral(" degrees"));
    layout.set_caption(QStringLiteral("QRLbMinSignal"),
                       texts.min_signal + dash + fmt(state.min_signal) + size);
    layout.set_caption(QStringLiteral("QRLbMaxSignal"),
                       texts.max_signal + dash + fmt(state.max_signal) + size);
    layout.set_caption(QStringLiteral("QRLbZero"),
                       QStringLiteral("ZERO - ") + fmt(state.zero_volume) + volume);
    // Span is the unrounded extended difference, as on the Output page.
    layout.set_caption(QStringLiteral("QRLbSpan"),
                       QStringLiteral("SPAN - ") +
                           fmt(static_cast<extended>(state.top_volume) - state.zero_volume) +
                           volume);
    layout.set_caption(QStringLiteral("QRLbHeight"),
                       QStringLiteral("Height (") + texts.size_unit + QStringLiteral(")"));
    layout.set_caption(QStringLiteral("QRLbVolume"),
                       QStringLiteral("Volume (") + texts.volume_unit + QStringLiteral(")"));
}

} // namespace pelorin
