// polyBevel3 and polyBevel: edges become strips of faces, the faces beside them
// drawing back, with patches where bevelled edges meet.

#include "mesh/MeshModifiers.h"
#include "base/EvalBudget.h"
#include "common/platform/StableMath.h"

#include "mesh/MeshModMove.h"
#include "mesh/MeshModUtil.h"
#include "mesh/MeshVec.h"

#include <maya/MPoint.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace mayahost {
namespace {

using meshmod::addWarning;
using meshmod::directedKey;
using meshmod::pairKey;

constexpr const char* kNode = "polyBevel";
constexpr double kHalfPi = 1.57079632679489661923;

// A new point as a face sees it: v + a (u - v) + b (w - v) for the corner
// u -> v -> w, which is also how its uvs are found.
struct CornerPoint {
    int32_t id;
    double a, b;
};

// One face of the result: corners, and per uv set the uv of each corner (-1 none).
struct OutFace {
    std::vector<int32_t> verts;
    std::vector<std::vector<int32_t>> uvs;
    int32_t from = -1;                 // the input face whose colours and normals it keeps
    std::vector<uint32_t> fromCorner;  // per corner: the input face-vertex it came from
    std::vector<uint32_t> loopEnds;    // where each loop ends; empty for one loop
};

class Beveller {
public:
    Beveller(const MeshData& in, const PolyBevelParams& p, std::string* warning) : m_(in), p_(p), warning_(warning) {}

    // The edges that can be bevelled among `wanted`; the others are skipped with a warning.
    void choose(const std::vector<int32_t>& wanted) {
        const size_t F = m_.numFaces();
        next_.assign(m_.numFaceVertices(), 0);
        prev_.assign(m_.numFaceVertices(), 0);
        cornerFace_.assign(m_.numFaceVertices(), 0);
        std::unordered_map<uint64_t, int> uses;
        for (size_t f = 0; f < F; ++f)
            for (uint32_t l = m_.faceLoopStart[f]; l < m_.faceLoopStart[f + 1]; ++l)
                for (uint32_t c = m_.loopStart[l], e = m_.loopStart[l + 1]; c < e; ++c) {
                    next_[c] = c + 1 < e ? c + 1 : m_.loopStart[l];
                    prev_[c] = c > m_.loopStart[l] ? c - 1 : e - 1;
                    cornerFace_[c] = uint32_t(f);
                }
        for (size_t c = 0; c < m_.numFaceVertices(); ++c) {
            const int32_t a = m_.faceVertices[c], b = m_.faceVertices[next_[c]];
            side_.emplace(directedKey(a, b), uint32_t(c));
            ++uses[pairKey(a, b)];
        }
        bevelled_.assign(m_.numEdges(), 0);
        touched_.assign(m_.numVertices(), 0);
        size_t open = 0, odd = 0;
        const bool smoothing = m_.edgeSmooth.size() == m_.numEdges();
        for (int32_t e : wanted) {
            const int32_t a = m_.edges[2 * size_t(e)], b = m_.edges[2 * size_t(e) + 1];
            auto ab = side_.find(directedKey(a, b)), ba = side_.find(directedKey(b, a));
            const int n = uses[pairKey(a, b)];
            if (n == 1) { ++open; continue; }
            if (n != 2 || ab == side_.end() || ba == side_.end() || a == b) { ++odd; continue; }
            const uint32_t fa = cornerFace_[ab->second], fb = cornerFace_[ba->second];
            if (fa == fb || m_.faceLoopStart[fa + 1] - m_.faceLoopStart[fa] != 1 ||
                m_.faceLoopStart[fb + 1] - m_.faceLoopStart[fb] != 1) { ++odd; continue; }
            if (p_.filterHardEdges && smoothing && m_.edgeSmooth[size_t(e)]) continue;
            if (p_.filterEdgesByAngle) {
                const double cosine = std::clamp(meshmod::faceUnitNormal(m_, fa).dot(meshmod::faceUnitNormal(m_, fb)), -1.0, 1.0);
                if (stablemath::acos(cosine) < p_.filterAngle) continue;
            }
            bevelled_[size_t(e)] = 1;
            touched_[size_t(a)] = touched_[size_t(b)] = 1;
            chosen_.push_back(e);
        }
        // Border edges have one face to draw back: Maya's open bevel is not
        // made, the edge is left as it is.
        if (open) addWarning(warning_, std::string(kNode) + ": " + std::to_string(open) + " border edge(s) left unbevelled");
        if (odd) addWarning(warning_, std::string(kNode) + ": " + std::to_string(odd) + " non-manifold edge(s) or edge(s) of faces with holes left unbevelled");
        for (size_t e = 0; e < m_.numEdges(); ++e) edgeId_.emplace(pairKey(m_.edges[2 * e], m_.edges[2 * e + 1]), int32_t(e));
    }

    const std::vector<int32_t>& chosen() const { return chosen_; }
    // The far ends of the unbevelled edges points slid along.
    const std::vector<int32_t>& slidOnto() const { return slidOnto_; }

    MeshData build() {
        offsets();
        corners();
        strips();
        patches();
        return assemble();
    }

private:
    MeshVec at(int32_t v) const {
        return v < int32_t(m_.numVertices()) ? meshPoint(m_.points.data(), v) : newPoints_[size_t(v) - m_.numVertices()];
    }
    int32_t addPoint(const MeshVec& q) {
        newPoints_.push_back(q);
        return int32_t(m_.numVertices() + newPoints_.size() - 1);
    }
    int32_t edgeOf(int32_t a, int32_t b) const { return edgeId_.at(pairKey(a, b)); }
    bool isBevelled(int32_t a, int32_t b) const { return bevelled_[size_t(edgeOf(a, b))] != 0; }
    double length(int32_t e) const { return (at(m_.edges[2 * size_t(e)]) - at(m_.edges[2 * size_t(e) + 1])).length(); }

    // Each bevelled edge's offset: the distance, or a fraction of half the
    // shortest edge it shares a vertex with in its two faces (itself included),
    // so that a fraction of 1 lets two bevels of a face's opposite sides meet.
    // Edges of no length do not count: the rim of an extrusion that did not
    // move is bevelled as wide as the face it rims allows (the CornerRoom
    // floor's tiles, whose bevels would otherwise all merge away).
    void offsets() {
        offset_.assign(m_.numEdges(), 0);
        for (int32_t e : chosen_) {
            if (!p_.offsetAsFraction) {
                offset_[size_t(e)] = std::max(p_.offset, 0.0);
                continue;
            }
            double shortest = length(e);
            const int32_t a = m_.edges[2 * size_t(e)], b = m_.edges[2 * size_t(e) + 1];
            for (uint32_t c : {side_.at(directedKey(a, b)), side_.at(directedKey(b, a))}) {
                for (uint32_t k : {prev_[c], next_[c]})
                    if (const double l = length(edgeOf(m_.faceVertices[k], m_.faceVertices[next_[k]])); l > 0) shortest = std::min(shortest, l);
            }
            offset_[size_t(e)] = std::clamp(p_.fraction, 0.0, 1.0) * 0.5 * shortest;
        }
    }

    // The point on unbevelled edge v-x near v, where the faces beside it meet
    // the bevel of `across` (a bevelled edge at v in one of them).
    CornerPoint slide(int32_t v, int32_t x, double t, int32_t acrossEnd, bool incoming) {
        const MeshVec q = at(v), dx = at(x) - q, db = acrossEnd >= 0 ? at(acrossEnd) - q : MeshVec{};
        const double lx = dx.length(), lb = db.length();
        if (lx > 0 && lb > 0) {
            const double sine = dx.cross(db).length() / (lx * lb);
            if (sine > 1e-6) t /= sine;
        }
        t = lx > 0 ? std::min(t, lx) / lx : 0;
        const uint64_t key = directedKey(edgeOf(v, x), v);
        auto it = slid_.find(key);
        if (it == slid_.end()) {
            it = slid_.emplace(key, addPoint(q + dx * t)).first;
            slidOnto_.push_back(x);
        }
        return incoming ? CornerPoint{it->second, t, 0} : CornerPoint{it->second, 0, t};
    }

    // What each face corner at a touched vertex becomes, face by face. The
    // corners beside a bevel go first, so that a point sliding along an
    // unbevelled edge is placed by the bevel next to it.
    void corners() {
        cornerPoints_.assign(m_.numFaceVertices(), {});
        reach_.assign(m_.numVertices(), 0);
        for (int32_t e : chosen_)
            for (int k = 0; k < 2; ++k) {
                double& r = reach_[size_t(m_.edges[2 * size_t(e) + size_t(k)])];
                r = std::max(r, offset_[size_t(e)]);
            }
        for (int pass = 0; pass < 2; ++pass)
            for (uint32_t c = 0; c < m_.numFaceVertices(); ++c) {
                const int32_t v = m_.faceVertices[c];
                if (!touched_[size_t(v)]) continue;
                const int32_t u = m_.faceVertices[prev_[c]], w = m_.faceVertices[next_[c]];
                const bool inB = isBevelled(u, v), outB = isBevelled(v, w);
                if ((pass == 0) != (inB || outB)) continue;
                std::vector<CornerPoint>& pts = cornerPoints_[c];
                if (inB && outB) {
                    const MeshVec q = at(v), du = at(u) - q, dw = at(w) - q;
                    const double lu = du.length(), lw = dw.length();
                    double su = offset_[size_t(edgeOf(v, w))], sw = offset_[size_t(edgeOf(u, v))];
                    if (lu > 0 && lw > 0) {
                        const double sine = du.cross(dw).length() / (lu * lw);
                        if (sine > 1e-6) su /= sine, sw /= sine;
                    }
                    const double a = lu > 0 ? std::min(su / lu, 1.0) : 0, b = lw > 0 ? std::min(sw / lw, 1.0) : 0;
                    pts.push_back({addPoint(q + du * a + dw * b), a, b});
                } else if (inB) {
                    pts.push_back(slide(v, w, offset_[size_t(edgeOf(u, v))], u, false));
                } else if (outB) {
                    pts.push_back(slide(v, u, offset_[size_t(edgeOf(v, w))], w, true));
                } else {
                    // Between two unbevelled sides the corner slides along both;
                    // an edge no bevelled face reaches takes the vertex's widest offset.
                    pts.push_back(slide(v, u, reach_[size_t(v)], -1, true));
                    pts.push_back(slide(v, w, reach_[size_t(v)], -1, false));
                }
            }
    }

    // The profile between the ends `from` and `to` of a strip at corner point q.
    MeshVec profile(const MeshVec& from, const MeshVec& to, const MeshVec& q, double t) const {
        if (!p_.chamfer) return t <= 0.5 ? from + (q - from) * (2 * t) : q + (to - q) * (2 * t - 1);
        const MeshVec chord = from * (1 - t) + to * t;
        const MeshVec c = from + to - q;
        const MeshVec arc = c + (from - c) * stablemath::cos(t * kHalfPi) + (to - c) * stablemath::sin(t * kHalfPi);
        return chord + (arc - chord) * bulge();
    }
    double bulge() const { return p_.depth * (p_.autoFit ? 1.0 : 2 * p_.roundness); }

    // The points inside a strip's end between x and y at vertex v, from x to y;
    // shared by every strip ending on the same two points.
    std::vector<int32_t> endPoints(int32_t x, int32_t y, int32_t v) {
        if (p_.segments < 2 || x == y) return {};
        const bool flip = y < x;
        auto it = ends_.find(directedKey(std::min(x, y), std::max(x, y)));
        if (it == ends_.end()) {
            std::vector<int32_t> ids;
            const MeshVec a = at(std::min(x, y)), b = at(std::max(x, y)), q = at(v);
            for (int k = 1; k < p_.segments; ++k) ids.push_back(addPoint(profile(a, b, q, double(k) / p_.segments)));
            it = ends_.emplace(directedKey(std::min(x, y), std::max(x, y)), std::move(ids)).first;
        }
        std::vector<int32_t> out = it->second;
        if (flip) std::reverse(out.begin(), out.end());
        return out;
    }

    struct Strip {
        uint32_t fa, fb, ga, gb;   // the corners of face f at a and b, of face g at a and b
        std::vector<int32_t> rowA, rowB;
    };

    void strips() {
        for (int32_t e : chosen_) {
            const int32_t p = m_.edges[2 * size_t(e)], q = m_.edges[2 * size_t(e) + 1];
            uint32_t s = side_.at(directedKey(p, q)), t = side_.at(directedKey(q, p));
            if (cornerFace_[t] < cornerFace_[s]) std::swap(s, t);
            // f walks a -> b at corner s; g walks b -> a at corner t.
            Strip st{s, next_[s], next_[t], t, {}, {}};
            const int32_t a = m_.faceVertices[s], b = m_.faceVertices[next_[s]];
            const int32_t fa = cornerPoints_[st.fa].back().id, ga = cornerPoints_[st.ga].front().id;
            const int32_t fb = cornerPoints_[st.fb].front().id, gb = cornerPoints_[st.gb].back().id;
            st.rowA = {fa};
            for (int32_t id : endPoints(fa, ga, a)) st.rowA.push_back(id);
            st.rowA.push_back(ga);
            st.rowB = {fb};
            for (int32_t id : endPoints(fb, gb, b)) st.rowB.push_back(id);
            st.rowB.push_back(gb);
            strips_.push_back(std::move(st));
        }
    }

    // Per touched vertex, in vertex order: the gap the strips leave, walked
    // round the vertex's faces.
    void patches() {
        std::vector<std::vector<uint32_t>> cornersAt(m_.numVertices());
        for (size_t c = 0; c < m_.numFaceVertices(); ++c)
            if (touched_[size_t(m_.faceVertices[c])]) cornersAt[size_t(m_.faceVertices[c])].push_back(uint32_t(c));
        size_t torn = 0;
        for (size_t v = 0; v < m_.numVertices(); ++v) {
            const std::vector<uint32_t>& around = cornersAt[v];
            if (around.empty()) continue;
            // An open fan starts at the corner whose incoming side is a border.
            uint32_t start = around.front();
            bool open = false;
            for (uint32_t c : around)
                if (!side_.count(directedKey(int32_t(v), m_.faceVertices[prev_[c]]))) start = c, open = true;
            std::vector<uint32_t> fan;
            for (uint32_t c = start; fan.size() <= around.size();) {
                fan.push_back(c);
                auto it = side_.find(directedKey(m_.faceVertices[next_[c]], int32_t(v)));
                if (it == side_.end() || next_[it->second] == start) break;
                c = next_[it->second];
            }
            if (fan.size() != around.size()) { ++torn; continue; }
            int bevels = 0;
            std::vector<int32_t> loop;
            for (size_t i = 0; i < fan.size(); ++i) {
                for (const CornerPoint& cp : cornerPoints_[fan[i]]) loop.push_back(cp.id);
                const int32_t w = m_.faceVertices[next_[fan[i]]];
                if (!isBevelled(int32_t(v), w)) continue;
                ++bevels;
                if (i + 1 == fan.size() && open) continue;
                const int32_t to = cornerPoints_[fan[(i + 1) % fan.size()]].front().id;
                for (int32_t id : endPoints(loop.back(), to, int32_t(v))) loop.push_back(id);
            }
            // Two faces' points that meet across an unbevelled edge are one point;
            // a strip end walked out and back (two bevels at a vertex) is no gap.
            std::vector<int32_t> clean;
            for (int32_t id : loop) {
                if (!clean.empty() && clean.back() == id) continue;
                if (clean.size() >= 2 && clean[clean.size() - 2] == id) { clean.pop_back(); continue; }
                clean.push_back(id);
            }
            // The same across the loop's seam; only the seam can change now.
            for (bool again = !open; again && clean.size() >= 2;) {
                again = false;
                if (clean.front() == clean.back()) clean.pop_back(), again = true;
                else if (clean.size() >= 3 && clean[1] == clean.back()) clean.erase(clean.begin()), clean.pop_back(), again = true;
                else if (clean.size() >= 3 && clean[clean.size() - 2] == clean.front()) clean.resize(clean.size() - 2), again = true;
            }
            if (clean.size() < 3 || (open && bevels < 2)) continue;
            // One bevel ending at a vertex: its end goes to the face that spans it.
            if (bevels == 1 && absorb(fan, int32_t(v))) continue;
            std::reverse(clean.begin(), clean.end());
            patchLoops_.push_back({int32_t(v), std::move(clean)});
        }
        if (torn) addWarning(warning_, std::string(kNode) + ": " + std::to_string(torn) + " non-manifold vertex(es): their corners are left open");
    }

    bool absorb(const std::vector<uint32_t>& fan, int32_t v) {
        for (uint32_t c : fan) {
            std::vector<CornerPoint>& pts = cornerPoints_[c];
            if (pts.size() != 2 || !ends_.count(directedKey(std::min(pts[0].id, pts[1].id), std::max(pts[0].id, pts[1].id))))
                continue;
            const std::vector<int32_t> mid = endPoints(pts[0].id, pts[1].id, v);
            const MeshVec q = at(v), du = at(m_.faceVertices[prev_[c]]) - q, dw = at(m_.faceVertices[next_[c]]) - q;
            for (size_t k = 0; k < mid.size(); ++k) {
                // Its uvs as a point of the face: the least-squares weights on the corner's sides.
                const MeshVec d = at(mid[k]) - q;
                const double uu = du.dot(du), ww = dw.dot(dw), uw = du.dot(dw), det = uu * ww - uw * uw;
                double a = 0, b = 0;
                if (std::abs(det) > 1e-18) a = (d.dot(du) * ww - d.dot(dw) * uw) / det, b = (d.dot(dw) * uu - d.dot(du) * uw) / det;
                pts.insert(pts.end() - 1, CornerPoint{mid[k], a, b});
            }
            return true;
        }
        return false;
    }

    MeshData assemble();

    const MeshData& m_;
    const PolyBevelParams& p_;
    std::string* warning_;
    std::vector<uint32_t> next_, prev_, cornerFace_;
    std::unordered_map<uint64_t, uint32_t> side_;     // directed side a->b: its face-vertex
    std::unordered_map<uint64_t, int32_t> edgeId_;
    std::vector<uint8_t> bevelled_, touched_;
    std::vector<int32_t> chosen_;
    std::vector<double> offset_, reach_;
    std::vector<uint32_t> firstAt_;   // per input corner: where its points start in its face
    std::vector<MeshVec> newPoints_;
    std::unordered_map<uint64_t, int32_t> slid_;      // (edge, end vertex) -> point on it
    std::vector<int32_t> slidOnto_;
    std::vector<std::vector<CornerPoint>> cornerPoints_;
    std::unordered_map<uint64_t, std::vector<int32_t>> ends_;
    std::vector<Strip> strips_;
    std::vector<std::pair<int32_t, std::vector<int32_t>>> patchLoops_;
};

MeshData Beveller::assemble() {
    const size_t sets = m_.uvSets.size();
    std::vector<OutFace> faces;
    firstAt_.assign(m_.numFaceVertices(), 0);
    // Uvs: per set, the uvs made so far keyed by where they come from, and the
    // last uv each point took (for the patches).
    std::vector<std::vector<float>> us(sets), vs(sets);
    std::vector<std::unordered_map<int32_t, int32_t>> pointUV(sets);
    for (size_t s = 0; s < sets; ++s) us[s] = m_.uvSets[s].u, vs[s] = m_.uvSets[s].v;
    auto uvAt = [&](size_t s, uint32_t c) -> int32_t {
        const auto& fv = m_.uvSets[s].faceVertexUV;
        return c < fv.size() ? fv[c] : -1;
    };
    auto newUV = [&](size_t s, double u, double v) {
        us[s].push_back(float(u));
        vs[s].push_back(float(v));
        return int32_t(us[s].size() - 1);
    };
    std::vector<std::unordered_map<uint64_t, int32_t>> madeUV(sets);

    for (size_t f = 0; f < m_.numFaces(); ++f) {
        OutFace out;
        out.from = int32_t(f);
        out.uvs.resize(sets);
        for (uint32_t l = m_.faceLoopStart[f]; l < m_.faceLoopStart[f + 1]; ++l) {
          for (uint32_t c = m_.loopStart[l]; c < m_.loopStart[l + 1]; ++c) {
            firstAt_[c] = uint32_t(out.verts.size());
            if (cornerPoints_[c].empty()) {
                out.verts.push_back(m_.faceVertices[c]);
                out.fromCorner.push_back(c);
                for (size_t s = 0; s < sets; ++s) out.uvs[s].push_back(uvAt(s, c));
                continue;
            }
            for (const CornerPoint& cp : cornerPoints_[c]) {
                out.verts.push_back(cp.id);
                out.fromCorner.push_back(c);
                for (size_t s = 0; s < sets; ++s) {
                    const int32_t tv = uvAt(s, c), tu = uvAt(s, prev_[c]), tw = uvAt(s, next_[c]);
                    int32_t uv = -1;
                    if (tv >= 0 && tu >= 0 && tw >= 0) {
                        const uint64_t key = (uint64_t(uint32_t(cp.id)) << 32) ^ (uint64_t(uint32_t(tv)) * 0x9E3779B97F4A7C15ull) ^
                                             (uint64_t(uint32_t(cp.a != 0 ? tu : -1)) * 0xC2B2AE3D27D4EB4Full) ^
                                             (uint64_t(uint32_t(cp.b != 0 ? tw : -1)) * 0x165667B19E3779F9ull);
                        auto it = madeUV[s].find(key);
                        if (it == madeUV[s].end()) {
                            const double u = us[s][size_t(tv)] + cp.a * (us[s][size_t(tu)] - us[s][size_t(tv)]) + cp.b * (us[s][size_t(tw)] - us[s][size_t(tv)]);
                            const double v = vs[s][size_t(tv)] + cp.a * (vs[s][size_t(tu)] - vs[s][size_t(tv)]) + cp.b * (vs[s][size_t(tw)] - vs[s][size_t(tv)]);
                            it = madeUV[s].emplace(key, newUV(s, u, v)).first;
                        }
                        uv = it->second;
                    }
                    out.uvs[s].push_back(uv);
                    if (uv >= 0) pointUV[s][cp.id] = uv;
                }
            }
          }
          out.loopEnds.push_back(uint32_t(out.verts.size()));
        }
        if (out.loopEnds.size() == 1) out.loopEnds.clear();
        faces.push_back(std::move(out));
    }

    // Strip uvs run across from the uvs the faces beside it gave its ends.
    auto rowUVs = [&](size_t s, const std::vector<int32_t>& row, int32_t first, int32_t last) {
        std::vector<int32_t> out(row.size(), -1);
        if (first < 0 || last < 0) return out;
        const size_t n = row.size() - 1;
        out.front() = first, out.back() = last;
        for (size_t k = 1; k < n; ++k) {
            const double t = double(k) / double(n);
            out[k] = newUV(s, us[s][size_t(first)] * (1 - t) + us[s][size_t(last)] * t, vs[s][size_t(first)] * (1 - t) + vs[s][size_t(last)] * t);
            pointUV[s][row[k]] = out[k];
        }
        return out;
    };
    auto faceUV = [&](size_t s, uint32_t corner, bool last) {
        // The uv face `corner`'s owner gave the corner's first (or last) point.
        const OutFace& of = faces[cornerFace_[corner]];
        return of.uvs[s][firstAt_[corner] + (last ? cornerPoints_[corner].size() - 1 : 0)];
    };
    for (const Strip& st : strips_) {
        std::vector<std::vector<int32_t>> uvA(sets), uvB(sets);
        for (size_t s = 0; s < sets; ++s) {
            uvA[s] = rowUVs(s, st.rowA, faceUV(s, st.fa, true), faceUV(s, st.ga, false));
            uvB[s] = rowUVs(s, st.rowB, faceUV(s, st.fb, false), faceUV(s, st.gb, true));
        }
        for (size_t k = 0; k + 1 < st.rowA.size(); ++k) {
            OutFace out;
            out.verts = {st.rowB[k], st.rowA[k], st.rowA[k + 1], st.rowB[k + 1]};
            out.uvs.resize(sets);
            for (size_t s = 0; s < sets; ++s) out.uvs[s] = {uvB[s][k], uvA[s][k], uvA[s][k + 1], uvB[s][k + 1]};
            faces.push_back(std::move(out));
        }
    }

    for (const auto& [v, loop] : patchLoops_) {
        std::vector<std::vector<int32_t>> loopUV(sets);
        for (size_t s = 0; s < sets; ++s)
            for (int32_t id : loop) {
                auto it = pointUV[s].find(id);
                loopUV[s].push_back(it == pointUV[s].end() ? -1 : it->second);
            }
        const size_t n = loop.size();
        if (!p_.subdivideNgons || n <= 4) {
            faces.push_back(OutFace{loop, loopUV, -1, {}, {}});
            continue;
        }
        // Split round a centre: quads when the sides pair up, else triangles.
        MeshVec mean{};
        for (int32_t id : loop) mean += at(id);
        mean = mean * (1.0 / double(n));
        const double rise = p_.segments > 1 ? (p_.chamfer ? (std::sqrt(2.0) - 1) * bulge() : 1.0) : 0.0;
        const int32_t centre = addPoint(mean + (at(v) - mean) * rise);
        std::vector<int32_t> centreUV(sets, -1);
        for (size_t s = 0; s < sets; ++s) {
            if (std::count(loopUV[s].begin(), loopUV[s].end(), -1)) continue;
            double u = 0, w = 0;
            for (int32_t t : loopUV[s]) u += us[s][size_t(t)], w += vs[s][size_t(t)];
            centreUV[s] = newUV(s, u / double(n), w / double(n));
        }
        const size_t step = n % 2 == 0 ? 2 : 1;
        for (size_t i = 0; i < n; i += step) {
            OutFace out;
            out.uvs.resize(sets);
            out.verts.push_back(centre);
            for (size_t s = 0; s < sets; ++s) out.uvs[s].push_back(centreUV[s]);
            for (size_t k = 0; k <= step; ++k) {
                out.verts.push_back(loop[(i + k) % n]);
                for (size_t s = 0; s < sets; ++s) out.uvs[s].push_back(loopUV[s][(i + k) % n]);
            }
            faces.push_back(std::move(out));
        }
    }

    // The mesh: points, faces, then edges (kept ids first) and their smoothing.
    MeshData out;
    out.points = m_.points;
    for (const MeshVec& q : newPoints_) out.points.insert(out.points.end(), {float(q.x), float(q.y), float(q.z)});
    out.faceLoopStart = {0};
    out.loopStart = {0};
    const bool normals = !m_.faceVertexNormals.empty();
    out.uvSets = m_.uvSets;
    out.currentUVSet = m_.currentUVSet;
    out.colorSets = m_.colorSets;
    out.currentColorSet = m_.currentColorSet;
    for (size_t s = 0; s < sets; ++s) {
        out.uvSets[s].u = std::move(us[s]), out.uvSets[s].v = std::move(vs[s]);
        out.uvSets[s].faceVertexUV.clear();
    }
    for (MeshColorSet& cs : out.colorSets) cs.faceVertexColor.clear();
    // The faces that draw back from a bevel are made anew after the strips and
    // patches, the other faces moving down into their places: in the CornerRoom
    // floor each next extrusion names the tiles so, and its final face sets put
    // each bevel's strips before its tiles; the flashlight's bevelled cap is
    // the face after its strips.
    std::vector<uint8_t> drawsBack(m_.numFaces(), 0);
    for (int32_t e : chosen_) {
        const int32_t a = m_.edges[2 * size_t(e)], b = m_.edges[2 * size_t(e) + 1];
        drawsBack[cornerFace_[side_.at(directedKey(a, b))]] = drawsBack[cornerFace_[side_.at(directedKey(b, a))]] = 1;
    }
    std::vector<size_t> order;
    for (size_t f = 0; f < m_.numFaces(); ++f)
        if (!drawsBack[f]) order.push_back(f);
    for (size_t f = m_.numFaces(); f < faces.size(); ++f) order.push_back(f);
    for (size_t f = 0; f < m_.numFaces(); ++f)
        if (drawsBack[f]) order.push_back(f);
    for (size_t i : order) {
        const OutFace& f = faces[i];
        for (size_t k = 0; k < f.verts.size(); ++k) {
            out.faceVertices.push_back(f.verts[k]);
            const bool kept = f.from >= 0 && k < f.fromCorner.size();
            for (size_t s = 0; s < sets; ++s) out.uvSets[s].faceVertexUV.push_back(f.uvs[s][k]);
            for (size_t s = 0; s < out.colorSets.size(); ++s) {
                const auto& fc = m_.colorSets[s].faceVertexColor;
                out.colorSets[s].faceVertexColor.push_back(kept && f.fromCorner[k] < fc.size() ? fc[f.fromCorner[k]] : -1);
            }
            if (normals)
                for (int i = 0; i < 3; ++i)
                    out.faceVertexNormals.push_back(kept ? m_.faceVertexNormals[3 * f.fromCorner[k] + size_t(i)] : 1e20f);
        }
        const size_t base = out.faceVertices.size() - f.verts.size();
        for (uint32_t end : f.loopEnds) out.loopStart.push_back(uint32_t(base + end));
        if (f.loopEnds.empty()) out.loopStart.push_back(uint32_t(out.faceVertices.size()));
        out.faceLoopStart.push_back(uint32_t(out.loopStart.size() - 1));
    }
    out.edges = m_.edges;
    out.edgeSmooth = m_.edgeSmooth;
    out.edgeSmooth.resize(out.numEdges(), 1);
    std::unordered_map<uint64_t, int32_t> ids = edgeId_;
    std::unordered_map<int32_t, std::vector<int32_t>> facesOfNew;
    for (size_t f = 0; f < out.numFaces(); ++f)
      for (uint32_t l = out.faceLoopStart[f]; l < out.faceLoopStart[f + 1]; ++l) {
        const uint32_t b = out.loopStart[l], e = out.loopStart[l + 1];
        for (uint32_t c = b; c < e; ++c) {
            const int32_t x = out.faceVertices[c], y = out.faceVertices[c + 1 < e ? c + 1 : b];
            auto [it, fresh] = ids.emplace(pairKey(x, y), int32_t(out.numEdges()));
            if (fresh) out.edges.insert(out.edges.end(), {x, y}), out.edgeSmooth.push_back(1);
            if (it->second >= int32_t(m_.numEdges())) facesOfNew[it->second].push_back(int32_t(f));
        }
    }
    for (const auto& [edge, two] : facesOfNew) {
        if (two.size() != 2) continue;
        const double cosine = std::clamp(meshmod::faceUnitNormal(out, size_t(two[0])).dot(meshmod::faceUnitNormal(out, size_t(two[1]))), -1.0, 1.0);
        out.edgeSmooth[size_t(edge)] = stablemath::acos(cosine) <= p_.smoothingAngle + 1e-9;
    }
    return out;
}

bool finite(const PolyBevelParams& p) {
    for (double x : {p.offset, p.fraction, p.depth, p.roundness, p.mergeVertexTolerance, p.smoothingAngle, p.filterAngle})
        if (!std::isfinite(x)) return false;
    return true;
}

void transformPoints(MeshData& mesh, const MMatrix& m) {
    for (size_t v = 0; v < mesh.numVertices(); ++v) {
        const MPoint q = MPoint(mesh.points[3 * v], mesh.points[3 * v + 1], mesh.points[3 * v + 2]) * m;
        mesh.points[3 * v] = float(q.x), mesh.points[3 * v + 1] = float(q.y), mesh.points[3 * v + 2] = float(q.z);
    }
}

}  // namespace

MeshData applyPolyBevel(const MeshData& in, const PolyBevelParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, kNode, warning)) return in;
    if (!finite(params)) {
        addWarning(warning, std::string(kNode) + ": a setting is not a number, edges not bevelled");
        return in;
    }
    if (params.segments < 1) {
        addWarning(warning, std::string(kNode) + ": segments " + std::to_string(params.segments) + " below 1, edges not bevelled");
        return in;
    }
    std::vector<int32_t> edges = meshmod::selectedEdges(in, params.inputComponents, kNode, warning);
    if (params.inputComponents) {
        // Listed vertices bevel every edge at them.
        ComponentSelection sel;
        if (parseComponentList(*params.inputComponents, componentLimits(in), sel).empty() && !sel.vertices.empty()) {
            std::vector<uint8_t> listed(in.numVertices(), 0);
            for (int32_t v : sel.vertices) listed[size_t(v)] = 1;
            for (size_t e = 0; e < in.numEdges(); ++e)
                if (listed[size_t(in.edges[2 * e])] || listed[size_t(in.edges[2 * e + 1])]) edges.push_back(int32_t(e));
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    if (edges.empty()) return in;

    // In world space the bevel is measured on the mesh placed in the world, a
    // fraction too (a box scaled flat gets bevels of one width, as in Maya).
    const bool world = params.worldSpace && meshmod::isFiniteMatrix(params.inputMatrix) &&
                       std::abs(params.inputMatrix.det3x3()) > 1e-12;
    MeshData work = in;
    if (world) transformPoints(work, params.inputMatrix);

    Beveller b(work, params, warning);
    b.choose(edges);
    if (b.chosen().empty()) return in;
    const uint64_t faces = in.numFaces() + uint64_t(b.chosen().size()) * uint64_t(params.segments) +
                           uint64_t(in.numFaceVertices()) * (uint64_t(params.segments) + 1);
    if (std::string why = refuseFaces(faces); !why.empty()) {
        addWarning(warning, std::string(kNode) + ": " + why + ", mesh left as it was");
        return in;
    }
    MeshData out = b.build();
    // The merge is among the bevel's own points (they follow the originals
    // still in use) and the vertices they slid towards: a point that slid
    // along an edge of no length joins its far end, so the side faces of an
    // extrusion that did not move fold away, and two such ends that meet (two
    // extrusions, one above the other, side by side) become one. That is what
    // the CornerRoom floor's counts need: every tile's bevel keeps the edge
    // count, one beside an earlier extrusion loses three edges, two vertices
    // and a face. Other points the file had apart stay apart.
    std::vector<int32_t> rank(in.numVertices(), -1);
    for (int32_t v : out.faceVertices)
        if (size_t(v) < rank.size()) rank[size_t(v)] = 0;
    int32_t kept = 0;
    for (int32_t& r : rank)
        if (r == 0) r = kept++;
    meshmod::dropUnusedVerticesAndEdges(out);
    if (world) transformPoints(out, params.inputMatrix.inverse());
    if (params.mergeVertices && size_t(kept) + 1 < out.numVertices()) {
        PolyMergeVertParams merge;
        merge.distance = std::max(params.mergeVertexTolerance, 0.0);
        std::vector<std::string> items{"vtx[" + std::to_string(kept) + ":" + std::to_string(out.numVertices() - 1) + "]"};
        for (int32_t x : b.slidOnto())
            if (size_t(x) < rank.size() && rank[size_t(x)] >= 0) items.push_back("vtx[" + std::to_string(rank[size_t(x)]) + "]");
        merge.inputComponents = std::move(items);
        std::string why;
        out = applyPolyMergeVert(out, merge, &why);
    }
    return out;
}

}  // namespace mayahost
