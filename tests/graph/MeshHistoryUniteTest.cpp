// The history walk joins meshes (polyUnite), deletes faces (deleteComponent)
// and subdivides them (polySubdFace) from the attributes the file writes.

#include "MeshHistoryTestUtil.h"

using namespace mayahost;
using namespace history_test;

namespace {

// A cube moved by its transform and a plane under a scaled parent, both
// intermediate shapes feeding one polyUnite: what Mesh > Combine writes.
const char* kCombine = R"(
createNode transform -n "pCube1"; setAttr ".t" -type "double3" 10 0 0 ;
createNode mesh -n "pCubeShape1" -p "pCube1"; setAttr ".io" yes;
createNode transform -n "group1"; setAttr ".s" -type "double3" 2 2 2 ;
createNode transform -n "pPlane1" -p "group1"; setAttr ".t" -type "double3" 0 1 0 ;
createNode mesh -n "pPlaneShape1" -p "pPlane1"; setAttr ".io" yes;
createNode transform -n "pCube2"; createNode mesh -n "pCube2Shape" -p "pCube2";
createNode polyCube -n "polyCube1";
createNode polyPlane -n "polyPlane1"; setAttr ".sw" 1; setAttr ".sh" 1;
createNode polyUnite -n "polyUnite1"; setAttr -s 2 ".ip"; setAttr -s 2 ".im";
connectAttr "polyCube1.out" "pCubeShape1.i"; connectAttr "polyPlane1.out" "pPlaneShape1.i";
connectAttr "pCubeShape1.o" "polyUnite1.ip[0]"; connectAttr "pPlaneShape1.o" "polyUnite1.ip[1]";
connectAttr "pCubeShape1.wm" "polyUnite1.im[0]";
connectAttr "pPlaneShape1.wm" "polyUnite1.im[1]"; connectAttr "polyUnite1.out" "pCube2Shape.i";
)";

TEST(MeshHistoryUnite, UniteDeleteComponentAndSubdFace) {
    const std::string subd = onCube("polySubdFace", "setAttr \".ics\" -type \"componentList\" 1 \"f[*]\";");
    checkMeshes({
        // The cube's (-.5 -.5 .5) + (10 0 0); the plane's corner (-.5 0 .5) + (0 1 0), then scaled by 2.
        {.what = "joined in world space", .scene = kCombine, .shape = "pCube2Shape", .faces = 7, .vertices = 12,
         .edges = 16, .points = {{0, {9.5f, -0.5f, 0.5f}}, {8, {-1, 2, 1}}}},
        {.what = "the combined shape fed back into its own union: a cycle the walk refuses",
         .scene = std::string(kCombine) + "connectAttr \"pCube2Shape.o\" \"polyUnite1.ip[2]\";\n",
         .shape = "pCube2Shape", .faces = 7, .warnings = -1, .warned = {"\npolyUnite1: ip[2]"}, .error = nullptr},
        {.what = "instances of one shape each take their own world matrix", .scene = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1"; setAttr ".io" yes;
createNode transform -n "pCube2"; setAttr ".t" -type "double3" 5 0 0 ;
parent -s -add "pCubeShape1" "pCube2";
createNode transform -n "combined"; createNode mesh -n "combinedShape" -p "combined";
createNode polyCube -n "polyCube1"; createNode polyUnite -n "polyUnite1";
connectAttr "polyCube1.out" "pCubeShape1.i";
connectAttr "pCubeShape1.o" "polyUnite1.ip[0]"; connectAttr "pCubeShape1.o" "polyUnite1.ip[1]";
connectAttr "pCubeShape1.wm[0]" "polyUnite1.im[0]"; connectAttr "pCubeShape1.wm[1]" "polyUnite1.im[1]";
connectAttr "polyUnite1.out" "combinedShape.i";
)", .shape = "combinedShape", .vertices = 16, .points = {{0, {-0.5f, -0.5f, 0.5f}}, {8, {4.5f, -0.5f, 0.5f}}},
         .error = nullptr},
        // Front, top and right gone: their shared corner (vertex 3) and the three
        // edges that met there go with them; vertex 4 becomes vertex 3.
        {.what = "deleted faces", .scene = onCube("deleteComponent", "setAttr \".dc\" -type \"componentList\" 2 \"f[0:1]\" \"f[4]\";", "ig", "og"),
         .faces = 3, .vertices = 7, .edges = 9, .points = {{3, {-0.5f, 0.5f, -0.5f}}}},
        // Edge 3 joins the front and the left: one face of six corners is left.
        {.what = "deleted edge",
         .scene = onCube("deleteComponent", "setAttr \".dc\" -type \"componentList\" 1 \"e[3]\";", "ig", "og"),
         .faces = 5, .vertices = 8, .edges = 11},
        // A cube of 4 x 4 quads a side: 6 * 16 faces, 6 * 16 + 2 vertices.
        {.what = "subdivided twice", .scene = subd + "setAttr \"polySubdFace1.dv\" 2;\n", .faces = 96, .vertices = 98,
         .edges = 192},
        {.what = "subdivided to triangles", .scene = subd + "setAttr \"polySubdFace1.m\" 1;\n", .faces = 24,
         .vertices = 14, .warnings = -1, .error = nullptr},
        {.what = "duv is not followed: divisions alone", .scene = subd + "setAttr \"polySubdFace1.duv\" 3;\n",
         .faces = 24, .warnings = 1, .warned = {"duv"}, .error = nullptr},
        {.what = "negative divisions", .scene = subd + "setAttr \"polySubdFace1.dv\" -3;\n", .faces = 6,
         .warnings = 1, .error = nullptr},
    });
}

TEST(MeshHistoryUnite, UvSetsMergeByNameOrStayApart) {
    auto scene = load(kCombine);
    const MeshData& m = *meshNamed(*scene, "pCube2Shape").mesh;
    ASSERT_EQ(m.numFaces(), 7u);
    // The plane's face walks its own vertices, after the cube's eight.
    const uint32_t corner = m.loopStart[m.faceLoopStart[6]];
    EXPECT_GE(m.faceVertices[corner], 8);
    ASSERT_EQ(m.uvSets.size(), 1u) << "both map1 sets merge by name";
    EXPECT_EQ(m.uvSets[0].u.size(), 14u + 4u);
    EXPECT_GE(m.uvSets[0].faceVertexUV[corner], 14) << "the plane's uvs come after the cube's";

    // No connection to the matrices: the stored ones place the inputs; muv 0 keeps the sets apart.
    auto apart = load(replaced(kCombine, "connectAttr \"pCubeShape1.wm\" \"polyUnite1.im[0]\";", "") +
                      "setAttr \"polyUnite1.im[0]\" -type \"matrix\" 1 0 0 0 0 1 0 0 0 0 1 0 0 0 -4 1;\n"
                             "setAttr \"polyUnite1.muv\" 0;\n");
    checkMesh(*apart, {.what = "stored matrices", .shape = "pCube2Shape", .vertices = 12,
                       .points = {{0, {-0.5f, -0.5f, -3.5f}}}, .warnings = -1, .error = nullptr});
    const MeshData& a = *meshNamed(*apart, "pCube2Shape").mesh;
    ASSERT_EQ(a.uvSets.size(), 2u);
    EXPECT_EQ(a.uvSets[0].name, "map1");
    EXPECT_EQ(a.uvSets[1].name, "map11");
    EXPECT_EQ(a.uvSets[0].faceVertexUV[24], -1) << "the plane's corners have no uvs in the cube's set";
    EXPECT_EQ(a.uvSets[1].faceVertexUV[0], -1);
    EXPECT_GE(a.uvSets[1].faceVertexUV[24], 0);
    EXPECT_LT(a.uvSets[1].faceVertexUV[24], 4) << "the plane's own four uvs, from the start of their set";
}

// Maya's own Combine of a cone and a cube: the cone first, placed by its
// parent's translate and scale, then the cube; uv sets kept apart.
TEST(MeshHistoryUnite, CorpusCombinedCubeCone) {
    auto scene = corpusScene("maya2gltf/CombinedCubeCone1.ma");
    if (!scene) GTEST_SKIP() << "no corpus scene";
    checkMesh(*scene, {.what = "corpus", .shape = "pCone2Shape", .faces = 27, .vertices = 21 + 8,
                       .points = {{21, {-0.5f, -0.5f, 0.5f}}}});
    const MeshData& m = *meshNamed(*scene, "pCone2Shape").mesh;
    ASSERT_EQ(m.numVertices(), 29u);
    // Face 0 is the cone's base (20 corners), face 21 the cube's front quad.
    EXPECT_EQ(m.loopStart[m.faceLoopStart[1]] - m.loopStart[m.faceLoopStart[0]], 20u);
    EXPECT_EQ(m.loopStart[m.faceLoopStart[22]] - m.loopStart[m.faceLoopStart[21]], 4u);
    float top = -1e9f, bottom = 1e9f;
    for (size_t v = 0; v < 21; ++v) top = std::max(top, pointOf(m, v).y), bottom = std::min(bottom, pointOf(m, v).y);
    EXPECT_FLOAT_EQ(top, 1.5f) << "the apex at 1 * 0.5 + 1";
    EXPECT_FLOAT_EQ(bottom, 0.5f);
    ASSERT_EQ(m.uvSets.size(), 2u);
    EXPECT_EQ(m.uvSets[0].name, "map1");
    EXPECT_EQ(m.uvSets[1].name, "map11");
}

}  // namespace
