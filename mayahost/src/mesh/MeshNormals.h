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

// Normal per face-vertex (3 floats each, parallel to mesh.faceVertices):
// user normals where set, else the smoothing-group normal described above.
// The mesh must be consistent (meshDataError empty); an inconsistent mesh
// yields an empty result. Corners of one group receive bit-identical values.
std::vector<float> computeFaceVertexNormals(const MeshData& mesh,
                                            NormalWeighting weighting = NormalWeighting::Unweighted);

}  // namespace mayahost
