#include "sceneapi/model/Material.h"

#include "sceneapi/orbScene_api.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <algorithm>
#include <utility>

namespace orb {

Material::Material(std::string name) : name_(std::move(name)) {}

Material::~Material() = default;

void Material::write(orbSceneapi_oo& scene) {
    orbScene_api* api = scene.api();
    if (isInstance()) {
        api->material(name_.c_str());
        return;
    }
    api->beginMaterial(name_.c_str(), true);
    writeParameters(scene);
    api->endMaterial();
}

void Material::writeInstanceSource(orbSceneapi_oo& scene) {
    orbScene_api* api = scene.api();
    api->beginMaterial(name_.c_str(), false);
    writeParameters(scene);
    api->endMaterial();
    defined_ = true;
}

bool Material::isInstance() const { return defined_; }

std::string Material::name() const { return name_; }

void Material::setName(const std::string& name) {
    if (&name != &name_)
        name_ = name;
}

std::string Material::shaderClass() const { return shaderClass_; }

void Material::setShaderClass(const std::string& shaderClass) {
    if (&shaderClass != &shaderClass_)
        shaderClass_ = shaderClass;
}

// ---------------------------------------------------------------------------

Diffuse::Diffuse(std::string name) : Material(std::move(name)) { setShaderClass("orb_diffuse"); }

void Diffuse::writeParameters(orbSceneapi_oo& scene) {
    orbScene_api* api = scene.api();
    api->beginShader(nullptr, shaderClass().c_str());
    api->parameter("diffuse", ParamType::Float3, color_.data());
    ShaderText* text = api->currentText();
    scene.endShader();
    api->shaderBlock(ShaderKind::Surface, text);
}

void Diffuse::setColor(float r, float g, float b) { color_ = {r, g, b}; }

const std::array<float, 3>& Diffuse::color() const { return color_; }

// ---------------------------------------------------------------------------

namespace {

float clampUnit(float v) { return std::clamp(v, 0.0f, 1.0f); }

// Fully transparent surfaces would vanish from the render; keep a trace.
constexpr double kAlphaFloor = 0.1;

} // namespace

OldSCeneapiLightMultiMaterial::OldSCeneapiLightMultiMaterial(std::string name)
    : Material(std::move(name)) {
    setShaderClass("orb_advanced");
}

void OldSCeneapiLightMultiMaterial::setDiffuse(float r, float g, float b) {
    diffuse_ = {clampUnit(r), clampUnit(g), clampUnit(b)};
}

void OldSCeneapiLightMultiMaterial::setSpecular(float r, float g, float b) {
    specular_ = {clampUnit(r), clampUnit(g), clampUnit(b)};
    hasSpecular_ = true;
}

void OldSCeneapiLightMultiMaterial::setAlpha(float alpha) {
    alpha_ = alpha;
    hasAlpha_ = true;
}

void OldSCeneapiLightMultiMaterial::setTexture(std::string path) { texture_ = std::move(path); }
void OldSCeneapiLightMultiMaterial::setAngle(float degrees) { angle_ = degrees; }
void OldSCeneapiLightMultiMaterial::setShiftU(float shift) { shiftU_ = shift; }
void OldSCeneapiLightMultiMaterial::setShiftV(float shift) { shiftV_ = shift; }

void OldSCeneapiLightMultiMaterial::writeParameters(orbSceneapi_oo& scene) {
    orbScene_api* api = scene.api();

    const ShaderText* textureText = nullptr;
    if (!texture_.empty()) {
        api->beginShader(nullptr, "texture_rgb");
        scene.setInt("project", project_);
        scene.setBool("wrap", true);
        scene.setString("texture", texture_);
        api->parameter("default_color", ParamType::Float3, diffuse_.data());
        scene.setFloat("angle", angle_);
        scene.setFloat("shift_u", shiftU_);
        scene.setFloat("shift_v", shiftV_);
        scene.setFloat("scale_u", scaleU_);
        scene.setFloat("scale_v", scaleV_);
        scene.endShader();
        textureText = api->currentText();
    }

    const bool hasTexture = !texture_.empty();
    if (!hasSpecular_ && !hasAlpha_ && !hasTexture) {
        api->beginShader(nullptr, "orb_diffuse");
        api->parameter("diffuse", ParamType::Float3, diffuse_.data());
    } else {
        api->beginShader(nullptr, shaderClass().c_str());
        api->parameter("diffuse", ParamType::Float3, diffuse_.data());
        api->parameter("specular", ParamType::Float3, specular_.data());
        scene.setBool("fresnel", true);
        scene.setFloat("roughness", 0.0f);
        scene.setFloat("ior", 1.5f);
        scene.setBool("glossy", true);
        scene.setInt("glossy_samples", 9);
        double alpha = alpha_;
        if (alpha < kAlphaFloor)
            alpha = kAlphaFloor;
        scene.setFloat("alpha", static_cast<float>(alpha));
        if (textureText != nullptr)
            api->parameterShader("diffuse", textureText);
    }

    ShaderText* text = api->currentText();
    scene.endShader();
    api->shaderBlock(ShaderKind::Surface, text);
}

} // namespace orb
