#pragma once
// The polygon mesh a mesh shape holds, as Maya has it after loading: the
// shape's own stored data, or what its construction history feeds into its
// inMesh (a primitive creator, another mesh shape such as an "Orig"
// intermediate object), with the shape's own tweaks added. Evaluated once
// per node and kept, unless released (see releaseEvaluatedMesh).

#include "mesh/MeshData.h"
#include "mesh/MeshNormals.h"
#include "db/Scene.h"

#include <memory>
#include <string>
#include <vector>

namespace mayahost {

struct MeshEvaluation {
    std::shared_ptr<const MeshData> mesh;  // empty when nothing could be built; null only in a released cache entry
    std::string error;                     // why the mesh is empty although the file has data
    std::vector<std::string> warnings;     // upstream nodes not evaluated, data dropped
    // Normals per face-vertex, filled the first time display geometry is asked for.
    mutable std::shared_ptr<const CornerNormals> normals;
    // Built from history alone (the shape's stored geometry was not taken),
    // so the same walk can build it again.
    bool rebuildable = false;
};

const MeshEvaluation& evaluateMesh(const Scene& scene, const Node& meshNode);

// Lets go of a mesh's evaluated geometry when its history can build it again
// (on the next evaluateMesh, without saying its findings twice): a large
// mesh drawn whole is then not held beside its display geometry and the
// importer's copy of it.
void releaseEvaluatedMesh(const Scene& scene, const Node& meshNode);

// Gives a mesh node made while the scene is open (a tessellation's output)
// the mesh it holds, in place of an evaluation of its attributes.
void setEvaluatedMesh(const Scene& scene, const Node& meshNode, MeshData mesh);

}  // namespace mayahost
