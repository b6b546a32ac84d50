#include "SceneOutput.h"

#include "sceneapi/model/LightCamera.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using modeltest::MarkerNode;
using modeltest::SceneOutput;
using orb::LightCamera;

namespace {

const std::string kEnvironment =
    "reflection map \"orb_envmap\" {\n"
    "\"texture\" \"startup.hdr\",\n"
    "\"format\" 3,\n"
    "\"radius\" 25,\n"
    "}\n";

constexpr double kPlaced[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 10, 2.5, -4, 1};

TEST(CameraOutput, InitialCameraWritesOnlyTheMandatoryRecords) {
    SceneOutput out;
    LightCamera camera("persp");
    out.scene().write(&camera);
    EXPECT_EQ(out.text(), "\ncamera \"persp\" {\n" + kEnvironment +
                              "position 0 0 0\n"
                              "direction 0 0 -1\n"
                              "up 0 1 0\n"
                              "fov 60\n"
                              "}\n");
}

TEST(CameraOutput, EveryOptionalRecordInItsPlace) {
    SceneOutput out;
    LightCamera camera("shot");
    camera.setPosition(1, 2, 3);
    camera.setDirection(0, -1, 0);
    camera.setLookAt(1, -5, 3);
    camera.setUp(0, 0, 1);
    camera.setClipping(0.5f, 1000);
    camera.setFov(45);
    camera.setTransform(kPlaced);
    out.scene().write(&camera);
    EXPECT_EQ(out.text(), "\ncamera \"shot\" {\n" + kEnvironment +
                              "position 1 2 3\n"
                              "direction 0 -1 0\n"
                              "look_at 1 -5 3\n"
                              "up 0 0 1\n"
                              "clipping 0.5 1000\n"
                              "fov 45\n"
                              "transform 0 0 -1 0 0 1 0 0 1 0 0 0 10 2.5 -4 1\n"
                              "}\n");
}

TEST(CameraOutput, TransformNodeReplacesTheMatrix) {
    SceneOutput out;
    LightCamera camera("anim");
    camera.setTransform(kPlaced);
    auto placement = std::make_shared<MarkerNode>("motion");
    camera.setTransformNode(placement);
    out.scene().write(&camera);
    EXPECT_EQ(out.text(), "\ncamera \"anim\" {\n" + kEnvironment +
                              "position 0 0 0\ndirection 0 0 -1\nup 0 1 0\nfov 60\n#print \"motion\"\n}\n");
}

struct ClipCase {
    float nearClip;
    float farClip;
    bool written;
};

class CameraClipping : public ::testing::TestWithParam<ClipCase> {};

TEST_P(CameraClipping, OnlyAPositiveIncreasingRangeIsWritten) {
    SceneOutput out;
    LightCamera camera("c");
    camera.setClipping(GetParam().nearClip, GetParam().farClip);
    out.scene().write(&camera);
    EXPECT_EQ(out.text().find("clipping") != std::string::npos, GetParam().written) << out.text();
}

INSTANTIATE_TEST_SUITE_P(Ranges, CameraClipping,
                         ::testing::Values(ClipCase{-1, -1, false}, ClipCase{0.1f, 0.1f, false},
                                           ClipCase{5, 1, false}, ClipCase{0, 10, false}, ClipCase{1, 0, false},
                                           ClipCase{-1, 10, false}, ClipCase{0.1f, 0.2f, true},
                                           ClipCase{1, 100000, true}));

TEST(CameraOutput, ReadableForm) {
    SceneOutput out(true);
    LightCamera camera("c");
    camera.setClipping(1, 10);
    out.scene().write(&camera);
    EXPECT_EQ(out.text(),
              "\ncamera \"c\" {\n"
              " reflection map   \"orb_envmap\" {\n"
              "   \"texture\" \"startup.hdr\",\n"
              "   \"format\" 3,\n"
              "   \"radius\" 25,\n"
              "  }\n"
              " position 0 0 0\n"
              " direction 0 0 -1\n"
              " up 0 1 0\n"
              " clipping 1 10\n"
              " fov 60\n"
              "}\n");
}

TEST(CameraOutput, EveryCameraCarriesTheSameEnvironment) {
    SceneOutput out;
    LightCamera a("a");
    LightCamera b("b");
    b.setFov(10);
    b.setPosition(5, 5, 5);
    out.scene().write(&a);
    out.scene().write(&b);
    const std::string text = out.text();
    const auto first = text.find(kEnvironment);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find(kEnvironment, first + 1), std::string::npos);
}

TEST(CameraData, SettersStoreSinglePrecisionValues) {
    LightCamera camera("c");
    camera.setPosition(0.1f, 0.2f, 0.3f);
    camera.setLookAt(0.7f, 0, 0);
    EXPECT_EQ(camera.position()[0], static_cast<double>(0.1f));
    EXPECT_NE(camera.position()[0], 0.1);
    EXPECT_EQ(camera.position()[2], static_cast<double>(0.3f));
    EXPECT_TRUE(camera.hasLookAt());
    EXPECT_EQ(camera.lookAt()[0], static_cast<double>(0.7f));
    camera.setTransform(kPlaced);
    EXPECT_TRUE(camera.hasTransform());
    EXPECT_EQ(camera.transform()[13], 2.5);
}

} // namespace
