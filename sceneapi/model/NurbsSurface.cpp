#include "sceneapi/model/NurbsSurface.h"

#include "sceneapi/model/Material.h"
#include "sceneapi/model/NurbsCurve.h"
#include "sceneapi/orbScene_api.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <utility>

namespace orb {

namespace {

// Flag of the group that holds a surface and its alternative.
constexpr unsigned kSurfaceGroupFlags = 0x10000;

template <typename T>
void release(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

} // namespace

void extendKnotRun(std::vector<double>& knots, std::size_t start) {
    if (start > knots.size() || knots.size() - start < 3)
        return;
    const std::size_t n = knots.size();
    const double last = 2.0 * knots[n - 1] - knots[n - 2];
    knots[start] = 2.0 * knots[start + 1] - knots[start + 2];
    knots.push_back(last);
}

NurbsSurface::NurbsSurface(std::string name) : LightGeometry(std::move(name)) {
    setMaterial(std::make_shared<Diffuse>("default"));
}

void NurbsSurface::setRange(double umin, double umax, double vmin, double vmax) {
    umin_ = umin;
    umax_ = umax;
    vmin_ = vmin;
    vmax_ = vmax;
}

void NurbsSurface::setOrder(double uorder, double vorder) {
    uorder_ = uorder;
    vorder_ = vorder;
}

void NurbsSurface::addUKnot(double knot) { uKnots_.push_back(knot); }
void NurbsSurface::addVKnot(double knot) { vKnots_.push_back(knot); }

void NurbsSurface::prependKnotPlaceholders() {
    vKnots_.insert(vKnots_.begin(), kKnotPlaceholder);
    uKnots_.insert(uKnots_.begin(), kKnotPlaceholder);
}

void NurbsSurface::extendKnots() {
    extendKnotRun(uKnots_, 0);
    extendKnotRun(vKnots_, 0);
}

void NurbsSurface::addControlPoint(double xw, double yw, double zw, double w) {
    controlPoints_.insert(controlPoints_.end(), {xw, yw, zw, w});
}

void NurbsSurface::setTrimCurves(std::shared_ptr<NurbsCurve> curves) { trimCurves_ = std::move(curves); }
std::shared_ptr<NurbsCurve> NurbsSurface::trimCurves() const { return trimCurves_; }

void NurbsSurface::setAlternative(std::shared_ptr<LightGeometry> alternative) {
    alternative_ = std::move(alternative);
    if (alternative_)
        alternative_->setName(name());
}

std::shared_ptr<LightGeometry> NurbsSurface::alternative() const { return alternative_; }
bool NurbsSurface::hasAlternative() const { return alternative_ != nullptr; }

void NurbsSurface::clearData() {
    release(uKnots_);
    release(vKnots_);
    release(controlPoints_);
}

std::size_t NurbsSurface::memorySize() const {
    std::size_t bytes = 8 * (uKnots_.size() + vKnots_.size() + controlPoints_.size());
    if (trimCurves_)
        bytes += trimCurves_->memorySize();
    return bytes;
}

void NurbsSurface::writeGeometry(orbSceneapi_oo& scene) {
    orbScene_api* api = scene.api();
    if (isInstance()) {
        api->beginGeometry("instance");
        scene.setInt("id", static_cast<int>(instanceId()));
        api->endGeometry();
        return;
    }
    api->beginGeometry("nurbs");
    scene.setDouble("umin", umin_);
    scene.setDouble("umax", umax_);
    scene.setDouble("vmin", vmin_);
    scene.setDouble("vmax", vmax_);
    scene.setDouble("uorder", uorder_);
    scene.setDouble("vorder", vorder_);
    scene.setDoubleArray("uknot", uKnots_);
    scene.setDoubleArray("vknot", vKnots_);
    scene.setDoubleArray("Pw", controlPoints_);
    if (trimCurves_)
        scene.write(trimCurves_.get());
    api->endGeometry();
}

void NurbsSurface::write(orbSceneapi_oo& scene) {
    const std::string surfaceName = name();
    scene.beginGroup(surfaceName);
    scene.flags(kSurfaceGroupFlags);
    if (alternative_) {
        alternative_->setMaterial(material());
        alternative_->write(scene);
    }
    scene.api()->beginObject(surfaceName.c_str(), true);
    writeGeometry(scene);
    if (auto m = material())
        m->write(scene);
    scene.api()->endObject();
    scene.endGroup();
}

void NurbsSurface::writeInstanceSource(orbSceneapi_oo& scene) {
    scene.api()->beginObject(name().c_str(), false);
    const int id = scene.newId();
    writeGeometry(scene);
    scene.api()->endObject();
    if (alternative_)
        alternative_->writeInstanceSource(scene);
    clearData();
    if (trimCurves_)
        trimCurves_->clearData();
    setInstanceId(static_cast<std::uint64_t>(id));
}

// ---------------------------------------------------------------------------

void NurbsCurve::write(orbSceneapi_oo& scene) {
    scene.setIntArray("trim_nedges", loopEdgeCounts);
    scene.setIntArray("trim_inside", loopInsideFlags);
    scene.setIntArray("edge_order", edgeOrders);
    scene.setIntArray("edge_nknots", edgeKnotCounts);
    scene.setDoubleArray("edge_min", edgeMinima);
    scene.setDoubleArray("edge_max", edgeMaxima);
    scene.setDoubleArray("edge_knot", edgeKnots);
    scene.setDoubleArray("edge_uvw", edgePoints);
}

void NurbsCurve::writeInstanceSource(orbSceneapi_oo&) {}

bool NurbsCurve::isInstance() const { return false; }

void NurbsCurve::addPoint(double uw, double vw, double w) { edgePoints.insert(edgePoints.end(), {uw, vw, w}); }

void NurbsCurve::addKnot(double knot) { edgeKnots.push_back(knot); }

void NurbsCurve::clearData() {
    release(loopEdgeCounts);
    release(loopInsideFlags);
    release(edgeOrders);
    release(edgeKnotCounts);
    release(edgeKnots);
    release(edgeMinima);
    release(edgeMaxima);
    release(edgePoints);
}

std::size_t NurbsCurve::memorySize() const {
    return 4 * (loopEdgeCounts.size() + loopInsideFlags.size() + edgeOrders.size() + edgeKnotCounts.size()) +
           8 * (edgeKnots.size() + edgeMinima.size() + edgeMaxima.size() + edgePoints.size());
}

} // namespace orb
