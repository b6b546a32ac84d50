// Surfaces edited through their history in real and small scenes:
// attachSurface of two placed shapes, rebuildSurface and rebuildCurve.

#include "MeshHistoryTestUtil.h"

#include "db/SceneBuilder.h"
#include "eval/CurveEval.h"
#include "eval/SurfaceEval.h"
#include "eval/TransformEval.h"
#include "file/MaReader.h"
#include "nurbs/NurbsEval.h"

#include <filesystem>

using namespace mayahost;

namespace {

std::unique_ptr<Scene> loadFile(const std::filesystem::path& path) {
    auto scene = std::make_unique<Scene>();
    installSceneEvaluators(*scene);
    SceneBuilder builder(*scene, path.string());
    EXPECT_TRUE(scenefile::readMaFile(path.string(), builder).ok());
    return scene;
}

// The shape's surface in world space.
NurbsSurface placed(const Scene& scene, const char* name) {
    const Node& node = *scene.findNode(name);
    const SurfaceEvaluation& e = evaluateSurface(scene, node);
    EXPECT_EQ(e.error, "") << name;
    NurbsSurface s = e.surface->surface;
    if (std::optional<MMatrix> m = dagWorldMatrix(scene, node)) transformControlPoints(s.cvs, *m);
    return s;
}

// A torus's world space attached in v (blend, the sphere swapped and
// reversed) to a sphere's: away from the join the result is each of them.
TEST(SurfaceEditHistory, CorpusAttachOfTorusAndSphereKeepsBothAwayFromTheJoin) {
    const std::filesystem::path file = std::filesystem::path(GLOWBOX_CORPUS_DIR) / "nurbs" /
                                       "cclarke468__1660spring2020__scenes__messing around with curves.ma";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no corpus scene at " << file;
    auto scene = loadFile(file);
    const SurfaceEvaluation& e = evaluateSurface(*scene, *scene->findNode("nurbsTorus1attachedSurfaceShape1"));
    ASSERT_EQ(e.error, "");
    EXPECT_TRUE(e.warnings.empty()) << e.warnings.front();
    const NurbsSurface& s = e.surface->surface;
    const NurbsSurface torus = placed(*scene, "nurbsTorusShape1"), sphere = placed(*scene, "nurbsSphereShape1");
    // v: the torus's [0, 8], then the sphere's u [0, 4] backwards; u: the torus's [0, 4], the sphere's v [0, 8].
    EXPECT_DOUBLE_EQ(surfaceDomainV(s).end, 12);
    for (double u : {0.0, 0.7, 2.2, 3.9}) {
        for (double v : {0.0, 1.3, 4.5})
            EXPECT_LT((surfacePoint(s, u, v) - surfacePoint(torus, u, v)).length(), 1e-9) << u << ", " << v;
        for (double v : {11.0, 11.6, 12.0})
            EXPECT_LT((surfacePoint(s, u, v) - surfacePoint(sphere, 12 - v, 2 * u)).length(), 1e-9) << u << ", " << v;
    }
}

// A circle rebuilt to 4 spans (range 0 to spans) and a plane rebuilt in v only.
const char* kRebuildScene = R"(
createNode makeNurbCircle -n "circle";
    setAttr ".nr" -type "double3" 0 1 0 ;
createNode rebuildCurve -n "rebuildCurve1";
    setAttr ".kr" 2;
    setAttr ".kt" no;
createNode transform -n "c";
createNode nurbsCurve -n "cShape" -p "c";
createNode makeNurbPlane -n "plane";
    setAttr ".u" 2;
    setAttr ".v" 2;
createNode rebuildSurface -n "rebuildSurface1";
    setAttr ".dir" 1;
    setAttr ".sv" 5;
createNode transform -n "p";
createNode nurbsSurface -n "pShape" -p "p";
connectAttr "circle.oc" "rebuildCurve1.ic";
connectAttr "rebuildCurve1.oc" "cShape.cr";
connectAttr "plane.os" "rebuildSurface1.is";
connectAttr "rebuildSurface1.os" "pShape.cr";
)";

TEST(SurfaceEditHistory, RebuildNodesEvaluate) {
    auto scene = history_test::load(kRebuildScene);
    const CurveEvaluation& c = evaluateCurve(*scene, *scene->findNode("cShape"));
    ASSERT_EQ(c.error, "");
    EXPECT_TRUE(c.warnings.empty()) << c.warnings.front();
    EXPECT_EQ(c.curve->form, NurbsForm::Periodic);
    EXPECT_EQ(c.curve->numCVs(), 7u);
    EXPECT_DOUBLE_EQ(curveDomain(*c.curve).end, 4);
    // an 8-section circle fitted with 4 spans stays near radius 1
    for (double t : {0.0, 0.5, 1.7, 3.2}) EXPECT_NEAR(curvePoint(*c.curve, t).length(), 1, 0.02) << t;

    const SurfaceEvaluation& s = evaluateSurface(*scene, *scene->findNode("pShape"));
    ASSERT_EQ(s.error, "");
    EXPECT_EQ(s.surface->surface.numU, 5u);
    EXPECT_EQ(s.surface->surface.numV, 8u);
}

}  // namespace
