#pragma once
// Loads a small Maya ASCII text into a scene database for the transform,
// camera and animation tests.

#include "file/MaReader.h"
#include "db/Scene.h"
#include "db/SceneBuilder.h"
#include "eval/AnimationEval.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace transform_test {

inline std::unique_ptr<mayahost::Scene> loadScene(std::string_view text) {
    auto scene = std::make_unique<mayahost::Scene>();
    mayahost::installAnimationEvaluators(*scene);
    mayahost::SceneBuilder builder(*scene, "fixture.ma");
    const mayahost::scenefile::ReadResult result = mayahost::scenefile::readMaText(text, "fixture.ma", builder);
    EXPECT_TRUE(result.ok()) << result.message;
    for (const auto& w : scene->warnings()) ADD_FAILURE() << "unexpected warning: " << w.file << ":" << w.line << " " << w.message;
    return scene;
}

inline const mayahost::Node& node(const mayahost::Scene& scene, std::string_view name) {
    const mayahost::Node* n = scene.findNode(name);
    if (!n) throw std::runtime_error("no node " + std::string(name));
    return *n;
}

}  // namespace transform_test
