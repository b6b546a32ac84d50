#pragma once

#include "sceneapi/model/LightNode.h"

#include <array>
#include <string>

namespace orb {

// A material writes one material block holding an anonymous surface shader.
// Once its named definition has been written, every further write is only a
// reference to it by name.
class Material : public LightNode {
public:
    explicit Material(std::string name);

    void write(orbSceneapi_oo& scene) override;
    void writeInstanceSource(orbSceneapi_oo& scene) override;
    bool isInstance() const override;
    virtual ~Material();
    // The surface shader inside the material block.
    virtual void writeParameters(orbSceneapi_oo& scene) = 0;

    std::string name() const;
    void setName(const std::string& name);
    std::string shaderClass() const;
    void setShaderClass(const std::string& shaderClass);

protected:
    Material(const Material&) = default;
    Material& operator=(const Material&) = default;

private:
    bool defined_ = false;
    std::string name_;
    std::string shaderClass_;
};

// A plain coloured material: the default of every geometry node.
class Diffuse : public Material {
public:
    explicit Diffuse(std::string name);

    void writeParameters(orbSceneapi_oo& scene) override;

    void setColor(float r, float g, float b);
    const std::array<float, 3>& color() const;

private:
    std::array<float, 3> color_{0.75f, 0.5f, 0.5f};
};

// The material built from a shaded surface of the host: a plain diffuse
// shader, or the advanced shader when specular colour, transparency or a
// texture is present.
class OldSCeneapiLightMultiMaterial : public Material {
public:
    explicit OldSCeneapiLightMultiMaterial(std::string name);

    void writeParameters(orbSceneapi_oo& scene) override;

    // Colours are clamped to [0, 1] per component.
    void setDiffuse(float r, float g, float b);
    void setSpecular(float r, float g, float b);
    // Stored as given; the floor is applied when written.
    void setAlpha(float alpha);
    void setTexture(std::string path);
    void setAngle(float degrees);
    void setShiftU(float shift);
    void setShiftV(float shift);

    const std::array<float, 3>& diffuse() const { return diffuse_; }
    const std::array<float, 3>& specular() const { return specular_; }
    float alpha() const { return alpha_; }
    bool hasSpecular() const { return hasSpecular_; }
    bool hasAlpha() const { return hasAlpha_; }
    const std::string& texture() const { return texture_; }
    float angle() const { return angle_; }
    float scaleU() const { return scaleU_; }
    float scaleV() const { return scaleV_; }
    int project() const { return project_; }
    float shiftU() const { return shiftU_; }
    float shiftV() const { return shiftV_; }

private:
    float angle_ = 0.0f;
    float scaleU_ = 1.0f;
    float scaleV_ = 1.0f;
    int project_ = 3;
    float shiftU_ = 0.0f;
    float shiftV_ = 0.0f;
    std::array<float, 3> diffuse_{0.0f, 0.0f, 0.0f};
    std::array<float, 3> specular_{0.0f, 0.0f, 0.0f};
    float alpha_ = 1.0f;
    bool hasSpecular_ = false;
    bool hasAlpha_ = false;
    std::string texture_;
};

} // namespace orb
