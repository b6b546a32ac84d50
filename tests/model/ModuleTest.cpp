#include "SceneOutput.h"

using namespace modeltest;

namespace {

TEST(ModuleOutput, DefaultsThenEverySettingInItsOwnKey) {
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
}

TEST(ModuleOutput, InsideAGroupItKeepsTheGroupsSettingsFormWithBareKeys) {
    SceneOutput out;
    DefaultRTModule module;
    out.api().beginGroup("g", true);
    out.scene().write(&module);
    out.api().endGroup();
    EXPECT_EQ(out.text(), "\ngroup \"g\" {\n" + moduleBlock("on on on 0 1 off on off on on on", true) + "}\n");
}

} // namespace
