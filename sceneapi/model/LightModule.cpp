#include "sceneapi/model/LightModule.h"

#include "sceneapi/orbScene_api.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <utility>

namespace orb {

LightModule::LightModule(std::string moduleName) : moduleName_(std::move(moduleName)) {}

void LightModule::write(orbSceneapi_oo& scene) {
    scene.api()->beginLoad(moduleName_.c_str());
    writeOptions(scene);
    scene.api()->endLoad();
}

void LightModule::writeInstanceSource(orbSceneapi_oo&) {}

bool LightModule::isInstance() const { return false; }

DefaultRTModule::DefaultRTModule() : LightModule("orbrtopt.so") {}

void DefaultRTModule::writeOptions(orbSceneapi_oo& scene) {
    scene.setBool("import_mode", importMode_);
    scene.setBool("import_merge_groups", mergeGroups_);
    scene.setBool("import_merge_objects", mergeObjects_);
    scene.setInt("import_up_vector", upVector_);
    scene.setFloat("meter_scale", meterScale_);
    scene.setBool("import_keep_original", keepOriginal_);
    scene.setBool("import_center_geometry", centerGeometry_);
    scene.setBool("import_snap_to_ground", snapToGround_);
    scene.setBool("import_adjust_camera", adjustCamera_);
    scene.setBool("import_adjust_environment", adjustEnvironment_);
    scene.setBool("ext", ext_);
}

} // namespace orb
