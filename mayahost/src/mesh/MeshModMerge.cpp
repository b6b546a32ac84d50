// Merging, cutting and separating: polyMergeVert, polySplitEdge, polyDelEdge
// (and deleteComponent's edges and vertices), polySeparate.

#include "mesh/MeshModifiers.h"

#include "mesh/MeshModUtil.h"
#include "mesh/MeshVec.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <unordered_map>

namespace mayahost {
namespace {

using meshmod::addWarning;
using meshmod::dropUnusedMaps;
using meshmod::pairKey;

using UnionFind = meshmod::LowUnion;

uint32_t nextCorner(const MeshData& m, uint32_t c) {
    const uint32_t loop = uint32_t(std::upper_bound(m.loopStart.begin(), m.loopStart.end(), c) - m.loopStart.begin()) - 1;
    return c + 1 < m.loopStart[loop + 1] ? c + 1 : m.loopStart[loop];
}

// Faces rebuilt corner by corner: each output corner copies the per-corner data
// of an input corner and takes a new vertex id. Edges are the caller's.
struct FaceBuilder {
    const MeshData& in;
    MeshData out;
    std::vector<uint32_t> sources;
    explicit FaceBuilder(const MeshData& mesh) : in(mesh) {
        out.faceLoopStart.push_back(0);
        out.loopStart.push_back(0);
    }
    void corner(uint32_t source, int32_t vertex) {
        sources.push_back(source);
        out.faceVertices.push_back(vertex);
    }
    void endLoop() { out.loopStart.push_back(uint32_t(out.faceVertices.size())); }
    void endFace() { out.faceLoopStart.push_back(uint32_t(out.loopStart.size() - 1)); }
    MeshData finish() {
        out.currentUVSet = in.currentUVSet;
        for (const MeshUVSet& set : in.uvSets) {
            MeshUVSet copy{set.name, set.u, set.v, {}};
            if (set.faceVertexUV.size() == in.numFaceVertices())
                for (uint32_t c : sources) copy.faceVertexUV.push_back(set.faceVertexUV[c]);
            out.uvSets.push_back(std::move(copy));
        }
        out.currentColorSet = in.currentColorSet;
        for (const MeshColorSet& set : in.colorSets) {
            MeshColorSet copy{set.name, set.rgba, {}};
            if (set.faceVertexColor.size() == in.numFaceVertices())
                for (uint32_t c : sources) copy.faceVertexColor.push_back(set.faceVertexColor[c]);
            out.colorSets.push_back(std::move(copy));
        }
        if (in.faceVertexNormals.size() == 3 * in.numFaceVertices() && !sources.empty())
            for (uint32_t c : sources)
                out.faceVertexNormals.insert(out.faceVertexNormals.end(), &in.faceVertexNormals[3 * c],
                                             &in.faceVertexNormals[3 * c + 3]);
        if (out.numFaces() == 0) out.faceLoopStart.clear(), out.loopStart.clear();
        return std::move(out);
    }
};

// Drops the vertices `removed` marks, renumbering the rest in order.
void dropVertices(MeshData& m, const std::vector<uint8_t>& removed) {
    std::vector<int32_t> newId(m.numVertices(), -1);
    std::vector<float> points;
    int32_t next = 0;
    for (size_t v = 0; v < newId.size(); ++v) {
        if (removed[v]) continue;
        newId[v] = next++;
        points.insert(points.end(), m.points.begin() + long(3 * v), m.points.begin() + long(3 * v + 3));
    }
    m.points = std::move(points);
    for (int32_t& v : m.faceVertices) v = newId[size_t(v)];
    for (int32_t& v : m.edges) v = newId[size_t(v)];
}

// The selection of an optional component list (absent: `whenAbsent`), or
// nullopt with a warning when it does not parse.
std::optional<ComponentSelection> parseOptional(const MeshData& mesh, const std::optional<std::vector<std::string>>& items,
                                                const char* node, std::string* warning) {
    ComponentSelection sel;
    if (!items) return sel;
    if (std::string error = parseComponentList(*items, componentLimits(mesh), sel); !error.empty()) {
        addWarning(warning, std::string(node) + ": component list ignored: " + error);
        return std::nullopt;
    }
    return sel;
}

// Vertices of the listed vertices, edges and faces, sorted and unique.
std::vector<int32_t> selectionVertices(const MeshData& m, const ComponentSelection& sel) {
    std::vector<int32_t> out = sel.vertices;
    for (int32_t e : sel.edges) out.insert(out.end(), {m.edges[2 * size_t(e)], m.edges[2 * size_t(e) + 1]});
    for (int32_t f : sel.faces)
        for (uint32_t c = m.loopStart[m.faceLoopStart[size_t(f)]]; c < m.loopStart[m.faceLoopStart[size_t(f) + 1]]; ++c)
            out.push_back(m.faceVertices[c]);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// Clusters of `ids` within `distance` of one another, transitively, found
// through a grid of cells `distance` wide. Returns the union-find over vertices.
UnionFind clusterByDistance(const MeshData& m, const std::vector<int32_t>& ids, double distance, std::string* warning) {
    UnionFind groups(m.numVertices());
    if (ids.size() < 2) return groups;
    MeshVec lo = meshPoint(m.points.data(), ids[0]), hi = lo;
    for (int32_t v : ids) {
        const MeshVec p = meshPoint(m.points.data(), v);
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    // A tolerance wider than the selection itself joins everything: no grid needed.
    if (distance >= (hi - lo).length()) {
        for (int32_t v : ids) groups.unite(ids[0], v);
        return groups;
    }
    const double cell = std::max(distance, 1e-12 * std::max(1.0, (hi - lo).length()));
    auto cellOf = [&](const MeshVec& p) {
        return std::array<int64_t, 3>{int64_t(std::floor((p.x - lo.x) / cell)), int64_t(std::floor((p.y - lo.y) / cell)),
                                      int64_t(std::floor((p.z - lo.z) / cell))};
    };
    std::map<std::array<int64_t, 3>, std::vector<int32_t>> grid;
    for (int32_t v : ids) grid[cellOf(meshPoint(m.points.data(), v))].push_back(v);
    // Points piled into a few cells would compare pair by pair: bounded.
    uint64_t comparisons = 0;
    constexpr uint64_t kMaxComparisons = 200'000'000;
    for (const auto& [key, members] : grid) {
        for (int64_t dx = -1; dx <= 1; ++dx)
            for (int64_t dy = -1; dy <= 1; ++dy)
                for (int64_t dz = -1; dz <= 1; ++dz) {
                    auto other = grid.find({key[0] + dx, key[1] + dy, key[2] + dz});
                    if (other == grid.end() || other->first < key) continue;
                    for (int32_t a : members)
                        for (int32_t b : other->second) {
                            if (++comparisons > kMaxComparisons) {
                                addWarning(warning, "polyMergeVert: too many vertices within the distance of one another; "
                                                    "the merge stops part way");
                                return groups;
                            }
                            if (a < b && (meshPoint(m.points.data(), a) - meshPoint(m.points.data(), b)).length() <= distance)
                                groups.unite(a, b);
                        }
                }
    }
    return groups;
}

}  // namespace

// --- polyMergeVert ------------------------------------------------------------

MeshData applyPolyMergeVert(const MeshData& in, const PolyMergeVertParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyMergeVert", warning)) return in;
    std::optional<ComponentSelection> sel = parseOptional(in, params.inputComponents, "polyMergeVert", warning);
    if (!sel) return in;
    std::vector<int32_t> ids = params.inputComponents ? selectionVertices(in, *sel) : std::vector<int32_t>{};
    if (!params.inputComponents) {
        ids.resize(in.numVertices());
        std::iota(ids.begin(), ids.end(), 0);
    }
    if (!std::isfinite(params.distance)) {
        addWarning(warning, "polyMergeVert: distance is not a number, geometry passed through");
        return in;
    }
    std::optional<MeshVec> target;  // where everything goes, with mergeToComponents
    if (!params.mergeToComponents.empty()) {
        std::vector<std::string> items;
        for (size_t at = 0; at < params.mergeToComponents.size();) {
            const size_t end = std::min(params.mergeToComponents.find(' ', at), params.mergeToComponents.size());
            if (end > at) items.push_back(params.mergeToComponents.substr(at, end - at));
            at = end + 1;
        }
        ComponentSelection to;
        if (std::string error = parseComponentList(items, componentLimits(in), to); !error.empty() || to.empty()) {
            addWarning(warning, "polyMergeVert: mergeToComponents ignored: " + (error.empty() ? "nothing listed" : error));
        } else {
            MeshVec sum;
            const std::vector<int32_t> toIds = selectionVertices(in, to);
            for (int32_t v : toIds) sum += meshPoint(in.points.data(), v);
            if (!toIds.empty()) target = sum * (1.0 / double(toIds.size()));
        }
    }
    UnionFind groups(in.numVertices());
    if (target || (params.alwaysMergeTwoVertices && ids.size() == 2)) {
        for (int32_t v : ids) groups.unite(ids.front(), v);
    } else {
        groups = clusterByDistance(in, ids, std::max(0.0, params.distance), warning);
    }

    // Survivors (each cluster's lowest id) take the cluster's mean, or the target.
    const size_t n = in.numVertices();
    std::vector<MeshVec> sum(n);
    std::vector<int32_t> count(n, 0);
    for (int32_t v : ids) {
        const int32_t root = groups.find(v);
        sum[size_t(root)] += meshPoint(in.points.data(), v);
        ++count[size_t(root)];
    }
    MeshData merged = in;
    std::vector<uint8_t> removed(n, 0);
    for (size_t v = 0; v < n; ++v) {
        const int32_t root = groups.find(int32_t(v));
        if (root != int32_t(v)) {
            removed[v] = 1;
        } else if (count[v] > 1) {
            const MeshVec p = target ? *target : sum[v] * (1.0 / count[v]);
            merged.points[3 * v] = float(p.x), merged.points[3 * v + 1] = float(p.y), merged.points[3 * v + 2] = float(p.z);
        }
    }
    if (std::find(removed.begin(), removed.end(), 1) == removed.end()) return in;

    // Faces on the survivors, repeated corners in a row walked once.
    FaceBuilder faces(merged);
    size_t collapsed = 0;
    for (size_t f = 0; f < in.numFaces(); ++f) {
        std::vector<std::vector<uint32_t>> loops;
        for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1]; ++l) {
            std::vector<uint32_t> kept;
            for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c)
                if (kept.empty() || groups.find(in.faceVertices[kept.back()]) != groups.find(in.faceVertices[c]))
                    kept.push_back(c);
            while (kept.size() > 1 && groups.find(in.faceVertices[kept.back()]) == groups.find(in.faceVertices[kept.front()]))
                kept.pop_back();
            if (kept.size() >= 3) loops.push_back(std::move(kept));
            else if (l == in.faceLoopStart[f]) break;  // the outer loop collapsed: the face goes
        }
        if (loops.empty()) {
            ++collapsed;
            continue;
        }
        for (const auto& loop : loops) {
            for (uint32_t c : loop) faces.corner(c, groups.find(in.faceVertices[c]));
            faces.endLoop();
        }
        faces.endFace();
    }
    MeshData out = faces.finish();
    out.points = merged.points;
    std::unordered_map<uint64_t, size_t> seen;
    for (size_t e = 0; e < in.numEdges(); ++e) {
        const int32_t a = groups.find(in.edges[2 * e]), b = groups.find(in.edges[2 * e + 1]);
        if (a == b || !seen.emplace(pairKey(a, b), e).second) continue;
        out.edges.insert(out.edges.end(), {a, b});
        out.edgeSmooth.push_back(in.edgeSmooth.size() == in.numEdges() ? in.edgeSmooth[e] : 1);
    }
    // With texture, a merged vertex whose parts had one uv each keeps one uv.
    if (params.texture)
        for (MeshUVSet& set : out.uvSets) {
            if (set.faceVertexUV.size() != out.numFaceVertices()) continue;
            std::vector<int32_t> uvOf(n, -2);  // per input vertex: its single uv, -1 several
            for (size_t c = 0; c < faces.sources.size(); ++c) {
                int32_t& u = uvOf[size_t(in.faceVertices[faces.sources[c]])];
                const int32_t id = set.faceVertexUV[c];
                u = u == -2 ? id : (u == id ? u : -1);
            }
            std::vector<std::vector<int32_t>> uvsOfRoot(n);
            std::vector<uint8_t> mixed(n, 0);
            for (size_t v = 0; v < n; ++v) {
                const size_t root = size_t(groups.find(int32_t(v)));
                if (uvOf[v] == -1) mixed[root] = 1;
                else if (uvOf[v] >= 0) uvsOfRoot[root].push_back(uvOf[v]);
            }
            std::vector<int32_t> replace(set.u.size(), -1);
            for (size_t root = 0; root < n; ++root) {
                auto& uvs = uvsOfRoot[root];
                if (mixed[root] || uvs.size() < 2) continue;
                const int32_t keep = *std::min_element(uvs.begin(), uvs.end());
                double u = 0, v = 0;
                for (int32_t id : uvs) u += set.u[size_t(id)], v += set.v[size_t(id)], replace[size_t(id)] = keep;
                set.u[size_t(keep)] = float(u / double(uvs.size())), set.v[size_t(keep)] = float(v / double(uvs.size()));
            }
            for (int32_t& id : set.faceVertexUV)
                if (id >= 0 && replace[size_t(id)] >= 0) id = replace[size_t(id)];
        }
    dropVertices(out, removed);
    dropUnusedMaps(out);
    if (collapsed) addWarning(warning, "polyMergeVert: " + std::to_string(collapsed) + " faces collapsed and were removed");
    return out;
}

// --- polySplitEdge --------------------------------------------------------------

MeshData applyPolySplitEdge(const MeshData& in, const PolySplitEdgeParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polySplitEdge", warning)) return in;
    if (params.operation != 0 && params.operation != 1) {
        addWarning(warning, "polySplitEdge: operation " + std::to_string(params.operation) + " is unknown, geometry passed through");
        return in;
    }
    std::optional<ComponentSelection> sel = parseOptional(in, params.inputComponents, "polySplitEdge", warning);
    if (!sel || sel->edges.empty()) return in;
    const size_t corners = in.numFaceVertices();
    // Every side of every face, as the corner it starts at, belongs to an edge
    // (a class); splitting gives sides classes of their own.
    std::unordered_map<uint64_t, int32_t> edgeOf;
    for (size_t e = 0; e < in.numEdges(); ++e) edgeOf.emplace(pairKey(in.edges[2 * e], in.edges[2 * e + 1]), int32_t(e));
    std::vector<int32_t> sideClass(corners, -1);
    std::vector<int32_t> sourceEdge;  // per class beyond the input edges: the edge it copies
    std::vector<std::vector<uint32_t>> sidesOf(in.numEdges());
    std::vector<uint32_t> next(corners);
    for (size_t c = 0; c < corners; ++c) {
        next[c] = nextCorner(in, uint32_t(c));
        auto it = edgeOf.find(pairKey(in.faceVertices[c], in.faceVertices[next[c]]));
        if (it == edgeOf.end()) continue;  // a side without an edge cannot be split: it stays a seam of its own
        sideClass[c] = it->second;
        sidesOf[size_t(it->second)].push_back(uint32_t(c));
    }
    size_t skipped = 0;
    auto newClass = [&](uint32_t side, int32_t e) {
        sideClass[side] = int32_t(in.numEdges() + sourceEdge.size());
        sourceEdge.push_back(e);
    };
    for (int32_t e : sel->edges) {
        const auto& sides = sidesOf[size_t(e)];
        if (params.operation == 1) {
            if (sides.size() != 2) ++skipped;
            else newClass(sides[1], e);
            continue;
        }
        if (sides.size() <= 2) continue;
        // The first face and the first after it walking the edge the other way stay joined.
        const int32_t from = in.faceVertices[sides[0]];
        size_t partner = 0;
        for (size_t k = 1; k < sides.size() && !partner; ++k)
            if (in.faceVertices[sides[k]] != from) partner = k;
        for (size_t k = 1; k < sides.size(); ++k)
            if (k != partner) newClass(sides[k], e);
    }
    if (skipped)
        addWarning(warning, "polySplitEdge: " + std::to_string(skipped) + " listed edges are not between two faces and were kept");
    if (sourceEdge.empty()) return in;

    // Corners at one vertex stay together where a side at that vertex joins them.
    std::vector<int32_t> prev(corners);
    for (size_t c = 0; c < corners; ++c) prev[next[c]] = int32_t(c);
    UnionFind joined(corners);
    std::unordered_map<uint64_t, int32_t> firstAt;  // (class, vertex) -> corner
    auto meet = [&](int32_t cls, uint32_t corner) {
        if (cls < 0) return;
        const uint64_t key = (uint64_t(uint32_t(cls)) << 32) | uint32_t(in.faceVertices[corner]);
        auto [it, made] = firstAt.emplace(key, int32_t(corner));
        if (!made) joined.unite(it->second, int32_t(corner));
    };
    for (size_t c = 0; c < corners; ++c) {
        meet(sideClass[c], uint32_t(c));
        meet(sideClass[c], next[c]);
    }
    // The group of each vertex's lowest corner keeps it; the others get new vertices.
    std::vector<int32_t> groupVertex(corners, -1);
    std::vector<std::vector<int32_t>> rootsOf(in.numVertices());
    for (size_t c = 0; c < corners; ++c) {
        const int32_t root = joined.find(int32_t(c));
        if (root == int32_t(c)) rootsOf[size_t(in.faceVertices[c])].push_back(root);
    }
    MeshData out = in;
    for (size_t v = 0; v < rootsOf.size(); ++v)
        for (size_t g = 0; g < rootsOf[v].size(); ++g) {
            if (g == 0) {
                groupVertex[size_t(rootsOf[v][g])] = int32_t(v);
                continue;
            }
            groupVertex[size_t(rootsOf[v][g])] = int32_t(out.numVertices());
            out.points.insert(out.points.end(), in.points.begin() + long(3 * v), in.points.begin() + long(3 * v + 3));
        }
    for (size_t c = 0; c < corners; ++c) out.faceVertices[c] = groupVertex[size_t(joined.find(int32_t(c)))];
    // Each edge's ends from the first side it is walked by, in its own direction.
    const size_t classes = in.numEdges() + sourceEdge.size();
    out.edges.resize(2 * classes);
    out.edgeSmooth.resize(classes, 1);
    std::vector<uint8_t> placed(classes, 0);
    for (size_t k = 0; k < sourceEdge.size(); ++k) {
        const size_t e = size_t(sourceEdge[k]), cls = in.numEdges() + k;
        out.edges[2 * cls] = in.edges[2 * e], out.edges[2 * cls + 1] = in.edges[2 * e + 1];
        out.edgeSmooth[cls] = in.edgeSmooth.size() == in.numEdges() ? in.edgeSmooth[e] : 1;
    }
    for (size_t c = 0; c < corners; ++c) {
        const int32_t cls = sideClass[c];
        if (cls < 0 || placed[size_t(cls)]) continue;
        placed[size_t(cls)] = 1;
        const bool forward = in.faceVertices[c] == out.edges[2 * size_t(cls)];
        out.edges[2 * size_t(cls)] = forward ? out.faceVertices[c] : out.faceVertices[next[c]];
        out.edges[2 * size_t(cls) + 1] = forward ? out.faceVertices[next[c]] : out.faceVertices[c];
    }
    return out;
}

// --- polyDelEdge and deleteComponent's edges and vertices ---------------------------

namespace {

// Removes the `candidates` left with exactly two edges: the lower edge takes
// the far end of the higher one, which goes, and the faces drop the corner.
// A vertex whose removal would leave a face under three corners stays.
MeshData removeWingedVertices(const MeshData& in, std::vector<int32_t> candidates) {
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    std::vector<std::vector<int32_t>> edgesAt(in.numVertices());
    for (size_t e = 0; e < in.numEdges(); ++e)
        for (int i = 0; i < 2; ++i) edgesAt[size_t(in.edges[2 * e + size_t(i)])].push_back(int32_t(e));
    std::vector<std::vector<uint32_t>> loopsAt(in.numVertices());
    std::vector<uint32_t> loopCorners(in.numLoops());
    for (size_t l = 0; l < in.numLoops(); ++l) {
        loopCorners[l] = in.loopStart[l + 1] - in.loopStart[l];
        for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c) loopsAt[size_t(in.faceVertices[c])].push_back(uint32_t(l));
    }
    MeshData out = in;
    std::vector<uint8_t> removed(in.numVertices(), 0), deadEdge(in.numEdges(), 0);
    for (int32_t v : candidates) {
        auto& at = edgesAt[size_t(v)];
        // A listed vertex whose edges all dissolved stands alone: it goes too.
        if (at.empty() && std::all_of(loopsAt[size_t(v)].begin(), loopsAt[size_t(v)].end(),
                                      [&](uint32_t l) { return loopCorners[l] == 0; })) {
            removed[size_t(v)] = loopsAt[size_t(v)].empty();
            continue;
        }
        if (at.size() != 2 || loopsAt[size_t(v)].empty()) continue;
        const int32_t lo = std::min(at[0], at[1]), hi = std::max(at[0], at[1]);
        const int32_t far = out.edges[2 * size_t(hi)] == v ? out.edges[2 * size_t(hi) + 1] : out.edges[2 * size_t(hi)];
        const int32_t near = out.edges[2 * size_t(lo)] == v ? out.edges[2 * size_t(lo) + 1] : out.edges[2 * size_t(lo)];
        if (far == near) continue;
        bool fits = true;
        for (uint32_t l : loopsAt[size_t(v)]) fits &= loopCorners[l] > 3;
        if (!fits) continue;
        for (uint32_t l : loopsAt[size_t(v)]) --loopCorners[l];
        removed[size_t(v)] = 1;
        deadEdge[size_t(hi)] = 1;
        (out.edges[2 * size_t(lo)] == v ? out.edges[2 * size_t(lo)] : out.edges[2 * size_t(lo) + 1]) = far;
        std::replace(edgesAt[size_t(far)].begin(), edgesAt[size_t(far)].end(), hi, lo);
        at.clear();
    }
    if (std::find(removed.begin(), removed.end(), 1) == removed.end()) return in;
    FaceBuilder faces(out);
    for (size_t f = 0; f < in.numFaces(); ++f) {
        for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1]; ++l) {
            for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c)
                if (!removed[size_t(in.faceVertices[c])]) faces.corner(c, in.faceVertices[c]);
            faces.endLoop();
        }
        faces.endFace();
    }
    MeshData result = faces.finish();
    result.points = out.points;
    for (size_t e = 0; e < in.numEdges(); ++e) {
        if (deadEdge[e]) continue;
        result.edges.insert(result.edges.end(), {out.edges[2 * e], out.edges[2 * e + 1]});
        result.edgeSmooth.push_back(in.edgeSmooth.size() == in.numEdges() ? in.edgeSmooth[e] : 1);
    }
    dropVertices(result, removed);
    dropUnusedMaps(result);
    return result;
}

// Cuts the given edges where a face walks them out and straight back
// (a, v, a): the face loses v and one a, and the edge goes.
MeshData cutSpikes(const MeshData& in, const std::vector<uint64_t>& spikes) {
    FaceBuilder faces(in);
    for (size_t f = 0; f < in.numFaces(); ++f) {
        for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1]; ++l) {
            std::vector<uint32_t> loop;
            for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c) loop.push_back(c);
            for (size_t k = 0; loop.size() > 3 && k < loop.size();) {
                const size_t n = loop.size(), before = (k + n - 1) % n, after = (k + 1) % n;
                const int32_t a = in.faceVertices[loop[before]], v = in.faceVertices[loop[k]];
                if (in.faceVertices[loop[after]] != a ||
                    std::find(spikes.begin(), spikes.end(), pairKey(a, v)) == spikes.end()) {
                    ++k;
                    continue;
                }
                loop.erase(loop.begin() + long(std::max(k, after)));
                loop.erase(loop.begin() + long(std::min(k, after)));
                k = 0;
            }
            for (uint32_t c : loop) faces.corner(c, in.faceVertices[c]);
            faces.endLoop();
        }
        faces.endFace();
    }
    MeshData out = faces.finish();
    out.points = in.points;
    for (size_t e = 0; e < in.numEdges(); ++e) {
        if (std::find(spikes.begin(), spikes.end(), pairKey(in.edges[2 * e], in.edges[2 * e + 1])) != spikes.end()) continue;
        out.edges.insert(out.edges.end(), {in.edges[2 * e], in.edges[2 * e + 1]});
        out.edgeSmooth.push_back(in.edgeSmooth.size() == in.numEdges() ? in.edgeSmooth[e] : 1);
    }
    return out;
}

std::vector<int32_t> endsOf(const MeshData& m, const std::vector<int32_t>& edges) {
    std::vector<int32_t> ends;
    for (int32_t e : edges) ends.insert(ends.end(), {m.edges[2 * size_t(e)], m.edges[2 * size_t(e) + 1]});
    return ends;
}

}  // namespace

// Deleting a vertex dissolves every edge at it (the faces around it become
// one) and then the vertex itself once it is left with two edges; on a
// border the border edges stay and join. Deleted edges leave their ends in
// place even when two edges are left at them: that clean-up is polyDelEdge's
// cleanVertices, and scenes follow a delete of edges with a polyDelVertex of
// those ends.
MeshData meshmod::deleteEdgesAndVertices(const MeshData& in, const std::vector<int32_t>& edges,
                                         const std::vector<int32_t>& vertices, std::string* warning) {
    std::vector<int32_t> all = edges;
    std::vector<uint8_t> listed(in.numVertices(), 0);
    for (int32_t v : vertices) listed[size_t(v)] = 1;
    for (size_t e = 0; e < in.numEdges(); ++e)
        if (listed[size_t(in.edges[2 * e])] || listed[size_t(in.edges[2 * e + 1])]) all.push_back(int32_t(e));
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    // Border edges at a listed vertex are not meant to go: only the interior ones dissolve.
    std::unordered_map<uint64_t, int> walks;
    for (size_t c = 0; c < in.numFaceVertices(); ++c) ++walks[pairKey(in.faceVertices[c], in.faceVertices[nextCorner(in, uint32_t(c))])];
    // Round an inner vertex the faces are one once all its edges but one are
    // dissolved: the last is left as a spike into the face, cut off below.
    std::vector<int32_t> lastEdge(in.numVertices(), -1);
    std::vector<uint8_t> inner(in.numVertices(), 1);
    for (size_t e = 0; e < in.numEdges(); ++e) {
        const bool twice = walks[pairKey(in.edges[2 * e], in.edges[2 * e + 1])] == 2;
        for (int i = 0; i < 2; ++i) {
            const size_t v = size_t(in.edges[2 * e + size_t(i)]);
            inner[v] &= uint8_t(twice);
            lastEdge[v] = int32_t(e);
        }
    }
    std::vector<int32_t> dissolve;
    std::vector<uint64_t> spikes;
    for (int32_t e : all) {
        const int32_t a = in.edges[2 * size_t(e)], b = in.edges[2 * size_t(e) + 1];
        const bool explicitEdge = std::binary_search(edges.begin(), edges.end(), e);
        const bool spike = !explicitEdge && ((listed[size_t(a)] && inner[size_t(a)] && lastEdge[size_t(a)] == e) ||
                                             (listed[size_t(b)] && inner[size_t(b)] && lastEdge[size_t(b)] == e));
        if (spike) spikes.push_back(pairKey(a, b));
        else if (explicitEdge || walks[pairKey(a, b)] == 2) dissolve.push_back(e);
    }
    MeshData dissolved = dissolve.empty() ? in : meshmod::dissolveEdges(in, dissolve, warning);
    if (!spikes.empty()) dissolved = cutSpikes(dissolved, spikes);
    return removeWingedVertices(dissolved, vertices);
}

MeshData applyPolyDelEdge(const MeshData& in, const PolyDelEdgeParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyDelEdge", warning)) return in;
    std::optional<ComponentSelection> sel = parseOptional(in, params.inputComponents, "polyDelEdge", warning);
    if (!sel || sel->edges.empty()) return in;
    MeshData out = meshmod::dissolveEdges(in, sel->edges, warning);
    return params.cleanVertices ? removeWingedVertices(out, endsOf(in, sel->edges)) : out;
}

// --- polySeparate ------------------------------------------------------------------

std::vector<std::vector<int32_t>> polyShells(const MeshData& m) {
    UnionFind faces(m.numFaces());
    std::unordered_map<uint64_t, int32_t> firstFace;
    for (size_t f = 0; f < m.numFaces(); ++f)
        for (uint32_t c = m.loopStart[m.faceLoopStart[f]]; c < m.loopStart[m.faceLoopStart[f + 1]]; ++c) {
            auto [it, made] = firstFace.emplace(pairKey(m.faceVertices[c], m.faceVertices[nextCorner(m, c)]), int32_t(f));
            if (!made) faces.unite(it->second, int32_t(f));
        }
    std::vector<std::vector<int32_t>> shells;
    std::vector<int32_t> shellOf(m.numFaces(), -1);
    for (size_t f = 0; f < m.numFaces(); ++f) {
        const int32_t root = faces.find(int32_t(f));
        if (shellOf[size_t(root)] < 0) shellOf[size_t(root)] = int32_t(shells.size()), shells.emplace_back();
        shells[size_t(shellOf[size_t(root)])].push_back(int32_t(f));
    }
    return shells;
}

std::optional<MeshData> applyPolySeparate(const MeshData& in, size_t index, std::string* warning) {
    if (!meshmod::usableMesh(in, "polySeparate", warning)) return std::nullopt;
    const std::vector<std::vector<int32_t>> shells = polyShells(in);
    if (index >= shells.size()) {
        addWarning(warning, "polySeparate: output " + std::to_string(index) + " asked of " + std::to_string(shells.size()) + " shells");
        return std::nullopt;
    }
    if (shells.size() == 1) return in;
    // The shell is what deleting every other face leaves, in the same order.
    std::vector<uint8_t> keep(in.numFaces(), 0);
    for (int32_t f : shells[index]) keep[size_t(f)] = 1;
    DeleteComponentParams others;
    for (size_t f = 0; f < keep.size();) {
        if (keep[f]) {
            ++f;
            continue;
        }
        size_t end = f;
        while (end + 1 < keep.size() && !keep[end + 1]) ++end;
        others.deleteComponents.push_back("f[" + std::to_string(f) + ":" + std::to_string(end) + "]");
        f = end + 1;
    }
    return applyDeleteComponent(in, others, warning);
}

}  // namespace mayahost
