#pragma once

// The one stand-in for the main window in a calibration run, shared by the
// tests and the benchmarks: it hands the run the Input page's texts and unit
// choices, and records every effect of the run in order.

#include "calc/calibration_run.h"
#include "calc/result_table.h"
#include "calc/shapes.h"
#include "calc/units.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace pelorin::testing {

// The Input page's texts and unit choices; the defaults are those after
// start-up (a sphere of d 10, 15 points, meters, m3).
struct RunInput
{
    Shape shape = Shape::Spherical; // what the caller puts in the run's state
    QString points = QStringLiteral("15");
    QString diameter = QStringLiteral("10");
    QString length_cyl;
    QString angle;
    QString length_con;
    QString min_signal = QStringLiteral("min");
    QString max_signal = QStringLiteral("max");
    int size_unit = 0;   // 0 meters, 1 feet
    int volume_unit = 0; // 0 m3, 1 liters, 2 US gal, 3 ft3

    QMap<InputField, QString> texts() const
    {
        return {{InputField::Points, points},        {InputField::Diameter, diameter},
                {InputField::LengthCyl, length_cyl}, {InputField::Angle, angle},
                {InputField::LengthCon, length_con}, {InputField::MinSignal, min_signal},
                {InputField::MaxSignal, max_signal}};
    }
};

class FakeRunView : public RunView
{
public:
    FakeRunView() : FakeRunView(RunInput()) {}
    explicit FakeRunView(const RunInput &input)
        : texts(input.texts()), size(input.size_unit), volume(input.volume_unit)
    {}

    void show_output() override { events << QStringLiteral("output"); }
    QString field_text(InputField field) const override { return texts.value(field); }
    int size_unit_index() const override { return size; }
    int volume_unit_index() const override { return volume; }
    QString size_unit_text() const override { return size_unit_names().value(size); }
    QString volume_unit_text() const override { return volume_unit_names().value(volume); }
    void input_failed(InputField field) override
    {
        events << QStringLiteral("input_failed %1").arg(int(field));
    }
    void reject(const QString &message, InputField field) override
    {
        events << QStringLiteral("reject %1").arg(int(field));
        rejection = message;
    }
    void set_zero_text(const QString &text) override
    {
        events << QStringLiteral("zero");
        zero = text;
    }
    void set_span_text(const QString &text) override
    {
        events << QStringLiteral("span");
        span = text;
    }
    void set_column_titles(const QString &height, const QString &volume_title) override
    {
        events << QStringLiteral("titles");
        titles = QStringList{height, volume_title};
    }

    // The input.
    QMap<InputField, QString> texts;
    int size = 0;
    int volume = 0;
    // What the run did, in order, and the texts it wrote.
    QStringList events;
    QString rejection, zero, span;
    QStringList titles;
};

// A run of `input` on a state of its own, as the window makes it; the model
// of the run, or nothing after a rejection.
inline std::optional<RunModel> run_model(const RunInput &input,
                                         PointPlacement placement = PointPlacement::Even)
{
    TCalcState state;
    state.shape = input.shape;
    FakeRunView view(input);
    Table table;
    return calibration_run(view, state, table, placement);
}

// A tank from the texts of its fields (shape by its position in the list).
inline RunInput tank(int shape, const char *diameter, const char *length = "",
                     const char *angle = "", const char *cone = "", const char *h1 = "min")
{
    RunInput input;
    input.shape = shape_at(shape);
    input.diameter = QString::fromLatin1(diameter);
    input.length_cyl = QString::fromLatin1(length);
    input.angle = QString::fromLatin1(angle);
    input.length_con = QString::fromLatin1(cone);
    input.min_signal = QString::fromLatin1(h1);
    return input;
}

} // namespace pelorin::testing
