// The cluster and nonLinear deformers on a column of points along Y, checked
// against the shapes their rules give by hand.

#include "mesh/MeshModNonLinear.h"

#include "MeshTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mayahost;
using namespace meshtest;

namespace {

const double kPi = 3.14159265358979323846;

// A ladder of quads from y = -2 to 2 in steps of 0.5: vertex 2i at x = 0, 2i + 1 at x = 0.25.
MeshData column() {
    std::vector<MeshVec> points;
    std::vector<Face> faces;
    for (int i = 0; i <= 8; ++i) {
        points.push_back({0, -2 + 0.5 * i, 0});
        points.push_back({0.25, -2 + 0.5 * i, 0});
        if (i) faces.push_back({{2 * i - 2, 2 * i - 1, 2 * i + 1, 2 * i}});
    }
    return makeMesh(points, faces, true);
}
const MeshData kColumn = column();

MeshVec moved(const MeshData& out, size_t v) { return pointOf(out, v); }

TEST(NonLinear, BendLaysTheAxisOnAnArcAndGoesOnAlongItsTangent) {
    const double c = kPi / 2;  // a quarter turn per unit
    const auto [out, warning] = warned(applyNonLinear, kColumn, {.kind = NonLinearKind::Bend, .curvature = c});
    EXPECT_EQ(warning, "");
    for (int i = 2; i <= 6; ++i) {  // y from -1 to 1: inside the bounds
        const double y = -2 + 0.5 * i;
        EXPECT_TRUE(near(moved(out, 2 * i), {(1 - std::cos(c * y)) / c, std::sin(c * y) / c, 0})) << y;
        // The point beside the axis keeps its distance from the arc's centre.
        const MeshVec off = moved(out, 2 * i + 1) - MeshVec{1 / c, 0, 0};
        EXPECT_NEAR(off.length(), 1 / c - 0.25, 1e-6) << y;
    }
    // y = 2 is one unit past the high bound, along the tangent at angle c.
    const MeshVec end = moved(out, 12), past = moved(out, 16);
    EXPECT_TRUE(near(past - end, {std::sin(c), std::cos(c), 0}));
}

TEST(NonLinear, TwistTurnsEachHeightByItsAngle) {
    const auto [out, warning] = warned(applyNonLinear, kColumn,
                                       {.kind = NonLinearKind::Twist, .startAngle = -kPi / 2, .endAngle = kPi / 2});
    EXPECT_EQ(warning, "");
    // Heights -2, -1, 0, 1, 2: the angle runs from -90 to 90 degrees and holds beyond the bounds.
    const double angles[] = {-kPi / 2, -kPi / 2, 0, kPi / 2, kPi / 2};
    for (int k = 0; k < 5; ++k) {
        const double a = angles[k], y = -2 + k;
        EXPECT_TRUE(near(moved(out, 4 * k + 1), {0.25 * std::cos(a), y, -0.25 * std::sin(a)})) << y;
    }
}

TEST(NonLinear, SineAndWaveMovePointsByAmplitudeTimesSine) {
    const auto [sine, w1] = warned(applyNonLinear, kColumn, {.kind = NonLinearKind::Sine, .amplitude = 0.3, .wavelength = 1.5});
    for (int i = 2; i <= 6; ++i) {
        const double y = -2 + 0.5 * i;
        EXPECT_NEAR(moved(sine, 2 * i).x, 0.3 * std::sin(2 * kPi * y / 1.5), 1e-6) << y;
    }
    // A dropoff of 1 fades the amplitude to nothing at the bounds.
    const auto [faded, w2] = warned(applyNonLinear, kColumn,
                                    {.kind = NonLinearKind::Sine, .amplitude = 0.3, .wavelength = 1.5, .dropoff = 1});
    EXPECT_NEAR(moved(faded, 12).x, 0, 1e-6);
    EXPECT_NEAR(moved(faded, 10).x, 0.5 * moved(sine, 10).x, 1e-6);
    // The wave lifts along Y by the distance from the axis: 0.25 of a wavelength 1 is the crest.
    const auto [wave, w3] = warned(applyNonLinear, kColumn, {.kind = NonLinearKind::Wave, .amplitude = 0.2, .wavelength = 1});
    EXPECT_NEAR(moved(wave, 1).y - moved(kColumn, 1).y, 0.2, 1e-6);
    EXPECT_NEAR(moved(wave, 0).y - moved(kColumn, 0).y, 0, 1e-6);
    EXPECT_EQ(w1 + w2 + w3, "");
}

TEST(NonLinear, FlareAndSquashScaleAcrossTheAxis) {
    const auto [flare, w1] = warned(applyNonLinear, kColumn,
                                    {.kind = NonLinearKind::Flare, .startFlareX = 2, .endFlareX = 4, .curve = 1});
    EXPECT_NEAR(moved(flare, 5).x, 0.25 * 2, 1e-6);         // y = -1: the start flare
    EXPECT_NEAR(moved(flare, 9).x, 0.25 * (3 + 1), 1e-6);   // y = 0: halfway, plus the whole curve
    EXPECT_NEAR(moved(flare, 17).x, 0.25 * 4, 1e-6);        // y = 2: held at the end flare
    // A squash of -0.5 shortens the bounded part to 1 / 1.5 and bulges its middle by sqrt(1.5).
    const auto [squash, w2] = warned(applyNonLinear, kColumn, {.kind = NonLinearKind::Squash, .factor = -0.5});
    EXPECT_NEAR(moved(squash, 12).y, 1 / 1.5, 1e-6);
    EXPECT_NEAR(moved(squash, 16).y, 1 / 1.5 + 1, 1e-6);    // beyond the bound: carried rigidly
    EXPECT_NEAR(moved(squash, 9).x, 0.25 * std::sqrt(1.5), 1e-6);
    EXPECT_NEAR(moved(squash, 13).x, 0.25, 1e-6);           // no bulge at the bound
    EXPECT_EQ(w1 + w2, "");
}

TEST(NonLinear, WorksInTheHandlesSpaceWeightedByEnvelopeAndWeights) {
    // The handle lies along world X (turned 90 degrees about Z) and the shape
    // is moved by 3: the same twist as about the column's own axis, turned.
    NonLinearParams p{.kind = NonLinearKind::Twist, .matrix = turnZ90() * translation(3, 0, 0),
                      .geomMatrix = translation(3, 0, 0), .endAngle = kPi};
    MeshData lying = applyTransformGeometry(kColumn, {.transform = turnZ90()}, nullptr);
    const MeshData out = applyNonLinear(lying, p, nullptr);
    const MeshData upright = applyNonLinear(kColumn, {.kind = NonLinearKind::Twist, .endAngle = kPi}, nullptr);
    const MeshData expected = applyTransformGeometry(upright, {.transform = turnZ90()}, nullptr);
    for (size_t v = 0; v < out.numVertices(); ++v) EXPECT_TRUE(near(moved(out, v), moved(expected, v))) << v;

    p = {.kind = NonLinearKind::Twist, .envelope = 0.5, .weights = {0.0f, std::nullopt, 0.5f}, .endAngle = kPi};
    const MeshData part = applyNonLinear(kColumn, p, nullptr);
    EXPECT_TRUE(near(moved(part, 1), moved(kColumn, 1) + (moved(upright, 1) - moved(kColumn, 1)) * 0.5));
    EXPECT_TRUE(near(moved(part, 17), moved(kColumn, 17) + (moved(upright, 17) - moved(kColumn, 17)) * 0.5));
    p.weights = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f};
    EXPECT_TRUE(near(moved(applyNonLinear(kColumn, p, nullptr), 17),
                     moved(kColumn, 17) + (moved(upright, 17) - moved(kColumn, 17)) * 0.25));
    p.weights.clear();
    p.members = std::vector<int32_t>{0};
    EXPECT_TRUE(near(moved(applyNonLinear(kColumn, p, nullptr), 17), moved(kColumn, 17)));
}

TEST(NonLinear, BadInputPassesThroughWithAWarning) {
    const struct {
        NonLinearParams params;
        const char* phrase;
    } cases[] = {
        {{.kind = NonLinearKind::Bend, .curvature = kNaN}, "not a usable number"},
        {{.kind = NonLinearKind::Sine, .amplitude = 1, .wavelength = 0}, "wavelength"},
        {{.kind = NonLinearKind::Twist, .matrix = scaling(1, 0, 1), .endAngle = 1}, "cannot be inverted"},
        {{.kind = NonLinearKind::Twist, .envelope = kNaN, .endAngle = 1}, "envelope"},
        {{.kind = NonLinearKind::Flare, .startFlareX = 1e300}, "not a usable number"},
    };
    for (const auto& c : cases) expectPassedThrough(applyNonLinear, kColumn, c.params, c.phrase);
    const auto [empty, warning] = warned(applyNonLinear, MeshData{}, {.kind = NonLinearKind::Bend, .curvature = 1});
    EXPECT_EQ(empty.numVertices(), 0u);
    // Crossed bounds are put in order, with a warning.
    const auto [swapped, why] = warned(applyNonLinear, kColumn,
                                       {.kind = NonLinearKind::Twist, .lowBound = 1, .highBound = -1, .endAngle = 1});
    EXPECT_TRUE(mentions(why, "swapped"));
    EXPECT_FALSE(near(moved(swapped, 17), moved(kColumn, 17)));
}

TEST(Cluster, MovesPointsByTheHandleSinceBindWeighted) {
    // The handle moved by (1, 2, 0) since a bind at x = 5.
    ClusterParams p{.weights = {std::nullopt, 0.5f}, .matrix = translation(6, 2, 0), .bindPreMatrix = translation(-5, 0, 0)};
    MeshData out = applyCluster(kColumn, p, nullptr);
    EXPECT_TRUE(near(moved(out, 0), moved(kColumn, 0) + MeshVec{1, 2, 0}));
    EXPECT_TRUE(near(moved(out, 1), moved(kColumn, 1) + MeshVec{0.5, 1, 0}));
    // The shape scaled by 2 in world space: a world move of 1 is half a unit of its own.
    p.geomMatrix = scaling(2, 2, 2);
    p.envelope = 0.5;
    out = applyCluster(kColumn, p, nullptr);
    EXPECT_TRUE(near(moved(out, 0), moved(kColumn, 0) + MeshVec{0.25, 0.5, 0}));
    // Relative: the handle's own matrix alone, whatever its world matrix says.
    p = {.matrix = translation(100, 0, 0), .relative = true, .weightedMatrix = translation(0, 0, 1)};
    EXPECT_TRUE(near(moved(applyCluster(kColumn, p, nullptr), 4), moved(kColumn, 4) + MeshVec{0, 0, 1}));
    expectPassedThrough(applyCluster, kColumn, {.geomMatrix = scaling(0, 1, 1)}, "geomMatrix");
}

}  // namespace
