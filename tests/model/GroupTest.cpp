#include "SceneOutput.h"

#include <algorithm>

using namespace modeltest;

namespace {

constexpr double kMoved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1.5, -2, 3, 1};

TEST(GroupOutput, RecordsComeInFixedOrderWhateverTheOrderOfBuildingAndATransformNodeForTheMatrix) {
    OrbGroup group("parent");
    group.createGroup("k\"id");
    group.addNode(std::make_shared<MarkerNode>("node A"));
    group.setAttribute("zeta", "old");
    group.setTransform(kMoved);
    group.setAttribute("alpha", "line\n");
    group.addNode(std::make_shared<MarkerNode>("node B"));
    group.setAttribute("zeta", "1");
    group.setFlags(4);
    group.addFlags(1);
    EXPECT_EQ(written(group),
              "\ngroup \"parent\" {\nflags 5\nattribute \"alpha\" xX6c696e650a\nattribute \"zeta\" \"1\"\n"
              "transform 1 0 0 0 0 1 0 0 0 0 1 0 1.5 -2 3 1\n#print \"node A\"\n#print \"node B\"\n"
              "\ngroup xX6b226964 {\n}\n}\n");
    // A transform node replaces the matrix.
    OrbGroup animated("animated");
    animated.setTransform(kMoved);
    auto placement = std::make_shared<MarkerNode>("placement");
    animated.setTransformNode(placement);
    EXPECT_EQ(written(animated), "\ngroup \"animated\" {\n#print \"placement\"\n}\n");
    EXPECT_EQ(placement->writes, 1);
}

TEST(GroupOutput, SharedChildIsWrittenUnderEveryParentAndZeroFlagsWriteNoLine) {
    auto root = OrbGroup::createRoot("root");
    auto shared = std::make_shared<OrbGroup>("shared");
    auto node = std::make_shared<MarkerNode>("leaf");
    shared->addNode(node);
    root->createGroup("a")->addGroup(shared);
    root->createGroup("b")->addGroup(shared);
    EXPECT_EQ(written(*root), "\ngroup \"root\" {\nflags 65536\n"
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

// ---------------------------------------------------------------------------

TEST(GroupTree, OnlyChildrenCountForEmptinessAndEmptyPointersAreIgnored) {
    OrbGroup group("g");
    group.setFlags(7);
    group.setTransform(kMoved);
    group.setAttribute("k", "v");
    group.addNode(nullptr);
    group.addGroup(nullptr);
    EXPECT_TRUE(group.isEmpty());
    group.addNode(std::make_shared<MarkerNode>("n"));
    EXPECT_FALSE(group.isEmpty());
    OrbGroup other("h");
    other.createGroup("child");
    EXPECT_FALSE(other.isEmpty());
}

TEST(GroupTree, CreatedChildrenAreAppendedAndFindGroupLooksAtDirectChildrenOnly) {
    OrbGroup group("g");
    auto first = group.createGroup("first");
    auto second = group.createGroup("second");
    auto mesh = group.createTriangleObject("mesh");
    EXPECT_EQ(group.groups(), (std::vector<std::shared_ptr<OrbGroup>>{first, second}));
    ASSERT_EQ(group.nodeCount(), 1u);
    EXPECT_EQ(group.nodes()[0], mesh);
    EXPECT_EQ(std::tuple(mesh->name(), mesh->material()->name()), std::tuple("mesh", "default"));
    // The first of two of a name is found; grandchildren and near names are not.
    group.createGroup("first");
    second->createGroup("grandchild");
    EXPECT_EQ(group.findGroup("first"), first);
    for (const char* name : {"grandchild", "First", "firs"}) EXPECT_EQ(group.findGroup(name), nullptr) << name;
}

TEST(GroupTree, CloneSharesChildrenButNotTheChildLists) {
    OrbGroup source("src");
    source.setFlags(0x20);
    source.setAttribute("k", "v");
    source.setTransformNode(std::make_shared<MarkerNode>("placement"));
    auto child = source.createGroup("child");
    source.addNode(std::make_shared<MarkerNode>("n"));

    auto copy = source.clone();
    EXPECT_EQ(written(*copy), written(source));
    EXPECT_FALSE(copy->hasTransform());
    copy->addNode(std::make_shared<MarkerNode>("only in copy"));
    copy->createGroup("only in copy");
    EXPECT_EQ(std::tuple(source.nodeCount(), source.groupCount()), std::tuple(1u, 1u));
    EXPECT_EQ(copy->groups()[0], child);

    Matrix4d matrix;
    std::copy(kMoved, kMoved + 16, matrix.begin());
    source.setTransform(matrix);
    auto moved = source.clone();
    ASSERT_TRUE(moved->hasTransform());
    EXPECT_TRUE(std::equal(kMoved, kMoved + 16, moved->transform()));
    EXPECT_NE(moved->transform(), source.transform());
}

} // namespace
