#pragma once
// Scenes for the transform, camera, animation and API tests: a small Maya
// ASCII text loaded into a scene database, or written to a file and opened
// through MFileIO as a plug-in would.

#include "file/MaReader.h"
#include "db/Scene.h"
#include "db/SceneBuilder.h"
#include "eval/AnimationEval.h"

#include <maya/MFileIO.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MItDependencyNodes.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
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

// The node of this name in the scene MFileIO opened, or a null object.
inline MObject nodeNamed(const char* name) {
    for (MItDependencyNodes it; !it.isDone(); it.next())
        if (MFnDependencyNode(it.item()).name() == name) return it.item();
    return MObject();
}

// A directory of the test's own for the files it opens.
class SceneFileTest : public ::testing::Test {
protected:
    static const ::testing::TestInfo* info() { return ::testing::UnitTest::GetInstance()->current_test_info(); }
    const std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
        ("graph_" + std::to_string(::getpid()) + "_" + info()->test_suite_name() + "_" + info()->name());
    void SetUp() override { std::filesystem::create_directories(dir_); }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& text) {
        const std::filesystem::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    MStatus open(const std::string& text) { return MFileIO::open(MString(write("scene.ma", text).c_str()), NULL, true); }
};

}  // namespace transform_test
