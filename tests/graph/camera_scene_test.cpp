// Camera attributes read from scene files, and what a camera answers with them.

#include "eval/CameraEval.h"
#include "eval/TransformEval.h"
#include "transform_scene_util.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

using transform_test::loadScene;
using transform_test::node;

constexpr double kDegrees = 180.0 / std::numbers::pi;

TEST(CameraScene, DefaultPerspectiveCameraView) {
    auto scene = loadScene("requires maya \"2016\";\n");
    const mayahost::CameraAttributes persp = mayahost::cameraAttributesOf(*scene, node(*scene, "perspShape"));
    EXPECT_NEAR(mayahost::horizontalFieldOfView(persp) * kDegrees, 54.432, 0.0005);
    EXPECT_DOUBLE_EQ(persp.nearClippingPlane, 0.1);
    EXPECT_DOUBLE_EQ(persp.farClippingPlane, 10000.0);
    EXPECT_FALSE(persp.orthographic);
    EXPECT_TRUE(mayahost::cameraAttributesOf(*scene, node(*scene, "topShape")).orthographic);
}

TEST(CameraScene, UserCameraAttributesAndUnits) {
    auto scene = loadScene(R"(currentUnit -l meter -a degree -t film;
createNode transform -n "cam";
	setAttr ".t" -type "double3" 0 0 2 ;
createNode camera -n "camShape" -p "cam";
	setAttr ".fl" 50;
	setAttr ".hfa" 1.41732;
	setAttr ".ncp" 0.5;
	setAttr ".fcp" 200;
	setAttr ".coi" 3;
)");
    const mayahost::CameraAttributes cam = mayahost::cameraAttributesOf(*scene, node(*scene, "camShape"));
    EXPECT_NEAR(mayahost::horizontalFieldOfView(cam) * kDegrees, 39.598, 0.0005);
    // Clipping planes and the centre of interest are distances: metres become centimetres.
    EXPECT_DOUBLE_EQ(cam.nearClippingPlane, 50.0);
    EXPECT_DOUBLE_EQ(cam.farClippingPlane, 20000.0);
    const MMatrix world = mayahost::worldMatrixOf(*scene, {&node(*scene, "cam"), &node(*scene, "camShape")});
    EXPECT_TRUE(mayahost::eyePoint(world, MSpace::kWorld).isEquivalent(MPoint(0, 0, 200)));
    EXPECT_TRUE(mayahost::eyePoint(world, MSpace::kObject) == MPoint(0, 0, 0));
    EXPECT_TRUE(mayahost::centerOfInterestPoint(cam, world, MSpace::kWorld).isEquivalent(MPoint(0, 0, -100)));
}

TEST(CameraScene, NodesThatAreNoCamerasGiveANewCamerasValues) {
    auto scene = loadScene(R"(createNode transform -n "notACamera";
	setAttr ".t" -type "double3" 0 0 2 ;
)");
    const mayahost::CameraAttributes attrs = mayahost::cameraAttributesOf(*scene, node(*scene, "notACamera"));
    EXPECT_DOUBLE_EQ(attrs.focalLength, 35.0);
    EXPECT_FALSE(attrs.orthographic);
}

}  // namespace
