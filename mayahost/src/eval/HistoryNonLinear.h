#pragma once
// Reading the cluster and nonLinear deformers' attributes for the history
// walk (HistoryNodes.cpp adds the deformer set's membership and applies them).

#include "eval/AttributeReader.h"
#include "mesh/MeshModNonLinear.h"

#include <cstdint>
#include <string>

namespace mayahost {

// The cluster's values for its geometry `geometry` (ip[geometry]) over a mesh
// of `vertices` points.
ClusterParams readClusterParams(const AttributeReader& r, int64_t geometry, size_t vertices, std::string* warning);

// The nonLinear's values, its kind from the handle shape feeding deformerData
// (dd). False, with a warning, when no known handle shape feeds it.
bool readNonLinearParams(const AttributeReader& r, int64_t geometry, size_t vertices, NonLinearParams& p,
                         std::string* warning);

}  // namespace mayahost
