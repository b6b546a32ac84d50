// Animation curve evaluation: tangent types, weighted curves, infinity modes,
// against values derived by hand from the Hermite and Bezier forms.

#include "math/AnimCurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace mayahost;

AnimKey key(double t, double v, TangentType type = TangentType::Global) {
    AnimKey k;
    k.input = t;
    k.value = v;
    k.inType = k.outType = type;
    return k;
}

AnimCurveDesc curve(std::vector<AnimKey> keys, TangentType defaultType = TangentType::Global) {
    AnimCurveDesc d;
    d.keys = std::move(keys);
    d.tangentType = defaultType;
    return d;
}

// Two fixed keys (0, 0) and (x1, y1) with an explicit out tangent on the first
// and in tangent on the second, tangent x in `unitsPerX` input units.
AnimCurveDesc fixedPair(double x1, double y1, double outX, double outY, double inX, double inY, double unitsPerX,
                        bool weighted) {
    AnimCurveDesc d = curve({key(0, 0, TangentType::Fixed), key(x1, y1, TangentType::Fixed)});
    d.keys[0].hasOutTangent = d.keys[1].hasInTangent = true;
    d.keys[0].outX = outX, d.keys[0].outY = outY, d.keys[1].inX = inX, d.keys[1].inY = inY;
    d.inputUnitsPerTangentX = unitsPerX;
    d.weighted = weighted;
    return d;
}

double h01(double s) { return 3 * s * s - 2 * s * s * s; }  // Hermite weight of the second value

TEST(AnimCurveEval, LinearFlatAndStepKeys) {
    const AnimCurve linear(curve({key(0, 0), key(10, 20), key(20, 0)}, TangentType::Linear));
    // Beyond the keys: constant infinity holds the end values.
    for (auto [t, v] : {std::pair{0.0, 0.0}, {2.5, 5.0}, {10.0, 20.0}, {15.0, 10.0}, {-5.0, 0.0}, {99.0, 0.0}})
        EXPECT_NEAR(linear.evaluate(t), v, 1e-12) << t;
    // Hermite with zero slopes.
    const AnimCurve flat(curve({key(0, 0), key(8, 8)}, TangentType::Flat));
    for (double t : {2.0, 4.0, 6.0}) EXPECT_NEAR(flat.evaluate(t), 8 * h01(t / 8), 1e-12) << t;

    const AnimCurve step(curve({key(0, 1), key(10, 5), key(20, 2)}, TangentType::Step));
    const AnimCurve next(curve({key(0, 1), key(10, 5), key(20, 2)}, TangentType::StepNext));
    for (auto [t, v] : {std::pair{9.999, 1.0}, {10.0, 5.0}, {19.0, 5.0}}) EXPECT_DOUBLE_EQ(step.evaluate(t), v) << t;
    for (auto [t, v] : {std::pair{0.0, 1.0}, {0.001, 5.0}, {15.0, 2.0}}) EXPECT_DOUBLE_EQ(next.evaluate(t), v) << t;
    // Only the out tangent of a segment's first key makes a step; a stepped in
    // tangent is just flat: h10(0.5) * 10 * 1 + h01(0.5) * 10.
    std::vector<AnimKey> keys = {key(0, 0, TangentType::Linear), key(10, 10, TangentType::Linear)};
    keys[1].inType = TangentType::Step;
    EXPECT_NEAR(AnimCurve(curve(keys)).evaluate(5), 6.25, 1e-12);
}

TEST(AnimCurveEval, SplineAndClampedSlopes) {
    const AnimCurve c(curve({key(0, 0), key(10, 10), key(20, 0)}, TangentType::Spline));
    // Middle slope (0 - 0) / 20 = 0; the first key's slope points at its
    // neighbour: 1. At s = 0.5: h10 * 10 * 1 + h01 * 10 = 1.25 + 5; the other side mirrors.
    EXPECT_NEAR(c.evaluate(5), 6.25, 1e-12);
    EXPECT_NEAR(c.outTangent(1).dy, 0.0, 1e-12);
    EXPECT_NEAR(c.evaluate(15), 6.25, 1e-12);
    // Uneven spacing: slope at key 1 is (4 - 0) / (12 - 0) = 1/3.
    const auto t = AnimCurve(curve({key(0, 0), key(4, 2), key(12, 4)}, TangentType::Spline)).inTangent(1);
    EXPECT_NEAR(t.dy / t.dx, 1.0 / 3.0, 1e-12);

    const AnimCurve hold(curve({key(0, 0), key(10, 5), key(20, 5), key(30, 0)}, TangentType::Clamped));
    EXPECT_NEAR(hold.outTangent(1).dy, 0.0, 1e-12);
    EXPECT_NEAR(hold.inTangent(2).dy, 0.0, 1e-12);
    // The hold stays a hold: no bulge above 5 between the equal keys.
    for (double x = 10; x <= 20; x += 0.5) EXPECT_NEAR(hold.evaluate(x), 5.0, 1e-12) << x;
    // Without equal neighbours it is a spline.
    const AnimCurve s(curve({key(0, 0), key(10, 10), key(20, 30)}, TangentType::Clamped));
    EXPECT_NEAR(s.outTangent(1).dy / s.outTangent(1).dx, 1.5, 1e-12);
}

TEST(AnimCurveEval, AutoAndPlateauNeverOvershoot) {
    for (TangentType type : {TangentType::Auto, TangentType::Plateau}) {
        const AnimCurve c(curve({key(0, 0), key(1, 10), key(10, 11), key(20, 3)}, type));
        // Ends and the peak at key 2 are flat.
        EXPECT_NEAR(c.inTangent(0).dy, 0.0, 1e-12);
        EXPECT_NEAR(c.outTangent(3).dy, 0.0, 1e-12);
        EXPECT_NEAR(c.outTangent(2).dy, 0.0, 1e-12);
        // Key 1: the spline slope 11/10 is limited to 3 * (1 / 9).
        const auto t = c.outTangent(1);
        EXPECT_NEAR(t.dy / t.dx, 1.0 / 3.0, 1e-12);
        double previous = c.evaluate(1);
        for (double x = 1.1; x <= 10.0; x += 0.1) {
            const double v = c.evaluate(x);
            EXPECT_GE(v, previous - 1e-12) << x;
            EXPECT_LE(v, 11.0 + 1e-12) << x;
            previous = v;
        }
    }
    // The plain spline does overshoot here, which is what the limit prevents.
    const AnimCurve spline(curve({key(0, 0), key(1, 10), key(10, 11), key(20, 3)}, TangentType::Spline));
    double peak = 0;
    for (double x = 1; x <= 10; x += 0.1) peak = std::max(peak, spline.evaluate(x));
    EXPECT_GT(peak, 11.0);
}

TEST(AnimCurveEval, FixedAndWeightedTangents) {
    // Out tangent (1 s, 24): 24 per second, one per frame at 24 fps; in tangent
    // flat. s = 0.5: h10 * span * slope = 0.125 * 24 * 1; at 30 fps the stored
    // tangent is a slope of 0.8 per frame.
    EXPECT_NEAR(AnimCurve(fixedPair(24, 0, 1, 24, 1, 0, 24, false)).evaluate(12), 3.0, 1e-12);
    EXPECT_NEAR(AnimCurve(fixedPair(24, 0, 1, 24, 1, 0, 30, false)).evaluate(12), 0.125 * 24 * 0.8, 1e-12);
    // Unitless input: out tangent (6, 0) puts the first handle at x = 2, in
    // tangent (3, 0) the second at x = 2 too. x(u) = 6u(1-u)^2 + 6u^2(1-u) + 3u^3,
    // y(u) = 9u^2(1-u) + 3u^3; u = 0.5 gives x = 1.875, y = 1.5.
    EXPECT_NEAR(AnimCurve(fixedPair(3, 3, 6, 0, 3, 0, 1, true)).evaluate(1.875), 1.5, 1e-9);
    // The same keys unweighted are a flat Hermite.
    EXPECT_NEAR(AnimCurve(fixedPair(3, 3, 6, 0, 3, 0, 1, false)).evaluate(1.875), 3 * h01(0.625), 1e-12);
    // Overlong weights still make a function of time.
    const AnimCurve overlong(fixedPair(1, 1, 50, 10, 50, 10, 1, true));
    for (double t = 0; t <= 1.0; t += 0.05) {
        const double v = overlong.evaluate(t);
        EXPECT_TRUE(std::isfinite(v) && v >= -1e-9 && v <= 1.0 + 1e-9) << t << ": " << v;
    }
}

TEST(AnimCurveEval, InfinityModes) {
    const struct {
        InfinityType mode;
        double input, expected;
    } cases[] = {
        {InfinityType::Constant, 12, 10},      {InfinityType::Constant, -3, 0},       {InfinityType::Linear, 15, 15},
        {InfinityType::Linear, -3, -3},        {InfinityType::Cycle, 12, 2},          {InfinityType::Cycle, -3, 7},
        {InfinityType::Cycle, 30, 0},          {InfinityType::CycleRelative, 12, 12}, {InfinityType::CycleRelative, -3, -3},
        {InfinityType::CycleRelative, 25, 25}, {InfinityType::Oscillate, 12, 8},      {InfinityType::Oscillate, -3, 3},
        {InfinityType::Oscillate, 22, 2},
    };
    for (const auto& c : cases) {
        AnimCurveDesc d = curve({key(0, 0), key(10, 10)}, TangentType::Linear);
        d.preInfinity = d.postInfinity = c.mode;
        EXPECT_NEAR(AnimCurve(d).evaluate(c.input), c.expected, 1e-9)
            << "mode " << static_cast<int>(c.mode) << " at " << c.input;
    }
    AnimCurveDesc d = curve({key(0, 0), key(4, 8), key(10, 2)}, TangentType::Spline);
    d.postInfinity = InfinityType::Cycle;
    d.preInfinity = InfinityType::CycleRelative;
    const AnimCurve c(d);
    for (double t : {0.5, 3.0, 7.25}) {
        EXPECT_NEAR(c.evaluate(t + 10), c.evaluate(t), 1e-9) << t;
        EXPECT_NEAR(c.evaluate(t + 30), c.evaluate(t), 1e-9) << t;
        // One cycle back lowers the value by last - first = 2.
        EXPECT_NEAR(c.evaluate(t - 10), c.evaluate(t) - 2, 1e-9) << t;
    }
}

TEST(AnimCurveEval, DegenerateCurvesStaySafe) {
    EXPECT_DOUBLE_EQ(AnimCurve(AnimCurveDesc{}).evaluate(3), 0.0);
    AnimCurveDesc one = curve({key(5, 7)});
    one.preInfinity = one.postInfinity = InfinityType::Oscillate;
    EXPECT_DOUBLE_EQ(AnimCurve(one).evaluate(-100), 7.0);
    EXPECT_DOUBLE_EQ(AnimCurve(one).evaluate(100), 7.0);
    // Keys out of order are sorted; a repeated input keeps the last key; keys
    // with non-finite numbers are dropped.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const AnimCurve c(curve({key(10, 10), key(0, 0), key(nan, 3), key(5, nan), key(10, 20)}, TangentType::Linear));
    EXPECT_EQ(c.numKeys(), 2u);
    EXPECT_NEAR(c.evaluate(5), 10.0, 1e-12);
    EXPECT_DOUBLE_EQ(c.evaluate(nan), 0.0);
    // Cycling very far away still lands inside the keyed range.
    AnimCurveDesc far = curve({key(0, 0), key(10, 10)}, TangentType::Linear);
    far.postInfinity = InfinityType::Cycle;
    const double v = AnimCurve(far).evaluate(1e17);
    EXPECT_TRUE(v >= 0.0 && v <= 10.0) << v;
}

TEST(AnimCurveEval, AttributeCodesAndTimeUnits) {
    for (auto [code, type] : {std::pair{18, TangentType::Auto}, {9, TangentType::Spline}, {17, TangentType::StepNext},
                              {8, TangentType::Global}, {-1, TangentType::Global}})
        EXPECT_EQ(tangentTypeFromCode(code), type) << code;
    for (auto [code, type] : {std::pair{4, InfinityType::CycleRelative}, {2, InfinityType::Constant},
                              {99, InfinityType::Constant}})
        EXPECT_EQ(infinityTypeFromCode(code), type) << code;
    for (auto [name, rate] : {std::pair{"film", 24.0}, {"ntsc", 30.0}, {"pal", 25.0}, {"ntscf", 60.0},
                              {"millisec", 1000.0}, {"23.976fps", 23.976}, {"fps", 0.0}, {"12xfps", 0.0},
                              {"-5fps", 0.0}, {"lightyear", 0.0}})
        EXPECT_DOUBLE_EQ(timeUnitsPerSecond(name), rate) << name;
}

}  // namespace
