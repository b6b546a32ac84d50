#include "plugins/maya/src/GroupStack.h"

#include "sceneapi/model/BezierCurves.h"
#include "tests/plugin/LogCapture.h"

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

}  // namespace
