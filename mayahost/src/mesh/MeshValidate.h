#pragma once
// Consistency check of a MeshData before anything indexes through it: every
// mesh consumer calls it so that a broken producer yields an error text
// instead of a read out of bounds.

#include "mesh/MeshData.h"

#include <string>

namespace mayahost {

// Empty when the mesh is consistent, else a sentence naming the first problem.
std::string meshDataError(const MeshData& mesh);

}  // namespace mayahost
