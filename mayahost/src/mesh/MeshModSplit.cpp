// polySplit: a cut through points on edges, each step across one face.

#include "mesh/MeshModifiers.h"

#include "mesh/MeshModUtil.h"
#include "mesh/MeshVec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <unordered_map>

namespace mayahost {
namespace {

using meshmod::addWarning;
using meshmod::pairKey;

class Splitter {
public:
    explicit Splitter(const MeshData& in) : m_(in), uvMids_(in.uvSets.size()) {
        if (m_.edgeSmooth.size() != m_.numEdges()) m_.edgeSmooth.assign(m_.numEdges(), 1);
        for (size_t e = 0; e < m_.numEdges(); ++e) edgeIds_[pairKey(m_.edges[2 * e], m_.edges[2 * e + 1])] = int32_t(e);
    }

    // The vertex at fraction t of edge e (an end at 0 or 1, else a new vertex
    // splitting the edge in every face that walks it); -1 when e is not an edge.
    int32_t pointOn(int32_t e, double t) {
        if (e < 0 || size_t(e) >= m_.numEdges() || !(t >= 0 && t <= 1)) return -1;
        const int32_t a = m_.edges[2 * size_t(e)], b = m_.edges[2 * size_t(e) + 1];
        if (t == 0) return a;
        if (t == 1) return b;
        const MeshVec p = meshPoint(m_.points.data(), a) * (1 - t) + meshPoint(m_.points.data(), b) * t;
        const int32_t v = int32_t(m_.numVertices());
        m_.points.insert(m_.points.end(), {float(p.x), float(p.y), float(p.z)});
        // The edge keeps its first half; the second is a new edge.
        m_.edges[2 * size_t(e) + 1] = v;
        edgeIds_.erase(pairKey(a, b));
        edgeIds_[pairKey(a, v)] = e;
        addEdge(v, b, m_.edgeSmooth[size_t(e)]);
        for (size_t f = 0; f < m_.numFaces(); ++f) insertIntoFace(f, a, b, v, t);
        return v;
    }

    // Cuts the face that holds both vertices (not as neighbours) between them.
    bool cut(int32_t u, int32_t w) {
        if (u == w) return true;
        for (size_t f = 0; f < m_.numFaces(); ++f) {
            if (m_.faceLoopStart[f + 1] - m_.faceLoopStart[f] != 1) continue;
            const uint32_t b = m_.loopStart[m_.faceLoopStart[f]], e = m_.loopStart[m_.faceLoopStart[f] + 1];
            const auto first = m_.faceVertices.begin() + b, last = m_.faceVertices.begin() + e;
            const auto iu = std::find(first, last, u), iw = std::find(first, last, w);
            if (iu == last || iw == last) continue;
            const uint32_t cu = uint32_t(iu - m_.faceVertices.begin()), cw = uint32_t(iw - m_.faceVertices.begin());
            const uint32_t n = e - b;
            const uint32_t du = cu - b, dw = cw - b;
            if ((du + 1) % n == dw || (dw + 1) % n == du) return true;   // already an edge of the face
            splitFace(f, du, dw);
            addEdge(u, w, 1);
            return true;
        }
        return false;
    }

    MeshData finish() { return std::move(m_); }
    const MeshData& mesh() const { return m_; }

private:
    void addEdge(int32_t a, int32_t b, uint8_t smooth) {
        edgeIds_[pairKey(a, b)] = int32_t(m_.numEdges());
        m_.edges.insert(m_.edges.end(), {a, b});
        m_.edgeSmooth.push_back(smooth);
    }

    // Puts v between a and b wherever face f walks that side; its uv (colour)
    // is a new point between the side's, one per distinct pair.
    void insertIntoFace(size_t f, int32_t a, int32_t b, int32_t v, double t) {
        for (uint32_t l = m_.faceLoopStart[f]; l < m_.faceLoopStart[f + 1]; ++l) {
            const uint32_t s = m_.loopStart[l], e = m_.loopStart[l + 1];
            for (uint32_t c = s; c < e; ++c) {
                const uint32_t d = c + 1 < e ? c + 1 : s;
                const int32_t p = m_.faceVertices[c], q = m_.faceVertices[d];
                if (!((p == a && q == b) || (p == b && q == a))) continue;
                const double at = p == a ? t : 1 - t;
                insertCorner(l, c + 1, v, c, d, at);
                return;
            }
        }
    }

    // A new corner at position `pos` of loop l, between corners c0 and c1.
    void insertCorner(uint32_t l, uint32_t pos, int32_t v, uint32_t c0, uint32_t c1, double at) {
        for (size_t k = 0; k < m_.uvSets.size(); ++k) {
            std::vector<int32_t>& ids = m_.uvSets[k].faceVertexUV;
            if (ids.empty()) continue;
            int32_t id = -1;
            if (ids[c0] >= 0 && ids[c1] >= 0) {
                // Faces that agree on the side's uvs share the new one.
                const std::array<int32_t, 3> key{v, std::min(ids[c0], ids[c1]), std::max(ids[c0], ids[c1])};
                auto [it, fresh] = uvMids_[k].emplace(key, 0);
                if (fresh) {
                    MeshUVSet& set = m_.uvSets[k];
                    const size_t i0 = size_t(ids[c0]), i1 = size_t(ids[c1]);
                    set.u.push_back(float(set.u[i0] * (1 - at) + set.u[i1] * at));
                    set.v.push_back(float(set.v[i0] * (1 - at) + set.v[i1] * at));
                    it->second = int32_t(set.u.size() - 1);
                }
                id = it->second;
            }
            ids.insert(ids.begin() + pos, id);
        }
        for (MeshColorSet& set : m_.colorSets)
            if (!set.faceVertexColor.empty()) set.faceVertexColor.insert(set.faceVertexColor.begin() + pos, -1);
        if (!m_.faceVertexNormals.empty())
            m_.faceVertexNormals.insert(m_.faceVertexNormals.begin() + 3 * pos, {1e20f, 1e20f, 1e20f});
        m_.faceVertices.insert(m_.faceVertices.begin() + pos, v);
        for (size_t k = l + 1; k < m_.loopStart.size(); ++k) ++m_.loopStart[k];
    }

    // Face f (one loop) cut from corner du to corner dw keeps the part that
    // walks on from dw round to du; the part from du to dw is appended as a
    // new face. The part holding the face's first corner starts there; the
    // other starts at the cut's later corner and crosses the cut first. The
    // CornerRoom floor tiles, each cut out by several splits, start where its
    // extrusions of two and three tiles need them to (their numbering depends
    // on the corner a face starts at); a cut from the first corner itself is
    // not shown there.
    void splitFace(size_t f, uint32_t du, uint32_t dw) {
        const uint32_t l = m_.faceLoopStart[f], b = m_.loopStart[l], n = m_.loopStart[l + 1] - b;
        const uint32_t lo = std::min(du, dw), hi = std::max(du, dw);
        // One part is corners 0..lo and hi..n-1, the other hi and lo..hi-1.
        std::vector<uint32_t> outer, inner{b + hi};
        for (uint32_t k = 0; k <= lo; ++k) outer.push_back(b + k);
        for (uint32_t k = hi; k < n; ++k) outer.push_back(b + k);
        for (uint32_t k = lo; k < hi; ++k) inner.push_back(b + k);
        // The inner part walks from du to dw when du comes first.
        std::vector<uint32_t>& kept = du < dw ? outer : inner;
        std::vector<uint32_t>& made = du < dw ? inner : outer;
        auto take = [&](auto& array, size_t width) {
            using T = typename std::decay_t<decltype(array)>::value_type;
            std::vector<T> keptValues, madeValues;
            for (uint32_t c : kept) keptValues.insert(keptValues.end(), array.begin() + c * width, array.begin() + (c + 1) * width);
            for (uint32_t c : made) madeValues.insert(madeValues.end(), array.begin() + c * width, array.begin() + (c + 1) * width);
            array.erase(array.begin() + b * width, array.begin() + (b + n) * width);
            array.insert(array.begin() + b * width, keptValues.begin(), keptValues.end());
            array.insert(array.end(), madeValues.begin(), madeValues.end());
        };
        take(m_.faceVertices, 1);
        for (MeshUVSet& set : m_.uvSets)
            if (!set.faceVertexUV.empty()) take(set.faceVertexUV, 1);
        for (MeshColorSet& set : m_.colorSets)
            if (!set.faceVertexColor.empty()) take(set.faceVertexColor, 1);
        if (!m_.faceVertexNormals.empty()) take(m_.faceVertexNormals, 3);
        const int32_t shrink = int32_t(n) - int32_t(kept.size());
        for (size_t k = l + 1; k < m_.loopStart.size(); ++k) m_.loopStart[k] = uint32_t(int32_t(m_.loopStart[k]) - shrink);
        m_.loopStart.push_back(uint32_t(m_.faceVertices.size()));
        m_.faceLoopStart.push_back(uint32_t(m_.numLoops()));
    }

    MeshData m_;
    std::unordered_map<uint64_t, int32_t> edgeIds_;
    std::vector<std::map<std::array<int32_t, 3>, int32_t>> uvMids_;
};

}  // namespace

MeshData applyPolySplit(const MeshData& in, const PolySplitParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polySplit", warning)) return in;
    // Each point looks through the faces: a long cut over a large mesh is refused.
    if (double(params.points.size()) * double(in.numFaces() + 1) > 2e8) {
        addWarning(warning, "polySplit: " + std::to_string(params.points.size()) + " points over " +
                                std::to_string(in.numFaces()) + " faces is beyond what is evaluated, geometry passed through");
        return in;
    }
    Splitter s(in);
    // Maya numbers the edges a cut makes in two runs: first the second halves
    // of the split edges, in the order of the points, then the cut's own
    // edges along the cut. So every point is placed before any face is cut.
    std::vector<int32_t> vertices;
    // A point named again (a cut closing on its start) is the vertex it made the first time.
    std::map<std::pair<int32_t, double>, int32_t> made;
    for (size_t i = 0; i < params.points.size(); ++i) {
        const SplitPoint& point = params.points[i];
        if (!point.onEdge) {
            addWarning(warning, "polySplit: point " + std::to_string(i) + " lies inside a face, which is not evaluated; "
                                "geometry passed through");
            return in;
        }
        const auto again = made.find({point.edge, point.fraction});
        const int32_t v = again != made.end() ? again->second : s.pointOn(point.edge, point.fraction);
        made.emplace(std::pair{point.edge, point.fraction}, v);
        if (v < 0) {
            addWarning(warning, "polySplit: point " + std::to_string(i) + " (edge " + std::to_string(point.edge) +
                                    ") is not on the mesh, geometry passed through");
            return in;
        }
        vertices.push_back(v);
    }
    for (size_t i = 1; i < vertices.size(); ++i) {
        if (!s.cut(vertices[i - 1], vertices[i])) {
            addWarning(warning, "polySplit: point " + std::to_string(i) + " (edge " + std::to_string(params.points[i].edge) +
                                    ") does not continue the cut, geometry passed through");
            return in;
        }
    }
    return s.finish();
}

namespace {

// The ring of selected edges through the root edge: each step crosses a quad
// to its opposite side. Per edge, the vertex its weight is measured from.
struct RingStep {
    int32_t edge;
    int32_t from;
};

class Ring {
public:
    Ring(const MeshData& m, const std::vector<int32_t>& selected) : m_(m) {
        for (int32_t e : selected) selected_.insert({e, 0});
        for (size_t e = 0; e < m.numEdges(); ++e) ids_[pairKey(m.edges[2 * e], m.edges[2 * e + 1])] = int32_t(e);
        for (size_t f = 0; f < m.numFaces(); ++f) {
            if (m.faceLoopStart[f + 1] - m.faceLoopStart[f] != 1) continue;
            const uint32_t b = m.loopStart[m.faceLoopStart[f]];
            if (m.loopStart[m.faceLoopStart[f] + 1] - b != 4) continue;
            for (uint32_t k = 0; k < 4; ++k) {
                auto it = ids_.find(pairKey(m.faceVertices[b + k], m.faceVertices[b + (k + 1) % 4]));
                if (it != ids_.end()) quadsOf_[it->second].push_back({int32_t(f), k});
            }
        }
    }

    // Steps from the root edge through its quads, one way then the other;
    // `closed` when the ring comes back to the root.
    std::vector<RingStep> walk(int32_t root, int32_t from, bool& closed) {
        std::vector<RingStep> forward{{root, from}};
        selected_[root] = 1;
        closed = false;
        const auto& quads = quadsOf_[root];
        if (!quads.empty()) closed = extend(forward, quads[0].face);
        if (closed || quads.size() < 2) return forward;
        std::vector<RingStep> backward{{root, from}};
        extend(backward, quads[1].face);
        std::vector<RingStep> out(backward.rbegin(), backward.rend() - 1);
        out.insert(out.end(), forward.begin(), forward.end());
        return out;
    }

private:
    struct Side {
        int32_t face;
        uint32_t corner;  // the side runs from this corner to the next
    };

    bool extend(std::vector<RingStep>& steps, int32_t face) {
        for (;;) {
            const RingStep& at = steps.back();
            const Side* side = nullptr;
            for (const Side& s : quadsOf_[at.edge])
                if (s.face == face) side = &s;
            if (!side) return false;
            const uint32_t b = m_.loopStart[m_.faceLoopStart[size_t(face)]];
            auto corner = [&](uint32_t k) { return m_.faceVertices[b + (side->corner + k) % 4]; };
            // Corner 0 faces corner 3 across the quad, corner 1 faces corner 2.
            const int32_t from = at.from == corner(0) ? corner(3) : corner(2);
            auto it = ids_.find(pairKey(corner(2), corner(3)));
            if (it == ids_.end()) return false;
            const int32_t next = it->second;
            auto selected = selected_.find(next);
            if (selected == selected_.end()) return false;
            if (selected->second) return next == steps.front().edge;
            selected->second = 1;
            steps.push_back({next, from});
            // On through the quad beyond the opposite side.
            int32_t beyond = -1;
            for (const Side& s : quadsOf_[next])
                if (s.face != face) beyond = s.face;
            if (beyond < 0) return false;
            face = beyond;
        }
    }

    const MeshData& m_;
    std::unordered_map<int32_t, int> selected_;  // 1 once walked
    std::unordered_map<uint64_t, int32_t> ids_;
    std::unordered_map<int32_t, std::vector<Side>> quadsOf_;
};

}  // namespace

MeshData applyPolySplitRing(const MeshData& in, const PolySplitRingParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polySplitRing", warning)) return in;
    const std::vector<int32_t> edges = meshmod::selectedEdges(in, params.inputComponents, "polySplitRing", warning);
    if (edges.empty()) return in;
    if (params.splitType != 0)
        addWarning(warning, "polySplitRing: split type " + std::to_string(params.splitType) +
                                " is evaluated as one loop at the weight");
    if (double(edges.size()) * double(in.numFaces() + 1) > 2e8) {
        addWarning(warning, "polySplitRing: " + std::to_string(edges.size()) + " edges over " +
                                std::to_string(in.numFaces()) + " faces is beyond what is evaluated, geometry passed through");
        return in;
    }
    const int32_t root = std::find(edges.begin(), edges.end(), params.rootEdge) != edges.end() ? params.rootEdge : edges.front();
    const int32_t rootFrom = in.edges[2 * size_t(root) + (params.direction ? 0 : 1)];
    bool closed = false;
    const std::vector<RingStep> ring = Ring(in, edges).walk(root, rootFrom, closed);
    if (ring.size() < 2) {
        addWarning(warning, "polySplitRing: edge " + std::to_string(root) + " has no quad to cross, geometry passed through");
        return in;
    }
    if (ring.size() + (closed ? 0 : 1) < edges.size())
        addWarning(warning, "polySplitRing: " + std::to_string(edges.size() - ring.size()) +
                                " listed edges are not on the ring of edge " + std::to_string(root) + " and stay whole");
    const double weight = std::clamp(params.weight, 0.0, 1.0);
    Splitter s(in);
    int32_t first = -1, previous = -1;
    for (const RingStep& step : ring) {
        const bool fromFirst = s.mesh().edges[2 * size_t(step.edge)] == step.from;
        const int32_t v = s.pointOn(step.edge, fromFirst ? weight : 1 - weight);
        if (v < 0 || (previous >= 0 && !s.cut(previous, v))) {
            addWarning(warning, "polySplitRing: the ring does not continue at edge " + std::to_string(step.edge) +
                                    ", geometry passed through");
            return in;
        }
        if (first < 0) first = v;
        previous = v;
    }
    if (closed && !s.cut(previous, first)) {
        addWarning(warning, "polySplitRing: the ring does not close, geometry passed through");
        return in;
    }
    return s.finish();
}

}  // namespace mayahost
