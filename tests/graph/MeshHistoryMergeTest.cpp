// polySeparate through a scene: each output, through the groupParts Maya puts
// after it, holds its own shell; polyMergeVert then joins two of a shell's corners.

#include "MeshHistoryTestUtil.h"

using namespace mayahost;
using namespace history_test;

namespace {

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

TEST(MeshHistoryMerge, PolySeparateOutputsAndAMergeAfterIt) {
    checkMeshes({
        {.what = "first shell", .scene = kSeparate, .shape = "aShape", .faces = 6, .vertices = 8, .edges = 12, .warnings = 0},
        {.what = "second shell through groupParts", .scene = kSeparate, .shape = "bShape", .faces = 1, .vertices = 4,
         .points = {{0, {-0.5f, 2, 0.5f}}}, .warnings = 0},
        {.what = "no third shell", .scene = kSeparate, .shape = "cShape", .faces = 0, .warnings = -1,
         .warned = {"output 2 asked of 2 shells"}, .error = nullptr},
        // Corners 0 and 1 of the plane meet halfway: the quad becomes a triangle.
        {.what = "merged side", .scene = kSeparate, .shape = "dShape", .faces = 1, .vertices = 3, .edges = 3,
         .points = {{0, {0, 2, 0.5f}}}},
    });
}

}  // namespace
