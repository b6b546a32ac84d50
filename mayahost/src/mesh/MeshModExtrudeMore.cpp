// polyExtrudeEdge, polyChipOff and polyExtrudeVertex: edits that put
// components on new vertices and join or cut them, numbered as Maya does.

#include "mesh/MeshModifiers.h"
#include "common/platform/StableMath.h"

#include "base/EvalBudget.h"
#include "mesh/MeshModMove.h"
#include "mesh/MeshModUtil.h"
#include "mesh/MeshVec.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>
#include <unordered_set>
#include <map>
#include <array>

namespace mayahost {
namespace {

using meshmod::addWarning;
using meshmod::pairKey;
using meshmod::LowUnion;

// Appends faces and the edges they walk, as the extrusions number them.
class Appender {
public:
    explicit Appender(MeshData& mesh) : m_(mesh) {
        for (size_t e = 0; e < m_.numEdges(); ++e) edgeIds_.emplace(pairKey(m_.edges[2 * e], m_.edges[2 * e + 1]), e);
        if (m_.edgeSmooth.size() != m_.numEdges()) m_.edgeSmooth.assign(m_.numEdges(), 1);
    }

    int32_t addVertex(const MeshVec& p) {
        m_.points.insert(m_.points.end(), {float(p.x), float(p.y), float(p.z)});
        return int32_t(m_.numVertices() - 1);
    }

    // A face without uvs, colours or user normals; returns its id.
    size_t addFace(const std::vector<int32_t>& ids) {
        m_.loopStart.push_back(uint32_t(m_.faceVertices.size() + ids.size()));
        m_.faceLoopStart.push_back(uint32_t(m_.numLoops()));
        m_.faceVertices.insert(m_.faceVertices.end(), ids.begin(), ids.end());
        for (MeshUVSet& set : m_.uvSets)
            if (!set.faceVertexUV.empty()) set.faceVertexUV.insert(set.faceVertexUV.end(), ids.size(), -1);
        for (MeshColorSet& set : m_.colorSets)
            if (!set.faceVertexColor.empty()) set.faceVertexColor.insert(set.faceVertexColor.end(), ids.size(), -1);
        if (!m_.faceVertexNormals.empty()) m_.faceVertexNormals.insert(m_.faceVertexNormals.end(), 3 * ids.size(), 1e20f);
        return m_.numFaces() - 1;
    }

    // The edge between a and b, appended with `smooth` when there is none yet.
    int32_t edge(int32_t a, int32_t b, uint8_t smooth, bool* fresh = nullptr) {
        auto [it, isNew] = edgeIds_.emplace(pairKey(a, b), m_.numEdges());
        if (isNew) {
            m_.edges.insert(m_.edges.end(), {a, b});
            m_.edgeSmooth.push_back(smooth);
        }
        if (fresh) *fresh = isNew;
        return int32_t(it->second);
    }
    int32_t find(int32_t a, int32_t b) const {
        auto it = edgeIds_.find(pairKey(a, b));
        return it == edgeIds_.end() ? -1 : int32_t(it->second);
    }
    void forget(int32_t a, int32_t b) { edgeIds_.erase(pairKey(a, b)); }
    void remember(int32_t a, int32_t b, size_t e) { edgeIds_[pairKey(a, b)] = e; }

    // Every side of face f that is no edge yet, in walking order.
    void addFaceEdges(size_t f, uint8_t smooth, std::vector<int32_t>* made = nullptr) {
        for (uint32_t l = m_.faceLoopStart[f]; l < m_.faceLoopStart[f + 1]; ++l)
            for (uint32_t c = m_.loopStart[l], e = m_.loopStart[l + 1]; c < e; ++c) {
                bool fresh = false;
                const int32_t id = edge(m_.faceVertices[c], m_.faceVertices[c + 1 < e ? c + 1 : m_.loopStart[l]], smooth, &fresh);
                if (fresh && made) made->push_back(id);
            }
    }

private:
    MeshData& m_;
    std::unordered_map<uint64_t, size_t> edgeIds_;
};

// Edges shared by two new faces meeting at more than the smoothing angle are hard.
void hardenByAngle(MeshData& m, const std::vector<int32_t>& edges, const std::vector<size_t>& newFaces, double angle) {
    std::unordered_set<int32_t> wanted(edges.begin(), edges.end());
    std::unordered_map<int32_t, std::vector<size_t>> facesOf;
    for (size_t f : newFaces)
        for (uint32_t c = m.loopStart[m.faceLoopStart[f]], e = m.loopStart[m.faceLoopStart[f] + 1]; c < e; ++c) {
            const int32_t a = m.faceVertices[c], b = m.faceVertices[c + 1 < e ? c + 1 : m.loopStart[m.faceLoopStart[f]]];
            for (int32_t id : edges)
                if (pairKey(a, b) == pairKey(m.edges[2 * size_t(id)], m.edges[2 * size_t(id) + 1])) facesOf[id].push_back(f);
        }
    for (auto& [id, faces] : facesOf) {
        if (faces.size() != 2) continue;
        const double cosine =
            std::clamp(meshmod::faceUnitNormal(m, faces[0]).dot(meshmod::faceUnitNormal(m, faces[1])), -1.0, 1.0);
        m.edgeSmooth[size_t(id)] = stablemath::acos(cosine) <= angle + 1e-9;
    }
}

bool refuseGrowth(uint64_t faces, const char* node, std::string* warning) {
    if (std::string why = refuseFaces(faces); !why.empty()) {
        addWarning(warning, std::string(node) + ": " + why + ", mesh left as it was");
        return true;
    }
    return false;
}

}  // namespace

// --- polyExtrudeEdge ------------------------------------------------------------

MeshData applyPolyExtrudeEdge(const MeshData& in, const PolyExtrudeEdgeParams& params, std::string* warning) {
    constexpr const char* kNode = "polyExtrudeEdge";
    if (!meshmod::usableMesh(in, kNode, warning)) return in;
    if (params.divisions < 1) {
        addWarning(warning, std::string(kNode) + ": divisions " + std::to_string(params.divisions) + " below 1, edges not extruded");
        return in;
    }
    const std::vector<int32_t> edges = meshmod::selectedEdges(in, params.inputComponents, kNode, warning);
    if (edges.empty()) return in;
    if (refuseGrowth(in.numFaces() + uint64_t(edges.size()) * uint64_t(params.divisions), kNode, warning)) return in;

    // The first face walking each side, and which way.
    struct Walk {
        int32_t face = -1;
        int32_t a = 0;   // the vertex the face walks the side from
        int faces = 0;
        MeshVec normalSum;
    };
    std::unordered_map<uint64_t, Walk> walks;
    for (size_t f = 0; f < in.numFaces(); ++f) {
        const MeshVec n = meshmod::faceUnitNormal(in, f);
        for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1]; ++l)
            for (uint32_t c = in.loopStart[l], e = in.loopStart[l + 1]; c < e; ++c) {
                const int32_t a = in.faceVertices[c], b = in.faceVertices[c + 1 < e ? c + 1 : in.loopStart[l]];
                Walk& w = walks[pairKey(a, b)];
                if (w.face < 0) w = {int32_t(f), a, 0, {}};
                ++w.faces;
                w.normalSum += n;
            }
    }

    // Chains: edges joined at shared vertices when kept together.
    LowUnion groups(edges.size());
    auto root = [&](int32_t i) { return groups.find(i); };
    if (params.keepFacesTogether) {
        std::unordered_map<int32_t, int32_t> firstAt;
        for (size_t k = 0; k < edges.size(); ++k)
            for (int side = 0; side < 2; ++side) {
                auto [it, fresh] = firstAt.emplace(in.edges[2 * size_t(edges[k]) + size_t(side)], int32_t(k));
                if (!fresh) groups.unite(int32_t(k), it->second);
            }
    }
    std::vector<std::vector<int32_t>> chains;
    std::unordered_map<int32_t, size_t> chainOfRoot;
    for (size_t k = 0; k < edges.size(); ++k) {
        auto [it, fresh] = chainOfRoot.emplace(root(int32_t(k)), chains.size());
        if (fresh) chains.emplace_back();
        chains[it->second].push_back(edges[k]);
    }

    MeshData out = in;
    Appender add(out);
    const meshmod::ComponentMover mover(params.move);
    std::vector<int32_t> joining;
    std::vector<size_t> newFaces;
    const int d = params.divisions;
    for (const std::vector<int32_t>& chain : chains) {
        std::vector<int32_t> verts;
        std::unordered_map<int32_t, size_t> slot;
        for (int32_t e : chain)
            for (int side = 0; side < 2; ++side)
                if (const int32_t v = in.edges[2 * size_t(e) + size_t(side)]; slot.emplace(v, verts.size()).second) verts.push_back(v);
        std::vector<MeshVec> from(verts.size()), to(verts.size());
        std::vector<int> shares(verts.size(), 0);
        for (size_t i = 0; i < verts.size(); ++i) from[i] = meshPoint(in.points.data(), verts[i]);
        for (int32_t e : chain) {
            const int32_t v0 = in.edges[2 * size_t(e)], v1 = in.edges[2 * size_t(e) + 1];
            const Walk& w = walks[pairKey(v0, v1)];
            const MeshVec p0 = from[slot[v0]], p1 = from[slot[v1]];
            const MeshVec along = (w.face >= 0 && w.a == v1 ? p0 - p1 : p1 - p0).normalized();
            MeshVec z = w.normalSum.normalized();
            // A border edge grows the surface outward across it; an inner edge stands up off it.
            if (w.faces == 1) z = along.cross(z).normalized();
            const MeshVec centre = (p0 + p1) * 0.5;
            const meshmod::MoveFrame frame = mover.frame(centre, z);
            const double half = (p1 - p0).length() * 0.5;
            const double inset = half > 0 ? std::clamp(params.move.offset / half, -1e6, 1.0) : 0.0;
            for (const int32_t v : {v0, v1}) {
                const size_t i = slot[v];
                to[i] += mover.local(from[i] + (centre - from[i]) * inset, frame);
                ++shares[i];
            }
        }
        for (size_t i = 0; i < verts.size(); ++i) to[i] = mover.world(to[i] * (1.0 / std::max(shares[i], 1)));

        std::vector<std::vector<int32_t>> level(size_t(d) + 1, verts);
        for (int k = 1; k <= d; ++k)
            for (size_t i = 0; i < verts.size(); ++i) {
                const double t = double(k) / d;
                level[size_t(k)][i] = add.addVertex(from[i] * (1 - t) + to[i] * t);
            }
        for (int32_t e : chain) {
            int32_t a = in.edges[2 * size_t(e)], b = in.edges[2 * size_t(e) + 1];
            const Walk& w = walks[pairKey(a, b)];
            if (w.face >= 0 && w.a == b) std::swap(a, b);   // now the face beside walks a->b
            const size_t ia = slot[a], ib = slot[b];
            const bool faced = w.face >= 0;
            for (int k = 1; k <= d; ++k) {
                const int32_t a0 = level[size_t(k - 1)][ia], b0 = level[size_t(k - 1)][ib];
                const int32_t a1 = level[size_t(k)][ia], b1 = level[size_t(k)][ib];
                const size_t f = faced ? add.addFace({b0, a0, a1, b1}) : add.addFace({a0, b0, b1, a1});
                newFaces.push_back(f);
                // The copied edge keeps its source's smoothing; the joins are decided by angle.
                joining.push_back(add.edge(a0, a1, 1));
                add.edge(a1, b1, out.edgeSmooth[size_t(e)]);
                joining.push_back(add.edge(b1, b0, 1));
            }
        }
    }
    std::sort(joining.begin(), joining.end());
    joining.erase(std::unique(joining.begin(), joining.end()), joining.end());
    hardenByAngle(out, joining, newFaces, params.smoothingAngle);
    return out;
}

// --- polyChipOff ------------------------------------------------------------------

MeshData applyPolyChipOff(const MeshData& in, const PolyChipOffParams& params, std::string* warning) {
    constexpr const char* kNode = "polyChipOff";
    if (!meshmod::usableMesh(in, kNode, warning)) return in;
    const std::vector<int32_t> faces = meshmod::selectedFaces(in, params.inputComponents, kNode, warning);
    if (faces.empty()) return in;
    if (params.duplicate && refuseGrowth(in.numFaces() + faces.size(), kNode, warning)) return in;

    MeshData out = in;
    const meshmod::ComponentMover mover(params.move);
    std::vector<size_t> moved;            // the faces that now sit on new vertices
    std::unordered_map<uint64_t, size_t> inEdges;
    for (size_t e = 0; e < in.numEdges(); ++e) inEdges.emplace(pairKey(in.edges[2 * e], in.edges[2 * e + 1]), e);
    auto smoothOf = [&](int32_t a, int32_t b) -> uint8_t {
        auto it = inEdges.find(pairKey(a, b));
        return it == inEdges.end() || it->second >= in.edgeSmooth.size() ? 1 : in.edgeSmooth[it->second];
    };
    for (const std::vector<int32_t>& region : meshmod::faceRegions(in, faces, params.keepFacesTogether)) {
        std::vector<int32_t> verts;
        std::unordered_map<int32_t, size_t> slot;
        for (int32_t f : region)
            for (uint32_t c = in.loopStart[in.faceLoopStart[size_t(f)]]; c < in.loopStart[in.faceLoopStart[size_t(f) + 1]]; ++c)
                if (slot.emplace(in.faceVertices[c], verts.size()).second) verts.push_back(in.faceVertices[c]);
        std::vector<MeshVec> to(verts.size(), MeshVec{0, 0, 0});
        std::vector<int> shares(verts.size(), 0);
        for (int32_t f : region) {
            const meshmod::MoveFrame frame = mover.frame(meshmod::faceCentre(in, size_t(f)), meshmod::faceUnitNormal(in, size_t(f)));
            for (uint32_t c = in.loopStart[in.faceLoopStart[size_t(f)]]; c < in.loopStart[in.faceLoopStart[size_t(f) + 1]]; ++c) {
                const size_t i = slot[in.faceVertices[c]];
                const MeshVec p = meshPoint(in.points.data(), verts[i]);
                const MeshVec towards = frame.centre - p;
                const double reach = towards.length();
                // Offset insets the face: its corners move that far towards its centre, never past it.
                const MeshVec inset = reach > 0 ? p + towards * (std::min(params.move.offset, reach) / reach) : p;
                to[i] += mover.local(inset, frame);
                ++shares[i];
            }
        }
        std::vector<int32_t> fresh(verts.size());
        for (size_t i = 0; i < verts.size(); ++i) {
            const MeshVec q = mover.world(to[i] * (1.0 / std::max(shares[i], 1)));
            fresh[i] = int32_t(out.numVertices());
            out.points.insert(out.points.end(), {float(q.x), float(q.y), float(q.z)});
        }
        for (int32_t f : region) {
            size_t target = size_t(f);
            if (params.duplicate) {
                // A copy with the original's per-corner data.
                const uint32_t l0 = in.faceLoopStart[size_t(f)], l1 = in.faceLoopStart[size_t(f) + 1];
                for (uint32_t l = l0; l < l1; ++l) {
                    const uint32_t b = in.loopStart[l], e = in.loopStart[l + 1];
                    out.faceVertices.insert(out.faceVertices.end(), in.faceVertices.begin() + b, in.faceVertices.begin() + e);
                    for (size_t s = 0; s < out.uvSets.size(); ++s)
                        if (!in.uvSets[s].faceVertexUV.empty())
                            out.uvSets[s].faceVertexUV.insert(out.uvSets[s].faceVertexUV.end(),
                                                              in.uvSets[s].faceVertexUV.begin() + b, in.uvSets[s].faceVertexUV.begin() + e);
                    for (size_t s = 0; s < out.colorSets.size(); ++s)
                        if (!in.colorSets[s].faceVertexColor.empty())
                            out.colorSets[s].faceVertexColor.insert(out.colorSets[s].faceVertexColor.end(),
                                                                    in.colorSets[s].faceVertexColor.begin() + b,
                                                                    in.colorSets[s].faceVertexColor.begin() + e);
                    if (!in.faceVertexNormals.empty())
                        out.faceVertexNormals.insert(out.faceVertexNormals.end(), in.faceVertexNormals.begin() + 3 * b,
                                                     in.faceVertexNormals.begin() + 3 * e);
                    out.loopStart.push_back(uint32_t(out.faceVertices.size()));
                }
                out.faceLoopStart.push_back(uint32_t(out.numLoops()));
                target = out.numFaces() - 1;
            }
            moved.push_back(target);
            for (uint32_t c = out.loopStart[out.faceLoopStart[target]]; c < out.loopStart[out.faceLoopStart[target + 1]]; ++c)
                out.faceVertices[c] = fresh[slot[out.faceVertices[c]]];
        }
    }
    // The moved faces' sides: new edges as they are walked, smoothing from where they came from.
    std::unordered_map<int32_t, int32_t> origin;
    {
        // New vertex -> the old one, rebuilt from the corners (the moved faces walk them in the same order).
        size_t k = 0;
        std::vector<int32_t> sourceFaces;
        for (const std::vector<int32_t>& region : meshmod::faceRegions(in, faces, params.keepFacesTogether))
            sourceFaces.insert(sourceFaces.end(), region.begin(), region.end());
        for (size_t f : moved) {
            const size_t src = size_t(sourceFaces[k++]);
            for (uint32_t c = out.loopStart[out.faceLoopStart[f]], s = in.loopStart[in.faceLoopStart[src]];
                 c < out.loopStart[out.faceLoopStart[f + 1]]; ++c, ++s)
                origin[out.faceVertices[c]] = in.faceVertices[s];
        }
    }
    Appender add(out);
    for (size_t f : moved)
        for (uint32_t l = out.faceLoopStart[f]; l < out.faceLoopStart[f + 1]; ++l)
            for (uint32_t c = out.loopStart[l], e = out.loopStart[l + 1]; c < e; ++c) {
                const int32_t a = out.faceVertices[c], b = out.faceVertices[c + 1 < e ? c + 1 : out.loopStart[l]];
                add.edge(a, b, smoothOf(origin[a], origin[b]));
            }
    if (!params.duplicate) meshmod::dropUnusedVerticesAndEdges(out);
    return out;
}

// --- polyExtrudeVertex ------------------------------------------------------------

namespace {

// Faces as corner lists while corners are inserted and cut, written back at the end.
struct Corner {
    int32_t v = 0;
    std::vector<int32_t> uv, colour;   // per set
    std::array<float, 3> normal{1e20f, 1e20f, 1e20f};
};
using Loop = std::vector<Corner>;

class CornerMesh {
public:
    explicit CornerMesh(MeshData& m) : m_(m), faces_(m.numFaces()) {
        for (size_t f = 0; f < m.numFaces(); ++f)
            for (uint32_t l = m.faceLoopStart[f]; l < m.faceLoopStart[f + 1]; ++l) {
                Loop loop;
                for (uint32_t c = m.loopStart[l]; c < m.loopStart[l + 1]; ++c) {
                    Corner k;
                    k.v = m.faceVertices[c];
                    for (const MeshUVSet& s : m.uvSets) k.uv.push_back(s.faceVertexUV.empty() ? -1 : s.faceVertexUV[c]);
                    for (const MeshColorSet& s : m.colorSets)
                        k.colour.push_back(s.faceVertexColor.empty() ? -1 : s.faceVertexColor[c]);
                    if (!m.faceVertexNormals.empty())
                        k.normal = {m.faceVertexNormals[3 * c], m.faceVertexNormals[3 * c + 1], m.faceVertexNormals[3 * c + 2]};
                    loop.push_back(std::move(k));
                }
                faces_[f].push_back(std::move(loop));
            }
    }
    std::vector<std::vector<Loop>>& faces() { return faces_; }

    // A corner for vertex v at t from corner a towards corner b: uvs between
    // theirs (one new uv per pair and vertex, so faces agreeing on a seam share it).
    Corner between(int32_t v, const Corner& a, const Corner& b, double t) {
        Corner k;
        k.v = v;
        k.colour = a.colour;
        for (size_t s = 0; s < a.uv.size(); ++s) {
            const int32_t ua = a.uv[s], ub = b.uv[s];
            if (ua < 0 || ub < 0) {
                k.uv.push_back(-1);
                continue;
            }
            MeshUVSet& set = m_.uvSets[s];
            auto [it, fresh] = uvs_.emplace(std::array<int64_t, 4>{int64_t(s), v, ua, ub}, int32_t(set.u.size()));
            if (fresh) {
                set.u.push_back(float(set.u[size_t(ua)] * (1 - t) + set.u[size_t(ub)] * t));
                set.v.push_back(float(set.v[size_t(ua)] * (1 - t) + set.v[size_t(ub)] * t));
            }
            k.uv.push_back(it->second);
        }
        return k;
    }

    void writeBack() {
        m_.faceVertices.clear();
        m_.loopStart.assign(1, 0);
        m_.faceLoopStart.assign(1, 0);
        std::vector<uint8_t> hasUV, hasColour;
        for (MeshUVSet& s : m_.uvSets) hasUV.push_back(!s.faceVertexUV.empty()), s.faceVertexUV.clear();
        for (MeshColorSet& s : m_.colorSets) hasColour.push_back(!s.faceVertexColor.empty()), s.faceVertexColor.clear();
        const bool normals = !m_.faceVertexNormals.empty();
        m_.faceVertexNormals.clear();
        for (const std::vector<Loop>& face : faces_) {
            for (const Loop& loop : face) {
                for (const Corner& k : loop) {
                    m_.faceVertices.push_back(k.v);
                    for (size_t s = 0; s < hasUV.size(); ++s)
                        if (hasUV[s]) m_.uvSets[s].faceVertexUV.push_back(k.uv[s]);
                    for (size_t s = 0; s < hasColour.size(); ++s)
                        if (hasColour[s]) m_.colorSets[s].faceVertexColor.push_back(k.colour[s]);
                    if (normals) m_.faceVertexNormals.insert(m_.faceVertexNormals.end(), k.normal.begin(), k.normal.end());
                }
                m_.loopStart.push_back(uint32_t(m_.faceVertices.size()));
            }
            m_.faceLoopStart.push_back(uint32_t(m_.loopStart.size() - 1));
        }
    }

private:
    MeshData& m_;
    std::vector<std::vector<Loop>> faces_;
    std::map<std::array<int64_t, 4>, int32_t> uvs_;
};

}  // namespace

MeshData applyPolyExtrudeVertex(const MeshData& in, const PolyExtrudeVertexParams& params, std::string* warning) {
    constexpr const char* kNode = "polyExtrudeVertex";
    if (!meshmod::usableMesh(in, kNode, warning)) return in;
    if (params.divisions < 1 || !std::isfinite(params.width) || !std::isfinite(params.length)) {
        addWarning(warning, std::string(kNode) + ": divisions below 1 or a width or length not finite, vertices not extruded");
        return in;
    }
    ComponentSelection sel;
    if (params.inputComponents) {
        if (std::string why = parseComponentList(*params.inputComponents, componentLimits(in), sel); !why.empty()) {
            addWarning(warning, std::string(kNode) + ": " + why);
            return in;
        }
    } else {
        sel.vertices.resize(in.numVertices());
        std::iota(sel.vertices.begin(), sel.vertices.end(), 0);
    }
    const double width = std::clamp(params.width, 0.0, 1.0);
    if (width != params.width) addWarning(warning, std::string(kNode) + ": width held to [0, 1]");

    // Faces and edges around each vertex; a vertex a face passes twice is left alone.
    std::vector<std::vector<int32_t>> facesAt(in.numVertices()), edgesAt(in.numVertices());
    std::unordered_map<uint64_t, std::vector<int32_t>> edgeFaces;
    std::vector<uint8_t> twice(in.numVertices(), 0);
    for (size_t f = 0; f < in.numFaces(); ++f)
        for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1]; ++l)
            for (uint32_t c = in.loopStart[l], e = in.loopStart[l + 1]; c < e; ++c) {
                const int32_t a = in.faceVertices[c], b = in.faceVertices[c + 1 < e ? c + 1 : in.loopStart[l]];
                std::vector<int32_t>& around = facesAt[size_t(a)];
                if (!around.empty() && around.back() == int32_t(f)) twice[size_t(a)] = 1;
                else around.push_back(int32_t(f));
                edgeFaces[pairKey(a, b)].push_back(int32_t(f));
            }
    for (size_t e = 0; e < in.numEdges(); ++e)
        for (int side = 0; side < 2; ++side) edgesAt[size_t(in.edges[2 * e + size_t(side)])].push_back(int32_t(e));
    std::vector<int32_t> vertices;
    size_t skipped = 0;
    for (int32_t v : sel.vertices) {
        if (twice[size_t(v)] || facesAt[size_t(v)].empty()) ++skipped;
        else vertices.push_back(v);
    }
    if (skipped)
        addWarning(warning, std::string(kNode) + ": " + std::to_string(skipped) +
                                " vertices on no face, or twice on one, not extruded");
    if (vertices.empty()) return in;
    uint64_t added = 0;
    for (int32_t v : vertices) added += facesAt[size_t(v)].size() * uint64_t(params.divisions);
    if (refuseGrowth(in.numFaces() + added, kNode, warning)) return in;

    MeshData out = in;
    Appender add(out);
    CornerMesh corners(out);

    // Splits the piece (v, u) of an edge by n: the piece keeps its id for the
    // half at its first vertex; each face walking it gains the corner.
    auto split = [&](int32_t v, int32_t u, int32_t n, const std::vector<int32_t>& faces, double t) {
        const int32_t id = add.find(v, u);
        if (id < 0) return;
        const int32_t first = out.edges[2 * size_t(id)], other = first == v ? u : v;
        add.forget(v, u);
        out.edges[2 * size_t(id) + 1] = n;
        out.edges[2 * size_t(id)] = first;
        add.remember(first, n, size_t(id));
        add.edge(n, other, out.edgeSmooth[size_t(id)]);
        for (int32_t f : faces)
            for (Loop& loop : corners.faces()[size_t(f)])
                for (size_t i = 0; i < loop.size(); ++i) {
                    const size_t j = (i + 1) % loop.size();
                    if (!((loop[i].v == v && loop[j].v == u) || (loop[i].v == u && loop[j].v == v))) continue;
                    const bool fromV = loop[i].v == v;
                    Corner k = corners.between(n, fromV ? loop[i] : loop[j], fromV ? loop[j] : loop[i], t);
                    loop.insert(loop.begin() + long(j == 0 ? loop.size() : j), std::move(k));
                    break;
                }
    };

    const int d = params.divisions;
    std::unordered_map<int32_t, MeshVec> tips;
    for (int32_t v : vertices) {
        MeshVec normal;
        for (int32_t f : facesAt[size_t(v)]) normal += meshmod::faceUnitNormal(in, size_t(f));
        tips[v] = meshPoint(in.points.data(), v) + normal.normalized() * params.length;
    }
    // Maya splits the edges in id order across all the listed vertices (an
    // edge listed at both ends at its first vertex first), level by level: a
    // chamfer's deleteComponent, which names the halves, shows that order.
    struct Cut {
        int32_t edge, v;
    };
    std::vector<Cut> cuts;
    for (int32_t v : vertices)
        for (int32_t e : edgesAt[size_t(v)]) cuts.push_back({e, v});
    std::sort(cuts.begin(), cuts.end(), [&](const Cut& x, const Cut& y) {
        if (x.edge != y.edge) return x.edge < y.edge;
        return (in.edges[2 * size_t(x.edge)] != x.v) < (in.edges[2 * size_t(y.edge)] != y.v);
    });
    std::map<std::pair<int32_t, int32_t>, std::vector<int32_t>> points;   // (vertex, edge): the cut, then the rings
    for (int k = 0; k < d; ++k)
        for (const Cut& cut : cuts) {
            const int32_t v = cut.v, e = cut.edge;
            const int32_t w = in.edges[2 * size_t(e)] == v ? in.edges[2 * size_t(e) + 1] : in.edges[2 * size_t(e)];
            const MeshVec p = meshPoint(in.points.data(), v), tip = tips[v];
            const MeshVec base = p + (meshPoint(in.points.data(), w) - p) * width;
            const int32_t n = add.addVertex(base + (tip - base) * (double(k) / d));
            std::vector<int32_t>& mine = points[{v, e}];
            // The piece from v runs to its last point on this edge, else to the far end's cut or the far end.
            int32_t far = w;
            if (!mine.empty()) far = mine.back();
            else if (auto it = points.find({w, e}); it != points.end() && !it->second.empty()) far = it->second.front();
            const MeshVec q = meshPoint(out.points.data(), far);
            const double span = (q - p).length();
            const double t = k == 0 ? (span > 0 ? std::clamp((base - p).length() / span, 0.0, 1.0) : 0.0) : double(d - k) / (d - k + 1);
            split(v, far, n, edgeFaces[pairKey(in.edges[2 * size_t(e)], in.edges[2 * size_t(e) + 1])], t);
            mine.push_back(n);
        }
    for (const auto& [v, tip] : tips) {
        out.points[3 * size_t(v)] = float(tip.x);
        out.points[3 * size_t(v) + 1] = float(tip.y);
        out.points[3 * size_t(v) + 2] = float(tip.z);
    }

    // Cut each face around each vertex; the pieces cut off become strips to the tip.
    std::vector<std::vector<Corner>> pieces;
    for (int32_t v : vertices)
        for (int32_t f : facesAt[size_t(v)])
            for (Loop& loop : corners.faces()[size_t(f)]) {
                const auto at = std::find_if(loop.begin(), loop.end(), [&](const Corner& k) { return k.v == v; });
                if (at == loop.end()) continue;
                const size_t n = loop.size(), i = size_t(at - loop.begin());
                if (n < size_t(2 * d + 1)) break;
                std::vector<Corner> before, after;   // from the cut towards the tip
                for (int k = d; k >= 1; --k) before.push_back(loop[(i + n - size_t(k)) % n]);
                for (int k = d; k >= 1; --k) after.push_back(loop[(i + size_t(k)) % n]);
                // before[0] is the cut on the incoming side, after[0] on the outgoing one.
                for (int k = 0; k + 1 < d; ++k)
                    pieces.push_back({before[size_t(k)], before[size_t(k) + 1], after[size_t(k) + 1], after[size_t(k)]});
                pieces.push_back({before[size_t(d) - 1], *at, after[size_t(d) - 1]});
                // The face keeps its corners outside the piece: drop v and the rings on both sides.
                std::vector<size_t> gone;
                for (int k = -(d - 1); k <= d - 1; ++k) gone.push_back((i + n + size_t(k + n)) % n);
                std::sort(gone.begin(), gone.end());
                for (auto it = gone.rbegin(); it != gone.rend(); ++it) loop.erase(loop.begin() + long(*it));
                break;
            }
    const size_t firstPiece = corners.faces().size();
    for (std::vector<Corner>& piece : pieces) corners.faces().push_back({std::move(piece)});
    corners.writeBack();
    for (size_t f = firstPiece; f < out.numFaces(); ++f) add.addFaceEdges(f, 1);
    return out;
}

}  // namespace mayahost
