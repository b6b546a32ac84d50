#pragma once

#include "sceneapi/Matrix4d.h"
#include "sceneapi/model/LightNode.h"

#include <array>
#include <memory>
#include <string>

class ShaderText;

namespace orb {

// A named viewpoint with its placement. Every camera block carries the same
// environment shader as its reflection map.
class LightCamera final : public LightNode {
public:
    using Vec3 = std::array<double, 3>;

    explicit LightCamera(std::string name);
    LightCamera(const LightCamera&) = default;
    LightCamera& operator=(const LightCamera&) = default;
    ~LightCamera() = default;

    void write(orbSceneapi_oo& scene) override;
    void writeInstanceSource(orbSceneapi_oo& scene) override;
    bool isInstance() const override;
    // Captures the environment shader and returns its text.
    virtual const ShaderText* writeEnvironment(orbSceneapi_oo& scene);

    void setPosition(float x, float y, float z);
    void setDirection(float x, float y, float z);
    void setUp(float x, float y, float z);
    void setLookAt(float x, float y, float z);
    void setFov(float degrees);
    void setClipping(float nearClip, float farClip);
    void setTransform(const double m[16]);
    void setTransform(const Matrix4d& m) { setTransform(m.data()); }
    void setTransformNode(std::shared_ptr<LightNode> node);

    const std::string& name() const { return name_; }
    const Vec3& position() const { return position_; }
    const Vec3& direction() const { return direction_; }
    const Vec3& lookAt() const { return lookAt_; }
    const Vec3& up() const { return up_; }
    float fov() const { return fov_; }
    float nearClip() const { return nearClip_; }
    float farClip() const { return farClip_; }
    bool hasTransform() const { return hasTransform_; }
    bool hasLookAt() const { return hasLookAt_; }
    const Matrix4d& transform() const { return transform_; }
    std::shared_ptr<LightNode> transformNode() const { return transformNode_; }

private:
    std::string name_;
    Vec3 position_{0.0, 0.0, 0.0};
    Vec3 direction_{0.0, 0.0, -1.0};
    Vec3 lookAt_{0.0, 0.0, -1.0};
    Vec3 up_{0.0, 1.0, 0.0};
    float fov_ = 60.0f;
    float nearClip_ = -1.0f;
    float farClip_ = -1.0f;
    std::shared_ptr<LightNode> transformNode_;
    bool hasTransform_ = false;
    bool hasLookAt_ = false;
    Matrix4d transform_{};
};

} // namespace orb
