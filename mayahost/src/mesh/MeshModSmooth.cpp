// polySmoothFace: Catmull-Clark subdivision. Each level takes the topology,
// numbering and interpolated uvs of polySubdFace's quad split and moves the
// points by the Catmull-Clark rules.

#include "mesh/MeshModifiers.h"
#include "base/EvalBudget.h"

#include "mesh/MeshModUtil.h"
#include "mesh/MeshVec.h"

#include <algorithm>
#include <unordered_map>

namespace mayahost {
namespace {

using meshmod::addWarning;
using meshmod::pairKey;

struct EdgeInfo {
    int32_t a = 0, b = 0;
    int32_t faces[2] = {-1, -1};
    int count = 0;          // faces walking it
    bool hard = false;
    int32_t point = -1;     // its vertex in the subdivided mesh
};

// The points of one Catmull-Clark level of `in` (all faces single-loop) for
// `out`, which is `in` split into quads by polySubdFace.
void smoothPoints(const MeshData& in, MeshData& out, const PolySmoothFaceParams& p) {
    const float* pts = in.points.data();
    std::unordered_map<uint64_t, EdgeInfo> edges;
    edges.reserve(in.numEdges());
    for (size_t e = 0; e < in.numEdges(); ++e) {
        EdgeInfo& info = edges[pairKey(in.edges[2 * e], in.edges[2 * e + 1])];
        info.a = in.edges[2 * e];
        info.b = in.edges[2 * e + 1];
        info.hard = !in.edgeSmooth.empty() && in.edgeSmooth[e] == 0;
    }
    // New vertex ids in the split's order: per face, side points not made yet, then the centre.
    std::vector<MeshVec> facePoint(in.numFaces());
    std::vector<int32_t> faceVertex(in.numFaces());
    int32_t next = int32_t(in.numVertices());
    for (size_t f = 0; f < in.numFaces(); ++f) {
        const uint32_t b = in.loopStart[in.faceLoopStart[f]], e = in.loopStart[in.faceLoopStart[f] + 1];
        MeshVec sum;
        for (uint32_t c = b; c < e; ++c) {
            const int32_t u = in.faceVertices[c], w = in.faceVertices[c + 1 < e ? c + 1 : b];
            sum += meshPoint(pts, u);
            auto [it, fresh] = edges.try_emplace(pairKey(u, w));
            EdgeInfo& info = it->second;
            if (fresh) {   // a side the edge list lacks
                info.a = u;
                info.b = w;
            }
            if (info.count < 2) info.faces[info.count] = int32_t(f);
            ++info.count;
            if (info.point < 0) info.point = next++;
        }
        facePoint[f] = sum * (1.0 / double(e - b));
        faceVertex[f] = next++;
    }
    auto set = [&](int32_t v, const MeshVec& q) {
        out.points[3 * size_t(v)] = float(q.x);
        out.points[3 * size_t(v) + 1] = float(q.y);
        out.points[3 * size_t(v) + 2] = float(q.z);
    };
    for (size_t f = 0; f < in.numFaces(); ++f) set(faceVertex[f], facePoint[f]);

    // Per original vertex: the sums its rule needs.
    struct Around {
        MeshVec faces, mids, creaseEnds;
        int edges = 0, faceCount = 0, creases = 0, border = 0;
    };
    std::vector<Around> around(in.numVertices());
    for (size_t f = 0; f < in.numFaces(); ++f)
        for (uint32_t c = in.loopStart[in.faceLoopStart[f]]; c < in.loopStart[in.faceLoopStart[f] + 1]; ++c) {
            around[size_t(in.faceVertices[c])].faces += facePoint[f];
            ++around[size_t(in.faceVertices[c])].faceCount;
        }
    for (const auto& [key, info] : edges) {
        if (info.point < 0) continue;   // an edge no face walks
        const MeshVec a = meshPoint(pts, info.a), b = meshPoint(pts, info.b);
        const bool border = info.count != 2;
        const bool crease = border || (info.hard && p.keepHardEdges);
        set(info.point, crease ? (a + b) * 0.5 : (a + b + facePoint[size_t(info.faces[0])] + facePoint[size_t(info.faces[1])]) * 0.25);
        for (const auto& [v, other] : {std::pair{info.a, b}, {info.b, a}}) {
            Around& r = around[size_t(v)];
            r.mids += (a + b) * 0.5;
            ++r.edges;
            r.border += border;
            if (crease) {
                ++r.creases;
                r.creaseEnds += other;
            }
        }
    }
    for (size_t v = 0; v < in.numVertices(); ++v) {
        const Around& r = around[v];
        const MeshVec q = meshPoint(pts, int32_t(v));
        // Kept where it is: unused, on a kept border, or a border corner (in one face only).
        if (r.faceCount == 0 || (r.border && (p.keepBorder || r.faceCount == 1))) continue;
        if (r.creases < 2) {
            const double n = r.edges;
            set(int32_t(v), (r.faces * (1.0 / r.faceCount) + r.mids * (2.0 / n) + q * (n - 3)) * (1.0 / n));
        } else if (r.creases == 2) {
            set(int32_t(v), (r.creaseEnds + q * 6) * 0.125);
        }
        // A corner (more than two creases) stays.
    }
}

}  // namespace

MeshData applyPolySmoothFace(const MeshData& in, const PolySmoothFaceParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polySmoothFace", warning)) return in;
    const std::vector<int32_t> faces = meshmod::selectedFaces(in, params.inputComponents, "polySmoothFace", warning);
    if (faces.empty()) return in;
    if (faces.size() != in.numFaces()) {
        addWarning(warning, "polySmoothFace: smoothing part of a mesh is not evaluated, geometry passed through");
        return in;
    }
    for (size_t f = 0; f < in.numFaces(); ++f)
        if (in.faceLoopStart[f + 1] - in.faceLoopStart[f] != 1) {
            addWarning(warning, "polySmoothFace: face " + std::to_string(f) + " has holes, geometry passed through");
            return in;
        }
    MeshData mesh = in;
    for (int level = 0; level < params.divisions; ++level) {
        // Each level makes a quad per face-vertex.
        if (std::string why = refuseFaces(mesh.numFaceVertices()); !why.empty()) {
            addWarning(warning, "polySmoothFace: level " + std::to_string(level + 1) + ": " + why +
                                    "; the smoothing stops before it");
            break;
        }
        MeshData split = applyPolySubdFace(mesh, {.inputComponents = {}, .divisions = 1, .mode = SubdFaceMode::Quads}, warning);
        if (!params.linear) smoothPoints(mesh, split, params);
        mesh = std::move(split);
    }
    if (!params.propagateEdgeHardness && params.divisions > 0) mesh.edgeSmooth.assign(mesh.numEdges(), 1);
    return mesh;
}

}  // namespace mayahost
