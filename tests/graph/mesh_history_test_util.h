#pragma once
// Small scenes for the history tests: loading .ma text with the scene's
// evaluators, and the evaluated mesh of a shape by name.

#include "file/MaReader.h"
#include "api/ApiSupport.h"
#include "db/Scene.h"
#include "db/SceneBuilder.h"
#include "eval/MeshEval.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace history_test {

inline std::unique_ptr<mayahost::Scene> load(const std::string& text) {
    auto scene = std::make_unique<mayahost::Scene>();
    mayahost::installSceneEvaluators(*scene);
    mayahost::SceneBuilder builder(*scene, "history.ma");
    mayahost::scenefile::ReadResult result = mayahost::scenefile::readMaText(text, "history.ma", builder);
    EXPECT_TRUE(result.ok()) << result.message;
    return scene;
}

inline const mayahost::MeshEvaluation& meshNamed(const mayahost::Scene& scene, const char* name) {
    const mayahost::Node* node = scene.findNode(name);
    if (!node) throw std::runtime_error(std::string("no node ") + name);
    return mayahost::evaluateMesh(scene, *node);
}

// Point `v` of a mesh as x, y, z.
struct Point {
    float x, y, z;
};
inline Point pointOf(const mayahost::MeshData& mesh, size_t v) {
    return {mesh.points[3 * v], mesh.points[3 * v + 1], mesh.points[3 * v + 2]};
}

inline std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

// A default polyCube feeding the history under test: "polyCube1.out".
// Its vertices: 0 (-.5 -.5 .5), 1 (.5 -.5 .5), 2 (-.5 .5 .5), 3 (.5 .5 .5),
// 4 (-.5 .5 -.5), 5 (.5 .5 -.5), 6 (-.5 -.5 -.5), 7 (.5 -.5 -.5).
inline const char* kCube = R"(
createNode transform -n "pCube1";
createNode mesh -n "pCubeShape1" -p "pCube1";
createNode polyCube -n "polyCube1";
)";

}  // namespace history_test
