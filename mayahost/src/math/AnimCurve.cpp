#include "math/AnimCurve.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace mayahost {

namespace {

bool nearlyEqual(double a, double b) { return std::fabs(a - b) <= 1e-10 * (1.0 + std::fabs(a) + std::fabs(b)); }

double slopeOf(const AnimCurve::Tangent& t) {
    // A vertical tangent has no slope; the steepest finite one stands in.
    if (std::fabs(t.dx) < 1e-12) return t.dy >= 0.0 ? 1e12 : -1e12;
    return t.dy / t.dx;
}

// Cubic Bezier in one coordinate.
double bezier(double p0, double p1, double p2, double p3, double u) {
    const double v = 1.0 - u;
    return v * v * v * p0 + 3.0 * v * v * u * p1 + 3.0 * v * u * u * p2 + u * u * u * p3;
}

}  // namespace

TangentType tangentTypeFromCode(int code) {
    switch (code) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 9: case 10: case 16: case 17: case 18:
        return static_cast<TangentType>(code);
    default: return TangentType::Global;
    }
}

InfinityType infinityTypeFromCode(int code) {
    switch (code) {
    case 1: case 3: case 4: case 5: return static_cast<InfinityType>(code);
    default: return InfinityType::Constant;
    }
}

AnimCurve::AnimCurve(AnimCurveDesc desc)
    : keys_(std::move(desc.keys)), weighted_(desc.weighted), defaultType_(desc.tangentType),
      pre_(desc.preInfinity), post_(desc.postInfinity),
      xScale_(desc.inputUnitsPerTangentX > 0.0 && std::isfinite(desc.inputUnitsPerTangentX)
                  ? desc.inputUnitsPerTangentX
                  : 1.0) {
    // Keys with non-finite numbers cannot be placed on the curve.
    std::erase_if(keys_, [](const AnimKey& k) { return !std::isfinite(k.input) || !std::isfinite(k.value); });
    std::stable_sort(keys_.begin(), keys_.end(), [](const AnimKey& a, const AnimKey& b) { return a.input < b.input; });
    // One value per input: a later key at the same input replaces the earlier.
    std::vector<AnimKey> unique;
    for (const AnimKey& k : keys_) {
        if (!unique.empty() && unique.back().input == k.input)
            unique.back() = k;
        else
            unique.push_back(k);
    }
    keys_ = std::move(unique);
    resolved_.resize(keys_.size());
    for (size_t i = 0; i < keys_.size(); ++i) resolved_[i] = {computeTangent(i, true), computeTangent(i, false)};
}

TangentType AnimCurve::typeOf(TangentType t) const {
    if (t == TangentType::Global) t = defaultType_;
    // A curve without a stated default uses clamped tangents, the interactive
    // default of the scenes this reads.
    if (t == TangentType::Global) t = TangentType::Clamped;
    return t;
}

// Slope of the smooth curve through the neighbours, optionally flattened at the
// ends and at local extremes and limited so the segments never overshoot.
double AnimCurve::autoSlope(size_t i, bool flatEnds, bool limitOvershoot) const {
    const size_t n = keys_.size();
    const bool hasPrev = i > 0, hasNext = i + 1 < n;
    if (!hasPrev && !hasNext) return 0.0;
    const AnimKey& k = keys_[i];
    if (!hasPrev || !hasNext) {
        if (flatEnds) return 0.0;
        const AnimKey& o = hasPrev ? keys_[i - 1] : keys_[i + 1];
        return (o.value - k.value) / (o.input - k.input);
    }
    const AnimKey& p = keys_[i - 1];
    const AnimKey& q = keys_[i + 1];
    const double slope = (q.value - p.value) / (q.input - p.input);
    if (!limitOvershoot) return slope;
    const double before = (k.value - p.value) / (k.input - p.input);
    const double after = (q.value - k.value) / (q.input - k.input);
    if (before * after <= 0.0) return 0.0;  // a local extreme or a hold
    // A cubic segment stays monotone when its end slopes stay within three
    // times its secant.
    const double limit = 3.0 * std::min(std::fabs(before), std::fabs(after));
    return std::clamp(slope, -limit, limit);
}

AnimCurve::Tangent AnimCurve::computeTangent(size_t i, bool in) const {
    const AnimKey& k = keys_[i];
    const size_t n = keys_.size();
    // The length of a computed tangent: the span it belongs to, or the other
    // span at the curve's ends.
    double span = 1.0;
    if (in && i > 0) span = k.input - keys_[i - 1].input;
    else if (!in && i + 1 < n) span = keys_[i + 1].input - k.input;
    else if (i > 0) span = k.input - keys_[i - 1].input;
    else if (i + 1 < n) span = keys_[i + 1].input - k.input;
    auto withSlope = [span](double slope) { return Tangent{span, slope * span}; };

    switch (typeOf(in ? k.inType : k.outType)) {
    case TangentType::Fixed: {
        const bool stored = in ? k.hasInTangent : k.hasOutTangent;
        if (stored) {
            const double x = (in ? k.inX : k.outX) * xScale_;
            const double y = in ? k.inY : k.outY;
            if (x >= 0.0 && std::isfinite(x) && std::isfinite(y)) {
                // Without weights only the direction counts: give it the span's length.
                if (!weighted_) return withSlope(slopeOf({x, y}));
                return {x, y};
            }
        }
        return withSlope(autoSlope(i, false, false));
    }
    case TangentType::Linear: {
        if (n < 2) return withSlope(0.0);
        const size_t other = in ? (i > 0 ? i - 1 : i + 1) : (i + 1 < n ? i + 1 : i - 1);
        const AnimKey& o = keys_[other];
        return withSlope((o.value - k.value) / (o.input - k.input));
    }
    case TangentType::Flat:
    case TangentType::Step:
    case TangentType::StepNext: return withSlope(0.0);
    case TangentType::Clamped: {
        const bool holdsPrev = i > 0 && nearlyEqual(keys_[i - 1].value, k.value);
        const bool holdsNext = i + 1 < n && nearlyEqual(keys_[i + 1].value, k.value);
        return withSlope(holdsPrev || holdsNext ? 0.0 : autoSlope(i, false, false));
    }
    case TangentType::Plateau:
    case TangentType::Auto: return withSlope(autoSlope(i, true, true));
    case TangentType::Smooth:
    case TangentType::Spline:
    case TangentType::Slow:
    case TangentType::Fast:
    case TangentType::Global:
    default: return withSlope(autoSlope(i, false, false));
    }
}

double AnimCurve::evaluate(double input) const {
    if (keys_.empty() || std::isnan(input)) return 0.0;
    if (keys_.size() == 1) return keys_.front().value;
    if (input < keys_.front().input) return extrapolate(input, true);
    if (input > keys_.back().input) return extrapolate(input, false);
    return evaluateInside(input);
}

double AnimCurve::evaluateInside(double input) const {
    // The last key whose input is not after `input`.
    auto it = std::upper_bound(keys_.begin(), keys_.end(), input,
                               [](double t, const AnimKey& k) { return t < k.input; });
    const size_t i = static_cast<size_t>(it - keys_.begin()) - 1;
    if (keys_[i].input == input || i + 1 >= keys_.size()) return keys_[i].value;
    return evaluateSegment(i, input);
}

double AnimCurve::evaluateSegment(size_t i, double input) const {
    const AnimKey& a = keys_[i];
    const AnimKey& b = keys_[i + 1];
    const TangentType out = typeOf(a.outType);
    if (out == TangentType::Step) return a.value;
    if (out == TangentType::StepNext) return b.value;

    const double span = b.input - a.input;
    const Tangent t0 = resolved_[i].out;
    const Tangent t1 = resolved_[i + 1].in;
    if (!weighted_) {
        // Cubic Hermite with the tangents' slopes.
        const double s = (input - a.input) / span;
        const double s2 = s * s, s3 = s2 * s;
        const double h00 = 2 * s3 - 3 * s2 + 1, h10 = s3 - 2 * s2 + s;
        const double h01 = -2 * s3 + 3 * s2, h11 = s3 - s2;
        return h00 * a.value + h10 * span * slopeOf(t0) + h01 * b.value + h11 * span * slopeOf(t1);
    }

    // Bezier through control points a third of each tangent away; a tangent
    // reaching past the other key is shortened so the curve stays a function.
    auto controlOffset = [span](Tangent t) {
        double dx = std::max(t.dx, 0.0) / 3.0, dy = t.dy / 3.0;
        if (dx > span) {
            dy *= span / dx;
            dx = span;
        }
        return Tangent{dx, dy};
    };
    const Tangent c0 = controlOffset(t0), c1 = controlOffset(t1);
    const double x0 = a.input, x1 = a.input + c0.dx, x2 = b.input - c1.dx, x3 = b.input;
    const double y0 = a.value, y1 = a.value + c0.dy, y2 = b.value - c1.dy, y3 = b.value;
    // x(u) is non-decreasing because its control points are ordered: bisection
    // finds the parameter reliably.
    double lo = 0.0, hi = 1.0;
    for (int iter = 0; iter < 64; ++iter) {
        const double mid = 0.5 * (lo + hi);
        if (bezier(x0, x1, x2, x3, mid) < input)
            lo = mid;
        else
            hi = mid;
    }
    return bezier(y0, y1, y2, y3, 0.5 * (lo + hi));
}

double AnimCurve::extrapolate(double input, bool before) const {
    const AnimKey& first = keys_.front();
    const AnimKey& last = keys_.back();
    const InfinityType mode = before ? pre_ : post_;
    const double range = last.input - first.input;
    switch (mode) {
    case InfinityType::Linear: {
        if (before) {
            const bool stepped = typeOf(first.inType) == TangentType::Step;
            return first.value + (input - first.input) * (stepped ? 0.0 : slopeOf(resolved_.front().in));
        }
        const TangentType out = typeOf(last.outType);
        const bool stepped = out == TangentType::Step || out == TangentType::StepNext;
        return last.value + (input - last.input) * (stepped ? 0.0 : slopeOf(resolved_.back().out));
    }
    case InfinityType::Cycle:
    case InfinityType::CycleRelative:
    case InfinityType::Oscillate: {
        if (!(range > 0.0)) break;
        const double cycles = std::floor((input - first.input) / range);
        // Far-away inputs lose the position inside the cycle to rounding;
        // clamp into the keyed range so evaluation stays inside it.
        double local = std::clamp(input - first.input - cycles * range, 0.0, range);
        if (mode == InfinityType::Oscillate) {
            const bool mirrored = std::fmod(std::fabs(cycles), 2.0) == 1.0;
            return evaluateInside(first.input + (mirrored ? range - local : local));
        }
        const double value = evaluateInside(first.input + local);
        if (mode == InfinityType::Cycle) return value;
        return value + cycles * (last.value - first.value);
    }
    case InfinityType::Constant:
    default: break;
    }
    return before ? first.value : last.value;
}

double timeUnitsPerSecond(std::string_view unit) {
    struct Named {
        std::string_view name;
        double perSecond;
    };
    static constexpr Named kUnits[] = {
        {"game", 15.0},   {"film", 24.0},        {"pal", 25.0},        {"ntsc", 30.0},   {"show", 48.0},
        {"palf", 50.0},   {"ntscf", 60.0},       {"sec", 1.0},         {"second", 1.0},  {"min", 1.0 / 60.0},
        {"minute", 1.0 / 60.0}, {"hour", 1.0 / 3600.0}, {"millisec", 1000.0}, {"millisecond", 1000.0},
    };
    for (const Named& u : kUnits)
        if (u.name == unit) return u.perSecond;
    // "<n>fps", e.g. "23.976fps" or "100fps".
    if (unit.size() > 3 && unit.substr(unit.size() - 3) == "fps") {
        const std::string number(unit.substr(0, unit.size() - 3));
        double fps = 0.0;
        const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), fps);
        if (ec == std::errc() && ptr == number.data() + number.size() && fps > 0.0 && std::isfinite(fps)) return fps;
    }
    return 0.0;
}

}  // namespace mayahost
