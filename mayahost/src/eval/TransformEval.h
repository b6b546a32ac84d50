#pragma once
// Matrices of transform and joint nodes, composed from their attributes as
// the database reads them (animation and connections included), and world
// matrices of DAG paths.

#include <maya/MMatrix.h>
#include <maya/MTransformationMatrix.h>

#include "db/Scene.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace mayahost {

// True for transform nodes and every type derived from them (joints ...).
bool isTransformNode(const Node& node);

// The node's transformation: translate, rotate in its order, scale, shear,
// pivots and their translations, rotate axis; a joint adds its joint orient
// and, when it compensates segment scale, the inverse of its inverseScale.
// A node that is no transform gives the identity.
MTransformationMatrix transformationOf(const Scene& scene, const Node& node);

// The node's local matrix: its transformation, times its offsetParentMatrix
// when the file sets one. Identity for nodes that are no transforms.
MMatrix localMatrixOf(const Scene& scene, const Node& node);

// The world matrix of a DAG path given as its nodes from the top down (the
// world node may lead and is skipped): the product of the local matrices from
// the last node up. A node that does not inherit its parent's transform ends
// the product there.
MMatrix worldMatrixOf(const Scene& scene, const std::vector<const Node*>& pathTopDown);

// The world matrix of a DAG node as the scene stands at load: through its
// `instance`-th parent when it has that many (a shape's worldMatrix[i] of an
// instanced shape), else its first, and first parents above. Absent for
// nodes outside the DAG.
std::optional<MMatrix> dagWorldMatrix(const Scene& scene, const Node& node, int64_t instance = 0);

}  // namespace mayahost
