#include "SceneOutput.h"

#include "sceneapi/model/Material.h"
#include "sceneapi/model/OrbGroup.h"
#include "sceneapi/model/TriangleObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using modeltest::MarkerNode;
using modeltest::SceneOutput;
using orb::OrbGroup;

namespace {

constexpr double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr double kMoved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1.5, -2, 3, 1};

TEST(GroupOutput, FixtureSeesTheFrontStartRecords) {
    SceneOutput out;
    EXPECT_EQ(out.all(), modeltest::kPrelude);
    EXPECT_EQ(out.text(), "");
}

TEST(GroupOutput, EmptyGroupWritesItsLineAndClosingBraceOnly) {
    SceneOutput out;
    OrbGroup group("empty");
    out.scene().write(&group);
    EXPECT_EQ(out.text(), "\ngroup \"empty\" {\n}\n");
}

TEST(GroupOutput, RootCarriesItsFlagWordAndZeroFlagsWriteNoLine) {
    SceneOutput out;
    auto root = OrbGroup::createRoot("scene");
    EXPECT_EQ(root->flags(), 0x10000u);
    root->createGroup("plain");
    out.scene().write(root.get());
    EXPECT_EQ(out.text(), "\ngroup \"scene\" {\nflags 65536\n\ngroup \"plain\" {\n}\n}\n");
}

TEST(GroupOutput, RecordsComeInFixedOrderWhateverTheOrderOfBuilding) {
    SceneOutput out;
    OrbGroup group("parent");
    // Built deliberately out of the written order.
    group.createGroup("kid");
    group.addNode(std::make_shared<MarkerNode>("node A"));
    group.setAttribute("zeta", "old");
    group.setTransform(kMoved);
    group.setAttribute("alpha", "2");
    group.addNode(std::make_shared<MarkerNode>("node B"));
    group.setAttribute("zeta", "1");
    group.setFlags(4);
    group.addFlags(1);

    out.scene().write(&group);
    EXPECT_EQ(out.text(),
              "\ngroup \"parent\" {\n"
              "flags 5\n"
              "attribute \"alpha\" \"2\"\n"
              "attribute \"zeta\" \"1\"\n"
              "transform 1 0 0 0 0 1 0 0 0 0 1 0 1.5 -2 3 1\n"
              "#print \"node A\"\n"
              "#print \"node B\"\n"
              "\ngroup \"kid\" {\n}\n"
              "}\n");
}

TEST(GroupOutput, TransformNodeReplacesTheMatrix) {
    SceneOutput out;
    OrbGroup group("animated");
    group.setTransform(kMoved);
    auto placement = std::make_shared<MarkerNode>("placement");
    group.setTransformNode(placement);
    out.scene().write(&group);
    EXPECT_EQ(out.text(), "\ngroup \"animated\" {\n#print \"placement\"\n}\n");
    EXPECT_EQ(placement->writes, 1);
}

TEST(GroupOutput, SharedChildIsWrittenUnderEveryParent) {
    SceneOutput out;
    auto root = std::make_shared<OrbGroup>("root");
    auto shared = std::make_shared<OrbGroup>("shared");
    auto node = std::make_shared<MarkerNode>("leaf");
    shared->addNode(node);
    root->createGroup("a")->addGroup(shared);
    root->createGroup("b")->addGroup(shared);
    out.scene().write(root.get());
    EXPECT_EQ(out.text(),
              "\ngroup \"root\" {\n"
              "\ngroup \"a\" {\n\ngroup \"shared\" {\n#print \"leaf\"\n}\n}\n"
              "\ngroup \"b\" {\n\ngroup \"shared\" {\n#print \"leaf\"\n}\n}\n"
              "}\n");
    EXPECT_EQ(node->writes, 2);
}

TEST(GroupOutput, AGroupInsideItselfIsNotWrittenAgainThere) {
    SceneOutput out;
    auto outer = std::make_shared<OrbGroup>("outer");
    auto inner = outer->createGroup("inner");
    // A non-owning back edge: the cycle is in the tree, not in the ownership.
    inner->addGroup(std::shared_ptr<OrbGroup>(outer.get(), [](OrbGroup*) {}));
    out.scene().write(outer.get());
    // Once written, each group writes in full again from the start.
    out.scene().write(inner.get());
    EXPECT_EQ(out.text(), "\ngroup \"outer\" {\n\ngroup \"inner\" {\n}\n}\n"
                          "\ngroup \"inner\" {\n\ngroup \"outer\" {\n}\n}\n");
}

TEST(GroupOutput, NamesNeedingEscapesAreWrittenInHex) {
    SceneOutput out;
    OrbGroup group("a\"b");
    group.setAttribute("k", "line\n");
    out.scene().write(&group);
    EXPECT_EQ(out.text(), "\ngroup xX612262 {\nattribute \"k\" xX6c696e650a\n}\n");
}

TEST(GroupOutput, ReadableFormIndentsOneSpacePerOpenBlock) {
    SceneOutput out(true);
    auto root = OrbGroup::createRoot("a");
    root->setAttribute("k", "v");
    root->createGroup("b")->setTransform(kIdentity);
    out.scene().write(root.get());
    EXPECT_EQ(out.text(),
              "\ngroup \"a\" {\n"
              " flags 65536\n"
              " attribute \"k\" \"v\"\n"
              "\n group \"b\" {\n"
              "  transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
              " }\n"
              "}\n");
}

TEST(GroupOutput, TriangleObjectChildWritesItsObjectBlockInsideTheGroup) {
    SceneOutput out;
    OrbGroup group("g");
    auto mesh = group.createTriangleObject("m");
    mesh->addVertex(0, 0, 0);
    mesh->addVertex(1, 0, 0);
    mesh->addVertex(0, 1, 0);
    mesh->addTriangle(0, 1, 2);
    out.scene().write(&group);
    EXPECT_EQ(out.text(), "\ngroup \"g\" {\n"
                          "object \"m\" {\n"
                          "geometry \"triangles\" {\n" +
                              modeltest::arrayParam("vertices", modeltest::floatBlock('c', {0, 0, 0, 1, 0, 0, 0, 1, 0})) +
                              modeltest::arrayParam("triangles", modeltest::intBlock({0, 1, 2})) + "}\n" +
                              modeltest::kDefaultMaterial + "}\n}\n");
}

// ---------------------------------------------------------------------------

TEST(GroupTree, EmptinessCountsChildrenOnly) {
    OrbGroup group("g");
    group.setFlags(7);
    group.setTransform(kMoved);
    group.setAttribute("k", "v");
    EXPECT_TRUE(group.isEmpty());
    group.addNode(std::make_shared<MarkerNode>("n"));
    EXPECT_FALSE(group.isEmpty());
    OrbGroup other("h");
    other.createGroup("child");
    EXPECT_FALSE(other.isEmpty());
}

TEST(GroupTree, EmptyPointersAreIgnored) {
    OrbGroup group("g");
    group.addNode(nullptr);
    group.addGroup(nullptr);
    EXPECT_EQ(group.nodeCount(), 0u);
    EXPECT_EQ(group.groupCount(), 0u);
}

TEST(GroupTree, CreatedChildrenAreAppendedAndReturned) {
    OrbGroup group("g");
    auto first = group.createGroup("first");
    auto second = group.createGroup("second");
    auto mesh = group.createTriangleObject("mesh");
    ASSERT_EQ(group.groupCount(), 2u);
    EXPECT_EQ(group.groups()[0], first);
    EXPECT_EQ(group.groups()[1], second);
    ASSERT_EQ(group.nodeCount(), 1u);
    EXPECT_EQ(group.nodes()[0], mesh);
    EXPECT_EQ(mesh->name(), "mesh");
    ASSERT_NE(mesh->material(), nullptr);
    EXPECT_EQ(mesh->material()->name(), "default");
}

TEST(GroupTree, FindGroupLooksAtDirectChildrenAndReturnsTheFirstMatch) {
    OrbGroup group("g");
    auto first = group.createGroup("twin");
    auto second = group.createGroup("twin");
    first->createGroup("grandchild");
    EXPECT_EQ(group.findGroup("twin"), first);
    EXPECT_NE(group.findGroup("twin"), second);
    EXPECT_EQ(group.findGroup("grandchild"), nullptr);
    EXPECT_EQ(group.findGroup("Twin"), nullptr);
    EXPECT_EQ(group.findGroup("twi"), nullptr);
}

TEST(GroupTree, CloneSharesChildrenButNotTheChildLists) {
    OrbGroup source("src");
    source.setFlags(0x20);
    source.setAttribute("k", "v");
    auto placement = std::make_shared<MarkerNode>("placement");
    source.setTransformNode(placement);
    auto child = source.createGroup("child");
    source.addNode(std::make_shared<MarkerNode>("n"));

    auto copy = source.clone();
    EXPECT_EQ(copy->name(), "src");
    EXPECT_EQ(copy->flags(), 0x20u);
    EXPECT_EQ(copy->attributes(), source.attributes());
    EXPECT_EQ(copy->transformNode(), placement);
    EXPECT_FALSE(copy->hasTransform());

    copy->addNode(std::make_shared<MarkerNode>("only in copy"));
    copy->createGroup("only in copy");
    EXPECT_EQ(source.nodeCount(), 1u);
    EXPECT_EQ(source.groupCount(), 1u);
    EXPECT_EQ(copy->nodeCount(), 2u);

    // The child itself is shared: a change through the copy shows in the source.
    copy->findGroup("child")->setFlags(9);
    EXPECT_EQ(child->flags(), 9u);
    EXPECT_EQ(source.groups()[0], copy->groups()[0]);
}

TEST(GroupTree, CloneCopiesASetTransform) {
    OrbGroup source("src");
    Matrix4d moved;
    std::copy(kMoved, kMoved + 16, moved.begin());
    source.setTransform(moved);
    auto copy = source.clone();
    ASSERT_TRUE(copy->hasTransform());
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(copy->transform()[i], kMoved[i]) << i;
    EXPECT_NE(copy->transform(), source.transform());
}

TEST(GroupTree, AttributesKeepKeyOrderAndLastValue) {
    OrbGroup group("g");
    group.setAttribute("b", "1");
    group.setAttribute("B", "2");
    group.setAttribute("a", "3");
    group.setAttribute("b", "4");
    ASSERT_EQ(group.attributes().size(), 3u);
    auto it = group.attributes().begin();
    EXPECT_EQ(it->first, "B");
    EXPECT_EQ((++it)->first, "a");
    EXPECT_EQ((++it)->second, "4");
}

} // namespace
