#pragma once
// Vertex normals as Maya shades a mesh.
//
// Every face has a unit Newell normal (taken on its outer loop). At each
// vertex, the corners of the faces that meet there are grouped into fans:
// two faces joined by a soft edge through the vertex share their corners'
// group, a hard edge (or an open border) separates them. Each group's normal
// is the normalised sum of its faces' normals. Maya up to 2012 added the unit
// face normals unweighted; later versions weigh them by corner angle and
// face area unless a mesh says otherwise, so the weighting is a parameter.
// Locked user normals replace the computed value corner by corner.

#include "mesh/MeshData.h"

#include <vector>

namespace mayahost {

enum class NormalWeighting {
    Unweighted,     // sum of unit face normals (Maya 2012 and before)
    AngleWeighted,  // each by the corner's angle
    AreaWeighted,   // each by the face's area
    AngleAndArea,   // by both (the default of later Maya versions)
};

// Unit normal per face (3 floats each); zero for a face without area.
std::vector<float> computeFaceNormals(const MeshData& mesh);

// The normal of every face-vertex, stored once per smoothing group: corner
// c's normal is values[3 * ofCorner[c] ..]. A corner with a user normal has
// an entry of its own. Groups are numbered in the order of their first corner.
struct CornerNormals {
    std::vector<uint32_t> ofCorner;  // parallel to mesh.faceVertices
    std::vector<float> values;       // 3 per entry
    const float* at(size_t corner) const { return &values[3 * size_t(ofCorner[corner])]; }
    size_t corners() const { return ofCorner.size(); }
};

// User normals where set, else the smoothing-group normal described above.
// The mesh must be consistent (meshDataError empty); an inconsistent mesh
// yields an empty result.
CornerNormals computeCornerNormals(const MeshData& mesh, NormalWeighting weighting = NormalWeighting::Unweighted);
// The same for a mesh the caller has already found consistent.
CornerNormals computeCornerNormalsOfConsistentMesh(const MeshData& mesh, NormalWeighting weighting);

// The same, one normal per face-vertex (3 floats each, parallel to
// mesh.faceVertices). Corners of one group receive bit-identical values.
std::vector<float> computeFaceVertexNormals(const MeshData& mesh,
                                            NormalWeighting weighting = NormalWeighting::Unweighted);

}  // namespace mayahost
