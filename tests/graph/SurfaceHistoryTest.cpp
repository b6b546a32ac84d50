// Surfaces and meshes built from curves through the graph: curve creators and
// curve shapes with tweaks and transforms, loft, revolve and planar trims,
// and nurbsTessellate putting the result into a mesh.

#include "MeshHistoryTestUtil.h"

#include "eval/CurveEval.h"
#include "eval/SurfaceEval.h"
#include "nurbs/NurbsEval.h"

using namespace mayahost;
using history_test::load;
using history_test::meshNamed;

namespace {

// Two circles, the upper one moved by its transform and one of its points
// tweaked; a loft through their world space, tessellated into a mesh.
const char* kLoftScene = R"(
createNode transform -n "low";
createNode nurbsCurve -n "lowShape" -p "low";
createNode transform -n "high";
    setAttr ".t" -type "double3" 0 2 0 ;
createNode nurbsCurve -n "highShape" -p "high";
    setAttr ".cp[0]" -type "double3" 0 0.5 0 ;
createNode makeNurbCircle -n "circleA";
    setAttr ".nr" -type "double3" 0 1 0 ;
createNode makeNurbCircle -n "circleB";
    setAttr ".nr" -type "double3" 0 1 0 ;
    setAttr ".r" 2;
createNode loft -n "loft1";
    setAttr ".u" yes;
    setAttr ".rsn" yes;
createNode nurbsTessellate -n "tess1";
    setAttr ".f" 2;
    setAttr ".pt" 1;
    setAttr ".ucr" no;
createNode transform -n "skin";
createNode mesh -n "skinShape" -p "skin";
createNode transform -n "skinSurface";
createNode nurbsSurface -n "skinSurfaceShape" -p "skinSurface";
connectAttr "circleA.oc" "lowShape.cr";
connectAttr "circleB.oc" "highShape.cr";
connectAttr "lowShape.ws" "loft1.ic[0]";
connectAttr "highShape.ws" "loft1.ic[1]";
connectAttr "loft1.os" "skinSurfaceShape.cr";
connectAttr "loft1.os" "tess1.is";
connectAttr "tess1.op" "skinShape.i";
)";

TEST(SurfaceHistory, LoftOfWorldSpaceCurvesIsTessellatedIntoAMesh) {
    auto scene = load(kLoftScene);
    // The tweak moves the first point and, the circle being periodic, its repeat.
    const CurveEvaluation& high = evaluateCurve(*scene, *scene->findNode("highShape"));
    ASSERT_EQ(high.error, "");
    const std::vector<double>& cvs = high.curve->cvs;
    EXPECT_DOUBLE_EQ(cvs[1], 0.5);
    EXPECT_DOUBLE_EQ(cvs[4 * 8 + 1], 0.5);

    const SurfaceEvaluation& surface = evaluateSurface(*scene, *scene->findNode("skinSurfaceShape"));
    ASSERT_EQ(surface.error, "");
    EXPECT_TRUE(surface.warnings.empty()) << surface.warnings.front();
    // u along the circles (reversed normals), v from the low circle (y 0) to the high one (y 2).
    const NurbsSurface& s = surface.surface->surface;
    EXPECT_NEAR(surfacePoint(s, 0.3, surfaceDomainV(s).start).y, 0, 1e-12);
    EXPECT_NEAR(surfacePoint(s, 0.3, surfaceDomainV(s).end).y, 2, 1e-12);

    const MeshEvaluation& mesh = meshNamed(*scene, "skinShape");
    ASSERT_EQ(mesh.error, "");
    EXPECT_TRUE(mesh.warnings.empty()) << mesh.warnings.front();
    // 8 spans round, 1 across, 3 isoparms each: 24 x 3 quads, the seam shared.
    EXPECT_EQ(mesh.mesh->numFaces(), 72u);
    EXPECT_EQ(mesh.mesh->numVertices(), 96u);
}

// A square of four curves filled by a planar trim, a revolve of a line and
// the cylinder caps a revolve makes from the cylinder's cap curves.
const char* kShapesScene = R"(
createNode makeNurbsSquare -n "square";
    setAttr ".nr" -type "double3" 0 1 0 ;
    setAttr ".sl1" 4;
    setAttr ".sl2" 2;
createNode planarTrimSurface -n "planar1";
createNode transform -n "lid";
createNode nurbsSurface -n "lidShape" -p "lid";
createNode nurbsTessellate -n "tess1";
    setAttr ".f" 2;
createNode transform -n "lidMesh";
createNode mesh -n "lidMeshShape" -p "lidMesh";
createNode transform -n "profile";
createNode nurbsCurve -n "profileShape" -p "profile";
    setAttr ".cc" -type "nurbsCurve" 1 1 0 no 3 2 0 1 2 1 0 0 1 1 0 ;
createNode revolve -n "revolve1";
    setAttr ".ax" -type "double3" 0 1 0 ;
    setAttr ".s" 6;
createNode transform -n "tube";
createNode nurbsSurface -n "tubeShape" -p "tube";
createNode makeNurbCylinder -n "cylinder";
    setAttr ".ax" -type "double3" 0 1 0 ;
createNode revolve -n "capRevolve";
createNode transform -n "cap";
createNode nurbsSurface -n "capShape" -p "cap";
connectAttr "square.oc1" "planar1.ic[0]";
connectAttr "square.oc3" "planar1.ic[1]";
connectAttr "square.oc2" "planar1.ic[2]";
connectAttr "square.oc4" "planar1.ic[3]";
connectAttr "planar1.os" "lidShape.cr";
connectAttr "planar1.os" "tess1.is";
connectAttr "tess1.op" "lidMeshShape.i";
connectAttr "profileShape.ws" "revolve1.ic";
connectAttr "revolve1.os" "tubeShape.cr";
connectAttr "cylinder.bcc" "capRevolve.ic";
connectAttr "cylinder.ax" "capRevolve.ax";
connectAttr "capRevolve.os" "capShape.cr";
)";

TEST(SurfaceHistory, PlanarTrimsRevolvesAndCapsEvaluate) {
    auto scene = load(kShapesScene);
    const SurfaceEvaluation& lid = evaluateSurface(*scene, *scene->findNode("lidShape"));
    ASSERT_EQ(lid.error, "");
    ASSERT_EQ(lid.surface->regions.size(), 1u);
    EXPECT_EQ(lid.surface->regions[0].boundaries[0].curves.size(), 4u);
    // The trimmed lid is cut by the display tessellation: its area is the square's.
    const MeshEvaluation& lidMesh = meshNamed(*scene, "lidMeshShape");
    ASSERT_EQ(lidMesh.error, "");
    EXPECT_GT(lidMesh.mesh->numFaces(), 0u);

    const SurfaceEvaluation& tube = evaluateSurface(*scene, *scene->findNode("tubeShape"));
    ASSERT_EQ(tube.error, "");
    EXPECT_EQ(tube.surface->surface.numV, 9u);  // 6 sections of a periodic cubic
    const MeshVec p = surfacePoint(tube.surface->surface, 0.5, 2);
    EXPECT_NEAR(std::hypot(p.x, p.z), 1, 1e-12);

    const SurfaceEvaluation& cap = evaluateSurface(*scene, *scene->findNode("capShape"));
    ASSERT_EQ(cap.error, "");
    EXPECT_NEAR(surfacePoint(cap.surface->surface, 0.5, 1).y, -1, 1e-12);  // the base of a height 2 cylinder
}

TEST(SurfaceHistory, BrokenInputsSayWhy) {
    // A loft whose second section is missing, a revolve of nothing.
    auto scene = load(R"(
createNode makeNurbCircle -n "circleA";
createNode transform -n "c";
createNode nurbsCurve -n "cShape" -p "c";
createNode loft -n "loft1";
createNode revolve -n "revolve1";
createNode transform -n "s1";
createNode nurbsSurface -n "s1Shape" -p "s1";
createNode transform -n "s2";
createNode nurbsSurface -n "s2Shape" -p "s2";
connectAttr "circleA.oc" "cShape.cr";
connectAttr "cShape.ws" "loft1.ic[0]";
connectAttr "loft1.os" "s1Shape.cr";
connectAttr "revolve1.os" "s2Shape.cr";
)");
    const SurfaceEvaluation& one = evaluateSurface(*scene, *scene->findNode("s1Shape"));
    EXPECT_NE(one.error.find("two section curves"), std::string::npos) << one.error;
    EXPECT_TRUE(one.empty());
    const SurfaceEvaluation& none = evaluateSurface(*scene, *scene->findNode("s2Shape"));
    EXPECT_NE(none.error.find("no curve is connected"), std::string::npos) << none.error;
}

}  // namespace
