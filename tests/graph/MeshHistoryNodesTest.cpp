// The history walk computes Maya's modifiers from the attributes the file
// writes: transformGeometry, tweak, polyNormal, polySoftEdge,
// polyTriangulate, polyColorPerVertex, polyTweakUV; other nodes pass their
// input on with a warning, and broken or looping histories end.

#include "MeshHistoryTestUtil.h"

using namespace mayahost;
using namespace history_test;

namespace {

// The tweak chain Maya writes for a deformed shape: the Orig shape's world
// mesh through a groupParts tagging the tweak's vertices, into the tweak.
const char* kTweakChain = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
createNode mesh -n "pCubeShape1Orig" -p "pCube1"; setAttr ".io" yes;
createNode polyCube -n "polyCube1";
createNode tweak -n "tweak1";
	setAttr -s 2 ".vl[0].vt[0:1]" -type "float3" 0 0 1 0 0 2; setAttr ".vl[0].vt[3]" -type "float3" 1 0 0;
createNode groupId -n "groupId2";
createNode groupParts -n "groupParts2"; setAttr ".ic" -type "componentList" 1 "vtx[*]";
connectAttr "polyCube1.out" "pCubeShape1Orig.i"; connectAttr "pCubeShape1Orig.w" "groupParts2.ig";
connectAttr "groupId2.id" "groupParts2.gi"; connectAttr "groupParts2.og" "tweak1.ip[0].ig";
connectAttr "groupId2.id" "tweak1.ip[0].gi"; connectAttr "tweak1.og[0]" "pCubeShape1.i";
connectAttr "tweak1.vl[0].vt[0]" "pCubeShape1.twl";
)";

// Two tweak chains that loop, a skinCluster with no input, and a blend
// target that is the shape itself.
const char* kBroken = R"(
createNode transform -n "a"; createNode mesh -n "aShape" -p "a";
createNode tweak -n "tweak1"; createNode tweak -n "tweak2";
connectAttr "tweak1.og[0]" "aShape.i"; connectAttr "tweak2.og[0]" "tweak1.ip[0].ig";
connectAttr "tweak1.og[0]" "tweak2.ip[0].ig";
createNode transform -n "b"; createNode mesh -n "bShape" -p "b";
createNode skinCluster -n "skinCluster1"; connectAttr "skinCluster1.og[0]" "bShape.i";
createNode transform -n "c"; createNode mesh -n "cShape" -p "c";
createNode polyCube -n "polyCube1";
createNode blendShape -n "blendShape1"; setAttr ".w[0]" 1;
connectAttr "polyCube1.out" "blendShape1.ip[0].ig"; connectAttr "blendShape1.og[0]" "cShape.i";
connectAttr "cShape.w" "blendShape1.it[0].itg[0].iti[6000].igt";
)";

TEST(MeshHistoryNodes, ModifiersDeformersAndBrokenHistories) {
    const std::string transform =
        onCube("transformGeometry", "setAttr \".txf\" -type \"matrix\" 2 0 0 0 0 2 0 0 0 0 2 0 1 2 3 1;", "ig", "og");
    const std::string inverted = "setAttr \"transformGeometry1.itf\" yes;\n";
    checkMeshes({
        {.what = "(-.5 -.5 .5) * 2 + (1 2 3)", .scene = transform, .points = {{0, {0, 1, 4}}}},
        {.what = "((-.5 -.5 .5) - (1 2 3)) / 2", .scene = transform + inverted, .points = {{0, {-0.75f, -1.25f, -1.25f}}}},
        {.what = "a singular matrix to invert: the cube passes unchanged",
         .scene = replaced(transform, "2 0 0 0 0 2", "0 0 0 0 0 2") + inverted, .vertices = 8,
         .points = {{0, {-0.5f, -0.5f, 0.5f}}}, .warnings = 1, .warned = {"\ntransformGeometry1: "}},
        {.what = "tweaks, vertex 2 untouched and vertex 3 set on its own", .scene = kTweakChain,
         .points = {{0, {-0.5f, -0.5f, 1.5f}}, {1, {0.5f, -0.5f, 2.5f}}, {2, {-0.5f, 0.5f, 0.5f}}, {3, {1.5f, 0.5f, 0.5f}}}},
        {.what = "half the tweak", .scene = std::string(kTweakChain) + "setAttr \"tweak1.en\" 0.5;\n",
         .points = {{1, {0.5f, -0.5f, 1.5f}}}},
        {.what = "the groupParts tags only vertex 1", .scene = replaced(kTweakChain, "\"vtx[*]\"", "\"vtx[1]\""),
         .points = {{0, {-0.5f, -0.5f, 0.5f}}, {1, {0.5f, -0.5f, 2.5f}}}},
        {.what = "absolute tweaks place the point", .scene = std::string(kTweakChain) + "setAttr \"tweak1.rtw\" no;\n",
         .points = {{1, {0, 0, 2}}}},
        {.what = "tweaks written for control points",
         .scene = replaced(replaced(kTweakChain, ".vl[0].vt[0:1]", ".pl[0].cp[0:1]"), ".vl[0].vt[3]", ".pl[0].cp[3]"),
         .points = {{1, {0.5f, -0.5f, 2.5f}}, {3, {1.5f, 0.5f, 0.5f}}}},
        {.what = "deformers not evaluated rest on their geometry input: the cube on input 1, not the triangle on 0",
         .scene = std::string(kCube) + R"(
createNode transform -n "handle"; createNode wire -n "wire1"; createNode jiggle -n "jiggle1";
createNode transform -n "other"; createNode mesh -n "otherShape" -p "other";
	setAttr -s 3 ".vt[0:2]"  0 0 0 1 0 0 0 1 0; setAttr -s 3 ".ed[0:2]"  0 1 0 1 2 0 2 0 0;
	setAttr ".fc[0]" -type "polyFaces" f 3 0 1 2;
connectAttr "handle.wm" "wire1.ma"; connectAttr "otherShape.w" "wire1.ip[0].ig";
connectAttr "polyCube1.out" "wire1.ip[1].ig"; connectAttr "wire1.og[1]" "jiggle1.ip[0].ig";
connectAttr "jiggle1.og[0]" "pCubeShape1.i";
)",
         .faces = 6, .warnings = -1,
         .warned = {"node type wire (wire1) not evaluated: its input geometry is used",
                    "node type jiggle (jiggle1) not evaluated"}},
        {.what = "a creator not built",
         .scene = R"(createNode transform -n "pHelix1"; createNode mesh -n "pHelixShape1" -p "pHelix1";
createNode polyHelix -n "polyHelix1"; connectAttr "polyHelix1.out" "pHelixShape1.i";)",
         .shape = "pHelixShape1", .faces = 0, .warnings = 1,
         .warned = {"\nnode type polyHelix (polyHelix1) not evaluated: it has no input geometry to pass on\n"},
         .error = nullptr},
        {.what = "a loop", .scene = kBroken, .shape = "aShape", .faces = 0, .warnings = -1, .error = nullptr},
        {.what = "a skinCluster with no input", .scene = kBroken, .shape = "bShape", .faces = 0, .warnings = -1, .error = nullptr},
        {.what = "a target that is the shape itself is skipped", .scene = kBroken, .shape = "cShape", .faces = 6,
         .points = {{0, {-0.5f, -0.5f, 0.5f}}}, .warnings = -1, .warned = {"blendShape1: target"}, .error = nullptr},
    });
}

TEST(MeshHistoryNodes, PolyTriangulateMakesTriangles) {
    auto scene = load(onCube("polyTriangulate", "setAttr \".ics\" -type \"componentList\" 1 \"f[*]\";") + R"(
createNode transform -n "half"; createNode mesh -n "halfShape" -p "half";
createNode polyTriangulate -n "polyTriangulate2"; setAttr ".ics" -type "componentList" 1 "f[0]";
connectAttr "polyCube1.out" "polyTriangulate2.ip"; connectAttr "polyTriangulate2.out" "halfShape.i";
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
        auto scene = load(std::string("currentUnit -a ") + unit + ";\n" +
                          onCube("polySoftEdge", std::string("setAttr \".ics\" -type \"componentList\" 1 \"e[*]\";\n"
                                                             "setAttr \".a\" ") + angle + ";"));
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
    auto scene = load(onCube("polyNormal", "setAttr \".ics\" -type \"componentList\" 1 \"f[0]\"; setAttr \".nm\" 0;"));
    const MeshData& m = *meshNamed(*scene, "pCubeShape1").mesh;
    ASSERT_EQ(m.numFaces(), 6u);
    // Face 0 (0 1 3 2) keeps its first corner and runs backwards; face 1 is untouched.
    EXPECT_EQ(std::vector<int32_t>(m.faceVertices.begin(), m.faceVertices.begin() + 8),
              (std::vector<int32_t>{0, 2, 3, 1, 2, 3, 5, 4}));
}

TEST(MeshHistoryNodes, PolyColorPerVertexAndPolyTweakUV) {
    auto scene = load(std::string(kCube) + R"(
createNode polyColorPerVertex -n "polyColorPerVertex1";
	setAttr ".cn" -type "string" "paint"; setAttr -s 2 ".vclr";
	setAttr ".vclr[0].vrgb" -type "float3" 1 0 0; setAttr ".vclr[0].vxal" 0.5;
	setAttr ".vclr[1].vfcl[0].frgb" -type "float3" 0 0 1;
createNode polyTweakUV -n "polyTweakUV1"; setAttr ".uvtk[0]" -type "float2" 0.125 0.25;
connectAttr "polyCube1.out" "polyColorPerVertex1.ip"; connectAttr "polyColorPerVertex1.out" "polyTweakUV1.ip";
connectAttr "polyTweakUV1.out" "pCubeShape1.i";
)");
    const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
    ASSERT_EQ(e.error, "");
    EXPECT_TRUE(e.warnings.empty()) << joined(e.warnings);
    const MeshData& m = *e.mesh;
    ASSERT_EQ(m.colorSets.size(), 1u);
    const MeshColorSet& paint = m.colorSets[0];
    EXPECT_EQ(paint.name, "paint");
    auto colour = [&paint](size_t corner) {
        const int c = corner < paint.faceVertexColor.size() ? paint.faceVertexColor[corner] : -1;
        return c < 0 ? std::vector<float>{} : std::vector<float>(&paint.rgba[4 * size_t(c)], &paint.rgba[4 * size_t(c) + 4]);
    };
    // Face 0 is (0 1 3 2): its first corner is vertex 0, its second vertex 1 with an opaque face colour.
    EXPECT_EQ(colour(0), (std::vector<float>{1, 0, 0, 0.5f}));
    EXPECT_EQ(colour(1), (std::vector<float>{0, 0, 1, 1}));

    auto fresh = load(std::string(kCube) + "connectAttr \"polyCube1.out\" \"pCubeShape1.i\";\n");
    const MeshData& plain = *meshNamed(*fresh, "pCubeShape1").mesh;
    ASSERT_FALSE(m.uvSets.empty());
    EXPECT_EQ((std::vector<float>{m.uvSets[0].u[0], m.uvSets[0].v[0], m.uvSets[0].u[1]}),
              (std::vector<float>{plain.uvSets[0].u[0] + 0.125f, plain.uvSets[0].v[0] + 0.25f, plain.uvSets[0].u[1]}));
}

TEST(MeshHistoryNodes, PolyNormalPerVertexLocksUserNormals) {
    // Vertex 0 gets one normal on every face around it; vertex 1 one on face 0 alone.
    auto scene = load(onCube("polyNormalPerVertex", R"(setAttr ".vn[0].nxyz" -type "float3" 0 0 1;
setAttr ".vn[1].vfnl[0].fnxy" -type "float3" 1 0 0; setAttr ".vn[99].nxyz" -type "float3" 0 1 0;)"));
    const MeshEvaluation& e = meshNamed(*scene, "pCubeShape1");
    const MeshData& m = *e.mesh;
    ASSERT_EQ(m.faceVertexNormals.size(), 3 * m.numFaceVertices());
    std::vector<std::string> locked;   // "face vertex: normal" of every locked corner
    for (size_t f = 0; f < m.numFaces(); ++f)
        for (uint32_t fv = m.loopStart[m.faceLoopStart[f]]; fv < m.loopStart[m.faceLoopStart[f + 1]]; ++fv)
            if (const float* n = &m.faceVertexNormals[3 * fv]; n[0] < 1e19f)
                locked.push_back(std::to_string(f) + " " + std::to_string(m.faceVertices[fv]) + ": " +
                                 std::to_string(int(n[0])) + std::to_string(int(n[1])) + std::to_string(int(n[2])));
    EXPECT_EQ(locked, (std::vector<std::string>{"0 0: 001", "0 1: 100", "3 0: 001", "5 0: 001"}));
    EXPECT_NE(joined(e.warnings).find("1 normals name vertices beyond the mesh's 8"), std::string::npos)
        << joined(e.warnings);
}

}  // namespace
