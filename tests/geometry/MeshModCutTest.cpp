// polyCut: the default cube split by planes through its middle, which part
// keeps each face, the uvs of the new corners, and the sides deleted or
// pulled apart.

#include "MeshTestUtil.h"

#include "mesh/MeshModCut.h"
#include "mesh/MeshValidate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace mayahost;
using namespace meshtest;

namespace {

// The highest and lowest of one coordinate over the corners of faces [first, last).
std::pair<double, double> spanOf(const MeshData& m, size_t first, size_t last, int axis) {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (size_t f = first; f < last; ++f)
        for (int32_t v : faceCorners(m, f)) {
            const double x = m.points[3 * size_t(v) + size_t(axis)];
            lo = std::min(lo, x), hi = std::max(hi, x);
        }
    return {lo, hi};
}

}  // namespace

TEST(MeshModCut, CubeThroughItsMiddle) {
    const double quarter = std::acos(0.0);
    struct Case {
        const char* name;
        PolyCutParams params;
        Shape shape;
        int axis;                       // along which the result's extent is checked
        std::pair<double, double> span;
    };
    const Case cases[] = {
        // Four sides split: a vertex on each of the four edges along Z, a cut edge per side.
        {"split", {}, {12, 10, 20}, 2, {-.5, .5}},
        // The part beyond z = 0 goes: an open box of half the height.
        {"delete", {.deleteFaces = true}, {8, 5, 12}, 2, {-.5, 0}},
        // Turned a quarter about X the normal is -Y: the top half stays.
        {"turned", {.cutPlaneRotate = {quarter, 0, 0}, .deleteFaces = true}, {8, 5, 12}, 1, {0, .5}},
        // In world space the cube sits 0.25 higher: the plane is at object z = -0.25.
        {"world", {.deleteFaces = true, .worldSpace = true, .inputMatrix = translation(0, 0, 0.25)}, {8, 5, 12}, 2, {-.5, -.25}},
        // The part beyond comes apart on vertices of its own, one unit up.
        {"extract", {.extractFaces = true, .extractOffset = {0, 0, 1}}, {16, 10, 24}, 2, {-.5, 1.5}},
        // Only the +X side is cut; its neighbours top and bottom take the new vertices as corners.
        {"one face", {.inputComponents = std::vector<std::string>{"f[4]"}}, {10, 7, 15}, 2, {-.5, .5}},
        {"plane misses", {.cutPlaneCenter = {0, 0, 2}, .deleteFaces = true}, {8, 6, 12}, 2, {-.5, .5}},
        // Wholly beyond, the listed top and front go though nothing is split.
        {"faces beyond", {.inputComponents = std::vector<std::string>{"f[0:1]"}, .cutPlaneCenter = {0, 0, -2}, .deleteFaces = true},
         {8, 4, 11}, 2, {-.5, .5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MeshData out = clean(applyPolyCut, makeCube(true, true), c.params);
        EXPECT_EQ(shape(out), c.shape);
        const auto [lo, hi] = spanOf(out, 0, out.numFaces(), c.axis);
        EXPECT_NEAR(lo, c.span.first, 1e-6);
        EXPECT_NEAR(hi, c.span.second, 1e-6);
    }
}

TEST(MeshModCut, SplitFacesKeepTheirPartBehindAndNewVerticesFollowTheEdges) {
    auto [out, warning] = warned(applyPolyCut, makeCube(true, true), PolyCutParams{});
    ASSERT_EQ(out.numFaces(), 10u);
    // The front stays whole; the four sides keep the part at z <= 0, their other parts follow.
    EXPECT_EQ(faceCorners(out, 0), (std::vector<int32_t>{0, 1, 3, 2}));
    EXPECT_LE(spanOf(out, 1, 6, 2).second, 1e-6);
    EXPECT_GE(spanOf(out, 6, 10, 2).first, -1e-6);
    // New vertices in the order of their edges: 3-5, 4-2, 7-1, 0-6.
    EXPECT_TRUE(near(pointOf(out, 8), {.5, .5, 0}));
    EXPECT_TRUE(near(pointOf(out, 9), {-.5, .5, 0}));
    EXPECT_TRUE(near(pointOf(out, 10), {.5, -.5, 0}));
    EXPECT_TRUE(near(pointOf(out, 11), {-.5, -.5, 0}));
    // Vertex 10 lies halfway along the bottom face's uv side (.625, .75)-(.625, 1)
    // and along the +X face's (.625, 0)-(.875, 0).
    std::set<std::pair<float, float>> uvs;
    const MeshUVSet& set = out.uvSets[0];
    for (size_t c = 0; c < out.numFaceVertices(); ++c)
        if (out.faceVertices[c] == 10) uvs.insert({set.u[size_t(set.faceVertexUV[c])], set.v[size_t(set.faceVertexUV[c])]});
    EXPECT_EQ(uvs, (std::set<std::pair<float, float>>{{.625f, .875f}, {.75f, 0.f}}));
}

TEST(MeshModCut, ConcaveFaceSplitsIntoEveryPieceAcrossThePlane) {
    // A U shape in z = 0 (prongs up), cut by y = 1.5: the two prongs' tips go beyond.
    const MeshData u = makeMesh({{0, 0, 0}, {3, 0, 0}, {3, 2, 0}, {2, 2, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}},
                                {{{0, 1, 2, 3, 4, 5, 6, 7}}}, true);
    const double quarter = std::acos(0.0);
    // Turned -90 degrees about X, +Z becomes +Y.
    const MeshData out = clean(applyPolyCut, u, {.cutPlaneCenter = {0, 1.5, 0}, .cutPlaneRotate = {-quarter, 0, 0}});
    EXPECT_EQ(shape(out), (Shape{12, 3, 14}));
    EXPECT_LE(spanOf(out, 0, 1, 1).second, 1.5 + 1e-6);
    EXPECT_GE(spanOf(out, 1, 3, 1).first, 1.5 - 1e-6);
}

TEST(MeshModCut, BadSettingsPassTheMeshThrough) {
    const PolyCutParams cases[] = {
        {.cutPlaneCenter = {kNaN, 0, 0}},
        {.cutPlaneRotate = {0, HUGE_VAL, 0}},
        {.inputComponents = std::vector<std::string>{"f[99]"}},
    };
    for (const PolyCutParams& p : cases) expectPassedThrough(applyPolyCut, makeCube(true, true), p);
}
