#pragma once
// A mesh shape's own stored data, as a .ma file writes it on the node, turned
// into MeshData. Nothing here knows the scene database: the caller gathers
// the attribute values into a StoredMesh.

#include "mesh/MeshData.h"
#include "file/Values.h"

#include <string>
#include <vector>

namespace mayahost {

struct StoredUVSet {
    int32_t index = 0;          // the uvst[] multi index that faces refer to
    std::string name;           // uvsn
    std::vector<float> points;  // uvsp: u v per point
};

struct StoredColorSet {
    int32_t index = 0;          // the clst[] multi index
    std::string name;           // clsn
    std::vector<float> rgba;    // clsp: 4 per colour
};

struct StoredMesh {
    std::vector<float> vertices;   // vt: x y z per vertex
    std::vector<float> tweaks;     // pt: added to the vertices; may stop early (the rest are zero)
    std::vector<int32_t> edges;    // ed: vertex, vertex, smooth flag (1 soft, 0 hard) per edge
    scenefile::PolyFaces faces;           // fc
    // When set, read instead of `faces`, saving a copy of the largest part of
    // a mesh; the caller keeps it alive until meshFromStored returns.
    const scenefile::PolyFaces* facesView = nullptr;
    std::vector<StoredUVSet> uvSets;        // in any order
    std::string currentUVSet;               // cuvs; empty means the first set
    std::vector<float> normals;    // n: x y z per face-vertex, 1e20 where unset; may stop early
    std::vector<StoredColorSet> colorSets;
    std::string currentColorSet;            // ccls
};

struct StoredMeshResult {
    std::string error;                  // empty on success; `mesh` is then filled
    std::vector<std::string> warnings;  // what was dropped without spoiling the geometry
};

// Builds `mesh` from `stored` (taken by value so that large arrays can be
// moved in). Every id and count is checked; on an error `mesh` is left empty.
StoredMeshResult meshFromStored(StoredMesh stored, MeshData& mesh);

}  // namespace mayahost
