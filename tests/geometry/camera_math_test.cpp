// Camera answers computed from the camera's attributes and its world matrix.

#include "math/CameraMath.h"

#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

TEST(CameraMath, HorizontalFieldOfViewFromFocalLengthAndAperture) {
    mayahost::CameraAttributes camera;
    camera.focalLength = 35.0;
    camera.horizontalFilmAperture = 1.41732;
    // 2 * atan(0.5 * 1.41732 * 25.4 / 35) = 2 * atan(0.514285) = 54.432 degrees.
    EXPECT_NEAR(mayahost::horizontalFieldOfView(camera) * kDegrees, 54.432, 0.0005);
    camera.focalLength = 50.0;
    // 2 * atan(0.360000) = 39.598 degrees.
    EXPECT_NEAR(mayahost::horizontalFieldOfView(camera) * kDegrees, 39.598, 0.0005);
    // A longer lens narrows the view; a wider film back widens it.
    camera.horizontalFilmAperture = 2.0;
    EXPECT_GT(mayahost::horizontalFieldOfView(camera) * kDegrees, 39.598);
}

TEST(CameraMath, NewCameraAndVerticalView) {
    const mayahost::CameraAttributes camera;
    // 36 x 24 mm film back at 35 mm.
    EXPECT_NEAR(mayahost::horizontalFieldOfView(camera), 2 * std::atan(18.0 / 35.0), 1e-5);
    EXPECT_NEAR(mayahost::verticalFieldOfView(camera), 2 * std::atan(12.0 / 35.0), 1e-5);
}

TEST(CameraMath, FocalLengthRoundTrip) {
    mayahost::CameraAttributes camera;
    camera.focalLength = 85.0;
    const double fov = mayahost::horizontalFieldOfView(camera);
    EXPECT_NEAR(mayahost::focalLengthForHorizontalFieldOfView(camera, fov), 85.0, 1e-9);
}

TEST(CameraMath, DegenerateFocalLengthStaysFinite) {
    mayahost::CameraAttributes camera;
    for (double focal : {0.0, -10.0, std::nan("")}) {
        camera.focalLength = focal;
        const double fov = mayahost::horizontalFieldOfView(camera);
        EXPECT_TRUE(std::isfinite(fov)) << focal;
        EXPECT_NEAR(fov, std::numbers::pi, 1e-12) << focal;
    }
}

TEST(CameraMath, ObjectSpaceIgnoresThePlacement) {
    const MMatrix world = MEulerRotation(0.3, 1.2, -0.4).asMatrix() * 5.0;
    for (MSpace::Space space : {MSpace::kObject, MSpace::kTransform, MSpace::kPostTransform}) {
        EXPECT_TRUE(mayahost::eyePoint(world, space) == MPoint(0, 0, 0));
        EXPECT_TRUE(mayahost::viewDirection(world, space) == MVector(0, 0, -1));
        EXPECT_TRUE(mayahost::upDirection(world, space) == MVector(0, 1, 0));
        EXPECT_TRUE(mayahost::rightDirection(world, space) == MVector(1, 0, 0));
    }
    EXPECT_EQ(static_cast<int>(MSpace::kObject), 2);
}

TEST(CameraMath, WorldSpaceFollowsThePath) {
    // A quarter turn about y then a move to (1, 2, 3), scaled by 4: the camera
    // looks down -x, its eye at the move, directions stay unit length.
    MMatrix world = MEulerRotation(0, std::numbers::pi / 2, 0).asMatrix();
    for (unsigned r = 0; r < 3; ++r)
        for (unsigned c = 0; c < 3; ++c) world(r, c) *= 4.0;
    world(3, 0) = 1;
    world(3, 1) = 2;
    world(3, 2) = 3;
    const MPoint eye = mayahost::eyePoint(world, MSpace::kWorld);
    EXPECT_TRUE(eye.isEquivalent(MPoint(1, 2, 3), 1e-12));
    EXPECT_TRUE(mayahost::viewDirection(world, MSpace::kWorld).isEquivalent(MVector(-1, 0, 0), 1e-12));
    EXPECT_TRUE(mayahost::upDirection(world, MSpace::kWorld).isEquivalent(MVector(0, 1, 0), 1e-12));
    mayahost::CameraAttributes camera;
    camera.centerOfInterest = 2.0;
    // Two object units ahead, scaled by 4, along -x.
    EXPECT_TRUE(mayahost::centerOfInterestPoint(camera, world, MSpace::kWorld).isEquivalent(MPoint(-7, 2, 3), 1e-12));
    EXPECT_TRUE(mayahost::centerOfInterestPoint(camera, world, MSpace::kObject) == MPoint(0, 0, -2));
}

}  // namespace
