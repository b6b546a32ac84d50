#pragma once
// What every reader target does after reading: the scene a file builds is
// evaluated as the importer would ask for it (every mesh through its history,
// every NURBS surface), so that a hostile statement that lands in the
// database reaches the code that trusts it.

#include "db/Scene.h"
#include "db/SceneBuilder.h"
#include "eval/Evaluators.h"
#include "eval/MeshEval.h"
#include "eval/SurfaceEval.h"

#include "common/Log.h"


namespace fuzzload {

// No log records (the level is below every record's): the targets run
// millions of inputs, and the log file is not opened at all.
inline void quiet() { reportingLevel() = -1; }

inline void evaluateAll(const mayahost::Scene& scene) {
    for (const auto& node : scene.nodes()) {
        if (node->typeName() == "mesh") mayahost::evaluateMesh(scene, *node);
        else if (node->typeName() == "nurbsSurface") mayahost::evaluateSurface(scene, *node);
    }
}

}  // namespace fuzzload
