#pragma once

#include "sceneapi/model/LightGeometry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orb {

// Many curves rendered as thin tubes (hair, fibres): the points of all
// curves one after the other and a point count per curve. Unlike the other
// geometry it has no default material.
class BezierCurves final : public LightGeometry {
public:
    explicit BezierCurves(std::string name);
    ~BezierCurves() = default;

    void write(orbSceneapi_oo& scene) override;
    // A curve set is never shared as a definition.
    void writeInstanceSource(orbSceneapi_oo& scene) override;
    std::size_t memorySize() const override;

    void addPoint(float x, float y, float z);
    void addPointRadius(float radius);
    void addPointColor(float r, float g, float b);
    void addCurve(std::uint32_t pointCount);
    // Written only when above 0.
    void setOrder(std::int32_t order);
    void setRadius(float radius);
    void fitToCubicOn();
    void fitToCubicOff();

    std::int32_t order() const { return order_; }
    float radius() const { return radius_; }
    bool fitToCubic() const { return fitToCubic_; }
    const std::vector<float>& points() const { return points_; }
    const std::vector<float>& pointRadii() const { return pointRadii_; }
    const std::vector<int>& vertexCounts() const { return vertexCounts_; }
    const std::vector<float>& pointColors() const { return pointColors_; }

private:
    std::int32_t order_ = -1;
    float radius_ = 1.0f;
    bool fitToCubic_ = false;
    std::vector<float> points_;
    std::vector<float> pointRadii_;
    std::vector<int> vertexCounts_;
    std::vector<float> pointColors_;
};

} // namespace orb
