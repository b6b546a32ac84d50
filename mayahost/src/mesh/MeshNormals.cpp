#include "mesh/MeshNormals.h"
#include "common/platform/StableMath.h"

#include "mesh/MeshValidate.h"
#include "mesh/MeshVec.h"
#include "mesh/VertexEdges.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace mayahost {
namespace {

constexpr float kUnsetNormal = 1e19f;

MeshVec loopNormal(const MeshData& m, uint32_t begin, uint32_t end) {
    MeshVec n;
    const float* pts = m.points.data();
    for (uint32_t i = begin; i < end; ++i) {
        MeshVec a = meshPoint(pts, m.faceVertices[i]);
        MeshVec b = meshPoint(pts, m.faceVertices[i + 1 == end ? begin : i + 1]);
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

// Newell vector of a face's outer loop: direction is the face normal,
// length twice its area.
MeshVec outerLoopNormal(const MeshData& m, size_t face) {
    uint32_t loop = m.faceLoopStart[face];
    return loopNormal(m, m.loopStart[loop], m.loopStart[loop + 1]);
}

struct Groups {
    std::vector<uint32_t> parent;

    explicit Groups(size_t n) : parent(n) {
        for (size_t i = 0; i < n; ++i) parent[i] = uint32_t(i);
    }
    uint32_t find(uint32_t i) {
        while (parent[i] != i) {
            parent[i] = parent[parent[i]];
            i = parent[i];
        }
        return i;
    }
    void join(uint32_t a, uint32_t b) {
        a = find(a), b = find(b);
        if (a != b) parent[std::max(a, b)] = std::min(a, b);
    }
};

// Joins the corners of faces that meet across soft edges, vertex by vertex.
void joinAcrossSoftEdges(const MeshData& m, Groups& groups) {
    if (m.edgeSmooth.empty()) return;  // no flags: every edge hard
    VertexEdges vertexEdges(m);
    constexpr uint32_t kUnseen = UINT32_MAX;
    std::vector<uint32_t> firstAt0(m.numEdges(), kUnseen), firstAt1(m.numEdges(), kUnseen);
    for (size_t loop = 0; loop < m.numLoops(); ++loop) {
        uint32_t begin = m.loopStart[loop], end = m.loopStart[loop + 1];
        for (uint32_t i = begin; i < end; ++i) {
            uint32_t j = i + 1 == end ? begin : i + 1;
            int32_t a = m.faceVertices[i], b = m.faceVertices[j];
            if (a == b) continue;
            int64_t e = vertexEdges.find(m, a, b);
            if (e < 0 || !m.edgeSmooth[size_t(e)]) continue;
            uint32_t at0 = m.edges[2 * size_t(e)] == a ? i : j;
            uint32_t at1 = at0 == i ? j : i;
            if (firstAt0[size_t(e)] == kUnseen) {
                firstAt0[size_t(e)] = at0;
                firstAt1[size_t(e)] = at1;
            } else {
                groups.join(firstAt0[size_t(e)], at0);
                groups.join(firstAt1[size_t(e)], at1);
            }
        }
    }
}

double cornerAngle(const MeshData& m, uint32_t prev, uint32_t corner, uint32_t next) {
    const float* pts = m.points.data();
    MeshVec c = meshPoint(pts, m.faceVertices[corner]);
    MeshVec a = meshPoint(pts, m.faceVertices[prev]) - c;
    MeshVec b = meshPoint(pts, m.faceVertices[next]) - c;
    return stablemath::atan2(a.cross(b).length(), a.dot(b));
}

bool userNormalSet(const MeshData& m, size_t corner) {
    if (m.faceVertexNormals.empty()) return false;
    const float* n = &m.faceVertexNormals[3 * corner];
    return std::fabs(n[0]) < kUnsetNormal && std::fabs(n[1]) < kUnsetNormal && std::fabs(n[2]) < kUnsetNormal;
}

}  // namespace

std::vector<float> computeFaceNormals(const MeshData& mesh) {
    if (!meshDataError(mesh).empty()) return {};
    std::vector<float> out(3 * mesh.numFaces());
    for (size_t f = 0; f < mesh.numFaces(); ++f) {
        MeshVec n = outerLoopNormal(mesh, f).normalized();
        out[3 * f] = float(n.x), out[3 * f + 1] = float(n.y), out[3 * f + 2] = float(n.z);
    }
    return out;
}

CornerNormals computeCornerNormals(const MeshData& m, NormalWeighting weighting) {
    if (!meshDataError(m).empty()) return {};
    return computeCornerNormalsOfConsistentMesh(m, weighting);
}

CornerNormals computeCornerNormalsOfConsistentMesh(const MeshData& m, NormalWeighting weighting) {
    CornerNormals out;
    size_t corners = m.numFaceVertices();
    Groups groups(corners);
    joinAcrossSoftEdges(m, groups);
    // Parents always have lower indices, so one ascending pass numbers the
    // groups by their first corner and points every other corner at it.
    std::vector<uint32_t>& id = groups.parent;
    uint32_t count = 0;
    for (size_t c = 0; c < corners; ++c) id[c] = id[c] == c ? count++ : id[id[c]];
    out.values.assign(3 * size_t(count), 0.f);

    // Each group's weighted sum builds up in its entry.
    for (size_t f = 0; f < m.numFaces(); ++f) {
        MeshVec faceVec = outerLoopNormal(m, f);
        MeshVec unit = faceVec.normalized();
        double area = faceVec.length() / 2;
        for (uint32_t loop = m.faceLoopStart[f]; loop < m.faceLoopStart[f + 1]; ++loop) {
            uint32_t begin = m.loopStart[loop], end = m.loopStart[loop + 1];
            for (uint32_t c = begin; c < end; ++c) {
                double weight = 1;
                if (weighting == NormalWeighting::AreaWeighted || weighting == NormalWeighting::AngleAndArea)
                    weight *= area;
                if (weighting == NormalWeighting::AngleWeighted || weighting == NormalWeighting::AngleAndArea)
                    weight *= cornerAngle(m, c == begin ? end - 1 : c - 1, c, c + 1 == end ? begin : c + 1);
                float* sum = &out.values[3 * size_t(id[c])];
                sum[0] += float(unit.x * weight), sum[1] += float(unit.y * weight), sum[2] += float(unit.z * weight);
            }
        }
    }
    // A group's first corner (met in ascending order) lies in the face whose
    // normal stands in when the sum vanishes.
    uint32_t next = 0;
    for (size_t f = 0; f < m.numFaces(); ++f) {
        for (uint32_t c = m.loopStart[m.faceLoopStart[f]]; c < m.loopStart[m.faceLoopStart[f + 1]]; ++c) {
            if (id[c] != next) continue;
            ++next;
            float* n = &out.values[3 * size_t(id[c])];
            MeshVec sum{n[0], n[1], n[2]};
            // Opposite faces cancelling out (or weights all zero) leave the corner its own face's normal.
            MeshVec v = sum.length() > 0 ? sum.normalized() : outerLoopNormal(m, f).normalized();
            n[0] = float(v.x), n[1] = float(v.y), n[2] = float(v.z);
        }
    }
    // User normals win: one locked on a group's first corner becomes the
    // group's (its corners without one of their own follow it), one on any
    // other corner gets an entry of its own.
    if (!m.faceVertexNormals.empty()) {
        uint32_t first = 0;
        for (size_t c = 0; c < corners; ++c) {
            const bool leads = id[c] == first;
            if (leads) ++first;
            if (!userNormalSet(m, c)) continue;
            const float* user = &m.faceVertexNormals[3 * c];
            if (leads) {
                std::copy_n(user, 3, &out.values[3 * size_t(id[c])]);
                continue;
            }
            id[c] = uint32_t(out.values.size() / 3);
            out.values.insert(out.values.end(), user, user + 3);
        }
    }
    out.ofCorner = std::move(id);
    return out;
}

std::vector<float> computeFaceVertexNormals(const MeshData& m, NormalWeighting weighting) {
    const CornerNormals normals = computeCornerNormals(m, weighting);
    std::vector<float> out(3 * normals.corners());
    for (size_t c = 0; c < normals.corners(); ++c) std::copy_n(normals.at(c), 3, &out[3 * c]);
    return out;
}

}  // namespace mayahost
