#include "sceneapi/model/LightCamera.h"

#include "sceneapi/orbScene_api.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <algorithm>
#include <utility>

namespace orb {

LightCamera::LightCamera(std::string name) : name_(std::move(name)) {}

void LightCamera::write(orbSceneapi_oo& scene) {
    orbScene_api* api = scene.api();
    api->beginCamera(name_.c_str());
    const ShaderText* environment = writeEnvironment(scene);
    // A Text value is read through a pointer to the capture pointer.
    api->parameter("reflection map", ParamType::Text, &environment);
    scene.setDouble3("position", position_.data());
    scene.setDouble3("direction", direction_.data());
    if (hasLookAt_)
        scene.setDouble3("look_at", lookAt_.data());
    scene.setDouble3("up", up_.data());
    if (nearClip_ > 0.0f && farClip_ > 0.0f && farClip_ > nearClip_) {
        const float clipping[2] = {nearClip_, farClip_};
        api->parameter("clipping", ParamType::Float2, clipping);
    }
    scene.setFloat("fov", fov_);
    if (transformNode_)
        scene.write(transformNode_.get());
    else if (hasTransform_)
        scene.transform(transform_.data());
    api->endCamera();
}

const ShaderText* LightCamera::writeEnvironment(orbSceneapi_oo& scene) {
    orbScene_api* api = scene.api();
    api->beginShader(nullptr, "orb_envmap");
    scene.setString("texture", std::string("startup.hdr"));
    scene.setInt("format", 3);
    scene.setFloat("radius", 25.0f);
    const ShaderText* text = api->currentText();
    scene.endShader();
    return text;
}

void LightCamera::writeInstanceSource(orbSceneapi_oo&) {}

bool LightCamera::isInstance() const { return false; }

void LightCamera::setPosition(float x, float y, float z) { position_ = {x, y, z}; }
void LightCamera::setDirection(float x, float y, float z) { direction_ = {x, y, z}; }
void LightCamera::setUp(float x, float y, float z) { up_ = {x, y, z}; }

void LightCamera::setLookAt(float x, float y, float z) {
    lookAt_ = {x, y, z};
    hasLookAt_ = true;
}

void LightCamera::setFov(float degrees) { fov_ = degrees; }

void LightCamera::setClipping(float nearClip, float farClip) {
    nearClip_ = nearClip;
    farClip_ = farClip;
}

void LightCamera::setTransform(const double m[16]) {
    std::copy(m, m + 16, transform_.begin());
    hasTransform_ = true;
}

void LightCamera::setTransformNode(std::shared_ptr<LightNode> node) { transformNode_ = std::move(node); }

} // namespace orb
