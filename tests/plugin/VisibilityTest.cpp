#include "plugins/maya/src/GroupStack.h"
#include "tests/plugin/MayaScene.h"

#include <tuple>

namespace {

class VisibilityTest : public MayaSceneTest {
 protected:
  bool visible(const std::string& path) {
    MStatus status;
    const bool answer = isVisible(pathTo(path), &status);
    EXPECT_FALSE(status.error()) << path;
    return answer;
  }
};

TEST_F(VisibilityTest, IntermediateHiddenAndAncestorHiddenShapesAreNotExported) {
  load(R"(
createNode transform -n "shown";
createNode mesh -n "shownShape" -p "shown";
createNode mesh -n "shownShapeOrig" -p "shown";
	setAttr -k off ".v";
	setAttr ".io" yes;
createNode transform -n "hiddenGroup";
	setAttr ".v" no;
createNode transform -n "inner" -p "hiddenGroup";
createNode mesh -n "innerShape" -p "inner";
createNode transform -n "offShape";
createNode mesh -n "offShapeShape" -p "offShape";
	setAttr ".v" no;
)");
  EXPECT_TRUE(visible("|shown|shownShape"));
  EXPECT_FALSE(visible("|shown|shownShapeOrig"));
  EXPECT_FALSE(visible("|hiddenGroup|inner|innerShape"));
  EXPECT_FALSE(visible("|offShape|offShapeShape"));
  EXPECT_TRUE(ancestorsVisible(pathTo("|shown|shownShape")));
  EXPECT_FALSE(ancestorsVisible(pathTo("|hiddenGroup|inner|innerShape")));
  EXPECT_FALSE(nodeVisible(pathTo("|shown|shownShapeOrig")));
}

TEST_F(VisibilityTest, LayersHideTheShapesOfTheirTopLevelMembers) {
  // What the case shows, the layer's settings, the transform it holds, whether the child shape shows.
  const std::tuple<const char*, const char*, const char*, bool> cases[] = {
      {"template layer", "setAttr \"layer1.dt\" 1;", "top1", false},
      {"reference layer still renders", "setAttr \"layer1.dt\" 2;", "top1", true},
      {"hidden layer", "setAttr \"layer1.v\" no;", "top1", false},
      {"only the top-level ancestor's membership counts", "setAttr \"layer1.dt\" 1;", "child", true},
      {"the default layer never hides",
       "setAttr \"defaultLayer.dt\" 1;\nsetAttr \"defaultLayer.v\" no;\nconnectAttr \"defaultLayer.di\" \"top1.do\";",
       "top2", true},
  };
  for (const auto& [what, layer, member, childVisible] : cases) {
    SCOPED_TRACE(what);
    load(std::string(R"(
createNode transform -n "top1";
createNode transform -n "child" -p "top1";
createNode mesh -n "childShape" -p "child";
createNode transform -n "top2";
createNode mesh -n "top2Shape" -p "top2";
createNode displayLayer -n "layer1";
connectAttr "layerManager.dli[1]" "layer1.id";
)") + layer + "\nconnectAttr \"layer1.di\" \"" + member + ".do\";\n");
    EXPECT_EQ(visible("|top1|child|childShape"), childVisible);
    EXPECT_TRUE(visible("|top2|top2Shape"));
    EXPECT_EQ(layerVisible("top1"), childVisible);
    EXPECT_TRUE(layerVisible("top2"));
  }
}

}  // namespace
