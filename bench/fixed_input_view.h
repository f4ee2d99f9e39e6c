#pragma once

// A calibration run's view with fixed input and no window: the benchmarks run
// the calculation as the Calculate button does, without widgets.

#include "calc/calibration_run.h"

#include <QString>

namespace pelorin {

struct FixedInput
{
    QString points = QStringLiteral("25");
    QString diameter = QStringLiteral("10");
    QString length_cyl = QStringLiteral("0");
    QString angle = QStringLiteral("0");
    QString length_con = QStringLiteral("0");
    int size_unit = 0;   // meters
    int volume_unit = 0; // m3
};

class FixedInputView : public RunView
{
public:
    explicit FixedInputView(FixedInput input = FixedInput()) : m_input(std::move(input)) {}

    void show_output() override {}
    QString field_text(InputField field) const override
    {
        switch (field) {
        case InputField::Points:
            return m_input.points;
        case InputField::Diameter:
            return m_input.diameter;
        case InputField::LengthCyl:
            return m_input.length_cyl;
        case InputField::Angle:
            return m_input.angle;
        case InputField::LengthCon:
            return m_input.length_con;
        case InputField::MinSignal:
            return QStringLiteral("min");
        case InputField::MaxSignal:
            return QStringLiteral("max");
        }
        return QString();
    }
    int size_unit_index() const override { return m_input.size_unit; }
    int volume_unit_index() const override { return m_input.volume_unit; }
    QString size_unit_text() const override
    {
        return m_input.size_unit == 0 ? QStringLiteral("meters") : QStringLiteral("feet");
    }
    QString volume_unit_text() const override
    {
        static const QString names[] = {QStringLiteral("m3"), QStringLiteral("liters"),
                                        QStringLiteral("US gal"), QStringLiteral("ft3")};
        return names[m_input.volume_unit & 3];
    }
    void input_failed(InputField) override {}
    void reject(const QString &, InputField) override {}
    void set_zero_text(const QString &) override {}
    void set_span_text(const QString &) override {}
    void set_column_titles(const QString &, const QString &) override {}

private:
    FixedInput m_input;
};

} // namespace pelorin
