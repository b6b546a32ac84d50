// polyMirror, polyBridgeEdge and polyCircularize: where the new components go
// and how they are numbered, and the circles loops become.

#include "MeshTestUtil.h"

#include "mesh/MeshModMirror.h"
#include "mesh/MeshValidate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

using namespace mayahost;
using namespace meshtest;

namespace {

MeshData strip(double x0 = -2) { return twoQuads(x0, true); }

// Edges walked by one face only.
size_t borderEdges(const MeshData& m) {
    std::map<std::pair<int32_t, int32_t>, int> walks;
    for (const auto& f : faceLoops(m))
        for (size_t i = 0; i < f.size(); ++i) ++walks[std::minmax(f[i], f[(i + 1) % f.size()])];
    size_t n = 0;
    for (const auto& [key, count] : walks) n += count == 1;
    return n;
}

TEST(MeshModMirror, CopyNumberingMergeAndBridge) {
    const double quarter = std::acos(0.0);
    struct Case {
        const char* name;
        MeshData mesh;
        PolyMirrorParams params;
        Shape shape;
        size_t face;
        std::vector<int32_t> corners;
        size_t vertex;
        MeshVec point;
    };
    const Case cases[] = {
        // The copy follows the original, each face reversed keeping its first corner.
        {"no merge", strip(), {.mergeMode = 0}, {12, 4, 14}, 2, {6, 9, 10, 7}, 6, {2, 0, 0}},
        // The copies of 2 and 5 merge into them; later ids close up.
        {"merge", strip(), {}, {10, 4, 13}, 3, {7, 9, 5, 2}, 2, {0, 0, 0}},
        {"merge (mode 3)", strip(), {.mergeMode = 3}, {10, 4, 13}, 3, {7, 9, 5, 2}, 2, {0, 0, 0}},
        // A quad per border edge (ids rising), walked against its face.
        {"bridge", strip(), {.mergeMode = 2}, {12, 10, 20}, 4, {1, 0, 6, 7}, 7, {1, 0, 0}},
        // The box's far side on the negative axis.
        {"bounding box", strip(), {.axisDirection = 0, .mirrorAxis = 0, .mergeMode = 0}, {12, 4, 14}, 2, {6, 9, 10, 7}, 8, {-4, 0, 0}},
        {"position", strip(), {.mirrorPosition = 0.5, .mergeMode = 0}, {12, 4, 14}, 2, {6, 9, 10, 7}, 8, {1, 0, 0}},
        // World x = 0 is object x = -1.
        {"world", strip(), {.mergeMode = 0, .worldSpace = true, .inputMatrix = translation(1, 0, 0)}, {12, 4, 14}, 2, {6, 9, 10, 7}, 8, {-2, 0, 0}},
        {"object ignores world", strip(), {.mirrorAxis = 1, .mergeMode = 0, .worldSpace = true, .inputMatrix = translation(1, 0, 0)},
         {12, 4, 14}, 2, {6, 9, 10, 7}, 8, {0, 0, 0}},
        {"older direction -X and pivot", strip(), {.pivot = std::array<double, 3>{-2, 0, 0}, .direction = 1, .mergeMode = 0},
         {12, 4, 14}, 2, {6, 9, 10, 7}, 8, {-4, 0, 0}},
        {"plane turned onto Y", strip(), {.mirrorPlaneRotate = {0, 0, quarter}, .mergeMode = 0}, {12, 4, 14}, 2, {6, 9, 10, 7}, 9, {-2, -1, 0}},
        // The second quad is cut at x = 0 on two new vertices (4, 5), which then merge with their copies.
        {"cut", strip(-1.5), {.cutMesh = true}, {10, 4, 13}, 1, {1, 4, 5, 3}, 4, {0, 0, 0}},
        {"only listed faces", strip(), {.inputComponents = std::vector<std::string>{"f[1]"}, .mergeMode = 0}, {10, 3, 11}, 2, {6, 8, 9, 7}, 6, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MeshData out = clean(applyPolyMirror, c.mesh, c.params);
        EXPECT_EQ(shape(out), c.shape);
        ASSERT_LT(c.face, out.numFaces());
        EXPECT_EQ(faceCorners(out, c.face), c.corners);
        ASSERT_LT(c.vertex, out.numVertices());
        EXPECT_TRUE(near(pointOf(out, c.vertex), c.point, 1e-5));
        // Reflected and reversed, every face still faces +z.
        for (size_t f = 0; f < out.numFaces() && c.params.mergeMode != 2; ++f) EXPECT_GT(newell(out, f).z, 0) << f;
    }
}

TEST(MeshModMirror, SeamClosesAndUvsFollowTheCopy) {
    auto [merged, w1] = warned(applyPolyMirror, strip(), PolyMirrorParams{});
    EXPECT_EQ(borderEdges(merged), 10u);  // 6 + 6 less the two halves of the seam
    EXPECT_EQ(merged.uvSets[0].u.size(), 10u);
    // Flipped about the copy's own uv box: u -> 1 - u, in ids appended after the original's.
    auto [flipped, w2] = warned(applyPolyMirror, strip(), PolyMirrorParams{.mergeMode = 0, .flipUVs = 1});
    ASSERT_EQ(flipped.uvSets[0].u.size(), 12u);
    EXPECT_EQ(flipped.uvSets[0].faceVertexUV[8], 6);
    EXPECT_FLOAT_EQ(flipped.uvSets[0].u[6], 1.0f);
    EXPECT_FLOAT_EQ(flipped.uvSets[0].u[8], 0.0f);
    // A custom threshold smaller than the gap leaves the seam open.
    auto [apart, w3] = warned(applyPolyMirror, strip(-2.1), PolyMirrorParams{.mergeThresholdType = 1, .mergeThreshold = 0.1});
    EXPECT_EQ(apart.numVertices(), 12u);
    auto [closed, w4] = warned(applyPolyMirror, strip(-2.1), PolyMirrorParams{.mergeThresholdType = 1, .mergeThreshold = 0.3});
    EXPECT_EQ(closed.numVertices(), 10u);
    EXPECT_EQ(w1 + w2 + w3 + w4, "");
}

TEST(MeshModMirror, BadSettingsWarnAndLeaveAConsistentMesh) {
    const std::pair<const char*, PolyMirrorParams> cases[] = {
        {"NaN position", {.mirrorPosition = kNaN}},
        {"axis 7", {.axis = 7}},
        {"face beyond the mesh", {.inputComponents = std::vector<std::string>{"f[99]"}}},
        {"singular world", {.worldSpace = true, .inputMatrix = scaling(kNaN, 1, 1)}},
        {"merge mode 9", {.mergeMode = 9}},
    };
    for (const auto& [name, params] : cases) {
        SCOPED_TRACE(name);
        auto [out, warning] = warned(applyPolyMirror, strip(), params);
        EXPECT_NE(warning, "");
        EXPECT_EQ(meshDataError(out), "");
    }
    std::string warning;
    EXPECT_EQ(applyPolyMirror(MeshData{}, {}, &warning).numFaces(), 0u);
}

// Two strips in z = 0: A at y 0..1 (vertices 0..5), B from y = 3 (6..11), B
// turned up into z when `upright`. A's top border is e[2] e[6], B's bottom e[7] e[11].
MeshData twoStrips(bool upright = false) {
    std::vector<MeshVec> p;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) p.push_back({double(x), double(y), 0});
    for (int r = 0; r < 2; ++r)
        for (int x = 0; x < 3; ++x) p.push_back({double(x), upright ? 3.0 : 3.0 + r, upright ? double(r) : 0.0});
    return makeMesh(p, {{{0, 1, 4, 3}}, {{1, 2, 5, 4}}, {{6, 7, 10, 9}}, {{7, 8, 11, 10}}}, true);
}

const std::vector<std::string> kBorders{"e[2]", "e[6]", "e[7]", "e[11]"};

TEST(MeshModBridgeEdge, RowsFacesAndShape) {
    const double pi = std::acos(-1.0);
    struct Case {
        const char* name;
        MeshData mesh;
        PolyBridgeEdgeParams params;
        Shape shape;
        std::vector<std::vector<int32_t>> newFaces;  // from face 4 on
        size_t vertex;
        MeshVec point;
    };
    const Case cases[] = {
        {"one row", twoStrips(), {.inputComponents = kBorders, .divisions = 0}, {12, 6, 17}, {{4, 5, 8, 7}, {3, 4, 7, 6}}, 7, {1, 3, 0}},
        {"two rows", twoStrips(), {.inputComponents = kBorders}, {15, 8, 22},
         {{4, 5, 12, 13}, {3, 4, 13, 14}, {13, 12, 8, 7}, {14, 13, 7, 6}}, 12, {2, 2, 0}},
        {"taper to a point", twoStrips(), {.inputComponents = kBorders, .taper = 0}, {15, 8, 22}, {}, 12, {1, 2, 0}},
        {"half a turn", twoStrips(), {.inputComponents = kBorders, .twist = pi}, {15, 8, 22}, {}, 12, {0, 2, 0}},
        {"reversed turn", twoStrips(), {.inputComponents = kBorders, .twist = pi / 2, .reverse = true}, {15, 8, 22}, {}, 12, {1, 2, 1}},
        // Each side leaves along its faces: up out of A, down out of the upright B.
        {"blend", twoStrips(true), {.inputComponents = kBorders, .curveType = 1}, {15, 8, 22}, {}, 13, {1, 2.25, -0.25}},
        {"linear", twoStrips(true), {.inputComponents = kBorders}, {15, 8, 22}, {}, 13, {1, 2, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MeshData out = clean(applyPolyBridgeEdge, c.mesh, c.params);
        EXPECT_EQ(shape(out), c.shape);
        for (size_t i = 0; i < c.newFaces.size() && 4 + i < out.numFaces(); ++i) EXPECT_EQ(faceCorners(out, 4 + i), c.newFaces[i]);
        ASSERT_LT(c.vertex, out.numVertices());
        EXPECT_TRUE(near(pointOf(out, c.vertex), c.point, 1e-5));
    }
}

TEST(MeshModBridgeEdge, LoopsStartWhereToldAndShiftByTheOffset) {
    // The cube without top and bottom: a tube whose two border loops are bridged.
    const MeshData tube = makeMesh({{-.5, -.5, .5}, {.5, -.5, .5}, {-.5, .5, .5}, {.5, .5, .5}, {-.5, .5, -.5}, {.5, .5, -.5}, {-.5, -.5, -.5}, {.5, -.5, -.5}},
                    {{{0, 1, 3, 2}}, {{4, 5, 7, 6}}, {{1, 7, 5, 3}}, {{6, 0, 2, 4}}}, true);
    PolyBridgeEdgeParams params{.inputComponents = std::vector<std::string>{"e[2]", "e[9]", "e[4]", "e[11]", "e[0]", "e[8]", "e[6]", "e[10]"},
                                .divisions = 0};
    auto [plain, w1] = warned(applyPolyBridgeEdge, tube, params);
    params.bridgeOffset = 1;
    auto [shifted, w2] = warned(applyPolyBridgeEdge, tube, params);
    EXPECT_EQ(w1 + w2, "");
    ASSERT_EQ(plain.numFaces(), 8u);
    ASSERT_EQ(shifted.numFaces(), 8u);
    EXPECT_EQ(faceCorners(shifted, 4)[2], faceCorners(plain, 5)[2]);
    EXPECT_EQ(faceCorners(shifted, 4)[0], faceCorners(plain, 4)[0]);
    params.bridgeOffset = 0;
    params.startVert1 = faceCorners(plain, 5)[1];
    auto [moved, w3] = warned(applyPolyBridgeEdge, tube, params);
    EXPECT_EQ(faceCorners(moved, 4)[1], params.startVert1);
    EXPECT_EQ(meshDataError(moved), "");
}

TEST(MeshModBridgeEdge, EdgesThatCannotBeBridgedPassThrough) {
    const std::pair<const char*, PolyBridgeEdgeParams> cases[] = {
        {"one chain", {.inputComponents = std::vector<std::string>{"e[2]", "e[6]"}}},
        {"inner edge", {.inputComponents = std::vector<std::string>{"e[1]", "e[7]"}}},
        {"uneven chains", {.inputComponents = std::vector<std::string>{"e[2]", "e[6]", "e[7]"}}},
        {"edge beyond the mesh", {.inputComponents = std::vector<std::string>{"e[99]"}}},
        {"negative divisions", {.inputComponents = kBorders, .divisions = -1}},
        {"NaN taper", {.inputComponents = kBorders, .taper = kNaN}},
    };
    for (const auto& [name, params] : cases) {
        SCOPED_TRACE(name);
        expectPassedThrough(applyPolyBridgeEdge, twoStrips(), params);
    }
}

// A prism on a regular octagon (vertices 0..7, y = 0) whose top (8..15) is
// uneven: radii, angles and heights vary. Faces: the sides, the top (8), the bottom (9).
MeshData unevenPrism() {
    std::vector<MeshVec> pts;
    const double step = 2 * std::acos(-1.0) / 8;
    for (int i = 0; i < 8; ++i) pts.push_back({std::cos(step * i), 0, std::sin(step * i)});
    for (int i = 0; i < 8; ++i) {
        const double r = 1 + 0.2 * std::sin(3.0 * i), a = step * i + 0.1 * std::cos(double(i));
        pts.push_back({r * std::cos(a), 1 + 0.05 * (i % 2), r * std::sin(a)});
    }
    std::vector<Face> faces;
    for (int32_t i = 0; i < 8; ++i) faces.push_back({{i, (i + 1) % 8, 8 + (i + 1) % 8, 8 + i}});
    faces.push_back({{8, 9, 10, 11, 12, 13, 14, 15}});
    faces.push_back({{7, 6, 5, 4, 3, 2, 1, 0}});
    return makeMesh(pts, faces, true);
}

// Points first..first+7 as a loop: their centre, radii, chords and distance from their plane.
struct Loop {
    MeshVec centre;
    double minRadius = HUGE_VAL, maxRadius = 0, minChord = HUGE_VAL, maxChord = 0, offPlane = 0;
};
Loop loopOf(const MeshData& m, int32_t first) {
    Loop l;
    for (int32_t i = 0; i < 8; ++i) l.centre += pointOf(m, size_t(first + i)) * 0.125;
    MeshVec n;
    for (int32_t i = 0; i < 8; ++i)
        n += (pointOf(m, size_t(first + i)) - l.centre).cross(pointOf(m, size_t(first + (i + 1) % 8)) - l.centre);
    n = n.normalized();
    for (int32_t i = 0; i < 8; ++i) {
        const MeshVec d = pointOf(m, size_t(first + i)) - l.centre;
        const double chord = (pointOf(m, size_t(first + (i + 1) % 8)) - pointOf(m, size_t(first + i))).length();
        l.minRadius = std::min(l.minRadius, d.length()), l.maxRadius = std::max(l.maxRadius, d.length());
        l.minChord = std::min(l.minChord, chord), l.maxChord = std::max(l.maxChord, chord);
        l.offPlane = std::max(l.offPlane, std::fabs(d.dot(n)));
    }
    return l;
}

TEST(MeshModCircularize, TheTopBecomesAnEvenCircle) {
    const MeshData prism = unevenPrism();
    std::vector<std::string> topEdges;
    for (size_t e = 0; e < prism.numEdges(); ++e)
        if (prism.edges[2 * e] >= 8 && prism.edges[2 * e + 1] >= 8) topEdges.push_back("e[" + std::to_string(e) + "]");
    const MeshData plain = applyPolyCircularize(prism, {.inputComponents = std::vector<std::string>{"f[8]"}}, nullptr);
    const Loop base = loopOf(plain, 8);
    struct Case {
        const char* name;
        PolyCircularizeParams params;
        Shape shape;
        int32_t circle;         // first vertex of the circle
        double radius;          // its radius against the plain one's
        double turn;            // angle of each point from the plain one's
    };
    const Case cases[] = {
        {"face", {.inputComponents = std::vector<std::string>{"f[8]"}}, {16, 10, 24}, 8, 0, 0},
        {"edges", {.inputComponents = topEdges}, {16, 10, 24}, 8, 0, 0},
        {"offset", {.inputComponents = std::vector<std::string>{"f[8]"}, .radialOffset = 0.25}, {16, 10, 24}, 8, 0.25, 0},
        {"twist", {.inputComponents = std::vector<std::string>{"f[8]"}, .twist = 0.3}, {16, 10, 24}, 8, 0, 0.3},
        // The top is lifted onto new vertices 16..23, the old ones stay as its support.
        {"supporting edges", {.inputComponents = std::vector<std::string>{"f[8]"}, .supportingEdges = true}, {24, 18, 40}, 16, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MeshData out = clean(applyPolyCircularize, prism, c.params);
        EXPECT_EQ(shape(out), c.shape);
        const Loop l = loopOf(out, c.circle);
        EXPECT_NEAR(l.maxRadius - l.minRadius, 0, 1e-5);
        EXPECT_NEAR(l.maxChord - l.minChord, 0, 1e-5);
        EXPECT_LT(l.offPlane, 1e-5);
        EXPECT_TRUE(near(l.centre, base.centre, 1e-5));
        EXPECT_NEAR(l.minRadius, base.minRadius + c.radius, 1e-5);
        for (int32_t i = 0; i < 8; ++i) {
            const MeshVec a = (pointOf(plain, size_t(8 + i)) - base.centre).normalized();
            const MeshVec b = (pointOf(out, size_t(c.circle + i)) - l.centre).normalized();
            EXPECT_NEAR(std::acos(std::clamp(a.dot(b), -1.0, 1.0)), c.turn, 1e-4);
        }
        // The bottom, and the old top under supporting edges, stay.
        for (size_t v = 0; v < size_t(c.circle); ++v) {
            if (v < 8 || c.circle == 16) {
                EXPECT_TRUE(near(pointOf(out, v), pointOf(prism, v))) << v;
            }
        }
    }
    // Not evenly distributed, each point keeps its angle on the same circle.
    const MeshData own = applyPolyCircularize(prism, {.inputComponents = std::vector<std::string>{"f[8]"}, .evenlyDistribute = false}, nullptr);
    for (int32_t i = 0; i < 8; ++i) EXPECT_NEAR((pointOf(own, size_t(8 + i)) - base.centre).length(), base.minRadius, 1e-5);
    EXPECT_GT(loopOf(own, 8).maxChord - loopOf(own, 8).minChord, 0.01);
}

TEST(MeshModCircularize, WhatCannotBeRoundedStays) {
    const std::pair<const char*, PolyCircularizeParams> cases[] = {
        {"open chain", {.inputComponents = std::vector<std::string>{"e[0]"}}},
        {"NaN twist", {.twist = kNaN}},
        {"face beyond the mesh", {.inputComponents = std::vector<std::string>{"f[99]"}}},
        {"vertices", {.inputComponents = std::vector<std::string>{"vtx[0]"}}},
    };
    for (const auto& [name, params] : cases) {
        SCOPED_TRACE(name);
        expectPassedThrough(applyPolyCircularize, unevenPrism(), params);
    }
}

}  // namespace

