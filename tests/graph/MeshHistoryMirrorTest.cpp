// polyMirror and polyBridgeEdge through a scene: the attributes as files write
// them (angles in the file's unit, the world plane through the input matrix).

#include "MeshHistoryTestUtil.h"

using namespace mayahost;
using namespace history_test;

namespace {

TEST(MeshHistoryMirror, CubeMirroredCutAndBridged) {
    checkMeshes({
        // World x = 0 is the cube's x = -1: vertex 0 (-.5 -.5 .5) is copied to x = -1.5.
        {.what = "world plane", .scene = onCube("polyMirror", R"(setAttr ".ws" yes; setAttr ".mm" 0;
setAttr ".ix" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 1 0 0 1;)"),
         .faces = 12, .vertices = 16, .edges = 24, .points = {{8, {-1.5f, -0.5f, 0.5f}}}},
        // Cut at x = 0 (5 faces on 8 vertices), mirrored and merged: a closed box halved at x = 0.
        {.what = "cut and merged", .scene = onCube("polyMirror", R"(setAttr ".cm" yes;)"),
         .faces = 10, .vertices = 12, .edges = 20},
        // 90 degrees about Z turn the X plane onto Y.
        {.what = "turned plane", .scene = onCube("polyMirror", R"(setAttr ".mm" 0; setAttr ".ro" -type "double3" 0 0 90;)"),
         .faces = 12, .vertices = 16, .points = {{8, {-0.5f, 0.5f, 0.5f}}}},
        {.what = "absurd divisions", .scene = onCube("polyBridgeEdge", R"(setAttr ".dv" 1e9;
setAttr ".ics" -type "componentList" 2 "e[0]" "e[4]";)"),
         .faces = 6, .warnings = 1, .warned = {"divisions"}},
    });
}

}  // namespace
