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

#include <string_view>


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

// One input: read by `read` (a reader's bytes-in-memory entry) into a fresh
// scene, which is evaluated when the read succeeds.
template <typename Read>
int loadAndEvaluate(const unsigned char* data, size_t size, const char* fileName, Read read) {
    quiet();
    mayahost::Scene scene;
    mayahost::installSceneEvaluators(scene);
    mayahost::SceneBuilder builder(scene, fileName);
    if (read(std::string_view(reinterpret_cast<const char*>(data), size), fileName, builder).ok()) evaluateAll(scene);
    return 0;
}

}  // namespace fuzzload
