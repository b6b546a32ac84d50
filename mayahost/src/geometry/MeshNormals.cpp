#include "MeshNormals.h"

#include "MeshValidate.h"
#include "MeshVec.h"

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

// Newell vector of each face's outer loop: direction is the face normal,
// length twice its area.
std::vector<MeshVec> faceAreaVectors(const MeshData& m) {
    std::vector<MeshVec> out(m.numFaces());
    for (size_t f = 0; f < out.size(); ++f) {
        uint32_t loop = m.faceLoopStart[f];
        out[f] = loopNormal(m, m.loopStart[loop], m.loopStart[loop + 1]);
    }
    return out;
}

// Edges incident to each vertex, so that the edge between two corners is
// found by scanning a handful of entries.
struct VertexEdges {
    std::vector<uint32_t> offset, edge;

    explicit VertexEdges(const MeshData& m) : offset(m.numVertices() + 1, 0), edge(m.edges.size()) {
        for (int32_t v : m.edges) ++offset[size_t(v) + 1];
        for (size_t i = 1; i < offset.size(); ++i) offset[i] += offset[i - 1];
        std::vector<uint32_t> fill(offset.begin(), offset.end() - 1);
        for (size_t i = 0; i < m.edges.size(); ++i) edge[fill[size_t(m.edges[i])]++] = uint32_t(i / 2);
    }

    int64_t find(const MeshData& m, int32_t a, int32_t b) const {
        for (uint32_t i = offset[size_t(a)]; i < offset[size_t(a) + 1]; ++i) {
            uint32_t e = edge[i];
            if ((m.edges[2 * e] == a && m.edges[2 * e + 1] == b) || (m.edges[2 * e] == b && m.edges[2 * e + 1] == a))
                return e;
        }
        return -1;
    }
};

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
    std::vector<int64_t> firstAt0(m.numEdges(), -1), firstAt1(m.numEdges(), -1);
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
            if (firstAt0[size_t(e)] < 0) {
                firstAt0[size_t(e)] = at0;
                firstAt1[size_t(e)] = at1;
            } else {
                groups.join(uint32_t(firstAt0[size_t(e)]), at0);
                groups.join(uint32_t(firstAt1[size_t(e)]), at1);
            }
        }
    }
}

double cornerAngle(const MeshData& m, uint32_t prev, uint32_t corner, uint32_t next) {
    const float* pts = m.points.data();
    MeshVec c = meshPoint(pts, m.faceVertices[corner]);
    MeshVec a = meshPoint(pts, m.faceVertices[prev]) - c;
    MeshVec b = meshPoint(pts, m.faceVertices[next]) - c;
    return std::atan2(a.cross(b).length(), a.dot(b));
}

bool userNormalSet(const MeshData& m, size_t corner) {
    if (m.faceVertexNormals.empty()) return false;
    const float* n = &m.faceVertexNormals[3 * corner];
    return std::fabs(n[0]) < kUnsetNormal && std::fabs(n[1]) < kUnsetNormal && std::fabs(n[2]) < kUnsetNormal;
}

}  // namespace

std::vector<float> computeFaceNormals(const MeshData& mesh) {
    if (!meshDataError(mesh).empty()) return {};
    std::vector<MeshVec> area = faceAreaVectors(mesh);
    std::vector<float> out(3 * area.size());
    for (size_t f = 0; f < area.size(); ++f) {
        MeshVec n = area[f].normalized();
        out[3 * f] = float(n.x), out[3 * f + 1] = float(n.y), out[3 * f + 2] = float(n.z);
    }
    return out;
}

std::vector<float> computeFaceVertexNormals(const MeshData& m, NormalWeighting weighting) {
    if (!meshDataError(m).empty()) return {};
    size_t corners = m.numFaceVertices();
    std::vector<MeshVec> faceVec = faceAreaVectors(m);
    Groups groups(corners);
    joinAcrossSoftEdges(m, groups);

    // Number the groups densely, then add each corner's weighted face normal to its group.
    std::vector<uint32_t>& groupOf = groups.parent;
    uint32_t groupCount = 0;
    for (uint32_t c = 0; c < corners; ++c) groupOf[c] = groupOf[c] == c ? groupCount++ : groupOf[groupOf[c]];
    std::vector<MeshVec> sums(groupCount);
    for (size_t f = 0; f < m.numFaces(); ++f) {
        MeshVec unit = faceVec[f].normalized();
        double area = faceVec[f].length() / 2;
        for (uint32_t loop = m.faceLoopStart[f]; loop < m.faceLoopStart[f + 1]; ++loop) {
            uint32_t begin = m.loopStart[loop], end = m.loopStart[loop + 1];
            for (uint32_t c = begin; c < end; ++c) {
                double weight = 1;
                if (weighting == NormalWeighting::AreaWeighted || weighting == NormalWeighting::AngleAndArea)
                    weight *= area;
                if (weighting == NormalWeighting::AngleWeighted || weighting == NormalWeighting::AngleAndArea)
                    weight *= cornerAngle(m, c == begin ? end - 1 : c - 1, c, c + 1 == end ? begin : c + 1);
                sums[groupOf[c]] += unit * weight;
            }
        }
    }

    std::vector<float> out(3 * corners);
    for (size_t f = 0; f < m.numFaces(); ++f) {
        for (uint32_t c = m.loopStart[m.faceLoopStart[f]]; c < m.loopStart[m.faceLoopStart[f + 1]]; ++c) {
            float* n = &out[3 * size_t(c)];
            if (userNormalSet(m, c)) {
                n[0] = m.faceVertexNormals[3 * size_t(c)];
                n[1] = m.faceVertexNormals[3 * size_t(c) + 1];
                n[2] = m.faceVertexNormals[3 * size_t(c) + 2];
                continue;
            }
            // Opposite faces cancelling out (or weights all zero) leave the corner its own face's normal.
            MeshVec sum = sums[groupOf[c]];
            MeshVec v = sum.length() > 0 ? sum.normalized() : faceVec[f].normalized();
            n[0] = float(v.x), n[1] = float(v.y), n[2] = float(v.z);
        }
    }
    return out;
}

}  // namespace mayahost
