// NURBS surfaces through the function sets: history, broken data, and the
// tessellation Maya leaves in the scene (stored data and trims are read
// through the importer's own readers in the plug-in tests).

#include <maya/MFnMesh.h>
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
