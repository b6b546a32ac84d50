// Surfaces and meshes built from curves through the graph: curve creators and
// curve shapes with tweaks and transforms, loft, revolve and planar trims,
// and nurbsTessellate putting the result into a mesh.

#include <maya/MFnMesh.h>
#include <maya/MFnNurbsSurface.h>
#include <maya/MPointArray.h>

#include "MeshHistoryTestUtil.h"
#include "../fixtures/NurbsScenes.h"

#include "eval/CurveEval.h"
#include "eval/SurfaceEval.h"
#include "eval/TransformEval.h"
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

// Surfaces edited through their history in real and small scenes:
// attachSurface of two placed shapes, rebuildSurface and rebuildCurve.

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
    auto scene = history_test::corpusScene("nurbs/cclarke468__1660spring2020__scenes__messing around with curves.ma");
    if (!scene) GTEST_SKIP() << "no corpus scene";
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

// NURBS surfaces through the function sets: history, broken data, and the
// tessellation Maya leaves in the scene (stored data and trims are read
// through the importer's own readers in the plug-in tests).

MFnNurbsSurface surfaceNamed(const Scene& scene, const char* name, MStatus* status = nullptr) {
    return MFnNurbsSurface(history_test::pathOf(scene, name), status);
}

// A creator, a transformGeometry and a tweak: each changes the control points
// Maya would hand on.
TEST(NurbsSurface, HistoryMovesAndTweaksTheCreatorsSurface) {
    const std::string base = R"(
createNode transform -n "p"; createNode nurbsSurface -n "pShape" -p "p";
createNode transform -n "q"; createNode nurbsSurface -n "qShape" -p "q";
createNode makeNurbPlane -n "make1";
createNode makeNurbPlane -n "make2";
createNode transformGeometry -n "move"; setAttr ".txf" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 5 0 0 1;
createNode tweak -n "tw"; setAttr ".pl[0].cp[3]" -type "double3" 0 2 0;
connectAttr "make1.os" "pShape.cr";
connectAttr "make2.os" "move.ig"; connectAttr "move.og" "tw.ip[0].ig"; connectAttr "tw.og[0]" "qShape.cr";
)";
    auto scene = load(base);
    MPointArray plain, moved;
    ASSERT_TRUE(surfaceNamed(*scene, "pShape").getCVs(plain));
    ASSERT_TRUE(surfaceNamed(*scene, "qShape").getCVs(moved));
    ASSERT_EQ(plain.length(), moved.length());
    ASSERT_GT(plain.length(), 3u);
    for (unsigned i = 0; i < plain.length(); ++i) {
        EXPECT_DOUBLE_EQ(moved[i].x, plain[i].x + 5) << i;
        EXPECT_DOUBLE_EQ(moved[i].y, plain[i].y + (i == 3 ? 2 : 0)) << i;
        EXPECT_DOUBLE_EQ(moved[i].z, plain[i].z) << i;
    }
}

TEST(NurbsSurface, BrokenDataFailsWithItsReason) {
    struct Case {
        const char* name;
        std::string body;
        const char* reason;
    };
    const std::string shape = "createNode transform -n \"s\"; createNode nurbsSurface -n \"sShape\" -p \"s\";\n";
    const Case cases[] = {
        {"no data", shape, "no surface data"},
        {"points short of the grid",
         shape + "setAttr \".cc\" -type \"nurbsSurface\" 1 1 0 0 no 2 0 1 2 0 1 3 0 0 0 1 0 0 0 0 1;", "grid"},
        {"decreasing knots",
         shape + "setAttr \".cc\" -type \"nurbsSurface\" 1 1 0 0 no 2 1 0 2 0 1 4 0 0 0 1 0 0 0 0 1 1 0 1;",
         "decrease"},
        {"weight zero",
         shape + "setAttr \".cc\" -type \"nurbsSurface\" 1 1 0 0 yes 2 0 1 2 0 1 4 0 0 0 0 1 0 0 1 0 0 1 1 1 0 1 1;",
         "weight"},
        {"history cycle",
         shape + "createNode transformGeometry -n \"t\"; connectAttr \"sShape.ws[0]\" \"t.ig\"; "
                 "connectAttr \"t.og\" \"sShape.cr\";",
         "transformGeometry"},
    };
    for (const Case& c : cases) {
        auto scene = load(c.body);
        MStatus status;
        MFnNurbsSurface surface = surfaceNamed(*scene, "sShape");
        surface.numCVsInU(&status);
        EXPECT_FALSE(status) << c.name;
        const SurfaceEvaluation& e = evaluateSurface(*scene, *scene->findNode("sShape"));
        std::string said = e.error;
        for (const std::string& w : e.warnings) said += " | " + w;
        EXPECT_NE(said.find(c.reason), std::string::npos) << c.name << ": " << said;
        EXPECT_TRUE(surface.tesselate().isNull()) << c.name;
    }
}

// Every tessellation is a new object of the scene, numbered as Maya numbers
// new names, holding a mesh of triangles.
TEST(NurbsSurface, TessellationAddsAPolygonObjectToTheScene) {
    auto scene = load(nurbs_scenes::trimmedPlane("card"));
    MFnNurbsSurface surface = surfaceNamed(*scene, "cardShape");
    const size_t before = scene->nodes().size();
    for (const char* expected : {"polySurface1", "polySurface2"}) {
        MStatus status;
        MObject made = surface.tesselate(MTesselationParams(), MObject::kNullObj, &status);
        ASSERT_TRUE(status) << status.errorString();
        MFnDagNode transform(made);
        EXPECT_EQ(std::string(transform.name().asChar()), expected);
        ASSERT_EQ(transform.childCount(), 1u);
        MFnMesh mesh(transform.child(0), &status);
        ASSERT_TRUE(status) << status.errorString();
        EXPECT_GT(mesh.numPolygons(), 4);
        EXPECT_EQ(mesh.numFaceVertices(), 3 * mesh.numPolygons());
    }
    EXPECT_EQ(scene->nodes().size(), before + 4);
}

}  // namespace
