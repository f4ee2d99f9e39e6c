#include "report/report_captions.h"

#include "calc/extended.h"
#include "calc/number_text.h"
#include "calc/tank_volume.h"
#include "calc/units.h"
#include "report/report_layout.h"

namespace pelorin {

namespace {

QString fmt(extended value)
{
    return format_fixed(value, 7, 3);
}

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
                           fmt(static_cast<extended>(state.angle) * constants::rad_to_deg) +
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

ReportTexts report_texts(Shape shape, int size_unit, int volume_unit)
{
    ReportTexts texts;
    texts.diameter = QStringLiteral("Diameter (d)");
    texts.length_cyl = QStringLiteral("Length of cylinder (L)");
    texts.length_con = QStringLiteral("Length of cone (L1)");
    texts.angle = QStringLiteral("Angle of inclination");
    texts.min_signal = QStringLiteral("Height (h1)");
    texts.max_signal = QStringLiteral("Height (h2)");
    texts.tank_shape = shape_names().value(int(shape));
    texts.size_unit = size_unit_names().value(size_unit);
    texts.volume_unit = volume_unit_names().value(volume_unit);
    return texts;
}

} // namespace pelorin
