#include "plugins/maya/src/GroupStack.h"
#include "tests/plugin/MayaScene.h"

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

constexpr const char* kShapes = R"(
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
)";

TEST_F(VisibilityTest, IntermediateHiddenAndAncestorHiddenShapesAreNotExported) {
  load(kShapes);
  EXPECT_TRUE(visible("|shown|shownShape"));
  EXPECT_FALSE(visible("|shown|shownShapeOrig"));
  EXPECT_FALSE(visible("|hiddenGroup|inner|innerShape"));
  EXPECT_FALSE(visible("|offShape|offShapeShape"));
  EXPECT_TRUE(ancestorsVisible(pathTo("|shown|shownShape")));
  EXPECT_FALSE(ancestorsVisible(pathTo("|hiddenGroup|inner|innerShape")));
  EXPECT_FALSE(nodeVisible(pathTo("|shown|shownShapeOrig")));
}

std::string layered(const std::string& layerSettings) {
  return R"(
createNode transform -n "top1";
createNode transform -n "child" -p "top1";
createNode mesh -n "childShape" -p "child";
createNode transform -n "top2";
createNode mesh -n "top2Shape" -p "top2";
createNode displayLayer -n "layer1";
)" + layerSettings +
         R"(
connectAttr "layerManager.dli[1]" "layer1.id";
connectAttr "layer1.di" "top1.do";
)";
}

TEST_F(VisibilityTest, TemplateLayerHidesItsTopLevelMembersShapes) {
  load(layered("\tsetAttr \".dt\" 1;\n"));
  EXPECT_FALSE(visible("|top1|child|childShape"));
  EXPECT_TRUE(visible("|top2|top2Shape"));
  EXPECT_FALSE(layerVisible("top1"));
  EXPECT_TRUE(layerVisible("top2"));
}

TEST_F(VisibilityTest, ReferenceLayerStillRenders) {
  load(layered("\tsetAttr \".dt\" 2;\n"));
  EXPECT_TRUE(visible("|top1|child|childShape"));
}

TEST_F(VisibilityTest, HiddenLayerHidesItsMembers) {
  load(layered("\tsetAttr \".v\" no;\n"));
  EXPECT_FALSE(visible("|top1|child|childShape"));
  EXPECT_TRUE(visible("|top2|top2Shape"));
}

TEST_F(VisibilityTest, OnlyTheTopLevelAncestorsMembershipCounts) {
  // The layer holds the inner transform, not the top-level one.
  load(R"(
createNode transform -n "top1";
createNode transform -n "child" -p "top1";
createNode mesh -n "childShape" -p "child";
createNode displayLayer -n "layer1";
	setAttr ".dt" 1;
connectAttr "layerManager.dli[1]" "layer1.id";
connectAttr "layer1.di" "child.do";
)");
  EXPECT_TRUE(visible("|top1|child|childShape"));
}

TEST_F(VisibilityTest, DefaultLayerNeverHides) {
  load(R"(
createNode transform -n "top1";
createNode mesh -n "top1Shape" -p "top1";
setAttr "defaultLayer.dt" 1;
setAttr "defaultLayer.v" no;
connectAttr "defaultLayer.di" "top1.do";
)");
  EXPECT_TRUE(visible("|top1|top1Shape"));
}

}  // namespace
