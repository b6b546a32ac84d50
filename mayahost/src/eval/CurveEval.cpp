#include "eval/CurveEval.h"

#include "base/Limits.h"
#include "eval/AttributeReader.h"
#include "eval/HistoryDeformers.h"
#include "eval/SurfaceEval.h"
#include "eval/TransformEval.h"
#include "nurbs/NurbsCreators.h"
#include "nurbs/Rebuild.h"

#include <unordered_map>
#include <unordered_set>

namespace mayahost {
namespace {

bool isOutputNamed(const PlugRef& source, const char* shortName) {
    const AttrSpec* attr = source.path.attr();
    return attr && attr->shortName == shortName;
}

// Which side of a square an output is: "oc1" .. "oc4" give 0 .. 3.
int squareSide(const PlugRef& source) {
    const AttrSpec* attr = source.path.attr();
    if (!attr || attr->shortName.size() != 3 || attr->shortName.compare(0, 2, "oc") != 0) return 0;
    const char digit = attr->shortName[2];
    return digit >= '1' && digit <= '4' ? digit - '1' : 0;
}

class CurveWalker {
public:
    CurveWalker(const Scene& scene, std::vector<std::string>& warnings, std::string& error)
        : scene_(scene), warnings_(warnings), error_(error) {}

    bool shape(const Node& node, int depth, NurbsCurve& out) {
        visited_.insert(&node);
        PlugPath create;
        PlugRef source;
        if (scene_.resolvePlug(node, "cr", create)) source = scene_.sourceOf(node, create);
        if (source) {
            if (fromSource(source, depth + 1, out)) {
                size_t beyond = 0;
                const size_t repeated = out.form == NurbsForm::Periodic ? size_t(out.degree) : 0;
                addControlPointTweaks(node, out.cvs, 1, repeated, beyond);
                if (beyond) warnings_.push_back(node.name() + ": tweaks beyond the curve's control points ignored");
                return true;
            }
            if (!node.data("cc")) return false;
            error_.clear();
            warnings_.push_back("history of " + node.name() + " not evaluated: using its stored data");
        }
        return storedCurve(node, out, error_);
    }

    bool fromSource(const PlugRef& source, int depth, NurbsCurve& out) {
        const Node& node = *source.node;
        if (depth > limits().maxHistoryDepth) {
            warnings_.push_back(historyTooDeep(node));
            return false;
        }
        if (!visited_.insert(&node).second) return false;
        if (node.hasFn(MFn::kNurbsCurve)) {
            const CurveEvaluation& e = evaluateCurve(scene_, node);
            if (e.empty()) {
                error_ = e.error.empty() ? node.name() + " holds no curve" : e.error;
                return false;
            }
            out = *e.curve;
            if (isOutputNamed(source, "ws")) {
                const int64_t instance = source.path.steps.empty() ? 0 : std::max<int64_t>(source.path.steps.back().index, 0);
                if (std::optional<MMatrix> m = dagWorldMatrix(scene_, node, instance)) transformControlPoints(out.cvs, *m);
            }
            return true;
        }
        const std::string& type = node.typeName();
        if (isNurbsCurveCreatorType(type)) {
            error_ = makeNurbsCreatorCurve(type, CreatorAttributes(scene_, node), squareSide(source), out);
            if (error_.empty()) return true;
            error_ = node.name() + ": " + error_;
            return false;
        }
        if (type == "makeNurbCylinder" && (isOutputNamed(source, "bcc") || isOutputNamed(source, "tcc"))) {
            error_ = makeNurbCylinderCapCurve(CreatorAttributes(scene_, node), isOutputNamed(source, "tcc"), out);
            if (error_.empty()) return true;
            error_ = node.name() + ": " + error_;
            return false;
        }
        const AttributeReader r(scene_, node);
        if (type == "transformGeometry") {
            if (!input(node, "ig", depth, out)) return false;
            if (std::optional<MMatrix> m = r.matrix("txf"))
                transformControlPoints(out.cvs, r.number("itf", 0) != 0 ? m->inverse() : *m);
            return true;
        }
        if (type == "groupParts") return input(node, "ig", depth, out);
        if (type == "rebuildCurve" && rebuildTypeBuilt(int(r.number("rt", 0)))) return rebuild(r, depth, out);
        if (isControlPointDeformer(node)) {
            const int64_t geometry = source.path.steps.empty() ? 0 : std::max<int64_t>(source.path.steps.back().index, 0);
            if (!input(node, indexed("ip", geometry) + ".ig", depth, out)) return false;
            deform(r, geometry, depth, out);
            return true;
        }
        for (const char* plug : {"ic", "ig", "inputCurve"})
            if (input(node, plug, depth, out)) {
                warnings_.push_back(describedNode(node) + " not evaluated: its input curve is used");
                return true;
            }
        if (error_.empty()) error_ = describedNode(node) + " not evaluated: it has no input curve to pass on";
        return false;
    }

private:
    bool rebuild(const AttributeReader& r, int depth, NurbsCurve& out) {
        if (!input(r.node(), "ic", depth, out)) return false;
        RebuildParams p;
        p.type = int(r.number("rt", 0));
        p.spans = int(std::clamp(r.number("s", p.spans), 0.0, 1e9));
        p.degree = int(r.number("d", p.degree));
        p.keepRange = int(r.number("kr", p.keepRange));
        p.keepControlPoints = r.number("kcp", 0) != 0;
        p.keepEndPoints = r.number("kep", 1) != 0;
        p.tolerance = r.number("tol", p.tolerance);
        if (p.type == 0 && !p.keepControlPoints && r.number("kt", 1) != 0)
            warnings_.push_back(r.node().name() + ": its end tangents are not kept (the fit only keeps the end points)");
        NurbsCurve rebuilt;
        if (std::string error = rebuildCurve(out, p, rebuilt); !error.empty()) {
            error_ = r.node().name() + ": " + error;
            return false;
        }
        out = std::move(rebuilt);
        return true;
    }

    // A blendShape's live targets: a curve shape's own (object-space) points,
    // else what its history makes.
    void deform(const AttributeReader& r, int64_t geometry, int depth, NurbsCurve& curve) {
        auto live = [&](const std::string& plug) -> std::optional<std::vector<float>> {
            const PlugRef source = r.source(plug);
            const std::string error = error_;
            NurbsCurve target;
            bool built = false;
            if (source && source.node->hasFn(MFn::kNurbsCurve)) {
                const CurveEvaluation& e = evaluateCurve(scene_, *source.node);
                if ((built = !e.empty())) target = *e.curve;
            } else {
                built = input(r.node(), plug, depth, target);
            }
            error_ = error;
            if (!built) return std::nullopt;
            return controlPointTarget(target);
        };
        std::string warning;
        deformControlPoints(r, geometry, curve, live, &warning);
        if (!warning.empty()) warnings_.push_back(r.node().name() + ": " + warning);
    }

    bool input(const Node& node, const std::string& plug, int depth, NurbsCurve& out) {
        PlugPath path;
        if (!scene_.resolvePlug(node, plug, path)) return false;
        PlugRef source = scene_.sourceOf(node, path);
        return source && fromSource(source, depth + 1, out);
    }

    const Scene& scene_;
    std::vector<std::string>& warnings_;
    std::string& error_;
    std::unordered_set<const Node*> visited_;
};

struct CurveCache {
    std::unordered_map<const Node*, CurveEvaluation> entries;
};

}  // namespace

void transformControlPoints(std::vector<double>& cvs, const MMatrix& m) {
    for (size_t i = 0; i + 3 < cvs.size(); i += 4) {
        const double x = cvs[i], y = cvs[i + 1], z = cvs[i + 2];
        for (unsigned c = 0; c < 3; ++c) cvs[i + c] = x * m(0, c) + y * m(1, c) + z * m(2, c) + m(3, c);
    }
}

void addControlPointTweaks(const Node& shape, std::vector<double>& cvs, size_t rows, size_t repeatedPerRow,
                           size_t& beyond) {
    const DenseArray* tweaks = shape.denseArray("controlPoints");
    if (!tweaks) return;
    const size_t count = cvs.size() / 4;
    for (size_t e = 0; e < tweaks->count(); ++e) {
        if (!tweaks->has(e)) continue;
        if (e >= count) {
            ++beyond;
            continue;
        }
        for (size_t c = 0; c < 3 && c < tweaks->components; ++c) cvs[4 * e + c] += tweaks->at(e, c);
    }
    // A periodic form's last points repeat its first ones in every row.
    const size_t perRow = rows ? count / rows : 0;
    if (repeatedPerRow == 0 || perRow <= repeatedPerRow) return;
    for (size_t r = 0; r < rows; ++r)
        for (size_t k = 0; k < repeatedPerRow; ++k)
            std::copy_n(&cvs[4 * (r * perRow + k)], 3, &cvs[4 * (r * perRow + perRow - repeatedPerRow + k)]);
}

const CurveEvaluation& evaluateCurve(const Scene& scene, const Node& curveNode) {
    CurveCache& cache = scene.cached<CurveCache>();
    if (auto it = cache.entries.find(&curveNode); it != cache.entries.end()) return it->second;
    // Claimed before the walk, so that a history leading back here finds an empty curve, not a loop.
    cache.entries[&curveNode].curve = std::make_shared<NurbsCurve>();
    auto curve = std::make_shared<NurbsCurve>();
    std::vector<std::string> warnings;
    std::string error;
    if (!CurveWalker(scene, warnings, error).shape(curveNode, 0, *curve)) {
        *curve = NurbsCurve{};
        if (error.empty()) error = curveNode.name() + ": nothing upstream makes a curve";
    } else if (std::string why = nurbsCurveProblem(*curve); !why.empty()) {
        *curve = NurbsCurve{};
        error = curveNode.name() + ": " + why;
    }
    CurveEvaluation& entry = cache.entries[&curveNode];
    entry.curve = std::move(curve);
    entry.warnings = std::move(warnings);
    entry.error = std::move(error);
    logFindings(scene, "curve", curveNode, entry.warnings, entry.error);
    return entry;
}

bool curveFromPlug(const Scene& scene, const PlugRef& source, NurbsCurve& out, std::vector<std::string>& warnings,
                   std::string& error) {
    error.clear();
    if (!source) {
        error = "no curve is connected";
        return false;
    }
    return CurveWalker(scene, warnings, error).fromSource(source, 1, out);
}

}  // namespace mayahost
