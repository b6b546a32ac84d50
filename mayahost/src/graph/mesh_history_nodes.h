#pragma once
// The history nodes a mesh evaluation computes rather than passes over:
// transformGeometry, tweak, groupParts, polyNormal, polySoftEdge,
// polyTriangulate, polyColorPerVertex, polyTweakUV, skinCluster, blendShape,
// deleteComponent and polySubdFace read their attributes into the matching
// modifier's parameters and apply it to the mesh arriving at their geometry
// input; polyUnite joins the meshes of all its inputs.

#include "geometry/MeshData.h"
#include "graph/Scene.h"

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

// True for the node types evaluateHistoryNode computes.
bool isEvaluatedHistoryType(const Node& node);

// The plug carrying the geometry that output `outputIndex` of `node` is made
// from: "ip" of a poly modifier, "ig" of groupParts, transformGeometry and
// deleteComponent, "ip[i].ig" of a deformer. Empty when the node has no such plug connected.
std::string geometryInputOf(const Scene& scene, const Node& node, int64_t outputIndex);

// Computes output `outputIndex` of `node` (one of isEvaluatedHistoryType's)
// into `out`. False when its input geometry cannot be had. Bad parameters do
// not fail: the affected part passes through and a warning naming the node is
// added.
bool evaluateHistoryNode(const Scene& scene, const Node& node, int64_t outputIndex, HistoryUpstream& upstream,
                         MeshData& out, std::vector<std::string>& warnings);

}  // namespace mayahost
