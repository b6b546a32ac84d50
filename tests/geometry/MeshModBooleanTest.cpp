// polyBoolOp: the volumes and shapes of unions, differences and
// intersections of boxes, checked against their closed forms; uvs across
// the cuts; inputs it cannot use.

#include "MeshTestUtil.h"

#include "base/Limits.h"
#include "mesh/MeshModBoolean.h"
#include "mesh/MeshValidate.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

using namespace mayahost;
using namespace meshtest;

namespace {

// The box [lo, hi] made from the default cube by its matrix.
UnionInput box(std::array<double, 3> lo, std::array<double, 3> hi, bool withUVs = false) {
    return {makeCube(false, withUVs), scaling(hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]) *
                                          translation((lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2)};
}

// Half the area vector of face f over all its loops (holes wind the other way).
MeshVec areaVector(const MeshData& m, size_t f) {
    MeshVec n;
    for (uint32_t l = m.faceLoopStart[f]; l < m.faceLoopStart[f + 1]; ++l)
        for (uint32_t c = m.loopStart[l]; c < m.loopStart[l + 1]; ++c) {
            const uint32_t next = c + 1 < m.loopStart[l + 1] ? c + 1 : m.loopStart[l];
            n += pointOf(m, size_t(m.faceVertices[c])).cross(pointOf(m, size_t(m.faceVertices[next])));
        }
    return n * 0.5;
}

// Volume enclosed by planar faces: a third of the sum of (a point of the face) . (its area vector).
double volume(const MeshData& m) {
    double v = 0;
    for (size_t f = 0; f < m.numFaces(); ++f)
        v += pointOf(m, size_t(m.faceVertices[m.loopStart[m.faceLoopStart[f]]])).dot(areaVector(m, f));
    return v / 3;
}

TEST(MeshModBoolean, BoxesGiveTheirVolumesAndClosedShapes) {
    using Op = BooleanOperation;
    struct Case {
        const char* name;
        UnionInput a, b;
        Op op;
        double volume;
        size_t vertices, faces, edges;  // 0: not checked
    };
    // A corner of one cube inside the other: a unit cube shared.
    const UnionInput big = box({0, 0, 0}, {2, 2, 2});
    const UnionInput corner = box({1, 1, 1}, {3, 3, 3});
    // A square bar through a cube: the difference is a cube with a square tunnel.
    const UnionInput block = box({0, 0, 0}, {3, 3, 3});
    const UnionInput bar = box({1, 1, -1}, {2, 2, 4});
    // Boxes sharing a face, and boxes sharing four face planes.
    const UnionInput left = box({0, 0, 0}, {1, 1, 1});
    const UnionInput right = box({1, 0, 0}, {2, 1, 1});
    const UnionInput slid = box({1, 0, 0}, {3, 2, 2});
    const Case cases[] = {
        // 7 kept corners of each cube, 6 points where edges pass through faces;
        // each cube's 3 faces at the shared corner notched, its other 3 whole.
        {"corner union", big, corner, Op::Union, 15, 20, 12, 30},
        // The cube less its corner: 7 corners, the other's corner inside, 6 cut points;
        // its 6 faces and the other's 3 faces inside it.
        {"corner difference", big, corner, Op::Difference, 7, 14, 9, 21},
        {"corner intersection", big, corner, Op::Intersection, 1, 8, 6, 12},
        // 8 corners and the bar's 8 points on the top and bottom; 4 whole sides,
        // top and bottom with a square hole each, 4 tunnel walls.
        {"tunnel", block, bar, Op::Difference, 24, 16, 10, 24},
        {"touching union", left, right, Op::Union, 2, 12, 10, 20},
        {"touching difference", left, right, Op::Difference, 1, 8, 6, 12},
        {"touching intersection", left, right, Op::Intersection, 0, 0, 0, 0},
        // Four faces of each box on the other's planes: plain boxes come out, the
        // other's corners on their sides not kept as corners.
        {"flush union", big, slid, Op::Union, 12, 12, 10, 20},
        {"flush difference", big, slid, Op::Difference, 4, 8, 6, 12},
        {"flush intersection", big, slid, Op::Intersection, 4, 8, 6, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string warning;
        std::vector<int32_t> from;
        const MeshData out = applyPolyBoolOp({.inputs = {c.a, c.b}, .operation = c.op}, &warning, &from);
        EXPECT_EQ(warning + meshDataError(out) + closedProblem(out), "");
        EXPECT_NEAR(volume(out), c.volume, 1e-5);
        if (c.faces) {
            EXPECT_EQ(shape(out), Shape(c.vertices, c.faces, c.edges));
        }
        ASSERT_EQ(from.size(), out.numFaces());
        EXPECT_TRUE(std::is_sorted(from.begin(), from.end())) << "the first input's faces come first";
    }
}

// A cube less a bar through it keeps its four uncut sides as the very quads
// it had (corners in the same order), and numbers the first input's faces first.
TEST(MeshModBoolean, UncutFacesStayWholeAndInOrder) {
    const MeshData out =
        applyPolyBoolOp({.inputs = {box({0, 0, 0}, {3, 3, 3}), box({1, 1, -1}, {2, 2, 4})}, .operation = BooleanOperation::Difference},
                        nullptr);
    ASSERT_EQ(out.numFaces(), 10u);
    const std::vector<std::vector<MeshVec>> sides = {
        {{0, 3, 3}, {3, 3, 3}, {3, 3, 0}, {0, 3, 0}},  // top (cube face 1)
        {{0, 0, 0}, {3, 0, 0}, {3, 0, 3}, {0, 0, 3}},  // bottom (3)
        {{3, 0, 3}, {3, 0, 0}, {3, 3, 0}, {3, 3, 3}},  // right (4)
        {{0, 0, 0}, {0, 0, 3}, {0, 3, 3}, {0, 3, 0}},  // left (5)
    };
    const size_t at[] = {1, 3, 4, 5};
    for (size_t k = 0; k < 4; ++k) {
        const std::vector<int32_t> loop = faceCorners(out, at[k]);
        ASSERT_EQ(loop.size(), 4u) << "face " << at[k];
        for (size_t c = 0; c < 4; ++c) EXPECT_TRUE(near(pointOf(out, size_t(loop[c])), sides[k][c], 1e-6)) << at[k] << " " << c;
    }
    for (size_t f : {0, 2}) EXPECT_EQ(out.faceLoopStart[f + 1] - out.faceLoopStart[f], 2u) << "face " << f << " has a hole";
    // The tunnel's walls face into it.
    for (size_t f = 6; f < 10; ++f) {
        const MeshVec n = areaVector(out, f);
        const MeshVec c = pointOf(out, size_t(faceCorners(out, f)[0]));
        EXPECT_LT(n.dot(c - MeshVec{1.5, 1.5, c.z}), 0) << "face " << f;
    }
}

// Corners keep their face's uvs: on each box face the default cube's layout
// is an affine map of the point, so every corner of a piece, cut points
// included, must carry that map's value at its point.
TEST(MeshModBoolean, CutCornersCarryTheirFacesUVs) {
    const MeshData cube = makeCube(false, true);
    std::vector<int32_t> from;
    const MeshData out = applyPolyBoolOp(
        {.inputs = {box({0, 0, 0}, {2, 2, 2}, true), box({1, 1, 1}, {3, 3, 3}, true)}, .operation = BooleanOperation::Union},
        nullptr, &from);
    ASSERT_EQ(out.uvSets.size(), 1u);
    ASSERT_EQ(from.size(), out.numFaces());
    const MeshUVSet& uv = out.uvSets[0];
    ASSERT_EQ(uv.faceVertexUV.size(), out.numFaceVertices());
    size_t checked = 0;
    for (size_t f = 0; f < out.numFaces(); ++f) {
        const MeshVec n = areaVector(out, f).normalized();
        size_t side = 0;
        while (side < 6 && n.dot(kCubeNormals[side]) < 0.99) ++side;
        ASSERT_LT(side, 6u);
        // The source face's corners as placed (scaled by 2, moved to 1 or 2) and their uvs.
        const std::vector<int32_t> src = faceCorners(cube, side);
        const double shift = from[f] == 0 ? 1 : 2;
        auto placed = [&](size_t c) { return pointOf(cube, size_t(src[c])) * 2 + MeshVec{shift, shift, shift}; };
        auto uvAt = [&](size_t c) {
            const int32_t id = cube.uvSets[0].faceVertexUV[cube.loopStart[side] + c];
            return std::pair<double, double>{cube.uvSets[0].u[size_t(id)], cube.uvSets[0].v[size_t(id)]};
        };
        const MeshVec o = placed(0), e1 = placed(1) - o, e3 = placed(3) - o;
        const std::vector<int32_t> loop = faceCorners(out, f);
        for (size_t c = 0; c < loop.size(); ++c) {
            const int32_t id = uv.faceVertexUV[out.loopStart[out.faceLoopStart[f]] + c];
            ASSERT_GE(id, 0);
            const MeshVec d = pointOf(out, size_t(loop[c])) - o;
            const double s = d.dot(e1) / e1.dot(e1), t = d.dot(e3) / e3.dot(e3);
            EXPECT_NEAR(uv.u[size_t(id)], uvAt(0).first + s * (uvAt(1).first - uvAt(0).first) + t * (uvAt(3).first - uvAt(0).first),
                        1e-5)
                << "face " << f << " corner " << c;
            EXPECT_NEAR(uv.v[size_t(id)],
                        uvAt(0).second + s * (uvAt(1).second - uvAt(0).second) + t * (uvAt(3).second - uvAt(0).second), 1e-5)
                << "face " << f << " corner " << c;
            ++checked;
        }
    }
    EXPECT_GT(checked, 48u);
}

TEST(MeshModBoolean, UnusableInputsPassTheFirstOn) {
    MeshData open = makeCube(false, false);
    open.faceLoopStart.pop_back();  // the last face gone: a box without a lid
    open.loopStart.pop_back();
    open.faceVertices.resize(20);
    struct Case {
        const char* name;
        PolyBoolOpParams params;
        const char* reason;
    };
    const Case cases[] = {
        {"open input", {.inputs = {box({0, 0, 0}, {2, 2, 2}), {open, translation(1, 1, 1)}}}, "not a closed surface"},
        {"one input", {.inputs = {box({0, 0, 0}, {2, 2, 2})}}, "needs two inputs"},
        {"unknown operation", {.inputs = {box({0, 0, 0}, {2, 2, 2}), box({1, 1, 1}, {3, 3, 3})}, .operation = BooleanOperation(7)},
         "operation 7"},
        {"work bound", {.inputs = {box({0, 0, 0}, {2, 2, 2}), box({1, 1, 1}, {3, 3, 3})}}, "more than 50 steps"},
    };
    Limits few = limits();
    few.maxBooleanWork = 50;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string warning;
        std::optional<ScopedLimits> bound;
        if (mentions(c.reason, "steps")) bound.emplace(few);
        const MeshData out = applyPolyBoolOp(c.params, &warning);
        EXPECT_TRUE(mentions(warning, c.reason)) << warning;
        EXPECT_TRUE(mentions(warning, "first input is passed on")) << warning;
        EXPECT_EQ(out.numFaces(), 6u);
        EXPECT_NEAR(volume(out), 8, 1e-5) << "the first box, placed";
    }
}

}  // namespace
