// skinCluster, blendShape, cluster and nonLinear in a mesh's history: weights in every form a
// file writes them, the joints' world matrices at load, stored and live
// targets, weights driven by animation.

#include "MeshHistoryTestUtil.h"

using namespace mayahost;
using namespace history_test;

namespace {

// A cube skinned to two joints. joint1 was bound at the origin and now
// stands at (2 0 0); joint2, its child, was bound at (0 1 0) and is now
// turned 90 degrees about z. The bottom vertices follow joint1 alone, the
// top ones a quarter joint1 and three quarters joint2. The weights use the
// three forms Maya writes: spread over a vertex range with per-vertex
// counts, a dense run per vertex, and one plug per weight.
const char* kSkinnedCube = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
createNode mesh -n "pCubeShape1Orig" -p "pCube1"; setAttr ".io" yes;
createNode polyCube -n "polyCube1";
createNode joint -n "joint1"; setAttr ".t" -type "double3" 2 0 0 ;
createNode joint -n "joint2" -p "joint1"; setAttr ".t" -type "double3" 0 1 0 ; setAttr ".r" -type "double3" 0 0 90 ;
createNode skinCluster -n "skinCluster1";
	setAttr -s 8 ".wl"; setAttr ".wl[0:1].w" 1 0 1 1 0 1;
	setAttr -s 2 ".wl[2].w[0:1]"  0.25 0.75; setAttr ".wl[3].w[0]" 0.25; setAttr ".wl[3].w[1]" 0.75;
	setAttr ".wl[4:7].w" 2 0 0.25 1 0.75 2 0 0.25 1 0.75 1 0 1 1 0 1;
	setAttr -s 2 ".pm"; setAttr ".pm[0]" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1;
	setAttr ".pm[1]" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 0 -1 0 1;
	setAttr ".gm" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1;
createNode groupId -n "skinCluster1GroupId";
createNode groupParts -n "skinCluster1GroupParts"; setAttr ".ic" -type "componentList" 1 "vtx[*]";
connectAttr "polyCube1.out" "pCubeShape1Orig.i"; connectAttr "pCubeShape1Orig.w" "skinCluster1GroupParts.ig";
connectAttr "skinCluster1GroupId.id" "skinCluster1GroupParts.gi";
connectAttr "skinCluster1GroupParts.og" "skinCluster1.ip[0].ig"; connectAttr "skinCluster1GroupId.id" "skinCluster1.ip[0].gi";
connectAttr "joint1.wm" "skinCluster1.ma[0]"; connectAttr "joint2.wm" "skinCluster1.ma[1]";
connectAttr "skinCluster1.og[0]" "pCubeShape1.i"; connectAttr "skinCluster1GroupId.id" "pCubeShape1.iog.og[0].gid";
)";

// A cube with one blend target: stored offsets for vertices 2 and 3.
const char* kBlendCube = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
createNode polyCube -n "polyCube1";
createNode blendShape -n "blendShape1"; setAttr ".w[0]" 0.5;
	setAttr ".it[0].itg[0].iti[6000].ipt" -type "pointArray" 2 0 1 0 1 0 2 0 1 ;
	setAttr ".it[0].itg[0].iti[6000].ict" -type "componentList" 1 "vtx[2:3]";
connectAttr "polyCube1.out" "blendShape1.ip[0].ig"; connectAttr "blendShape1.og[0]" "pCubeShape1.i";
)";

// The same with a live target: a cube three high.
const char* kLiveBlend = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
createNode polyCube -n "polyCube1";
createNode transform -n "tall"; createNode mesh -n "tallShape" -p "tall";
createNode polyCube -n "polyCube2"; setAttr ".h" 3;
createNode blendShape -n "blendShape1"; setAttr -s 2 ".w[0:1]"  0.5 1;
connectAttr "polyCube1.out" "blendShape1.ip[0].ig"; connectAttr "polyCube2.out" "tallShape.i";
connectAttr "tallShape.w" "blendShape1.it[0].itg[0].iti[6000].igt"; connectAttr "blendShape1.og[0]" "pCubeShape1.i";
)";

// A cube twisted by a handle squashed to half height, so that its bounds
// meet the cube's bottom and top: the top turns 90 degrees, the bottom not at all.
const char* kTwistedCube = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
createNode polyCube -n "polyCube1";
createNode transform -n "twist1Handle"; setAttr ".s" -type "double3" 1 0.5 1 ;
createNode deformTwist -n "twist1HandleShape" -p "twist1Handle";
createNode nonLinear -n "twist1";
	addAttr -is true -ci true -k true -sn "ea" -ln "endAngle" -at "doubleAngle";
	addAttr -is true -ci true -k true -sn "lb" -ln "lowBound" -dv -1 -at "double";
	setAttr -k on ".ea" 90;
connectAttr "polyCube1.out" "twist1.ip[0].ig"; connectAttr "twist1.og[0]" "pCubeShape1.i";
connectAttr "twist1HandleShape.dd" "twist1.dd"; connectAttr "twist1Handle.wm" "twist1.ma";
)";

// A cube under a cluster whose handle has moved up one; vertex 3 weighs half.
const char* kClusteredCube = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
createNode polyCube -n "polyCube1";
createNode transform -n "cluster1Handle"; setAttr ".t" -type "double3" 0 1 0 ;
createNode clusterHandle -n "cluster1HandleShape" -p "cluster1Handle";
createNode cluster -n "cluster1"; setAttr ".wl[0].w[3]" 0.5;
	setAttr ".gm[0]" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1;
connectAttr "polyCube1.out" "cluster1.ip[0].ig"; connectAttr "cluster1.og[0]" "pCubeShape1.i";
connectAttr "cluster1Handle.wm" "cluster1.ma"; connectAttr "cluster1HandleShape.x" "cluster1.x";
)";

// Cluster and nonLinear wired as Maya writes them: the handle's world matrix
// on .ma, the nonLinear's values as dynamic attributes in the file's angle
// unit, its kind from the handle shape on .dd.
TEST(MeshHistoryDeform, SkinClusterBlendShapeClusterAndNonLinear) {
    checkMeshes({
        // joint1 alone moves a point by (2 0 0). joint2 takes p - (0 1 0), turns it
        // (x y) -> (-y x) and adds (2 1 0): vertex 3 (.5 .5 .5) gives (2.5 1.5 .5)
        // from joint2, (2.5 .5 .5) from joint1.
        {.what = "skinned", .scene = kSkinnedCube, .vertices = 8,
         .points = {{0, {1.5f, -0.5f, 0.5f}}, {7, {2.5f, -0.5f, -0.5f}}, {3, {2.5f, 1.25f, 0.5f}},
                    {2, {2.25f, 0.5f, 0.5f}}, {5, {2.5f, 1.25f, -0.5f}}, {4, {2.25f, 0.5f, -0.5f}}}},
        {.what = "half envelope", .scene = std::string(kSkinnedCube) + "setAttr \"skinCluster1.en\" 0.5;\n",
         .points = {{0, {0.5f, -0.5f, 0.5f}}}},
        {.what = "only vertex 3 in the deformer's set", .scene = replaced(kSkinnedCube, "\"vtx[*]\"", "\"vtx[3]\""),
         .points = {{0, {-0.5f, -0.5f, 0.5f}}, {3, {2.5f, 1.25f, 0.5f}}}},
        {.what = "a singular geomMatrix cannot be undone: the input passes on",
         .scene = std::string(kSkinnedCube) +
                  "setAttr \"skinCluster1.gm\" -type \"matrix\" 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1;\n",
         .points = {{3, {0.5f, 0.5f, 0.5f}}}, .warnings = 1, .warned = {"\nskinCluster1: "}},
        {.what = "weights for vertices the mesh does not have, and a broken spread list",
         .scene = std::string(kSkinnedCube) + "setAttr \"skinCluster1.wl[20].w[0]\" 1;\n"
                                              "setAttr \"skinCluster1.wl[8:9].w\" 3 0 1;\n",
         .points = {{0, {1.5f, -0.5f, 0.5f}}}, .warnings = -1, .warned = {"beyond the mesh's vertices", "malformed"}},
        {.what = "stored target at half weight", .scene = kBlendCube,
         .points = {{2, {-0.5f, 1.0f, 0.5f}}, {3, {0.5f, 1.5f, 0.5f}}, {0, {-0.5f, -0.5f, 0.5f}}}},
        {.what = "weight 0.25 at frame 1 from its animation curve", .scene = std::string(kBlendCube) + R"(
createNode animCurveTU -n "blendShape1_w0"; setAttr ".tan" 2; setAttr -s 2 ".ktv[0:1]"  1 0.25 10 1;
connectAttr "blendShape1_w0.o" "blendShape1.w[0]";
)", .points = {{3, {0.5f, 1.0f, 0.5f}}}},
        {.what = "live target: halfway to its -1.5", .scene = kLiveBlend,
         .points = {{0, {-0.5f, -1.0f, 0.5f}}, {3, {0.5f, 1.0f, 0.5f}}}},
        {.what = "live target, envelope 0", .scene = std::string(kLiveBlend) + "setAttr \"blendShape1.en\" 0;\n",
         .points = {{3, {0.5f, 0.5f, 0.5f}}}},
        {.what = "twist", .scene = kTwistedCube, .points = {{3, {0.5f, 0.5f, -0.5f}}, {0, {-0.5f, -0.5f, 0.5f}}}},
        // The deformation is in world space: the cube moved by 10 in x turns about the world's Y.
        {.what = "twist of a moved cube", .scene = std::string(kTwistedCube) + "setAttr \"pCube1.t\" -type \"double3\" 10 0 0;\n",
         .points = {{3, {-9.5f, 0.5f, -10.5f}}}},
        {.what = "no handle shape", .scene = replaced(kTwistedCube, "connectAttr \"twist1HandleShape.dd\" \"twist1.dd\";", ""),
         .points = {{3, {0.5f, 0.5f, 0.5f}}}, .warnings = 1, .warned = {"deformerData"}},
        {.what = "cluster", .scene = kClusteredCube, .points = {{0, {-0.5f, 0.5f, 0.5f}}, {3, {0.5f, 1.0f, 0.5f}}}},
        {.what = "cluster, relative", .scene = std::string(kClusteredCube) + "setAttr \"cluster1.rel\" yes;\n"
                                                 "parent -r \"cluster1Handle\" \"pCube1\"; setAttr \"pCube1.t\" -type \"double3\" 5 0 0;\n",
         .points = {{0, {-0.5f, 0.5f, 0.5f}}}},
    });
}

}  // namespace
