#include "eval/SurfaceEval.h"

#include "base/Limits.h"
#include "eval/AttributeReader.h"
#include "eval/CurveEval.h"
#include "eval/HistoryDeformers.h"
#include "eval/TransformEval.h"
#include "nurbs/Attach.h"
#include "nurbs/Extrude.h"
#include "nurbs/Loft.h"
#include "nurbs/NurbsCreators.h"
#include "nurbs/PlanarTrim.h"
#include "nurbs/Rebuild.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace mayahost {

bool curveFromData(const scenefile::NurbsCurveData& d, NurbsCurve& c, std::string& why) {
    c = NurbsCurve{};
    if (d.dimension < 2 || d.dimension > 3 || d.cvs.size() % size_t(d.cvStride()) != 0) {
        why = "control point values do not fit the curve's dimension";
        return false;
    }
    c.degree = d.degree;
    c.form = NurbsForm(std::clamp(d.form, 0, 2));
    c.dimension = d.dimension;
    c.knots = d.knots;
    const size_t stride = size_t(d.cvStride()), dim = size_t(d.dimension);
    c.cvs.resize(4 * d.cvCount());
    for (size_t i = 0; i < d.cvCount(); ++i) {
        const double* in = &d.cvs[i * stride];
        double* out = &c.cvs[4 * i];
        out[0] = in[0];
        out[1] = in[1];
        out[2] = dim == 3 ? in[2] : 0.0;
        out[3] = d.rational ? in[dim] : 1.0;
    }
    why = nurbsCurveProblem(c);
    return why.empty();
}

bool surfaceFromData(const scenefile::NurbsSurfaceData& d, NurbsSurface& s, std::string& why) {
    s = NurbsSurface{};
    if (d.uDegree < 1 || d.vDegree < 1 || d.uKnots.size() + 1 <= size_t(d.uDegree) ||
        d.vKnots.size() + 1 <= size_t(d.vDegree)) {
        why = "degrees " + std::to_string(d.uDegree) + " x " + std::to_string(d.vDegree) + " with " +
              std::to_string(d.uKnots.size()) + " x " + std::to_string(d.vKnots.size()) + " knots";
        return false;
    }
    s.uDegree = d.uDegree;
    s.vDegree = d.vDegree;
    s.uForm = NurbsForm(std::clamp(d.uForm, 0, 2));
    s.vForm = NurbsForm(std::clamp(d.vForm, 0, 2));
    s.uKnots = d.uKnots;
    s.vKnots = d.vKnots;
    s.numU = d.uKnots.size() + 1 - size_t(d.uDegree);
    s.numV = d.vKnots.size() + 1 - size_t(d.vDegree);
    const size_t stride = size_t(d.cvStride()), count = d.cvCount();
    if (d.cvs.size() % stride != 0 || count % s.numU != 0 || count / s.numU != s.numV) {
        why = std::to_string(count) + " control points for a " + std::to_string(s.numU) + " x " +
              std::to_string(s.numV) + " grid";
        return false;
    }
    s.cvs.resize(4 * count);
    for (size_t i = 0; i < count; ++i) {
        const double* in = &d.cvs[i * stride];
        double* out = &s.cvs[4 * i];
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = d.rational ? in[3] : 1.0;
    }
    why = nurbsSurfaceProblem(s);
    return why.empty();
}

bool storedCurve(const Node& node, NurbsCurve& curve, std::string& why) {
    const scenefile::Value* value = node.data("cc");
    const auto* data = value ? std::get_if<scenefile::NurbsCurveData>(value) : nullptr;
    if (!data) {
        why = node.name() + " holds no curve data";
        return false;
    }
    if (curveFromData(*data, curve, why)) return true;
    why = node.name() + ": " + why;
    return false;
}

bool trimRegionFromData(const scenefile::NurbsTrimface& data, TrimRegion& out, std::string& why) {
    out = TrimRegion{};
    scenefile::TrimfaceData face;
    if (!decodeTrimface(data, face)) {
        why = "its numbers do not follow the trim face layout";
        return false;
    }
    // Maya marks the outer boundary with type 0; it leads the region.
    std::stable_partition(face.boundaries.begin(), face.boundaries.end(),
                          [](const scenefile::TrimBoundary& b) { return b.type == 0; });
    for (size_t b = 0; b < face.boundaries.size(); ++b) {
        TrimBoundary boundary;
        for (const scenefile::TrimEdge& edge : face.boundaries[b].edges)
            for (const scenefile::NurbsCurveData& data : edge.paramCurves) {
                NurbsCurve curve;
                if (!curveFromData(data, curve, why)) {
                    why = "boundary " + std::to_string(b) + ": " + why;
                    return false;
                }
                boundary.curves.push_back(std::move(curve));
            }
        if (!boundary.curves.empty()) out.boundaries.push_back(std::move(boundary));
    }
    return true;
}

namespace {

// Which of a creator's outputs a plug is: "os" 0, "os1" .. "os5" 1 .. 5.
int creatorOutput(const PlugPath& plug) {
    const AttrSpec* attr = plug.attr();
    if (!attr) return 0;
    for (const std::string* name : {&attr->shortName, &attr->longName})
        for (const char* prefix : {"outputSurface", "os"})
            if (name->rfind(prefix, 0) == 0) {
                const std::string digits = name->substr(std::string(prefix).size());
                if (digits.size() == 1 && digits[0] >= '1' && digits[0] <= '9') return digits[0] - '0';
                if (digits.empty()) return 0;
            }
    return 0;
}

// A double3 the node sets, else `fallback`.
NurbsVector vectorAt(const AttributeReader& r, const char* plug, NurbsVector fallback) {
    const std::optional<std::vector<double>> v = r.tuple(plug, 3);
    return v && v->size() == 3 ? NurbsVector{(*v)[0], (*v)[1], (*v)[2]} : fallback;
}

class SurfaceWalker {
public:
    SurfaceWalker(const Scene& scene, SurfaceEvaluation& result) : scene_(scene), result_(result) {}

    bool shape(const Node& node, int depth, TrimmedSurface& out) {
        // The shape itself counts as met: a history that leads back to it is a cycle.
        visited_.insert(&node);
        PlugPath create;
        PlugRef source;
        if (scene_.resolvePlug(node, "cr", create)) source = scene_.sourceOf(node, create);
        if (source) {
            if (fromSource(source, depth + 1, out)) {
                NurbsSurface& s = out.surface;
                size_t beyond = 0;
                addControlPointTweaks(node, s.cvs, s.numU, s.vForm == NurbsForm::Periodic ? size_t(s.vDegree) : 0, beyond);
                if (beyond) result_.warnings.push_back(node.name() + ": tweaks beyond the surface's control points ignored");
                return true;
            }
            if (result_.warnings.empty() && result_.error.empty())
                result_.warnings.push_back(describedNode(*source.node) +
                                           " not evaluated: it has no input surface to pass on");
            if (!node.data("cc")) return false;
            result_.error.clear();
            result_.warnings.push_back("history of " + node.name() + " not evaluated: using its stored data");
        }
        return stored(node, out);
    }

    bool fromSource(const PlugRef& source, int depth, TrimmedSurface& out) {
        const Node& node = *source.node;
        if (depth > limits().maxHistoryDepth) {
            result_.warnings.push_back(historyTooDeep(node));
            return false;
        }
        if (!visited_.insert(&node).second) return false;
        if (node.hasFn(MFn::kNurbsSurface)) return shape(node, depth, out);
        const std::string& type = node.typeName();
        if (isNurbsCreatorType(type)) {
            std::string error = makeNurbsCreatorSurface(type, CreatorAttributes(scene_, node),
                                                        creatorOutput(source.path), out.surface);
            if (error.empty()) return true;
            result_.error = node.name() + ": " + error;
            return false;
        }
        const AttributeReader r(scene_, node);
        if (type == "loft") return loft(r, out);
        if (type == "revolve") return revolve(r, out);
        if (type == "planarTrimSurface") return planar(r, out);
        if (type == "extrude") return extrude(r, out);
        if (type == "attachSurface") return attach(r, depth, out);
        if (type == "rebuildSurface" && rebuildTypeBuilt(int(r.number("rt", 0)))) return rebuild(r, depth, out);
        const int64_t geometry = source.path.steps.empty() ? 0 : std::max<int64_t>(source.path.steps.back().index, 0);
        if (type == "transformGeometry") {
            if (!input(node, "ig", depth, out)) return false;
            if (std::optional<MMatrix> m = r.matrix("txf"))
                transformControlPoints(out.surface.cvs, r.number("itf", 0) != 0 ? m->inverse() : *m);
            return true;
        }
        if (isControlPointDeformer(node)) {
            if (!input(node, indexed("ip", geometry) + ".ig", depth, out)) return false;
            deform(r, geometry, depth, out.surface);
            return true;
        }
        if (type == "groupParts") return input(node, "ig", depth, out);
        // Left at rest: the surface arriving on its geometry input, if it has one.
        bool passed = false;
        if (node.hasFn(MFn::kGeometryFilt))
            passed = input(node, indexed("ip", geometry) + ".ig", depth, out);
        else
            for (const char* plug : {"is", "ig", "inputSurface"})
                if ((passed = input(node, plug, depth, out))) break;
        if (passed) result_.warnings.push_back(describedNode(node) + " not evaluated: its input surface is used");
        return passed;
    }

private:
    // The curves on the node's `ic` multi, in index order; false (the surface
    // empty, the error set) when one of them cannot be had.
    bool inputCurves(const AttributeReader& r, std::vector<NurbsCurve>& curves, std::vector<int64_t>& indices) {
        for (int64_t i : r.indices("ic")) {
            NurbsCurve curve;
            std::string error;
            if (!curveFromPlug(scene_, r.source(indexed("ic", i)), curve, result_.warnings, error)) {
                result_.error = r.node().name() + ": curve " + std::to_string(i) + ": " + error;
                return false;
            }
            curves.push_back(std::move(curve));
            indices.push_back(i);
        }
        return true;
    }

    // True when a builder said nothing went wrong; else its reason is the surface's error.
    bool built(const AttributeReader& r, const std::string& error) {
        if (error.empty()) return true;
        result_.error = r.node().name() + ": " + error;
        return false;
    }

    bool loft(const AttributeReader& r, TrimmedSurface& out) {
        LoftParams p;
        p.uniform = r.number("u", 0) != 0;
        p.close = r.number("c", 0) != 0;
        p.degree = int(r.number("d", 3));
        p.autoReverse = r.number("ar", 1) != 0;
        p.sectionSpans = int(std::clamp(r.number("ss", 1), 1.0, 1000.0));
        p.reverseSurfaceNormals = r.number("rsn", 0) != 0;
        std::vector<NurbsCurve> sections;
        std::vector<int64_t> indices;
        if (!inputCurves(r, sections, indices)) return false;
        for (int64_t i : indices) p.reverse.push_back(r.number(indexed("r", i), 0) != 0);
        std::string approximate;
        const std::string error = loftSurface(std::move(sections), p, out.surface, &approximate);
        if (!approximate.empty()) result_.warnings.push_back(r.node().name() + ": " + approximate);
        return built(r, error);
    }

    bool planar(const AttributeReader& r, TrimmedSurface& out) {
        std::vector<NurbsCurve> curves;
        std::vector<int64_t> indices;
        return inputCurves(r, curves, indices) && built(r, planarTrimSurface(curves, out));
    }

    bool extrude(const AttributeReader& r, TrimmedSurface& out) {
        NurbsCurve profile, path;
        std::string error;
        if (!curveFromPlug(scene_, r.source("pr"), profile, result_.warnings, error)) return built(r, error);
        const PlugRef pathSource = r.source("pt");
        if (pathSource && !curveFromPlug(scene_, pathSource, path, result_.warnings, error)) return built(r, error);
        ExtrudeParams p;
        p.extrudeType = int(r.number("et", p.extrudeType));
        p.direction = vectorAt(r, "d", p.direction);
        p.length = r.number("l", p.length);
        p.degreeAlongLength = int(r.number("dl", p.degreeAlongLength));
        p.fixedPath = r.number("fpt", 0) != 0;
        p.useProfileNormal = r.number("upn", 0) != 0;
        p.rotation = r.number("ro", 0);
        p.scale = r.number("sc", 1);
        p.pivot = vectorAt(r, "p", p.pivot);
        std::string approximate;
        error = extrudeSurface(profile, pathSource ? &path : nullptr, p, out.surface, &approximate);
        if (!approximate.empty()) result_.warnings.push_back(r.node().name() + ": " + approximate);
        return built(r, error);
    }

    bool revolve(const AttributeReader& r, TrimmedSurface& out) {
        NurbsCurve profile;
        std::string error;
        if (!curveFromPlug(scene_, r.source("ic"), profile, result_.warnings, error)) return built(r, error);
        RevolveParams p;
        p.axis = vectorAt(r, "ax", p.axis);
        p.pivot = vectorAt(r, "p", p.pivot);
        p.startSweep = r.number("ssw", p.startSweep);
        p.endSweep = r.number("esw", p.endSweep);
        p.degree = int(r.number("d", p.degree));
        p.sections = int(std::clamp(r.number("s", p.sections), 1.0, 100000.0));
        p.useTolerance = r.number("ut", 0) != 0;
        p.tolerance = r.number("tol", p.tolerance);
        return built(r, revolveSurface(profile, p, out.surface));
    }

    // A surface input as the node receives it: a shape's world-space output
    // carries the shape's placement.
    bool placedInput(const AttributeReader& r, const std::string& plug, int depth, TrimmedSurface& out) {
        const PlugRef source = r.source(plug);
        if (!source) {
            result_.error = r.node().name() + ": nothing is connected to " + plug;
            return false;
        }
        if (!fromSource(source, depth + 1, out)) return false;
        const AttrSpec* attr = source.path.attr();
        if (attr && attr->shortName == "ws" && source.node->hasFn(MFn::kNurbsSurface)) {
            const int64_t instance = source.path.steps.empty() ? 0 : std::max<int64_t>(source.path.steps.back().index, 0);
            if (std::optional<MMatrix> m = dagWorldMatrix(scene_, *source.node, instance))
                transformControlPoints(out.surface.cvs, *m);
        }
        return true;
    }

    bool attach(const AttributeReader& r, int depth, TrimmedSurface& out) {
        AttachParams p;
        p.directionU = r.number("du", 1) != 0;
        p.method = int(r.number("m", 0));
        p.blendBias = r.number("bb", p.blendBias);
        p.blendKnotInsertion = r.number("bki", 0) != 0;
        p.parameter = r.number("p", p.parameter);
        p.keepMultipleKnots = r.number("kmk", 1) != 0;
        p.reverse1 = r.number("rv1", 0) != 0;
        p.reverse2 = r.number("rv2", 0) != 0;
        p.swap1 = r.number("sw1", 0) != 0;
        p.swap2 = r.number("sw2", 0) != 0;
        p.twist = r.number("tw", 0) != 0;
        // Each input walks from the same place: an upstream node both share
        // is no cycle, while the nodes on the way here still are.
        const std::unordered_set<const Node*> path = visited_;
        TrimmedSurface first, second;
        if (!placedInput(r, "is1", depth, first)) return false;
        const PlugRef a = r.source("is1"), b = r.source("is2");
        if (b && a.node == b.node && a.path.attr() == b.path.attr()) {
            second = first;
        } else {
            visited_ = path;
            if (!placedInput(r, "is2", depth, second)) return false;
        }
        if (!first.regions.empty() || !second.regions.empty())
            result_.warnings.push_back(r.node().name() + ": the trims of its input surfaces are not carried over");
        return built(r, attachSurfaces(std::move(first.surface), std::move(second.surface), p, out.surface));
    }

    bool rebuild(const AttributeReader& r, int depth, TrimmedSurface& out) {
        if (!input(r.node(), "is", depth, out)) return false;
        RebuildParams u;
        u.type = int(r.number("rt", 0));
        u.keepRange = int(r.number("kr", u.keepRange));
        u.keepControlPoints = r.number("kcp", 0) != 0;
        u.tolerance = r.number("tol", u.tolerance);
        RebuildParams v = u;
        u.spans = int(std::clamp(r.number("su", u.spans), 0.0, 1e9));
        v.spans = int(std::clamp(r.number("sv", v.spans), 0.0, 1e9));
        u.degree = int(r.number("du", u.degree));
        v.degree = int(r.number("dv", v.degree));
        if (!out.regions.empty())
            result_.warnings.push_back(r.node().name() + ": the trims of its input surface are not carried over");
        out.regions.clear();
        NurbsSurface rebuilt;
        if (!built(r, rebuildSurface(out.surface, u, v, int(r.number("dir", 2)), rebuilt))) return false;
        out.surface = std::move(rebuilt);
        return true;
    }

    bool stored(const Node& node, TrimmedSurface& out) {
        const scenefile::Value* value = node.data("cc");
        const auto* data = value ? std::get_if<scenefile::NurbsSurfaceData>(value) : nullptr;
        if (!data) {
            result_.error = node.name() + ": it holds no surface data";
            return false;
        }
        std::string why;
        if (!surfaceFromData(*data, out.surface, why)) {
            result_.error = node.name() + ": its surface data cannot be used: " + why;
            return false;
        }
        AttributeReader reader(scene_, node);
        for (int64_t i : reader.indices("tf")) {
            PlugPath path;
            if (!scene_.resolvePlug(node, indexed("tf", i), path)) continue;
            const PlugReading reading = scene_.read(node, path);
            const auto* face = reading.data ? std::get_if<scenefile::NurbsTrimface>(reading.data) : nullptr;
            TrimRegion region;
            if (!face) {
                why = "it holds no trim face data";
            } else if (trimRegionFromData(*face, region, why)) {
                if (!region.boundaries.empty()) out.regions.push_back(std::move(region));
                continue;
            }
            result_.warnings.push_back(node.name() + ": trim face " + std::to_string(i) + " ignored: " + why);
        }
        return true;
    }

    bool input(const Node& node, const std::string& plug, int depth, TrimmedSurface& out) {
        PlugPath path;
        if (!scene_.resolvePlug(node, plug, path)) return false;
        PlugRef source = scene_.sourceOf(node, path);
        return source && fromSource(source, depth + 1, out);
    }

    // A blendShape's live targets come through this same walk, so that a
    // node met twice (a target feeding its own base) ends the walk there.
    void deform(const AttributeReader& r, int64_t geometry, int depth, NurbsSurface& s) {
        auto live = [&](const std::string& plug) -> std::optional<std::vector<float>> {
            const std::string error = result_.error;
            TrimmedSurface target;
            const bool built = input(r.node(), plug, depth, target);
            result_.error = error;
            if (!built) return std::nullopt;
            return controlPointTarget(target.surface);
        };
        std::string warning;
        deformControlPoints(r, geometry, s, live, &warning);
        if (!warning.empty()) result_.warnings.push_back(r.node().name() + ": " + warning);
    }

    const Scene& scene_;
    SurfaceEvaluation& result_;
    std::unordered_set<const Node*> visited_;
};

struct SurfaceCache {
    std::unordered_map<const Node*, SurfaceEvaluation> entries;
};

}  // namespace

bool surfaceFromPlug(const Scene& scene, const PlugRef& source, TrimmedSurface& out,
                     std::vector<std::string>& warnings, std::string& error) {
    SurfaceEvaluation result;
    const bool built = source && SurfaceWalker(scene, result).fromSource(source, 1, out);
    warnings.insert(warnings.end(), result.warnings.begin(), result.warnings.end());
    error = result.error;
    if (!built && error.empty()) error = source ? describedNode(*source.node) + " makes no surface" : "no surface is connected";
    return built;
}

const SurfaceEvaluation& evaluateSurface(const Scene& scene, const Node& surfaceNode) {
    SurfaceCache& cache = scene.cached<SurfaceCache>();
    auto it = cache.entries.find(&surfaceNode);
    if (it != cache.entries.end()) return it->second;
    SurfaceEvaluation result;
    auto surface = std::make_shared<TrimmedSurface>();
    if (!SurfaceWalker(scene, result).shape(surfaceNode, 0, *surface)) {
        *surface = TrimmedSurface{};
        if (result.error.empty()) result.error = surfaceNode.name() + ": nothing upstream makes a surface";
    } else if (std::string why = nurbsSurfaceProblem(surface->surface); !why.empty()) {
        *surface = TrimmedSurface{};
        result.error = surfaceNode.name() + ": " + why;
    }
    result.surface = std::move(surface);
    logFindings(scene, "surface", surfaceNode, result.warnings, result.error);
    return cache.entries[&surfaceNode] = std::move(result);
}

}  // namespace mayahost
