#include "plugins/maya/src/GroupStack.h"

#include "sceneapi/model/BezierCurves.h"
#include "tests/plugin/LogCapture.h"

#include <sstream>

namespace {

using Records = std::vector<std::string>;

std::shared_ptr<orb::OrbGroup> group(const std::string& name) { return std::make_shared<orb::OrbGroup>(name); }

std::string text(const GroupStack& stack) {
  std::ostringstream out;
  out << stack;
  return out.str();
}

class GroupStackTest : public LogCapture {};

TEST_F(GroupStackTest, PushAttachesToTheGroupBelowAndPopLeavesItThere) {
  GroupStack stack;
  auto a = group("A"), b = group("B"), c = group("C");
  stack.push(a);
  stack.push(b);
  EXPECT_EQ(stack.size(), 2u);
  EXPECT_EQ(stack.top(), b);
  ASSERT_EQ(a->groups().size(), 1u);
  EXPECT_EQ(a->groups()[0], b);
  stack.pop();
  stack.push(c);  // a sibling of B, not its child
  EXPECT_EQ(a->groups().size(), 2u);
  EXPECT_EQ(a->groups()[1], c);
  EXPECT_TRUE(b->groups().empty());
  EXPECT_EQ(newRecords(), (Records{"DEBUG4:  push A", "DEBUG4:  push B", "DEBUG4:  pop B", "DEBUG4:  push C"}));
}

TEST_F(GroupStackTest, StreamFormListsBottomToTop) {
  GroupStack stack;
  EXPECT_EQ(text(stack), "");
  stack.push(group("A"));
  stack.push(group("B"));
  EXPECT_EQ(text(stack), "|A|B");
}

TEST_F(GroupStackTest, PopOnEmptyStackDoesNothingAndSaysNothing) {
  GroupStack stack;
  stack.pop();
  EXPECT_EQ(stack.size(), 0u);
  EXPECT_EQ(stack.top(), nullptr);
  EXPECT_TRUE(newRecords().empty());
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
  EXPECT_EQ(text(stack), "|A");
  EXPECT_EQ(newRecords(), (Records{"DEBUG4:  pop to 1", "DEBUG4:  pop C", "DEBUG4:  pop B"}));
  stack.popTo(0);
  EXPECT_EQ(stack.size(), 0u);
}

TEST_F(GroupStackTest, AddGoesIntoTheTopGroup) {
  GroupStack stack;
  auto a = group("A"), b = group("B");
  stack.push(a);
  stack.push(b);
  auto curves = std::make_shared<orb::BezierCurves>("");
  stack.add(curves);
  ASSERT_EQ(b->nodes().size(), 1u);
  EXPECT_EQ(b->nodes()[0], curves);
  EXPECT_TRUE(a->nodes().empty());
  stack.add(nullptr);
  EXPECT_EQ(b->nodes().size(), 1u);
}

TEST_F(GroupStackTest, AddOnEmptyStackMakesAParentlessRoot) {
  GroupStack stack;
  auto curves = std::make_shared<orb::BezierCurves>("hair");
  stack.add(curves);
  ASSERT_EQ(stack.size(), 1u);
  auto root = stack.top();
  EXPECT_EQ(root->name(), "root");
  EXPECT_EQ(root->flags(), 0u);
  ASSERT_EQ(root->nodes().size(), 1u);
  EXPECT_EQ(root->nodes()[0], curves);
  // A second add reuses it.
  stack.add(std::make_shared<orb::BezierCurves>("more"));
  EXPECT_EQ(stack.size(), 1u);
  EXPECT_EQ(root->nodes().size(), 2u);
}

TEST_F(GroupStackTest, EmptyGroupIsNeverPushed) {
  GroupStack stack;
  stack.push(group("A"));
  stack.push(nullptr);
  EXPECT_EQ(stack.size(), 1u);
  EXPECT_TRUE(stack.top()->groups().empty());
}

TEST_F(GroupStackTest, TracesStayOutOfTheLogBelowDebug4) {
  reportingLevel() = logDEBUG3;
  GroupStack stack;
  stack.push(group("A"));
  stack.popTo(0);
  EXPECT_TRUE(newRecords().empty());
}

}  // namespace
