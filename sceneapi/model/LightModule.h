#pragma once

#include "sceneapi/model/LightNode.h"

#include <string>

namespace orb {

// A node that makes the renderer load one of its modules and configures it.
class LightModule : public LightNode {
public:
    explicit LightModule(std::string moduleName);

    void write(orbSceneapi_oo& scene) override;
    void writeInstanceSource(orbSceneapi_oo& scene) override;
    bool isInstance() const override;
    virtual void writeOptions(orbSceneapi_oo& scene) = 0;

    const std::string& moduleName() const { return moduleName_; }

protected:
    LightModule(const LightModule&) = default;
    LightModule& operator=(const LightModule&) = default;
    ~LightModule() = default;

private:
    std::string moduleName_;
};

// The renderer's import module: how it merges, places and scales the scene.
class DefaultRTModule final : public LightModule {
public:
    DefaultRTModule();
    ~DefaultRTModule() = default;

    void writeOptions(orbSceneapi_oo& scene) override;

    void setImportMode(bool on) { importMode_ = on; }
    void setMergeGroups(bool on) { mergeGroups_ = on; }
    void setMergeObjects(bool on) { mergeObjects_ = on; }
    // Host up axis: 0 +X, 1 +Y, 2 +Z, 3 -X, 4 -Y, 5 -Z, -1 unknown.
    void setUpVector(int axis) { upVector_ = axis; }
    // Host scene units per meter.
    void setMeterScale(float scale) { meterScale_ = scale; }
    void setKeepOriginal(bool on) { keepOriginal_ = on; }
    void setCenterGeometry(bool on) { centerGeometry_ = on; }
    void setSnapToGround(bool on) { snapToGround_ = on; }
    void setAdjustCamera(bool on) { adjustCamera_ = on; }
    void setAdjustEnvironment(bool on) { adjustEnvironment_ = on; }
    void setExt(bool on) { ext_ = on; }

private:
    bool importMode_ = true;
    bool mergeGroups_ = true;
    bool mergeObjects_ = true;
    int upVector_ = 0;
    float meterScale_ = 1.0f;
    bool keepOriginal_ = false;
    bool centerGeometry_ = true;
    bool snapToGround_ = false;
    bool adjustCamera_ = true;
    bool adjustEnvironment_ = true;
    bool ext_ = true;
};

} // namespace orb
