// polyExtrudeFace: selected faces move off the mesh on new vertices, joined
// to where they were by new side faces.

#include "mesh/MeshModifiers.h"
#include "common/platform/StableMath.h"

#include "mesh/MeshModMove.h"
#include "mesh/MeshModUtil.h"
#include "mesh/MeshVec.h"
#include "mesh/Triangulate.h"

#include <maya/MEulerRotation.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

namespace mayahost {
namespace {

using meshmod::addWarning;
using meshmod::pairKey;

// One side of a region's outline: a face side no other face of the region walks.
struct Side {
    int32_t a, b;   // in the direction the region's face walks it
};

class Extruder {
public:
    Extruder(const MeshData& in, const PolyExtrudeFaceParams& p) : out_(in), p_(p) {
        // The frames' X (and Y) are world axes when the node works in world space.
        if (p_.worldSpace && meshmod::isFiniteMatrix(p_.inputMatrix)) {
            const MMatrix toObject = p_.inputMatrix.inverse();
            const MVector x = MVector(1, 0, 0) * toObject, y = MVector(0, 1, 0) * toObject;
            xAxis_ = MeshVec{x.x, x.y, x.z}.normalized();
            yAxis_ = MeshVec{y.x, y.y, y.z}.normalized();
        }
        for (size_t e = 0; e < in.numEdges(); ++e) edgeIds_.emplace(pairKey(in.edges[2 * e], in.edges[2 * e + 1]), e);
        if (out_.edgeSmooth.size() != out_.numEdges()) out_.edgeSmooth.assign(out_.numEdges(), 1);
    }

    void region(const std::vector<int32_t>& faces) {
        const MeshData& m = out_;
        // Vertices in order of first use, and the outline.
        std::vector<int32_t> verts;
        std::unordered_map<int32_t, size_t> slot;
        std::unordered_map<uint64_t, int> uses;
        std::vector<Side> walked;
        for (int32_t f : faces)
            for (uint32_t l = m.faceLoopStart[size_t(f)]; l < m.faceLoopStart[size_t(f) + 1]; ++l)
                for (uint32_t c = m.loopStart[l], e = m.loopStart[l + 1]; c < e; ++c) {
                    const int32_t a = m.faceVertices[c], b = m.faceVertices[c + 1 < e ? c + 1 : m.loopStart[l]];
                    if (slot.emplace(a, verts.size()).second) verts.push_back(a);
                    ++uses[pairKey(a, b)];
                    walked.push_back({a, b});
                }
        // A closed region (a whole shell) has no outline: Maya then walls
        // every edge, once, in the order the faces first walk them.
        std::vector<Side> outline;
        std::vector<uint8_t> onOutline(verts.size(), 0);
        const bool closed = std::none_of(walked.begin(), walked.end(), [&](const Side& s) { return uses[pairKey(s.a, s.b)] == 1; });
        for (const Side& s : walked)
            if (closed ? uses[pairKey(s.a, s.b)]-- == 2 : uses[pairKey(s.a, s.b)] == 1) {
                outline.push_back(s);
                onOutline[slot[s.a]] = onOutline[slot[s.b]] = 1;
            }

        // Where each vertex ends: the local frame's scale and translation, then
        // the world transform about the pivot.
        // Each face moves its corners in its own frame; a vertex several
        // faces of the region share takes the mean of where they put it.
        std::vector<MeshVec> from(verts.size()), to(verts.size(), MeshVec{0, 0, 0});
        std::vector<int> shares(verts.size(), 0);
        for (size_t i = 0; i < verts.size(); ++i) from[i] = meshPoint(m.points.data(), verts[i]);
        for (int32_t f : faces) {
            const Frame frame = frameOf(size_t(f));
            for (uint32_t l = m.faceLoopStart[size_t(f)]; l < m.faceLoopStart[size_t(f) + 1]; ++l)
                for (uint32_t c = m.loopStart[l]; c < m.loopStart[l + 1]; ++c) {
                    const size_t i = slot[m.faceVertices[c]];
                    to[i] += moved(from[i], frame);
                    ++shares[i];
                }
        }
        for (size_t i = 0; i < verts.size(); ++i) to[i] = world(to[i] * (1.0 / std::max(shares[i], 1)));

        // Levels 1..d-1 hold the outline's vertices, level d every vertex of the region.
        const int d = p_.divisions;
        std::vector<std::vector<int32_t>> level(size_t(d) + 1, std::vector<int32_t>(verts.size(), -1));
        for (size_t i = 0; i < verts.size(); ++i) level[0][i] = verts[i];
        for (int k = 1; k <= d; ++k)
            for (size_t i = 0; i < verts.size(); ++i) {
                if (k < d && !onOutline[i]) continue;
                const double t = double(k) / d;
                const MeshVec q = from[i] * (1 - t) + to[i] * t;
                level[size_t(k)][i] = int32_t(out_.numVertices());
                out_.points.insert(out_.points.end(), {float(q.x), float(q.y), float(q.z)});
            }

        // The region's faces take the top level; their sides become new edges
        // with the smoothing of the sides they were lifted from.
        lifted_.clear();
        for (size_t i = 0; i < verts.size(); ++i) lifted_[level[size_t(d)][i]] = verts[i];
        for (int32_t f : faces)
            for (uint32_t c = out_.loopStart[out_.faceLoopStart[size_t(f)]];
                 c < out_.loopStart[out_.faceLoopStart[size_t(f) + 1]]; ++c)
                out_.faceVertices[c] = level[size_t(d)][slot[out_.faceVertices[c]]];
        // Edges are numbered as the region's faces are walked: a side on the
        // outline brings its side faces, any other side the upward edges of
        // its ends on the outline (those not made yet) and then its lifted
        // edge (the CornerRoom bevels that follow extrusions of one, two and
        // three tiles name the lifted outline by these numbers, and the HMMER2
        // splits cut across them).
        size_t next = 0;   // the outline is in walk order
        for (int32_t f : faces)
            for (uint32_t l = out_.faceLoopStart[size_t(f)]; l < out_.faceLoopStart[size_t(f) + 1]; ++l)
                for (uint32_t c = out_.loopStart[l], e = out_.loopStart[l + 1]; c < e; ++c) {
                    const int32_t a = out_.faceVertices[c], b = out_.faceVertices[c + 1 < e ? c + 1 : out_.loopStart[l]];
                    if (next < outline.size() && level[size_t(d)][slot[outline[next].a]] == a &&
                        level[size_t(d)][slot[outline[next].b]] == b) {
                        sideFaces(slot[outline[next].a], slot[outline[next].b], level);
                        ++next;
                    } else {
                        for (int k = 1; k <= d; ++k)
                            for (const int32_t v : {a, b})
                                if (const size_t i = slot[lifted_[v]]; onOutline[i])
                                    addEdge(level[size_t(k) - 1][i], level[size_t(k)][i], false);
                        addEdge(a, b, true);
                    }
                }
    }

    // A side face per level upwards, walking the side backwards on the upper
    // level so that it turns as the region does; its new edges: up from a,
    // up from b, then across the top.
    void sideFaces(size_t ia, size_t ib, const std::vector<std::vector<int32_t>>& level) {
        for (size_t k = 1; k < level.size(); ++k) {
            const int32_t a0 = level[k - 1][ia], b0 = level[k - 1][ib], a1 = level[k][ia], b1 = level[k][ib];
            appendFace({a0, b0, b1, a1});
            addEdge(a0, a1, false);
            addEdge(b0, b1, false);
            addEdge(a1, b1, k + 1 == level.size());
            const int32_t face = int32_t(out_.numFaces() - 1);
            for (const uint64_t key : {pairKey(a0, b0), pairKey(b0, b1), pairKey(b1, a1), pairKey(a1, a0)})
                if (auto it = edgeIds_.find(key); it != edgeIds_.end()) joinFaces_[int32_t(it->second)].push_back(face);
        }
    }

    MeshData finish() {
        // New joining edges are hard where their side faces meet at more than the smoothing angle.
        for (const auto& [edge, faces] : joinFaces_) {
            if (faces.size() != 2 || !joining_.count(edge)) continue;
            const MeshVec n0 = faceNormal(size_t(faces[0])), n1 = faceNormal(size_t(faces[1]));
            const double cosine = std::clamp(n0.dot(n1), -1.0, 1.0);
            out_.edgeSmooth[size_t(edge)] = stablemath::acos(cosine) <= p_.smoothingAngle + 1e-9;
        }
        return std::move(out_);
    }

private:
    using Frame = meshmod::MoveFrame;

    MeshVec faceNormal(size_t f) const { return meshmod::faceUnitNormal(out_, f); }

    // A face's frame: its centre the mean of its sides' midpoints weighted by
    // their lengths, z its normal, x the X axis (of world space when the node
    // works in world space) laid into its plane, Y when X stands on it.
    Frame frameOf(size_t f) const {
        return meshmod::frameAcross(meshmod::faceCentre(out_, f), faceNormal(f), xAxis_, yAxis_);
    }

    // A point moved in a face's frame: local scale about its centre, local
    // translate and thickness.
    MeshVec moved(const MeshVec& q, const Frame& f) const {
        const MeshVec d = q - f.centre;
        const double lx = d.dot(f.x) * p_.localScale[0], ly = d.dot(f.y) * p_.localScale[1],
                     lz = d.dot(f.z) * p_.localScale[2];
        return f.centre + f.x * (lx + p_.localTranslate[0]) + f.y * (ly + p_.localTranslate[1]) +
               f.z * (lz + p_.localTranslate[2] + p_.thickness);
    }

    // translate, rotate, scale about the pivot: in world space through the
    // input matrix when worldSpace is on, else in object space.
    MeshVec world(const MeshVec& q) const {
        const bool identity = p_.translate == std::array<double, 3>{0, 0, 0} &&
                              p_.rotate == std::array<double, 3>{0, 0, 0} && p_.scale == std::array<double, 3>{1, 1, 1};
        if (identity) return q;
        MPoint w(q.x, q.y, q.z);
        if (p_.worldSpace) w = w * p_.inputMatrix;
        MVector d = MVector(w) - MVector(p_.pivot[0], p_.pivot[1], p_.pivot[2]);
        d = MVector(d.x * p_.scale[0], d.y * p_.scale[1], d.z * p_.scale[2]);
        d = d * MEulerRotation(p_.rotate[0], p_.rotate[1], p_.rotate[2]).asMatrix();
        w = MPoint(MVector(p_.pivot[0], p_.pivot[1], p_.pivot[2]) + d +
                   MVector(p_.translate[0], p_.translate[1], p_.translate[2]));
        if (p_.worldSpace) w = w * p_.inputMatrix.inverse();
        return {w.x, w.y, w.z};
    }

    void appendFace(std::initializer_list<int32_t> ids) {
        out_.loopStart.push_back(uint32_t(out_.faceVertices.size() + ids.size()));
        out_.faceLoopStart.push_back(uint32_t(out_.numLoops()));
        out_.faceVertices.insert(out_.faceVertices.end(), ids);
        for (MeshUVSet& set : out_.uvSets)
            if (!set.faceVertexUV.empty()) set.faceVertexUV.insert(set.faceVertexUV.end(), ids.size(), -1);
        for (MeshColorSet& set : out_.colorSets)
            if (!set.faceVertexColor.empty()) set.faceVertexColor.insert(set.faceVertexColor.end(), ids.size(), -1);
        if (!out_.faceVertexNormals.empty()) out_.faceVertexNormals.insert(out_.faceVertexNormals.end(), 3 * ids.size(), 1e20f);
    }

    // A side that is not an edge yet becomes one: a lifted side keeps the
    // flag of the side it was lifted from, a joining side is decided at the
    // end from the side faces that meet there.
    void addEdge(int32_t a, int32_t b, bool lifted) {
        auto [it, fresh] = edgeIds_.emplace(pairKey(a, b), out_.numEdges());
        if (!fresh) return;
        out_.edges.insert(out_.edges.end(), {a, b});
        uint8_t smooth = 1;
        if (lifted) {
            auto was = edgeIds_.find(pairKey(lifted_[a], lifted_[b]));
            if (was != edgeIds_.end()) smooth = out_.edgeSmooth[was->second];
        } else {
            joining_.insert(int32_t(it->second));
        }
        out_.edgeSmooth.push_back(smooth);
    }

    MeshData out_;
    const PolyExtrudeFaceParams& p_;
    std::unordered_map<uint64_t, size_t> edgeIds_;
    std::unordered_map<int32_t, int32_t> lifted_;   // a new vertex of the region being extruded: its original
    std::unordered_set<int32_t> joining_;           // edges made by side faces
    MeshVec xAxis_{1, 0, 0}, yAxis_{0, 1, 0};
    std::unordered_map<int32_t, std::vector<int32_t>> joinFaces_;
};

}  // namespace

MeshData applyPolyExtrudeFace(const MeshData& in, const PolyExtrudeFaceParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyExtrudeFace", warning)) return in;
    if (params.divisions < 1) {
        addWarning(warning, "polyExtrudeFace: divisions " + std::to_string(params.divisions) + " below 1, faces not extruded");
        return in;
    }
    const std::vector<int32_t> faces = meshmod::selectedFaces(in, params.inputComponents, "polyExtrudeFace", warning);
    if (faces.empty()) return in;
    Extruder x(in, params);
    for (const std::vector<int32_t>& region : meshmod::faceRegions(in, faces, params.keepFacesTogether)) x.region(region);
    MeshData out = x.finish();
    meshmod::dropUnusedVerticesAndEdges(out);
    return out;
}

}  // namespace mayahost
