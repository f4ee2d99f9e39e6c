#include "calc/characteristic.h"

#include "calc/errors.h"
#include "calc/number_text.h"
#include "calc/placement.h"
#include "calc/result_table.h"
#include "calc/table_text.h"
#include "calc/units.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>

namespace pelorin {

double as_shown(float value)
{
    return double(parse_number(value_text(value)));
}

namespace {

// The table's points for `points` correction points, as the grid shows them.
// `input` follows the level being evaluated, for the message of a failure.
std::vector<CurvePoint> table_points(const RunModel &model, TCalcState &tank,
                                     const std::vector<float> &inputs, float &input)
{
    std::vector<CurvePoint> table;
    for (const float level : inputs) {
        input = level;
        const LevelValues row = evaluate_input(model, tank, input);
        table.push_back({as_shown(row.input), as_shown(row.output)});
    }
    return table;
}

// The Inputs of the model's table: the run's own, or even ones for a model
// whose number of points was changed after the run.
std::vector<float> run_inputs(const RunModel &model)
{
    return model.inputs.size() == std::size_t(model.points) + 2 ? model.inputs
                                                                : table_inputs(model.points);
}

// The model's normalised volume at `intervals` + 1 evenly spaced levels;
// `input` as above.
std::vector<CurvePoint> model_curve(const RunModel &model, TCalcState &tank, int intervals,
                                    float &input)
{
    std::vector<CurvePoint> curve;
    curve.reserve(std::size_t(intervals) + 1);
    for (int i = 0; i <= intervals; ++i) {
        input = f32(static_cast<extended>(i) / intervals);
        curve.push_back({input, evaluate_input(model, tank, input).output});
    }
    return curve;
}

// The table's piecewise-linear value at the normalised level x. `segment`
// starts the search for x's segment and is left on it, so rising levels walk
// the table once.
double interpolate(const std::vector<CurvePoint> &table, double x, std::size_t &segment)
{
    if (segment + 1 >= table.size() || x < table[segment].x)
        segment = 0;
    while (segment + 2 < table.size() && x > table[segment + 1].x)
        ++segment;
    const CurvePoint &a = table[segment];
    const CurvePoint &b = table[segment + 1];
    return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
}

// The normalised level (0 at h1, 1 at h2) of a level of the volume model.
float input_of(const RunModel &model, float level)
{
    return f32(divide(static_cast<extended>(level) - model.level_min,
                      static_cast<extended>(model.level_max) - model.level_min));
}

// The table's piecewise-linear value at each level of `curve` minus the
// curve's value, in % of span. The levels of `curve` rise.
std::vector<CurvePoint> error_curve(const std::vector<CurvePoint> &table,
                                    const std::vector<CurvePoint> &curve)
{
    std::vector<CurvePoint> error;
    error.reserve(curve.size());
    std::size_t segment = 0;
    for (const CurvePoint &point : curve)
        error.push_back({point.x, (interpolate(table, point.x, segment) - point.y) * 100});
    return error;
}

std::size_t largest_at(const std::vector<CurvePoint> &error)
{
    const auto largest =
        std::max_element(error.begin(), error.end(), [](const CurvePoint &a, const CurvePoint &b) {
            return std::fabs(a.y) < std::fabs(b.y);
        });
    return std::size_t(largest - error.begin());
}

// The largest error near the sample `at`, a peak of the error's magnitude:
// found between its neighbours by ternary search down to a millionth of the
// level (the level is shown to a thousandth).
CurvePoint refined_peak(const RunModel &model, TCalcState &tank,
                        const std::vector<CurvePoint> &table, const std::vector<CurvePoint> &error,
                        std::size_t at, float &input)
{
    std::size_t segment = 0;
    const auto error_at = [&](float x) {
        input = x;
        return (interpolate(table, x, segment) - evaluate_input(model, tank, x).output) * 100;
    };
    CurvePoint best = error[at];
    float low = float(error[at > 0 ? at - 1 : at].x);
    float high = float(error[std::min(at + 1, error.size() - 1)].x);
    while (high - low > 1e-6f) {
        const float a = f32(low + (static_cast<extended>(high) - low) / 3);
        const float b = f32(high - (static_cast<extended>(high) - low) / 3);
        if (!(a > low && b < high && a < b))
            break;
        const double ea = error_at(a);
        const double eb = error_at(b);
        if (std::fabs(ea) > std::fabs(best.y))
            best = {a, ea};
        if (std::fabs(eb) > std::fabs(best.y))
            best = {b, eb};
        if (std::fabs(ea) < std::fabs(eb))
            low = a;
        else
            high = b;
    }
    return best;
}

// Two errors this close are the same error: the normalised volume is a
// 32-bit value, and a few of its last bits (x 100 for % of span) are all that
// tell apart, say, the two ends of a symmetric tank.
constexpr double model_noise = 4 * 100.0 * std::numeric_limits<float>::epsilon();

// The largest error: the samples' peaks that come near the largest sample
// are refined, and the table's own points join them (the rounding of an
// Output to three decimals alone makes an error there, which no sample may
// hit). Of these the largest wins; errors equal within the model's noise
// give the lowest level.
CurvePoint largest_peak(const RunModel &model, TCalcState &tank,
                        const std::vector<CurvePoint> &table, const std::vector<CurvePoint> &error,
                        float &input)
{
    const double largest_sample = std::fabs(error[largest_at(error)].y);
    std::vector<std::pair<double, std::size_t>> peaks;
    for (std::size_t i = 0; i < error.size(); ++i) {
        const double e = std::fabs(error[i].y);
        if (e >= largest_sample - 1e-3 && (i == 0 || e >= std::fabs(error[i - 1].y)) &&
            (i + 1 == error.size() || e >= std::fabs(error[i + 1].y)))
            peaks.emplace_back(e, i);
    }
    // A flat, noisy top has many small peaks: the eight highest are enough.
    std::sort(peaks.begin(), peaks.end(), std::greater<>());
    peaks.resize(std::min<std::size_t>(peaks.size(), 8));
    std::vector<CurvePoint> candidates;
    for (const auto &peak : peaks)
        candidates.push_back(refined_peak(model, tank, table, error, peak.second, input));
    for (const CurvePoint &point : table) {
        input = float(point.x);
        candidates.push_back(
            {point.x, (point.y - evaluate_input(model, tank, input).output) * 100});
    }
    const double largest = std::fabs(candidates[largest_at(candidates)].y);
    CurvePoint best = candidates[largest_at(candidates)];
    for (const CurvePoint &point : candidates) {
        if (std::fabs(point.y) >= largest - model_noise && point.x < best.x)
            best = point;
    }
    return best;
}

} // namespace

double largest_error(const RunModel &model, int points, int samples)
{
    TCalcState tank = model.tank;
    float input = 0;
    const std::vector<CurvePoint> error =
        error_curve(table_points(model, tank, table_inputs(points), input),
                    model_curve(model, tank, samples, input));
    return std::fabs(error[largest_at(error)].y);
}

double largest_error(const RunModel &model, const std::vector<CurvePoint> &table)
{
    TCalcState tank = model.tank;
    float input = 0;
    const std::vector<CurvePoint> error =
        error_curve(table, model_curve(model, tank, curve_intervals, input));
    return std::fabs(largest_peak(model, tank, table, error, input).y);
}

Characteristic characteristic(const RunModel &model)
{
    TCalcState tank = model.tank;
    Characteristic c;
    float input = 0;
    try {
        c.model = model_curve(model, tank, curve_intervals, input);
        c.table = table_points(model, tank, run_inputs(model), input);
        c.error = error_curve(c.table, c.model);

        const CurvePoint largest = largest_peak(model, tank, c.table, c.error, input);
        input = float(largest.x);
        c.largest_input = largest.x;
        c.largest_height = evaluate_input(model, tank, input).height;
        c.largest_percent = largest.y;
        c.largest_volume =
            largest.y / 100 *
            double(static_cast<extended>(model.tank.top_volume) - model.tank.zero_volume);

        const bool optimised = model.optimised && run_inputs(model) == model.inputs;
        // The model's samples serve every number of points.
        std::array<double, most_points + 1> largest_for{};
        for (int points = 1; points <= most_points; ++points) {
            const std::vector<CurvePoint> error =
                points == model.points && !optimised
                    ? c.error
                    : error_curve(table_points(model, tank, table_inputs(points), input), c.model);
            largest_for[std::size_t(points)] = std::fabs(error[largest_at(error)].y);
        }
        for (std::size_t i = 0; i < error_limits.size(); ++i) {
            for (int points = 1; points <= most_points; ++points) {
                if (largest_for[std::size_t(points)] <= error_limits[i]) {
                    c.even.points_needed[i] = points;
                    break;
                }
            }
        }
        c.even.largest = largest_for[std::size_t(model.points)];

        input = 0;
        // The run's own placement when it has one for these points.
        const OptimalPlacement best = optimised && model.placement
                                          ? *model.placement
                                          : optimal_placement(model, model.points);
        c.straight = best.straight;
        c.optimised.largest = best.largest;
        c.optimised.points_needed = best.points_needed;
        // The run's own table has its refined figure.
        (optimised ? c.optimised : c.even).largest = std::fabs(c.largest_percent);
        c.points_needed = optimised ? c.optimised.points_needed : c.even.points_needed;
    } catch (const Error &error) {
        c = Characteristic();
        c.failure = QStringLiteral("The volume model fails near the normalized level %1: %2")
                        .arg(value_text(input), error.message());
    }
    return c;
}

QString largest_error_text(const Characteristic &c, const QString &size_unit,
                           const QString &volume_unit)
{
    // A straight tank: the table's line is the tank's at every shown digit.
    if (value_text(std::fabs(c.largest_percent)) == value_text(0.0L))
        return QStringLiteral("Largest error = %1 % of span: the table is exact at every level")
            .arg(value_text(0.0L));
    return QStringLiteral("Largest error = %1 % of span (%2 %3) at level %4 (%5 %6)")
        .arg(value_text(c.largest_percent), value_text(c.largest_volume), volume_unit,
             value_text(c.largest_input), value_text(c.largest_height), size_unit);
}

namespace {

// "1 % = 3, 0.5 % = 5, 0.1 % = 12, 0.05 % = more than 25"
QString needed_list(const std::array<int, error_limits.size()> &needed)
{
    QStringList parts;
    for (std::size_t i = 0; i < error_limits.size(); ++i) {
        const int points = needed[i];
        parts << QStringLiteral("%1 % = %2")
                     .arg(with_decimal_separator(QString::number(error_limits[i])),
                          points > 0 ? QString::number(points) : QStringLiteral("more than 25"));
    }
    // Under a decimal comma a comma between the entries would run into the numbers.
    return parts.join(QStringLiteral("; "));
}

QString placement_text(const QString &name, const Characteristic::PlacementFigures &figures)
{
    return QStringLiteral("%1 placement: largest error %2 % of span; points needed for %3")
        .arg(name, value_text(figures.largest), needed_list(figures.points_needed));
}

} // namespace

QString points_needed_text(const Characteristic &c)
{
    return QStringLiteral("Points needed for ") + needed_list(c.points_needed);
}

QString even_placement_text(const Characteristic &c)
{
    return placement_text(QStringLiteral("Even"), c.even);
}

QString optimised_placement_text(const Characteristic &c)
{
    if (c.straight)
        return QStringLiteral("Optimised placement: the curve is straight to the shown digits, "
                              "so every placement is as good as the even one");
    return placement_text(QStringLiteral("Optimised"), c.optimised);
}

extended default_level_step(int size_unit_index)
{
    const bool listed = size_unit_index >= 0 && std::size_t(size_unit_index) < size_units.size();
    return size_units[listed ? std::size_t(size_unit_index) : 0].level_step;
}

std::vector<LevelValues> level_table(const RunModel &model, extended step, const QString &step_text)
{
    const QString typed = step_text.trimmed().isEmpty() ? value_text(step) : step_text.trimmed();
    if (!(step > 0) || !std::isfinite(step))
        throw Error(QStringLiteral("The step of the level table must be a positive number"));
    if (step < min_level_step * (1 - 1e-9L))
        throw Error(QStringLiteral("A step of %1 is finer than the table shows its heights: "
                                   "the step must be at least %2")
                        .arg(typed, value_text(min_level_step)));
    const extended h1 = model.tank.min_signal;
    const extended h2 = model.tank.max_signal;
    // The heights h1 + k step short of h2 (by more than a rounding), then h2.
    const extended steps = std::floor((h2 - h1) / step * (1 - 1e-9L));
    if (steps + 2 > max_level_rows)
        throw Error(
            QStringLiteral("A step of %1 gives more than %2 rows").arg(typed).arg(max_level_rows));

    TCalcState tank = model.tank;
    std::vector<LevelValues> rows;
    rows.reserve(std::size_t(steps) + 2);
    const auto add = [&](float height) {
        LevelValues row = evaluate_level(model, tank, f32(divide(height, model.height)));
        row.input = input_of(model, row.level);
        row.height = height;
        rows.push_back(row);
    };
    for (int k = 0; k <= int(steps); ++k)
        add(f32(h1 + k * step));
    add(model.tank.max_signal);
    return rows;
}

QString level_table_csv(const std::vector<LevelValues> &rows, const QString &size_unit,
                        const QString &volume_unit)
{
    QString text =
        csv_text({{QStringLiteral("Height (") + size_unit + QLatin1Char(')'),
                   QStringLiteral("Volume (") + volume_unit + QLatin1Char(')'),
                   QString::fromLatin1(input_title), QString::fromLatin1(output_title)}});
    // Number texts hold digits, a sign, "E" and the decimal separator, never
    // the field separator: they need no quotes.
    const QChar separator = csv_separator();
    text.reserve(text.size() + qsizetype(rows.size()) * 40);
    for (const LevelValues &row : rows) {
        text += value_text(row.height);
        text += separator;
        text += value_text(row.volume);
        text += separator;
        text += value_text(row.input);
        text += separator;
        text += value_text(row.output);
        text += QLatin1String("\r\n");
    }
    return text;
}

namespace {

// `value` within low .. high as the texts show them (a range end typed as
// shown counts as inside), moved onto the range; nothing when outside.
std::optional<extended> within_shown(extended value, float low, float high)
{
    const extended from = std::min<extended>(low, parse_number(value_text(low)));
    const extended to = std::max<extended>(high, parse_number(value_text(high)));
    if (!(value >= from && value <= to))
        return std::nullopt;
    return std::clamp<extended>(value, low, high);
}

} // namespace

std::optional<LevelValues> values_at_height(const RunModel &model, extended height)
{
    const std::optional<extended> inside =
        within_shown(height, model.tank.min_signal, model.tank.max_signal);
    if (!inside)
        return std::nullopt;
    height = *inside;
    TCalcState tank = model.tank;
    LevelValues values = evaluate_level(model, tank, f32(divide(height, model.height)));
    values.input = input_of(model, values.level);
    return values;
}

std::optional<LevelValues> values_at_volume(const RunModel &model, extended volume)
{
    const std::optional<extended> inside =
        within_shown(volume, model.tank.zero_volume, model.tank.top_volume);
    if (!inside)
        return std::nullopt;
    volume = *inside;
    TCalcState tank = model.tank;
    // The ends of the range are h1 and h2 themselves, though the volume may
    // hardly change near them.
    if (volume == model.tank.zero_volume || volume == model.tank.top_volume) {
        LevelValues end = evaluate_level(
            model, tank, volume == model.tank.top_volume ? model.level_max : model.level_min);
        end.input = input_of(model, end.level);
        return end;
    }
    float low = model.level_min;
    float high = model.level_max;
    LevelValues below = evaluate_level(model, tank, low);
    LevelValues above = evaluate_level(model, tank, high);
    for (;;) {
        const float middle = f32((static_cast<extended>(low) + high) / 2);
        if (!(middle > low && middle < high))
            break;
        const LevelValues values = evaluate_level(model, tank, middle);
        if (values.volume < volume) {
            low = middle;
            below = values;
        } else {
            high = middle;
            above = values;
        }
    }
    LevelValues &nearest = volume - below.volume <= above.volume - volume ? below : above;
    nearest.input = input_of(model, nearest.level);
    return nearest;
}

} // namespace pelorin
