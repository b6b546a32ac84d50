// Transform and joint matrices read from scene files: units, pivots, rotate
// order, hierarchy, inheritance, joint orient and segment scale compensation.

#include "eval/TransformEval.h"
#include "TransformSceneUtil.h"

#include <maya/MPoint.h>

#include <numbers>

namespace {

using transform_test::loadScene;
using transform_test::node;

std::vector<const mayahost::Node*> pathOf(const mayahost::Scene& scene, std::initializer_list<const char*> names) {
    std::vector<const mayahost::Node*> path;
    for (const char* n : names) path.push_back(&node(scene, n));
    return path;
}

// Where `from` lands under the local matrix of one node, or the world matrix of a path.
struct Placement {
    const char* what;
    std::initializer_list<const char*> path;
    MPoint from, to;
};

std::unique_ptr<mayahost::Scene> expectPlacements(const char* scene, std::initializer_list<Placement> placements) {
    auto s = loadScene(scene);
    for (const Placement& c : placements) {
        const MMatrix m = c.path.size() == 1 ? mayahost::localMatrixOf(*s, node(*s, *c.path.begin()))
                                             : mayahost::worldMatrixOf(*s, pathOf(*s, c.path));
        const MPoint p = c.from * m;
        EXPECT_TRUE(p.isEquivalent(c.to, 1e-9)) << c.what << ": " << p;
    }
    return s;
}

TEST(TransformScene, UnitsPivotsRotateOrderShearAndOffsets) {
    expectPlacements(R"(requires maya "2016";
currentUnit -l centimeter -a degree -t film;
createNode transform -n "a";
	setAttr ".r" -type "double3" 0 0 90 ; setAttr ".rp" -type "double3" 1 0 0 ; setAttr ".rpt" -type "double3" 0 0 5 ;
)", {{"degrees and pivots", {"a"}, {2, 0, 0}, {1, 1, 5}}});
    expectPlacements(R"(currentUnit -l meter -a radian -t film;
createNode transform -n "a"; setAttr ".t" -type "double3" 1 0 0 ; setAttr ".r" -type "double3" 0 0 1.5707963267948966 ;
)", {{"one metre is 100 internal units; the angle is already in radians", {"a"}, {1, 0, 0}, {100, 1, 0}}});
    auto scene = expectPlacements(R"(createNode transform -n "xyz"; setAttr ".r" -type "double3" 90 90 0 ;
createNode transform -n "yxz"; setAttr ".r" -type "double3" 90 90 0 ; setAttr ".ro" 4;
createNode transform -n "axis"; setAttr ".ra" -type "double3" 0 0 90 ; setAttr ".rx" 90;
createNode transform -n "a"; setAttr ".sh" -type "double3" 0.5 0 0 ;
createNode transform -n "b";
	setAttr ".s" -type "double3" 3 1 1 ; setAttr ".sp" -type "double3" 1 0 0 ; setAttr ".spt" -type "double3" 0 0 -1 ;
createNode transform -n "c";
	setAttr ".t" -type "double3" 1 0 0 ; setAttr ".opm" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 0 10 0 1;
)", {{"x first: (0 1 0) -> (0 0 1) -> (1 0 0)", {"xyz"}, {0, 1, 0}, {1, 0, 0}},
     {"y first: (0 1 0) -> (0 0 1)", {"yxz"}, {0, 1, 0}, {0, 0, 1}},
     {"the rotate axis turns x to y, then the rotation y to z", {"axis"}, {1, 0, 0}, {0, 0, 1}},
     {"shear", {"a"}, {0, 2, 0}, {1, 2, 0}}, {"scale pivot", {"b"}, {2, 0, 0}, {4, 0, -1}},
     {"offset parent matrix", {"c"}, {0, 0, 0}, {1, 10, 0}}});
    MTransformationMatrix::RotationOrder order;
    double r[3];
    mayahost::transformationOf(*scene, node(*scene, "yxz")).getRotation(r, order);
    EXPECT_EQ(order, MTransformationMatrix::kYXZ);
    EXPECT_NEAR(r[0], std::numbers::pi / 2, 1e-12);
}

TEST(TransformScene, WorldMatricesOfPathsJointsAndShapes) {
    // (1, 0, 0) scaled to (2, 0, 0), a quarter about y to (0, 0, -2), moved by (1, 2, 3).
    expectPlacements(R"(createNode transform -n "grp";
	setAttr ".t" -type "double3" 1 2 3 ; setAttr ".r" -type "double3" 0 90 0 ; setAttr ".s" -type "double3" 2 2 2 ;
createNode transform -n "child" -p "grp"; setAttr ".t" -type "double3" 1 0 0 ;
createNode transform -n "loose" -p "grp"; setAttr ".t" -type "double3" 1 0 0 ; setAttr ".it" no;
createNode transform -n "a"; setAttr ".t" -type "double3" 1 0 0 ;
createNode mesh -n "aShape" -p "a";
)", {{"down the path", {"world", "grp", "child"}, {0, 0, 0}, {1, 2, 1}},
     {"not inheriting", {"grp", "loose"}, {0, 0, 0}, {1, 0, 0}},
     {"a shape at the end of a path takes its transform's placement", {"a", "aShape"}, {0, 0, 0}, {1, 0, 0}}});
    // The orient turns x to y; the compensation keeps the segment unit length.
    expectPlacements(R"(createNode joint -n "root"; setAttr ".s" -type "double3" 2 2 2 ;
createNode joint -n "tip" -p "root"; setAttr ".t" -type "double3" 1 0 0 ; setAttr ".jo" -type "double3" 0 0 90 ;
createNode joint -n "free" -p "root"; setAttr ".t" -type "double3" 1 0 0 ; setAttr ".ssc" no;
connectAttr "root.s" "tip.is"; connectAttr "root.s" "free.is";
)", {{"tip", {"root", "tip"}, {0, 0, 0}, {2, 0, 0}},
     {"tip's x", {"root", "tip"}, {1, 0, 0}, {2, 1, 0}},
     {"without compensation", {"root", "free"}, {1, 0, 0}, {4, 0, 0}}});

    auto scene = loadScene("createNode transform -n \"a\";\ncreateNode mesh -n \"aShape\" -p \"a\";\n");
    EXPECT_FALSE(mayahost::isTransformNode(node(*scene, "aShape")));
    EXPECT_TRUE(mayahost::localMatrixOf(*scene, node(*scene, "aShape")) == MMatrix::identity);
    EXPECT_TRUE(mayahost::worldMatrixOf(*scene, {}).isEquivalent(MMatrix::identity));
    // persp sits at (28, 21, 28), turned -27.94 degrees about x then 45 about y.
    const MMatrix world = mayahost::worldMatrixOf(*scene, pathOf(*scene, {"persp", "perspShape"}));
    EXPECT_TRUE((MPoint(0, 0, 0) * world).isEquivalent(MPoint(28, 21, 28), 1e-9));
    const MVector view = MVector(0, 0, -1) * world;
    // It looks back towards the origin, down and along -x -z equally.
    EXPECT_NEAR(view.x, view.z, 1e-9);
    EXPECT_LT(view.x, 0.0);
    EXPECT_LT(view.y, 0.0);
}

}  // namespace
