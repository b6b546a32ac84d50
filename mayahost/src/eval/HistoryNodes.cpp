#include "eval/HistoryNodes.h"
#include "base/Limits.h"

#include "mesh/MeshModifiers.h"
#include "mesh/MeshModBoolean.h"
#include "mesh/MeshModUtil.h"
#include "mesh/MeshModCut.h"
#include "mesh/MeshModMirror.h"
#include "eval/AttributeReader.h"
#include "eval/HistoryDeformers.h"
#include "eval/HistoryNonLinear.h"
#include "eval/HistoryUV.h"
#include "eval/SurfaceEval.h"
#include "eval/TransformEval.h"
#include "nurbs/NurbsToMesh.h"
#include "nurbs/Tessellate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace mayahost {

// Collects the modifiers' warnings under the name of the node that gave them.
class NodeWarnings {
public:
    NodeWarnings(const Node& node, std::vector<std::string>& sink) : node_(node), sink_(sink) {}
    ~NodeWarnings() { flush(); }
    NodeWarnings(const NodeWarnings&) = delete;
    NodeWarnings& operator=(const NodeWarnings&) = delete;
    std::string* text() { return &text_; }
    void add(const std::string& message) { text_ += (text_.empty() ? "" : "; ") + message; }
    void flush() {
        if (!text_.empty()) sink_.push_back(node_.name() + ": " + text_);
        text_.clear();
    }

private:
    const Node& node_;
    std::vector<std::string>& sink_;
    std::string text_;
};

const Node* deformerGroupParts(const AttributeReader& deformer, int64_t geometry) {
    const std::string input = indexed("ip", geometry);
    PlugRef geometrySource = deformer.source(input + ".ig");
    if (!geometrySource || !geometrySource.node->hasFn(MFn::kGroupParts)) return nullptr;
    PlugRef group = deformer.source(input + ".gi");
    PlugRef partsGroup = AttributeReader(deformer.scene(), *geometrySource.node).source("gi");
    if (!group || !partsGroup || group.node != partsGroup.node) return nullptr;
    return geometrySource.node;
}

namespace {

constexpr double kRadiansToDegrees = 180.0 / 3.14159265358979323846;

bool isDeformer(const Node& node) { return node.hasFn(MFn::kGeometryFilt); }

// An integer setting (a count, a mode) read as a number: whole and within [lo, hi].
bool wholeIn(double v, double lo, double hi) { return v >= lo && v <= hi && v == std::floor(v); }

// The vertices a deformer acts on: the components of the groupParts that
// tags its input with the deformer's own group. Absent means every vertex.
std::optional<std::vector<int32_t>> deformerMembers(const AttributeReader& deformer, int64_t geometry,
                                                    const MeshData& mesh, NodeWarnings& warnings) {
    const Node* partsNode = deformerGroupParts(deformer, geometry);
    if (!partsNode) return std::nullopt;
    AttributeReader parts(deformer.scene(), *partsNode);
    GroupPartsParams params;
    params.inputComponents = parts.componentList("ic").value_or(std::vector<std::string>{});
    params.inputRemoveComponent = parts.componentList("irc").value_or(std::vector<std::string>{});
    std::string why;
    ComponentSelection selection = groupPartsComponents(mesh, params, &why);
    if (!why.empty()) warnings.add(why);
    if (selection.vertices.empty() || selection.vertices.size() == mesh.numVertices()) return std::nullopt;
    return selection.vertices;
}

// A count read from `plug`: whole and within [lo, hi], else a warning naming
// it as `what` and nothing (the node then passes its geometry through).
std::optional<int> countSetting(const HistoryStep& step, const char* plug, double fallback, double lo, double hi,
                                const char* what) {
    const double v = step.attributes.number(plug, fallback);
    if (wholeIn(v, lo, hi)) return int(v);
    step.warnings.add(std::string(what) + " " + std::to_string(v) + " out of range, geometry passed through");
    return std::nullopt;
}

// ------------------------------------------------------------------ per type

bool transformGeometry(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    TransformGeometryParams p;
    if (std::optional<MMatrix> m = r.matrix("txf")) p.transform = *m;
    p.invertTransform = r.number("itf", 0) != 0;
    p.freezeNormals = int(r.number("fn", 0));
    p.reverseNormals = r.number("rn", 0) != 0;
    mesh = applyTransformGeometry(mesh, p, warnings.text());
    return true;
}

}  // namespace

TweakParams readTweakParams(const AttributeReader& r, int64_t geometry) {
    TweakParams p;
    for (const char* list : {"vl", "pl"}) {
        const std::string multi = indexed(list, geometry) + (list[0] == 'v' ? ".vt" : ".cp");
        for (int64_t i : r.indices(multi)) {
            std::optional<std::vector<double>> v = r.tuple(indexed(multi, i), 3);
            if (!v || i > INT32_MAX) continue;
            p.vertex.push_back({int32_t(i), float((*v)[0]), float((*v)[1]), float((*v)[2])});
        }
        if (!p.vertex.empty()) break;
    }
    p.relativeTweak = r.number("rtw", 1) != 0;
    p.envelope = r.number("en", 1);
    return p;
}

namespace {

bool tweak(const HistoryStep& step, MeshData& mesh) {
    TweakParams p = readTweakParams(step.attributes, step.geometry);
    p.members = deformerMembers(step.attributes, step.geometry, mesh, step.warnings);
    mesh = applyTweak(mesh, p, step.warnings.text());
    return true;
}

bool groupParts(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    // The geometry passes through; the list is checked so that a broken tag is reported here.
    GroupPartsParams p;
    p.inputComponents = r.componentList("ic").value_or(std::vector<std::string>{});
    p.inputRemoveComponent = r.componentList("irc").value_or(std::vector<std::string>{});
    p.groupId = int32_t(r.number("gi", 0));
    groupPartsComponents(mesh, p, warnings.text());
    return true;
}

bool polyNormal(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    PolyNormalParams p;
    p.inputComponents = r.componentList("ics");
    const double mode = r.number("nm", 0);
    if (!wholeIn(mode, 0, 4)) {
        warnings.add("normalMode " + std::to_string(mode) + " is not known, geometry passed through");
        return true;
    }
    p.normalMode = PolyNormalMode(int(mode));
    p.userNormalMode = r.number("unm", 1) != 0;
    mesh = applyPolyNormal(mesh, p, warnings.text());
    return true;
}

bool polySoftEdge(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    PolySoftEdgeParams p;
    p.inputComponents = r.componentList("ics");
    p.angle = r.number("a", p.angle / kRadiansToDegrees) * kRadiansToDegrees;
    mesh = applyPolySoftEdge(mesh, p, warnings.text());
    return true;
}

bool polyTriangulate(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    PolyTriangulateParams p;
    p.inputComponents = r.componentList("ics");
    mesh = applyPolyTriangulate(mesh, p, warnings.text());
    return true;
}

std::optional<std::array<float, 3>> rgbAt(const AttributeReader& r, const std::string& plug) {
    std::optional<std::vector<double>> v = r.tuple(plug, 3);
    if (!v) return std::nullopt;
    return std::array<float, 3>{float((*v)[0]), float((*v)[1]), float((*v)[2])};
}

std::optional<float> alphaAt(const AttributeReader& r, const std::string& plug) {
    std::optional<std::vector<double>> v = r.tuple(plug, 1);
    if (!v) return std::nullopt;
    return float((*v)[0]);
}

bool polyColorPerVertex(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    PolyColorPerVertexParams p;
    for (int64_t v : r.indices("vclr")) {
        if (v > INT32_MAX) continue;
        const std::string vertex = indexed("vclr", v);
        VertexColor color;
        color.vertex = int32_t(v);
        color.rgb = rgbAt(r, vertex + ".vrgb");
        color.alpha = alphaAt(r, vertex + ".vxal");
        for (int64_t f : r.indices(vertex + ".vfcl")) {
            if (f > INT32_MAX) continue;
            const std::string face = indexed(vertex + ".vfcl", f);
            VertexFaceColor faceColor;
            faceColor.face = int32_t(f);
            faceColor.rgb = rgbAt(r, face + ".frgb");
            faceColor.alpha = alphaAt(r, face + ".vfal");
            if (faceColor.rgb || faceColor.alpha) color.faceColors.push_back(faceColor);
        }
        if (color.rgb || color.alpha || !color.faceColors.empty()) p.vertexColor.push_back(std::move(color));
    }
    if (std::optional<std::string> name = r.string("cn"); name && !name->empty()) p.colorSetName = *name;
    p.clamped = r.number("clam", 0) != 0;
    mesh = applyPolyColorPerVertex(mesh, p, warnings.text());
    return true;
}

bool polyTweakUV(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    PolyTweakUVParams p;
    for (int64_t i : r.indices("uvtk")) {
        std::optional<std::vector<double>> uv = r.tuple(indexed("uvtk", i), 2);
        if (!uv || i > INT32_MAX) continue;
        p.uvTweak.push_back({int32_t(i), float((*uv)[0]), float((*uv)[1])});
    }
    p.uvSetName = r.string("uvs").value_or("");
    mesh = applyPolyTweakUV(mesh, p, warnings.text());
    return true;
}

bool polyNormalPerVertex(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolyNormalPerVertexParams p;
    auto xyz = [&](const std::string& plug) -> std::optional<std::array<float, 3>> {
        std::optional<std::vector<double>> v = r.tuple(plug, 3);
        if (!v) return std::nullopt;
        return std::array<float, 3>{float((*v)[0]), float((*v)[1]), float((*v)[2])};
    };
    for (int64_t v : r.indices("vn")) {
        if (v > INT32_MAX) continue;
        const std::string vertex = indexed("vn", v);
        VertexNormal n;
        n.vertex = int32_t(v);
        n.normal = xyz(vertex + ".nxyz");
        for (int64_t f : r.indices(vertex + ".vfnl"))
            if (f <= INT32_MAX)
                if (auto faceNormal = xyz(indexed(vertex + ".vfnl", f) + ".fnxy")) n.faceNormals.push_back({int32_t(f), *faceNormal});
        if (n.normal || !n.faceNormals.empty()) p.vertexNormal.push_back(std::move(n));
    }
    mesh = applyPolyNormalPerVertex(mesh, p, step.warnings.text());
    return true;
}

}  // namespace

// --- skinCluster

// Weights come as one plug per vertex and influence (".wl[3].w[1]"), as a
// dense run per vertex (".wl[3].w[0:2]"), or spread over a run of vertices
// with their own sparse lists (".wl[0:15].w" 2 0 0.5 1 0.5 ...: per vertex a
// count, then influence/weight pairs).
static std::vector<std::vector<SkinWeight>> skinWeights(const AttributeReader& r, size_t vertices, std::string* warning) {
    std::vector<std::vector<SkinWeight>> list(vertices);
    size_t beyond = 0;
    for (int64_t v : r.indices("wl")) {
        if (v < 0 || size_t(v) >= vertices) {
            ++beyond;
            continue;
        }
        const std::string weights = indexed("wl", v) + ".w";
        for (int64_t j : r.indices(weights)) {
            std::optional<double> w = r.number(indexed(weights, j));
            if (w && j <= INT32_MAX) list[size_t(v)].push_back({int32_t(j), *w});
        }
    }
    // Such values are kept under the text the file wrote, which names the
    // node first when the statement did ("skinCluster1.wl[0:7].w").
    for (const std::string& key : r.node().storedKeysStartingWith("")) {
        const size_t at = key.find("wl[");
        if (at == std::string::npos || (at > 0 && key[at - 1] != '.')) continue;
        int64_t first = 0, last = 0;
        if (!parseRangeKey(key.substr(at), "wl", ".w", first, last)) continue;
        const StoredValue* stored = r.node().stored(key);
        const auto* numbers = stored && stored->data ? std::get_if<scenefile::Numbers>(stored->data.get()) : nullptr;
        if (!numbers) continue;
        const std::vector<double>& n = numbers->values;
        size_t k = 0;
        for (int64_t v = first; v <= last; ++v) {
            const double count = k < n.size() ? n[k] : -1;
            if (!wholeIn(count, 0, double((n.size() - k - 1) / 2))) {
                meshmod::addWarning(warning, "weights \"" + key + "\" malformed from vertex " + std::to_string(v) + ", the rest ignored");
                break;
            }
            ++k;
            std::vector<SkinWeight>* target = size_t(v) < vertices ? &list[size_t(v)] : nullptr;
            if (!target) ++beyond;
            for (size_t e = 0; e < size_t(count); ++e, k += 2) {
                const double influence = n[k];
                if (!target) continue;
                if (wholeIn(influence, 0, INT32_MAX))
                    target->push_back({int32_t(influence), n[k + 1]});
            }
        }
    }
    if (beyond) meshmod::addWarning(warning, std::to_string(beyond) + " weight lists beyond the mesh's vertices ignored");
    return list;
}

// The world matrix of the joint (or any DAG transform) driving an influence.
static std::optional<MMatrix> driverWorldMatrix(const Scene& scene, const Node& driver) {
    if (!driver.isDag() || !isTransformNode(driver)) return std::nullopt;
    return dagWorldMatrix(scene, driver);
}

SkinClusterParams readSkinClusterParams(const AttributeReader& r, size_t points, std::string* warning) {
    SkinClusterParams p;
    p.weightList = skinWeights(r, points, warning);
    size_t ignored = 0;
    auto slot = [&](std::vector<std::optional<MMatrix>>& v, int64_t j) -> std::optional<MMatrix>* {
        if (j < 0 || j >= limits().maxInfluences) {
            ++ignored;
            return nullptr;
        }
        if (size_t(j) >= v.size()) v.resize(size_t(j) + 1);
        return &v[size_t(j)];
    };
    for (int64_t j : r.indices("pm"))
        if (auto* s = slot(p.bindPreMatrix, j)) *s = r.matrix(indexed("pm", j));
    for (int64_t j : r.indices("ma")) {
        auto* s = slot(p.matrix, j);
        if (!s) continue;
        PlugRef driver = r.source(indexed("ma", j));
        *s = driver ? driverWorldMatrix(r.scene(), *driver.node) : std::nullopt;
        if (!*s) *s = r.matrix(indexed("ma", j));
    }
    if (ignored)
        meshmod::addWarning(warning, std::to_string(ignored) + " influences beyond " + std::to_string(limits().maxInfluences) + " ignored");
    if (std::optional<MMatrix> gm = r.matrix("gm")) p.geomMatrix = *gm;
    const double normalize = r.number("nw", 1);
    if (normalize == 0 || normalize == 1 || normalize == 2) p.normalizeWeights = SkinNormalizeWeights(int(normalize));
    p.skinningMethod = int(r.number("skm", 0));
    p.envelope = r.number("en", 1);
    p.deformUserNormals = r.number("dun", 1) != 0;
    return p;
}

namespace {

bool skinCluster(const HistoryStep& step, MeshData& mesh) {
    SkinClusterParams p = readSkinClusterParams(step.attributes, mesh.numVertices(), step.warnings.text());
    p.members = deformerMembers(step.attributes, step.geometry, mesh, step.warnings);
    mesh = applySkinCluster(mesh, p, step.warnings.text());
    return true;
}

// --- blendShape

}  // namespace

BlendShapeParams readBlendShapeParams(const AttributeReader& r, int64_t geometry, size_t vertices,
                                      const LiveTargetPoints& liveTarget, std::string* warning) {
    BlendShapeParams p;
    size_t ignored = 0;
    for (int64_t t : r.indices("w")) {
        if (t < 0 || t >= limits().maxBlendTargets) {
            ++ignored;
            continue;
        }
        if (size_t(t) >= p.weight.size()) p.weight.resize(size_t(t) + 1, 0.0);
        p.weight[size_t(t)] = r.number(indexed("w", t), 0);
    }
    p.envelope = r.number("en", 1);
    auto perVertex = [&](const std::string& multi) {
        std::vector<std::optional<float>> out;
        for (int64_t v : r.indices(multi)) {
            if (v < 0 || size_t(v) >= vertices) continue;
            std::optional<double> w = r.number(indexed(multi, v));
            if (!w) continue;
            if (size_t(v) >= out.size()) out.resize(size_t(v) + 1);
            out[size_t(v)] = float(*w);
        }
        return out;
    };
    const std::string input = indexed("it", geometry);
    p.baseWeights = perVertex(input + ".bw");
    for (int64_t t : r.indices(input + ".itg")) {
        if (t < 0 || t >= limits().maxBlendTargets) {
            ++ignored;
            continue;
        }
        const std::string group = indexed(input + ".itg", t);
        BlendShapeTarget target;
        target.index = int32_t(t);
        target.targetWeights = perVertex(group + ".tw");
        for (int64_t i : r.indices(group + ".iti")) {
            if (i < 0 || i > INT32_MAX) continue;
            const std::string item = indexed(group + ".iti", i);
            BlendShapeTargetItem entry;
            entry.itemIndex = int32_t(i);
            PlugRef liveSource = r.source(item + ".igt");
            std::optional<std::vector<float>> live = liveSource ? liveTarget(item + ".igt") : std::nullopt;
            if (live) {
                entry.inputGeomTarget = std::move(live);
            } else {
                if (liveSource)
                    meshmod::addWarning(warning, "target " + item + " could not be evaluated, its stored offsets are used");
                entry.inputPointsTarget = r.points(item + ".ipt").value_or(std::vector<float>{});
                entry.inputComponentsTarget = r.componentList(item + ".ict");
            }
            target.items.push_back(std::move(entry));
        }
        if (!target.items.empty()) p.targets.push_back(std::move(target));
    }
    if (ignored)
        meshmod::addWarning(warning, std::to_string(ignored) + " targets beyond " + std::to_string(limits().maxBlendTargets) + " ignored");
    return p;
}

namespace {

bool blendShape(const HistoryStep& step, MeshData& mesh) {
    auto live = [&](const std::string& plug) -> std::optional<std::vector<float>> {
        MeshData target;
        if (!step.upstream.meshAt(step.node, plug, target)) return std::nullopt;
        return std::move(target.points);
    };
    BlendShapeParams p = readBlendShapeParams(step.attributes, step.geometry, mesh.numVertices(), live, step.warnings.text());
    p.members = deformerMembers(step.attributes, step.geometry, mesh, step.warnings);
    mesh = applyBlendShape(mesh, p, step.warnings.text());
    return true;
}

// --- cluster, nonLinear

bool cluster(const HistoryStep& step, MeshData& mesh) {
    ClusterParams p = readClusterParams(step.attributes, step.geometry, mesh.numVertices(), step.warnings.text());
    p.members = deformerMembers(step.attributes, step.geometry, mesh, step.warnings);
    mesh = applyCluster(mesh, p, step.warnings.text());
    return true;
}

bool nonLinear(const HistoryStep& step, MeshData& mesh) {
    NonLinearParams p;
    if (!readNonLinearParams(step.attributes, step.geometry, mesh.numVertices(), p, step.warnings.text())) return true;
    p.members = deformerMembers(step.attributes, step.geometry, mesh, step.warnings);
    mesh = applyNonLinear(mesh, p, step.warnings.text());
    return true;
}

// --- polyUnite, deleteComponent, polySubdFace

// Every connected inputPoly[i], placed by its inputMat[i]: the world matrix
// of the shape instance it is connected from, else the stored matrix.
// polyBoolOp, a polyUnite, gathers its inputs the same way.
bool readUniteInputs(const HistoryStep& step, PolyUniteParams& p) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    const Node& node = step.node;
    HistoryUpstream& upstream = step.upstream;
    // Instances of one shape feed the same mesh to several inputs; the walk
    // meets each node once, so their mesh is evaluated once and reused.
    std::vector<std::pair<const Node*, size_t>> evaluated;
    for (int64_t i : r.indices("ip")) {
        const std::string input = indexed("ip", i);
        const PlugRef source = r.source(input);
        if (!source) continue;
        UnionInput entry;
        auto seen = std::find_if(evaluated.begin(), evaluated.end(), [&](const auto& e) { return e.first == source.node; });
        if (seen != evaluated.end()) {
            entry.mesh = p.inputs[seen->second].mesh;
        } else if (upstream.meshAt(node, input, entry.mesh)) {
            evaluated.emplace_back(source.node, p.inputs.size());
        } else {
            warnings.add(input + " could not be evaluated and is left out");
            continue;
        }
        const std::string matrix = indexed("im", i);
        std::optional<MMatrix> world;
        if (PlugRef shape = r.source(matrix)) {
            const int64_t instance = shape.path.steps.empty() ? 0 : shape.path.steps.back().index;
            world = dagWorldMatrix(r.scene(), *shape.node, instance);
        }
        if (!world) world = r.matrix(matrix);
        if (world) entry.matrix = *world;
        p.inputs.push_back(std::move(entry));
    }
    if (p.inputs.empty()) {
        warnings.add("no input mesh could be evaluated");
        return false;
    }
    const double merge = r.number("muv", 1);
    if (merge == 0) p.mergeUVSets = UnionUVSets::NoMerge;
    else if (merge == 2) p.mergeUVSets = UnionUVSets::ByUVLinks;
    else if (merge != 1) warnings.add("mergeUVSets " + std::to_string(merge) + " is not known, uv sets merged by name");
    return true;
}

bool polyUnite(const HistoryStep& step, MeshData& mesh) {
    PolyUniteParams p;
    if (!readUniteInputs(step, p)) return false;
    mesh = applyPolyUnite(p, step.warnings.text());
    return true;
}

// The boolean of the gathered inputs, in world space. Operation 0 (the
// node's default) is a union, as the command makes by default.
bool polyBoolOp(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolyUniteParams inputs;
    if (!readUniteInputs(step, inputs)) return false;
    PolyBoolOpParams p;
    p.inputs = std::move(inputs.inputs);
    p.mergeUVSets = inputs.mergeUVSets;
    const double op = r.number("op", 0);
    p.operation = op == 0 ? BooleanOperation::Union : BooleanOperation(wholeIn(op, -1e9, 1e9) ? int(op) : -1);
    p.preserveColor = r.number("pcr", 0) != 0;
    p.useThresholds = r.number("uth", 0) != 0;
    p.vertexDistanceThreshold = r.number("vdt", 0.001);
    const size_t firstFaces = p.inputs.empty() ? 0 : p.inputs[0].mesh.numFaces();
    std::vector<int32_t> faceInput;
    mesh = applyPolyBoolOp(p, step.warnings.text(), &faceInput);
    // Maya's numbering of a boolean's result is not known; only a result that
    // is the first input's faces as they were keeps a known one.
    if (mesh.numFaces() != firstFaces || std::any_of(faceInput.begin(), faceInput.end(), [](int32_t i) { return i != 0; }))
        step.warnings.add("the result's components are numbered by a rule of this reader's, not known to be Maya's: "
                          "later nodes that name them may pick others");
    return true;
}

bool deleteComponent(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    DeleteComponentParams p;
    p.deleteComponents = r.componentList("dc").value_or(std::vector<std::string>{});
    mesh = applyDeleteComponent(mesh, p, warnings.text());
    return true;
}

bool polySubdFace(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    PolySubdFaceParams p;
    p.inputComponents = r.componentList("ics");
    const double divisions = r.number("dv", 1), mode = r.number("m", 0);
    if (!wholeIn(divisions, 0, 64) || !wholeIn(mode, 0, 1)) {
        warnings.add("divisions " + std::to_string(divisions) + " or mode " + std::to_string(mode) +
                     " out of range, geometry passed through");
        return true;
    }
    // Later versions add divisionsU, divisionsV and subdMethod, whose layout
    // is not documented: a file that sets them is told they are not evaluated.
    for (const char* plug : {"duv", "dvv", "sbm"})
        if (std::optional<double> v = r.number(plug); v && *v != (plug[0] == 's' ? 0 : 1))
            warnings.add(std::string(plug) + " is not evaluated, the subdivision uses divisions alone");
    p.divisions = int(divisions);
    p.mode = SubdFaceMode(int(mode));
    mesh = applyPolySubdFace(mesh, p, warnings.text());
    return true;
}

// polyTweak: the offsets of .tk added to the points arriving.
bool polyTweak(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    TweakParams p;
    for (int64_t i : r.indices("tk")) {
        std::optional<std::vector<double>> v = r.tuple(indexed("tk", i), 3);
        if (!v || i > INT32_MAX) continue;
        p.vertex.push_back({int32_t(i), float((*v)[0]), float((*v)[1]), float((*v)[2])});
    }
    mesh = applyTweak(mesh, p, step.warnings.text());
    return true;
}

std::array<double, 3> triple(const AttributeReader& r, const char* plug, std::array<double, 3> fallback) {
    std::optional<std::vector<double>> v = r.tuple(plug, 3);
    return v ? std::array<double, 3>{(*v)[0], (*v)[1], (*v)[2]} : fallback;
}

bool polyExtrudeFace(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    PolyExtrudeFaceParams p;
    p.inputComponents = r.componentList("ics");
    p.keepFacesTogether = r.number("kft", 1) != 0;
    const std::optional<int> divisions = countSetting(step, "d", 1, 1, 1000, "divisions");
    if (!divisions) return true;
    p.divisions = *divisions;
    p.localTranslate = triple(r, "lt", p.localTranslate);
    p.localScale = triple(r, "ls", p.localScale);
    p.thickness = r.number("tk", 0);
    p.translate = triple(r, "t", p.translate);
    p.rotate = triple(r, "r", p.rotate);
    p.scale = triple(r, "s", p.scale);
    p.pivot = triple(r, "pvt", p.pivot);
    p.worldSpace = r.number("ws", 0) != 0;
    if (std::optional<MMatrix> m = r.matrix("ix")) p.inputMatrix = *m;
    p.smoothingAngle = r.number("sma", p.smoothingAngle);
    // What is not modelled, or modelled by a rule of our own, is named.
    for (const auto& [plug, neutral] : {std::pair{"off", 0.0}, {"tp", 1.0}, {"twt", 0.0}, {"ran", 0.0}})
        if (std::optional<double> v = r.number(plug); v && *v != neutral)
            warnings.add(std::string(plug) + " is not evaluated, the faces extrude without it");
    mesh = applyPolyExtrudeFace(mesh, p, warnings.text());
    return true;
}

// polyBevel3 and the older polyBevel (whose fillNgons is the later subdivideNgons).
bool polyBevel(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    PolyBevelParams p;
    p.inputComponents = r.componentList("ics");
    const std::optional<int> segments = countSetting(step, "sg", 1, 1, 1e9, "segments");
    if (!segments) return true;
    p.segments = *segments;
    p.offset = r.number("o", p.offset);
    p.fraction = r.number("f", p.fraction);
    p.offsetAsFraction = r.number("oaf", 0) != 0;
    p.depth = r.number("d", p.depth);
    p.chamfer = r.number("c", 1) != 0;
    p.autoFit = r.number("af", 1) != 0;
    p.roundness = r.number("ro", p.roundness);
    p.subdivideNgons = r.number("sn", 0) != 0 || r.number("fn", 0) != 0;
    p.mergeVertices = r.number("mv", 0) != 0;
    p.mergeVertexTolerance = r.number("mvt", p.mergeVertexTolerance);
    p.smoothingAngle = r.number("sa", 30) / kRadiansToDegrees;
    p.filterEdgesByAngle = r.number("fea", 0) != 0;
    p.filterAngle = r.number("fan", 30) / kRadiansToDegrees;
    p.filterHardEdges = r.number("fhe", 0) != 0;
    p.worldSpace = r.number("ws", 0) != 0;
    if (std::optional<MMatrix> m = r.matrix("ix")) p.inputMatrix = *m;
    // Only the uniform corner is made; the other mitering styles are named.
    if (std::optional<double> v = r.number("mit"); v && *v != 0 && *v != 1)
        warnings.add("mitering " + std::to_string(int(*v)) + " is not evaluated, corners are mitered uniformly");
    mesh = applyPolyBevel(mesh, p, warnings.text());
    return true;
}

bool polySmoothFace(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    NodeWarnings& warnings = step.warnings;
    PolySmoothFaceParams p;
    p.inputComponents = r.componentList("ics");
    const double divisions = r.number("dv", 1), method = r.number("mth", 0);
    if (!wholeIn(divisions, 0, 8) || !wholeIn(method, 0, 1)) {
        warnings.add("divisions " + std::to_string(divisions) + " or method " + std::to_string(method) +
                     " out of range, geometry passed through");
        return true;
    }
    p.divisions = int(divisions);
    p.linear = method == 1;
    p.keepBorder = r.number("kb", 1) != 0;
    p.keepHardEdges = r.number("khe", 0) != 0;
    p.propagateEdgeHardness = r.number("peh", 0) != 0;
    if (!mesh.uvSets.empty() && r.number("suv", 1) != 0 && p.divisions > 0)
        warnings.add("uvs are interpolated linearly, not smoothed");
    mesh = applyPolySmoothFace(mesh, p, warnings.text());
    return true;
}

bool polySplit(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolySplitParams p;
    for (int64_t i : r.indices("d")) {
        const std::optional<double> descriptor = r.number(indexed("d", i));
        if (!descriptor) continue;
        const uint32_t bits = uint32_t(int64_t(*descriptor));
        p.points.push_back({(bits & 0x80000000u) != 0, int32_t(bits & 0x7FFFFFFFu), r.number(indexed("e", i), 0)});
    }
    mesh = applyPolySplit(mesh, p, step.warnings.text());
    return true;
}

bool polySplitRing(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolySplitRingParams p;
    p.inputComponents = r.componentList("ics");
    p.weight = r.number("wt", p.weight);
    p.direction = r.number("dr", 1) != 0;
    if (const double root = r.number("re", -1); wholeIn(root, 0, 2147483647.0)) p.rootEdge = int32_t(root);
    p.splitType = int(r.number("stp", 0));
    mesh = applyPolySplitRing(mesh, p, step.warnings.text());
    return true;
}

// The polyMoveFace family's moves, as polyExtrudeEdge and polyChipOff read them.
PolyMoveParams moveParams(const AttributeReader& r) {
    PolyMoveParams m;
    m.localTranslate = triple(r, "lt", m.localTranslate);
    m.localRotate = triple(r, "lr", m.localRotate);
    m.localScale = triple(r, "ls", m.localScale);
    m.localDirection = triple(r, "ld", m.localDirection);
    m.thickness = r.number("tk", 0);
    m.offset = r.number("off", 0);
    m.translate = triple(r, "t", m.translate);
    m.rotate = triple(r, "r", m.rotate);
    m.scale = triple(r, "s", m.scale);
    m.pivot = triple(r, "pvt", m.pivot);
    m.worldSpace = r.number("ws", 0) != 0;
    if (std::optional<MMatrix> ix = r.matrix("ix")) m.inputMatrix = *ix;
    return m;
}

void warnUnmodelledMoves(const AttributeReader& r, NodeWarnings& warnings, const char* what) {
    for (const auto& [plug, neutral] : {std::pair{"ran", 0.0}, {"tp", 1.0}, {"twt", 0.0}, {"wt", 0.0}, {"att", 0.0}})
        if (std::optional<double> v = r.number(plug); v && *v != neutral)
            warnings.add(std::string(plug) + " is not evaluated, the " + what + " move without it");
}

bool polyExtrudeEdge(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolyExtrudeEdgeParams p;
    p.inputComponents = r.componentList("ics");
    p.keepFacesTogether = r.number("kft", 1) != 0;
    const std::optional<int> divisions = countSetting(step, "d", 1, 1, 1000, "divisions");
    if (!divisions) return true;
    p.divisions = *divisions;
    p.smoothingAngle = r.number("sma", p.smoothingAngle);
    p.move = moveParams(r);
    warnUnmodelledMoves(r, step.warnings, "edges");
    mesh = applyPolyExtrudeEdge(mesh, p, step.warnings.text());
    return true;
}

bool polyChipOff(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolyChipOffParams p;
    p.inputComponents = r.componentList("ics");
    p.keepFacesTogether = r.number("kft", 1) != 0;
    p.duplicate = r.number("dup", 1) != 0;
    p.move = moveParams(r);
    warnUnmodelledMoves(r, step.warnings, "faces");
    mesh = applyPolyChipOff(mesh, p, step.warnings.text());
    return true;
}

bool polyExtrudeVertex(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolyExtrudeVertexParams p;
    p.inputComponents = r.componentList("ics");
    const std::optional<int> divisions = countSetting(step, "d", 1, 1, 1000, "divisions");
    if (!divisions) return true;
    p.divisions = *divisions;
    p.width = r.number("w", 0);
    p.length = r.number("l", 0);
    mesh = applyPolyExtrudeVertex(mesh, p, step.warnings.text());
    return true;
}

bool polyCloseBorder(const HistoryStep& step, MeshData& mesh) {
    PolyCloseBorderParams p;
    p.inputComponents = step.attributes.componentList("ics");
    mesh = applyPolyCloseBorder(mesh, p, step.warnings.text());
    return true;
}

// --- polyMergeVert, polySplitEdge, polyDelEdge, polySeparate

bool polyMergeVert(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolyMergeVertParams p;
    p.inputComponents = r.componentList("ics");
    p.distance = r.number("d", 0);
    p.texture = r.number("tx", 1) != 0;
    p.alwaysMergeTwoVertices = r.number("am", 0) != 0;
    p.mergeToComponents = r.string("mtc").value_or("");
    mesh = applyPolyMergeVert(mesh, p, step.warnings.text());
    return true;
}

bool polySplitEdge(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolySplitEdgeParams p;
    p.inputComponents = r.componentList("ics");
    const double operation = r.number("op", 1);
    if (!wholeIn(operation, 0, 1)) {
        step.warnings.add("operation " + std::to_string(operation) + " is not known, geometry passed through");
        return true;
    }
    p.operation = int(operation);
    mesh = applyPolySplitEdge(mesh, p, step.warnings.text());
    return true;
}

bool polyDelEdge(const HistoryStep& step, MeshData& mesh) {
    PolyDelEdgeParams p;
    p.inputComponents = step.attributes.componentList("ics");
    p.cleanVertices = step.attributes.number("cv", 0) != 0;
    mesh = applyPolyDelEdge(mesh, p, step.warnings.text());
    return true;
}

// One shell per output: the walk asks for the one its mesh is fed from.
bool polySeparate(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    // Separating in place or only some shells changes which shell an output
    // holds by rules not documented: named, and every shell still separated.
    for (const auto& [plug, neutral] : {std::pair{"inp", 0.0}, {"rs", 0.0}, {"sf", 0.0}, {"ef", 0.0}})
        if (std::optional<double> v = r.number(plug); v && *v != neutral)
            step.warnings.add(std::string(plug) + " is not evaluated, every shell is separated");
    std::optional<MeshData> shell = applyPolySeparate(mesh, size_t(step.geometry), step.warnings.text());
    if (!shell) return false;
    mesh = std::move(*shell);
    return true;
}

bool polyMirror(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolyMirrorParams p;
    p.inputComponents = r.componentList("ics");
    p.axis = int(r.number("a", 0));
    p.axisDirection = int(r.number("ad", 1));
    p.mirrorAxis = int(r.number("ma", 2));
    p.mirrorPosition = r.number("mps", 0);
    p.mirrorPlaneCenter = triple(r, "pc", p.mirrorPlaneCenter);
    p.mirrorPlaneRotate = triple(r, "ro", p.mirrorPlaneRotate);
    if (std::optional<std::vector<double>> pivot = r.tuple("p", 3)) p.pivot = {(*pivot)[0], (*pivot)[1], (*pivot)[2]};
    if (std::optional<double> d = r.number("d"); d && wholeIn(*d, 0, 5)) p.direction = int(*d);
    p.cutMesh = r.number("cm", 0) != 0;
    p.mergeMode = int(r.number("mm", 1));
    p.mergeThresholdType = int(r.number("mtt", 0));
    p.mergeThreshold = r.number("mt", p.mergeThreshold);
    p.flipUVs = int(r.number("fuv", 0));
    p.smoothingAngle = r.number("sma", p.smoothingAngle);
    p.worldSpace = r.number("ws", 0) != 0;
    if (std::optional<MMatrix> ix = r.matrix("ix")) p.inputMatrix = *ix;
    mesh = applyPolyMirror(mesh, p, step.warnings.text());
    return true;
}

bool polyBridgeEdge(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolyBridgeEdgeParams p;
    p.inputComponents = r.componentList("ics");
    const std::optional<int> divisions = countSetting(step, "dv", 1, 0, 10000, "divisions");
    if (!divisions) return true;
    p.divisions = *divisions;
    p.twist = r.number("twt", 0);
    p.taper = r.number("tp", 1);
    p.curveType = int(r.number("ctp", 0));
    const double offset = r.number("bo", 0), sv1 = r.number("sv1", -1), sv2 = r.number("sv2", -1);
    p.bridgeOffset = wholeIn(offset, -1e9, 1e9) ? int(offset) : 0;
    p.startVert1 = wholeIn(sv1, 0, 2147483647.0) ? int(sv1) : -1;
    p.startVert2 = wholeIn(sv2, 0, 2147483647.0) ? int(sv2) : -1;
    p.reverse = r.number("rev", 0) != 0;
    p.smoothingAngle = r.number("sma", p.smoothingAngle);
    mesh = applyPolyBridgeEdge(mesh, p, step.warnings.text());
    return true;
}

bool polyCut(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolyCutParams p;
    p.inputComponents = r.componentList("ics");
    p.cutPlaneCenter = triple(r, "pc", p.cutPlaneCenter);
    p.cutPlaneRotate = triple(r, "ro", p.cutPlaneRotate);
    p.deleteFaces = r.number("df", 0) != 0;
    p.extractFaces = r.number("ef", 0) != 0;
    p.extractOffset = triple(r, "eo", p.extractOffset);
    p.worldSpace = r.number("ws", 0) != 0;
    if (std::optional<MMatrix> ix = r.matrix("ix")) p.inputMatrix = *ix;
    else if (std::optional<MMatrix> mp = r.matrix("mp")) p.inputMatrix = *mp;
    mesh = applyPolyCut(mesh, p, step.warnings.text());
    return true;
}

bool polyCircularize(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    PolyCircularizeParams p;
    p.inputComponents = r.componentList("ics");
    p.radialOffset = r.number("ro", 0);
    p.normalOffset = r.number("no", 0);
    p.twist = r.number("tw", 0);
    p.evenlyDistribute = r.number("ed", 1) != 0;
    p.supportingEdges = r.number("se", 0) != 0;
    p.relaxInterior = r.number("ri", 0) != 0;
    const double divisions = r.number("d", 0), alignment = r.number("al", 0), orientation = r.number("nor", 0);
    p.divisions = wholeIn(divisions, 0, 1e6) ? int(divisions) : 1;
    p.alignment = wholeIn(alignment, 0, 10) ? int(alignment) : 1;
    p.normalOrientation = wholeIn(orientation, 0, 10) ? int(orientation) : 1;
    mesh = applyPolyCircularize(mesh, p, step.warnings.text());
    return true;
}

// The surface on its input is tessellated as the node's settings say.
bool nurbsTessellate(const HistoryStep& step, MeshData& mesh) {
    const AttributeReader& r = step.attributes;
    TrimmedSurface surface;
    std::vector<std::string> found;
    std::string error;
    const bool built = surfaceFromPlug(r.scene(), r.source("is"), surface, found, error);
    for (const std::string& w : found) step.warnings.add(w);
    if (!built) {
        step.warnings.add(error);
        return false;
    }
    NurbsTessellateParams p;
    auto setting = [&](const char* plug, int& value, double lo, double hi) {
        const double v = r.number(plug, value);
        if (wholeIn(v, lo, hi)) value = int(v);
        else step.warnings.add(std::string(plug) + " " + std::to_string(v) + " is out of range");
    };
    setting("f", p.format, 0, 3);
    setting("pt", p.polygonType, 0, 1);
    setting("ut", p.uType, 1, 4);
    setting("vt", p.vType, 1, 4);
    setting("un", p.uNumber, 1, 10000);
    setting("vn", p.vNumber, 1, 10000);
    p.useChordHeight = r.number("uch", 0) != 0;
    p.useChordHeightRatio = r.number("ucr", 1) != 0;
    std::string approximate;
    if (surface.regions.empty()) {
        error = nurbsTessellateMesh(surface.surface, p, mesh, &approximate);
    } else {
        // Trims are cut by the display tessellation, whose points and order are its own.
        TessellationParams display;
        display.polyType = p.polygonType == 1 ? TessellationParams::Quads : TessellationParams::Triangles;
        TessellationResult cut = tessellateSurface(surface, display);
        for (const std::string& w : cut.warnings) step.warnings.add(w);
        error = cut.error;
        mesh = std::move(cut.mesh);
        approximate = "a trimmed surface is tessellated by the display rule";
    }
    if (!approximate.empty()) step.warnings.add("approximated: " + approximate);
    if (error.empty()) return true;
    step.warnings.add(error);
    return false;
}

// Every kind of history node the walk computes: its type, the plug its
// geometry arrives on, and the function that reads its attributes and applies
// it. A node type not listed here passes its input geometry on unevaluated.
// The uv editing nodes read their own attributes (HistoryUV.cpp).
template <MeshData (*Eval)(const AttributeReader&, const MeshData&, std::string*)>
bool uvNode(const HistoryStep& step, MeshData& mesh) {
    mesh = Eval(step.attributes, mesh, step.warnings.text());
    return true;
}

const MeshHistoryNode kMeshHistoryNodes[] = {
    {"transformGeometry", GeometryInput::Group, transformGeometry},
    {"tweak", GeometryInput::Deformer, tweak},
    {"groupParts", GeometryInput::Group, groupParts},
    {"polyNormal", GeometryInput::Poly, polyNormal},
    {"polySoftEdge", GeometryInput::Poly, polySoftEdge},
    {"polyTriangulate", GeometryInput::Poly, polyTriangulate},
    {"polyColorPerVertex", GeometryInput::Poly, polyColorPerVertex},
    {"polyTweakUV", GeometryInput::Poly, polyTweakUV},
    {"polyNormalPerVertex", GeometryInput::Poly, polyNormalPerVertex},
    {"skinCluster", GeometryInput::Deformer, skinCluster},
    {"blendShape", GeometryInput::Deformer, blendShape},
    {"cluster", GeometryInput::Deformer, cluster},
    {"nonLinear", GeometryInput::Deformer, nonLinear},
    {"polyUnite", GeometryInput::Gathered, polyUnite},
    {"polyBoolOp", GeometryInput::Gathered, polyBoolOp},
    {"deleteComponent", GeometryInput::Group, deleteComponent},
    {"polySubdFace", GeometryInput::Poly, polySubdFace},
    {"polyTweak", GeometryInput::Poly, polyTweak},
    {"polyExtrudeFace", GeometryInput::Poly, polyExtrudeFace},
    {"polyCloseBorder", GeometryInput::Poly, polyCloseBorder},
    {"polyExtrudeEdge", GeometryInput::Poly, polyExtrudeEdge},
    {"polyChipOff", GeometryInput::Poly, polyChipOff},
    {"polyExtrudeVertex", GeometryInput::Poly, polyExtrudeVertex},
    {"polySmoothFace", GeometryInput::Poly, polySmoothFace},
    {"polyBevel3", GeometryInput::Poly, polyBevel},
    {"polyBevel", GeometryInput::Poly, polyBevel},
    {"polySplit", GeometryInput::Poly, polySplit},
    {"polySplitRing", GeometryInput::Poly, polySplitRing},
    {"polyPlanarProj", GeometryInput::Poly, uvNode<evalPolyPlanarProj>},
    {"polyCylProj", GeometryInput::Poly, uvNode<evalPolyCylProj>},
    {"polySphProj", GeometryInput::Poly, uvNode<evalPolySphProj>},
    {"polyAutoProj", GeometryInput::Poly, uvNode<evalPolyAutoProj>},
    {"polyLayoutUV", GeometryInput::Poly, uvNode<evalPolyLayoutUV>},
    {"polyMapCut", GeometryInput::Poly, uvNode<evalPolyMapCut>},
    {"polyMapSew", GeometryInput::Poly, uvNode<evalPolyMapSew>},
    {"polyMapSewMove", GeometryInput::Poly, uvNode<evalPolyMapSewMove>},
    {"polyMapDel", GeometryInput::Poly, uvNode<evalPolyMapDel>},
    {"polyFlipUV", GeometryInput::Poly, uvNode<evalPolyFlipUV>},
    {"createColorSet", GeometryInput::Group, uvNode<evalCreateColorSet>},
    {"polyMergeVert", GeometryInput::Poly, polyMergeVert},
    {"polySplitEdge", GeometryInput::Poly, polySplitEdge},
    {"polyDelEdge", GeometryInput::Poly, polyDelEdge},
    {"polySeparate", GeometryInput::Poly, polySeparate},
    {"polyMirror", GeometryInput::Poly, polyMirror},
    {"polyBridgeEdge", GeometryInput::Poly, polyBridgeEdge},
    {"polyCut", GeometryInput::Poly, polyCut},
    {"polyCircularize", GeometryInput::Poly, polyCircularize},
    {"nurbsTessellate", GeometryInput::Gathered, nurbsTessellate},
};

std::string inputPlug(GeometryInput input, int64_t outputIndex) {
    switch (input) {
    case GeometryInput::Poly: return "ip";
    case GeometryInput::Group: return "ig";
    case GeometryInput::Deformer: return indexed("ip", std::max<int64_t>(outputIndex, 0)) + ".ig";
    case GeometryInput::Gathered: break;
    }
    return {};
}

}  // namespace

const MeshHistoryNode* findMeshHistoryNode(const std::string& typeName) {
    for (const MeshHistoryNode& kind : kMeshHistoryNodes)
        if (typeName == kind.typeName) return &kind;
    return nullptr;
}

std::string geometryInputOf(const Scene& scene, const Node& node, int64_t outputIndex) {
    std::vector<std::string> candidates;
    const std::string deformerInput = inputPlug(GeometryInput::Deformer, outputIndex);
    if (const MeshHistoryNode* kind = findMeshHistoryNode(node.typeName())) {
        if (kind->input == GeometryInput::Gathered) return {};
        candidates = {inputPlug(kind->input, outputIndex)};
    } else if (isDeformer(node)) {
        candidates = {deformerInput};
    } else if (node.hasFn(MFn::kMidModifier)) {
        candidates = {"ip"};
    } else if (node.hasFn(MFn::kGroupParts)) {
        candidates = {"ig"};
    } else {
        // A type nothing here knows: the inputs deformers and modifiers use,
        // in that order.
        candidates = {deformerInput, "ip", "ig"};
    }
    for (const std::string& plug : candidates) {
        PlugPath path;
        if (scene.resolvePlug(node, plug, path) && scene.sourceOf(node, path)) return plug;
    }
    return {};
}

bool evaluateHistoryNode(const MeshHistoryNode& kind, const Scene& scene, const Node& node, int64_t outputIndex,
                         HistoryUpstream& upstream, MeshData& out, std::vector<std::string>& warnings) {
    const int64_t geometry = std::max<int64_t>(outputIndex, 0);
    if (kind.input != GeometryInput::Gathered) {
        const std::string input = geometryInputOf(scene, node, geometry);
        if (input.empty() || !upstream.meshAt(node, input, out)) return false;
    }
    NodeWarnings w(node, warnings);
    const HistoryStep step{AttributeReader(scene, node), node, geometry, upstream, w};
    return kind.apply(step, out);
}

}  // namespace mayahost
