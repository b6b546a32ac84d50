// The history walk computes Maya's modifiers from the attributes the file
// writes: transformGeometry, tweak, polyNormal, polySoftEdge,
// polyTriangulate, polyColorPerVertex, polyTweakUV; other nodes pass their
// input on with a warning, and broken or looping histories end.

#include "MeshHistoryTestUtil.h"

#include <iostream>
#include <map>
#include <set>

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

// The cube (8 vertices) and the plane, moved up by 2 (4 vertices), joined and
// separated again; a third shape asks for a shell that does not exist.
const char* kSeparate = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1"; setAttr ".io" yes;
createNode transform -n "pPlane1"; setAttr ".t" -type "double3" 0 2 0;
createNode mesh -n "pPlaneShape1" -p "pPlane1"; setAttr ".io" yes;
createNode polyCube -n "polyCube1";
createNode polyPlane -n "polyPlane1"; setAttr ".sw" 1; setAttr ".sh" 1;
createNode polyUnite -n "polyUnite1";
connectAttr "polyCube1.out" "pCubeShape1.i"; connectAttr "polyPlane1.out" "pPlaneShape1.i";
connectAttr "pCubeShape1.o" "polyUnite1.ip[0]"; connectAttr "pPlaneShape1.o" "polyUnite1.ip[1]";
connectAttr "pCubeShape1.wm" "polyUnite1.im[0]"; connectAttr "pPlaneShape1.wm" "polyUnite1.im[1]";
createNode polySeparate -n "polySeparate1"; setAttr ".ic" 2; setAttr -s 3 ".out";
connectAttr "polyUnite1.out" "polySeparate1.ip";
createNode transform -n "a"; createNode mesh -n "aShape" -p "a";
createNode transform -n "b"; createNode mesh -n "bShape" -p "b";
createNode transform -n "c"; createNode mesh -n "cShape" -p "c";
createNode groupId -n "groupId1";
createNode groupParts -n "groupParts1"; setAttr ".ic" -type "componentList" 1 "f[*]";
connectAttr "polySeparate1.out[0]" "aShape.i";
connectAttr "polySeparate1.out[1]" "groupParts1.ig"; connectAttr "groupId1.id" "groupParts1.gi";
connectAttr "groupParts1.og" "bShape.i";
connectAttr "polySeparate1.out[2]" "cShape.i";
createNode transform -n "d"; createNode mesh -n "dShape" -p "d";
createNode polyMergeVert -n "polyMergeVert1"; setAttr ".ics" -type "componentList" 1 "vtx[0:1]";
	setAttr ".am" yes;
connectAttr "polySeparate1.out[1]" "polyMergeVert1.ip"; connectAttr "polyMergeVert1.out" "dShape.i";
)";

// A unit cube less a second one moved by `offset`.
std::string cubeLessCube(const char* offset) {
    return std::string(R"(
createNode transform -n "a"; createNode mesh -n "aShape" -p "a"; setAttr ".io" yes;
createNode transform -n "b"; setAttr ".t" -type "double3" )") + offset + R"(;
createNode mesh -n "bShape" -p "b"; setAttr ".io" yes;
createNode polyCube -n "polyCube1"; createNode polyCube -n "polyCube2";
connectAttr "polyCube1.out" "aShape.i"; connectAttr "polyCube2.out" "bShape.i";
createNode polyBoolOp -n "polyBoolOp1"; setAttr ".op" 2;
connectAttr "aShape.o" "polyBoolOp1.ip[0]"; connectAttr "bShape.o" "polyBoolOp1.ip[1]";
connectAttr "aShape.wm" "polyBoolOp1.im[0]"; connectAttr "bShape.wm" "polyBoolOp1.im[1]";
createNode transform -n "r"; createNode mesh -n "rShape" -p "r";
connectAttr "polyBoolOp1.out" "rShape.i";
)";
}

// polyExtrudeEdge, polyChipOff, polyExtrudeVertex, polyMirror, polyBridgeEdge,
// polyCut, polyCircularize, polyLayoutUV, polyBevel3, polyBevel, polySeparate
// and polyMergeVert: their attributes as files write them (angles in the
// file's unit, world planes through the input matrix) and bad settings.
TEST(MeshHistoryNodes, ModelingNodesReadTheirAttributes) {
    const float h = 0.70710678f;
    checkMeshes({
        {.what = "chip-off turned in degrees about the pivot, originals moved off",
         .scene = onCube("polyChipOff", R"(setAttr ".ics" -type "componentList" 1 "f[1]"; setAttr ".dup" no;
setAttr ".r" -type "double3" 0 90 0; setAttr ".pvt" -type "float3" 0 0.5 0;)"),
         .faces = 6, .vertices = 12, .edges = 16, .points = {{8, {.5f, .5f, .5f}}}},
        {.what = "an inner edge stands up along its faces' mean normal",
         .scene = onCube("polyExtrudeEdge", R"(setAttr ".ics" -type "componentList" 1 "e[0]"; setAttr ".tk" 1;)"),
         .faces = 7, .vertices = 10, .edges = 15, .points = {{8, {-.5f, -.5f - h, .5f + h}}}},
        {.what = "a vertex chamfered",
         .scene = onCube("polyExtrudeVertex", R"(setAttr ".ics" -type "componentList" 1 "vtx[0]"; setAttr ".w" 0.25;)"),
         .faces = 9, .vertices = 11, .edges = 18, .points = {{8, {-.25f, -.5f, .5f}}}},
        {.what = "polyExtrudeVertex: absurd divisions pass the cube through",
         .scene = onCube("polyExtrudeVertex", R"(setAttr ".ics" -type "componentList" 1 "vtx[0]"; setAttr ".d" 1000000000;)"),
         .faces = 6, .vertices = 8, .warnings = 1, .warned = {"out of range"}},
        // World x = 0 is the cube's x = -1: vertex 0 (-.5 -.5 .5) is copied to x = -1.5.
        {.what = "polyMirror: world plane", .scene = onCube("polyMirror", R"(setAttr ".ws" yes; setAttr ".mm" 0;
setAttr ".ix" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 1 0 0 1;)"),
         .faces = 12, .vertices = 16, .edges = 24, .points = {{8, {-1.5f, -0.5f, 0.5f}}}},
        // Cut at x = 0 (5 faces on 8 vertices), mirrored and merged: a closed box halved at x = 0.
        {.what = "polyMirror: cut and merged", .scene = onCube("polyMirror", R"(setAttr ".cm" yes;)"),
         .faces = 10, .vertices = 12, .edges = 20},
        // 90 degrees about Z turn the X plane onto Y.
        {.what = "polyMirror: turned plane", .scene = onCube("polyMirror", R"(setAttr ".mm" 0; setAttr ".ro" -type "double3" 0 0 90;)"),
         .faces = 12, .vertices = 16, .points = {{8, {-0.5f, 0.5f, 0.5f}}}},
        {.what = "polyBridgeEdge: absurd divisions", .scene = onCube("polyBridgeEdge", R"(setAttr ".dv" 1e9;
setAttr ".ics" -type "componentList" 2 "e[0]" "e[4]";)"),
         .faces = 6, .warnings = 1, .warned = {"divisions"}},
        // 90 degrees about X turn the plane's normal to -Y: the half below y = 0 goes.
        {.what = "polyCut", .scene = onCube("polyCut", R"(setAttr ".ro" -type "double3" 90 0 0; setAttr ".df" yes;)"),
         .faces = 5, .vertices = 8, .edges = 12},
        // The front square turned 45 degrees about its normal (+Z): vertex 0 from 225 to 270 degrees.
        {.what = "polyCircularize", .scene = onCube("polyCircularize", R"(setAttr ".ics" -type "componentList" 1 "f[0]";
setAttr ".tw" 45;)"),
         .faces = 6, .vertices = 8, .points = {{0, {0, -0.70710678f, 0.5f}}}},
        // The corpus's settings: evaluated, nothing moves.
        {.what = "polyLayoutUV", .scene = onCube("polyLayoutUV", R"(setAttr ".ics" -type "componentList" 1 "f[0:5]";
setAttr ".fr" no; setAttr ".l" 0; setAttr ".ps" 0.2; setAttr ".sc" 0; setAttr ".rbf" 3; setAttr ".lm" 1;)"),
         .faces = 6, .vertices = 8},
        {.what = "polyBevel3 defaults: every edge at 0.2, one segment", .scene = onCube("polyBevel3", ""), .faces = 26, .vertices = 24,
         .edges = 48, .points = {{0, {-.3f, -.3f, .5f}}}},
        {.what = "a fraction in two segments, ngons split",
         .scene = onCube("polyBevel3", R"(setAttr ".oaf" yes; setAttr ".f" 0.6; setAttr ".sg" 2; setAttr ".sn" yes;)"),
         .faces = 54, .vertices = 56, .points = {{0, {-.2f, -.2f, .5f}}}},
        {.what = "the older node: its fillNgons splits the corners",
         .scene = onCube("polyBevel", R"(setAttr ".ics" -type "componentList" 1 "vtx[0]"; setAttr ".sg" 2; setAttr ".fn" yes;)"),
         .faces = 15},
        {.what = "polyBevel3: absurd segments pass the cube through",
         .scene = onCube("polyBevel3", R"(setAttr ".sg" 1e9;)"), .faces = 6, .warnings = 1, .warned = {"left as it was"}},
        {.what = "an unknown mitering is named", .scene = onCube("polyBevel3", R"(setAttr ".mit" 3;)"), .faces = 26,
         .warnings = 1, .warned = {"mitering 3"}},
        // polySeparate's outputs, one through the groupParts Maya puts after it;
        // polyMergeVert then joins two of a shell's corners.
        {.what = "first shell", .scene = kSeparate, .shape = "aShape", .faces = 6, .vertices = 8, .edges = 12, .warnings = 0},
        {.what = "second shell through groupParts", .scene = kSeparate, .shape = "bShape", .faces = 1, .vertices = 4,
         .points = {{0, {-0.5f, 2, 0.5f}}}, .warnings = 0},
        {.what = "no third shell", .scene = kSeparate, .shape = "cShape", .faces = 0, .warnings = -1,
         .warned = {"output 2 asked of 2 shells"}, .error = nullptr},
        // A corner notched out: three sides cut, three of the other cube's
        // inside. Only a result that is the first cube as it was keeps a known
        // numbering.
        {.what = "polyBoolOp: a notch", .scene = cubeLessCube("0.5 0.5 0.5"), .shape = "rShape", .faces = 9,
         .vertices = 14, .edges = 21, .warnings = 1, .warned = {"\npolyBoolOp1: the result's components are numbered"}},
        {.what = "polyBoolOp: nothing cut", .scene = cubeLessCube("5 0 0"), .shape = "rShape", .faces = 6, .warnings = 0},
        // Corners 0 and 1 of the plane meet halfway: the quad becomes a triangle.
        {.what = "merged side", .scene = kSeparate, .shape = "dShape", .faces = 1, .vertices = 3, .edges = 3,
         .points = {{0, {0, 2, 0.5f}}}},
    });
}

// A real scene: a default cube placed 4.19 x 0.38 x 2.54 in the world, bevelled
// in world space at 0.7 of half its shortest edge in two segments.
TEST(MeshHistoryNodes, BevelOfCornerRoomMattress) {
    auto scene = corpusScene("nurbs/Nobl3Nob0dy__Modeling-Surfacing--DAGV-1200__Projects__CornerRoom__CornerRoom_Save_Fbr.ma");
    if (!scene) GTEST_SKIP() << "no corpus scene";
    const mayahost::MeshEvaluation& e = meshNamed(*scene, "MattressShape");
    ASSERT_EQ(e.error, "");
    const mayahost::MeshData& m = *e.mesh;
    EXPECT_EQ(m.numFaces(), 6u + 12 * 2 + 8 * 3);
    EXPECT_EQ(m.numVertices() + m.numFaces(), m.numEdges() + 2);   // still a closed ball
    // The cube's faces all draw back, so they come last, in their order; the
    // top (face 1) draws back by the same world width on every side.
    const double width = 0.7 * 0.5 * 0.37777778238414539;
    const size_t top = m.numFaces() - 6 + 1;
    for (uint32_t c = m.loopStart[top]; c < m.loopStart[top + 1]; ++c) {
        const Point p = pointOf(m, size_t(m.faceVertices[c]));
        EXPECT_NEAR(p.y, 0.5, 1e-6);
        EXPECT_NEAR(std::abs(p.x), 0.5 - width / 4.1861727248014633, 1e-5);
        EXPECT_NEAR(std::abs(p.z), 0.5 - width / 2.5422223800466659, 1e-5);
    }
}

// The uv editing nodes through a real scene: a 2 x 2 plane cut apart by
// three polyMapCut nodes, then its pieces moved into their own texture tiles
// by a polyTweakUV whose indices name the uvs the cuts made.
TEST(MeshHistoryUV, CutsNumberTheirUvsAsTheTweaksAfterThemExpect) {
    auto scene = history_test::corpusScene("mayausd/UsdExportImportUDIMTest__UsdExportUDIMTest.ma");
    if (!scene) GTEST_SKIP() << "corpus scene absent";
    const MeshEvaluation& e = history_test::meshNamed(*scene, "pPlaneShape1");
    ASSERT_TRUE(e.mesh && e.error.empty()) << e.error;
    EXPECT_TRUE(e.warnings.empty()) << history_test::joined(e.warnings);
    const MeshData& m = *e.mesh;
    ASSERT_EQ(m.numFaces(), 4u);
    ASSERT_EQ(m.uvSets.size(), 1u);
    const MeshUVSet& set = m.uvSets[0];
    // Every face its own four uvs, and each face's uvs in one tile: the
    // tweaks moved whole pieces, which only holds when the cuts numbered
    // the new uvs as Maya did.
    EXPECT_EQ(set.u.size(), 16u);
    std::set<int32_t> seen;
    std::set<int> tiles;
    for (size_t f = 0; f < 4; ++f) {
        double mu = 0, mv = 0;
        for (uint32_t k = m.loopStart[f]; k < m.loopStart[f + 1]; ++k) {
            const int32_t id = set.faceVertexUV[k];
            ASSERT_GE(id, 0);
            EXPECT_TRUE(seen.insert(id).second) << "uv " << id << " shared by two faces";
            mu += set.u[size_t(id)] / 4.0, mv += set.v[size_t(id)] / 4.0;
        }
        const double tu = std::floor(mu), tv = std::floor(mv);
        for (uint32_t k = m.loopStart[f]; k < m.loopStart[f + 1]; ++k) {
            const size_t id = size_t(set.faceVertexUV[k]);
            EXPECT_TRUE(set.u[id] > tu - 1e-4 && set.u[id] < tu + 1 + 1e-4 && set.v[id] > tv - 1e-4 &&
                        set.v[id] < tv + 1 + 1e-4)
                << "face " << f << " uv " << id << " leaves tile " << tu << "," << tv;
        }
        tiles.insert(int(tu) * 10 + int(tv));
    }
    EXPECT_EQ(tiles.size(), 3u) << "the lower-right and upper-left pieces move to tiles of their own";
}

// Every mesh of the real scenes evaluates through its history: none comes out
// empty while the file holds its data or a history for it. The node types
// still passed over are counted and printed, so that a run shows what is left.

// "node type X (name) not evaluated: ..." -> X
std::string unevaluatedType(const std::string& warning) {
    const std::string head = "node type ";
    const size_t at = warning.find(head);
    if (at == std::string::npos || warning.find(") not evaluated") == std::string::npos) return {};
    const size_t start = at + head.size();
    const size_t end = warning.find(' ', start);
    return warning.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool hasHistoryOrData(const Scene& scene, const Node& shape) {
    if (shape.denseArray("vrts") || shape.data("face")) return true;
    PlugPath inMesh;
    return scene.resolvePlug(shape, "inMesh", inMesh) && scene.sourceOf(shape, inMesh);
}

TEST(MeshHistoryCorpus, EveryMeshEvaluatesAndUnevaluatedTypesAreCounted) {
    const std::filesystem::path corpus = GLOWBOX_CORPUS_DIR;
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    std::map<std::string, int> notEvaluated;
    int files = 0, meshes = 0, evaluatedWithHistory = 0, empty = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (entry.path().extension() != ".ma") continue;
        ++files;
        const std::string name = entry.path().filename().string();
        Scene scene;
        installSceneEvaluators(scene);
        SceneBuilder builder(scene, entry.path().string());
        if (!scenefile::readMaFile(entry.path().string(), builder).ok()) continue;   // the reader's own tests cover bad files
        for (const auto& node : scene.nodes()) {
            if (!node->hasFn(MFn::kMesh) || !hasHistoryOrData(scene, *node)) continue;
            ++meshes;
            const MeshEvaluation& e = evaluateMesh(scene, *node);
            EXPECT_EQ(e.error, "") << name << " " << node->name();
            bool explained = false;
            for (const std::string& w : e.warnings) {
                if (std::string type = unevaluatedType(w); !type.empty()) ++notEvaluated[type], explained = true;
                explained = explained || w.find("none of its input geometry could be evaluated") != std::string::npos;
            }
            // Only a creator the stand-in does not build may leave a mesh empty, and it says so.
            if (e.mesh->numFaces() == 0) {
                EXPECT_TRUE(explained) << name << " " << node->name() << " is empty without a warning";
                ++empty;
            } else if (!node->denseArray("vrts")) {
                ++evaluatedWithHistory;
            }
        }
    }
    if (files == 0) GTEST_SKIP() << "no .ma files under " << corpus;
    EXPECT_GT(evaluatedWithHistory, 0);
    std::cout << "[ corpus   ] " << files << " files, " << meshes << " meshes, " << evaluatedWithHistory
              << " built from history, " << empty << " empty\n";
    for (const auto& [type, count] : notEvaluated)
        std::cout << "[ corpus   ] not evaluated: " << type << " x" << count << "\n";
}

}  // namespace
