#include "calc/placement.h"

#include "calc/extended.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <stdexcept>

namespace pelorin {

namespace {

constexpr double unreachable = std::numeric_limits<double>::infinity();
// Below half the last shown digit of the error (0.000 % of span) a curve is
// straight as far as the table can tell.
constexpr double straight_limit = 5e-4;

// The piecewise-linear table's value at x between its points a and b, computed
// as the characteristic interpolates.
double chord(const CurvePoint &a, const CurvePoint &b, double x)
{
    return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
}

// > 0 when o, a, b turn left.
double turn(const CurvePoint &o, const CurvePoint &a, const CurvePoint &b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The curve, sampled once, and the grid's candidate points.
struct Samples
{
    std::vector<CurvePoint> curve;  // the model at the levels i / curve_intervals
    std::vector<float> inputs;      // the grid's Inputs
    std::vector<CurvePoint> nodes;  // the grid's points as shown
    std::vector<double> node_error; // |shown - model| at each grid Input, % of span
};

Samples sample(const VolumeCurve &output, int grid_steps)
{
    Samples s;
    s.curve.reserve(std::size_t(curve_intervals) + 1);
    for (int i = 0; i <= curve_intervals; ++i) {
        const float input = f32(static_cast<extended>(i) / curve_intervals);
        s.curve.push_back({input, output(input)});
    }
    const int stride = placement_grid / grid_steps;
    for (int j = 0; j <= grid_steps; ++j) {
        const float input = f32(static_cast<extended>(j * stride) / placement_grid);
        const float value = output(input);
        s.inputs.push_back(input);
        s.nodes.push_back({as_shown(input), as_shown(value)});
        s.node_error.push_back(std::fabs(s.nodes.back().y - value) * 100);
    }
    return s;
}

// The number of segments of a table with up to 25 inner points, and none.
constexpr std::size_t layers = most_points + 2;
// For one node b, a value for every number of segments k = 0 .. 26 from node 0 to b.
using Layers = std::array<double, layers>;

// to[k] = min(to[k], max(from[k], error)) and min(to[k], from[k] + error) for
// every k: the relaxations of the paths' layers by one more chord. (The two
// arrays never overlap, which lets the compiler do two layers at a time.)
void relax_largest(double *__restrict to, const double *__restrict from, double error)
{
    for (std::size_t k = 0; k < layers; ++k)
        to[k] = std::min(to[k], std::max(from[k], error));
}

void relax_sum(double *__restrict to, const double *__restrict from, double error)
{
    for (std::size_t k = 0; k < layers; ++k)
        to[k] = std::min(to[k], from[k] + error);
}

// Layers one segment on: [k] holds layers[k - 1].
Layers one_on(const Layers &layers_of)
{
    Layers on;
    on[0] = unreachable;
    std::copy(layers_of.begin(), layers_of.end() - 1, on.begin() + 1);
    return on;
}

// The largest error of every chord between two grid nodes, w(a, b) at
// [a * nodes + b]. For one first node a, the second node b sweeps upwards and
// the hulls of the samples between them grow by the samples it passes: the
// sample farthest above a chord is a vertex of the upper hull, the one
// farthest below a vertex of the lower hull. Along a hull the distance from a
// line of given slope has a single peak, and the peak moves little from one
// chord to the next: it is walked to from where the last chord had it.
class SegmentErrors
{
public:
    explicit SegmentErrors(const Samples &s)
        : m_s(s), m_count(s.nodes.size()), m_w(m_count * m_count, unreachable)
    {}

    double operator()(std::size_t a, std::size_t b) const { return m_w[a * m_count + b]; }

    // The chords from node a, each handed to `use(b, w)` as it is measured.
    template <typename Use> void sweep_from(std::size_t a, Use &&use)
    {
        const std::vector<CurvePoint> &curve = m_s.curve;
        const CurvePoint &start = m_s.nodes[a];
        m_upper.clear();
        m_lower.clear();
        std::size_t upper_at = 0;
        std::size_t lower_at = 0;
        std::size_t i =
            std::size_t(std::lower_bound(curve.begin(), curve.end(), start.x,
                                         [](const CurvePoint &p, double x) { return p.x < x; }) -
                        curve.begin());
        for (std::size_t b = a + 1; b < m_count; ++b) {
            const CurvePoint &end = m_s.nodes[b];
            for (; i < curve.size() && curve[i].x <= end.x; ++i)
                add(curve[i]);
            double w = std::max(m_s.node_error[a], m_s.node_error[b]);
            if (!m_upper.empty()) {
                const double slope = (end.y - start.y) / (end.x - start.x);
                const CurvePoint &above = peak(m_upper, slope, 1, upper_at);
                const CurvePoint &below = peak(m_lower, slope, -1, lower_at);
                w = std::max({w, std::fabs(chord(start, end, above.x) - above.y) * 100,
                              std::fabs(chord(start, end, below.x) - below.y) * 100});
            }
            m_w[a * m_count + b] = w;
            use(b, w);
        }
    }

private:
    void add(const CurvePoint &p)
    {
        while (m_upper.size() >= 2 && turn(m_upper[m_upper.size() - 2], m_upper.back(), p) >= 0)
            m_upper.pop_back();
        m_upper.push_back(p);
        while (m_lower.size() >= 2 && turn(m_lower[m_lower.size() - 2], m_lower.back(), p) <= 0)
            m_lower.pop_back();
        m_lower.push_back(p);
    }

    // The hull's vertex with the largest sign (y - slope x), walked to from `at`.
    static const CurvePoint &peak(const std::vector<CurvePoint> &hull, double slope, int sign,
                                  std::size_t &at)
    {
        // > 0 when the vertex after `from` lies farther out than `from`.
        const auto gain = [&](std::size_t from) {
            return sign *
                   ((hull[from + 1].y - hull[from].y) - slope * (hull[from + 1].x - hull[from].x));
        };
        at = std::min(at, hull.size() - 1);
        while (at + 1 < hull.size() && gain(at) > 0)
            ++at;
        while (at > 0 && gain(at - 1) < 0)
            --at;
        return hull[at];
    }

    const Samples &m_s;
    std::size_t m_count;
    std::vector<double> m_w;
    std::vector<CurvePoint> m_upper, m_lower;
};

// The largest error magnitude of `table` on the curve's samples, % of span.
double sampled_error(const std::vector<CurvePoint> &table, const std::vector<CurvePoint> &curve)
{
    double largest = 0;
    std::size_t segment = 0;
    for (const CurvePoint &p : curve) {
        while (segment + 2 < table.size() && p.x > table[segment + 1].x)
            ++segment;
        largest = std::max(largest,
                           std::fabs(chord(table[segment], table[segment + 1], p.x) - p.y) * 100);
    }
    return largest;
}

void count_points_needed(OptimalPlacement &placement)
{
    for (std::size_t i = 0; i < error_limits.size(); ++i) {
        for (int points = 1; points <= most_points; ++points) {
            if (placement.largest_for[std::size_t(points)] <= error_limits[i]) {
                placement.points_needed[i] = points;
                break;
            }
        }
    }
}

// A straight curve: the even tables, measured on the samples.
OptimalPlacement even_placement(const VolumeCurve &output, const Samples &s, int points)
{
    OptimalPlacement placement;
    placement.straight = true;
    for (int n = 0; n <= most_points; ++n) {
        const std::vector<float> inputs = table_inputs(n);
        std::vector<CurvePoint> table;
        for (const float input : inputs)
            table.push_back({as_shown(input), as_shown(output(input))});
        placement.largest_for[std::size_t(n)] = sampled_error(table, s.curve);
        if (n == points) {
            placement.inputs.assign(inputs.begin() + 1, inputs.end() - 1);
            placement.table = table;
            placement.largest = placement.largest_for[std::size_t(n)];
        }
    }
    count_points_needed(placement);
    return placement;
}

} // namespace

OptimalPlacement optimal_placement(const VolumeCurve &output, int points, int grid_steps)
{
    if (points < 1 || points > most_points || grid_steps < 2 || placement_grid % grid_steps != 0 ||
        points >= grid_steps)
        throw std::invalid_argument("optimal_placement: points or grid out of range");

    const Samples s = sample(output, grid_steps);
    const std::size_t last = std::size_t(grid_steps);
    SegmentErrors w(s);

    // best[b][k]: the smallest largest error of k segments from node 0 to node
    // b, relaxed by each chord as it is measured; the sweep from a comes after
    // every chord ending at a.
    Layers none;
    none.fill(unreachable);
    std::vector<Layers> best(last + 1, none);
    best[0][0] = 0;
    const auto relax = [&best](std::size_t a) {
        return [&best, from = one_on(best[a])](std::size_t b, double error) {
            relax_largest(best[b].data(), from.data(), error);
        };
    };
    w.sweep_from(0, relax(0));
    if (w(0, last) < straight_limit)
        return even_placement(output, s, points);
    for (std::size_t a = 1; a < last; ++a)
        w.sweep_from(a, relax(a));

    OptimalPlacement placement;
    for (std::size_t n = 0; n <= most_points; ++n)
        placement.largest_for[n] = best[last][n + 1];
    count_points_needed(placement);

    // Of the tables with that largest error, the one whose segments' errors
    // sum least: a shortest path over the chords within the largest error.
    const std::size_t segments = std::size_t(points) + 1;
    const double limit = best[last][segments];
    std::vector<Layers> sum(last + 1, none);
    sum[0][0] = 0;
    for (std::size_t a = 0; a < last; ++a) {
        const Layers from = one_on(sum[a]);
        for (std::size_t b = a + 1; b <= last; ++b) {
            if (w(a, b) <= limit)
                relax_sum(sum[b].data(), from.data(), w(a, b));
        }
    }
    // Back from the last node, each step to the lowest node that gives the sum.
    std::vector<std::size_t> path = {last};
    for (std::size_t k = segments; k > 0; --k) {
        const std::size_t b = path.back();
        std::size_t a = 0;
        while (a < b && !(w(a, b) <= limit && sum[a][k - 1] + w(a, b) == sum[b][k]))
            ++a;
        if (a == b)
            throw std::logic_error("optimal_placement: no chord gives the path's sum");
        path.push_back(a);
    }
    std::reverse(path.begin(), path.end());
    for (const std::size_t node : path) {
        placement.table.push_back(s.nodes[node]);
        if (node != 0 && node != last)
            placement.inputs.push_back(s.inputs[node]);
    }
    placement.largest = limit;
    return placement;
}

OptimalPlacement optimal_placement(const RunModel &model, int points)
{
    TCalcState tank = model.tank;
    return optimal_placement(
        [&model, &tank](float input) { return evaluate_input(model, tank, input).output; }, points);
}

} // namespace pelorin
