// NURBS surfaces through the function sets: stored data, trims, history,
// broken data, and the tessellation Maya leaves in the scene.

#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnNurbsSurface.h>
#include <maya/MPointArray.h>

#include "MeshHistoryTestUtil.h"
#include "eval/SurfaceEval.h"
#include "../fixtures/NurbsScenes.h"

using namespace mayahost;
using namespace history_test;

namespace {

MFnNurbsSurface surfaceNamed(const Scene& scene, const char* name, MStatus* status = nullptr) {
    return MFnNurbsSurface(pathOf(scene, name), status);
}

TEST(NurbsSurface, StoredCubicSurfaceKeepsMayasKnotsAndPointOrder) {
    auto scene = load(nurbs_scenes::cubicSurface("grid"));
    MStatus status;
    MFnNurbsSurface surface = surfaceNamed(*scene, "gridShape", &status);
    ASSERT_TRUE(status) << status.errorString();
    double u0 = -1, u1 = -1, v0 = -1, v1 = -1;
    ASSERT_TRUE(surface.getKnotDomain(u0, u1, v0, v1));
    EXPECT_EQ(std::vector<double>({u0, u1, v0, v1}), std::vector<double>({0, 1, 0, 1}));
    EXPECT_EQ(std::pair(surface.degreeU(), surface.degreeV()), std::pair(3, 3));
    EXPECT_EQ(std::pair(surface.numCVsInU(), surface.numCVsInV()), std::pair(4, 4));
    EXPECT_EQ(std::pair(surface.numKnotsInU(), surface.numKnotsInV()), std::pair(6, 6));
    MDoubleArray knots;
    ASSERT_TRUE(surface.getKnotsInV(knots));
    EXPECT_EQ(knots.length(), 6u);
    EXPECT_EQ(knots[2], 0.0);
    EXPECT_EQ(knots[3], 1.0);
    MPointArray points;
    ASSERT_TRUE(surface.getCVs(points));
    ASSERT_EQ(points.length(), 16u);
    for (unsigned u = 0; u < 4; ++u)
        for (unsigned v = 0; v < 4; ++v) {
            const MPoint& p = points[u * 4 + v];
            EXPECT_EQ(std::vector<double>({p.x, p.z, p.w}), std::vector<double>({double(u), -double(v), 1.0}));
        }
    EXPECT_FALSE(surface.isTrimmedSurface());
    EXPECT_EQ(surface.numRegions(), 0u);
}

TEST(NurbsSurface, TrimFaceGivesARegionWithItsOuterBoundaryFirst) {
    auto scene = load(nurbs_scenes::trimmedPlane("card"));
    MFnNurbsSurface surface = surfaceNamed(*scene, "cardShape");
    ASSERT_TRUE(surface.isTrimmedSurface());
    ASSERT_EQ(surface.numRegions(), 1u);
    MTrimBoundaryArray boundaries;
    ASSERT_TRUE(surface.getTrimBoundaries(boundaries, 0, true));
    ASSERT_EQ(boundaries.length(), 2u);
    EXPECT_EQ(boundaries[0].length(), 4u);
    ASSERT_EQ(boundaries[1].length(), 1u);

    MStatus status;
    MFnNurbsCurve hole(boundaries[1][0], &status);
    ASSERT_TRUE(status) << status.errorString();
    EXPECT_TRUE(boundaries[1][0].hasFn(MFn::kNurbsCurve));
    EXPECT_EQ(hole.degree(), 2);
    EXPECT_EQ(std::pair(hole.numCVs(), hole.numKnots()), std::pair(9, 10));
    double start = -1, end = -1;
    ASSERT_TRUE(hole.getKnotDomain(start, end));
    EXPECT_EQ(std::pair(start, end), std::pair(0.0, 4.0));
    MPointArray points;
    ASSERT_TRUE(hole.getCVs(points));
    EXPECT_NEAR(points[1].x, 0.7, 1e-9);
    EXPECT_NEAR(points[1].w, std::sqrt(0.5), 1e-6);
    EXPECT_EQ(points[0].w, 1.0);
    MTrimBoundaryArray none;
    EXPECT_FALSE(surface.getTrimBoundaries(none, 1, true));
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
