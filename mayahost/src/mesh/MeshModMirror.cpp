// polyMirror, polyBridgeEdge and polyCircularize: edits that add a reflected
// or bridging copy of part of a mesh, numbered as Maya appends them, and the
// one that rounds a loop of it.

#include "common/platform/StableMath.h"
#include "mesh/MeshModMirror.h"

#include "base/EvalBudget.h"
#include "mesh/MeshModMove.h"
#include "mesh/MeshModUtil.h"
#include "mesh/MeshModifiers.h"
#include "mesh/MeshVec.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace mayahost {
namespace {

using meshmod::addWarning;
using meshmod::pairKey;
using meshmod::rotationXYZ;
using meshmod::transformPoint;

MeshVec transformVector(const MeshVec& p, const MMatrix& m) {
    return {p.x * m(0, 0) + p.y * m(1, 0) + p.z * m(2, 0), p.x * m(0, 1) + p.y * m(1, 1) + p.z * m(2, 1),
            p.x * m(0, 2) + p.y * m(1, 2) + p.z * m(2, 2)};
}
void setPoint(MeshData& m, size_t v, const MeshVec& p) {
    m.points[3 * v] = float(p.x), m.points[3 * v + 1] = float(p.y), m.points[3 * v + 2] = float(p.z);
}

uint32_t loopNext(const MeshData& m, uint32_t loop, uint32_t c) { return c + 1 < m.loopStart[loop + 1] ? c + 1 : m.loopStart[loop]; }

// Appends corners to `out` copying the per-corner data of `in`'s corners.
// Sets that the input leaves without per-corner ids stay so.
struct CornerCopier {
    const MeshData& in;
    MeshData& out;
    bool normals;
    std::vector<uint8_t> uvs, colours;
    CornerCopier(const MeshData& source, MeshData& target) : in(source), out(target) {
        normals = in.faceVertexNormals.size() == 3 * in.numFaceVertices() && in.numFaceVertices() > 0;
        for (const MeshUVSet& s : in.uvSets) uvs.push_back(s.faceVertexUV.size() == in.numFaceVertices());
        for (const MeshColorSet& s : in.colorSets) colours.push_back(s.faceVertexColor.size() == in.numFaceVertices());
    }
    void corner(uint32_t c, int32_t vertex) {
        out.faceVertices.push_back(vertex);
        for (size_t s = 0; s < uvs.size(); ++s)
            if (uvs[s]) out.uvSets[s].faceVertexUV.push_back(int32_t(in.uvSets[s].faceVertexUV[c]));
        for (size_t s = 0; s < colours.size(); ++s)
            if (colours[s]) out.colorSets[s].faceVertexColor.push_back(int32_t(in.colorSets[s].faceVertexColor[c]));
        if (normals) {
            // Read first: `in` and `out` may be the same mesh.
            const float n[3] = {in.faceVertexNormals[3 * c], in.faceVertexNormals[3 * c + 1], in.faceVertexNormals[3 * c + 2]};
            out.faceVertexNormals.insert(out.faceVertexNormals.end(), n, n + 3);
        }
    }
    void endLoop() { out.loopStart.push_back(uint32_t(out.faceVertices.size())); }
    void endFace() { out.faceLoopStart.push_back(uint32_t(out.numLoops())); }
    // Drops the corners of a loop begun but not ended.
    void discardTo(size_t corners) {
        out.faceVertices.resize(corners);
        for (size_t s = 0; s < uvs.size(); ++s)
            if (uvs[s]) out.uvSets[s].faceVertexUV.resize(corners);
        for (size_t s = 0; s < colours.size(); ++s)
            if (colours[s]) out.colorSets[s].faceVertexColor.resize(corners);
        if (normals) out.faceVertexNormals.resize(3 * corners);
    }
};

// A mesh with `in`'s points, uv and colour values and no faces or edges.
MeshData emptyLike(const MeshData& in) {
    MeshData out;
    out.points = in.points;
    for (const MeshUVSet& s : in.uvSets) out.uvSets.push_back({s.name, s.u, s.v, {}});
    for (const MeshColorSet& s : in.colorSets) out.colorSets.push_back({s.name, s.rgba, {}});
    out.currentUVSet = in.currentUVSet, out.currentColorSet = in.currentColorSet;
    out.faceLoopStart.push_back(0);
    out.loopStart.push_back(0);
    return out;
}

// Edges of rebuilt faces: the old edges still walked keep their order, the
// new sides follow as walked, with the smoothing `newSmooth` gives them (soft
// when it does not name them).
void rebuildEdges(MeshData& out, const MeshData& old, const std::unordered_map<uint64_t, uint8_t>& newSmooth) {
    std::unordered_map<uint64_t, int32_t> walked;
    std::vector<std::pair<int32_t, int32_t>> order;
    for (size_t l = 0; l < out.numLoops(); ++l)
        for (uint32_t c = out.loopStart[l]; c < out.loopStart[l + 1]; ++c) {
            const int32_t a = out.faceVertices[c], b = out.faceVertices[loopNext(out, uint32_t(l), c)];
            if (walked.emplace(pairKey(a, b), int32_t(order.size())).second) order.push_back({a, b});
        }
    std::vector<uint8_t> used(order.size(), 0);
    const bool smoothing = old.edgeSmooth.size() == old.numEdges();
    for (size_t e = 0; e < old.numEdges(); ++e) {
        auto it = walked.find(pairKey(old.edges[2 * e], old.edges[2 * e + 1]));
        if (it == walked.end() || used[size_t(it->second)]) continue;
        used[size_t(it->second)] = 1;
        out.edges.insert(out.edges.end(), {old.edges[2 * e], old.edges[2 * e + 1]});
        out.edgeSmooth.push_back(smoothing ? old.edgeSmooth[e] : 1);
    }
    for (size_t i = 0; i < order.size(); ++i) {
        if (used[i]) continue;
        out.edges.insert(out.edges.end(), {order[i].first, order[i].second});
        auto it = newSmooth.find(pairKey(order[i].first, order[i].second));
        out.edgeSmooth.push_back(it == newSmooth.end() ? 1 : it->second);
    }
}

// The selected faces clipped to the side where `d` is not positive. A face
// wholly beyond goes; a face across keeps its part before the plane, a new
// vertex on every edge it crosses (shared with the face across that edge, with
// a uv between the edge's two uvs). `selected` follows the faces kept.
MeshData cutAtPlane(const MeshData& in, std::vector<uint8_t>& selected, const std::vector<double>& d, double eps) {
    MeshData out = emptyLike(in);
    CornerCopier copy(in, out);
    std::vector<uint8_t> keptSelected;
    std::unordered_map<uint64_t, int32_t> crossing;   // edge -> new vertex
    std::vector<std::map<std::pair<int32_t, int32_t>, int32_t>> crossingUV(in.uvSets.size());
    std::unordered_map<uint64_t, uint8_t> newSmooth;
    std::unordered_map<uint64_t, uint8_t> oldSmooth;
    for (size_t e = 0; e < in.numEdges(); ++e)
        oldSmooth[pairKey(in.edges[2 * e], in.edges[2 * e + 1])] = in.edgeSmooth.size() == in.numEdges() ? in.edgeSmooth[e] : 1;
    for (size_t f = 0; f < in.numFaces(); ++f) {
        bool inside = false, outside = false;
        for (uint32_t c = in.loopStart[in.faceLoopStart[f]]; c < in.loopStart[in.faceLoopStart[f + 1]]; ++c) {
            inside |= d[size_t(in.faceVertices[c])] < -eps;
            outside |= d[size_t(in.faceVertices[c])] > eps;
        }
        if (selected[f] && outside && !inside) continue;
        const bool clip = selected[f] && outside;
        const size_t faceStart = out.faceVertices.size(), faceLoops = out.numLoops();
        bool dropped = false;
        for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1] && !dropped; ++l) {
            const size_t loopStart = out.faceVertices.size();
            int32_t lastCut = -1;
            for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c) {
                const uint32_t n = loopNext(in, l, c);
                const int32_t a = in.faceVertices[c], b = in.faceVertices[n];
                if (!clip || d[size_t(a)] <= eps) copy.corner(c, a);
                if (!clip || !((d[size_t(a)] < -eps && d[size_t(b)] > eps) || (d[size_t(a)] > eps && d[size_t(b)] < -eps)))
                    continue;
                // Computed from the lower vertex so that both faces of the edge agree on the point.
                const int32_t lo = std::min(a, b), hi = std::max(a, b);
                const double t = d[size_t(lo)] / (d[size_t(lo)] - d[size_t(hi)]);
                auto [it, fresh] = crossing.emplace(pairKey(a, b), int32_t(out.numVertices()));
                if (fresh) {
                    const MeshVec p = meshPoint(in.points.data(), lo) * (1 - t) + meshPoint(in.points.data(), hi) * t;
                    out.points.insert(out.points.end(), {float(p.x), float(p.y), float(p.z)});
                    newSmooth[pairKey(lo, it->second)] = newSmooth[pairKey(hi, it->second)] = oldSmooth[pairKey(a, b)];
                }
                const uint32_t keep = d[size_t(a)] <= eps ? c : n;
                copy.corner(keep, it->second);
                for (size_t s = 0; s < in.uvSets.size(); ++s) {
                    if (!copy.uvs[s]) continue;
                    const MeshUVSet& set = in.uvSets[s];
                    int32_t ua = set.faceVertexUV[a == lo ? c : n], ub = set.faceVertexUV[a == lo ? n : c];
                    int32_t& slot = out.uvSets[s].faceVertexUV.back();
                    if (ua < 0 || ub < 0 || size_t(ua) >= set.u.size() || size_t(ub) >= set.u.size()) { slot = -1; continue; }
                    auto [uvIt, uvFresh] = crossingUV[s].emplace(std::pair{ua, ub}, int32_t(out.uvSets[s].u.size()));
                    if (uvFresh) {
                        out.uvSets[s].u.push_back(float(set.u[size_t(ua)] * (1 - t) + set.u[size_t(ub)] * t));
                        out.uvSets[s].v.push_back(float(set.v[size_t(ua)] * (1 - t) + set.v[size_t(ub)] * t));
                    }
                    slot = uvIt->second;
                }
                if (lastCut >= 0) newSmooth.emplace(pairKey(lastCut, it->second), 1);
                lastCut = it->second;
            }
            if (out.faceVertices.size() - loopStart >= 3) {
                copy.endLoop();
            } else if (l == in.faceLoopStart[f]) {
                dropped = true;
            } else {
                copy.discardTo(loopStart);
            }
        }
        if (dropped) {
            copy.discardTo(faceStart);
            out.loopStart.resize(faceLoops + 1);
            continue;
        }
        copy.endFace();
        keptSelected.push_back(selected[f]);
    }
    selected = std::move(keptSelected);
    rebuildEdges(out, in, newSmooth);
    meshmod::dropUnusedVerticesAndEdges(out);
    return out;
}

// Edges of `faces` whose faces meet at more than `angle` are hard, others soft.
void smoothByAngle(MeshData& m, const std::vector<size_t>& faces, double angle) {
    std::unordered_map<uint64_t, std::vector<size_t>> facesOf;
    for (size_t f = 0; f < m.numFaces(); ++f)
        for (uint32_t c = m.loopStart[m.faceLoopStart[f]]; c < m.loopStart[m.faceLoopStart[f] + 1]; ++c)
            facesOf[pairKey(m.faceVertices[c], m.faceVertices[loopNext(m, m.faceLoopStart[f], c)])].push_back(f);
    std::unordered_map<uint64_t, size_t> edgeId;
    for (size_t e = 0; e < m.numEdges(); ++e) edgeId[pairKey(m.edges[2 * e], m.edges[2 * e + 1])] = e;
    for (size_t f : faces)
        for (uint32_t c = m.loopStart[m.faceLoopStart[f]]; c < m.loopStart[m.faceLoopStart[f] + 1]; ++c) {
            const uint64_t key = pairKey(m.faceVertices[c], m.faceVertices[loopNext(m, m.faceLoopStart[f], c)]);
            const std::vector<size_t>& around = facesOf[key];
            auto id = edgeId.find(key);
            if (around.size() != 2 || id == edgeId.end()) continue;
            const double cosine = std::clamp(meshmod::faceUnitNormal(m, around[0]).dot(meshmod::faceUnitNormal(m, around[1])), -1.0, 1.0);
            m.edgeSmooth[id->second] = stablemath::acos(cosine) <= angle + 1e-9;
        }
}

bool finite3(const std::array<double, 3>& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

}  // namespace

// --- polyMirror -------------------------------------------------------------

MeshData applyPolyMirror(const MeshData& in, const PolyMirrorParams& p, std::string* warning) {
    const char* node = "polyMirror";
    if (!meshmod::usableMesh(in, node, warning)) return in;
    if (in.numFaces() == 0) return in;
    std::vector<int32_t> faces = meshmod::selectedFaces(in, p.inputComponents, node, warning);
    if (faces.empty()) return in;
    int axis = p.axis, direction = p.axisDirection;
    if (p.direction && *p.direction >= 0 && *p.direction <= 5) axis = *p.direction / 2, direction = *p.direction % 2 == 0;
    if (axis < 0 || axis > 2 || !finite3(p.mirrorPlaneCenter) || !finite3(p.mirrorPlaneRotate) ||
        !std::isfinite(p.mirrorPosition) || !std::isfinite(p.mergeThreshold) || (p.pivot && !finite3(*p.pivot))) {
        addWarning(warning, "polyMirror: axis or plane out of range or not a number, geometry passed through");
        return in;
    }
    // The plane lives in world space through the input matrix unless the
    // node works in object space (worldSpace off, or the object's own axes).
    const bool world = p.worldSpace && p.mirrorAxis != 1;
    const MMatrix space = world ? p.inputMatrix : MMatrix();
    if (!meshmod::isFiniteMatrix(space)) {
        addWarning(warning, "polyMirror: input matrix not finite, geometry passed through");
        return in;
    }
    MeshVec axisVec;
    (axis == 0 ? axisVec.x : axis == 1 ? axisVec.y : axisVec.z) = direction ? 1 : -1;
    const MeshVec normal = transformVector(axisVec, rotationXYZ(p.mirrorPlaneRotate)).normalized();
    MeshVec base;
    if (p.pivot) {
        base = {(*p.pivot)[0], (*p.pivot)[1], (*p.pivot)[2]};
    } else if (p.mirrorAxis == 0) {
        // The side of the box towards which the copy goes.
        double far = -HUGE_VAL;
        for (int32_t f : faces)
            for (uint32_t c = in.loopStart[in.faceLoopStart[size_t(f)]]; c < in.loopStart[in.faceLoopStart[size_t(f) + 1]]; ++c)
                far = std::max(far, transformPoint(meshPoint(in.points.data(), in.faceVertices[c]), space).dot(axisVec));
        base = axisVec * far;
    }
    const MeshVec planePoint = base + axisVec * p.mirrorPosition * (direction ? 1 : -1) +
                               MeshVec{p.mirrorPlaneCenter[0], p.mirrorPlaneCenter[1], p.mirrorPlaneCenter[2]};
    // Reflection in object space: into the plane's space, across, and back.
    MMatrix across;
    const double nv[3] = {normal.x, normal.y, normal.z};
    const double offset = 2 * planePoint.dot(normal);
    for (unsigned i = 0; i < 3; ++i) {
        for (unsigned j = 0; j < 3; ++j) across(i, j) = (i == j ? 1.0 : 0.0) - 2 * nv[i] * nv[j];
        across(3, i) = offset * nv[i];
    }
    const MMatrix reflect = space * across * space.inverse();
    const MMatrix normalMatrix = reflect.inverse().transpose();

    MeshData mesh = in;
    std::vector<uint8_t> selected(in.numFaces(), 0);
    for (int32_t f : faces) selected[size_t(f)] = 1;
    if (p.cutMesh) {
        std::vector<double> d(in.numVertices());
        double scale = 0;
        for (size_t v = 0; v < d.size(); ++v) {
            const MeshVec q = transformPoint(meshPoint(in.points.data(), int(v)), space);
            d[v] = (q - planePoint).dot(normal);
            scale = std::max(scale, std::fabs(d[v]));
        }
        mesh = cutAtPlane(in, selected, d, 1e-6 * std::max(scale, 1e-6));
    }
    faces.clear();
    for (size_t f = 0; f < selected.size(); ++f)
        if (selected[f]) faces.push_back(int32_t(f));
    if (faces.empty()) return mesh;
    // The copy at least doubles the selection; a bridge adds a face per border edge.
    if (std::string why = refuseFaces(uint64_t(mesh.numFaces()) + 2 * faces.size() + mesh.numEdges()); !why.empty()) {
        addWarning(warning, std::string(node) + ": " + why + ", mesh left as it was");
        return in;
    }

    const size_t n = mesh.numVertices();
    std::vector<int32_t> copyOf(n, -1);
    std::unordered_map<uint64_t, int> walks;           // sides walked by any face
    std::unordered_map<uint64_t, std::pair<int32_t, int32_t>> selectedSide;  // as a selected face walks it
    for (size_t f = 0; f < mesh.numFaces(); ++f)
        for (uint32_t l = mesh.faceLoopStart[f]; l < mesh.faceLoopStart[f + 1]; ++l)
            for (uint32_t c = mesh.loopStart[l]; c < mesh.loopStart[l + 1]; ++c) {
                const int32_t a = mesh.faceVertices[c], b = mesh.faceVertices[loopNext(mesh, l, c)];
                ++walks[pairKey(a, b)];
                if (selected[f]) copyOf[size_t(a)] = 0, selectedSide[pairKey(a, b)] = {a, b};
            }
    for (size_t v = 0; v < n; ++v)
        if (copyOf[v] == 0) {
            copyOf[v] = int32_t(mesh.numVertices());
            const MeshVec q = transformPoint(meshPoint(mesh.points.data(), int(v)), reflect);
            mesh.points.insert(mesh.points.end(), {float(q.x), float(q.y), float(q.z)});
        }
    // Uvs of the copy: those of the selected faces, appended in id order.
    std::vector<std::vector<int32_t>> uvCopy(mesh.uvSets.size());
    for (size_t s = 0; s < mesh.uvSets.size(); ++s) {
        MeshUVSet& set = mesh.uvSets[s];
        if (set.faceVertexUV.size() != mesh.numFaceVertices()) continue;
        const size_t count = set.u.size();
        uvCopy[s].assign(count, -1);
        for (int32_t f : faces)
            for (uint32_t c = mesh.loopStart[mesh.faceLoopStart[size_t(f)]]; c < mesh.loopStart[mesh.faceLoopStart[size_t(f) + 1]]; ++c)
                if (const int32_t uv = set.faceVertexUV[c]; uv >= 0 && size_t(uv) < count) uvCopy[s][size_t(uv)] = 0;
        float lo[2] = {HUGE_VALF, HUGE_VALF}, hi[2] = {-HUGE_VALF, -HUGE_VALF};
        for (size_t uv = 0; uv < count; ++uv)
            if (uvCopy[s][uv] == 0) {
                uvCopy[s][uv] = int32_t(set.u.size());
                set.u.push_back(set.u[uv]), set.v.push_back(set.v[uv]);
                lo[0] = std::min(lo[0], set.u[uv]), hi[0] = std::max(hi[0], set.u[uv]);
                lo[1] = std::min(lo[1], set.v[uv]), hi[1] = std::max(hi[1], set.v[uv]);
            }
        if (p.flipUVs >= 1 && p.flipUVs <= 4) {
            std::vector<float>& values = (p.flipUVs % 2 == 1) ? set.u : set.v;
            const int k = p.flipUVs % 2 == 1 ? 0 : 1;
            const float mirror = p.flipUVs <= 2 ? lo[k] + hi[k] : 1.0f;
            for (size_t uv = count; uv < values.size(); ++uv) values[uv] = mirror - values[uv];
        }
    }
    CornerCopier copy(mesh, mesh);
    const bool normals = copy.normals;
    for (int32_t f : faces) {
        for (uint32_t l = mesh.faceLoopStart[size_t(f)]; l < mesh.faceLoopStart[size_t(f) + 1]; ++l) {
            for (uint32_t c = mesh.loopStart[l]; c < mesh.loopStart[l + 1]; ++c) {
                copy.corner(c, copyOf[size_t(mesh.faceVertices[c])]);
                for (size_t s = 0; s < mesh.uvSets.size(); ++s)
                    if (copy.uvs[s] && mesh.uvSets[s].faceVertexUV.back() >= 0 && !uvCopy[s].empty())
                        mesh.uvSets[s].faceVertexUV.back() = uvCopy[s][size_t(mesh.uvSets[s].faceVertexUV.back())];
                if (normals && mesh.faceVertexNormals.back() < 1e19f) {
                    float* nrm = &mesh.faceVertexNormals[mesh.faceVertexNormals.size() - 3];
                    const MeshVec r = transformVector({nrm[0], nrm[1], nrm[2]}, normalMatrix).normalized();
                    nrm[0] = float(r.x), nrm[1] = float(r.y), nrm[2] = float(r.z);
                }
            }
            copy.endLoop();
        }
        copy.endFace();
        meshmod::reverseFace(mesh, mesh.numFaces() - 1);
    }
    const size_t originalEdges = mesh.numEdges();
    for (size_t e = 0; e < originalEdges; ++e) {
        const int32_t a = mesh.edges[2 * e], b = mesh.edges[2 * e + 1];
        if (!selectedSide.count(pairKey(a, b))) continue;
        mesh.edges.insert(mesh.edges.end(), {copyOf[size_t(a)], copyOf[size_t(b)]});
        mesh.edgeSmooth.push_back(mesh.edgeSmooth.size() > e ? mesh.edgeSmooth[e] : 1);
    }

    // Border edges of the selection, in id order, as their face walks them.
    std::vector<std::pair<int32_t, int32_t>> border;
    double borderLength = 0;
    for (size_t e = 0; e < originalEdges; ++e) {
        const uint64_t key = pairKey(mesh.edges[2 * e], mesh.edges[2 * e + 1]);
        auto side = selectedSide.find(key);
        if (side == selectedSide.end() || walks[key] != 1) continue;
        border.push_back(side->second);
        borderLength += (meshPoint(mesh.points.data(), side->second.first) - meshPoint(mesh.points.data(), side->second.second)).length();
    }
    const int mode = p.mergeMode == 3 ? 1 : p.mergeMode;
    if (mode == 2) {
        std::vector<size_t> bridges;
        std::unordered_map<uint64_t, size_t> edgeIds;
        for (size_t e = 0; e < mesh.numEdges(); ++e) edgeIds[pairKey(mesh.edges[2 * e], mesh.edges[2 * e + 1])] = e;
        for (auto [a, b] : border) {
            const int32_t quad[4] = {b, a, copyOf[size_t(a)], copyOf[size_t(b)]};
            for (int32_t v : quad) mesh.faceVertices.push_back(v);
            for (size_t s = 0; s < mesh.uvSets.size(); ++s)
                if (copy.uvs[s]) mesh.uvSets[s].faceVertexUV.insert(mesh.uvSets[s].faceVertexUV.end(), 4, -1);
            for (size_t s = 0; s < mesh.colorSets.size(); ++s)
                if (copy.colours[s]) mesh.colorSets[s].faceVertexColor.insert(mesh.colorSets[s].faceVertexColor.end(), 4, -1);
            if (normals) mesh.faceVertexNormals.insert(mesh.faceVertexNormals.end(), 12, 1e20f);
            copy.endLoop();
            copy.endFace();
            bridges.push_back(mesh.numFaces() - 1);
            for (int i = 0; i < 4; ++i)
                if (edgeIds.emplace(pairKey(quad[i], quad[(i + 1) % 4]), mesh.numEdges()).second) {
                    mesh.edges.insert(mesh.edges.end(), {quad[i], quad[(i + 1) % 4]});
                    mesh.edgeSmooth.push_back(1);
                }
        }
        smoothByAngle(mesh, bridges, p.smoothingAngle);
    } else if (mode == 1 && !border.empty()) {
        const double threshold = p.mergeThresholdType == 1 ? std::max(p.mergeThreshold, 0.0)
                                                           : 0.1 * borderLength / double(border.size());
        std::vector<uint8_t> onBorder(n, 0);
        for (auto [a, b] : border) onBorder[size_t(a)] = onBorder[size_t(b)] = 1;
        std::vector<std::string> items;
        for (size_t v = 0; v < n; ++v) {
            if (!onBorder[v]) continue;
            const MeshVec q = meshPoint(mesh.points.data(), int(v)), r = meshPoint(mesh.points.data(), copyOf[v]);
            if ((q - r).length() > threshold) continue;
            // Both onto the plane, so that only the pair meets (a distance would join near neighbours too).
            const MeshVec mid = (q + r) * 0.5;
            setPoint(mesh, v, mid);
            setPoint(mesh, size_t(copyOf[v]), meshPoint(mesh.points.data(), int(v)));
            items.push_back("vtx[" + std::to_string(v) + "]");
            items.push_back("vtx[" + std::to_string(copyOf[v]) + "]");
        }
        if (!items.empty()) {
            PolyMergeVertParams merge;
            merge.inputComponents = std::move(items);
            merge.texture = p.flipUVs == 0;
            mesh = applyPolyMergeVert(mesh, merge, warning);
        }
    } else if (mode != 0 && mode != 1) {
        addWarning(warning, "polyMirror: mergeMode " + std::to_string(p.mergeMode) + " is not known, borders left apart");
    }
    return mesh;
}

// --- polyBridgeEdge -----------------------------------------------------------

namespace {

struct EdgeChain {
    std::vector<int32_t> vertices;  // in order; a loop does not repeat its first
    bool closed = false;
};

// The listed edges as chains joined at vertices, in order of their lowest
// edge; empty with a warning when a vertex joins more than two of them.
std::vector<EdgeChain> edgeChains(const MeshData& m, const std::vector<int32_t>& edges, const char* node, std::string* warning) {
    std::unordered_map<int32_t, std::vector<int32_t>> around;
    for (int32_t e : edges)
        for (int k = 0; k < 2; ++k) around[m.edges[2 * size_t(e) + size_t(k)]].push_back(e);
    for (const auto& [v, list] : around)
        if (list.size() > 2) {
            addWarning(warning, std::string(node) + ": vertex " + std::to_string(v) + " joins more than two listed edges, geometry passed through");
            return {};
        }
    std::unordered_map<int32_t, uint8_t> used;
    std::vector<EdgeChain> chains;
    for (int32_t first : edges) {
        if (used[first]) continue;
        // Back to an end (or round the loop), then forwards from there.
        int32_t v = m.edges[2 * size_t(first)], e = first;
        for (size_t steps = 0; steps <= edges.size(); ++steps) {
            const std::vector<int32_t>& list = around[v];
            const int32_t next = list.size() == 2 ? (list[0] == e ? list[1] : list[0]) : -1;
            if (next < 0 || next == first) break;
            e = next;
            v = m.edges[2 * size_t(e)] == v ? m.edges[2 * size_t(e) + 1] : m.edges[2 * size_t(e)];
        }
        EdgeChain chain;
        chain.closed = around[v].size() == 2;
        e = chain.closed ? first : around[v][0];
        if (chain.closed) v = m.edges[2 * size_t(first)];
        chain.vertices.push_back(v);
        while (!used[e]) {
            used[e] = 1;
            v = m.edges[2 * size_t(e)] == v ? m.edges[2 * size_t(e) + 1] : m.edges[2 * size_t(e)];
            const std::vector<int32_t>& list = around[v];
            const int32_t next = list.size() == 2 ? (list[0] == e ? list[1] : list[0]) : -1;
            if (chain.closed && v == chain.vertices.front()) break;
            chain.vertices.push_back(v);
            if (next < 0) break;
            e = next;
        }
        chains.push_back(std::move(chain));
    }
    return chains;
}

void reverseChain(EdgeChain& c) {
    if (c.closed) std::reverse(c.vertices.begin() + 1, c.vertices.end());
    else std::reverse(c.vertices.begin(), c.vertices.end());
}

void startAt(EdgeChain& c, size_t at) {
    if (c.closed && at < c.vertices.size()) std::rotate(c.vertices.begin(), c.vertices.begin() + long(at), c.vertices.end());
}

MeshVec rotateAbout(const MeshVec& p, const MeshVec& centre, const MeshVec& unitAxis, double angle) {
    const MeshVec q = p - centre;
    const double c = stablemath::cos(angle), s = stablemath::sin(angle);
    return centre + q * c + unitAxis.cross(q) * s + unitAxis * (unitAxis.dot(q) * (1 - c));
}

}  // namespace

MeshData applyPolyBridgeEdge(const MeshData& in, const PolyBridgeEdgeParams& p, std::string* warning) {
    const char* node = "polyBridgeEdge";
    if (!meshmod::usableMesh(in, node, warning)) return in;
    if (!p.inputComponents) return in;
    if (p.divisions < 0 || !std::isfinite(p.twist) || !std::isfinite(p.taper) || !std::isfinite(p.smoothingAngle)) {
        addWarning(warning, "polyBridgeEdge: divisions, twist or taper out of range, geometry passed through");
        return in;
    }
    const std::vector<int32_t> edges = meshmod::selectedEdges(in, p.inputComponents, node, warning);
    if (edges.empty()) return in;
    // How the faces walk each side: a border edge has one face, the bridge takes the other side.
    std::unordered_map<uint64_t, std::pair<int32_t, int32_t>> walkedAs;
    std::unordered_map<uint64_t, int> walks;
    std::unordered_map<uint64_t, size_t> faceOf;
    for (size_t f = 0; f < in.numFaces(); ++f)
        for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1]; ++l)
            for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c) {
                const int32_t a = in.faceVertices[c], b = in.faceVertices[loopNext(in, l, c)];
                ++walks[pairKey(a, b)];
                walkedAs[pairKey(a, b)] = {a, b};
                faceOf[pairKey(a, b)] = f;
            }
    for (int32_t e : edges)
        if (walks[pairKey(in.edges[2 * size_t(e)], in.edges[2 * size_t(e) + 1])] != 1) {
            addWarning(warning, "polyBridgeEdge: edge " + std::to_string(e) + " is not on a border, geometry passed through");
            return in;
        }
    std::vector<EdgeChain> chains = edgeChains(in, edges, node, warning);
    if (chains.empty()) return in;
    if (chains.size() != 2) {
        addWarning(warning, "polyBridgeEdge: the edges form " + std::to_string(chains.size()) + " chains, not two; geometry passed through");
        return in;
    }
    auto holds = [](const EdgeChain& c, int32_t v) { return std::find(c.vertices.begin(), c.vertices.end(), v) != c.vertices.end(); };
    if (p.startVert1 >= 0 && !holds(chains[0], p.startVert1) && holds(chains[1], p.startVert1)) std::swap(chains[0], chains[1]);
    EdgeChain& one = chains[0];
    EdgeChain& two = chains[1];
    if (one.vertices.size() != two.vertices.size() || one.closed != two.closed || one.vertices.size() < 2) {
        addWarning(warning, "polyBridgeEdge: the two chains differ in edges, geometry passed through");
        return in;
    }
    auto alongFaces = [&](const EdgeChain& c) { return walkedAs[pairKey(c.vertices[0], c.vertices[1])].first == c.vertices[0]; };
    if (!alongFaces(one)) reverseChain(one);
    if (alongFaces(two)) reverseChain(two);
    const size_t n = one.vertices.size();
    auto pointOf = [&](int32_t v) { return meshPoint(in.points.data(), v); };
    if (one.closed) {
        if (holds(one, p.startVert1)) startAt(one, size_t(std::find(one.vertices.begin(), one.vertices.end(), p.startVert1) - one.vertices.begin()));
        size_t start = 0;
        if (holds(two, p.startVert2)) {
            start = size_t(std::find(two.vertices.begin(), two.vertices.end(), p.startVert2) - two.vertices.begin());
        } else {
            double best = HUGE_VAL;
            for (size_t i = 0; i < n; ++i)
                if (const double d = (pointOf(two.vertices[i]) - pointOf(one.vertices[0])).length(); d < best) best = d, start = i;
        }
        const int64_t offset = int64_t(p.reverse ? -p.bridgeOffset : p.bridgeOffset) % int64_t(n);
        startAt(two, size_t((int64_t(start) + offset + int64_t(n)) % int64_t(n)));
    }
    const size_t segments = one.closed ? n : n - 1;
    const uint64_t added = uint64_t(segments) * (uint64_t(p.divisions) + 1);
    if (std::string why = refuseFaces(in.numFaces() + added); !why.empty()) {
        addWarning(warning, std::string(node) + ": " + why + ", mesh left as it was");
        return in;
    }
    int curveType = p.curveType;
    if (curveType == 2) {
        addWarning(warning, "polyBridgeEdge: the input curve is not evaluated, the bridge is blended");
        curveType = 1;
    }
    // Where each side leaves its faces: away from the centres of the faces beside it.
    auto leaving = [&](const EdgeChain& c, size_t i) {
        MeshVec sum;
        for (size_t j : {(i + n - 1) % n, i}) {
            if (!c.closed && j == n - 1) continue;  // an open run has no side before its first vertex or after its last
            const size_t f = faceOf[pairKey(c.vertices[j], c.vertices[(j + 1) % n])];
            sum += (pointOf(c.vertices[i]) - meshmod::faceCentre(in, f)).normalized();
        }
        return sum.normalized();
    };
    MeshVec c1, c2;
    for (size_t i = 0; i < n; ++i) c1 += pointOf(one.vertices[i]) * (1.0 / double(n)), c2 += pointOf(two.vertices[i]) * (1.0 / double(n));
    const MeshVec axis = (c2 - c1).normalized();
    const double twist = p.reverse ? -p.twist : p.twist;
    MeshData out = in;
    if (out.edgeSmooth.size() != out.numEdges()) out.edgeSmooth.assign(out.numEdges(), 1);
    std::vector<std::vector<int32_t>> rows{one.vertices};
    for (int k = 1; k <= p.divisions; ++k) {
        const double t = double(k) / double(p.divisions + 1);
        // The ends stay put: twist and taper swell to their full value in the middle.
        const double bulge = stablemath::sin(3.14159265358979323846 * t);
        const MeshVec centre = c1 * (1 - t) + c2 * t;
        std::vector<int32_t> row;
        for (size_t i = 0; i < n; ++i) {
            const MeshVec a = pointOf(one.vertices[i]), b = pointOf(two.vertices[i]);
            MeshVec q = a * (1 - t) + b * t;
            if (curveType == 1) {
                // Hermite from a to b, leaving each side along its faces (the end arrives against its own leaving direction).
                const double len = (b - a).length(), h10 = t * (1 - t) * (1 - t), h11 = t * t * (t - 1);
                q = a * (2 * t * t * t - 3 * t * t + 1) + b * (3 * t * t - 2 * t * t * t) + leaving(one, i) * (len * h10) -
                    leaving(two, i) * (len * h11);
            }
            q = centre + (q - centre) * (1 + (p.taper - 1) * bulge);
            if (twist != 0 && axis.length() > 0) q = rotateAbout(q, centre, axis, twist * bulge);
            row.push_back(int32_t(out.numVertices()));
            out.points.insert(out.points.end(), {float(q.x), float(q.y), float(q.z)});
        }
        rows.push_back(std::move(row));
    }
    rows.push_back(two.vertices);
    std::unordered_map<uint64_t, size_t> edgeIds;
    for (size_t e = 0; e < out.numEdges(); ++e) edgeIds[pairKey(out.edges[2 * e], out.edges[2 * e + 1])] = e;
    CornerCopier copy(in, out);
    std::vector<size_t> made;
    for (size_t k = 0; k + 1 < rows.size(); ++k)
        for (size_t i = 0; i < segments; ++i) {
            const size_t j = (i + 1) % n;
            const int32_t quad[4] = {rows[k][j], rows[k][i], rows[k + 1][i], rows[k + 1][j]};
            out.faceVertices.insert(out.faceVertices.end(), quad, quad + 4);
            for (size_t s = 0; s < out.uvSets.size(); ++s)
                if (copy.uvs[s]) out.uvSets[s].faceVertexUV.insert(out.uvSets[s].faceVertexUV.end(), 4, -1);
            for (size_t s = 0; s < out.colorSets.size(); ++s)
                if (copy.colours[s]) out.colorSets[s].faceVertexColor.insert(out.colorSets[s].faceVertexColor.end(), 4, -1);
            if (copy.normals) out.faceVertexNormals.insert(out.faceVertexNormals.end(), 12, 1e20f);
            copy.endLoop();
            copy.endFace();
            made.push_back(out.numFaces() - 1);
            for (int c = 0; c < 4; ++c)
                if (edgeIds.emplace(pairKey(quad[c], quad[(c + 1) % 4]), out.numEdges()).second) {
                    out.edges.insert(out.edges.end(), {quad[c], quad[(c + 1) % 4]});
                    out.edgeSmooth.push_back(1);
                }
        }
    smoothByAngle(out, made, p.smoothingAngle);
    return out;
}

// --- polyCircularize ---------------------------------------------------------

MeshData applyPolyCircularize(const MeshData& in, const PolyCircularizeParams& p, std::string* warning) {
    const char* node = "polyCircularize";
    if (!meshmod::usableMesh(in, node, warning)) return in;
    if (!std::isfinite(p.radialOffset) || !std::isfinite(p.normalOffset) || !std::isfinite(p.twist)) {
        addWarning(warning, "polyCircularize: an offset or the twist is not a number, geometry passed through");
        return in;
    }
    // Faces give their border, edges their loops; other kinds select nothing here.
    std::optional<std::vector<std::string>> faceItems, edgeItems;
    if (p.inputComponents) {
        faceItems.emplace(), edgeItems.emplace();
        for (const std::string& item : *p.inputComponents) {
            if (item.rfind("f[", 0) == 0) faceItems->push_back(item);
            else if (item.rfind("e[", 0) == 0) edgeItems->push_back(item);
            else addWarning(warning, "polyCircularize: " + item + " is neither faces nor edges and is left out");
        }
    }
    const bool byFaces = !p.inputComponents || !faceItems->empty();
    if (p.divisions != 0) addWarning(warning, "polyCircularize: divisions are not evaluated");
    if (p.relaxInterior) addWarning(warning, "polyCircularize: relaxInterior is not evaluated");
    if (p.alignment != 0 || p.normalOrientation != 0)
        addWarning(warning, "polyCircularize: alignment and normalOrientation are not evaluated, the loops' own planes are used");
    MeshData mesh = in;
    std::vector<int32_t> edges;
    // How the loop runs: each listed side as a face walks it (the lowest face for edges).
    std::unordered_map<uint64_t, std::pair<int32_t, int32_t>> walkedAs;
    if (byFaces) {
        const std::vector<int32_t> faces = meshmod::selectedFaces(in, faceItems, node, warning);
        if (faces.empty()) return in;
        if (edgeItems && !edgeItems->empty()) addWarning(warning, "polyCircularize: edges listed with faces are left out");
        if (p.supportingEdges) {
            PolyExtrudeFaceParams lift;
            lift.inputComponents = faceItems;
            mesh = applyPolyExtrudeFace(in, lift, warning);
        }
        std::unordered_map<uint64_t, int> walks;
        for (int32_t f : faces)
            for (uint32_t l = mesh.faceLoopStart[size_t(f)]; l < mesh.faceLoopStart[size_t(f) + 1]; ++l)
                for (uint32_t c = mesh.loopStart[l]; c < mesh.loopStart[l + 1]; ++c) {
                    const int32_t a = mesh.faceVertices[c], b = mesh.faceVertices[loopNext(mesh, l, c)];
                    ++walks[pairKey(a, b)];
                    walkedAs[pairKey(a, b)] = {a, b};
                }
        for (size_t e = 0; e < mesh.numEdges(); ++e)
            if (walks[pairKey(mesh.edges[2 * e], mesh.edges[2 * e + 1])] == 1) edges.push_back(int32_t(e));
    } else {
        if (p.supportingEdges) addWarning(warning, "polyCircularize: supporting edges are only made for faces");
        edges = meshmod::selectedEdges(in, edgeItems, node, warning);
        for (size_t f = mesh.numFaces(); f-- > 0;)
            for (uint32_t l = mesh.faceLoopStart[f]; l < mesh.faceLoopStart[f + 1]; ++l)
                for (uint32_t c = mesh.loopStart[l]; c < mesh.loopStart[l + 1]; ++c) {
                    const int32_t a = mesh.faceVertices[c], b = mesh.faceVertices[loopNext(mesh, l, c)];
                    walkedAs[pairKey(a, b)] = {a, b};
                }
    }
    if (edges.empty()) return mesh;
    std::vector<EdgeChain> chains = edgeChains(mesh, edges, node, warning);
    MeshData out = mesh;
    size_t open = 0;
    for (EdgeChain& chain : chains) {
        const size_t n = chain.vertices.size();
        if (!chain.closed || n < 3) {
            ++open;
            continue;
        }
        auto it = walkedAs.find(pairKey(chain.vertices[0], chain.vertices[1]));
        if (it != walkedAs.end() && it->second.first != chain.vertices[0]) reverseChain(chain);
        std::vector<MeshVec> q(n);
        MeshVec centre, normal;
        for (size_t i = 0; i < n; ++i) centre += (q[i] = meshPoint(mesh.points.data(), chain.vertices[i])) * (1.0 / double(n));
        for (size_t i = 0; i < n; ++i) normal += (q[i] - centre).cross(q[(i + 1) % n] - centre);
        normal = normal.normalized();
        if (normal.length() == 0) {
            addWarning(warning, "polyCircularize: a loop through vertex " + std::to_string(chain.vertices[0]) + " has no plane and stays");
            continue;
        }
        double radius = 0;
        for (MeshVec& v : q) {
            v = v - centre;
            v = v - normal * v.dot(normal);
            radius += v.length() / double(n);
        }
        radius += p.radialOffset;
        if (radius < 0) {
            addWarning(warning, "polyCircularize: the radial offset leaves a negative radius, 0 used");
            radius = 0;
        }
        MeshVec u = q[0].normalized();
        if (u.length() == 0) u = (std::fabs(normal.x) < 0.9 ? MeshVec{1, 0, 0} : MeshVec{0, 1, 0}).cross(normal).normalized();
        const MeshVec v = normal.cross(u);
        const double turn = 2 * 3.14159265358979323846 / double(n);
        // Equal steps from the start that moves the points least: the mean of each point's offset from its step.
        double sinSum = 0, cosSum = 0;
        std::vector<double> angle(n);
        for (size_t i = 0; i < n; ++i) {
            angle[i] = stablemath::atan2(q[i].dot(v), q[i].dot(u));
            sinSum += stablemath::sin(angle[i] - turn * double(i)), cosSum += stablemath::cos(angle[i] - turn * double(i));
        }
        const double start = sinSum == 0 && cosSum == 0 ? 0 : stablemath::atan2(sinSum, cosSum);
        for (size_t i = 0; i < n; ++i) {
            const double a = (p.evenlyDistribute ? start + turn * double(i) : angle[i]) + p.twist;
            setPoint(out, size_t(chain.vertices[i]),
                     centre + (u * stablemath::cos(a) + v * stablemath::sin(a)) * radius + normal * p.normalOffset);
        }
    }
    if (open) addWarning(warning, "polyCircularize: " + std::to_string(open) + " open chains are left as they are");
    return out;
}

}  // namespace mayahost
