#include "plugins/maya/src/mayautil.h"
#include "tests/plugin/MayaScene.h"

#include <maya/MFnDagNode.h>

namespace {

class MayaUtilSceneTest : public MayaSceneTest {};

TEST_F(MayaUtilSceneTest, MeterScaleUsesTheTabledConstants) {
  const std::pair<const char*, double> units[] = {
      {"in", 39.3700787402}, {"mm", 1000.0}, {"m", 1.0}, {"ft", 3.28083989501}, {"yd", 1.09361329834},
      {"mi", 0.000621371192237}, {"km", 0.001}, {"cm", 100.0}};
  for (const auto& [unit, scale] : units) {
    load(std::string("currentUnit -l ") + unit + ";\n");
    EXPECT_EQ(meterScale(), scale) << unit;
  }
  const std::vector<std::string> records = newRecords();
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back(), "DEBUG:  file unit is cm setting glowbox meter scale as 100");
}

TEST_F(MayaUtilSceneTest, DefaultUpAxisIsY) {
  load("");
  EXPECT_EQ(upAxis(), 1);
}

TEST_F(MayaUtilSceneTest, LocalMatrixOfTransformAndIdentityOtherwise) {
  load(R"(
createNode transform -n "parent";
	setAttr ".t" -type "double3" 1 2 3 ;
createNode transform -n "kid" -p "parent";
	setAttr ".t" -type "double3" 10 0 0 ;
	setAttr ".s" -type "double3" 2 2 2 ;
createNode mesh -n "kidShape" -p "kid";
)");
  const Matrix4d kid = localMatrix(pathTo("|parent|kid"));
  const Matrix4d expected = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 10, 0, 0, 1};
  EXPECT_EQ(kid, expected);  // its own matrix, not the parent's product
  const Matrix4d identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_EQ(localMatrix(pathTo("|parent|kid|kidShape")), identity);
  EXPECT_TRUE(newRecords().empty());
}

TEST_F(MayaUtilSceneTest, NamesAndPathComponents) {
  load(R"(
createNode transform -n "a";
createNode transform -n "b" -p "a";
createNode mesh -n "bShape" -p "b";
createNode lambert -n "paint";
)");
  const MDagPath shape = pathTo("|a|b|bShape");
  EXPECT_EQ(nodeName(shape.node()), "bShape");
  const MStringArray parts = pathComponents(shape);
  ASSERT_EQ(parts.length(), 3u);
  EXPECT_EQ(parts[0], MString("a"));
  EXPECT_EQ(parts[2], MString("bShape"));
  newRecords();
  EXPECT_EQ(nodeName(nodeNamed("paint")), "unknown object");
  const std::vector<std::string> records = newRecords();
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front().rfind("WARNING:  casting to dagnode: ", 0), 0u) << records.front();
}

}  // namespace
