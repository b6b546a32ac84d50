#pragma once
// The history nodes a mesh evaluation computes rather than passes over, one
// table entry per node type (HistoryNodes.cpp): each reads its attributes
// into the matching modifier's parameters and applies it to the mesh arriving
// at its geometry input; a gathering node (polyUnite) joins all its inputs.

#include "mesh/MeshData.h"
#include "db/Scene.h"
#include "eval/AttributeReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mayahost {

// What a history node needs from the walk that reaches it: the geometry
// arriving at one of its plugs, evaluated as far up as the walk can go.
class HistoryUpstream {
public:
    virtual ~HistoryUpstream() = default;
    // The mesh feeding `plug` of `node`; false when nothing evaluable feeds it.
    virtual bool meshAt(const Node& node, const std::string& plug, MeshData& out) = 0;
};

// Where a kind of history node takes the geometry it works on.
enum class GeometryInput {
    Poly,       // "ip": poly modifiers
    Group,      // "ig": groupParts, transformGeometry, deleteComponent
    Deformer,   // "ip[i].ig" for output i: deformers
    Gathered,   // the node collects its inputs itself (polyUnite)
};

class NodeWarnings;

// What the function of one history node gets: the node's attributes, the
// output asked for, the walk upstream (for further inputs) and where its
// warnings go.
struct HistoryStep {
    AttributeReader attributes;
    const Node& node;
    int64_t geometry;
    HistoryUpstream& upstream;
    NodeWarnings& warnings;
};

// One kind of history node. `apply` reads the node's attributes and applies
// them to `mesh` (the geometry that arrived on `input`, or nothing for a
// gathering node); false when its output cannot be had. Bad parameters do not
// fail: the affected part passes through and a warning names the node.
struct MeshHistoryNode {
    const char* typeName;
    GeometryInput input;
    bool (*apply)(const HistoryStep& step, MeshData& mesh);
};

// The entry for a node type, or null when the walk does not compute it.
const MeshHistoryNode* findMeshHistoryNode(const std::string& typeName);

// The plug carrying the geometry that output `outputIndex` of `node` is made
// from; for node types not in the table, the input their kind of node uses.
// Empty when the node has no such plug connected.
std::string geometryInputOf(const Scene& scene, const Node& node, int64_t outputIndex);

// Computes output `outputIndex` of `node`, of the given kind, into `out`.
bool evaluateHistoryNode(const MeshHistoryNode& kind, const Scene& scene, const Node& node, int64_t outputIndex,
                         HistoryUpstream& upstream, MeshData& out, std::vector<std::string>& warnings);

}  // namespace mayahost
