#include "plugins/maya/src/GroupStack.h"

#include "sceneapi/model/BezierCurves.h"
#include "tests/plugin/MayaScene.h"

#include <tuple>

namespace {

using Records = std::vector<std::string>;

std::shared_ptr<orb::OrbGroup> group(const std::string& name) { return std::make_shared<orb::OrbGroup>(name); }

class GroupStackTest : public LogCapture {};

TEST_F(GroupStackTest, PushAttachesToTheGroupBelowPopLeavesItThereAndAddGoesIntoTheTop) {
  GroupStack stack;
  EXPECT_EQ(::testing::PrintToString(stack), "");
  auto a = group("A"), b = group("B"), c = group("C");
  stack.push(a);
  stack.push(b);
  stack.push(nullptr);  // an empty group is never pushed
  EXPECT_EQ(stack.size(), 2u);
  EXPECT_EQ(stack.top(), b);
  EXPECT_EQ(::testing::PrintToString(stack), "|A|B");
  EXPECT_EQ(a->groups(), (std::vector<std::shared_ptr<orb::OrbGroup>>{b}));
  stack.pop();
  stack.push(c);  // a sibling of B, not its child
  EXPECT_EQ(a->groups(), (std::vector<std::shared_ptr<orb::OrbGroup>>{b, c}));
  EXPECT_TRUE(b->groups().empty());
  EXPECT_EQ(newRecords(), (Records{"DEBUG4:  push A", "DEBUG4:  push B", "DEBUG4:  pop B", "DEBUG4:  push C"}));
  // Nodes go into the top group.
  auto curves = std::make_shared<orb::BezierCurves>("");
  stack.add(curves);
  stack.add(nullptr);
  EXPECT_EQ(c->nodes(), (std::vector<std::shared_ptr<orb::LightNode>>{curves}));
  EXPECT_TRUE(a->nodes().empty());
}

TEST_F(GroupStackTest, PopToKeepsAtMostThatManyGroups) {
  GroupStack stack;
  for (const char* name : {"A", "B", "C"}) stack.push(group(name));
  newRecords();
  stack.popTo(3);  // at the size: only the record
  stack.popTo(7);  // above it: the same
  EXPECT_EQ(stack.size(), 3u);
  EXPECT_EQ(newRecords(), (Records{"DEBUG4:  pop to 3", "DEBUG4:  pop to 7"}));
  stack.popTo(1);
  EXPECT_EQ(::testing::PrintToString(stack), "|A");
  EXPECT_EQ(newRecords(), (Records{"DEBUG4:  pop to 1", "DEBUG4:  pop C", "DEBUG4:  pop B"}));
  // Below DEBUG4 the traces stay out of the log.
  reportingLevel() = logDEBUG3;
  stack.popTo(0);
  EXPECT_EQ(stack.size(), 0u);
  EXPECT_TRUE(newRecords().empty());
}

TEST_F(GroupStackTest, PopOnEmptyStackDoesNothingAndAddMakesAParentlessRoot) {
  GroupStack stack;
  stack.pop();
  EXPECT_EQ(stack.size(), 0u);
  EXPECT_EQ(stack.top(), nullptr);
  EXPECT_TRUE(newRecords().empty());
  auto curves = std::make_shared<orb::BezierCurves>("hair");
  stack.add(curves);
  ASSERT_EQ(stack.size(), 1u);
  auto root = stack.top();
  EXPECT_EQ(root->name(), "root");
  EXPECT_EQ(root->flags(), 0u);
  // A second add reuses it.
  stack.add(std::make_shared<orb::BezierCurves>("more"));
  EXPECT_EQ(stack.size(), 1u);
  ASSERT_EQ(root->nodes().size(), 2u);
  EXPECT_EQ(root->nodes()[0], curves);
}


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
