// The mesh manager on small scenes: one triangle object per shading set,
// shared by every path to the shape, with the set's material.

#include "plugins/maya/src/MaterialManager.h"
#include "plugins/maya/src/MeshManager.h"
#include "plugins/maya/src/NurbsManager.h"
#include "plugins/maya/src/mayautil.h"
#include "sceneapi/model/Material.h"
#include "sceneapi/model/NurbsSurface.h"
#include "sceneapi/model/TriangleObject.h"
#include "tests/fixtures/NurbsScenes.h"
#include "tests/plugin/MayaScene.h"

#include <maya/MDagPath.h>
#include <maya/MFnNurbsSurface.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Two shaders, red and blue, each with its shading set.
const std::string kRedAndBlue = shader("lambert", "red") + shader("blinn", "blue");

struct NothingDirty final : IDirtyChecker {
  bool isDirty(const MDagPath&) override { return false; }
};

class MeshManagerTest : public MayaSceneTest {
 protected:
  static std::shared_ptr<MaterialManager> loadedMaterials() {
    auto materials = std::make_shared<MaterialManager>();
    materials->loadMaterials();
    return materials;
  }

  static GeometryList extract(const std::string& path) {
    MeshManager manager;
    manager.setMaterialProvider(loadedMaterials());
    return manager.extractGeometry(pathTo(path));
  }

  static std::shared_ptr<orb::TriangleObject> triangles(const std::shared_ptr<orb::LightGeometry>& node) {
    auto object = std::dynamic_pointer_cast<orb::TriangleObject>(node);
    EXPECT_TRUE(object);
    return object;
  }

  // Triangles of each object by its material's name, after checking that
  // every object is a well-formed part of the named shape.
  static std::map<std::string, size_t> trianglesByMaterial(const GeometryList& list, const std::string& shape) {
    std::map<std::string, size_t> counts;
    for (const auto& node : list) {
      auto object = triangles(node);
      if (!object || !object->material()) {
        ADD_FAILURE() << "no triangle object with a material";
        continue;
      }
      EXPECT_EQ(object->name(), shape);
      // Positions, normals and uvs share one numbering.
      EXPECT_EQ(object->normals().size(), object->vertices().size());
      EXPECT_EQ(object->uvs().size() / 2, object->vertices().size() / 3);
      for (int index : object->triangles()) EXPECT_LT(size_t(index), object->vertices().size() / 3);
      counts[object->material()->name()] = object->triangles().size() / 3;
    }
    return counts;
  }
};

TEST_F(MeshManagerTest, PerFaceShadingSplitsOneMeshIntoOneObjectPerSetWithItsMaterial) {
  // A default polyCube whose first two faces use one shader and the other
  // four another, as Maya writes a per-face assignment: object groups with
  // their component lists.
  load(meshNode("box", "polyCube", false) + kRedAndBlue + R"(
	setAttr -s 2 "boxShape.iog[0].og";
	setAttr "boxShape.iog[0].og[0].gcl" -type "componentList" 1 "f[0:1]";
	setAttr "boxShape.iog[0].og[1].gcl" -type "componentList" 1 "f[2:5]";
connectAttr "boxShape.iog.og[0]" "redSG.dsm" -na;
connectAttr "boxShape.iog.og[1]" "blueSG.dsm" -na;
)");
  const GeometryList list = extract("|box|boxShape");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(trianglesByMaterial(list, "boxShape"), (std::map<std::string, size_t>{{"red", 4}, {"blue", 8}}));
  // The material for the whole path is the first set's with a shader.
  EXPECT_EQ(loadedMaterials()->materialForPath(pathTo("|box|boxShape"))->name(), "red");
}

TEST_F(MeshManagerTest, FacesOfHistoryGroupsComeFromTheirGroupParts) {
  // As Maya writes a per-face assignment made after modelling: the shape
  // lists no faces, each group's groupParts in the history does, and the
  // first instance's groups are connected without an instance index.
  load(kRedAndBlue + R"(
createNode transform -n "strip";
createNode mesh -n "stripShape" -p "strip";
	setAttr -s 2 ".iog[0].og";
createNode polyPlane -n "plane";
	setAttr ".sw" 3;
	setAttr ".sh" 1;
createNode groupId -n "groupId1";
createNode groupParts -n "groupParts1";
	setAttr ".ic" -type "componentList" 1 "f[0]";
createNode groupId -n "groupId2";
createNode groupParts -n "groupParts2";
	setAttr ".ic" -type "componentList" 1 "f[1:2]";
connectAttr "plane.out" "groupParts1.ig";
connectAttr "groupId1.id" "groupParts1.gi";
connectAttr "groupParts1.og" "groupParts2.ig";
connectAttr "groupId2.id" "groupParts2.gi";
connectAttr "groupParts2.og" "stripShape.i";
connectAttr "groupId1.id" "stripShape.iog.og[0].gid";
connectAttr "redSG.mwc" "stripShape.iog.og[0].gco";
connectAttr "groupId2.id" "stripShape.iog.og[1].gid";
connectAttr "blueSG.mwc" "stripShape.iog.og[1].gco";
connectAttr "stripShape.iog.og[0]" "redSG.dsm" -na;
connectAttr "stripShape.iog.og[1]" "blueSG.dsm" -na;
)");
  const GeometryList list = extract("|strip|stripShape");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(trianglesByMaterial(list, "stripShape"), (std::map<std::string, size_t>{{"red", 2}, {"blue", 4}}));
}

TEST_F(MeshManagerTest, WholeObjectAssignmentGivesTheCubesDisplayGeometry) {
  load(meshNode("cube"));
  const GeometryList list = extract("|cube|cubeShape");
  ASSERT_EQ(list.size(), 1u);
  auto cube = triangles(list[0]);
  ASSERT_TRUE(cube);
  EXPECT_EQ(cube->vertices().size(), 24u * 3);
  EXPECT_EQ(cube->triangles().size(), 12u * 3);
  EXPECT_EQ(cube->uvs().size(), 24u * 2);
  EXPECT_EQ(cube->material()->name(), "lambert1");
  // Every face of a unit cube is flat: each vertex normal is an axis.
  for (size_t v = 0; v < 24; ++v) {
    const float* n = cube->normals().data() + 3 * v;
    EXPECT_FLOAT_EQ(std::fabs(n[0]) + std::fabs(n[1]) + std::fabs(n[2]), 1.0f) << v;
  }
  EXPECT_TRUE(logged("DEBUG3:  extract geometry for |cube|cubeShape"));
  EXPECT_TRUE(logged("DEBUG2:  MFnMesh::getConnectedSetsAndMembers: instanceNum:0 fPolygonSets:1 "
                          "fPolygonComponents:1"));
  EXPECT_TRUE(logged("DEBUG4:  PolyWriter output setcount:1"));
}

TEST_F(MeshManagerTest, HiddenCleanAndSetlessMeshes) {
  load(meshNode("shown") + meshNode("hidden") + meshNode("loose", "polyCube", false) + "setAttr \"hidden.v\" no;\n");
  {
    MeshManager manager;
    NothingDirty clean;
    manager.extractAll(clean);
    EXPECT_TRUE(logged("INFO:  Loaded 0 meshes"));
    EXPECT_TRUE(manager.getGeometry(pathTo("|shown|shownShape")).empty());
  }
  MeshManager manager;
  AlwaysDirty all;
  manager.extractAll(all);
  // The loose mesh is in no set: it is counted and mapped, with nothing to place.
  EXPECT_TRUE(logged("INFO:  Loaded 2 meshes"));
  EXPECT_TRUE(logged("DEBUG3:  Create map entry for:|loose|looseShape"));
  EXPECT_FALSE(logged("DEBUG3:  Create map entry for:|hidden|hiddenShape"));
  EXPECT_TRUE(manager.getGeometry(pathTo("|loose|looseShape")).empty());
  EXPECT_EQ(manager.getGeometry(pathTo("|shown|shownShape")).size(), 1u);
  EXPECT_TRUE(manager.getGeometry(pathTo("|hidden|hiddenShape")).empty());
  // Without a set there is no shader, which is no cause for a warning.
  EXPECT_EQ(loadedMaterials()->materialForPath(pathTo("|loose|looseShape"))->name(), "No maya shader found");
  for (const std::string& record : newRecords()) EXPECT_EQ(record.find("WARNING"), std::string::npos) << record;
}

TEST_F(MeshManagerTest, AHistoryNodeLeftOutIsNamedOnceInTheLog) {
  const std::string file = load(meshNode("lumpy", "polyWobble") +
                                "createNode polyCube -n \"cube\";\nconnectAttr \"cube.out\" \"lumpyIn.ip\";\n");
  MeshManager manager;
  AlwaysDirty all;
  manager.extractAll(all);
  manager.extractAll(all);
  // The cube it changes is used instead, and said so once.
  const GeometryList list = manager.getGeometry(pathTo("|lumpy|lumpyShape"));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(triangles(list[0])->triangles().size(), 12u * 3);
  const std::string expected = "WARNING:  " + file +
                               ": mesh lumpyShape: node type polyWobble (lumpyIn) not evaluated: its input "
                               "geometry is used";
  const auto log = newRecords();
  EXPECT_EQ(std::count(log.begin(), log.end(), expected), 1) << ::testing::PrintToString(log);
}


// The NURBS manager and its readers on small scenes: what reaches the
// surface, its trim loops and its tessellated alternative.
class NurbsManagerTest : public MayaSceneTest {
 protected:
  static std::shared_ptr<orb::NurbsSurface> extract(const std::string& path, bool tessellate) {
    auto materials = std::make_shared<MaterialManager>();
    materials->loadMaterials();
    NurbsManager manager;
    manager.setMaterialProvider(materials);
    manager.setTessellate(tessellate);
    GeometryList list = manager.extractGeometry(pathTo(path));
    EXPECT_EQ(list.size(), 1u);
    return list.empty() ? nullptr : std::dynamic_pointer_cast<orb::NurbsSurface>(list.front());
  }
};

TEST_F(NurbsManagerTest, CubicSurfaceWritesExtendedKnotsAndHomogeneousPointsRowByRow) {
  load(nurbs_scenes::cubicSurface("grid"));
  orb::NurbsSurface surface("grid");
  readNurbsSurface(MFnNurbsSurface(pathTo("|grid|gridShape")), surface);
  EXPECT_EQ(std::pair(surface.uKnots().size(), surface.vKnots().size()), std::pair(size_t(8), size_t(8)));
  // Maya's 0 0 0 1 1 1 with a mirrored knot at each end.
  EXPECT_EQ(surface.uKnots(), std::vector<double>({0, 0, 0, 0, 1, 1, 1, 1}));
  ASSERT_EQ(surface.controlPoints().size(), 64u);
  // u varies fastest: point k is grid point (k % 4, k / 4).
  for (size_t k = 0; k < 16; ++k) {
    const double* p = &surface.controlPoints()[4 * k];
    EXPECT_EQ(std::vector<double>(p, p + 4), std::vector<double>({double(k % 4), double((k % 4) * (k / 4)) / 4.0,
                                                                   -double(k / 4), 1.0}))
        << k;
  }
  EXPECT_FALSE(surface.trimCurves());
  for (const char* record : {"DEBUG4:  Nurbs degree (u,v): 3, 3", "DEBUG4:  knots (u,v): 6, 6"})
    EXPECT_TRUE(logged(record)) << record;
}

TEST_F(NurbsManagerTest, OuterBoundaryOfFourEdgesAndAHoleOfOneMakeTwoLoops) {
  load(nurbs_scenes::trimmedPlane("card"));
  const std::shared_ptr<orb::NurbsCurve> trims = readTrimCurves(MFnNurbsSurface(pathTo("|card|cardShape")));
  EXPECT_EQ(trims->loopEdgeCounts, std::vector<int>({4, 1}));
  EXPECT_EQ(trims->loopInsideFlags, std::vector<int>({1, 0}));
  EXPECT_EQ(trims->edgeOrders, std::vector<int>({2, 2, 2, 2, 3}));
  EXPECT_EQ(trims->edgeMinima, std::vector<double>({0, 1, 2, 3, 0}));
  EXPECT_EQ(trims->edgeMaxima, std::vector<double>({1, 2, 3, 4, 4}));
  EXPECT_EQ(trims->edgeKnotCounts, std::vector<int>({4, 4, 4, 4, 12}));
  // Edge 1's knots 1 2, mirrored out to 0 and 3; (u w, v w, w) per point.
  EXPECT_EQ(std::vector<double>(trims->edgeKnots.begin() + 4, trims->edgeKnots.begin() + 8),
            std::vector<double>({0, 1, 2, 3}));
  ASSERT_EQ(trims->edgePoints.size(), 3u * (8 + 9));
  EXPECT_NEAR(trims->edgePoints[3 * 9], 0.7 * std::sqrt(0.5), 1e-6);
  for (const char* record : {"DEBUG4:  writting 1 trimcurves", "DEBUG4:  here is   4 edges",
                             "DEBUG4:  here is   1 edges"})
    EXPECT_TRUE(logged(record)) << record;
}

TEST_F(NurbsManagerTest, TessellationIsTheAlternativeWithTheShapesMaterial) {
  load(nurbs_scenes::trimmedPlane("card") + shader("lambert", "paper") +
       "connectAttr \"cardShape.iog\" \"paperSG.dsm\" -na;\n");
  auto surface = extract("|card|cardShape", true);
  ASSERT_TRUE(surface && surface->trimCurves());
  ASSERT_TRUE(surface->material());
  EXPECT_EQ(surface->material()->name(), "paper");
  auto triangles = std::dynamic_pointer_cast<orb::TriangleObject>(surface->alternative());
  ASSERT_TRUE(triangles);
  EXPECT_EQ(triangles->name(), "cardShape");
  EXPECT_EQ(triangles->material(), surface->material());
  EXPECT_GT(triangles->triangles().size(), 3u * 8);
  for (const char* record : {"DEBUG4:  TRACE CHECK: tessellation", "DEBUG4:  TRACE CHECK: tri path"})
    EXPECT_TRUE(logged(record)) << record;

  EXPECT_FALSE(extract("|card|cardShape", false)->alternative());
}

TEST_F(NurbsManagerTest, EveryVisibleSurfaceIsCountedAndAnEmptyOneStillGetsItsNode) {
  load(nurbs_scenes::cubicSurface("a") + nurbs_scenes::cubicSurface("b") +
       "setAttr \"b.v\" no;\ncreateNode transform -n \"c\";\ncreateNode nurbsSurface -n \"cShape\" -p \"c\";\n");
  NurbsManager manager;
  manager.setMaterialProvider(std::make_shared<MaterialManager>());
  manager.setTessellate(true);
  AlwaysDirty dirty;
  manager.extractAll(dirty);
  EXPECT_TRUE(logged("INFO:  Loaded 2 NurbSurfaces"));
  EXPECT_EQ(manager.getGeometry(pathTo("|b|bShape")).size(), 0u);
  // No data: the surface node is there, empty, and its tessellation failed.
  const GeometryList empty = manager.getGeometry(pathTo("|c|cShape"));
  ASSERT_EQ(empty.size(), 1u);
  auto surface = std::dynamic_pointer_cast<orb::NurbsSurface>(empty.front());
  ASSERT_TRUE(surface);
  EXPECT_TRUE(surface->controlPoints().empty());
  EXPECT_TRUE(logged("WARNING:  nurbs constructor: ") || logged("WARNING:  tessellation: "));
}

}  // namespace
