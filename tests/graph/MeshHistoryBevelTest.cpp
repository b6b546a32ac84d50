// polyBevel3 and polyBevel read from a scene: attribute names and defaults,
// and a real scene's bevelled box whose later edits name its faces.

#include "MeshHistoryTestUtil.h"

#include <filesystem>

using namespace history_test;

namespace {

TEST(MeshHistoryBevel, NodesReadTheirAttributes) {
    const MeshCase cases[] = {
        {.what = "defaults: every edge at 0.2, one segment", .scene = onCube("polyBevel3", ""), .faces = 26, .vertices = 24,
         .edges = 48, .points = {{0, {-.3f, -.3f, .5f}}}},
        {.what = "a fraction in two segments, ngons split",
         .scene = onCube("polyBevel3", R"(setAttr ".oaf" yes; setAttr ".f" 0.6; setAttr ".sg" 2; setAttr ".sn" yes;)"),
         .faces = 54, .vertices = 56, .points = {{0, {-.2f, -.2f, .5f}}}},
        {.what = "the older node: its fillNgons splits the corners",
         .scene = onCube("polyBevel", R"(setAttr ".ics" -type "componentList" 1 "vtx[0]"; setAttr ".sg" 2; setAttr ".fn" yes;)"),
         .faces = 15},
        {.what = "absurd segments pass the cube through",
         .scene = onCube("polyBevel3", R"(setAttr ".sg" 1e9;)"), .faces = 6, .warnings = 1, .warned = {"left as it was"}},
        {.what = "an unknown mitering is named", .scene = onCube("polyBevel3", R"(setAttr ".mit" 3;)"), .faces = 26,
         .warnings = 1, .warned = {"mitering 3"}},
    };
    for (const MeshCase& c : cases) checkMesh(*load(c.scene), c);
}

// A real scene: a default cube placed 4.19 x 0.38 x 2.54 in the world, bevelled
// in world space at 0.7 of half its shortest edge in two segments.
TEST(MeshHistoryBevel, CornerRoomMattress) {
    const std::filesystem::path file = std::filesystem::path(GLOWBOX_CORPUS_DIR) / "nurbs" /
        "Nobl3Nob0dy__Modeling-Surfacing--DAGV-1200__Projects__CornerRoom__CornerRoom_Save_Fbr.ma";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no corpus scene " << file;
    mayahost::Scene scene;
    mayahost::installSceneEvaluators(scene);
    mayahost::SceneBuilder builder(scene, file.string());
    ASSERT_TRUE(mayahost::scenefile::readMaFile(file.string(), builder).ok());
    const mayahost::MeshEvaluation& e = meshNamed(scene, "MattressShape");
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

}  // namespace
