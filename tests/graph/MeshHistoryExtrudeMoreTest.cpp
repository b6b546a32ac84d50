// polyExtrudeEdge, polyChipOff and polyExtrudeVertex read from a scene: their
// attributes, the schema's defaults and angle units, and bad settings.

#include "MeshHistoryTestUtil.h"

using namespace history_test;

namespace {

TEST(MeshHistoryExtrudeMore, NodesReadTheirAttributes) {
    const float h = 0.70710678f;
    const MeshCase cases[] = {
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
        {.what = "absurd divisions pass the cube through",
         .scene = onCube("polyExtrudeVertex", R"(setAttr ".ics" -type "componentList" 1 "vtx[0]"; setAttr ".d" 1000000000;)"),
         .faces = 6, .vertices = 8, .warnings = 1, .warned = {"out of range"}},
    };
    for (const MeshCase& c : cases) {
        auto scene = load(c.scene);
        checkMesh(*scene, c);
    }
}

}  // namespace
