// The history walk computes Maya's modifiers from the attributes the file
// writes: transformGeometry, tweak, polyNormal, polySoftEdge,
// polyTriangulate, polyColorPerVertex, polyTweakUV; other nodes pass their
// input on with a warning, and broken or looping histories end.

#include "mesh_history_test_util.h"

#include <algorithm>

using namespace mayahost;
using namespace history_test;

namespace {

TEST(MeshHistoryNodes, TransformGeometryMovesThePointsAndCanInvert) {
    const std::string chain = std::string(kCube) + R"(
createNode transformGeometry -n "transformGeometry1";
	setAttr ".txf" -type "matrix" 2 0 0 0 0 2 0 0 0 0 2 0 1 2 3 1;
connectAttr "polyCube1.out" "transformGeometry1.ig";
connectAttr "transformGeometry1.og" "pCubeShape1.i";
)";
    {
        auto scene = load(chain);
        const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
        ASSERT_EQ(e.error, "");
        EXPECT_TRUE(e.warnings.empty()) << joined(e.warnings);
        const Point p = pointOf(*e.mesh, 0);   // (-.5 -.5 .5) * 2 + (1 2 3)
        EXPECT_FLOAT_EQ(p.x, 0.f);
        EXPECT_FLOAT_EQ(p.y, 1.f);
        EXPECT_FLOAT_EQ(p.z, 4.f);
    }
    {
        auto scene = load(chain + "setAttr \"transformGeometry1.itf\" yes;\n");
        const Point p = pointOf(*meshNamed(*scene, "pCubeShape1").mesh, 0);   // ((-.5 -.5 .5) - (1 2 3)) / 2
        EXPECT_FLOAT_EQ(p.x, -0.75f);
        EXPECT_FLOAT_EQ(p.y, -1.25f);
        EXPECT_FLOAT_EQ(p.z, -1.25f);
    }
    {
        // A singular matrix to invert: the node warns and the cube passes unchanged.
        std::string singular = chain;
        singular.replace(singular.find("2 0 0 0 0 2"), 11, "0 0 0 0 0 2");
        auto scene = load(singular + "setAttr \"transformGeometry1.itf\" yes;\n");
        const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
        ASSERT_EQ(e.mesh->numVertices(), 8u);
        EXPECT_FLOAT_EQ(pointOf(*e.mesh, 0).x, -0.5f);
        ASSERT_EQ(e.warnings.size(), 1u);
        EXPECT_EQ(e.warnings[0].rfind("transformGeometry1: ", 0), 0u) << e.warnings[0];
    }
}

// The tweak chain Maya writes for a deformed shape: the Orig shape's world
// mesh through a groupParts tagging the tweak's vertices, into the tweak.
const char* kTweakChain = R"(
createNode transform -n "pCube1";
createNode mesh -n "pCubeShape1" -p "pCube1";
createNode mesh -n "pCubeShape1Orig" -p "pCube1";
	setAttr ".io" yes;
createNode polyCube -n "polyCube1";
createNode tweak -n "tweak1";
	setAttr -s 2 ".vl[0].vt[0:1]" -type "float3" 0 0 1 0 0 2;
	setAttr ".vl[0].vt[3]" -type "float3" 1 0 0;
createNode groupId -n "groupId2";
createNode groupParts -n "groupParts2";
	setAttr ".ic" -type "componentList" 1 "vtx[*]";
connectAttr "polyCube1.out" "pCubeShape1Orig.i";
connectAttr "pCubeShape1Orig.w" "groupParts2.ig";
connectAttr "groupId2.id" "groupParts2.gi";
connectAttr "groupParts2.og" "tweak1.ip[0].ig";
connectAttr "groupId2.id" "tweak1.ip[0].gi";
connectAttr "tweak1.og[0]" "pCubeShape1.i";
connectAttr "tweak1.vl[0].vt[0]" "pCubeShape1.twl";
)";

TEST(MeshHistoryNodes, TweakMovesItsVerticesByEnvelopeAndSet) {
    {
        auto scene = load(kTweakChain);
        const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
        ASSERT_EQ(e.error, "");
        EXPECT_TRUE(e.warnings.empty()) << joined(e.warnings);
        EXPECT_FLOAT_EQ(pointOf(*e.mesh, 0).z, 1.5f);
        EXPECT_FLOAT_EQ(pointOf(*e.mesh, 1).z, 2.5f);
        EXPECT_FLOAT_EQ(pointOf(*e.mesh, 2).z, 0.5f) << "vertex 2 has no tweak";
        EXPECT_FLOAT_EQ(pointOf(*e.mesh, 3).x, 1.5f) << "a tweak set on its own";
    }
    {
        auto scene = load(std::string(kTweakChain) + "setAttr \"tweak1.en\" 0.5;\n");
        EXPECT_FLOAT_EQ(pointOf(*meshNamed(*scene, "pCubeShape1").mesh, 1).z, 1.5f) << "half the tweak";
    }
    {
        // The deformer acts on the vertices its groupParts tags, here only vertex 1.
        std::string onlyOne = kTweakChain;
        onlyOne.replace(onlyOne.find("\"vtx[*]\""), 8, "\"vtx[1]\"");
        auto scene = load(onlyOne);
        const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
        EXPECT_FLOAT_EQ(pointOf(*e.mesh, 0).z, 0.5f);
        EXPECT_FLOAT_EQ(pointOf(*e.mesh, 1).z, 2.5f);
    }
    {
        // Absolute tweaks place the point.
        auto scene = load(std::string(kTweakChain) + "setAttr \"tweak1.rtw\" no;\n");
        const Point p = pointOf(*meshNamed(*scene, "pCubeShape1").mesh, 1);
        EXPECT_FLOAT_EQ(p.x, 0.f);
        EXPECT_FLOAT_EQ(p.z, 2.f);
    }
}

TEST(MeshHistoryNodes, PolyTriangulateMakesTriangles) {
    auto scene = load(std::string(kCube) + R"(
createNode polyTriangulate -n "polyTriangulate1";
	setAttr ".ics" -type "componentList" 1 "f[*]";
createNode transform -n "half";
createNode mesh -n "halfShape" -p "half";
createNode polyTriangulate -n "polyTriangulate2";
	setAttr ".ics" -type "componentList" 1 "f[0]";
connectAttr "polyCube1.out" "polyTriangulate1.ip";
connectAttr "polyTriangulate1.out" "pCubeShape1.i";
connectAttr "polyCube1.out" "polyTriangulate2.ip";
connectAttr "polyTriangulate2.out" "halfShape.i";
)");
    const MeshData& all = *meshNamed(*scene, "pCubeShape1").mesh;
    ASSERT_EQ(all.numFaces(), 12u);
    for (size_t f = 0; f < all.numFaces(); ++f) {
        const uint32_t loop = all.faceLoopStart[f];
        EXPECT_EQ(all.loopStart[loop + 1] - all.loopStart[loop], 3u) << "face " << f;
    }
    EXPECT_EQ(all.numVertices(), 8u);
    EXPECT_EQ(meshNamed(*scene, "halfShape").mesh->numFaces(), 7u) << "only face 0 split";
}

TEST(MeshHistoryNodes, PolySoftEdgeSetsHardnessByAngleInTheFilesUnit) {
    auto edgesAt = [](const char* angle, const char* unit) {
        auto scene = load(std::string("currentUnit -a ") + unit + ";\n" + kCube +
                          "createNode polySoftEdge -n \"polySoftEdge1\";\n"
                          "\tsetAttr \".ics\" -type \"componentList\" 1 \"e[*]\";\n"
                          "\tsetAttr \".a\" " + angle + ";\n"
                          "connectAttr \"polyCube1.out\" \"polySoftEdge1.ip\";\n"
                          "connectAttr \"polySoftEdge1.out\" \"pCubeShape1.i\";\n");
        const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
        EXPECT_TRUE(e.warnings.empty()) << joined(e.warnings);
        return e.mesh->edgeSmooth;
    };
    const std::vector<uint8_t> soft(12, 1), hard(12, 0);
    EXPECT_EQ(edgesAt("100", "degree"), soft) << "the cube's 90 degree edges are within 100";
    EXPECT_EQ(edgesAt("80", "degree"), hard);
    EXPECT_EQ(edgesAt("1.7", "radian"), soft) << "1.7 rad is 97 degrees";
    EXPECT_EQ(edgesAt("1.4", "radian"), hard);
}

TEST(MeshHistoryNodes, PolyNormalReversesTheSelectedFaces) {
    auto scene = load(std::string(kCube) + R"(
createNode polyNormal -n "polyNormal1";
	setAttr ".ics" -type "componentList" 1 "f[0]";
	setAttr ".nm" 0;
connectAttr "polyCube1.out" "polyNormal1.ip";
connectAttr "polyNormal1.out" "pCubeShape1.i";
)");
    const MeshData& m = *meshNamed(*scene, "pCubeShape1").mesh;
    ASSERT_EQ(m.numFaces(), 6u);
    EXPECT_EQ(std::vector<int32_t>(m.faceVertices.begin(), m.faceVertices.begin() + 4),
              (std::vector<int32_t>{0, 2, 3, 1}))
        << "face 0 (0 1 3 2) keeps its first corner and runs backwards";
    EXPECT_EQ(std::vector<int32_t>(m.faceVertices.begin() + 4, m.faceVertices.begin() + 8),
              (std::vector<int32_t>{2, 3, 5, 4}))
        << "face 1 untouched";
}

TEST(MeshHistoryNodes, PolyColorPerVertexAndPolyTweakUV) {
    auto scene = load(std::string(kCube) + R"(
createNode polyColorPerVertex -n "polyColorPerVertex1";
	setAttr ".cn" -type "string" "paint";
	setAttr -s 2 ".vclr";
	setAttr ".vclr[0].vrgb" -type "float3" 1 0 0;
	setAttr ".vclr[0].vxal" 0.5;
	setAttr ".vclr[1].vfcl[0].frgb" -type "float3" 0 0 1;
createNode polyTweakUV -n "polyTweakUV1";
	setAttr ".uvtk[0]" -type "float2" 0.125 0.25;
connectAttr "polyCube1.out" "polyColorPerVertex1.ip";
connectAttr "polyColorPerVertex1.out" "polyTweakUV1.ip";
connectAttr "polyTweakUV1.out" "pCubeShape1.i";
)");
    const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
    ASSERT_EQ(e.error, "");
    EXPECT_TRUE(e.warnings.empty()) << joined(e.warnings);
    const MeshData& m = *e.mesh;
    ASSERT_EQ(m.colorSets.size(), 1u);
    const MeshColorSet& paint = m.colorSets[0];
    EXPECT_EQ(paint.name, "paint");
    // Face 0 is (0 1 3 2): its first corner is vertex 0, its second vertex 1 with a face colour.
    ASSERT_GE(paint.faceVertexColor.size(), 2u);
    ASSERT_GE(paint.faceVertexColor[0], 0);
    const float* red = &paint.rgba[4 * size_t(paint.faceVertexColor[0])];
    EXPECT_EQ((std::vector<float>{red[0], red[1], red[2], red[3]}), (std::vector<float>{1, 0, 0, 0.5f}));
    ASSERT_GE(paint.faceVertexColor[1], 0);
    EXPECT_FLOAT_EQ(paint.rgba[4 * size_t(paint.faceVertexColor[1]) + 2], 1.f);

    auto fresh = load(std::string(kCube) + "connectAttr \"polyCube1.out\" \"pCubeShape1.i\";\n");
    const MeshData& plain = *meshNamed(*fresh, "pCubeShape1").mesh;
    ASSERT_FALSE(m.uvSets.empty());
    EXPECT_FLOAT_EQ(m.uvSets[0].u[0], plain.uvSets[0].u[0] + 0.125f);
    EXPECT_FLOAT_EQ(m.uvSets[0].v[0], plain.uvSets[0].v[0] + 0.25f);
    EXPECT_FLOAT_EQ(m.uvSets[0].u[1], plain.uvSets[0].u[1]);
}

TEST(MeshHistoryNodes, DeformersNotEvaluatedRestOnTheirGeometryInput) {
    auto scene = load(std::string(kCube) + R"(
createNode transform -n "handle";
createNode cluster -n "cluster1";
createNode jiggle -n "jiggle1";
createNode transform -n "other";
createNode mesh -n "otherShape" -p "other";
	setAttr -s 3 ".vt[0:2]"  0 0 0 1 0 0 0 1 0;
	setAttr -s 3 ".ed[0:2]"  0 1 0 1 2 0 2 0 0;
	setAttr ".fc[0]" -type "polyFaces" f 3 0 1 2;
connectAttr "handle.wm" "cluster1.ma";
connectAttr "otherShape.w" "cluster1.ip[0].ig";
connectAttr "polyCube1.out" "cluster1.ip[1].ig";
connectAttr "cluster1.og[1]" "jiggle1.ip[0].ig";
connectAttr "jiggle1.og[0]" "pCubeShape1.i";
)");
    const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
    ASSERT_EQ(e.error, "");
    EXPECT_EQ(e.mesh->numFaces(), 6u) << "the cube through input 1 of the cluster, not the triangle on input 0";
    const std::string all = joined(e.warnings);
    EXPECT_NE(all.find("node type cluster (cluster1) not evaluated: its input geometry is used"), std::string::npos) << all;
    EXPECT_NE(all.find("node type jiggle (jiggle1) not evaluated"), std::string::npos) << all;
}

TEST(MeshHistoryNodes, TweakControlPointsAndCreatorsNotBuilt) {
    {
        // Tweaks written for control points rather than mesh vertices.
        std::string text = kTweakChain;
        text.replace(text.find(".vl[0].vt[0:1]"), 14, ".pl[0].cp[0:1]");
        text.replace(text.find(".vl[0].vt[3]"), 12, ".pl[0].cp[3]");
        auto scene = load(text);
        const MeshData& m = *meshNamed(*scene, "pCubeShape1").mesh;
        EXPECT_FLOAT_EQ(pointOf(m, 1).z, 2.5f);
        EXPECT_FLOAT_EQ(pointOf(m, 3).x, 1.5f);
    }
    {
        auto scene = load(R"(
createNode transform -n "pPlatonic1";
createNode mesh -n "pPlatonicShape1" -p "pPlatonic1";
createNode polyPlatonic -n "polyPlatonic1";
connectAttr "polyPlatonic1.out" "pPlatonicShape1.i";
)");
        const MeshEvaluation& e = meshNamed(*scene, "pPlatonicShape1");
        EXPECT_EQ(e.mesh->numFaces(), 0u);
        EXPECT_EQ(joined(e.warnings),
                  "node type polyPlatonic (polyPlatonic1) not evaluated: it has no input geometry to pass on\n");
    }
}

TEST(MeshHistoryNodes, LoopsAndBrokenConnectionsEnd) {
    auto scene = load(R"(
createNode transform -n "a";
createNode mesh -n "aShape" -p "a";
createNode tweak -n "tweak1";
createNode tweak -n "tweak2";
connectAttr "tweak1.og[0]" "aShape.i";
connectAttr "tweak2.og[0]" "tweak1.ip[0].ig";
connectAttr "tweak1.og[0]" "tweak2.ip[0].ig";
createNode transform -n "b";
createNode mesh -n "bShape" -p "b";
createNode skinCluster -n "skinCluster1";
connectAttr "skinCluster1.og[0]" "bShape.i";
createNode transform -n "c";
createNode mesh -n "cShape" -p "c";
createNode polyCube -n "polyCube1";
createNode blendShape -n "blendShape1";
	setAttr ".w[0]" 1;
connectAttr "polyCube1.out" "blendShape1.ip[0].ig";
connectAttr "blendShape1.og[0]" "cShape.i";
connectAttr "cShape.w" "blendShape1.it[0].itg[0].iti[6000].igt";
)");
    EXPECT_EQ(meshNamed(*scene, "aShape").mesh->numFaces(), 0u);
    EXPECT_EQ(meshNamed(*scene, "bShape").mesh->numFaces(), 0u) << "a skinCluster with no input";
    const MeshEvaluation& c = meshNamed(*scene, "cShape");
    EXPECT_EQ(c.mesh->numFaces(), 6u) << "a target that is the shape itself is skipped";
    EXPECT_FLOAT_EQ(pointOf(*c.mesh, 0).x, -0.5f);
    EXPECT_NE(joined(c.warnings).find("blendShape1: target"), std::string::npos) << joined(c.warnings);
}

}  // namespace
