#include "sceneapi/model/BezierCurves.h"

#include "sceneapi/model/Material.h"
#include "sceneapi/orbScene_api.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <utility>

namespace orb {

BezierCurves::BezierCurves(std::string name) : LightGeometry(std::move(name)) {}

void BezierCurves::write(orbSceneapi_oo& scene) {
    orbScene_api* api = scene.api();
    api->beginObject(name().c_str(), true);
    api->beginGeometry("orb_curves");
    scene.setFloat("radius", radius_);
    if (order_ > 0)
        scene.setInt("order", order_);
    scene.setBool("fitToCubic", fitToCubic_);
    scene.setFloat3Array("p", points_);
    scene.setIntArray("nvertices", vertexCounts_);
    if (!pointRadii_.empty())
        scene.setFloatArray("pr", pointRadii_);
    if (!pointColors_.empty())
        scene.setFloat3Array("pcol", pointColors_);
    api->endGeometry();
    if (auto m = material())
        m->write(scene);
    api->endObject();
}

void BezierCurves::writeInstanceSource(orbSceneapi_oo&) {}

std::size_t BezierCurves::memorySize() const {
    return 4 * (points_.size() + pointRadii_.size() + pointColors_.size() + vertexCounts_.size());
}

void BezierCurves::addPoint(float x, float y, float z) { points_.insert(points_.end(), {x, y, z}); }
void BezierCurves::addPointRadius(float radius) { pointRadii_.push_back(radius); }
void BezierCurves::addPointColor(float r, float g, float b) { pointColors_.insert(pointColors_.end(), {r, g, b}); }
void BezierCurves::addCurve(std::uint32_t pointCount) { vertexCounts_.push_back(static_cast<int>(pointCount)); }
void BezierCurves::setOrder(std::int32_t order) { order_ = order; }
void BezierCurves::setRadius(float radius) { radius_ = radius; }
void BezierCurves::fitToCubicOn() { fitToCubic_ = true; }
void BezierCurves::fitToCubicOff() { fitToCubic_ = false; }

} // namespace orb
