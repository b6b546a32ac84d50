// cluster and nonLinear in a mesh's history, wired as Maya writes them: the
// handle's world matrix on .ma, the nonLinear's values as dynamic attributes
// in the file's angle unit, its kind from the handle shape on .dd.

#include "MeshHistoryTestUtil.h"

using namespace mayahost;
using namespace history_test;

namespace {

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

TEST(MeshHistoryDeform, ClusterAndNonLinear) {
    checkMeshes({
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
