#include "mesh/DisplayGeometry.h"

#include "mesh/MeshValidate.h"
#include "mesh/Triangulate.h"

#include <algorithm>

namespace mayahost {
namespace {

const MeshUVSet* findUVSet(const MeshData& mesh, const std::string& name) {
    if (name.empty()) return nullptr;
    for (const MeshUVSet& set : mesh.uvSets)
        if (set.name == name) return set.faceVertexUV.empty() ? nullptr : &set;
    return nullptr;
}

// Welds corners into display vertices: the display vertices of one mesh
// vertex are chained from `head`, and a corner joins the first one with the
// same uv and bit-identical normal. Only each display vertex's first corner
// is kept while welding; the value arrays are filled once the count is known.
class Welder {
public:
    Welder(const MeshData& mesh, const CornerNormals& normals, const MeshUVSet* uvSet)
        : mesh_(mesh), normals_(normals), uvSet_(uvSet), head_(mesh.numVertices(), -1) {}

    uint32_t vertexFor(uint32_t corner) {
        int32_t vertex = mesh_.faceVertices[corner];
        int32_t uv = uvOf(corner);
        anyUV_ |= uv >= 0;
        const uint32_t group = normals_.ofCorner[corner];
        const float* n = normals_.at(corner);
        for (int32_t d = head_[size_t(vertex)]; d >= 0; d = next_[size_t(d)]) {
            uint32_t other = firstCorner_[size_t(d)];
            const uint32_t otherGroup = normals_.ofCorner[other];
            const float* dn = normals_.at(other);
            // Two groups may still have bit-identical normals.
            if ((otherGroup == group || (dn[0] == n[0] && dn[1] == n[1] && dn[2] == n[2])) && sameUV(uv, uvOf(other)))
                return uint32_t(d);
        }
        int32_t id = int32_t(firstCorner_.size());
        firstCorner_.push_back(corner);
        next_.push_back(head_[size_t(vertex)]);
        head_[size_t(vertex)] = id;
        return uint32_t(id);
    }

    void reserve(size_t count) {
        firstCorner_.reserve(count);
        next_.reserve(count);
    }

    // The chains are only needed while welding; filling the value arrays
    // is where the memory peaks.
    void endWelding() {
        std::vector<int32_t>().swap(head_);
        std::vector<int32_t>().swap(next_);
    }

    void fill(DisplayGeometry& out) const {
        size_t count = firstCorner_.size();
        out.positions.resize(3 * count);
        out.normals.resize(3 * count);
        if (anyUV_) out.uvs.resize(2 * count);
        for (size_t d = 0; d < count; ++d) {
            uint32_t corner = firstCorner_[d];
            const float* p = &mesh_.points[3 * size_t(mesh_.faceVertices[corner])];
            const float* n = normals_.at(corner);
            std::copy(p, p + 3, &out.positions[3 * d]);
            std::copy(n, n + 3, &out.normals[3 * d]);
            if (anyUV_) {
                int32_t uv = uvOf(corner);
                out.uvs[2 * d] = uv >= 0 ? uvSet_->u[size_t(uv)] : 0.f;
                out.uvs[2 * d + 1] = uv >= 0 ? uvSet_->v[size_t(uv)] : 0.f;
            }
        }
    }

private:
    int32_t uvOf(uint32_t corner) const { return uvSet_ ? uvSet_->faceVertexUV[corner] : -1; }

    // Compared by value: two uv ids at the same place draw the same, and a
    // corner without a uv is drawn at (0, 0).
    bool sameUV(int32_t a, int32_t b) const {
        if (a == b) return true;
        float au = a >= 0 ? uvSet_->u[size_t(a)] : 0.f, av = a >= 0 ? uvSet_->v[size_t(a)] : 0.f;
        float bu = b >= 0 ? uvSet_->u[size_t(b)] : 0.f, bv = b >= 0 ? uvSet_->v[size_t(b)] : 0.f;
        return au == bu && av == bv;
    }

    const MeshData& mesh_;
    const CornerNormals& normals_;
    const MeshUVSet* uvSet_;
    std::vector<int32_t> head_, next_;
    std::vector<uint32_t> firstCorner_;
    bool anyUV_ = false;
};

class FaceTriangulator {
public:
    explicit FaceTriangulator(const MeshData& mesh) : mesh_(mesh) {}

    // Triangles of face f as corner indices of the mesh.
    const std::vector<uint32_t>& triangles(size_t f) {
        uint32_t firstLoop = mesh_.faceLoopStart[f], endLoop = mesh_.faceLoopStart[f + 1];
        uint32_t first = mesh_.loopStart[firstLoop], end = mesh_.loopStart[endLoop];
        points_.clear();
        sizes_.clear();
        for (uint32_t c = first; c < end; ++c) points_.push_back(meshPoint(mesh_.points.data(), mesh_.faceVertices[c]));
        for (uint32_t l = firstLoop; l < endLoop; ++l) sizes_.push_back(mesh_.loopStart[l + 1] - mesh_.loopStart[l]);
        local_.clear();
        triangulatePolygon(points_, sizes_, local_, scratch_);
        for (uint32_t& corner : local_) corner += first;
        return local_;
    }

private:
    const MeshData& mesh_;
    std::vector<MeshVec> points_;
    std::vector<uint32_t> sizes_, local_;
    TriangulateScratch scratch_;
};

}  // namespace

std::string buildDisplayGeometry(const MeshData& mesh, const DisplayRequest& request, DisplayGeometry& out) {
    out = DisplayGeometry{};
    if (std::string error = meshDataError(mesh); !error.empty()) return "inconsistent mesh: " + error;
    size_t faceCount = mesh.numFaces();
    if (request.faces)
        for (int32_t f : *request.faces)
            if (f < 0 || size_t(f) >= faceCount)
                return "face " + std::to_string(f) + " is not in the mesh of " + std::to_string(faceCount) + " faces";

    CornerNormals computed;
    const CornerNormals* normals = request.cornerNormals;
    if (normals && normals->corners() != mesh.numFaceVertices()) return "normals do not match the mesh's face-vertices";
    if (!normals) {
        computed = computeCornerNormalsOfConsistentMesh(mesh, request.weighting);
        normals = &computed;
    }

    const MeshUVSet* uvSet = findUVSet(mesh, request.uvSetName);
    Welder welder(mesh, *normals, uvSet);
    FaceTriangulator triangulator(mesh);
    std::vector<bool> drawn(faceCount, false);
    auto drawFace = [&](size_t f) {
        if (drawn[f]) return;
        drawn[f] = true;
        for (uint32_t corner : triangulator.triangles(f)) out.triangles.push_back(welder.vertexFor(corner));
    };
    // A face of n corners in h loops makes n + 2h - 4 triangles: the arrays
    // are sized once instead of growing by doubling.
    auto trianglesOf = [&](size_t f) {
        const size_t loops = mesh.faceLoopStart[f + 1] - mesh.faceLoopStart[f];
        const size_t corners = mesh.loopStart[mesh.faceLoopStart[f + 1]] - mesh.loopStart[mesh.faceLoopStart[f]];
        return corners + 2 * loops >= 4 ? corners + 2 * loops - 4 : 0;
    };
    size_t triangleCount = 0;
    if (request.faces) {
        for (int32_t f : *request.faces) triangleCount += trianglesOf(size_t(f));
    } else {
        for (size_t f = 0; f < faceCount; ++f) triangleCount += trianglesOf(f);
    }
    out.triangles.reserve(3 * triangleCount);
    // A whole mesh gets about a display vertex per vertex, and some more
    // along its uv seams and hard edges: room for those keeps the arrays
    // from doubling.
    const size_t vertices = mesh.numVertices();
    welder.reserve(request.faces && request.faces->size() < faceCount ? 0 : vertices + vertices / 16);
    if (request.faces) {
        for (int32_t f : *request.faces) drawFace(size_t(f));
    } else {
        for (size_t f = 0; f < faceCount; ++f) drawFace(f);
    }
    welder.endWelding();
    welder.fill(out);
    return {};
}

}  // namespace mayahost
