// polyMergeVert, polySplitEdge, polyDelEdge, deleteComponent's edges and
// vertices, polySeparate: what survives and how the rest is renumbered.

#include "MeshTestUtil.h"

#include "mesh/MeshModifiers.h"
#include "mesh/MeshValidate.h"

#include <gtest/gtest.h>


using namespace mayahost;
using namespace meshtest;

namespace {

// Two quads side by side, each with its own vertices: 1-2 and 4-7 coincide.
MeshData twoLooseQuads() {
    return makeMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}},
                    {{{0, 1, 2, 3}}, {{4, 5, 6, 7}}}, true);
}

// A 2 x 2 grid of quads round vertex 4.
MeshData grid() {
    std::vector<MeshVec> p;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) p.push_back({double(x), double(y), 0});
    return makeMesh(p, {{{0, 1, 4, 3}}, {{1, 2, 5, 4}}, {{3, 4, 7, 6}}, {{4, 5, 8, 7}}}, true);
}

std::vector<int32_t> faceOf(const MeshData& m, size_t f) {
    return {m.faceVertices.begin() + m.loopStart[m.faceLoopStart[f]], m.faceVertices.begin() + m.loopStart[m.faceLoopStart[f] + 1]};
}

TEST(MeshModMerge, PolyMergeVertSurvivorsAndRenumbering) {
    struct Case {
        const char* name;
        MeshData mesh;
        PolyMergeVertParams params;
        Shape shape;
        std::vector<int32_t> lastFace;
        bool warns;
    };
    MeshData spread = twoLooseQuads();
    spread.points[3 * 4] = 1.05f;  // vertex 4 now 0.05 from vertex 1
    MeshData triangle = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{{0, 1, 2}}, {{1, 3, 2}}}, true);
    const Case cases[] = {
        {"coincident", twoLooseQuads(), {}, {6, 2, 7}, {1, 4, 5, 2}, false},
        {"listed only", twoLooseQuads(), {.inputComponents = std::vector<std::string>{"vtx[2]", "vtx[7]"}}, {7, 2, 8}, {4, 5, 6, 2}, false},
        {"beyond distance", spread, {.distance = 0.01}, {7, 2, 8}, {4, 5, 6, 2}, false},
        {"within distance", spread, {.distance = 0.1}, {6, 2, 7}, {1, 4, 5, 2}, false},
        {"two always", twoLooseQuads(),
         {.inputComponents = std::vector<std::string>{"vtx[0]", "vtx[5]"}, .alwaysMergeTwoVertices = true}, {7, 2, 8}, {4, 0, 5, 6}, false},
        {"collapsed face", triangle, {.inputComponents = std::vector<std::string>{"vtx[0:1]"}, .alwaysMergeTwoVertices = true}, {3, 1, 3}, {0, 2, 1}, true},
        {"index out of range", twoLooseQuads(), {.inputComponents = std::vector<std::string>{"vtx[99]"}}, {8, 2, 8}, {4, 5, 6, 7}, true},
        {"nan distance", twoLooseQuads(), {.distance = kNaN}, {8, 2, 8}, {4, 5, 6, 7}, true},
        {"empty selection", twoLooseQuads(), {.inputComponents = std::vector<std::string>{}}, {8, 2, 8}, {4, 5, 6, 7}, false},
    };
    for (const Case& c : cases) {
        std::string warning;
        const MeshData out = applyPolyMergeVert(c.mesh, c.params, &warning);
        EXPECT_EQ(meshDataError(out), "") << c.name;
        EXPECT_EQ(shape(out), c.shape) << c.name;
        EXPECT_EQ(faceOf(out, out.numFaces() - 1), c.lastFace) << c.name;
        EXPECT_EQ(!warning.empty(), c.warns) << c.name << ": " << warning;
    }
}

TEST(MeshModMerge, PolyMergeVertPositionsAndUVs) {
    MeshData two = twoLooseQuads();
    std::string warning;
    // Two far vertices meet halfway; mergeToComponents sends them onto its centre.
    MeshData mid = applyPolyMergeVert(two, {.inputComponents = std::vector<std::string>{"vtx[0]", "vtx[5]"}, .alwaysMergeTwoVertices = true}, &warning);
    EXPECT_FLOAT_EQ(mid.points[0], 1.0f);
    MeshData onto = applyPolyMergeVert(two, {.inputComponents = std::vector<std::string>{"vtx[0]", "vtx[5]"}, .mergeToComponents = "vtx[6]"}, &warning);
    EXPECT_FLOAT_EQ(onto.points[0], 2.0f);
    EXPECT_FLOAT_EQ(onto.points[1], 1.0f);
    EXPECT_EQ(warning, "");

    // One uv per vertex: the seam's uvs merge with the texture flag, else stay.
    two.uvSets.push_back({"map1", {0, .5f, .5f, 0, .5f, 1, 1, .5f}, {0, 0, 1, 1, 0, 0, 1, 1}, {0, 1, 2, 3, 4, 5, 6, 7}});
    two.uvSets[0].u[4] = .6f;
    const MeshData merged = applyPolyMergeVert(two, {}, &warning);
    ASSERT_EQ(merged.uvSets[0].u.size(), 6u);
    EXPECT_FLOAT_EQ(merged.uvSets[0].u[1], .55f);
    EXPECT_EQ(merged.uvSets[0].faceVertexUV[4], 1);
    EXPECT_EQ(applyPolyMergeVert(two, {.texture = false}, &warning).uvSets[0].u.size(), 8u);
}

TEST(MeshModMerge, PolySplitEdgeCutsFacesApart) {
    std::string warning;
    const MeshData cut = applyPolySplitEdge(twoQuads(), {.inputComponents = std::vector<std::string>{"e[1]"}}, &warning);
    EXPECT_EQ(warning, "");
    ASSERT_EQ(cut.numVertices(), 8u);
    EXPECT_EQ(faceOf(cut, 0), (std::vector<int32_t>{0, 1, 4, 3}));
    EXPECT_EQ(faceOf(cut, 1), (std::vector<int32_t>{6, 2, 5, 7}));
    ASSERT_EQ(cut.numEdges(), 8u);
    EXPECT_EQ(std::vector<int32_t>(cut.edges.end() - 2, cut.edges.end()), (std::vector<int32_t>{6, 7}));

    // Every cube edge: six loose faces. A border edge or open mesh edge is kept.
    const MeshData cube = applyPolySplitEdge(makeCube(true, true), {.inputComponents = std::vector<std::string>{"e[*]"}}, &warning);
    EXPECT_EQ(cube.numVertices(), 24u);
    EXPECT_EQ(cube.numEdges(), 24u);
    EXPECT_EQ(polyShells(cube).size(), 6u);
    EXPECT_EQ(meshDataError(cube), "");
    const MeshData border = applyPolySplitEdge(twoQuads(), {.inputComponents = std::vector<std::string>{"e[0]"}}, &warning);
    EXPECT_EQ(border.numVertices(), 6u);
    EXPECT_NE(warning.find("not between two faces"), std::string::npos);

    // Operation 0: three faces on one edge; the third is cut off.
    MeshData fan = makeMesh({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {-1, 0, 0}, {0, 0, 1}}, {{{0, 1, 2}}, {{1, 0, 3}}, {{0, 1, 4}}}, true);
    const MeshData manifold = applyPolySplitEdge(fan, {.inputComponents = std::vector<std::string>{"e[0]"}, .operation = 0}, &warning);
    EXPECT_EQ(manifold.numVertices(), 7u);
    EXPECT_EQ(faceOf(manifold, 2), (std::vector<int32_t>{5, 6, 4}));
}

TEST(MeshModMerge, PolyDelEdgeAndDeleteComponent) {
    std::string warning;
    const MeshData kept = applyPolyDelEdge(twoQuads(), {.inputComponents = std::vector<std::string>{"e[1]"}}, &warning);
    EXPECT_EQ(kept.numFaces(), 1u);
    EXPECT_EQ(kept.numVertices(), 6u);
    EXPECT_EQ(kept.numEdges(), 6u);
    const MeshData clean = applyPolyDelEdge(twoQuads(), {.inputComponents = std::vector<std::string>{"e[1]"}, .cleanVertices = true}, &warning);
    EXPECT_EQ(faceOf(clean, 0), (std::vector<int32_t>{0, 1, 3, 2}));
    EXPECT_EQ(clean.numEdges(), 4u);
    EXPECT_EQ(meshDataError(clean), "");
    EXPECT_EQ(warning, "");

    // deleteComponent leaves the ends of edges as polyDelEdge does without
    // cleanVertices; a deleted vertex takes its edges with it.
    const MeshData edge = applyDeleteComponent(twoQuads(), {.deleteComponents = {"e[1]"}}, &warning);
    EXPECT_EQ(edge.numVertices(), 6u);
    EXPECT_EQ(faceOf(edge, 0), faceOf(kept, 0));
    const MeshData centre = applyDeleteComponent(grid(), {.deleteComponents = {"vtx[4]"}}, &warning);
    ASSERT_EQ(centre.numFaces(), 1u);
    EXPECT_EQ(faceOf(centre, 0).size(), 8u);
    EXPECT_EQ(centre.numVertices(), 8u);
    EXPECT_EQ(meshDataError(centre), "");
    // Its four edges listed instead: the last is a spike into the merged face by
    // then, and goes with the vertex at its tip.
    std::vector<std::string> spokes;
    const MeshData g = grid();
    for (size_t e = 0; e < g.numEdges(); ++e)
        if (g.edges[2 * e] == 4 || g.edges[2 * e + 1] == 4) spokes.push_back("e[" + std::to_string(e) + "]");
    const MeshData fan = applyDeleteComponent(g, {.deleteComponents = spokes}, &warning);
    ASSERT_EQ(fan.numFaces(), 1u);
    EXPECT_EQ(faceOf(fan, 0).size(), 8u);
    EXPECT_EQ(fan.numVertices(), 8u);
    EXPECT_EQ(meshDataError(fan), "");
    // On the border: the inner edge goes, the border edges join.
    const MeshData side = applyDeleteComponent(grid(), {.deleteComponents = {"vtx[1]"}}, &warning);
    EXPECT_EQ(faceOf(side, 0), (std::vector<int32_t>{0, 1, 4, 3, 2}));
    EXPECT_EQ(side.numEdges(), 10u);
    EXPECT_EQ(warning, "");
    // A border edge stays, with a warning.
    const MeshData border = applyPolyDelEdge(twoQuads(), {.inputComponents = std::vector<std::string>{"e[0]"}}, &warning);
    EXPECT_EQ(border.numFaces(), 2u);
    EXPECT_FALSE(warning.empty());
}

TEST(MeshModMerge, PolySeparateShellsInOrder) {
    // Shell 1 holds faces 0 and 2; shell 2 face 1 (its vertices 4..7 renumbered from 0).
    MeshData m = makeMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {5, 0, 0}, {6, 0, 0}, {6, 1, 0}, {5, 1, 0}, {2, 0, 0}, {2, 1, 0}},
                          {{{0, 1, 2, 3}}, {{4, 5, 6, 7}}, {{1, 8, 9, 2}}}, true);
    const auto shells = polyShells(m);
    ASSERT_EQ(shells.size(), 2u);
    EXPECT_EQ(shells[0], (std::vector<int32_t>{0, 2}));
    std::string warning;
    const std::optional<MeshData> first = applyPolySeparate(m, 0, &warning);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->numVertices(), 6u);
    EXPECT_EQ(faceOf(*first, 1), (std::vector<int32_t>{1, 4, 5, 2}));
    const std::optional<MeshData> second = applyPolySeparate(m, 1, &warning);
    ASSERT_TRUE(second);
    EXPECT_EQ(faceOf(*second, 0), (std::vector<int32_t>{0, 1, 2, 3}));
    EXPECT_FLOAT_EQ(second->points[0], 5.0f);
    EXPECT_EQ(warning, "");
    EXPECT_FALSE(applyPolySeparate(m, 2, &warning));
    EXPECT_FALSE(warning.empty());
    EXPECT_FALSE(applyPolySeparate(MeshData{}, 0, &warning));
}

}  // namespace
