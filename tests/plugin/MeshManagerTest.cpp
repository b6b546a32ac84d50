// The mesh manager on small scenes: one triangle object per shading set,
// shared by every path to the shape, with the set's material.

#include "plugins/maya/src/MaterialManager.h"
#include "plugins/maya/src/MeshManager.h"
#include "sceneapi/model/Material.h"
#include "tests/plugin/MayaScene.h"

#include <maya/MDagPath.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// A default polyCube (24 display vertices, 12 triangles) whose first two faces
// use one shader and the other four another, as Maya writes a per-face
// assignment: object groups with their component lists.
constexpr const char* kTwoMaterials = R"(
createNode transform -n "box";
createNode mesh -n "boxShape" -p "box";
	setAttr -s 2 ".iog[0].og";
	setAttr ".iog[0].og[0].gcl" -type "componentList" 1 "f[0:1]";
	setAttr ".iog[0].og[1].gcl" -type "componentList" 1 "f[2:5]";
createNode polyCube -n "polyCube1";
	setAttr ".cuv" 1;
connectAttr "polyCube1.out" "boxShape.i";
createNode lambert -n "red";
createNode shadingEngine -n "redSG";
connectAttr "red.oc" "redSG.ss";
createNode blinn -n "blue";
createNode shadingEngine -n "blueSG";
connectAttr "blue.oc" "blueSG.ss";
connectAttr "boxShape.iog.og[0]" "redSG.dsm" -na;
connectAttr "boxShape.iog.og[1]" "blueSG.dsm" -na;
)";

class AllOrNothing final : public IDirtyChecker {
 public:
  explicit AllOrNothing(bool dirty) : dirty_(dirty) {}
  bool isDirty(const MDagPath&) override { return dirty_; }

 private:
  bool dirty_;
};

class MeshManagerTest : public MayaSceneTest {
 protected:
  std::shared_ptr<MaterialManager> loadedMaterials() {
    auto materials = std::make_shared<MaterialManager>();
    materials->loadMaterials();
    return materials;
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

  bool hasRecord(const std::vector<std::string>& log, const std::string& wanted) {
    return std::find(log.begin(), log.end(), wanted) != log.end();
  }
};

TEST_F(MeshManagerTest, PerFaceShadingSplitsOneMeshIntoOneObjectPerSetWithItsMaterial) {
  load(kTwoMaterials);
  MeshManager manager;
  manager.setMaterialProvider(loadedMaterials());
  const GeometryList list = manager.extractGeometry(pathTo("|box|boxShape"));
  ASSERT_EQ(list.size(), 2u);
  const auto counts = trianglesByMaterial(list, "boxShape");
  EXPECT_EQ(counts, (std::map<std::string, size_t>{{"red", 4}, {"blue", 8}}));
}

TEST_F(MeshManagerTest, FacesOfHistoryGroupsComeFromTheirGroupParts) {
  // As Maya writes a per-face assignment made after modelling: the shape
  // lists no faces, each group's groupParts in the history does, and the
  // first instance's groups are connected without an instance index.
  load(R"(
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
createNode lambert -n "red";
createNode shadingEngine -n "redSG";
connectAttr "red.oc" "redSG.ss";
createNode lambert -n "blue";
createNode shadingEngine -n "blueSG";
connectAttr "blue.oc" "blueSG.ss";
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
  MeshManager manager;
  manager.setMaterialProvider(loadedMaterials());
  const GeometryList list = manager.extractGeometry(pathTo("|strip|stripShape"));
  ASSERT_EQ(list.size(), 2u);
  const auto counts = trianglesByMaterial(list, "stripShape");
  EXPECT_EQ(counts, (std::map<std::string, size_t>{{"red", 2}, {"blue", 4}}));
}

TEST_F(MeshManagerTest, WholeObjectAssignmentGivesTheCubesDisplayGeometry) {
  load(R"(
createNode transform -n "cube";
createNode mesh -n "cubeShape" -p "cube";
createNode polyCube -n "polyCube1";
	setAttr ".cuv" 1;
connectAttr "polyCube1.out" "cubeShape.i";
connectAttr "cubeShape.iog" ":initialShadingGroup.dsm" -na;
)");
  MeshManager manager;
  manager.setMaterialProvider(loadedMaterials());
  const GeometryList list = manager.extractGeometry(pathTo("|cube|cubeShape"));
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
  const auto log = newRecords();
  EXPECT_TRUE(hasRecord(log, "DEBUG3:  extract geometry for |cube|cubeShape"));
  EXPECT_TRUE(hasRecord(log, "DEBUG2:  MFnMesh::getConnectedSetsAndMembers: instanceNum:0 fPolygonSets:1 "
                             "fPolygonComponents:1"));
  EXPECT_TRUE(hasRecord(log, "DEBUG4:  PolyWriter output setcount:1"));
}

TEST_F(MeshManagerTest, AnInstancedMeshIsConvertedOnceAndEveryPathGetsTheSameNodes) {
  load(R"(
createNode transform -n "a";
createNode mesh -n "shared" -p "a";
createNode polyPlane -n "plane";
connectAttr "plane.out" "shared.i";
createNode transform -n "b";
parent -s -nc -r -add "|a|shared" "b";
connectAttr "shared.iog" ":initialShadingGroup.dsm" -na;
connectAttr "shared.iog[1]" ":initialShadingGroup.dsm" -na;
)");
  MeshManager manager;
  AlwaysDirty all;
  manager.extractAll(all);
  const GeometryList first = manager.getGeometry(pathTo("|a|shared"));
  const GeometryList second = manager.getGeometry(pathTo("|b|shared"));
  ASSERT_EQ(first.size(), 1u);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(first[0].get(), second[0].get());
  EXPECT_EQ(triangles(first[0])->triangles().size(), 200u * 3);  // 10 x 10 quads
  const auto log = newRecords();
  EXPECT_TRUE(hasRecord(log, "INFO:  Loaded 1 meshes"));
  EXPECT_TRUE(hasRecord(log, "DEBUG3:  Create map entry for:|a|shared"));
  EXPECT_TRUE(hasRecord(log, "DEBUG3:  Create map entry for:|b|shared"));
  EXPECT_TRUE(hasRecord(log, "DEBUG2:  Get mesh for |b|shared"));
}

TEST_F(MeshManagerTest, HiddenCleanAndSetlessMeshes) {
  load(R"(
createNode transform -n "shown";
createNode mesh -n "shownShape" -p "shown";
createNode polyCube -n "c1";
connectAttr "c1.out" "shownShape.i";
createNode transform -n "hidden";
	setAttr ".v" no;
createNode mesh -n "hiddenShape" -p "hidden";
createNode polyCube -n "c2";
connectAttr "c2.out" "hiddenShape.i";
connectAttr "shownShape.iog" ":initialShadingGroup.dsm" -na;
connectAttr "hiddenShape.iog" ":initialShadingGroup.dsm" -na;
createNode transform -n "loose";
createNode mesh -n "looseShape" -p "loose";
createNode polyCube -n "c3";
connectAttr "c3.out" "looseShape.i";
)");
  {
    MeshManager manager;
    AllOrNothing clean(false);
    manager.extractAll(clean);
    EXPECT_TRUE(hasRecord(newRecords(), "INFO:  Loaded 0 meshes"));
    EXPECT_TRUE(manager.getGeometry(pathTo("|shown|shownShape")).empty());
  }
  MeshManager manager;
  AlwaysDirty all;
  manager.extractAll(all);
  const auto log = newRecords();
  // The loose mesh is in no set: it is counted and mapped, with nothing to place.
  EXPECT_TRUE(hasRecord(log, "INFO:  Loaded 2 meshes"));
  EXPECT_TRUE(hasRecord(log, "DEBUG3:  Create map entry for:|loose|looseShape"));
  EXPECT_FALSE(hasRecord(log, "DEBUG3:  Create map entry for:|hidden|hiddenShape"));
  EXPECT_TRUE(manager.getGeometry(pathTo("|loose|looseShape")).empty());
  EXPECT_EQ(manager.getGeometry(pathTo("|shown|shownShape")).size(), 1u);
  EXPECT_TRUE(manager.getGeometry(pathTo("|hidden|hiddenShape")).empty());
}

TEST_F(MeshManagerTest, AHistoryNodeLeftOutIsNamedOnceInTheLog) {
  const std::string file = load(R"(
createNode transform -n "lumpy";
createNode mesh -n "lumpyShape" -p "lumpy";
createNode polyCube -n "cube";
createNode polyWobble -n "smooth";
connectAttr "cube.out" "smooth.ip";
connectAttr "smooth.out" "lumpyShape.i";
connectAttr "lumpyShape.iog" ":initialShadingGroup.dsm" -na;
)");
  MeshManager manager;
  AlwaysDirty all;
  manager.extractAll(all);
  manager.extractAll(all);
  // The cube it changes is used instead, and said so once.
  const GeometryList list = manager.getGeometry(pathTo("|lumpy|lumpyShape"));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(triangles(list[0])->triangles().size(), 12u * 3);
  const std::string expected = "WARNING:  " + file +
                               ": mesh lumpyShape: node type polyWobble (smooth) not evaluated: its input "
                               "geometry is used";
  const auto log = newRecords();
  EXPECT_EQ(std::count(log.begin(), log.end(), expected), 1) << ::testing::PrintToString(log);
}

TEST_F(MeshManagerTest, MaterialForPathTakesTheFirstSetWithAShader) {
  load(kTwoMaterials);
  auto materials = loadedMaterials();
  EXPECT_EQ(materials->materialForPath(pathTo("|box|boxShape"))->name(), "red");
  load(R"(
createNode transform -n "bare";
createNode mesh -n "bareShape" -p "bare";
)", "bare");
  materials = loadedMaterials();
  EXPECT_EQ(materials->materialForPath(pathTo("|bare|bareShape"))->name(), "No maya shader found");
  for (const std::string& record : newRecords()) EXPECT_EQ(record.find("WARNING"), std::string::npos) << record;
}

}  // namespace
