#include "mesh/MeshModifiers.h"

#include "meshmod_test_util.h"

#include <gtest/gtest.h>

using namespace mayahost;
using meshmodtest::mentions;

namespace {

ComponentLimits cubeLimits() {
    ComponentLimits limits;
    limits.vertices = 8;
    limits.edges = 12;
    limits.faces = 6;
    limits.uvs = 14;
    return limits;
}

TEST(ComponentList, ItemsOfEveryKindAreMergedSortedAndUnique) {
    ComponentSelection sel;
    std::string error =
        parseComponentList({"f[3:5]", "f[0]", "f[4]", "vtx[7]", "vtx[2:3]", "e[*]", "map[12:13]"}, cubeLimits(), sel);
    ASSERT_EQ(error, "");
    EXPECT_EQ(sel.faces, (std::vector<int32_t>{0, 3, 4, 5}));
    EXPECT_EQ(sel.vertices, (std::vector<int32_t>{2, 3, 7}));
    ASSERT_EQ(sel.edges.size(), 12u);
    for (int32_t e = 0; e < 12; ++e) EXPECT_EQ(sel.edges[size_t(e)], e);
    EXPECT_EQ(sel.uvs, (std::vector<int32_t>{12, 13}));
}

TEST(ComponentList, EmptyListAndStarOnNothingSelectNothing) {
    ComponentSelection sel;
    EXPECT_EQ(parseComponentList({}, cubeLimits(), sel), "");
    EXPECT_TRUE(sel.empty());
    ComponentLimits none;
    EXPECT_EQ(parseComponentList({"f[*]", "vtx[*]"}, none, sel), "");
    EXPECT_TRUE(sel.empty());
}

TEST(ComponentList, BadItemsAreRejectedByNameAndLeaveNothing) {
    const char* bad[] = {"f[6]",   "f[2:6]", "f[3:1]", "f[a]",     "f[]",        "f[1:]",   "[1]",
                         "f1",     "f[-1]",  "x[1]",   "f[1",      "vtxFace[1][2]", "f[99999999999999999999]",
                         "map[14]", "e[12]", "vtx[8]", "f[1:2:3]", "f[ 1]"};
    for (const char* item : bad) {
        ComponentSelection sel;
        std::string error = parseComponentList({"f[0]", item}, cubeLimits(), sel);
        EXPECT_TRUE(mentions(error, item)) << item << " -> " << error;
        EXPECT_TRUE(sel.empty()) << item;
    }
}

TEST(ComponentList, UvLimitsComeFromTheChosenSet) {
    MeshData cube = meshtest::makeCube(false, true);
    cube.uvSets.push_back({"small", {0.f, 1.f}, {0.f, 1.f}, {}});
    EXPECT_EQ(componentLimits(cube).uvs, 14u);
    EXPECT_EQ(componentLimits(cube, 1).uvs, 2u);
    EXPECT_EQ(componentLimits(cube, 5).uvs, 0u);
    ComponentLimits limits = componentLimits(cube);
    EXPECT_EQ(limits.vertices, 8u);
    EXPECT_EQ(limits.edges, 12u);
    EXPECT_EQ(limits.faces, 6u);
}

TEST(GroupParts, RemovedComponentsAreTakenOutAndTheMeshIsUntouched) {
    MeshData cube = meshtest::makeCube(false, false);
    std::string warning;
    GroupPartsParams params;
    params.inputComponents = {"f[0:3]"};
    params.inputRemoveComponent = {"f[1:2]"};
    ComponentSelection sel = groupPartsComponents(cube, params, &warning);
    EXPECT_EQ(sel.faces, (std::vector<int32_t>{0, 3}));
    EXPECT_EQ(warning, "");

    params.inputComponents = {"f[0]", "f[3]"};
    params.inputRemoveComponent = {};
    EXPECT_EQ(groupPartsComponents(cube, params, &warning).faces, (std::vector<int32_t>{0, 3}));
}

TEST(GroupParts, MalformedListTagsNothingAndWarns) {
    MeshData cube = meshtest::makeCube(false, false);
    std::string warning;
    GroupPartsParams params;
    params.inputComponents = {"f[0:9]"};
    EXPECT_TRUE(groupPartsComponents(cube, params, &warning).empty());
    EXPECT_TRUE(mentions(warning, "groupParts")) << warning;
    params.inputComponents = {"f[0]"};
    params.inputRemoveComponent = {"f[x]"};
    warning.clear();
    EXPECT_TRUE(groupPartsComponents(cube, params, nullptr).empty());  // a null warning is allowed
}

}  // namespace
