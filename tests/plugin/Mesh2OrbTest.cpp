// The polygon writer on hand-made display geometry.

#include "plugins/maya/src/Mesh2Orb.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/orbSceneapi_oo.h"
#include "tests/plugin/LogCapture.h"

#include <memory>
#include <tuple>
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

class Mesh2OrbTest : public LogCapture {};

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
    const std::string text = commontest::readText(out);
    EXPECT_NE(text.find("\"vertices\""), std::string::npos) << text;
    EXPECT_EQ(text.find("uv_tex"), std::string::npos) << text;
  }
}

TEST_F(Mesh2OrbTest, EveryArrayAppendsTheVertexDataAgainAndBadPrimitivesFailKeepingEarlierArrays) {
  // Primitives, whether writing fails, the triangles written (indices kept unchanged), how many times
  // the vertex data is appended, the error logged.
  const std::tuple<std::vector<MGeometryPrimitive>, bool, std::vector<int>, size_t, const char*> cases[] = {
      {{triangleList({0, 1, 2}), triangleList({0, 2, 3})}, false, {0, 1, 2, 0, 2, 3}, 2, ""},
      {{}, false, {}, 0, "ERROR:  No primitives in geometry"},
      {{MGeometryPrimitive(), triangleList({0, 1, 2})}, true, {}, 0, "ERROR:  Geometry not triangles"},
      {{triangleList({0, 1, 2}), triangleList({})}, true, {0, 1, 2}, 1, "ERROR:  no elements in geometry"},
  };
  for (const auto& [primitives, fails, triangles, vertexCopies, says] : cases) {
    SCOPED_TRACE(says);
    orb::TriangleObject object("bad");
    MGeometry geometry = square(primitives);
    EXPECT_EQ(writeGeometry(&object, geometry, "map1").error(), fails);
    EXPECT_EQ(object.triangles(), triangles);
    EXPECT_EQ(object.vertices().size(), 12 * vertexCopies);
    EXPECT_EQ(object.uvs().size(), 8 * vertexCopies);
    EXPECT_EQ(logged("ERROR:  "), *says != 0);
    EXPECT_TRUE(logged(says));
  }
}

}  // namespace
