// polyMirror, polyBridgeEdge, polyCut, polyCircularize and polyLayoutUV
// through a scene: the attributes as files write them (angles in the file's
// unit, the world plane through the input matrix).

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

TEST(MeshHistoryMirror, CutCircularizeAndLayout) {
    checkMeshes({
        // 90 degrees about X turn the plane's normal to -Y: the half below y = 0 goes.
        {.what = "cut", .scene = onCube("polyCut", R"(setAttr ".ro" -type "double3" 90 0 0; setAttr ".df" yes;)"),
         .faces = 5, .vertices = 8, .edges = 12},
        // The front square turned 45 degrees about its normal (+Z): vertex 0 from 225 to 270 degrees.
        {.what = "circularize", .scene = onCube("polyCircularize", R"(setAttr ".ics" -type "componentList" 1 "f[0]";
setAttr ".tw" 45;)"),
         .faces = 6, .vertices = 8, .points = {{0, {0, -0.70710678f, 0.5f}}}},
        // The corpus's settings: evaluated, nothing moves.
        {.what = "layout", .scene = onCube("polyLayoutUV", R"(setAttr ".ics" -type "componentList" 1 "f[0:5]";
setAttr ".fr" no; setAttr ".l" 0; setAttr ".ps" 0.2; setAttr ".sc" 0; setAttr ".rbf" 3; setAttr ".lm" 1;)"),
         .faces = 6, .vertices = 8},
    });
}

}  // namespace
