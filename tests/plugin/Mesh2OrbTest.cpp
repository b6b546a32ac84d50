// The polygon writer on hand-made display geometry.

#include "plugins/maya/src/Mesh2Orb.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/orbSceneapi_oo.h"
#include "tests/plugin/LogCapture.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

MGeometryData floats(MGeometryData::DataType type, unsigned size, std::vector<float> values) {
  return MGeometryData(type, size, std::make_shared<const std::vector<float>>(std::move(values)), "", 1);
}

MGeometryPrimitive triangleList(std::vector<uint32_t> indices) {
  return MGeometryPrimitive(std::make_shared<const std::vector<uint32_t>>(std::move(indices)));
}

// Two triangles over a unit square in z = 0, uvs in "map1".
MGeometry square(std::vector<MGeometryPrimitive> primitives, bool withUVs = true) {
  std::vector<std::pair<std::string, MGeometryData>> uvs;
  if (withUVs) uvs.emplace_back("map1", floats(MGeometryData::kTexCoord, 2, {0, 0, 1, 0, 1, 1, 0, 1}));
  return MGeometry(floats(MGeometryData::kPosition, 3, {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}),
                   floats(MGeometryData::kNormal, 3, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}), std::move(uvs),
                   std::move(primitives));
}

class Mesh2OrbTest : public LogCapture {
 protected:
  bool logged(const std::string& wanted) {
    const auto log = records();
    return std::find(log.begin(), log.end(), wanted) != log.end();
  }
};

TEST_F(Mesh2OrbTest, OneTriangleArrayBecomesParallelArrays) {
  orb::TriangleObject object("square");
  MGeometry geometry = square({triangleList({0, 1, 2, 0, 2, 3})});
  EXPECT_FALSE(writeGeometry(&object, geometry, "map1").error());
  EXPECT_EQ(object.vertices(), (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}));
  EXPECT_EQ(object.normals().size(), 12u);
  EXPECT_EQ(object.triangles(), (std::vector<int>{0, 1, 2, 0, 2, 3}));
  EXPECT_EQ(object.uvs(), (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}));
  EXPECT_TRUE(logged("DEBUG2:  Writing triangle geometry with 1 primitives and 6 indicies and 4 vertices, "
                     "collections 0"));
}

TEST_F(Mesh2OrbTest, AnotherUVSetOrNoneLeavesTheObjectWithoutUVs) {
  for (bool withUVs : {true, false}) {
    orb::TriangleObject object("square");
    MGeometry geometry = square({triangleList({0, 1, 2})}, withUVs);
    EXPECT_FALSE(writeGeometry(&object, geometry, "other").error());
    EXPECT_TRUE(object.uvs().empty());
    EXPECT_EQ(object.triangles().size(), 3u);
    // The written object then carries no texture coordinates at all.
    const std::string out = (root_ / "square.dal").string();
    {
      orb::LightFileFactory factory(out);
      orb::orbSceneapi_oo front(&factory);
      front.api()->setFlags(1);
      object.write(front);
    }
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"vertices\""), std::string::npos) << text;
    EXPECT_EQ(text.find("uv_tex"), std::string::npos) << text;
  }
}

TEST_F(Mesh2OrbTest, EveryArrayAppendsTheVertexDataAgainWithItsIndicesUnchanged) {
  orb::TriangleObject object("twice");
  MGeometry geometry = square({triangleList({0, 1, 2}), triangleList({0, 2, 3})});
  EXPECT_FALSE(writeGeometry(&object, geometry, "map1").error());
  EXPECT_EQ(object.vertices().size(), 24u);
  EXPECT_EQ(object.uvs().size(), 16u);
  EXPECT_EQ(object.triangles(), (std::vector<int>{0, 1, 2, 0, 2, 3}));
}

TEST_F(Mesh2OrbTest, BadPrimitivesFailAndKeepWhatEarlierArraysGave) {
  {
    orb::TriangleObject object("none");
    MGeometry geometry = square({});
    EXPECT_FALSE(writeGeometry(&object, geometry, "map1").error());
    EXPECT_TRUE(object.vertices().empty());
    EXPECT_TRUE(logged("ERROR:  No primitives in geometry"));
  }
  {
    orb::TriangleObject object("notTriangles");
    MGeometry geometry = square({MGeometryPrimitive(), triangleList({0, 1, 2})});
    EXPECT_TRUE(writeGeometry(&object, geometry, "map1").error());
    EXPECT_TRUE(object.vertices().empty());
    EXPECT_TRUE(object.triangles().empty());
    EXPECT_TRUE(logged("ERROR:  Geometry not triangles"));
  }
  {
    orb::TriangleObject object("emptySecond");
    MGeometry geometry = square({triangleList({0, 1, 2}), triangleList({})});
    EXPECT_TRUE(writeGeometry(&object, geometry, "map1").error());
    EXPECT_EQ(object.triangles().size(), 3u);
    EXPECT_EQ(object.vertices().size(), 12u);
    EXPECT_TRUE(logged("ERROR:  no elements in geometry"));
  }
}

}  // namespace
