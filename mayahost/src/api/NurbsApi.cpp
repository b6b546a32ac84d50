// MFnNurbsSurface, MFnNurbsCurve and the curve data objects of trim
// boundaries, over the evaluated surfaces of the scene database.

#include <maya/MFnNurbsCurve.h>
#include <maya/MFnNurbsSurface.h>

#include "api/ApiSupport.h"
#include "base/EvalBudget.h"
#include "common/Log.h"
#include "db/SceneBuilder.h"
#include "eval/CurveEval.h"
#include "eval/MeshEval.h"
#include "eval/SurfaceEval.h"
#include "nurbs/Tessellate.h"

using namespace mayahost;

MTesselationParams MTesselationParams::fsDefaultTesselationParams;

namespace {

void setStatus(MStatus* out, const MStatus& s) {
    if (out) *out = s;
}

MStatus noObject() { return MStatus::withReason(MStatus::kInvalidParameter, "function set has no object"); }

struct TessellationCount {
    long made = 0;
};

// A curve that is no node: a piece of a trim boundary.
class CurveDataObject : public ApiObject {
public:
    explicit CurveDataObject(std::shared_ptr<const NurbsCurve> curve) : curve_(std::move(curve)) {}
    MFn::Type apiType() const override { return MFn::kNurbsCurveData; }
    bool hasFn(MFn::Type type) const override {
        return type == MFn::kNurbsCurve || type == MFn::kData || type == MFn::kGeometryData || ApiObject::hasFn(type);
    }
    const NurbsCurve& curve() const { return *curve_; }

private:
    std::shared_ptr<const NurbsCurve> curve_;
};

// The evaluated surface behind a function set, with the status to report.
const TrimmedSurface* surfaceOf(const MObject& object, MStatus& status) {
    const Node* node = nodeOf(object);
    if (!node || !node->hasFn(MFn::kNurbsSurface)) {
        status = noObject();
        return nullptr;
    }
    const SurfaceEvaluation& evaluation = evaluateSurface(node->scene(), *node);
    if (!evaluation.error.empty()) {
        status = MStatus::withReason(MStatus::kFailure, evaluation.error);
        return nullptr;
    }
    status = MStatus::kSuccess;
    return evaluation.surface.get();
}

// The curve behind a function set: a trim boundary's piece or a curve shape.
const NurbsCurve* curveOf(const MObject& object, MStatus& status) {
    if (const auto* data = objectAs<CurveDataObject>(object)) {
        status = MStatus::kSuccess;
        return &data->curve();
    }
    const Node* node = nodeOf(object);
    if (!node || !node->hasFn(MFn::kNurbsCurve)) {
        status = noObject();
        return nullptr;
    }
    const CurveEvaluation& evaluation = evaluateCurve(node->scene(), *node);
    if (!evaluation.empty()) {
        status = MStatus::kSuccess;
        return evaluation.curve.get();
    }
    status = MStatus::withReason(MStatus::kFailure, evaluation.error);
    return nullptr;
}

MFnNurbsCurve::Form curveForm(NurbsForm form) { return MFnNurbsCurve::Form(int(form) + 1); }

void copyKnots(const std::vector<double>& knots, MDoubleArray& array) {
    array.setLength(static_cast<unsigned>(knots.size()));
    for (size_t i = 0; i < knots.size(); ++i) array[static_cast<unsigned>(i)] = knots[i];
}

void copyPoints(const std::vector<double>& cvs, const MMatrix* world, MPointArray& array) {
    array.setLength(static_cast<unsigned>(cvs.size() / 4));
    for (size_t i = 0; i + 3 < cvs.size(); i += 4) {
        MPoint p(cvs[i], cvs[i + 1], cvs[i + 2]);
        if (world) p = p * *world;
        p.w = cvs[i + 3];
        array[static_cast<unsigned>(i / 4)] = p;
    }
}

// A number read from the surface, or `fallback` with the failing status.
template <class F>
auto fromSurface(const MObject& object, MStatus* ReturnStatus, F read) {
    MStatus s;
    const TrimmedSurface* surface = surfaceOf(object, s);
    setStatus(ReturnStatus, s);
    return surface ? read(*surface) : decltype(read(*surface))();
}

template <class F>
auto fromCurve(const MObject& object, MStatus* ReturnStatus, F read) {
    MStatus s;
    const NurbsCurve* curve = curveOf(object, s);
    setStatus(ReturnStatus, s);
    return curve ? read(*curve) : decltype(read(*curve))();
}

}  // namespace

// ------------------------------------------------------------------ MFnNurbsSurface

MFnNurbsSurface::MFnNurbsSurface(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnNurbsSurface::MFnNurbsSurface(const MDagPath& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}

MStatus MFnNurbsSurface::getKnotDomain(double& startU, double& endU, double& startV, double& endV) const {
    MStatus s;
    const TrimmedSurface* t = surfaceOf(obj_, s);
    if (!t) return s;
    const NurbsSurface& n = t->surface;
    startU = n.uKnots[size_t(n.uDegree) - 1];
    endU = n.uKnots[n.uKnots.size() - size_t(n.uDegree)];
    startV = n.vKnots[size_t(n.vDegree) - 1];
    endV = n.vKnots[n.vKnots.size() - size_t(n.vDegree)];
    return s;
}

int MFnNurbsSurface::degreeU(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return t.surface.uDegree; });
}
int MFnNurbsSurface::degreeV(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return t.surface.vDegree; });
}
MFnNurbsSurface::Form MFnNurbsSurface::formInU(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return Form(curveForm(t.surface.uForm)); });
}
MFnNurbsSurface::Form MFnNurbsSurface::formInV(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return Form(curveForm(t.surface.vForm)); });
}
int MFnNurbsSurface::numCVsInU(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return int(t.surface.numU); });
}
int MFnNurbsSurface::numCVsInV(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return int(t.surface.numV); });
}
int MFnNurbsSurface::numSpansInU(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return int(t.surface.numU) - t.surface.uDegree; });
}
int MFnNurbsSurface::numSpansInV(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return int(t.surface.numV) - t.surface.vDegree; });
}
int MFnNurbsSurface::numKnotsInU(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return int(t.surface.uKnots.size()); });
}
int MFnNurbsSurface::numKnotsInV(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return int(t.surface.vKnots.size()); });
}

MStatus MFnNurbsSurface::getKnotsInU(MDoubleArray& array) const {
    MStatus s;
    if (const TrimmedSurface* t = surfaceOf(obj_, s)) copyKnots(t->surface.uKnots, array);
    return s;
}

MStatus MFnNurbsSurface::getKnotsInV(MDoubleArray& array) const {
    MStatus s;
    if (const TrimmedSurface* t = surfaceOf(obj_, s)) copyKnots(t->surface.vKnots, array);
    return s;
}

MStatus MFnNurbsSurface::getCVs(MPointArray& array, MSpace::Space space) const {
    MStatus s;
    const TrimmedSurface* t = surfaceOf(obj_, s);
    if (!t) return s;
    const MMatrix world = path_.inclusiveMatrix();
    copyPoints(t->surface.cvs, space == MSpace::kWorld ? &world : nullptr, array);
    return s;
}

bool MFnNurbsSurface::isTrimmedSurface(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return !t.regions.empty(); });
}

unsigned int MFnNurbsSurface::numRegions(MStatus* st) const {
    return fromSurface(obj_, st, [](const TrimmedSurface& t) { return unsigned(t.regions.size()); });
}

unsigned int MFnNurbsSurface::numBoundaries(unsigned int region, MStatus* st) const {
    return fromSurface(obj_, st, [region](const TrimmedSurface& t) {
        return region < t.regions.size() ? unsigned(t.regions[region].boundaries.size()) : 0u;
    });
}

MStatus MFnNurbsSurface::getTrimBoundaries(MTrimBoundaryArray& result, unsigned int region, bool paramEdges) const {
    result.clear();
    MStatus s;
    const TrimmedSurface* t = surfaceOf(obj_, s);
    if (!t) return s;
    if (!paramEdges) return MStatus::withReason(MStatus::kNotImplemented, "trim edges are kept in parameter space only");
    if (region >= t->regions.size())
        return MStatus::withReason(MStatus::kInvalidParameter, "region " + std::to_string(region) + " of " +
                                                                   std::to_string(t->regions.size()));
    for (const TrimBoundary& boundary : t->regions[region].boundaries) {
        MObjectArray curves;
        for (const NurbsCurve& curve : boundary.curves)
            curves.append(MObject(std::make_shared<CurveDataObject>(std::make_shared<NurbsCurve>(curve))));
        result.append(curves);
    }
    return s;
}

MObject MFnNurbsSurface::tesselate(const MTesselationParams& params, MObject parentOrOwner, MStatus* ReturnStatus) {
    MStatus s;
    const TrimmedSurface* surface = surfaceOf(obj_, s);
    if (!surface) {
        setStatus(ReturnStatus, s);
        return MObject();
    }
    TessellationParams p;
    p.format = TessellationParams::Format(params.formatType());
    p.polyType = TessellationParams::PolyType(params.outputType());
    Node& node = *nodeOf(obj_);
    Scene& scene = node.scene();
    TessellationResult result;
    {
        ScopedEvalBudget budget(scene.cached<EvalBudget>());
        result = tessellateSurface(*surface, p);
    }
    for (const std::string& warning : result.warnings)
        LOG(logWARNING) << scene.fileName() << ": surface " << node.name() << ": tessellation: " << warning;
    if (!result.error.empty()) {
        setStatus(ReturnStatus, MStatus::withReason(MStatus::kFailure, node.name() + ": " + result.error));
        return MObject();
    }
    // Maya names a new polygon object after the kind of thing it is, with
    // the next free number; counting on from the last one keeps a scene of
    // thousands of surfaces from searching every name taken before.
    Node* parent = nodeOf(parentOrOwner);
    SceneBuilder builder(scene, scene.fileName());
    const std::string number = std::to_string(++scene.cached<TessellationCount>().made);
    Node* transform = builder.create("transform", "polySurface" + number,
                                     parent && parent->hasFn(MFn::kTransform) ? parent : nullptr);
    Node* shape = builder.create("mesh", "polySurfaceShape" + number, transform);
    setEvaluatedMesh(scene, *shape, std::move(result.mesh));
    setStatus(ReturnStatus, MStatus::kSuccess);
    return scene.handle(*transform);
}

// ------------------------------------------------------------------ MFnNurbsCurve

MFnNurbsCurve::MFnNurbsCurve(const MObject& object, MStatus* ReturnStatus) { setStatus(ReturnStatus, setObject(object)); }
MFnNurbsCurve::MFnNurbsCurve(const MDagPath& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}

MStatus MFnNurbsCurve::getKnotDomain(double& start, double& end) const {
    MStatus s;
    const NurbsCurve* c = curveOf(obj_, s);
    if (!c) return s;
    start = c->knots[size_t(c->degree) - 1];
    end = c->knots[c->knots.size() - size_t(c->degree)];
    return s;
}

int MFnNurbsCurve::degree(MStatus* st) const {
    return fromCurve(obj_, st, [](const NurbsCurve& c) { return c.degree; });
}
MFnNurbsCurve::Form MFnNurbsCurve::form(MStatus* st) const {
    return fromCurve(obj_, st, [](const NurbsCurve& c) { return curveForm(c.form); });
}
int MFnNurbsCurve::numCVs(MStatus* st) const {
    return fromCurve(obj_, st, [](const NurbsCurve& c) { return int(c.numCVs()); });
}
int MFnNurbsCurve::numKnots(MStatus* st) const {
    return fromCurve(obj_, st, [](const NurbsCurve& c) { return int(c.knots.size()); });
}
int MFnNurbsCurve::numSpans(MStatus* st) const {
    return fromCurve(obj_, st, [](const NurbsCurve& c) { return int(c.numCVs()) - c.degree; });
}

MStatus MFnNurbsCurve::getCVs(MPointArray& array, MSpace::Space space) const {
    MStatus s;
    const NurbsCurve* c = curveOf(obj_, s);
    if (!c) return s;
    const MMatrix world = path_.inclusiveMatrix();
    copyPoints(c->cvs, space == MSpace::kWorld && nodeOf(obj_) ? &world : nullptr, array);
    return s;
}

MStatus MFnNurbsCurve::getKnots(MDoubleArray& array) const {
    MStatus s;
    if (const NurbsCurve* c = curveOf(obj_, s)) copyKnots(c->knots, array);
    return s;
}
