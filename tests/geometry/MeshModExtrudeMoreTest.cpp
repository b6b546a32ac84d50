// polyExtrudeEdge, polyChipOff and polyExtrudeVertex.

#include "mesh/MeshModifiers.h"
#include "mesh/MeshValidate.h"
#include "mesh/PolyCreators.h"

#include "MeshTestUtil.h"

#include <gtest/gtest.h>

#include <set>

using namespace mayahost;
using namespace meshtest;

namespace {

// A 2 x 1 plane facing +Y: faces 0 and 1 share edge 1-4.
const MeshData kStrip = makePolyPlane({.subdivisionsWidth = 2, .subdivisionsHeight = 1});

// Edges with exactly one end in `ends`, as sorted ids.
std::set<int32_t> edgesTouching(const MeshData& m, const std::set<int32_t>& ends) {
    std::set<int32_t> out;
    for (size_t e = 0; e < m.numEdges(); ++e)
        if (ends.count(m.edges[2 * e]) + ends.count(m.edges[2 * e + 1]) == 1) out.insert(int32_t(e));
    return out;
}

// --- polyExtrudeEdge ----------------------------------------------------------

TEST(PolyExtrudeEdge, CountsFollowChainsAndDivisions) {
    const struct {
        const char* name;
        PolyExtrudeEdgeParams params;
        Shape shape;
    } cases[] = {
        {"one border edge", {.inputComponents = list({"e[0]"})}, {8, 3, 10}},
        {"a chain of two", {.inputComponents = list({"e[0]", "e[2]"})}, {9, 4, 12}},
        {"two apart", {.inputComponents = list({"e[0]", "e[2]"}), .keepFacesTogether = false}, {10, 4, 13}},
        {"two divisions", {.inputComponents = list({"e[0]"}), .divisions = 2}, {10, 4, 13}},
        {"an inner edge", {.inputComponents = list({"e[1]"})}, {8, 3, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MeshData out = clean(applyPolyExtrudeEdge, kStrip, c.params);
        EXPECT_EQ(shape(out), c.shape);
        EXPECT_EQ(Ids(out.edges.begin(), out.edges.begin() + long(kStrip.edges.size())), kStrip.edges);
    }
}

TEST(PolyExtrudeEdge, NewFaceTurnsWithItsNeighbourAndMovesInTheEdgeFrame) {
    // Edge 0 runs 0->1 along -Z's border (z = .5); face 0 walks it 0->1.
    const Ids e0(kStrip.edges.begin(), kStrip.edges.begin() + 2);
    const MeshVec a = pointOf(kStrip, size_t(e0[0])), b = pointOf(kStrip, size_t(e0[1]));
    const struct {
        const char* name;
        PolyMoveParams move;
        MeshVec shift;   // where the copy of the edge moves
    } cases[] = {
        {"thickness grows the surface outward", {.thickness = 1}, {0, 0, 1}},
        {"local translate z likewise", {.localTranslate = {0, 0, 2}}, {0, 0, 2}},
        {"world translate", {.translate = {0, 3, 0}}, {0, 3, 0}},
    };
    for (const auto& c : cases) {
        const MeshData out = applyPolyExtrudeEdge(kStrip, {.inputComponents = list({"e[0]"}), .move = c.move}, nullptr);
        ASSERT_EQ(out.numFaces(), 3u) << c.name;
        EXPECT_TRUE(near(pointOf(out, 6), a + c.shift)) << c.name;
        EXPECT_TRUE(near(pointOf(out, 7), b + c.shift)) << c.name;
        EXPECT_EQ(faceCorners(out, 2), (Ids{e0[1], e0[0], 6, 7})) << c.name;
    }
    // Offset draws the copy's ends in.
    const MeshData inset = applyPolyExtrudeEdge(kStrip, {.inputComponents = list({"e[0]"}), .move = {.thickness = 1, .offset = 0.1}}, nullptr);
    EXPECT_NEAR((pointOf(inset, 7) - pointOf(inset, 6)).length(), (b - a).length() - 0.2, 1e-6);
    // The copied edge keeps its source's flag, the joins of a flat extrusion are soft.
    EXPECT_EQ(std::vector<uint8_t>(inset.edgeSmooth.begin() + 7, inset.edgeSmooth.end()),
              (std::vector<uint8_t>{1, kStrip.edgeSmooth[0], 1}));
}

TEST(PolyExtrudeEdge, BadInputWarnsAndKeepsTheMesh) {
    for (const PolyExtrudeEdgeParams& bad : {PolyExtrudeEdgeParams{.divisions = 0},
                                            PolyExtrudeEdgeParams{.inputComponents = list({"e[99]"})},
                                            PolyExtrudeEdgeParams{.inputComponents = list({"e[0]"}), .divisions = 1000000000}})
        expectPassedThrough(applyPolyExtrudeEdge, kStrip, bad);
    EXPECT_EQ(shape(applyPolyExtrudeEdge(kStrip, {.inputComponents = list({})}, nullptr)), shape(kStrip));
}

// --- polyChipOff ----------------------------------------------------------------

TEST(PolyChipOff, DuplicateAppendsCopiesElseFacesLeaveTheirVertices) {
    const MeshData cube = makeCube(true, true);
    const struct {
        const char* name;
        PolyChipOffParams params;
        Shape shape;
    } cases[] = {
        {"copy of one", {.inputComponents = list({"f[1]"})}, {12, 7, 16}},
        {"copy of two together", {.inputComponents = list({"f[0:1]"})}, {14, 8, 19}},
        {"copy of two apart", {.inputComponents = list({"f[0:1]"}), .keepFacesTogether = false}, {16, 8, 20}},
        {"one moved off", {.inputComponents = list({"f[1]"}), .duplicate = false}, {12, 6, 16}},
        {"the whole shell moved off", {.duplicate = false}, {8, 6, 12}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(shape(clean(applyPolyChipOff, cube, c.params)), c.shape);
    }
    // The copy of face 1 walks new vertices 8.. in its order, with face 1's uvs.
    const MeshData copy = applyPolyChipOff(cube, {.inputComponents = list({"f[1]"}), .move = {.localTranslate = {0, 0, 1}}}, nullptr);
    EXPECT_EQ(faceCorners(copy, 6), (Ids{8, 9, 10, 11}));
    EXPECT_EQ(Ids(copy.uvSets[0].faceVertexUV.begin() + 24, copy.uvSets[0].faceVertexUV.end()),
              Ids(cube.uvSets[0].faceVertexUV.begin() + 4, cube.uvSets[0].faceVertexUV.begin() + 8));
    EXPECT_TRUE(near(pointOf(copy, 8), {-.5, 1.5, .5}));
    // Moved off, face 1 keeps its id; its old corners stay for the faces around.
    const MeshData off = applyPolyChipOff(cube, {.inputComponents = list({"f[1]"}), .duplicate = false,
                                                 .move = {.offset = 0.25}}, nullptr);
    EXPECT_EQ(faceCorners(off, 1), (Ids{8, 9, 10, 11}));
    EXPECT_TRUE(near(pointOf(off, 8), {-.5 + .25 / std::sqrt(2.0), .5, .5 - .25 / std::sqrt(2.0)}));
    expectPassedThrough(applyPolyChipOff, cube, {.inputComponents = list({"f[6]"})});
}

// --- polyExtrudeVertex -------------------------------------------------------

TEST(PolyExtrudeVertex, SplitsEveryEdgeAroundAndCutsEachCorner) {
    const struct {
        const char* name;
        PolyExtrudeVertexParams params;
        Shape shape;
    } cases[] = {
        // A cube corner: three edges split, three faces cut, three triangles.
        {"a corner", {.inputComponents = list({"vtx[0]"}), .width = .25, .length = 1}, {11, 9, 18}},
        {"two divisions", {.inputComponents = list({"vtx[0]"}), .width = .25, .divisions = 2}, {14, 12, 24}},
        {"both ends of an edge", {.inputComponents = list({"vtx[0:1]"}), .width = .25}, {14, 12, 24}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(shape(clean(applyPolyExtrudeVertex, kCube, c.params)), c.shape);
    }
    // The tip rises along the corner's normal; the cuts sit a quarter along the edges.
    const MeshData spike = applyPolyExtrudeVertex(kCube, {.inputComponents = list({"vtx[0]"}), .width = .25, .length = 1}, nullptr);
    EXPECT_TRUE(near(pointOf(spike, 0), MeshVec{-.5, -.5, .5} + MeshVec{-1, -1, 1}.normalized(), 1e-6));
    EXPECT_TRUE(near(pointOf(spike, 8), {-.25, -.5, .5}));   // on edge 0 (0-1)
    // Bad lists and values leave the mesh.
    for (const PolyExtrudeVertexParams& bad :
         {PolyExtrudeVertexParams{.inputComponents = list({"vtx[8]"})},
          PolyExtrudeVertexParams{.inputComponents = list({"vtx[0]"}), .length = kNaN}})
        expectPassedThrough(applyPolyExtrudeVertex, kCube, bad);
}

// Maya's chamfer of a vertex is this node at length 0 followed by a
// deleteComponent of the edges from each corner to its cuts; a scene made so
// (a 5 x 5 x 5 cube, four corners) names those edges, which pins the numbering.
TEST(PolyExtrudeVertex, EdgeNumberingMatchesWhatAChamferDeletes) {
    const MeshData cube = makePolyCube({.subdivisionsWidth = 5, .subdivisionsHeight = 5, .subdivisionsDepth = 5});
    const MeshData out = applyPolyExtrudeVertex(
        cube, {.inputComponents = list({"vtx[30]", "vtx[35]", "vtx[60]", "vtx[65]"}), .width = .25}, nullptr);
    EXPECT_EQ(edgesTouching(out, {30, 35, 60, 65}),
              (std::set<int32_t>{25, 50, 130, 135, 160, 165, 301, 303, 304, 305, 308, 309}));
}

}  // namespace
