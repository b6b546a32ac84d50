// Transform and joint matrices read from scene files: units, pivots, rotate
// order, hierarchy, inheritance, joint orient and segment scale compensation;
// camera attributes and what a camera answers with them.

#include "eval/AnimationEval.h"
#include "eval/CameraEval.h"
#include "eval/TransformEval.h"
#include "TransformSceneUtil.h"

#include <maya/MPoint.h>

#include <cmath>
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

// Camera attributes read from scene files, and what a camera answers with them.
constexpr double kDegrees = 180.0 / std::numbers::pi;

TEST(CameraScene, DefaultCamerasAndNodesThatAreNoCameras) {
    auto scene = loadScene("requires maya \"2016\";\ncreateNode transform -n \"notACamera\";\n");
    const mayahost::CameraAttributes persp = mayahost::cameraAttributesOf(*scene, node(*scene, "perspShape"));
    EXPECT_NEAR(mayahost::horizontalFieldOfView(persp) * kDegrees, 54.432, 0.0005);
    EXPECT_EQ(std::tuple(persp.nearClippingPlane, persp.farClippingPlane, persp.orthographic), std::tuple(0.1, 10000.0, false));
    EXPECT_TRUE(mayahost::cameraAttributesOf(*scene, node(*scene, "topShape")).orthographic);
    // Another node gives a new camera's values.
    const mayahost::CameraAttributes none = mayahost::cameraAttributesOf(*scene, node(*scene, "notACamera"));
    EXPECT_EQ(std::tuple(none.focalLength, none.orthographic), std::tuple(35.0, false));
}

TEST(CameraScene, UserCameraAttributesAndUnits) {
    auto scene = loadScene(R"(currentUnit -l meter -a degree -t film;
createNode transform -n "cam"; setAttr ".t" -type "double3" 0 0 2 ;
createNode camera -n "camShape" -p "cam";
	setAttr ".fl" 50; setAttr ".hfa" 1.41732; setAttr ".ncp" 0.5; setAttr ".fcp" 200; setAttr ".coi" 3;
)");
    const mayahost::CameraAttributes cam = mayahost::cameraAttributesOf(*scene, node(*scene, "camShape"));
    EXPECT_NEAR(mayahost::horizontalFieldOfView(cam) * kDegrees, 39.598, 0.0005);
    // Clipping planes and the centre of interest are distances: metres become centimetres.
    EXPECT_EQ(std::tuple(cam.nearClippingPlane, cam.farClippingPlane), std::tuple(50.0, 20000.0));
    const MMatrix world = mayahost::worldMatrixOf(*scene, {&node(*scene, "cam"), &node(*scene, "camShape")});
    EXPECT_TRUE(mayahost::eyePoint(world, MSpace::kWorld).isEquivalent(MPoint(0, 0, 200)));
    EXPECT_TRUE(mayahost::eyePoint(world, MSpace::kObject) == MPoint(0, 0, 0));
    EXPECT_TRUE(mayahost::centerOfInterestPoint(cam, world, MSpace::kWorld).isEquivalent(MPoint(0, 0, -100)));
}

// Animation at load: plugs driven by animation curves (directly or through a
// unit conversion) read the curve's value at the scene's current time.

constexpr double kPi = std::numbers::pi;

// A box whose tx, rx and (through a unit conversion) ry ramp from frame 1 to 11.
std::string sceneAtTime(double time, std::string_view extra = "") {
    std::string text = R"(requires maya "2016";
currentUnit -l centimeter -a degree -t film;
createNode transform -n "box";
createNode animCurveTL -n "box_translateX"; setAttr ".tan" 2; setAttr ".wgt" no; setAttr -s 2 ".ktv[0:1]"  1 0 11 10;
createNode animCurveTA -n "box_rotateX"; setAttr ".tan" 2; setAttr ".wgt" no; setAttr -s 2 ".ktv[0:1]"  1 0 11 90;
createNode animCurveTU -n "box_rotateY_driver";
	setAttr ".tan" 2; setAttr ".wgt" no; setAttr -s 2 ".ktv[0:1]"  1 0 11 180;
createNode unitConversion -n "unitConversion1"; setAttr ".cf" 0.017453292519943295;
connectAttr "box_translateX.o" "box.tx"; connectAttr "box_rotateX.o" "box.rx";
connectAttr "box_rotateY_driver.o" "unitConversion1.i"; connectAttr "unitConversion1.o" "box.ry";
)";
    if (time >= 0) text += "select -ne :time1;\n\tsetAttr \".o\" " + std::to_string(time) + ";\n";
    return text += extra;
}

double readAttr(const mayahost::Scene& scene, std::string_view nodeName, std::string_view attr) {
    return scene.readDouble(node(scene, nodeName), attr, std::nan(""));
}

TEST(AnimScene, CurvesDrivePlugsAtTheCurrentTime) {
    auto scene = loadScene(sceneAtTime(6, "createNode transform -n \"still\";\n\tsetAttr \".tx\" 3;\n"));
    EXPECT_DOUBLE_EQ(mayahost::sceneCurrentTime(*scene), 6.0);
    EXPECT_NEAR(readAttr(*scene, "box", "tx"), 5.0, 1e-12);
    // Angle curves keep degrees in the file and give radians.
    EXPECT_NEAR(readAttr(*scene, "box", "rx"), kPi / 4, 1e-12);
    // A unitless curve through a unit conversion: 90 * pi / 180.
    EXPECT_NEAR(readAttr(*scene, "box", "ry"), kPi / 2, 1e-12);
    // The transform sees the animated values.
    EXPECT_NEAR(mayahost::localMatrixOf(*scene, node(*scene, "box"))(3, 0), 5.0, 1e-12);
    // Unconnected curves do not touch stored values, and a curve's other plugs read as stored.
    EXPECT_DOUBLE_EQ(readAttr(*scene, "still", "tx"), 3.0);
    EXPECT_DOUBLE_EQ(readAttr(*scene, "box_translateX", "tangentType"), 2.0);

    auto unset = loadScene(sceneAtTime(-1));
    EXPECT_DOUBLE_EQ(mayahost::sceneCurrentTime(*unset), 1.0) << "time defaults to frame one";
    EXPECT_NEAR(readAttr(*unset, "box", "tx"), 0.0, 1e-12);
}

TEST(AnimScene, InfinityAndTangentAttributesFromTheFile) {
    auto scene = loadScene(sceneAtTime(16, R"(createNode transform -n "ball";
createNode animCurveTL -n "ball_ty";
	setAttr ".tan" 2; setAttr ".wgt" no; setAttr -s 2 ".ktv[0:1]"  1 0 11 10; setAttr ".pst" 4;
createNode animCurveTL -n "ball_tz"; setAttr ".tan" 1; setAttr ".wgt" no; setAttr -s 3 ".ktv[0:2]"  1 45 16 0 30 7;
	setAttr -s 3 ".kit[1:2]"  5 18; setAttr -s 3 ".kot[1:2]"  5 18;
	setAttr -s 3 ".kix[0:1]"  1 1; setAttr -s 3 ".kiy[0:1]"  0 0; setAttr -s 3 ".kox[0:1]"  1 1; setAttr -s 3 ".koy[0:1]"  0 0;
connectAttr "ball_ty.o" "ball.ty"; connectAttr "ball_tz.o" "ball.tz";
)"));
    // Cycle with offset: 16 is 5 frames into the second cycle, one rise of 10 up.
    EXPECT_NEAR(readAttr(*scene, "ball", "ty"), 15.0, 1e-12);
    // Key 1 steps out: from frame 16 on the value holds 0 until frame 30.
    EXPECT_NEAR(readAttr(*scene, "ball", "tz"), 0.0, 1e-12);
    const mayahost::AnimCurve curve = mayahost::animCurveOf(*scene, node(*scene, "ball_tz"));
    ASSERT_EQ(curve.numKeys(), 3u);
    EXPECT_NEAR(curve.evaluate(20), 0.0, 1e-12);
    // Fixed flat tangents on key 0 and a flat one from key 1: a flat Hermite at s = 0.5.
    EXPECT_NEAR(curve.evaluate(8.5), 22.5, 1e-12);
}

TEST(AnimScene, LinearUnitsAndTimeUnitApplyToKeys) {
    auto scene = loadScene(R"(requires maya "2016";
currentUnit -l meter -a degree -t ntsc;
createNode transform -n "box";
createNode animCurveTL -n "box_tx"; setAttr ".tan" 1; setAttr ".wgt" no; setAttr -s 2 ".ktv[0:1]"  0 0 30 0;
	setAttr -s 2 ".kox[0]"  1; setAttr -s 2 ".koy[0]"  30;
connectAttr "box_tx.o" "box.tx";
select -ne :time1; setAttr ".o" 15;
)");
    // Out tangent: 30 m per second = 1 m per frame at 30 fps, i.e. 100 cm per
    // frame over a 30-frame span: h10(0.5) * 30 * 100 = 375 cm.
    EXPECT_NEAR(readAttr(*scene, "box", "tx"), 375.0, 1e-9);
}

TEST(AnimScene, CorpusCurvesEvaluateToFiniteValues) {
    const std::filesystem::path corpus = std::filesystem::path(GLOWBOX_CORPUS_DIR) / "maya2gltf";
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    int curves = 0;
    for (const char* name : {"AnimatedCube1.ma", "GroupedFingersPivotAnim1.ma", "SkewedCubeAnim1.ma"}) {
        const auto path = corpus / name;
        if (!std::filesystem::exists(path)) continue;
        mayahost::Scene scene;
        mayahost::installAnimationEvaluators(scene);
        mayahost::SceneBuilder builder(scene, path.string());
        ASSERT_TRUE(mayahost::scenefile::readMaFile(path.string(), builder).ok()) << name;
        for (const auto& n : scene.nodes()) {
            if (!n->hasFn(MFn::kAnimCurve)) continue;
            ++curves;
            EXPECT_TRUE(std::isfinite(scene.readDouble(*n, "output", std::nan("")))) << name << " " << n->name();
            for (const auto& other : scene.nodes())
                if (mayahost::isTransformNode(*other)) {
                    const MMatrix m = mayahost::localMatrixOf(scene, *other);
                    for (unsigned i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(m(i / 4, i % 4))) << other->name();
                }
        }
    }
    if (curves == 0) GTEST_SKIP() << "no animated corpus scenes found";
}

TEST(AnimScene, UnevaluatedDriversKeepStoredValuesAndWarnOnce) {
    auto scene = loadScene(R"(requires maya "2016";
createNode transform -n "target"; setAttr ".t" -type "double3" 4 5 6 ;
createNode transform -n "other"; setAttr ".r" -type "double3" 0 30 0 ;
createNode parentConstraint -n "target_parentConstraint1" -p "target";
createNode parentConstraint -n "other_parentConstraint1" -p "other";
createNode expression -n "expression1";
connectAttr "target_parentConstraint1.ctx" "target.tx"; connectAttr "target_parentConstraint1.cty" "target.ty";
connectAttr "other_parentConstraint1.cr" "other.r"; connectAttr "expression1.out[0]" "target.sx";
createNode transform -n "source"; connectAttr "source.t" "target.rp";
createNode transform -n "switch"; addAttr -ci true -sn "Shown" -ln "Shown" -min 0 -max 1 -at "bool";
connectAttr "switch.Shown" "other.v";
)");
    // Stored translate; unset scale stays at its default under the expression.
    const MMatrix target = mayahost::localMatrixOf(*scene, node(*scene, "target"));
    EXPECT_EQ((std::vector<double>{target(3, 0), target(3, 1), target(3, 2), target(0, 0)}), (std::vector<double>{4, 5, 6, 1}));
    // A whole compound driven by a constraint keeps its stored components.
    double r[3];
    MTransformationMatrix::RotationOrder order;
    mayahost::transformationOf(*scene, node(*scene, "other")).getRotation(r, order);
    EXPECT_NEAR(r[1], std::numbers::pi / 6, 1e-12);

    mayahost::reportUnevaluatedDrivers(*scene);
    int constraintWarnings = 0, expressionWarnings = 0, transformWarnings = 0;
    for (const auto& w : scene->warnings()) {
        constraintWarnings += w.message.rfind("parentConstraint", 0) == 0;
        expressionWarnings += w.message.rfind("expression", 0) == 0;
        transformWarnings += w.message.rfind("transform", 0) == 0;
    }
    // A plain attribute of another node is followed, not reported, also one
    // added by addAttr that the file leaves at its default.
    EXPECT_EQ((std::vector<int>{constraintWarnings, expressionWarnings, transformWarnings}), (std::vector<int>{1, 1, 0}));
}

}  // namespace
