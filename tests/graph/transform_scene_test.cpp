// Transform and joint matrices read from scene files: units, pivots, rotate
// order, hierarchy, inheritance, joint orient and segment scale compensation.

#include "eval/TransformEval.h"
#include "transform_scene_util.h"

#include <maya/MPoint.h>

#include <gtest/gtest.h>

#include <numbers>

namespace {

using transform_test::loadScene;
using transform_test::node;

void expectPoint(const MPoint& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}

std::vector<const mayahost::Node*> pathOf(const mayahost::Scene& scene, std::initializer_list<const char*> names) {
    std::vector<const mayahost::Node*> path;
    for (const char* n : names) path.push_back(&node(scene, n));
    return path;
}

TEST(TransformScene, DegreesAndPivotsFromTheFile) {
    auto scene = loadScene(R"(requires maya "2016";
currentUnit -l centimeter -a degree -t film;
createNode transform -n "a";
	setAttr ".r" -type "double3" 0 0 90 ;
	setAttr ".rp" -type "double3" 1 0 0 ;
	setAttr ".rpt" -type "double3" 0 0 5 ;
)");
    const MMatrix m = mayahost::localMatrixOf(*scene, node(*scene, "a"));
    expectPoint(MPoint(2, 0, 0) * m, 1, 1, 5);
}

TEST(TransformScene, FileUnitsBecomeInternalUnits) {
    auto scene = loadScene(R"(currentUnit -l meter -a radian -t film;
createNode transform -n "a";
	setAttr ".t" -type "double3" 1 0 0 ;
	setAttr ".r" -type "double3" 0 0 1.5707963267948966 ;
)");
    // One metre is 100 internal units; the angle is already in radians.
    const MMatrix m = mayahost::localMatrixOf(*scene, node(*scene, "a"));
    expectPoint(MPoint(1, 0, 0) * m, 100, 1, 0);
}

TEST(TransformScene, RotateOrderAndAxisAttributes) {
    auto scene = loadScene(R"(createNode transform -n "xyz";
	setAttr ".r" -type "double3" 90 90 0 ;
createNode transform -n "yxz";
	setAttr ".r" -type "double3" 90 90 0 ;
	setAttr ".ro" 4;
createNode transform -n "axis";
	setAttr ".ra" -type "double3" 0 0 90 ;
	setAttr ".rx" 90;
)");
    // x first: (0, 1, 0) -> (0, 0, 1) -> (1, 0, 0); y first: (0, 1, 0) -> (0, 0, 1).
    expectPoint(MPoint(0, 1, 0) * mayahost::localMatrixOf(*scene, node(*scene, "xyz")), 1, 0, 0);
    expectPoint(MPoint(0, 1, 0) * mayahost::localMatrixOf(*scene, node(*scene, "yxz")), 0, 0, 1);
    // The rotate axis turns x to y, then the rotation turns y to z.
    expectPoint(MPoint(1, 0, 0) * mayahost::localMatrixOf(*scene, node(*scene, "axis")), 0, 0, 1);
    MTransformationMatrix::RotationOrder order;
    double r[3];
    mayahost::transformationOf(*scene, node(*scene, "yxz")).getRotation(r, order);
    EXPECT_EQ(order, MTransformationMatrix::kYXZ);
    EXPECT_NEAR(r[0], std::numbers::pi / 2, 1e-12);
}

TEST(TransformScene, WorldMatrixMultipliesUpThePath) {
    auto scene = loadScene(R"(createNode transform -n "grp";
	setAttr ".t" -type "double3" 1 2 3 ;
	setAttr ".r" -type "double3" 0 90 0 ;
	setAttr ".s" -type "double3" 2 2 2 ;
createNode transform -n "child" -p "grp";
	setAttr ".t" -type "double3" 1 0 0 ;
createNode transform -n "loose" -p "grp";
	setAttr ".t" -type "double3" 1 0 0 ;
	setAttr ".it" no;
)");
    // (1, 0, 0) scaled to (2, 0, 0), a quarter about y to (0, 0, -2), moved by (1, 2, 3).
    const MMatrix world = mayahost::worldMatrixOf(*scene, pathOf(*scene, {"world", "grp", "child"}));
    expectPoint(MPoint(0, 0, 0) * world, 1, 2, 1);
    const MMatrix loose = mayahost::worldMatrixOf(*scene, pathOf(*scene, {"grp", "loose"}));
    expectPoint(MPoint(0, 0, 0) * loose, 1, 0, 0);
    EXPECT_TRUE(mayahost::worldMatrixOf(*scene, {}).isEquivalent(MMatrix::identity));
}

TEST(TransformScene, JointOrientAndParentScaleCompensation) {
    auto scene = loadScene(R"(createNode joint -n "root";
	setAttr ".s" -type "double3" 2 2 2 ;
createNode joint -n "tip" -p "root";
	setAttr ".t" -type "double3" 1 0 0 ;
	setAttr ".jo" -type "double3" 0 0 90 ;
createNode joint -n "free" -p "root";
	setAttr ".t" -type "double3" 1 0 0 ;
	setAttr ".ssc" no;
connectAttr "root.s" "tip.is";
connectAttr "root.s" "free.is";
)");
    const MMatrix tip = mayahost::worldMatrixOf(*scene, pathOf(*scene, {"root", "tip"}));
    expectPoint(MPoint(0, 0, 0) * tip, 2, 0, 0);
    // The orient turns x to y; the compensation keeps the segment unit length.
    expectPoint(MPoint(1, 0, 0) * tip, 2, 1, 0);
    const MMatrix free = mayahost::worldMatrixOf(*scene, pathOf(*scene, {"root", "free"}));
    expectPoint(MPoint(1, 0, 0) * free, 4, 0, 0);
}

TEST(TransformScene, ShearScalePivotAndOffsetParentMatrix) {
    auto scene = loadScene(R"(createNode transform -n "a";
	setAttr ".sh" -type "double3" 0.5 0 0 ;
createNode transform -n "b";
	setAttr ".s" -type "double3" 3 1 1 ;
	setAttr ".sp" -type "double3" 1 0 0 ;
	setAttr ".spt" -type "double3" 0 0 -1 ;
createNode transform -n "c";
	setAttr ".t" -type "double3" 1 0 0 ;
	setAttr ".opm" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 0 10 0 1;
)");
    expectPoint(MPoint(0, 2, 0) * mayahost::localMatrixOf(*scene, node(*scene, "a")), 1, 2, 0);
    expectPoint(MPoint(2, 0, 0) * mayahost::localMatrixOf(*scene, node(*scene, "b")), 4, 0, -1);
    expectPoint(MPoint(0, 0, 0) * mayahost::localMatrixOf(*scene, node(*scene, "c")), 1, 10, 0);
}

TEST(TransformScene, NodesThatAreNoTransformsGiveIdentity) {
    auto scene = loadScene(R"(createNode transform -n "a";
	setAttr ".t" -type "double3" 1 0 0 ;
createNode mesh -n "aShape" -p "a";
)");
    EXPECT_FALSE(mayahost::isTransformNode(node(*scene, "aShape")));
    EXPECT_TRUE(mayahost::localMatrixOf(*scene, node(*scene, "aShape")) == MMatrix::identity);
    // A shape at the end of a path takes its transform's placement.
    const MMatrix world = mayahost::worldMatrixOf(*scene, pathOf(*scene, {"a", "aShape"}));
    expectPoint(MPoint(0, 0, 0) * world, 1, 0, 0);
}

TEST(TransformScene, DefaultPerspectiveCamera) {
    auto scene = loadScene("requires maya \"2016\";\n");
    // persp sits at (28, 21, 28), turned -27.94 degrees about x then 45 about y.
    const MMatrix world = mayahost::worldMatrixOf(*scene, pathOf(*scene, {"persp", "perspShape"}));
    expectPoint(MPoint(0, 0, 0) * world, 28, 21, 28);
    const MVector view = MVector(0, 0, -1) * world;
    // It looks back towards the origin, down and along -x -z equally.
    EXPECT_NEAR(view.x, view.z, 1e-9);
    EXPECT_LT(view.x, 0.0);
    EXPECT_LT(view.y, 0.0);
}

}  // namespace
