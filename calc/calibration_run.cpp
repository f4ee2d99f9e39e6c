#include "calc/calibration_run.h"

#include "calc/placement.h"

#include "calc/extended.h"
#include "calc/number_text.h"
#include "calc/result_table.h"
#include "calc/shapes.h"
#include "calc/tank_volume.h"
#include "calc/units.h"

#include <algorithm>

namespace pelorin {

namespace {

// A guarded read: reading the field, converting it and storing the value form
// one unit. An error inside it first brings the field to the user (Input page,
// focus), then travels on unchanged.
template <typename Read> void guarded(RunView &view, InputField field, Read &&read)
{
    try {
        read(view.field_text(field));
    } catch (...) {
        view.input_failed(field);
        throw;
    }
}

float read_real(const QString &text)
{
    return f32(parse_number(text));
}

} // namespace

QString point_text(int point)
{
    return point == 0 ? QStringLiteral("           ") : format_fixed(point, 2, 0);
}

QString value_text(long double value)
{
    return format_fixed(value, 7, 3);
}

std::vector<float> table_inputs(int points)
{
    std::vector<float> inputs;
    inputs.reserve(std::size_t(std::max(points + 2, 0)));
    const extended step = divide(1, static_cast<extended>(points + 1));
    float input = 0;
    for (int i = 1; i <= points + 2; ++i) {
        inputs.push_back(input);
        input = f32(input + step);
    }
    return inputs;
}

LevelValues evaluate_level(const RunModel &model, TCalcState &s, float level)
{
    LevelValues values;
    values.level = level;
    tank_volume(s, level);
    s.cur_volume = f32(static_cast<extended>(s.cur_volume) * model.factor);
    values.height = s.cur_height;
    values.volume = s.cur_volume;
    values.output =
        f32(divide(static_cast<extended>(s.cur_volume) - model.tank.zero_volume,
                   static_cast<extended>(model.tank.top_volume) - model.tank.zero_volume));
    return values;
}

LevelValues evaluate_input(const RunModel &model, TCalcState &tank, float input)
{
    LevelValues values = evaluate_level(
        model, tank,
        f32((static_cast<extended>(model.level_max) - model.level_min) * input + model.level_min));
    values.input = input;
    return values;
}

std::optional<RunModel> calibration_run(RunView &view, TCalcState &s, Table &table,
                                        PointPlacement placement)
{
    const ShapeInfo &shape = shape_info(s.shape);

    view.show_output();
    s.diameter = 0;
    s.length_cyl = 0;
    s.angle = 0;
    s.length_con = 0;
    s.min_signal = 0;
    s.max_signal = 0;

    int n = 0;
    guarded(view, InputField::Points, [&](const QString &text) { n = parse_integer(text); });
    if (n > 25 || n < 1) {
        view.reject(QStringLiteral("Invalid number of points !"), InputField::Points);
        return std::nullopt;
    }

    guarded(view, InputField::Diameter, [&](const QString &text) { s.diameter = read_real(text); });
    if (!(s.diameter > 0)) {
        view.reject(QStringLiteral("Invalid diameter (d) !"), InputField::Diameter);
        return std::nullopt;
    }
    float height = s.diameter;

    if (shape.length_cyl) {
        guarded(view, InputField::LengthCyl,
                [&](const QString &text) { s.length_cyl = read_real(text); });
        if (!(s.length_cyl > 0)) {
            view.reject(QStringLiteral("Invalid length of cylinder (L) !"), InputField::LengthCyl);
            return std::nullopt;
        }
    }

    if (shape.angle) {
        guarded(view, InputField::Angle, [&](const QString &text) {
            s.angle = f32(parse_number(text) * constants::deg_to_rad);
        });
        if (s.angle < 0 || s.angle > constants::half_pi) {
            view.reject(QStringLiteral("Invalid angle of inclination (x) !"), InputField::Angle);
            return std::nullopt;
        }
        height = tank_height(s);
    }

    if (shape.length_con) {
        guarded(view, InputField::LengthCon,
                [&](const QString &text) { s.length_con = read_real(text); });
        if (!(s.length_con >= 0)) {
            view.reject(QStringLiteral("Invalid length of cone (L1) !"), InputField::LengthCon);
            return std::nullopt;
        }
        height = tank_height(s);
    }

    if (view.field_text(InputField::MinSignal) == QLatin1String("min")) {
        s.min_signal = 0;
    } else {
        guarded(view, InputField::MinSignal,
                [&](const QString &text) { s.min_signal = read_real(text); });
        if (!(s.min_signal >= 0)) {
            view.reject(QStringLiteral("Invalid height (h1) !"), InputField::MinSignal);
            return std::nullopt;
        }
    }

    if (view.field_text(InputField::MaxSignal) == QLatin1String("max")) {
        s.max_signal = height;
    } else {
        guarded(view, InputField::MaxSignal,
                [&](const QString &text) { s.max_signal = read_real(text); });
        if (!(s.max_signal >= 0)) {
            view.reject(QStringLiteral("Invalid height (h2) !"), InputField::MaxSignal);
            return std::nullopt;
        }
    }
    if (s.max_signal > height) {
        view.reject(QStringLiteral("Invalid height (h2) !"), InputField::MaxSignal);
        return std::nullopt;
    }
    if (!(s.min_signal < s.max_signal)) {
        view.reject(QStringLiteral("Height (h1) must be less than height (h2) !"),
                    InputField::MinSignal);
        return std::nullopt;
    }

    const float factor = volume_factor(view.size_unit_index(), view.volume_unit_index());
    const float level_min = f32(divide(s.min_signal, height));
    const float level_max = f32(divide(s.max_signal, height));

    s.zero_volume = f32(static_cast<extended>(tank_volume(s, level_min)) * factor);
    s.top_volume = f32(static_cast<extended>(tank_volume(s, level_max)) * factor);
    view.set_zero_text(QStringLiteral(" Zero  = ") + value_text(s.zero_volume));
    view.set_span_text(QStringLiteral(" Span = ") +
                       value_text(static_cast<extended>(s.top_volume) - s.zero_volume));

    table.open();
    const int old_rows = table.row_count();
    for (int i = 0; i < old_rows; ++i)
        table.delete_current();
    table.close();

    RunModel model;
    model.tank = s;
    model.height = height;
    model.factor = factor;
    model.level_min = level_min;
    model.level_max = level_max;
    model.points = n;

    model.inputs = table_inputs(n);
    if (placement == PointPlacement::Optimised) {
        // The end rows stay where the even table has them.
        model.placement = std::make_shared<const OptimalPlacement>(optimal_placement(model, n));
        std::copy(model.placement->inputs.begin(), model.placement->inputs.end(),
                  model.inputs.begin() + 1);
        model.optimised = true;
    }
    const std::vector<float> &inputs = model.inputs;
    const auto &fields = Table::field_names();
    for (int i = 1; i <= n + 2; ++i) {
        const LevelValues row = evaluate_input(model, s, inputs[std::size_t(i - 1)]);
        const QString texts[Table::field_count] = {point_text(i > 1 && i < n + 2 ? i - 1 : 0),
                                                   value_text(row.input), value_text(row.output),
                                                   value_text(row.height), value_text(row.volume)};
        table.open();
        table.append();
        for (int f = 0; f < Table::field_count; ++f)
            table.set_field(fields[std::size_t(f)], texts[f]);
        table.post();
    }

    view.set_column_titles(QStringLiteral("Height (") + view.size_unit_text() + QLatin1Char(')'),
                           QStringLiteral("Volume (") + view.volume_unit_text() + QLatin1Char(')'));
    return model;
}

} // namespace pelorin
