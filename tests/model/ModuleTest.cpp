#include "SceneOutput.h"

#include "sceneapi/model/LightModule.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using modeltest::SceneOutput;
using orb::DefaultRTModule;

namespace {

std::string moduleBlock(const std::string& upVector, const std::string& meterScale, const char* keepOriginal,
                        const char* centerGeometry, const char* adjustCamera) {
    return "load \"orbrtopt.so\" {\n"
           "\"import_mode\" on,\n"
           "\"import_merge_groups\" on,\n"
           "\"import_merge_objects\" on,\n"
           "\"import_up_vector\" " +
           upVector +
           ",\n"
           "\"meter_scale\" " +
           meterScale +
           ",\n"
           "\"import_keep_original\" " +
           keepOriginal +
           ",\n"
           "\"import_center_geometry\" " +
           centerGeometry +
           ",\n"
           "\"import_snap_to_ground\" off,\n"
           "\"import_adjust_camera\" " +
           adjustCamera +
           ",\n"
           "\"import_adjust_environment\" on,\n"
           "\"ext\" on,\n"
           "}\n";
}

TEST(ModuleOutput, AllDefaults) {
    SceneOutput out;
    DefaultRTModule module;
    EXPECT_EQ(module.moduleName(), "orbrtopt.so");
    EXPECT_FALSE(module.isInstance());
    out.scene().write(&module);
    EXPECT_EQ(out.text(), moduleBlock("0", "1", "off", "on", "on"));
}

TEST(ModuleOutput, TheDriverSettingsForACentimeterYUpScene) {
    SceneOutput out;
    DefaultRTModule module;
    module.setUpVector(1);
    module.setMeterScale(100);
    module.setAdjustCamera(false);
    module.setCenterGeometry(false);
    module.setSnapToGround(false);
    module.setKeepOriginal(true);
    out.scene().write(&module);
    EXPECT_EQ(out.text(), moduleBlock("1", "100", "on", "off", "off"));
}

TEST(ModuleOutput, EverySettingReachesItsOwnKey) {
    SceneOutput out;
    DefaultRTModule module;
    module.setImportMode(false);
    module.setMergeGroups(false);
    module.setMergeObjects(false);
    module.setSnapToGround(true);
    module.setAdjustEnvironment(false);
    module.setExt(false);
    out.scene().write(&module);
    EXPECT_EQ(out.text(),
              "load \"orbrtopt.so\" {\n"
              "\"import_mode\" off,\n"
              "\"import_merge_groups\" off,\n"
              "\"import_merge_objects\" off,\n"
              "\"import_up_vector\" 0,\n"
              "\"meter_scale\" 1,\n"
              "\"import_keep_original\" off,\n"
              "\"import_center_geometry\" on,\n"
              "\"import_snap_to_ground\" on,\n"
              "\"import_adjust_camera\" on,\n"
              "\"import_adjust_environment\" off,\n"
              "\"ext\" off,\n"
              "}\n");
}

struct ScaleCase {
    float scale;
    int up;
    const char* scaleText;
    const char* upText;
};

class ModuleValues : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ModuleValues, AreWrittenInTheirNumberForms) {
    SceneOutput out;
    DefaultRTModule module;
    module.setMeterScale(GetParam().scale);
    module.setUpVector(GetParam().up);
    out.scene().write(&module);
    EXPECT_EQ(out.text(), moduleBlock(GetParam().upText, GetParam().scaleText, "off", "on", "on"));
}

INSTANTIATE_TEST_SUITE_P(Units, ModuleValues,
                         ::testing::Values(ScaleCase{39.3700787402f, 2, "39.3701", "2"},
                                           ScaleCase{100.0f, -1, "100", "-1"}, ScaleCase{0.01f, 5, "0.01", "5"},
                                           ScaleCase{std::numeric_limits<float>::infinity(), 1, "-1", "1"},
                                           ScaleCase{std::numeric_limits<float>::quiet_NaN(), 1, "-1", "1"}));

TEST(ModuleOutput, ReadableFormInsideAGroup) {
    SceneOutput out(true);
    DefaultRTModule module;
    out.api().beginGroup("g", true);
    // A module inside a group keeps the group's settings mode: bare keys.
    out.scene().write(&module);
    out.api().endGroup();
    EXPECT_EQ(out.text(),
              "\ngroup \"g\" {\n"
              " load \"orbrtopt.so\" {\n"
              "  import_mode on\n"
              "  import_merge_groups on\n"
              "  import_merge_objects on\n"
              "  import_up_vector 0\n"
              "  meter_scale 1\n"
              "  import_keep_original off\n"
              "  import_center_geometry on\n"
              "  import_snap_to_ground off\n"
              "  import_adjust_camera on\n"
              "  import_adjust_environment on\n"
              "  ext on\n"
              " }\n"
              "}\n");
}

TEST(ModuleOutput, ReadableFormAtTheTop) {
    SceneOutput out(true);
    DefaultRTModule module;
    module.setMeterScale(2.54f);
    out.scene().write(&module);
    EXPECT_EQ(out.text(),
              "load \"orbrtopt.so\" {\n"
              " \"import_mode\" on,\n"
              " \"import_merge_groups\" on,\n"
              " \"import_merge_objects\" on,\n"
              " \"import_up_vector\" 0,\n"
              " \"meter_scale\" 2.54,\n"
              " \"import_keep_original\" off,\n"
              " \"import_center_geometry\" on,\n"
              " \"import_snap_to_ground\" off,\n"
              " \"import_adjust_camera\" on,\n"
              " \"import_adjust_environment\" on,\n"
              " \"ext\" on,\n"
              "}\n");
}

} // namespace
