// Per-face shading of a mesh with history: the faces of a shading group come
// from the groupParts node that tags them, found through the groupId node the
// shape's object group shares with it.

#include "MeshHistoryTestUtil.h"

using namespace mayahost;
using namespace history_test;

namespace {

// Faces 0-3 red and 4-5 blue on the first instance, tagged in the history;
// the second instance lists its own faces and also has a history-tagged group.
const char* kTwoMaterialCube = R"(
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
	setAttr -s 2 ".iog[0].og"; setAttr -s 2 ".iog[1].og"; setAttr ".iog[1].og[0].gcl" -type "componentList" 1 "f[5]";
createNode transform -n "pCube2"; parent -s -add "pCubeShape1" "pCube2";
createNode polyCube -n "polyCube1";
createNode groupId -n "groupId1"; createNode groupParts -n "groupParts1";
	setAttr ".ic" -type "componentList" 1 "f[0:3]";
createNode groupId -n "groupId2"; createNode groupParts -n "groupParts2";
	setAttr ".ic" -type "componentList" 2 "f[4]" "f[5]";
createNode groupId -n "groupId3"; createNode groupId -n "deformGroupId"; createNode groupParts -n "deformGroupParts";
	setAttr ".ic" -type "componentList" 1 "vtx[*]";
createNode tweak -n "tweak1";
createNode shadingEngine -n "redSG"; createNode shadingEngine -n "blueSG"; createNode objectSet -n "tweakSet1";
connectAttr "polyCube1.out" "groupParts1.ig";
connectAttr "groupId1.id" "groupParts1.gi";
connectAttr "groupParts1.og" "groupParts2.ig";
connectAttr "groupId2.id" "groupParts2.gi"; connectAttr "groupParts2.og" "deformGroupParts.ig";
connectAttr "deformGroupId.id" "deformGroupParts.gi"; connectAttr "deformGroupParts.og" "tweak1.ip[0].ig";
connectAttr "deformGroupId.id" "tweak1.ip[0].gi"; connectAttr "tweak1.og[0]" "pCubeShape1.i";
connectAttr "groupId1.id" "pCubeShape1.iog[0].og[0].gid"; connectAttr "groupId2.id" "pCubeShape1.iog[0].og[1].gid";
connectAttr "deformGroupId.id" "pCubeShape1.iog[0].og[2].gid"; connectAttr "groupId3.id" "pCubeShape1.iog[1].og[0].gid";
connectAttr "groupId2.id" "pCubeShape1.iog[1].og[1].gid";
connectAttr "pCubeShape1.iog[0].og[0]" "redSG.dsm" -na; connectAttr "pCubeShape1.iog[0].og[1]" "blueSG.dsm" -na;
connectAttr "pCubeShape1.iog[0].og[2]" "tweakSet1.dsm" -na; connectAttr "pCubeShape1.iog[1].og[0]" "redSG.dsm" -na;
connectAttr "pCubeShape1.iog[1].og[1]" "blueSG.dsm" -na;
)";

TEST(MeshHistoryShading, GroupPartsGiveThePerFaceShadingGroups) {
    auto scene = load(kTwoMaterialCube);
    ASSERT_EQ(meshNamed(*scene, "pCubeShape1").mesh->numFaces(), 6u);
    EXPECT_EQ(membership(*scene, 0, true), (Membership{{"redSG", {0, 1, 2, 3}}, {"blueSG", {4, 5}}}));
    // The deformer's vertex set is no shading group and holds no faces.
    EXPECT_EQ(membership(*scene, 0, false),
              (Membership{{"redSG", {0, 1, 2, 3}}, {"blueSG", {4, 5}}, {"tweakSet1", {}}}));
    // Each instance reads its own groups. Instance 1: its own list wins for red
    // (groupId3 tags nothing in the history); blue shares groupId2 and so the
    // faces groupParts2 tags.
    EXPECT_EQ(membership(*scene, 1, true), (Membership{{"redSG", {5}}, {"blueSG", {4, 5}}}));
}

TEST(MeshHistoryShading, OnlyTheShapesOwnHistoryCountsAndHostileRangesStayBounded) {
    // groupId1 now tags faces in another shape's history only, and groupParts2 names a huge range.
    std::string text = replaced(kTwoMaterialCube, "connectAttr \"polyCube1.out\" \"groupParts1.ig\";",
                                "connectAttr \"polyCube1.out\" \"groupParts2.ig\";");
    text = replaced(text, "connectAttr \"groupParts1.og\" \"groupParts2.ig\";",
                    "createNode mesh -n \"otherShape\" -p \"pCube1\";\nconnectAttr \"groupParts1.og\" \"otherShape.i\";");
    auto scene = load(replaced(text, "2 \"f[4]\" \"f[5]\"", "1 \"f[4:2000000000]\""));
    EXPECT_EQ(membership(*scene, 0, true), (Membership{{"redSG", {}}, {"blueSG", {4, 5}}}));
}

}  // namespace
