// A mesh shape's evaluated mesh: stored data, construction history,
// intermediate shapes, nodes the stand-in does not evaluate.

#include "MeshHistoryTestUtil.h"

using namespace mayahost;
using namespace history_test;

namespace {

TEST(MeshEval, StoredDataWithUVSetsAndNormals) {
    auto scene = load(R"(
createNode transform -n "quad1"; createNode mesh -n "quadShape1" -p "quad1";
	setAttr -s 2 ".uvst"; setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr -s 4 ".uvst[0].uvsp[0:3]" -type "float2" 0 0 1 0 1 1 0 1;
	setAttr ".uvst[1].uvsn" -type "string" "decal";
	setAttr -s 4 ".uvst[1].uvsp[0:3]" -type "float2" 0.5 0.5 1 0.5 1 1 0.5 1;
	setAttr ".cuvs" -type "string" "decal";
	setAttr -s 4 ".vt[0:3]"  0 0 0 2 0 0 2 2 0 0 2 0; setAttr -s 4 ".ed[0:3]"  0 1 0 1 2 1 2 3 0 3 0 0;
	setAttr -s 4 ".n[0:3]" -type "float3"  1e+20 1e+20 1e+20 0 0 1 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20;
	setAttr ".fc[0]" -type "polyFaces" f 4 0 1 2 3 mu 0 4 0 1 2 3 mu 1 4 3 2 1 0;
)");
    const MeshEvaluation& e = meshNamed(*scene, "quadShape1");
    ASSERT_EQ(e.error, "");
    const MeshData& m = *e.mesh;
    EXPECT_EQ(m.numFaces(), 1u);
    EXPECT_EQ(m.faceVertices, (std::vector<int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(m.edgeSmooth, (std::vector<uint8_t>{0, 1, 0, 0}));
    ASSERT_EQ(m.uvSets.size(), 2u);
    EXPECT_EQ(m.uvSets[1].name, "decal");
    EXPECT_EQ(m.currentUVSet, 1);
    EXPECT_EQ(m.uvSets[1].faceVertexUV, (std::vector<int32_t>{3, 2, 1, 0}));
    EXPECT_FLOAT_EQ(m.uvSets[1].u[0], 0.5f);
    ASSERT_EQ(m.faceVertexNormals.size(), 12u);
    EXPECT_EQ(m.faceVertexNormals[5], 1.f);
    EXPECT_GT(m.faceVertexNormals[0], 1e19f);
    EXPECT_EQ(&meshNamed(*scene, "quadShape1"), &e) << "evaluated once and kept";
}

// A stored mesh that only its shading reads gives its file arrays up once
// evaluated; one that feeds another shape keeps them for that shape's walk.
TEST(MeshEval, StoredArraysGoOnlyWhenNoOtherNodeReadsThem) {
    auto scene = load(R"(
createNode transform -n "tri1"; createNode mesh -n "triShape1" -p "tri1";
createNode mesh -n "triShape1Orig" -p "tri1"; setAttr ".io" yes;
	setAttr -s 3 ".vt[0:2]"  0 0 0 1 0 0 0 1 0; setAttr -s 3 ".ed[0:2]"  0 1 0 1 2 0 2 0 0;
	setAttr ".fc[0]" -type "polyFaces" f 3 0 1 2;
connectAttr "triShape1Orig.w" "triShape1.i";
createNode transform -n "tri2"; createNode mesh -n "triShape2" -p "tri2";
	setAttr -s 3 ".vt[0:2]"  0 0 0 1 0 0 0 1 0; setAttr -s 3 ".ed[0:2]"  0 1 0 1 2 0 2 0 0;
	setAttr ".fc[0]" -type "polyFaces" f 3 0 1 2;
connectAttr "triShape2.iog" ":initialShadingGroup.dsm" -na;
)");
    for (const char* name : {"triShape1Orig", "triShape1", "triShape2"}) {
        const MeshEvaluation& e = meshNamed(*scene, name);
        EXPECT_EQ(e.error, "") << name;
        EXPECT_EQ(e.mesh->numFaces(), 1u) << name;
        EXPECT_EQ(e.mesh->numVertices(), 3u) << name;
    }
    EXPECT_NE(scene->findNode("triShape1Orig")->denseArray("vrts"), nullptr);
    EXPECT_EQ(scene->findNode("triShape2")->denseArray("vrts"), nullptr);
    EXPECT_EQ(scene->findNode("triShape2")->data("face"), nullptr);
}

const char* kDeadEnds = R"(
createNode transform -n "a"; createNode mesh -n "aShape" -p "a"; createNode mesh -n "bShape" -p "a";
connectAttr "aShape.o" "bShape.i"; connectAttr "bShape.o" "aShape.i";
createNode transform -n "c"; createNode mesh -n "cShape" -p "c";
createNode groupParts -n "groupParts1"; connectAttr "groupParts1.og" "cShape.i";
)";

TEST(MeshEval, HistoryIntermediateShapesAndDeadEnds) {
    checkMeshes({
        {.what = "a creator of width 2 with tweaks of vertices 0 and 1", .scene = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
	setAttr -s 2 ".pt[0:1]" -type "float3" 0 0 1 0 0 2;
createNode polyCube -n "polyCube1"; setAttr ".w" 2;
connectAttr "polyCube1.out" "pCubeShape1.i";
)", .faces = 6, .vertices = 8, .points = {{0, {-1, -0.5f, 1.5f}}, {1, {1, -0.5f, 2.5f}}, {2, {-1, 0.5f, 0.5f}}}},
        {.what = "an unknown history node passes its input on", .scene = onCube("polyRemesh", ""), .faces = 6,
         .warnings = 1, .warned = {"polyRemesh"}},
        {.what = "an intermediate shape feeds the visible one", .scene = R"(
createNode transform -n "tri1"; createNode mesh -n "triShape1" -p "tri1";
createNode mesh -n "triShape1Orig" -p "tri1"; setAttr ".io" yes;
	setAttr -s 3 ".vt[0:2]"  0 0 0 1 0 0 0 1 0; setAttr -s 3 ".ed[0:2]"  0 1 0 1 2 0 2 0 0;
	setAttr ".fc[0]" -type "polyFaces" f 3 0 1 2;
createNode skinCluster -n "skinCluster1";
connectAttr "triShape1Orig.w" "skinCluster1.ip[0].ig"; connectAttr "skinCluster1.og[0]" "triShape1.i";
)", .shape = "triShape1", .faces = 1, .points = {{1, {1, 0, 0}}}, .warnings = -1, .warned = {"skinCluster"}},
        {.what = "a cycle", .scene = kDeadEnds, .shape = "aShape", .faces = 0, .warnings = -1, .error = nullptr},
        {.what = "a dead end", .scene = kDeadEnds, .shape = "cShape", .faces = 0, .warnings = -1, .error = nullptr},
        {.what = "bad stored data gives an error naming the shape", .scene = R"(
createNode transform -n "bad"; createNode mesh -n "badShape" -p "bad";
	setAttr -s 3 ".vt[0:2]"  0 0 0 1 0 0 0 1 0; setAttr -s 3 ".ed[0:2]"  0 1 0 1 2 0 2 0 0;
	setAttr ".fc[0]" -type "polyFaces" f 3 0 1 5;
)", .shape = "badShape", .faces = 0, .warnings = -1, .error = "badShape"},
        {.what = "an upstream shape's bad data empties the shape it feeds, naming the upstream one", .scene = R"(
createNode transform -n "bad"; createNode mesh -n "badShape" -p "bad";
createNode mesh -n "badShapeOrig" -p "bad"; setAttr ".io" yes;
	setAttr -s 3 ".vt[0:2]"  0 0 0 1 0 0 0 1 0; setAttr -s 3 ".ed[0:2]"  0 1 0 1 2 0 2 0 0;
	setAttr ".fc[0]" -type "polyFaces" f 3 0 1 5;
connectAttr "badShapeOrig.w" "badShape.i";
)", .shape = "badShape", .faces = 0, .warnings = -1, .error = "badShapeOrig"},
    });
}

}  // namespace
