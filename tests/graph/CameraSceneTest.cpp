// Camera attributes read from scene files, and what a camera answers with them.

#include "eval/CameraEval.h"
#include "eval/TransformEval.h"
#include "TransformSceneUtil.h"

#include <numbers>

namespace {

using transform_test::loadScene;
using transform_test::node;

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

}  // namespace
