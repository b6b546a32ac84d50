// A mesh shape's evaluated mesh: stored data, construction history,
// intermediate shapes, nodes the stand-in does not evaluate.

#include "file/MaReader.h"
#include "db/Scene.h"
#include "db/SceneBuilder.h"
#include "eval/MeshEval.h"

#include "mesh_history_test_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace mayahost;

namespace {

using history_test::load;

const MeshEvaluation& meshNamed(const Scene& scene, const char* name) {
    const Node* node = scene.findNode(name);
    if (!node) throw std::runtime_error(std::string("no node ") + name);
    return evaluateMesh(scene, *node);
}

TEST(MeshEval, StoredDataWithUVSetsAndNormals) {
    auto scene = load(R"(
createNode transform -n "quad1";
createNode mesh -n "quadShape1" -p "quad1";
	setAttr -s 2 ".uvst";
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr -s 4 ".uvst[0].uvsp[0:3]" -type "float2" 0 0 1 0 1 1 0 1;
	setAttr ".uvst[1].uvsn" -type "string" "decal";
	setAttr -s 4 ".uvst[1].uvsp[0:3]" -type "float2" 0.5 0.5 1 0.5 1 1 0.5 1;
	setAttr ".cuvs" -type "string" "decal";
	setAttr -s 4 ".vt[0:3]"  0 0 0 2 0 0 2 2 0 0 2 0;
	setAttr -s 4 ".ed[0:3]"  0 1 0 1 2 1 2 3 0 3 0 0;
	setAttr -s 4 ".n[0:3]" -type "float3"  1e+20 1e+20 1e+20 0 0 1 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20;
	setAttr ".fc[0]" -type "polyFaces" 
		f 4 0 1 2 3
		mu 0 4 0 1 2 3
		mu 1 4 3 2 1 0;
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

TEST(MeshEval, HistoryFromACreatorWithTweaks) {
    auto scene = load(R"(
createNode transform -n "pCube1";
createNode mesh -n "pCubeShape1" -p "pCube1";
	setAttr -s 2 ".pt[0:1]" -type "float3" 0 0 1 0 0 2;
createNode polyCube -n "polyCube1";
	setAttr ".w" 2;
connectAttr "polyCube1.out" "pCubeShape1.i";
)");
    const MeshEvaluation& evaluation = meshNamed(*scene, "pCubeShape1");
    ASSERT_EQ(evaluation.error, "");
    ASSERT_EQ(evaluation.mesh->numFaces(), 6u);
    ASSERT_EQ(evaluation.mesh->numVertices(), 8u);
    EXPECT_FLOAT_EQ(evaluation.mesh->points[0], -1.f) << "width 2";
    EXPECT_FLOAT_EQ(evaluation.mesh->points[2], 1.5f) << "tweak of vertex 0";
    EXPECT_FLOAT_EQ(evaluation.mesh->points[5], 2.5f) << "tweak of vertex 1";
    EXPECT_FLOAT_EQ(evaluation.mesh->points[8], 0.5f) << "vertex 2 untweaked";
    EXPECT_TRUE(evaluation.warnings.empty());
}

TEST(MeshEval, UnknownHistoryNodesPassTheirInputOn) {
    auto scene = load(R"(
createNode transform -n "pCube1";
createNode mesh -n "pCubeShape1" -p "pCube1";
createNode polyCube -n "polyCube1";
createNode polyBevel3 -n "polyBevel1";
connectAttr "polyCube1.out" "polyBevel1.ip";
connectAttr "polyBevel1.out" "pCubeShape1.i";
)");
    const MeshEvaluation& evaluation = meshNamed(*scene, "pCubeShape1");
    ASSERT_EQ(evaluation.error, "");
    EXPECT_EQ(evaluation.mesh->numFaces(), 6u);
    ASSERT_EQ(evaluation.warnings.size(), 1u);
    EXPECT_NE(evaluation.warnings[0].find("polyBevel3"), std::string::npos) << evaluation.warnings[0];
}

TEST(MeshEval, IntermediateShapeFeedsTheVisibleOne) {
    auto scene = load(R"(
createNode transform -n "tri1";
createNode mesh -n "triShape1" -p "tri1";
createNode mesh -n "triShape1Orig" -p "tri1";
	setAttr ".io" yes;
	setAttr -s 3 ".vt[0:2]"  0 0 0 1 0 0 0 1 0;
	setAttr -s 3 ".ed[0:2]"  0 1 0 1 2 0 2 0 0;
	setAttr ".fc[0]" -type "polyFaces" f 3 0 1 2;
createNode skinCluster -n "skinCluster1";
connectAttr "triShape1Orig.w" "skinCluster1.ip[0].ig";
connectAttr "skinCluster1.og[0]" "triShape1.i";
)");
    const MeshEvaluation& e = meshNamed(*scene, "triShape1");
    ASSERT_EQ(e.error, "");
    EXPECT_EQ(e.mesh->numFaces(), 1u);
    EXPECT_EQ(e.mesh->points[3], 1.f);
    ASSERT_FALSE(e.warnings.empty());
    EXPECT_NE(e.warnings.back().find("skinCluster"), std::string::npos);
}

TEST(MeshEval, CyclesAndDeadEndsDoNotHang) {
    auto scene = load(R"(
createNode transform -n "a";
createNode mesh -n "aShape" -p "a";
createNode mesh -n "bShape" -p "a";
connectAttr "aShape.o" "bShape.i";
connectAttr "bShape.o" "aShape.i";
createNode transform -n "c";
createNode mesh -n "cShape" -p "c";
createNode groupParts -n "groupParts1";
connectAttr "groupParts1.og" "cShape.i";
)");
    const MeshEvaluation& a = meshNamed(*scene, "aShape");
    EXPECT_EQ(a.mesh->numFaces(), 0u);
    const MeshEvaluation& c = meshNamed(*scene, "cShape");
    EXPECT_EQ(c.mesh->numFaces(), 0u);
}

TEST(MeshEval, BadStoredDataGivesAnErrorNamingTheShape) {
    auto scene = load(R"(
createNode transform -n "bad";
createNode mesh -n "badShape" -p "bad";
	setAttr -s 3 ".vt[0:2]"  0 0 0 1 0 0 0 1 0;
	setAttr -s 3 ".ed[0:2]"  0 1 0 1 2 0 2 0 0;
	setAttr ".fc[0]" -type "polyFaces" f 3 0 1 5;
)");
    const MeshEvaluation& e = meshNamed(*scene, "badShape");
    EXPECT_NE(e.error.find("badShape"), std::string::npos) << e.error;
    EXPECT_EQ(e.mesh->numFaces(), 0u);
}

}  // namespace
