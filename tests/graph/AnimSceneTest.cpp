// Animation at load: plugs driven by animation curves (directly or through a
// unit conversion) read the curve's value at the scene's current time.

#include "eval/AnimationEval.h"
#include "eval/TransformEval.h"
#include "TransformSceneUtil.h"

#include <cmath>
#include <numbers>

namespace {

using transform_test::loadScene;
using transform_test::node;

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
