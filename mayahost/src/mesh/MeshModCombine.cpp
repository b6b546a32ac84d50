// Modifiers that join, cut away or split whole faces: polyUnite,
// deleteComponent, polySubdFace.

#include "base/EvalBudget.h"
#include "mesh/MeshModifiers.h"

#include "mesh/MeshValidate.h"
#include "mesh/MeshVec.h"
#include "mesh/MeshModUtil.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace mayahost {
namespace {

using meshmod::addWarning;

constexpr float kUnsetNormal = 1e19f;
constexpr float kUnsetMarker = 1e20f;
// Subdivision beyond this many faces would only exhaust memory.

using meshmod::pairKey;

// The edge joining two vertices, found among the edges at the lower of the
// two: no hashing, and as fast as the mesh's vertex degrees allow.
class EdgeFinder {
public:
    explicit EdgeFinder(const MeshData& mesh) : first_(mesh.numVertices() + 1, 0), entries_(mesh.numEdges()) {
        for (size_t e = 0; e < mesh.numEdges(); ++e) ++first_[size_t(lower(mesh, e)) + 1];
        for (size_t v = 1; v < first_.size(); ++v) first_[v] += first_[v - 1];
        std::vector<uint32_t> next(first_.begin(), first_.end() - 1);
        for (size_t e = 0; e < mesh.numEdges(); ++e)
            entries_[next[size_t(lower(mesh, e))]++] = {std::max(mesh.edges[2 * e], mesh.edges[2 * e + 1]), uint32_t(e)};
    }
    // The edge's id, or -1 when no edge joins a and b.
    int64_t find(int32_t a, int32_t b) const {
        if (a > b) std::swap(a, b);
        for (uint32_t i = first_[size_t(a)]; i < first_[size_t(a) + 1]; ++i)
            if (entries_[i].other == b) return entries_[i].edge;
        return -1;
    }

private:
    static int32_t lower(const MeshData& mesh, size_t e) { return std::min(mesh.edges[2 * e], mesh.edges[2 * e + 1]); }
    struct Entry {
        int32_t other;
        uint32_t edge;
    };
    std::vector<uint32_t> first_;
    std::vector<Entry> entries_;
};

// --- polyUnite helpers

bool nameTaken(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Maya keeps a clashing set apart by a number after its name: "map1" then "map11".
std::string uniqueName(const std::vector<std::string>& names, const std::string& name) {
    if (!nameTaken(names, name)) return name;
    for (size_t n = 1;; ++n)
        if (std::string candidate = name + std::to_string(n); !nameTaken(names, candidate)) return candidate;
}

// Where each set of each input lands in the output: one list per input, one
// output set index per input set. `byName` merges sets of the same name;
// a name met twice in one input still gets a set of its own.
template <typename Set>
std::vector<std::vector<size_t>> mapSets(const std::vector<const std::vector<Set>*>& inputs, bool byName,
                                         std::vector<std::string>& names) {
    std::vector<std::vector<size_t>> map(inputs.size());
    for (size_t i = 0; i < inputs.size(); ++i) {
        std::vector<size_t> used;
        for (const Set& set : *inputs[i]) {
            size_t target = names.size();
            if (byName) {
                auto it = std::find(names.begin(), names.end(), set.name);
                if (it != names.end() && std::find(used.begin(), used.end(), size_t(it - names.begin())) == used.end())
                    target = size_t(it - names.begin());
            }
            if (target == names.size()) names.push_back(uniqueName(names, set.name));
            used.push_back(target);
            map[i].push_back(target);
        }
    }
    return map;
}

// Appends one input's per-corner ids for every output set: its own ids
// shifted by what the set held before it, -1 where it has no such set.
void appendCornerIds(const std::vector<std::vector<int32_t>*>& outIds, const std::vector<size_t>& outBase,
                     const std::vector<size_t>& setMap, const std::vector<const std::vector<int32_t>*>& inIds,
                     size_t corners) {
    std::vector<int> source(outIds.size(), -1);
    for (size_t s = 0; s < setMap.size(); ++s) source[setMap[s]] = int(s);
    for (size_t o = 0; o < outIds.size(); ++o) {
        std::vector<int32_t>& ids = *outIds[o];
        if (source[o] < 0 || inIds[size_t(source[o])]->size() != corners) {
            ids.insert(ids.end(), corners, -1);
            continue;
        }
        for (int32_t id : *inIds[size_t(source[o])]) ids.push_back(id < 0 ? -1 : id + int32_t(outBase[o]));
    }
}

// --- deleteComponent helpers

// New ids for the entries `used` marks, in their old order; -1 for the rest.
std::vector<int32_t> compaction(const std::vector<uint8_t>& used) {
    std::vector<int32_t> ids(used.size(), -1);
    int32_t count = 0;
    for (size_t i = 0; i < used.size(); ++i)
        if (used[i]) ids[i] = count++;
    return ids;
}

template <typename T>
std::vector<T> keepRows(const std::vector<T>& values, size_t stride, const std::vector<int32_t>& newIds) {
    std::vector<T> out;
    out.reserve(stride * size_t(std::count_if(newIds.begin(), newIds.end(), [](int32_t id) { return id >= 0; })));
    for (size_t i = 0; i < newIds.size(); ++i)
        if (newIds[i] >= 0) out.insert(out.end(), values.begin() + long(stride * i), values.begin() + long(stride * (i + 1)));
    return out;
}

// Drops the values of a uv or colour set that no corner refers to any more.
template <typename Coords>
void compactIds(std::vector<int32_t>& cornerIds, size_t valueCount, Coords&& keep) {
    std::vector<uint8_t> used(valueCount, 0);
    for (int32_t id : cornerIds)
        if (id >= 0) used[size_t(id)] = 1;
    const std::vector<int32_t> newIds = compaction(used);
    for (int32_t& id : cornerIds)
        if (id >= 0) id = newIds[size_t(id)];
    keep(newIds);
}

// --- polySubdFace helpers

// One subdivision step over the faces `selected` marks.
class SubdivisionStep {
public:
    SubdivisionStep(const MeshData& in, const std::vector<uint8_t>& selected, SubdFaceMode mode)
        : in_(in), selected_(selected), mode_(mode), corners_(in.numFaceVertices()) {}

    // The subdivided mesh; `nextSelected` marks the faces made from selected ones.
    MeshData run(std::vector<uint8_t>& nextSelected) {
        prepare();
        for (size_t f = 0; f < in_.numFaces(); ++f)
            if (splits(f)) addPoints(f);
        for (size_t f = 0; f < in_.numFaces(); ++f) {
            if (splits(f)) addPart(f, 0);
            else copyFace(f);
        }
        nextSelected.assign(out_.numFaces(), 0);
        for (size_t f = 0; f < in_.numFaces(); ++f)
            if (splits(f)) nextSelected[f] = 1;
        for (size_t f = 0; f < in_.numFaces(); ++f)
            if (splits(f))
                for (uint32_t k = 1; k < cornerCount(f); ++k) addPart(f, k);
        nextSelected.resize(out_.numFaces(), 1);
        return std::move(out_);
    }

private:
    // A split face's middle point; its uv and colour ids are kept per face and set in centreUV_, centreColor_.
    struct Centre {
        int32_t vertex = -1;
        MeshVec normal;
        bool hasNormal = false;
    };

    uint32_t first(size_t f) const { return in_.loopStart[in_.faceLoopStart[f]]; }
    uint32_t cornerCount(size_t f) const { return in_.loopStart[in_.faceLoopStart[f] + 1] - first(f); }
    // Corner k of face f's outer loop, counted round.
    uint32_t corner(size_t f, int64_t k) const {
        const int64_t n = cornerCount(f);
        return first(f) + uint32_t(((k % n) + n) % n);
    }
    bool splits(size_t f) const {
        return selected_[f] && in_.faceLoopStart[f + 1] - in_.faceLoopStart[f] == 1 && cornerCount(f) >= 3;
    }
    bool quads() const { return mode_ == SubdFaceMode::Quads; }
    int32_t vertexOf(uint32_t c) const { return in_.faceVertices[c]; }

    void prepare() {
        out_.points = in_.points;
        out_.edges = in_.edges;
        out_.edgeSmooth = in_.edgeSmooth;
        if (out_.edgeSmooth.size() != out_.numEdges()) out_.edgeSmooth.assign(out_.numEdges(), 0);  // no flags: all hard
        midOfEdge_.assign(in_.numEdges(), -1);
        out_.currentUVSet = in_.currentUVSet;
        for (const MeshUVSet& set : in_.uvSets) out_.uvSets.push_back({set.name, set.u, set.v, {}});
        out_.currentColorSet = in_.currentColorSet;
        for (const MeshColorSet& set : in_.colorSets) out_.colorSets.push_back({set.name, set.rgba, {}});
        uvMids_.resize(in_.uvSets.size());
        colorMids_.resize(in_.colorSets.size());
        normals_ = in_.faceVertexNormals.size() == 3 * corners_ && corners_ > 0;
        centres_.resize(in_.numFaces());
        centreUV_.resize(in_.numFaces() * in_.uvSets.size(), -1);
        centreColor_.resize(in_.numFaces() * in_.colorSets.size(), -1);
        // Hash tables sized once: large meshes otherwise spend their time rehashing.
        for (auto& mids : uvMids_) mids.reserve(quads() ? corners_ / 2 : 0);
        for (auto& mids : colorMids_) mids.reserve(quads() ? corners_ / 2 : 0);
        const size_t growth = quads() ? 4 : 3;
        out_.faceVertices.reserve(growth * corners_);
        out_.points.reserve(in_.points.size() + 3 * (in_.numEdges() + in_.numFaces()));
        out_.faceLoopStart.push_back(0);
        out_.loopStart.push_back(0);
    }

    int32_t addPoint(const MeshVec& p) {
        out_.points.push_back(float(p.x));
        out_.points.push_back(float(p.y));
        out_.points.push_back(float(p.z));
        return int32_t(out_.numVertices() - 1);
    }
    void addEdge(int32_t a, int32_t b, uint8_t smooth) {
        out_.edges.push_back(a);
        out_.edges.push_back(b);
        out_.edgeSmooth.push_back(smooth);
    }

    // The face's new vertices (edge midpoints not made yet, then its centre) and edges.
    void addPoints(size_t f) {
        const uint32_t n = cornerCount(f);
        Centre& centre = centres_[f];
        MeshVec sum;
        for (uint32_t k = 0; k < n; ++k) sum += meshPoint(in_.points.data(), vertexOf(corner(f, k)));
        midScratch_.clear();
        if (quads())
            for (uint32_t k = 0; k < n; ++k) midScratch_.push_back(splitEdge(vertexOf(corner(f, k)), vertexOf(corner(f, k + 1))));
        centre.vertex = addPoint(sum * (1.0 / n));
        for (uint32_t k = 0; k < n; ++k) addEdge(quads() ? midScratch_[k] : vertexOf(corner(f, k)), centre.vertex, 1);
        for (size_t s = 0; s < in_.uvSets.size(); ++s) centreUV_[f * in_.uvSets.size() + s] = centreUV(f, s);
        for (size_t s = 0; s < in_.colorSets.size(); ++s) centreColor_[f * in_.colorSets.size() + s] = centreColor(f, s);
        if (normals_) {
            centre.hasNormal = true;
            for (uint32_t k = 0; k < n; ++k) {
                const float* v = &in_.faceVertexNormals[3 * size_t(corner(f, k))];
                centre.hasNormal &= v[0] <= kUnsetNormal;
                centre.normal += MeshVec{v[0], v[1], v[2]};
            }
        }
    }

    // The midpoint made on the side between two vertices, or -1.
    int32_t midpointOf(int32_t a, int32_t b) const {
        if (const int64_t e = edges_.find(a, b); e >= 0) return midOfEdge_[size_t(e)];
        auto it = loose_.find(pairKey(a, b));
        return it == loose_.end() ? -1 : it->second;
    }

    // The midpoint of a vertex pair, made and its edge split the first time.
    int32_t splitEdge(int32_t a, int32_t b) {
        if (const int32_t m = midpointOf(a, b); m >= 0) return m;
        const int32_t m = addPoint((meshPoint(in_.points.data(), a) + meshPoint(in_.points.data(), b)) * 0.5);
        if (const int64_t e = edges_.find(a, b); e >= 0) {
            midOfEdge_[size_t(e)] = m;
            const int32_t end = out_.edges[2 * size_t(e) + 1];
            out_.edges[2 * size_t(e) + 1] = m;
            addEdge(m, end, out_.edgeSmooth[size_t(e)]);
        } else {
            // A side the edge list lacks (an inconsistent file): both halves are new.
            loose_.emplace(pairKey(a, b), m);
            addEdge(a, m, 1);
            addEdge(m, b, 1);
        }
        return m;
    }

    int32_t centreUV(size_t f, size_t s) {
        const MeshUVSet& set = in_.uvSets[s];
        if (set.faceVertexUV.size() != corners_) return -1;
        double u = 0, v = 0;
        const uint32_t n = cornerCount(f);
        for (uint32_t k = 0; k < n; ++k) {
            const int32_t id = set.faceVertexUV[corner(f, k)];
            if (id < 0) return -1;
            u += set.u[size_t(id)], v += set.v[size_t(id)];
        }
        out_.uvSets[s].u.push_back(float(u / n));
        out_.uvSets[s].v.push_back(float(v / n));
        return int32_t(out_.uvSets[s].u.size() - 1);
    }
    int32_t centreColor(size_t f, size_t s) {
        const MeshColorSet& set = in_.colorSets[s];
        if (set.faceVertexColor.size() != corners_) return -1;
        double rgba[4] = {0, 0, 0, 0};
        const uint32_t n = cornerCount(f);
        for (uint32_t k = 0; k < n; ++k) {
            const int32_t id = set.faceVertexColor[corner(f, k)];
            if (id < 0) return -1;
            for (int i = 0; i < 4; ++i) rgba[i] += set.rgba[4 * size_t(id) + size_t(i)];
        }
        for (double c : rgba) out_.colorSets[s].rgba.push_back(float(c / n));
        return int32_t(out_.colorSets[s].rgba.size() / 4 - 1);
    }
    // The uv (or colour) halfway between two ids, shared by the faces on both sides of a seamless edge.
    int32_t midUV(size_t s, int32_t a, int32_t b) {
        if (a < 0 || b < 0) return -1;
        auto [it, made] = uvMids_[s].emplace(pairKey(a, b), int32_t(out_.uvSets[s].u.size()));
        if (made) {
            MeshUVSet& set = out_.uvSets[s];
            set.u.push_back(0.5f * (set.u[size_t(a)] + set.u[size_t(b)]));
            set.v.push_back(0.5f * (set.v[size_t(a)] + set.v[size_t(b)]));
        }
        return it->second;
    }
    int32_t midColor(size_t s, int32_t a, int32_t b) {
        if (a < 0 || b < 0) return -1;
        auto [it, made] = colorMids_[s].emplace(pairKey(a, b), int32_t(out_.colorSets[s].rgba.size() / 4));
        if (made) {
            std::vector<float>& rgba = out_.colorSets[s].rgba;
            for (size_t i = 0; i < 4; ++i) rgba.push_back(0.5f * (rgba[4 * size_t(a) + i] + rgba[4 * size_t(b) + i]));
        }
        return it->second;
    }

    void pushNormal(const MeshVec& n, bool set) {
        const MeshVec unit = n.normalized();
        const bool usable = set && unit.length() > 0;
        out_.faceVertexNormals.push_back(usable ? float(unit.x) : kUnsetMarker);
        out_.faceVertexNormals.push_back(usable ? float(unit.y) : kUnsetMarker);
        out_.faceVertexNormals.push_back(usable ? float(unit.z) : kUnsetMarker);
    }
    void copyCorner(uint32_t c) {
        out_.faceVertices.push_back(vertexOf(c));
        for (size_t s = 0; s < in_.uvSets.size(); ++s)
            if (in_.uvSets[s].faceVertexUV.size() == corners_) out_.uvSets[s].faceVertexUV.push_back(in_.uvSets[s].faceVertexUV[c]);
        for (size_t s = 0; s < in_.colorSets.size(); ++s)
            if (in_.colorSets[s].faceVertexColor.size() == corners_)
                out_.colorSets[s].faceVertexColor.push_back(in_.colorSets[s].faceVertexColor[c]);
        if (normals_)
            out_.faceVertexNormals.insert(out_.faceVertexNormals.end(), in_.faceVertexNormals.begin() + 3 * long(c),
                                          in_.faceVertexNormals.begin() + 3 * long(c) + 3);
    }
    // A corner on the midpoint of the side from corner a to corner b.
    void midCorner(uint32_t a, uint32_t b) {
        out_.faceVertices.push_back(midpointOf(vertexOf(a), vertexOf(b)));
        for (size_t s = 0; s < in_.uvSets.size(); ++s) {
            const std::vector<int32_t>& ids = in_.uvSets[s].faceVertexUV;
            if (ids.size() == corners_) out_.uvSets[s].faceVertexUV.push_back(midUV(s, ids[a], ids[b]));
        }
        for (size_t s = 0; s < in_.colorSets.size(); ++s) {
            const std::vector<int32_t>& ids = in_.colorSets[s].faceVertexColor;
            if (ids.size() == corners_) out_.colorSets[s].faceVertexColor.push_back(midColor(s, ids[a], ids[b]));
        }
        if (normals_) {
            const float* na = &in_.faceVertexNormals[3 * size_t(a)];
            const float* nb = &in_.faceVertexNormals[3 * size_t(b)];
            pushNormal(MeshVec{na[0], na[1], na[2]} + MeshVec{nb[0], nb[1], nb[2]}, na[0] <= kUnsetNormal && nb[0] <= kUnsetNormal);
        }
    }
    void centreCorner(size_t f) {
        const Centre& centre = centres_[f];
        out_.faceVertices.push_back(centre.vertex);
        for (size_t s = 0; s < in_.uvSets.size(); ++s)
            if (in_.uvSets[s].faceVertexUV.size() == corners_)
                out_.uvSets[s].faceVertexUV.push_back(centreUV_[f * in_.uvSets.size() + s]);
        for (size_t s = 0; s < in_.colorSets.size(); ++s)
            if (in_.colorSets[s].faceVertexColor.size() == corners_)
                out_.colorSets[s].faceVertexColor.push_back(centreColor_[f * in_.colorSets.size() + s]);
        if (normals_) pushNormal(centre.normal, centre.hasNormal);
    }
    void closeLoop() { out_.loopStart.push_back(uint32_t(out_.faceVertices.size())); }
    void closeFace() { out_.faceLoopStart.push_back(uint32_t(out_.loopStart.size() - 1)); }

    // Part k of a split face: the one at its corner k.
    void addPart(size_t f, uint32_t k) {
        const uint32_t c = corner(f, k), next = corner(f, k + 1), previous = corner(f, int64_t(k) - 1);
        copyCorner(c);
        if (quads()) {
            midCorner(c, next);
            centreCorner(f);
            midCorner(previous, c);
        } else {
            copyCorner(next);
            centreCorner(f);
        }
        closeLoop();
        closeFace();
    }

    // A face left whole, with the midpoints of its split sides as new corners.
    void copyFace(size_t f) {
        for (uint32_t l = in_.faceLoopStart[f]; l < in_.faceLoopStart[f + 1]; ++l) {
            const uint32_t b = in_.loopStart[l], e = in_.loopStart[l + 1];
            for (uint32_t c = b; c < e; ++c) {
                const uint32_t next = c + 1 == e ? b : c + 1;
                copyCorner(c);
                if (quads() && midpointOf(vertexOf(c), vertexOf(next)) >= 0) midCorner(c, next);
            }
            closeLoop();
        }
        closeFace();
    }

    const MeshData& in_;
    const std::vector<uint8_t>& selected_;
    SubdFaceMode mode_;
    size_t corners_;
    MeshData out_;
    bool normals_ = false;
    EdgeFinder edges_{in_};
    std::vector<int32_t> midOfEdge_;                 // per input edge: its midpoint, -1 while unsplit
    std::unordered_map<uint64_t, int32_t> loose_;    // midpoints of sides without an edge
    std::vector<std::unordered_map<uint64_t, int32_t>> uvMids_, colorMids_;
    std::vector<Centre> centres_;
    std::vector<int32_t> centreUV_, centreColor_;
    std::vector<int32_t> midScratch_;
};

// The edges of `in` that stay when only the faces `keepFace` marks remain,
// with their flags, renumbered by `vertexIds`: an edge goes when faces walked
// it and every one of them went.
void keepWalkedEdges(const MeshData& in, const std::vector<uint8_t>& keepFace, const std::vector<int32_t>& vertexIds,
                     MeshData& out) {
    const EdgeFinder finder(in);
    std::vector<uint8_t> walkedByKept(in.numEdges(), 0), walkedByDeleted(in.numEdges(), 0);
    for (size_t f = 0; f < in.numFaces(); ++f)
        for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1]; ++l) {
            const uint32_t b = in.loopStart[l], e = in.loopStart[l + 1];
            for (uint32_t c = b; c < e; ++c)
                if (const int64_t edge = finder.find(in.faceVertices[c], in.faceVertices[c + 1 == e ? b : c + 1]); edge >= 0)
                    (keepFace[f] ? walkedByKept : walkedByDeleted)[size_t(edge)] = 1;
        }
    for (size_t e = 0; e < in.numEdges(); ++e) {
        const int32_t a = vertexIds[size_t(in.edges[2 * e])], b = vertexIds[size_t(in.edges[2 * e + 1])];
        if (a < 0 || b < 0) continue;
        if (walkedByDeleted[e] && !walkedByKept[e]) continue;
        out.edges.push_back(a);
        out.edges.push_back(b);
        out.edgeSmooth.push_back(in.edgeSmooth.size() == in.numEdges() ? in.edgeSmooth[e] : 0);
    }
}

// The uv and colour sets of the remaining corners `cornerIds` marks, without
// the values no corner refers to any more.
void keepUsedSets(const MeshData& in, const std::vector<int32_t>& cornerIds, MeshData& out) {
    out.currentUVSet = in.currentUVSet;
    for (const MeshUVSet& set : in.uvSets) {
        MeshUVSet kept{set.name, {}, {}, keepRows(set.faceVertexUV, 1, set.faceVertexUV.empty() ? std::vector<int32_t>{} : cornerIds)};
        compactIds(kept.faceVertexUV, set.u.size(), [&](const std::vector<int32_t>& ids) {
            kept.u = keepRows(set.u, 1, ids);
            kept.v = keepRows(set.v, 1, ids);
        });
        out.uvSets.push_back(std::move(kept));
    }
    out.currentColorSet = in.currentColorSet;
    for (const MeshColorSet& set : in.colorSets) {
        MeshColorSet kept{set.name, {}, keepRows(set.faceVertexColor, 1, set.faceVertexColor.empty() ? std::vector<int32_t>{} : cornerIds)};
        compactIds(kept.faceVertexColor, set.rgba.size() / 4,
                   [&](const std::vector<int32_t>& ids) { kept.rgba = keepRows(set.rgba, 4, ids); });
        out.colorSets.push_back(std::move(kept));
    }
}

}  // namespace

// --- polyUnite -------------------------------------------------------------------

namespace {

// The usable inputs, each moved by its matrix; the others are named in a warning.
std::vector<MeshData> placedInputs(const PolyUniteParams& params, std::string* warning) {
    std::vector<MeshData> parts;
    for (size_t i = 0; i < params.inputs.size(); ++i) {
        const UnionInput& input = params.inputs[i];
        const std::string name = "polyUnite: input " + std::to_string(i);
        if (std::string error = meshDataError(input.mesh); !error.empty()) {
            addWarning(warning, name + " left out, it is inconsistent: " + error);
            continue;
        }
        if (!meshmod::isFiniteMatrix(input.matrix)) {
            addWarning(warning, name + " left out, its matrix has non-finite values");
            continue;
        }
        TransformGeometryParams move;
        move.transform = input.matrix;
        std::string moved;
        parts.push_back(applyTransformGeometry(input.mesh, move, &moved));
        if (!moved.empty()) addWarning(warning, name + ": " + moved);
    }
    return parts;
}

void reserveFor(const std::vector<MeshData>& parts, MeshData& out) {
    size_t points = 0, faces = 0, loops = 0, corners = 0, edges = 0;
    bool userNormals = false;
    for (const MeshData& part : parts) {
        points += part.points.size(), faces += part.numFaces(), loops += part.numLoops();
        corners += part.faceVertices.size(), edges += part.edges.size();
        userNormals |= !part.faceVertexNormals.empty();
    }
    out.points.reserve(points);
    out.faceLoopStart.reserve(faces + 1);
    out.loopStart.reserve(loops + 1);
    out.faceVertices.reserve(corners);
    out.edges.reserve(edges);
    out.edgeSmooth.reserve(edges / 2);
    for (MeshUVSet& set : out.uvSets) set.faceVertexUV.reserve(corners);
    if (userNormals) out.faceVertexNormals.reserve(3 * corners);
}

// Points, faces, loops, corners and edges of `part` after those already in `out`.
void appendTopology(const MeshData& part, MeshData& out) {
    const int32_t vertexBase = int32_t(out.numVertices());
    const uint32_t loopBase = uint32_t(out.numLoops()), cornerBase = uint32_t(out.faceVertices.size());
    out.points.insert(out.points.end(), part.points.begin(), part.points.end());
    for (size_t f = 1; f < part.faceLoopStart.size() && part.numFaces() > 0; ++f)
        out.faceLoopStart.push_back(part.faceLoopStart[f] + loopBase);
    for (size_t l = 1; l < part.loopStart.size() && part.numLoops() > 0; ++l)
        out.loopStart.push_back(part.loopStart[l] + cornerBase);
    for (int32_t v : part.faceVertices) out.faceVertices.push_back(v + vertexBase);
    for (int32_t v : part.edges) out.edges.push_back(v + vertexBase);
    if (part.edgeSmooth.size() == part.numEdges())
        out.edgeSmooth.insert(out.edgeSmooth.end(), part.edgeSmooth.begin(), part.edgeSmooth.end());
    else
        out.edgeSmooth.insert(out.edgeSmooth.end(), part.numEdges(), 0);  // no flags means all hard
}

void appendUVs(const MeshData& part, const std::vector<size_t>& setMap, MeshData& out) {
    std::vector<std::vector<int32_t>*> ids;
    std::vector<size_t> base;
    for (MeshUVSet& set : out.uvSets) ids.push_back(&set.faceVertexUV), base.push_back(set.u.size());
    std::vector<const std::vector<int32_t>*> partIds;
    for (const MeshUVSet& set : part.uvSets) partIds.push_back(&set.faceVertexUV);
    appendCornerIds(ids, base, setMap, partIds, part.faceVertices.size());
    for (size_t s = 0; s < part.uvSets.size(); ++s) {
        MeshUVSet& target = out.uvSets[setMap[s]];
        target.u.insert(target.u.end(), part.uvSets[s].u.begin(), part.uvSets[s].u.end());
        target.v.insert(target.v.end(), part.uvSets[s].v.begin(), part.uvSets[s].v.end());
    }
}

void appendColors(const MeshData& part, const std::vector<size_t>& setMap, MeshData& out) {
    std::vector<std::vector<int32_t>*> ids;
    std::vector<size_t> base;
    for (MeshColorSet& set : out.colorSets) ids.push_back(&set.faceVertexColor), base.push_back(set.rgba.size() / 4);
    std::vector<const std::vector<int32_t>*> partIds;
    for (const MeshColorSet& set : part.colorSets) partIds.push_back(&set.faceVertexColor);
    appendCornerIds(ids, base, setMap, partIds, part.faceVertices.size());
    for (size_t s = 0; s < part.colorSets.size(); ++s) {
        std::vector<float>& rgba = out.colorSets[setMap[s]].rgba;
        rgba.insert(rgba.end(), part.colorSets[s].rgba.begin(), part.colorSets[s].rgba.end());
    }
}

// The output set the first input with sets has current.
template <typename Set>
int currentSetOf(const std::vector<MeshData>& parts, const std::vector<std::vector<size_t>>& setMap,
                 const std::vector<Set> MeshData::*sets, int MeshData::*current) {
    for (size_t i = 0; i < parts.size(); ++i) {
        const int count = int((parts[i].*sets).size());
        if (count > 0) return int(setMap[i][size_t(std::clamp(parts[i].*current, 0, count - 1))]);
    }
    return 0;
}

}  // namespace

MeshData applyPolyUnite(const PolyUniteParams& params, std::string* warning) {
    const std::vector<MeshData> parts = placedInputs(params, warning);
    std::vector<const std::vector<MeshUVSet>*> uvInputs;
    std::vector<const std::vector<MeshColorSet>*> colorInputs;
    bool userNormals = false;
    for (const MeshData& part : parts) {
        uvInputs.push_back(&part.uvSets);
        colorInputs.push_back(&part.colorSets);
        userNormals |= !part.faceVertexNormals.empty();
    }
    std::vector<std::string> uvNames, colorNames;
    const auto uvMap = mapSets(uvInputs, params.mergeUVSets != UnionUVSets::NoMerge, uvNames);
    const auto colorMap = mapSets(colorInputs, true, colorNames);

    MeshData out;
    out.faceLoopStart.push_back(0);
    out.loopStart.push_back(0);
    for (const std::string& name : uvNames) out.uvSets.push_back({name, {}, {}, {}});
    for (const std::string& name : colorNames) out.colorSets.push_back({name, {}, {}});
    reserveFor(parts, out);
    for (size_t i = 0; i < parts.size(); ++i) {
        const MeshData& part = parts[i];
        appendTopology(part, out);
        appendUVs(part, uvMap[i], out);
        appendColors(part, colorMap[i], out);
        if (!userNormals) continue;
        if (part.faceVertexNormals.empty())
            out.faceVertexNormals.insert(out.faceVertexNormals.end(), 3 * part.faceVertices.size(), kUnsetMarker);
        else
            out.faceVertexNormals.insert(out.faceVertexNormals.end(), part.faceVertexNormals.begin(), part.faceVertexNormals.end());
    }
    out.currentUVSet = currentSetOf(parts, uvMap, &MeshData::uvSets, &MeshData::currentUVSet);
    out.currentColorSet = currentSetOf(parts, colorMap, &MeshData::colorSets, &MeshData::currentColorSet);
    if (out.numFaces() == 0) out.faceLoopStart.clear(), out.loopStart.clear();
    return out;
}

// --- deleteComponent ---------------------------------------------------------------

namespace meshmod {

// Removes interior edges by merging the two faces beside each into the one
// with the lower id: its loop keeps its first corner and takes the other
// face's corners in place of the edge. Faces with holes, border edges and
// edges whose faces were merged already into one are kept, with a warning.
MeshData dissolveEdges(const MeshData& in, const std::vector<int32_t>& edges, std::string* warning) {
    // Faces with one loop are rings of the input's corners (next/prev) that
    // merge in place; a face is its lowest id's ring (`faceSet`), and each
    // directed side is found from its corner, so a thousand dissolved edges on
    // a big mesh stay linear.
    const size_t F = in.numFaces(), C = in.numFaceVertices();
    std::vector<uint32_t> next(C), prev(C), faceOf(C), first(F), size(F);
    LowUnion faceSet(F);
    std::vector<uint8_t> simple(F, 0), gone(F, 0);
    std::unordered_map<uint64_t, uint32_t> cornerAt;   // directed side (a, b) -> the corner at a
    for (size_t f = 0; f < F; ++f) {
        simple[f] = in.faceLoopStart[f + 1] - in.faceLoopStart[f] == 1;
        const uint32_t b = in.loopStart[in.faceLoopStart[f]], e = in.loopStart[in.faceLoopStart[f + 1]];
        first[f] = b, size[f] = e - b;
        if (!simple[f]) continue;
        for (uint32_t c = b; c < e; ++c) {
            next[c] = c + 1 < e ? c + 1 : b, prev[c] = c > b ? c - 1 : e - 1, faceOf[c] = uint32_t(f);
            cornerAt.emplace(directedKey(in.faceVertices[c], in.faceVertices[next[c]]), c);   // the lowest face wins
        }
    }
    auto root = [&](uint32_t f) { return uint32_t(faceSet.find(int32_t(f))); };
    auto vertex = [&](uint32_t c) { return in.faceVertices[c]; };
    std::vector<uint8_t> removedEdge(in.numEdges(), 0);
    size_t kept = 0;
    bool spiked = false;
    for (int32_t e : edges) {
        const int32_t a = in.edges[2 * size_t(e)], b = in.edges[2 * size_t(e) + 1];
        const auto ab = cornerAt.find(directedKey(a, b)), ba = cornerAt.find(directedKey(b, a));
        if (ab == cornerAt.end() || ba == cornerAt.end()) {
            ++kept;
            continue;
        }
        const uint32_t ca = ab->second, cb = ba->second, fa = root(faceOf[ca]), fb = root(faceOf[cb]);
        if (fa == fb) {
            // Both sides in one face: when they follow each other the edge is a
            // spike into the face (what is left of a fan whose other edges
            // went), and the face walks round it no more.
            if (size[fa] < 5 || (next[ca] != cb && next[cb] != ca)) {
                ++kept;
                continue;
            }
            const uint32_t base = next[ca] == cb ? ca : cb, tip = next[base], back = next[tip], after = next[back];
            if (first[fa] == tip || first[fa] == back) first[fa] = after;
            next[base] = after, prev[after] = base;
            cornerAt.erase(directedKey(vertex(base), vertex(tip)));
            cornerAt.erase(directedKey(vertex(tip), vertex(back)));
            cornerAt[directedKey(vertex(base), vertex(after))] = base;
            size[fa] -= 2;
            removedEdge[size_t(e)] = 1;
            spiked = true;
            continue;
        }
        // The lower face keeps its place; the side a-b becomes the other face's way round.
        const uint32_t low = std::min(fa, fb), high = std::max(fa, fb);
        const uint32_t cl = low == fa ? ca : cb, ch = low == fa ? cb : ca;
        cornerAt.erase(ab);
        cornerAt.erase(directedKey(b, a));
        if (size[high] > 2) {
            const uint32_t dropped = next[ch], from = next[dropped], to = prev[ch], after = next[cl];
            cornerAt[directedKey(vertex(cl), vertex(from))] = cl;
            next[cl] = from, prev[from] = cl;
            next[to] = after, prev[after] = to;
            size[low] += size[high] - 2;
        }
        faceSet.unite(int32_t(low), int32_t(high));
        gone[high] = 1;
        removedEdge[size_t(e)] = 1;
    }
    if (kept)
        addWarning(warning, "deleteComponent: " + std::to_string(kept) +
                                " listed edges are not between two faces (border edges, faces with holes) and were kept");

    MeshData out;
    out.points = in.points;
    out.faceLoopStart.push_back(0);
    out.loopStart.push_back(0);
    std::vector<uint32_t> corners;  // the input corner of each output corner
    for (size_t f = 0; f < F; ++f) {
        if (gone[f]) continue;
        if (simple[f]) {
            for (uint32_t c = first[f], k = 0; k < size[f]; c = next[c], ++k) corners.push_back(c);
            out.loopStart.push_back(uint32_t(corners.size()));
        } else {
            for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1]; ++l) {
                for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c) corners.push_back(c);
                out.loopStart.push_back(uint32_t(corners.size()));
            }
        }
        out.faceLoopStart.push_back(uint32_t(out.loopStart.size() - 1));
    }
    for (uint32_t c : corners) out.faceVertices.push_back(in.faceVertices[c]);
    for (size_t e = 0; e < in.numEdges(); ++e) {
        if (removedEdge[e]) continue;
        out.edges.insert(out.edges.end(), {in.edges[2 * e], in.edges[2 * e + 1]});
        out.edgeSmooth.push_back(in.edgeSmooth.size() == in.numEdges() ? in.edgeSmooth[e] : 1);
    }
    out.currentUVSet = in.currentUVSet;
    for (const MeshUVSet& set : in.uvSets) {
        MeshUVSet copy{set.name, set.u, set.v, {}};
        if (!set.faceVertexUV.empty())
            for (uint32_t c : corners) copy.faceVertexUV.push_back(set.faceVertexUV[c]);
        out.uvSets.push_back(std::move(copy));
    }
    out.currentColorSet = in.currentColorSet;
    for (const MeshColorSet& set : in.colorSets) {
        MeshColorSet copy = set;
        copy.faceVertexColor.clear();
        if (!set.faceVertexColor.empty())
            for (uint32_t c : corners) copy.faceVertexColor.push_back(set.faceVertexColor[c]);
        out.colorSets.push_back(std::move(copy));
    }
    if (!in.faceVertexNormals.empty())
        for (uint32_t c : corners) out.faceVertexNormals.insert(out.faceVertexNormals.end(), &in.faceVertexNormals[3 * c], &in.faceVertexNormals[3 * c + 3]);
    // A spike's tip, left with no edge, goes with it.
    if (spiked) dropUnusedVerticesAndEdges(out);
    return out;
}

}  // namespace meshmod

MeshData applyDeleteComponent(const MeshData& in, const DeleteComponentParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "deleteComponent", warning)) return in;
    ComponentSelection selection;
    if (std::string error = parseComponentList(params.deleteComponents, componentLimits(in), selection); !error.empty()) {
        addWarning(warning, "deleteComponent: component list ignored: " + error);
        return in;
    }
    if (!selection.uvs.empty())
        addWarning(warning, "deleteComponent: " + std::to_string(selection.uvs.size()) +
                                " uvs listed were kept (only faces, edges and vertices are deleted)");
    // Edges, and vertices with every edge around them, dissolve (see MeshModMerge.cpp).
    if (!selection.edges.empty() || !selection.vertices.empty()) {
        if (!selection.faces.empty())
            addWarning(warning, "deleteComponent: faces listed with edges or vertices were kept");
        return meshmod::deleteEdgesAndVertices(in, selection.edges, selection.vertices, warning);
    }
    if (selection.faces.empty()) return in;

    std::vector<uint8_t> keepFace(in.numFaces(), 1);
    for (int32_t f : selection.faces) keepFace[size_t(f)] = 0;
    const size_t corners = in.numFaceVertices();
    std::vector<uint8_t> keepCorner(corners, 0);
    MeshData out;
    out.faceLoopStart.push_back(0);
    out.loopStart.push_back(0);
    for (size_t f = 0; f < in.numFaces(); ++f) {
        if (!keepFace[f]) continue;
        for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1]; ++l) {
            for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c) keepCorner[c] = 1;
            out.loopStart.push_back(out.loopStart.back() + (in.loopStart[l + 1] - in.loopStart[l]));
        }
        out.faceLoopStart.push_back(uint32_t(out.loopStart.size() - 1));
    }
    const std::vector<int32_t> cornerIds = compaction(keepCorner);

    // Vertices, then the edges between vertices that remaining faces still walk.
    std::vector<uint8_t> usedVertex(in.numVertices(), 0);
    for (size_t c = 0; c < corners; ++c)
        if (keepCorner[c]) usedVertex[size_t(in.faceVertices[c])] = 1;
    const std::vector<int32_t> vertexIds = compaction(usedVertex);
    out.points = keepRows(in.points, 3, vertexIds);
    for (int32_t v : keepRows(in.faceVertices, 1, cornerIds)) out.faceVertices.push_back(vertexIds[size_t(v)]);

    keepWalkedEdges(in, keepFace, vertexIds, out);
    keepUsedSets(in, cornerIds, out);
    if (!in.faceVertexNormals.empty()) out.faceVertexNormals = keepRows(in.faceVertexNormals, 3, cornerIds);
    if (out.numFaces() == 0) out.faceLoopStart.clear(), out.loopStart.clear();
    return out;
}

// --- polySubdFace ---------------------------------------------------------------

MeshData applyPolySubdFace(const MeshData& in, const PolySubdFaceParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polySubdFace", warning)) return in;
    if (params.mode != SubdFaceMode::Quads && params.mode != SubdFaceMode::Triangles) {
        addWarning(warning, "polySubdFace: mode " + std::to_string(int(params.mode)) + " is unknown, geometry passed through");
        return in;
    }
    std::vector<int32_t> faces = meshmod::selectedFaces(in, params.inputComponents, "polySubdFace", warning);
    std::vector<uint8_t> selected(in.numFaces(), 0);
    for (int32_t f : faces) selected[size_t(f)] = 1;
    MeshData mesh = in;
    size_t whole = 0;
    for (int step = 0; step < params.divisions; ++step) {
        size_t added = 0;
        for (size_t f = 0; f < mesh.numFaces(); ++f) {
            if (!selected[f]) continue;
            const uint32_t loop = mesh.faceLoopStart[f];
            const uint32_t n = mesh.loopStart[loop + 1] - mesh.loopStart[loop];
            if (mesh.faceLoopStart[f + 1] - loop != 1 || n < 3) {
                if (step == 0) ++whole;
                continue;
            }
            added += n - 1;
        }
        if (std::string why = refuseFaces(mesh.numFaces() + added); !why.empty()) {
            addWarning(warning, "polySubdFace: step " + std::to_string(step + 1) + ": " + why +
                                    "; the subdivision stops before it");
            break;
        }
        std::vector<uint8_t> next;
        mesh = SubdivisionStep(mesh, selected, params.mode).run(next);
        selected = std::move(next);
    }
    if (whole)
        addWarning(warning, "polySubdFace: " + std::to_string(whole) + " faces with holes or under three corners were kept whole");
    return mesh;
}

}  // namespace mayahost
