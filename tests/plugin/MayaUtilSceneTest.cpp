#include "plugins/maya/src/BuildStamp.h"
#include "plugins/maya/src/ProgressCounter.h"
#include "plugins/maya/src/mayautil.h"
#include "tests/plugin/MayaScene.h"

#include <maya/MFnDagNode.h>

#include <regex>

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

TEST(ToOrbMatrix, CopiesThreeColumnsAndForcesTheLastToUnit) {
  double values[4][4];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) values[r][c] = 10.0 * r + c + 0.5;
  Matrix4d target;
  target.fill(-7.0);
  toOrbMatrix(MMatrix(values), target);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(target[r * 4 + c], values[r][c]) << r << "," << c;
    EXPECT_EQ(target[r * 4 + 3], r == 3 ? 1.0 : 0.0) << r;
  }
}

TEST(MayaUtil, FileBaseNameKeepsEverythingBetweenTheLastSlashAndTheLastDot) {
  EXPECT_EQ(fileBaseName("C:/scenes/ship.ma"), MString("ship"));
  EXPECT_EQ(fileBaseName("/work/v1.2/ship.final.ma"), MString("ship.final"));
  EXPECT_EQ(fileBaseName("cube.ma"), MString("cube"));
  // A backslash is no separator.
  EXPECT_EQ(fileBaseName("C:\\scenes\\ship.ma"), MString("C:\\scenes\\ship"));
}

TEST(BuildStamp, WeekdayIsWorkedOutFromTheDateOrLeftUnknown) {
  EXPECT_EQ(formatBuildStamp("Mar  3 2016", "13:26:36"), "Thu Mar  3 13:26:36 2016");
  EXPECT_EQ(formatBuildStamp("May 27 2016", "12:26:22"), "Fri May 27 12:26:22 2016");
  EXPECT_EQ(formatBuildStamp("Oct 26 2015", "10:26:53"), "Mon Oct 26 10:26:53 2015");
  EXPECT_EQ(formatBuildStamp("Feb 29 2000", "00:00:00"), "Tue Feb 29 00:00:00 2000");
  // An unreadable date is passed through.
  EXPECT_EQ(formatBuildStamp("Foo 99 2016", "01:02:03"), "??? Foo 99 2016 01:02:03");
  EXPECT_EQ(formatBuildStamp("", "01:02:03"), "???  01:02:03");
  // The program's own stamp has the record form.
  EXPECT_TRUE(std::regex_match(buildStamp(), std::regex(R"((Sun|Mon|Tue|Wed|Thu|Fri|Sat) [A-Z][a-z]{2} [ 123]\d \d\d:\d\d:\d\d \d{4})")))
      << buildStamp();
}

using Heard = std::vector<std::pair<std::string, float>>;

// A scene front over the do-nothing API that remembers what progress it heard.
class ProgressRecorder : public orb::orbSceneapi_oo {
 public:
  void progress(const std::string& label, float fraction) override { heard.emplace_back(label, fraction); }
  Heard heard;
};

// Advances a counter of `total` shapes `steps` times and returns what was reported.
Heard advance(int total, int steps) {
  ProgressRecorder scene;
  ProgressCounter counter{&scene, total, 0, -1.0f};
  for (int i = 0; i < steps; ++i) counter.advance(i < 2 ? "a" : "b");
  EXPECT_EQ(counter.done, steps);
  EXPECT_FLOAT_EQ(counter.lastFraction, scene.heard.empty() ? -1.0f : scene.heard.back().second);
  return scene.heard;
}

TEST(ProgressCounter, ReportsOnlyStepsOfAtLeastOnePercent) {
  // Steps of 0.4 %: the first advance reports, then every third (1.2 %).
  const Heard heard = advance(250, 250);
  ASSERT_EQ(heard.size(), 84u);
  EXPECT_EQ(heard[0].first, "a");
  EXPECT_FLOAT_EQ(heard[0].second, 0.004f);
  EXPECT_FLOAT_EQ(heard[1].second, 0.016f);
  EXPECT_FLOAT_EQ(heard.back().second, 1.0f);
  // Every step of a small scene is reported; uncounted shapes report nothing.
  EXPECT_EQ(advance(4, 4), (Heard{{"a", 0.25f}, {"a", 0.5f}, {"b", 0.75f}, {"b", 1.0f}}));
  EXPECT_TRUE(advance(-1, 10).empty());
}

}  // namespace
