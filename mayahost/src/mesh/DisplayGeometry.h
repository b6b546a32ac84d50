#pragma once
// The geometry Maya would draw for a set of a mesh's faces: every face
// triangulated, per-vertex positions, shading normals and the texture
// coordinates of one uv set, welded so that each distinct combination of
// (vertex, normal, uv) is one display vertex, and one triangle list over them.

#include "mesh/MeshData.h"
#include "mesh/MeshNormals.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mayahost {

struct DisplayGeometry {
    std::vector<float> positions;     // 3 per display vertex
    std::vector<float> normals;       // 3 per display vertex
    std::vector<float> uvs;           // 2 per display vertex; empty when the faces have no uvs in the set
    std::vector<uint32_t> triangles;  // 3 display vertex indices per triangle

    size_t vertexCount() const { return positions.size() / 3; }
    size_t triangleCount() const { return triangles.size() / 3; }
};

struct DisplayRequest {
    // Face ids to draw, in drawing order; null draws every face. Repeated ids are drawn once.
    const std::vector<int32_t>* faces = nullptr;
    // The uv set whose coordinates are wanted; an empty or unknown name gives no uvs.
    std::string uvSetName;
    // Normals computed beforehand (computeCornerNormals), so that a mesh
    // drawn in several face sets computes them once; null computes them here
    // with `weighting`.
    const CornerNormals* cornerNormals = nullptr;
    NormalWeighting weighting = NormalWeighting::Unweighted;
};

// Fills `out` (replacing its content). Returns an empty string on success,
// else the reason (inconsistent mesh, face id out of range, normals of the
// wrong size); `out` is then empty. A face whose uvs are missing in a set
// that other requested faces use gets the uv (0, 0).
std::string buildDisplayGeometry(const MeshData& mesh, const DisplayRequest& request, DisplayGeometry& out);

}  // namespace mayahost
