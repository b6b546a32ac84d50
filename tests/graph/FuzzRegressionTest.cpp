// Inputs the fuzz targets once failed on, loaded as the targets load them:
// read into a scene, then every mesh and surface evaluated. Under the
// sanitizers a regression shows as the report it gave then.

#include <gtest/gtest.h>

#include "db/Scene.h"
#include "db/SceneBuilder.h"
#include "eval/Evaluators.h"
#include "eval/MeshEval.h"
#include "eval/SurfaceEval.h"
#include "file/MaReader.h"
#include "file/MbReader.h"
#include "mesh/MeshValidate.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TEST(FuzzRegressions, EveryFoundInputLoadsAndEvaluatesCleanly) {
    const fs::path dir = fs::path(GLOWBOX_SOURCE_DIR) / "tests" / "fuzz_regressions";
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        mayahost::Scene scene;
        mayahost::installSceneEvaluators(scene);
        mayahost::SceneBuilder builder(scene, entry.path().string());
        const std::string text = bytes.str();
        const auto result = entry.path().extension() == ".mb"
                                ? mayahost::scenefile::readMbBytes(text, "fuzz.mb", builder)
                                : mayahost::scenefile::readMaText(text, "fuzz.ma", builder);
        EXPECT_TRUE(result.ok() || !result.message.empty());
        for (const auto& node : scene.nodes()) {
            if (node->typeName() == "mesh") {
                const mayahost::MeshEvaluation& mesh = mayahost::evaluateMesh(scene, *node);
                if (mesh.mesh) {
                    EXPECT_EQ(mayahost::meshDataError(*mesh.mesh), "") << node->name();
                }
            } else if (node->typeName() == "nurbsSurface") {
                mayahost::evaluateSurface(scene, *node);
            }
        }
        ++files;
    }
    EXPECT_GE(files, 2u);
}
