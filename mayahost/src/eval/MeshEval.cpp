#include "eval/MeshEval.h"
#include "base/EvalBudget.h"
#include "base/Limits.h"

#include "mesh/MeshFromStored.h"
#include "mesh/PolyCreators.h"
#include "eval/AttributeReader.h"
#include "eval/HistoryNodes.h"

#include <algorithm>

#include <unordered_map>
#include <unordered_set>

namespace mayahost {
namespace {

std::vector<float> denseFloats(const DenseArray* a, size_t components, float absent = 0.f) {
    std::vector<float> out;
    if (!a) return out;
    out.resize(a->count() * components, absent);
    size_t have = std::min<size_t>(components, a->components);
    for (size_t e = 0; e < a->count(); ++e)
        if (a->has(e))
            for (size_t c = 0; c < have; ++c) out[e * components + c] = float(a->at(e, c));
    return out;
}

std::vector<int64_t> multiIndices(const Scene& scene, const Node& node, const char* multi) {
    PlugPath path;
    if (!scene.resolvePlug(node, multi, path)) return {};
    return node.logicalIndices(path);
}

std::string stringAt(const Scene& scene, const Node& node, const std::string& plug) {
    PlugPath path;
    std::string out;
    if (scene.resolvePlug(node, plug, path)) scene.readString(node, path, out);
    return out;
}

std::vector<float> denseFloats(const Node& node, const std::string& key, size_t components, float absent = 0.f) {
    return denseFloats(node.denseArray(key), components, absent);
}

// Whether every element of `a` is present with `components` values of the wanted storage.
bool plainArray(const DenseArray& a, DenseArray::Storage storage, size_t components) {
    return a.storage == storage && a.components == components && a.presentCount() == a.count();
}

// `take`: the node's stored geometry is released after this read, so the
// largest arrays are moved out of it instead of copied.
StoredMesh readStored(const Scene& scene, const Node& node, bool take) {
    StoredMesh s;
    DenseArray vertices = take ? scene.takeDenseArray(node, "vrts") : DenseArray{};
    if (take && plainArray(vertices, DenseArray::Storage::Float, 3))
        s.vertices = std::move(vertices.f);
    else
        s.vertices = take ? denseFloats(&vertices, 3) : denseFloats(node, "vrts", 3);
    s.tweaks = denseFloats(node, "pnts", 3);
    DenseArray takenEdges = take ? scene.takeDenseArray(node, "edge") : DenseArray{};
    const DenseArray* ed = take ? &takenEdges : node.denseArray("edge");
    if (take && plainArray(takenEdges, DenseArray::Storage::Int, 3)) {
        s.edges = std::move(takenEdges.i);
    } else if (ed) {
        s.edges.resize(ed->count() * 3);
        for (size_t e = 0; e < ed->count(); ++e)
            for (size_t c = 0; c < 3 && c < ed->components; ++c) s.edges[3 * e + c] = int32_t(ed->at(e, c));
    }
    if (const scenefile::Value* faces = node.data("face"))
        if (const auto* poly = std::get_if<scenefile::PolyFaces>(faces)) s.facesView = poly;
    s.normals = denseFloats(node, "normals", 3, 1e20f);
    for (int64_t i : multiIndices(scene, node, "uvSet")) {
        std::string prefix = "uvSet[" + std::to_string(i) + "]";
        StoredUVSet set;
        set.index = int32_t(i);
        set.name = stringAt(scene, node, prefix + ".uvSetName");
        if (set.name.empty() && i == 0) set.name = "map1";
        set.points = denseFloats(node, prefix + ".uvSetPoints", 2);
        s.uvSets.push_back(std::move(set));
    }
    s.currentUVSet = stringAt(scene, node, "currentUVSet");
    for (int64_t i : multiIndices(scene, node, "colorSet")) {
        std::string prefix = "colorSet[" + std::to_string(i) + "]";
        StoredColorSet set;
        set.index = int32_t(i);
        set.name = stringAt(scene, node, prefix + ".colorName");
        set.rgba = denseFloats(node, prefix + ".colorSetPoints", 4);
        s.colorSets.push_back(std::move(set));
    }
    s.currentColorSet = stringAt(scene, node, "currentColorSet");
    return s;
}

bool hasStoredData(const Node& node) { return node.denseArray("vrts") || node.data("face"); }

// Whether the mesh's geometry goes on to other nodes (a deformer, a combine,
// a second shape), which evaluate it again from its stored data.
bool feedsOtherNodes(const Scene& scene, const Node& mesh) {
    for (const Connection* c : scene.connectionsOf(mesh, nullptr, true, false)) {
        const AttrSpec* attr = c->sourcePlug.steps.empty() ? nullptr : c->sourcePlug.steps.front().attr;
        if (!attr || attr->longName != "instObjGroups") return true;
    }
    return false;
}

std::string nothingToPassOn(const Node& node) {
    return describedNode(node) + " not evaluated: it has no input geometry to pass on";
}

class HistoryWalker : public HistoryUpstream {
public:
    // `releasing`: a shape whose stored geometry is released once it is evaluated.
    HistoryWalker(const Scene& scene, const Node* releasing) : scene_(scene), releasing_(releasing) {}

    MeshEvaluation evaluate(const Node& node, int depth) {
        // The shape itself counts as met: a history that leads back to it is a cycle.
        visited_.insert(&node);
        OnPath here(onPath_, node);
        MeshEvaluation result;
        PlugPath inMesh;
        PlugRef source;
        if (scene_.resolvePlug(node, "inMesh", inMesh)) source = scene_.sourceOf(node, inMesh);
        if (source) {
            MeshData mesh;
            // The walk's own findings land in `result` through `current_`.
            MeshEvaluation* outer = current_;
            current_ = &result;
            const bool evaluated = fromHistory(source, depth + 1, mesh);
            current_ = outer;
            if (evaluated) {
                addTweaks(node, mesh, result);
                result.mesh = std::make_shared<MeshData>(std::move(mesh));
                return result;
            }
            // A history that leads to nothing evaluable (surfaces, curves)
            // names the node feeding the mesh, unless the walk said why.
            if (result.warnings.empty() && result.error.empty()) {
                const Node& feeding = *source.node;
                result.warnings.push_back(findMeshHistoryNode(feeding.typeName())
                                              ? describedNode(feeding) + ": none of its input geometry could be evaluated"
                                              : nothingToPassOn(feeding));
            }
            if (hasStoredData(node)) result.warnings.push_back("history of " + node.name() + " not evaluated: using its stored data");
        }
        MeshData mesh;
        if (&node == releasing_) tookStored_ = true;
        StoredMeshResult stored = meshFromStored(readStored(scene_, node, &node == releasing_), mesh);
        result.warnings.insert(result.warnings.end(), stored.warnings.begin(), stored.warnings.end());
        if (!stored.error.empty()) {
            result.error = node.name() + ": " + stored.error;
        } else if (!result.error.empty() && mesh.numFaces() > 0) {
            // Why the history failed is no reason for an empty mesh once the stored data stands in.
            result.warnings.push_back(std::move(result.error));
            result.error.clear();
        }
        result.mesh = std::make_shared<MeshData>(std::move(mesh));
        return result;
    }

    // Whether the shape being released gave up its stored geometry to the walk.
    bool tookStored() const { return tookStored_; }

    bool meshAt(const Node& node, const std::string& plug, MeshData& out) override {
        PlugPath path;
        if (!scene_.resolvePlug(node, plug, path)) return false;
        PlugRef source = scene_.sourceOf(node, path);
        return source && fromHistory(source, depth_ + 1, out);
    }

private:
    // The mesh the plug `source` puts out: a mesh shape's own evaluation, a
    // primitive creator's mesh, an evaluated modifier's or deformer's result,
    // or, for any other node, the nearest upstream geometry that can be
    // evaluated.
    bool fromHistory(const PlugRef& source, int depth, MeshData& out) {
        const Node& node = *source.node;
        MeshEvaluation& result = *current_;
        if (depth > limits().maxHistoryDepth) {
            result.warnings.push_back(historyTooDeep(node));
            return false;
        }
        // A node met twice in one walk is a cycle or a second road to a dead end.
        if (!visited_.insert(&node).second) {
            if (onPath_.count(&node)) result.warnings.push_back("history cycle: " + node.name() + " feeds itself");
            return false;
        }
        OnPath here(onPath_, node);
        if (node.hasFn(MFn::kMesh)) {
            MeshEvaluation upstream = evaluate(node, depth);
            result.warnings.insert(result.warnings.end(), upstream.warnings.begin(), upstream.warnings.end());
            if (!upstream.error.empty()) {
                result.error = upstream.error;
                return false;
            }
            out = *upstream.mesh;
            return true;
        }
        if (isPolyCreatorType(node.typeName())) {
            std::string error = makePolyCreatorMesh(node.typeName(), CreatorAttributes(scene_, node), out);
            if (error.empty()) return true;
            result.error = node.name() + ": " + error;
            return false;
        }
        // A deformer's outputGeometry[i] is made from its input[i].
        const int64_t outputIndex = source.path.steps.empty() ? 0 : std::max<int64_t>(source.path.steps.back().index, 0);
        const int outerDepth = depth_;
        depth_ = depth;
        bool evaluated = false;
        if (const MeshHistoryNode* kind = findMeshHistoryNode(node.typeName())) {
            evaluated = evaluateHistoryNode(*kind, scene_, node, outputIndex, *this, out, result.warnings);
        } else {
            evaluated = passInputOn(node, outputIndex, depth, out);
            if (evaluated)
                result.warnings.push_back(describedNode(node) + " not evaluated: its input geometry is used");
            else if (node.hasFn(MFn::kPolyCreator))
                // A creator this stand-in does not build: say so rather than leave the mesh silently empty.
                result.warnings.push_back(nothingToPassOn(node));
        }
        depth_ = outerDepth;
        // Checked after each node, as what a node makes is not always known
        // before (divisions, splits); the creators and subdivisions ask first.
        if (evaluated && currentEvalBudget()) {
            if (std::string why = currentEvalBudget()->refuse(out.bytes()); !why.empty()) {
                result.error = node.name() + ": " + why + " (the mesh is left empty)";
                out = MeshData{};
                return false;
            }
        }
        return evaluated;
    }

    // A node left at rest: its geometry input when it has a known one, else
    // the first of its inputs that leads to geometry.
    bool passInputOn(const Node& node, int64_t outputIndex, int depth, MeshData& out) {
        std::string input = geometryInputOf(scene_, node, outputIndex);
        if (!input.empty()) return meshAt(node, input, out);
        for (const Connection* c : scene_.connectionsOf(node, nullptr, false, true)) {
            if (!c->source || c->source == &node) continue;
            if (fromHistory(PlugRef{c->source, c->sourcePlug}, depth + 1, out)) return true;
        }
        return false;
    }

    // A shape's pnts move the points its history delivers.
    void addTweaks(const Node& node, MeshData& mesh, MeshEvaluation& result) {
        std::vector<float> tweaks = denseFloats(node, "pnts", 3);
        if (tweaks.size() > mesh.points.size()) {
            result.warnings.push_back(node.name() + ": tweaks beyond the mesh's vertices ignored");
            tweaks.resize(mesh.points.size());
        }
        for (size_t i = 0; i < tweaks.size(); ++i) mesh.points[i] += tweaks[i];
    }

    // The nodes between the shape and the one being evaluated: meeting one
    // of them again is a cycle.
    struct OnPath {
        OnPath(std::unordered_set<const Node*>& path, const Node& node) : path_(path), node_(&node) { path_.insert(node_); }
        ~OnPath() { path_.erase(node_); }
        std::unordered_set<const Node*>& path_;
        const Node* node_;
    };

    const Scene& scene_;
    const Node* releasing_ = nullptr;
    bool tookStored_ = false;
    std::unordered_set<const Node*> visited_;
    std::unordered_set<const Node*> onPath_;
    MeshEvaluation* current_ = nullptr;
    int depth_ = 0;
};

// Each mesh is evaluated once per scene; a scene never drops its nodes, so
// their addresses identify them for as long as the cache lives.
// An entry whose mesh was released is built again when next asked for.
struct MeshCache {
    std::unordered_map<const Node*, MeshEvaluation> entries;
};

}  // namespace

const MeshEvaluation& evaluateMesh(const Scene& scene, const Node& meshNode) {
    MeshCache& c = scene.cached<MeshCache>();
    auto it = c.entries.find(&meshNode);
    if (it != c.entries.end() && it->second.mesh) return it->second;
    EvalBudget& budget = scene.cached<EvalBudget>();
    ScopedEvalBudget scope(budget);
    // The file's copy of a mesh no other node reads is not needed again: the
    // evaluated mesh is kept for the scene's life. Dropping it keeps a large
    // scene's memory near the size of what is evaluated from it.
    const bool release = !feedsOtherNodes(scene, meshNode);
    HistoryWalker walker(scene, release ? &meshNode : nullptr);
    MeshEvaluation result = walker.evaluate(meshNode, 0);
    if (!result.mesh) result.mesh = std::make_shared<MeshData>();
    result.rebuildable = !walker.tookStored();
    // The arrays its geometry was stored in: points, edges, faces, normals,
    // tweaks, uv and colour points. A mesh built from history reads its
    // tweaks again when it is built again.
    if (release)
        scene.releaseStored(meshNode, [&result](const std::string& key) {
            return key == "vrts" || key == "edge" || key == "face" || key == "normals" ||
                   (key == "pnts" && !result.rebuildable) ||
                   (key.starts_with("uvSet[") && key.ends_with("].uvSetPoints")) ||
                   (key.starts_with("colorSet[") && key.ends_with("].colorSetPoints"));
        });
    budget.charge(result.mesh->bytes());
    // The walk may have evaluated other meshes into the cache.
    it = c.entries.find(&meshNode);
    if (it != c.entries.end()) {
        // Built again after a release: its findings were said the first time.
        it->second.mesh = std::move(result.mesh);
        return it->second;
    }
    // Said once per mesh, when it is first asked for.
    logFindings(scene, "mesh", meshNode, result.warnings, result.error);
    return c.entries[&meshNode] = std::move(result);
}

void releaseEvaluatedMesh(const Scene& scene, const Node& meshNode) {
    MeshCache& c = scene.cached<MeshCache>();
    auto it = c.entries.find(&meshNode);
    if (it == c.entries.end() || !it->second.rebuildable || !it->second.mesh) return;
    scene.cached<EvalBudget>().refund(it->second.mesh->bytes());
    it->second.mesh.reset();
    it->second.normals.reset();
}

void setEvaluatedMesh(const Scene& scene, const Node& meshNode, MeshData mesh) {
    MeshEvaluation& entry = scene.cached<MeshCache>().entries[&meshNode];
    entry = MeshEvaluation{};
    scene.cached<EvalBudget>().charge(mesh.bytes());
    entry.mesh = std::make_shared<MeshData>(std::move(mesh));
}

}  // namespace mayahost
