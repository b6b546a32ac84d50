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
  EXPECT_TRUE(logged("DEBUG:  file unit is cm setting glowbox meter scale as 100"));
}

TEST_F(MayaUtilSceneTest, LocalMatricesNamesAndPathComponents) {
  load(R"(
createNode transform -n "parent";
	setAttr ".t" -type "double3" 1 2 3 ;
createNode transform -n "kid" -p "parent";
	setAttr ".t" -type "double3" 10 0 0 ;
	setAttr ".s" -type "double3" 2 2 2 ;
createNode mesh -n "kidShape" -p "kid";
createNode lambert -n "paint";
)");
  // A transform's own matrix, not the parent's product; identity for a shape.
  const MDagPath shape = pathTo("|parent|kid|kidShape");
  EXPECT_EQ(localMatrix(pathTo("|parent|kid")), (Matrix4d{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 10, 0, 0, 1}));
  EXPECT_EQ(localMatrix(shape), (Matrix4d{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
  EXPECT_TRUE(newRecords().empty());
  EXPECT_EQ(upAxis(), 1);  // the default
  EXPECT_EQ(nodeName(shape.node()), "kidShape");
  const MStringArray parts = pathComponents(shape);
  ASSERT_EQ(parts.length(), 3u);
  EXPECT_EQ(parts[0], MString("parent"));
  EXPECT_EQ(parts[2], MString("kidShape"));
  EXPECT_FALSE(logged("WARNING"));
  EXPECT_EQ(nodeName(nodeNamed("paint")), "unknown object");
  EXPECT_TRUE(logged("WARNING:  casting to dagnode: "));
}

}  // namespace
