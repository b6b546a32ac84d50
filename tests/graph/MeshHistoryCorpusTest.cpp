// Every mesh of the real scenes evaluates through its history: none comes out
// empty while the file holds its data or a history for it. The node types
// still passed over are counted and printed, so that a run shows what is left.

#include "file/MaReader.h"
#include "eval/Evaluators.h"
#include "db/Scene.h"
#include "db/SceneBuilder.h"
#include "eval/MeshEval.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <string>

using namespace mayahost;

namespace {

// "node type X (name) not evaluated: ..." -> X
std::string unevaluatedType(const std::string& warning) {
    const std::string head = "node type ";
    const size_t at = warning.find(head);
    if (at == std::string::npos || warning.find(") not evaluated") == std::string::npos) return {};
    const size_t start = at + head.size();
    const size_t end = warning.find(' ', start);
    return warning.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool hasHistoryOrData(const Scene& scene, const Node& shape) {
    if (shape.denseArray("vrts") || shape.data("face")) return true;
    PlugPath inMesh;
    return scene.resolvePlug(shape, "inMesh", inMesh) && scene.sourceOf(shape, inMesh);
}

TEST(MeshHistoryCorpus, EveryMeshEvaluatesAndUnevaluatedTypesAreCounted) {
    const std::filesystem::path corpus = GLOWBOX_CORPUS_DIR;
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    std::map<std::string, int> notEvaluated;
    int files = 0, meshes = 0, evaluatedWithHistory = 0, empty = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (entry.path().extension() != ".ma") continue;
        ++files;
        const std::string name = entry.path().filename().string();
        Scene scene;
        installSceneEvaluators(scene);
        SceneBuilder builder(scene, entry.path().string());
        if (!scenefile::readMaFile(entry.path().string(), builder).ok()) continue;   // the reader's own tests cover bad files
        for (const auto& node : scene.nodes()) {
            if (!node->hasFn(MFn::kMesh) || !hasHistoryOrData(scene, *node)) continue;
            ++meshes;
            const MeshEvaluation& e = evaluateMesh(scene, *node);
            EXPECT_EQ(e.error, "") << name << " " << node->name();
            bool explained = false;
            for (const std::string& w : e.warnings) {
                if (std::string type = unevaluatedType(w); !type.empty()) ++notEvaluated[type], explained = true;
                explained = explained || w.find("none of its input geometry could be evaluated") != std::string::npos;
            }
            // Only a creator the stand-in does not build may leave a mesh empty, and it says so.
            if (e.mesh->numFaces() == 0) {
                EXPECT_TRUE(explained) << name << " " << node->name() << " is empty without a warning";
                ++empty;
            } else if (!node->denseArray("vrts")) {
                ++evaluatedWithHistory;
            }
        }
    }
    if (files == 0) GTEST_SKIP() << "no .ma files under " << corpus;
    EXPECT_GT(evaluatedWithHistory, 0);
    std::cout << "[ corpus   ] " << files << " files, " << meshes << " meshes, " << evaluatedWithHistory
              << " built from history, " << empty << " empty\n";
    for (const auto& [type, count] : notEvaluated)
        std::cout << "[ corpus   ] not evaluated: " << type << " x" << count << "\n";
}

}  // namespace
