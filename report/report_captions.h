#pragma once

// Step 2 of PrintClick: the variable captions of the report, written from the
// calculation state and the texts of the Input page.

#include "calc/calc_state.h"

#include <QString>

namespace pelorin {

class ReportLayout;

// What PrintClick reads besides the calculation state: the texts of the labels Lb_diameter,
// Lb_length_cyl, Lb_length_con, Lb_angle, Lb_min_signal and Lb_max_signal, and
// the texts of the selected entries of GroupTankShape, SizeUnits and VolumeUnits.
struct ReportTexts
{
    QString diameter;
    QString length_cyl;
    QString length_con;
    QString angle;
    QString min_signal;
    QString max_signal;
    QString tank_shape;
    QString size_unit;
    QString volume_unit;
};

// Sets the captions of QRLbTankShape, QRLbDiameter, QRLbLenCylinder, QRLbLenCone,
// QRLbAngle, QRLbMinSignal, QRLbMaxSignal, QRLbZero, QRLbSpan, QRLbHeight and
// QRLbVolume, whatever the shape (unused dimensions print as 0.000).
void set_report_captions(ReportLayout &layout, const TCalcState &state, const ReportTexts &texts);

// The texts as the Input page shows them with this shape and these units
// chosen, for a run without the window.
ReportTexts report_texts(Shape shape, int size_unit, int volume_unit);

} // namespace pelorin
