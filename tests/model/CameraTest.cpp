#include "SceneOutput.h"

using namespace modeltest;

namespace {

const std::string kEnvironment =
    "reflection map \"orb_envmap\" {\n"
    "\"texture\" \"startup.hdr\",\n"
    "\"format\" 3,\n"
    "\"radius\" 25,\n"
    "}\n";

constexpr double kPlaced[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 10, 2.5, -4, 1};

TEST(CameraOutput, MandatoryRecordsThenEveryOptionalOneInItsPlaceAndATransformNodeForTheMatrix) {
    SceneOutput out;
    LightCamera initial("persp");
    LightCamera shot("shot");
    shot.setPosition(1, 2, 3);
    shot.setDirection(0, -1, 0);
    shot.setLookAt(1, -5, 3);
    shot.setUp(0, 0, 1);
    shot.setClipping(0.5f, 1000);
    shot.setFov(45);
    shot.setTransform(kPlaced);
    // A transform node replaces the matrix.
    LightCamera anim("anim");
    anim.setTransform(kPlaced);
    anim.setTransformNode(std::make_shared<MarkerNode>("motion"));
    // Each camera carries its own copy of the environment.
    out.scene().write(&initial);
    out.scene().write(&shot);
    out.scene().write(&anim);
    EXPECT_EQ(out.text(), "\ncamera \"persp\" {\n" + kEnvironment +
                              "position 0 0 0\n"
                              "direction 0 0 -1\n"
                              "up 0 1 0\n"
                              "fov 60\n"
                              "}\n"
                              "\ncamera \"shot\" {\n" +
                              kEnvironment +
                              "position 1 2 3\n"
                              "direction 0 -1 0\n"
                              "look_at 1 -5 3\n"
                              "up 0 0 1\n"
                              "clipping 0.5 1000\n"
                              "fov 45\n"
                              "transform 0 0 -1 0 0 1 0 0 1 0 0 0 10 2.5 -4 1\n"
                              "}\n"
                              "\ncamera \"anim\" {\n" + kEnvironment +
                              "position 0 0 0\ndirection 0 0 -1\nup 0 1 0\nfov 60\n#print \"motion\"\n}\n");
}

TEST(CameraOutput, OnlyAPositiveIncreasingClippingRangeIsWritten) {
    const struct {
        float nearClip, farClip;
        bool written;
    } cases[] = {{-1, -1, false}, {0.1f, 0.1f, false}, {5, 1, false},      {0, 10, false},
                 {1, 0, false},   {-1, 10, false},     {0.1f, 0.2f, true}, {1, 100000, true}};
    for (const auto& c : cases) {
        LightCamera camera("c");
        camera.setClipping(c.nearClip, c.farClip);
        EXPECT_EQ(written(camera).find("clipping") != std::string::npos, c.written) << c.nearClip << " " << c.farClip;
    }
}

TEST(ModuleOutput, DefaultsThenEverySettingInItsOwnKeyAndBareKeysInsideAGroup) {
    DefaultRTModule module;
    EXPECT_FALSE(module.isInstance());
    EXPECT_EQ(written(module), moduleBlock("on on on 0 1 off on off on on on"));
    module.setImportMode(false);
    module.setMergeGroups(false);
    module.setMergeObjects(false);
    module.setUpVector(5);
    module.setMeterScale(39.3700787402f);
    module.setKeepOriginal(true);
    module.setCenterGeometry(false);
    module.setSnapToGround(true);
    module.setAdjustCamera(false);
    module.setAdjustEnvironment(false);
    module.setExt(false);
    EXPECT_EQ(written(module), moduleBlock("off off off 5 39.3701 on off on off off off"));
    // Inside a group it keeps the group's settings form, with bare keys.
    SceneOutput out;
    DefaultRTModule plain;
    out.api().beginGroup("g", true);
    out.scene().write(&plain);
    out.api().endGroup();
    EXPECT_EQ(out.text(), "\ngroup \"g\" {\n" + moduleBlock("on on on 0 1 off on off on on on", true) + "}\n");
}

} // namespace
