// The history walk joins meshes (polyUnite), deletes faces (deleteComponent)
// and subdivides them (polySubdFace) from the attributes the file writes.

#include "mesh_history_test_util.h"

#include <filesystem>

using namespace mayahost;
using namespace history_test;

namespace {

// A cube moved by its transform and a plane under a scaled parent, both
// intermediate shapes feeding one polyUnite: what Mesh > Combine writes.
const char* kCombine = R"(
createNode transform -n "pCube1";
	setAttr ".t" -type "double3" 10 0 0 ;
createNode mesh -n "pCubeShape1" -p "pCube1";
	setAttr ".io" yes;
createNode transform -n "group1";
	setAttr ".s" -type "double3" 2 2 2 ;
createNode transform -n "pPlane1" -p "group1";
	setAttr ".t" -type "double3" 0 1 0 ;
createNode mesh -n "pPlaneShape1" -p "pPlane1";
	setAttr ".io" yes;
createNode transform -n "pCube2";
createNode mesh -n "pCube2Shape" -p "pCube2";
createNode polyCube -n "polyCube1";
createNode polyPlane -n "polyPlane1";
	setAttr ".sw" 1;
	setAttr ".sh" 1;
createNode polyUnite -n "polyUnite1";
	setAttr -s 2 ".ip";
	setAttr -s 2 ".im";
connectAttr "polyCube1.out" "pCubeShape1.i";
connectAttr "polyPlane1.out" "pPlaneShape1.i";
connectAttr "pCubeShape1.o" "polyUnite1.ip[0]";
connectAttr "pPlaneShape1.o" "polyUnite1.ip[1]";
connectAttr "pCubeShape1.wm" "polyUnite1.im[0]";
connectAttr "pPlaneShape1.wm" "polyUnite1.im[1]";
connectAttr "polyUnite1.out" "pCube2Shape.i";
)";

TEST(MeshHistoryUnite, JoinsItsInputsInWorldSpace) {
    auto scene = load(kCombine);
    const MeshEvaluation& e = meshNamed(*scene, "pCube2Shape");
    ASSERT_EQ(e.error, "");
    EXPECT_TRUE(e.warnings.empty()) << joined(e.warnings);
    const MeshData& m = *e.mesh;
    ASSERT_EQ(m.numVertices(), 12u);
    ASSERT_EQ(m.numFaces(), 7u);
    EXPECT_EQ(m.numEdges(), 16u);
    const Point cube0 = pointOf(m, 0);   // (-.5 -.5 .5) + (10 0 0)
    EXPECT_FLOAT_EQ(cube0.x, 9.5f);
    EXPECT_FLOAT_EQ(cube0.z, 0.5f);
    const Point plane0 = pointOf(m, 8);  // plane corner (-.5 0 .5) + (0 1 0), then scaled by 2
    EXPECT_FLOAT_EQ(plane0.x, -1.f);
    EXPECT_FLOAT_EQ(plane0.y, 2.f);
    EXPECT_FLOAT_EQ(plane0.z, 1.f);
    // The plane's face walks its own vertices, after the cube's eight.
    const uint32_t corner = m.loopStart[m.faceLoopStart[6]];
    EXPECT_GE(m.faceVertices[corner], 8);
    ASSERT_EQ(m.uvSets.size(), 1u) << "both map1 sets merge by name";
    EXPECT_EQ(m.uvSets[0].u.size(), 14u + 4u);
    EXPECT_GE(m.uvSets[0].faceVertexUV[corner], 14) << "the plane's uvs come after the cube's";
}

TEST(MeshHistoryUnite, StoredMatricesAndUnmergedSets) {
    // No connection to the matrices: the stored ones place the inputs; muv 0 keeps the sets apart.
    std::string text = kCombine;
    text.replace(text.find("connectAttr \"pCubeShape1.wm\""), std::string("connectAttr \"pCubeShape1.wm\" \"polyUnite1.im[0]\";\n").size(), "");
    text += "setAttr \"polyUnite1.im[0]\" -type \"matrix\" 1 0 0 0 0 1 0 0 0 0 1 0 0 0 -4 1;\n";
    text += "setAttr \"polyUnite1.muv\" 0;\n";
    auto scene = load(text);
    const MeshData& m = *meshNamed(*scene, "pCube2Shape").mesh;
    ASSERT_EQ(m.numVertices(), 12u);
    EXPECT_FLOAT_EQ(pointOf(m, 0).x, -0.5f);
    EXPECT_FLOAT_EQ(pointOf(m, 0).z, -3.5f);
    ASSERT_EQ(m.uvSets.size(), 2u);
    EXPECT_EQ(m.uvSets[0].name, "map1");
    EXPECT_EQ(m.uvSets[1].name, "map11");
    EXPECT_EQ(m.uvSets[0].faceVertexUV[24], -1) << "the plane's corners have no uvs in the cube's set";
    EXPECT_EQ(m.uvSets[1].faceVertexUV[0], -1);
    EXPECT_GE(m.uvSets[1].faceVertexUV[24], 0);
    EXPECT_LT(m.uvSets[1].faceVertexUV[24], 4) << "the plane's own four uvs, from the start of their set";
}

TEST(MeshHistoryUnite, AnInputThatCannotBeEvaluatedIsLeftOutWithAWarning) {
    // The combined shape fed back into its own union: a cycle, which the walk refuses.
    auto scene = load(std::string(kCombine) + "connectAttr \"pCube2Shape.o\" \"polyUnite1.ip[2]\";\n");
    const MeshEvaluation& e = meshNamed(*scene, "pCube2Shape");
    EXPECT_EQ(e.mesh->numFaces(), 7u);
    bool named = false;
    for (const std::string& w : e.warnings) named |= w.rfind("polyUnite1: ip[2]", 0) == 0;
    EXPECT_TRUE(named) << joined(e.warnings);
}

TEST(MeshHistoryUnite, InstancesOfOneShapeEachTakeTheirOwnWorldMatrix) {
    auto scene = load(R"(
createNode transform -n "pCube1";
createNode mesh -n "pCubeShape1" -p "pCube1";
	setAttr ".io" yes;
createNode transform -n "pCube2";
	setAttr ".t" -type "double3" 5 0 0 ;
parent -s -add "pCubeShape1" "pCube2";
createNode transform -n "combined";
createNode mesh -n "combinedShape" -p "combined";
createNode polyCube -n "polyCube1";
createNode polyUnite -n "polyUnite1";
connectAttr "polyCube1.out" "pCubeShape1.i";
connectAttr "pCubeShape1.o" "polyUnite1.ip[0]";
connectAttr "pCubeShape1.o" "polyUnite1.ip[1]";
connectAttr "pCubeShape1.wm[0]" "polyUnite1.im[0]";
connectAttr "pCubeShape1.wm[1]" "polyUnite1.im[1]";
connectAttr "polyUnite1.out" "combinedShape.i";
)");
    const MeshEvaluation& e = meshNamed(*scene, "combinedShape");
    EXPECT_TRUE(e.warnings.empty()) << joined(e.warnings);
    ASSERT_EQ(e.mesh->numVertices(), 16u);
    EXPECT_FLOAT_EQ(pointOf(*e.mesh, 0).x, -0.5f);
    EXPECT_FLOAT_EQ(pointOf(*e.mesh, 8).x, 4.5f);
}

TEST(MeshHistoryUnite, DeleteComponentRemovesFacesAndWhatOnlyTheyUsed) {
    auto scene = load(std::string(kCube) + R"(
createNode deleteComponent -n "deleteComponent1";
	setAttr ".dc" -type "componentList" 2 "f[0:1]" "f[4]";
connectAttr "polyCube1.out" "deleteComponent1.ig";
connectAttr "deleteComponent1.og" "pCubeShape1.i";
)");
    const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
    ASSERT_EQ(e.error, "");
    EXPECT_TRUE(e.warnings.empty()) << joined(e.warnings);
    // Front, top and right gone: their shared corner (vertex 3) and the
    // three edges that met there go with them; vertex 4 becomes vertex 3.
    EXPECT_EQ(e.mesh->numFaces(), 3u);
    EXPECT_EQ(e.mesh->numVertices(), 7u);
    EXPECT_EQ(e.mesh->numEdges(), 9u);
    EXPECT_FLOAT_EQ(pointOf(*e.mesh, 3).x, -0.5f);
    EXPECT_FLOAT_EQ(pointOf(*e.mesh, 3).z, -0.5f);
}

TEST(MeshHistoryUnite, DeleteComponentWithEdgesKeepsThemAndSays) {
    auto scene = load(std::string(kCube) + R"(
createNode deleteComponent -n "deleteComponent1";
	setAttr ".dc" -type "componentList" 1 "e[3]";
connectAttr "polyCube1.out" "deleteComponent1.ig";
connectAttr "deleteComponent1.og" "pCubeShape1.i";
)");
    const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
    EXPECT_EQ(e.mesh->numFaces(), 6u);
    ASSERT_EQ(e.warnings.size(), 1u);
    EXPECT_EQ(e.warnings[0].rfind("deleteComponent1: ", 0), 0u) << e.warnings[0];
}

TEST(MeshHistoryUnite, PolySubdFaceSplitsTheListedFaces) {
    const std::string chain = std::string(kCube) + R"(
createNode polySubdFace -n "polySubdFace1";
	setAttr ".ics" -type "componentList" 1 "f[*]";
connectAttr "polyCube1.out" "polySubdFace1.ip";
connectAttr "polySubdFace1.out" "pCubeShape1.i";
)";
    {
        auto scene = load(chain + "setAttr \"polySubdFace1.dv\" 2;\n");
        const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
        ASSERT_EQ(e.error, "");
        EXPECT_TRUE(e.warnings.empty()) << joined(e.warnings);
        EXPECT_EQ(e.mesh->numFaces(), 96u);     // 6 * 4 * 4
        EXPECT_EQ(e.mesh->numVertices(), 98u);  // a cube of 4 x 4 quads a side: 6 * 16 + 2
        EXPECT_EQ(e.mesh->numEdges(), 192u);
    }
    {
        auto scene = load(chain + "setAttr \"polySubdFace1.m\" 1;\n");
        const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
        EXPECT_EQ(e.mesh->numFaces(), 24u);
        EXPECT_EQ(e.mesh->numVertices(), 14u);
    }
    {
        auto scene = load(chain + "setAttr \"polySubdFace1.duv\" 3;\n");
        const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
        EXPECT_EQ(e.mesh->numFaces(), 24u) << "divisions alone";
        ASSERT_EQ(e.warnings.size(), 1u);
        EXPECT_NE(e.warnings[0].find("duv"), std::string::npos) << e.warnings[0];
    }
    {
        auto scene = load(chain + "setAttr \"polySubdFace1.dv\" -3;\n");
        const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
        EXPECT_EQ(e.mesh->numFaces(), 6u);
        EXPECT_EQ(e.warnings.size(), 1u) << joined(e.warnings);
    }
}

// Maya's own Combine of a cone and a cube: the cone first, placed by its
// parent's translate and scale, then the cube; uv sets kept apart.
TEST(MeshHistoryUnite, CorpusCombinedCubeCone) {
    const std::filesystem::path file = std::filesystem::path(GLOWBOX_CORPUS_DIR) / "maya2gltf" / "CombinedCubeCone1.ma";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no " << file;
    auto scene = std::make_unique<Scene>();
    installSceneEvaluators(*scene);
    SceneBuilder builder(*scene, file.string());
    ASSERT_TRUE(scenefile::readMaFile(file.string(), builder).ok());
    const MeshEvaluation& e = meshNamed(*scene, "pCone2Shape");
    ASSERT_EQ(e.error, "");
    EXPECT_TRUE(e.warnings.empty()) << joined(e.warnings);
    const MeshData& m = *e.mesh;
    ASSERT_EQ(m.numFaces(), 27u);
    ASSERT_EQ(m.numVertices(), 21u + 8u);
    // Face 0 is the cone's base (20 corners), face 21 the cube's front quad.
    EXPECT_EQ(m.loopStart[m.faceLoopStart[1]] - m.loopStart[m.faceLoopStart[0]], 20u);
    EXPECT_EQ(m.loopStart[m.faceLoopStart[22]] - m.loopStart[m.faceLoopStart[21]], 4u);
    float top = -1e9f, bottom = 1e9f;
    for (size_t v = 0; v < 21; ++v) top = std::max(top, pointOf(m, v).y), bottom = std::min(bottom, pointOf(m, v).y);
    EXPECT_FLOAT_EQ(top, 1.5f) << "the apex at 1 * 0.5 + 1";
    EXPECT_FLOAT_EQ(bottom, 0.5f);
    const Point cube0 = pointOf(m, 21);
    EXPECT_FLOAT_EQ(cube0.x, -0.5f);
    EXPECT_FLOAT_EQ(cube0.y, -0.5f);
    ASSERT_EQ(m.uvSets.size(), 2u);
    EXPECT_EQ(m.uvSets[0].name, "map1");
    EXPECT_EQ(m.uvSets[1].name, "map11");
}

}  // namespace
