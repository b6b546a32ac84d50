// The mesh side of the API over a loaded scene: MFnMesh, shading-set
// membership, components, polygon iteration and display geometry.

#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MGeometryManager.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MPointArray.h>

#include "MeshHistoryTestUtil.h"

using namespace mayahost;

namespace {

using namespace history_test;

// Maya's default cube saved without history.
const char* kStoredCube = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr -s 14 ".uvst[0].uvsp[0:13]" -type "float2" 0.375 0 0.625 0 0.375 0.25 0.625 0.25 0.375 0.5 0.625 0.5
		0.375 0.75 0.625 0.75 0.375 1 0.625 1 0.875 0 0.875 0.25 0.125 0 0.125 0.25;
	setAttr ".cuvs" -type "string" "map1";
	setAttr -s 8 ".vt[0:7]"  -0.5 -0.5 0.5 0.5 -0.5 0.5 -0.5 0.5 0.5 0.5 0.5 0.5
		 -0.5 0.5 -0.5 0.5 0.5 -0.5 -0.5 -0.5 -0.5 0.5 -0.5 -0.5;
	setAttr -s 12 ".ed[0:11]"  0 1 0 2 3 0 4 5 0 6 7 0 0 2 0 1 3 0 2 4 0 3 5 0 4 6 0 5 7 0 6 0 0 7 1 0;
	setAttr -s 6 -ch 24 ".fc[0:5]" -type "polyFaces" f 4 0 5 -2 -5 mu 0 4 0 1 3 2 f 4 1 7 -3 -7 mu 0 4 2 3 5 4
		f 4 2 9 -4 -9 mu 0 4 4 5 7 6 f 4 3 11 -1 -11 mu 0 4 6 7 9 8 f 4 -12 -10 -8 -6 mu 0 4 1 10 11 3
		f 4 10 4 6 8 mu 0 4 12 0 2 13;
)";

MGeometry geometryOf(const MDagPath& path, MObject component, const char* uvSet = "map1") {
    MGeometryRequirements requirements;
    requirements.addPosition();
    requirements.addNormal();
    requirements.addTexCoord(uvSet);
    return MGeometryManager::getGeometry(path, requirements, &component);
}

TEST(MeshApi, StoredCubeThroughTheFunctionSets) {
    auto scene = load(std::string(kStoredCube) + R"(connectAttr "pCubeShape1.iog" ":initialShadingGroup.dsm" -na;)");
    MDagPath path = pathOf(*scene, "pCubeShape1");
    MStatus status;
    MFnMesh mesh(path, &status);
    ASSERT_TRUE(status);
    EXPECT_TRUE(mesh.syncObject());
    EXPECT_EQ(std::pair(mesh.numPolygons(), mesh.numVertices()), std::pair(6, 8));
    MString uvSet;
    ASSERT_TRUE(mesh.getCurrentUVSetName(uvSet));
    EXPECT_STREQ(uvSet.asChar(), "map1");
    MIntArray vertices;
    ASSERT_TRUE(mesh.getPolygonVertices(4, vertices));
    ASSERT_EQ(vertices.length(), 4u);
    EXPECT_EQ(std::pair(vertices[0], vertices[3]), std::pair(1, 3));

    EXPECT_EQ(membership(*scene, 0, true), (Membership{{"initialShadingGroup", {-1}}})) << "the whole mesh is a member";

    // The extractor's road: a complete polygon component over all faces.
    MFnSingleIndexedComponent fn;
    MObject all = fn.create(MFn::kMeshPolygonComponent, &status);
    ASSERT_TRUE(status);
    EXPECT_TRUE(fn.setCompleteData(mesh.numPolygons()));
    MGeometry g = geometryOf(path, all);
    ASSERT_EQ(g.primitiveArrayCount(), 1u);
    MGeometryPrimitive triangles = g.primitiveArray(0);
    EXPECT_EQ(triangles.drawPrimitiveType(), MGeometryPrimitive::kTriangles);
    static_assert(int(MGeometryPrimitive::kTriangles) == 5);
    EXPECT_EQ((std::vector<size_t>{triangles.elementCount(), g.position().elementCount(), g.normal().elementCount(),
                                   g.texCoord("map1").elementCount(), g.texCoord("other").elementCount()}),
              (std::vector<size_t>{36, 24, 24, 24, 0}));
    EXPECT_EQ(g.texCoord("other").data(), nullptr);
    const auto* index = static_cast<const unsigned int*>(triangles.data());
    const auto* pos = static_cast<const float*>(g.position().data());
    for (unsigned int i = 0; i < triangles.elementCount(); ++i) {
        ASSERT_LT(index[i], 24u);
        EXPECT_EQ(std::fabs(pos[3 * index[i]]), 0.5f);
    }
}

TEST(MeshApi, PerFaceShadingGroupsSplitTheMesh) {
    auto scene = load(std::string(kStoredCube) + R"(
	setAttr -s 2 ".iog[0].og"; setAttr ".iog[0].og[0].gcl" -type "componentList" 1 "f[0:1]";
	setAttr ".iog[0].og[1].gcl" -type "componentList" 2 "f[2]" "f[3:5]";
createNode shadingEngine -n "redSG"; createNode shadingEngine -n "blueSG"; createNode objectSet -n "notRenderable";
connectAttr "pCubeShape1.iog[0].og[0]" "redSG.dsm" -na; connectAttr "pCubeShape1.iog[0].og[1]" "blueSG.dsm" -na;
connectAttr "pCubeShape1.iog[0].og[1]" "notRenderable.dsm" -na;
connectAttr "pCubeShape1.iog[0].og[2]" ":initialShadingGroup.dsm" -na;
)");
    MDagPath path = pathOf(*scene, "pCubeShape1");
    MFnMesh mesh(path);
    EXPECT_EQ(membership(*scene, 0, true), (Membership{{"redSG", {0, 1}}, {"blueSG", {2, 3, 4, 5}}}));
    // Non-renderable sets count when asked for; there is no second instance.
    EXPECT_EQ(membership(*scene, 0, false).size(), 3u);
    EXPECT_TRUE(membership(*scene, 1, true).empty());
    MObjectArray sets, comps;
    ASSERT_TRUE(mesh.getConnectedSetsAndMembers(0, sets, comps, true));
    ASSERT_EQ(sets.length(), 2u);
    const int expectedFaces[] = {2, 4};
    for (unsigned int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        MStatus status;
        MItMeshPolygon it(path, comps[i], &status);
        EXPECT_TRUE(status);
        EXPECT_EQ(it.count(), unsigned(expectedFaces[i]));
        MGeometry g = geometryOf(path, comps[i]);
        ASSERT_EQ(g.primitiveArrayCount(), 1u);
        EXPECT_EQ(g.primitiveArray(0).elementCount(), 3u * 2u * unsigned(expectedFaces[i]));
    }
}

TEST(MeshApi, BrokenDataFailsCleanly) {
    auto scene = load(history_test::replaced(kStoredCube, "f 4 0 5 -2 -5", "f 4 0 5 -2 -9"));  // face 0 no longer closes
    MDagPath path = pathOf(*scene, "pCubeShape1");
    MStatus status;
    MFnMesh mesh(path);
    EXPECT_EQ(mesh.numPolygons(&status), 0);
    EXPECT_FALSE(status);
    EXPECT_NE(std::string(status.errorString().asChar()).find("pCubeShape1"), std::string::npos);
    MItMeshPolygon it(path, MObject::kNullObj, &status);
    EXPECT_EQ(status.statusCode(), MStatus::kFailure);
    EXPECT_EQ(geometryOf(path, MObject()).primitiveArrayCount(), 0u);
}

TEST(MeshApi, ComponentsAreCheckedAgainstTheMesh) {
    auto scene = load(kStoredCube);
    MDagPath path = pathOf(*scene, "pCubeShape1");
    MFnSingleIndexedComponent fn;
    MObject faces = fn.create(MFn::kMeshPolygonComponent);
    for (int face : {5, 2, 5}) fn.addElement(face);
    EXPECT_EQ(fn.elementCount(), 2);
    MStatus status;
    MItMeshPolygon it(path, faces, &status);
    ASSERT_TRUE(status);
    std::vector<int> seen;
    for (; !it.isDone(); it.next()) seen.push_back(it.index());
    EXPECT_EQ(seen, (std::vector<int>{5, 2}));
    EXPECT_EQ(geometryOf(path, faces).primitiveArray(0).elementCount(), 12u);

    fn.addElement(6);
    MItMeshPolygon outside(path, faces, &status);
    EXPECT_EQ(status.statusCode(), MStatus::kFailure) << "face 6 is not in the cube";
    EXPECT_EQ(geometryOf(path, faces).primitiveArrayCount(), 0u);

    MObject vertices = fn.create(MFn::kMeshVertComponent);
    MItMeshPolygon wrongKind(path, vertices, &status);
    EXPECT_EQ(status.statusCode(), MStatus::kFailure);
    EXPECT_TRUE(fn.create(MFn::kMesh, &status).isNull());
    EXPECT_FALSE(status);
}

// A history mesh drawn whole lets go of its evaluation; asked again, it is
// built again with its tweaks and its findings, which are not said twice. A
// stored mesh cannot be built again and keeps its evaluation.
TEST(MeshApi, MeshDrawnWholeIsBuiltAgainWhenAskedAgain) {
    auto scene = load(onCube("polyNoSuchNode", "") + R"(setAttr "pCubeShape1.pt[3]" -type "float3" 0 0 2;)");
    const MeshEvaluation& before = meshNamed(*scene, "pCubeShape1");
    const size_t warnings = before.warnings.size();
    EXPECT_EQ(warnings, 1u) << "the unknown node is passed over";
    MDagPath path = pathOf(*scene, "pCubeShape1");
    ASSERT_EQ(geometryOf(path, MObject()).primitiveArrayCount(), 1u);
    EXPECT_EQ(before.mesh, nullptr) << "released once drawn";
    MFnMesh mesh(path);
    EXPECT_EQ(mesh.numPolygons(), 6);
    MPointArray points;
    ASSERT_TRUE(mesh.getPoints(points));
    ASSERT_EQ(points.length(), 8u);
    EXPECT_FLOAT_EQ(float(points[3].z), 2.5f) << "the tweak is read again";
    EXPECT_EQ(meshNamed(*scene, "pCubeShape1").warnings.size(), warnings);

    auto stored = load(kStoredCube);
    MDagPath storedPath = pathOf(*stored, "pCubeShape1");
    ASSERT_EQ(geometryOf(storedPath, MObject()).primitiveArrayCount(), 1u);
    EXPECT_NE(meshNamed(*stored, "pCubeShape1").mesh, nullptr);
}

// Per-face shading of a mesh with history: the faces of a shading group come
// from the groupParts node that tags them, found through the groupId node the
// shape's object group shares with it.
// Faces 0-3 red and 4-5 blue on the first instance, tagged in the history;
// the second instance lists its own faces and also has a history-tagged group.
const char* kTwoMaterialCube = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
	setAttr -s 2 ".iog[0].og"; setAttr -s 2 ".iog[1].og"; setAttr ".iog[1].og[0].gcl" -type "componentList" 1 "f[5]";
createNode transform -n "pCube2"; parent -s -add "pCubeShape1" "pCube2";
createNode polyCube -n "polyCube1";
createNode groupId -n "groupId1"; createNode groupParts -n "groupParts1";
	setAttr ".ic" -type "componentList" 1 "f[0:3]";
createNode groupId -n "groupId2"; createNode groupParts -n "groupParts2";
	setAttr ".ic" -type "componentList" 2 "f[4]" "f[5]";
createNode groupId -n "groupId3"; createNode groupId -n "deformGroupId"; createNode groupParts -n "deformGroupParts";
	setAttr ".ic" -type "componentList" 1 "vtx[*]";
createNode tweak -n "tweak1";
createNode shadingEngine -n "redSG"; createNode shadingEngine -n "blueSG"; createNode objectSet -n "tweakSet1";
connectAttr "polyCube1.out" "groupParts1.ig";
connectAttr "groupId1.id" "groupParts1.gi";
connectAttr "groupParts1.og" "groupParts2.ig";
connectAttr "groupId2.id" "groupParts2.gi"; connectAttr "groupParts2.og" "deformGroupParts.ig";
connectAttr "deformGroupId.id" "deformGroupParts.gi"; connectAttr "deformGroupParts.og" "tweak1.ip[0].ig";
connectAttr "deformGroupId.id" "tweak1.ip[0].gi"; connectAttr "tweak1.og[0]" "pCubeShape1.i";
connectAttr "groupId1.id" "pCubeShape1.iog[0].og[0].gid"; connectAttr "groupId2.id" "pCubeShape1.iog[0].og[1].gid";
connectAttr "deformGroupId.id" "pCubeShape1.iog[0].og[2].gid"; connectAttr "groupId3.id" "pCubeShape1.iog[1].og[0].gid";
connectAttr "groupId2.id" "pCubeShape1.iog[1].og[1].gid";
connectAttr "pCubeShape1.iog[0].og[0]" "redSG.dsm" -na; connectAttr "pCubeShape1.iog[0].og[1]" "blueSG.dsm" -na;
connectAttr "pCubeShape1.iog[0].og[2]" "tweakSet1.dsm" -na; connectAttr "pCubeShape1.iog[1].og[0]" "redSG.dsm" -na;
connectAttr "pCubeShape1.iog[1].og[1]" "blueSG.dsm" -na;
)";

TEST(MeshHistoryShading, GroupPartsOfTheShapesOwnHistoryGiveThePerFaceShadingGroupsWithinBounds) {
    auto scene = load(kTwoMaterialCube);
    ASSERT_EQ(meshNamed(*scene, "pCubeShape1").mesh->numFaces(), 6u);
    EXPECT_EQ(membership(*scene, 0, true), (Membership{{"redSG", {0, 1, 2, 3}}, {"blueSG", {4, 5}}}));
    // The deformer's vertex set is no shading group and holds no faces.
    EXPECT_EQ(membership(*scene, 0, false),
              (Membership{{"redSG", {0, 1, 2, 3}}, {"blueSG", {4, 5}}, {"tweakSet1", {}}}));
    // Each instance reads its own groups. Instance 1: its own list wins for red
    // (groupId3 tags nothing in the history); blue shares groupId2 and so the
    // faces groupParts2 tags.
    EXPECT_EQ(membership(*scene, 1, true), (Membership{{"redSG", {5}}, {"blueSG", {4, 5}}}));

    // groupId1 now tags faces in another shape's history only, and groupParts2 names a huge range.
    std::string text = replaced(kTwoMaterialCube, "connectAttr \"polyCube1.out\" \"groupParts1.ig\";",
                                "connectAttr \"polyCube1.out\" \"groupParts2.ig\";");
    text = replaced(text, "connectAttr \"groupParts1.og\" \"groupParts2.ig\";",
                    "createNode mesh -n \"otherShape\" -p \"pCube1\";\nconnectAttr \"groupParts1.og\" \"otherShape.i\";");
    auto other = load(replaced(text, "2 \"f[4]\" \"f[5]\"", "1 \"f[4:2000000000]\""));
    EXPECT_EQ(membership(*other, 0, true), (Membership{{"blueSG", {4, 5}}})) << "red shades no face";
}

}  // namespace
