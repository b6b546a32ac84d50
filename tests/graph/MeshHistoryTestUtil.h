#pragma once
// Small scenes for the mesh tests: loading .ma text with the scene's
// evaluators, the evaluated mesh of a shape by name, and table cases that
// check an evaluated mesh.

#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSingleIndexedComponent.h>

#include "file/MaReader.h"
#include "eval/Evaluators.h"
#include "db/Scene.h"
#include "db/SceneBuilder.h"
#include "eval/MeshEval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace history_test {

inline std::unique_ptr<mayahost::Scene> load(const std::string& text) {
    auto scene = std::make_unique<mayahost::Scene>();
    mayahost::installSceneEvaluators(*scene);
    mayahost::SceneBuilder builder(*scene, "history.ma");
    mayahost::scenefile::ReadResult result = mayahost::scenefile::readMaText(text, "history.ma", builder);
    EXPECT_TRUE(result.ok()) << result.message;
    return scene;
}

// A corpus scene (a path under the corpus folder) loaded with the scene's
// evaluators, or null when the corpus does not hold it.
inline std::unique_ptr<mayahost::Scene> corpusScene(const std::string& relative) {
    const std::filesystem::path file = std::filesystem::path(GLOWBOX_CORPUS_DIR) / relative;
    if (!std::filesystem::exists(file)) return nullptr;
    auto scene = std::make_unique<mayahost::Scene>();
    mayahost::installSceneEvaluators(*scene);
    mayahost::SceneBuilder builder(*scene, file.string());
    EXPECT_TRUE(mayahost::scenefile::readMaFile(file.string(), builder).ok()) << file;
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

// `text` with the first `from` replaced by `to`.
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
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
createNode transform -n "pCube1"; createNode mesh -n "pCubeShape1" -p "pCube1";
createNode polyCube -n "polyCube1";
)";

// kCube through one node "<type>1" with `attrs` set on it, from its `in` plug to its `out` plug.
inline std::string onCube(const std::string& type, const std::string& attrs, const std::string& in = "ip",
                          const std::string& out = "out") {
    const std::string n = type + "1";
    return kCube + ("createNode " + type + " -n \"" + n + "\";\n") + attrs + "\nconnectAttr \"polyCube1.out\" \"" + n +
           "." + in + "\";\nconnectAttr \"" + n + "." + out + "\" \"pCubeShape1.i\";\n";
}

// One evaluated mesh and what it must hold; -1 and nullptr leave a field unchecked.
struct MeshCase {
    const char* what = "";
    std::string scene = {};
    const char* shape = "pCubeShape1";
    int faces = -1, vertices = -1, edges = -1;
    std::vector<std::pair<size_t, Point>> points = {};
    int warnings = 0;
    // Each is found in the warnings, one a line; a leading "\n" anchors it to a warning's start.
    std::vector<std::string> warned = {};
    const char* error = "";   // a part of the error; "" for none
};

inline void checkMesh(const mayahost::Scene& scene, const MeshCase& c) {
    SCOPED_TRACE(c.what);
    const mayahost::MeshEvaluation& e = meshNamed(scene, c.shape);
    if (c.error) { EXPECT_TRUE(*c.error ? e.error.find(c.error) != std::string::npos : e.error.empty()) << e.error; }
    const mayahost::MeshData& m = *e.mesh;
    if (c.faces >= 0) { EXPECT_EQ(m.numFaces(), size_t(c.faces)); }
    if (c.vertices >= 0) { EXPECT_EQ(m.numVertices(), size_t(c.vertices)); }
    if (c.edges >= 0) { EXPECT_EQ(m.numEdges(), size_t(c.edges)); }
    for (const auto& [v, want] : c.points) {
        ASSERT_LT(v, m.numVertices());
        const Point p = pointOf(m, v);
        EXPECT_NEAR(p.x, want.x, 1e-5) << "vertex " << v;
        EXPECT_NEAR(p.y, want.y, 1e-5) << "vertex " << v;
        EXPECT_NEAR(p.z, want.z, 1e-5) << "vertex " << v;
    }
    const std::string all = "\n" + joined(e.warnings);
    if (c.warnings >= 0) { EXPECT_EQ(e.warnings.size(), size_t(c.warnings)) << all; }
    for (const std::string& w : c.warned) EXPECT_NE(all.find(w), std::string::npos) << w << " in" << all;
}

inline void checkMeshes(const std::vector<MeshCase>& cases) {
    for (const MeshCase& c : cases) checkMesh(*load(c.scene), c);
}

inline MDagPath pathOf(const mayahost::Scene& scene, const char* name) {
    MDagPath path;
    EXPECT_TRUE(MDagPath::getAPathTo(scene.handle(*scene.findNode(name)), path));
    return path;
}

using Membership = std::vector<std::pair<std::string, std::vector<int>>>;

// Set name -> its face ids, sorted (-1 for a whole object).
inline Membership membership(const mayahost::Scene& scene, unsigned instance, bool renderable) {
    MFnMesh mesh(pathOf(scene, "pCubeShape1"));
    MObjectArray sets, comps;
    EXPECT_TRUE(mesh.getConnectedSetsAndMembers(instance, sets, comps, renderable));
    Membership out;
    for (unsigned i = 0; i < sets.length(); ++i) {
        std::vector<int> faces;
        if (comps[i].isNull()) {
            faces.push_back(-1);
        } else {
            MFnSingleIndexedComponent component(comps[i]);
            for (int k = 0; k < component.elementCount(); ++k) faces.push_back(component.element(k));
            std::sort(faces.begin(), faces.end());
        }
        out.emplace_back(mayahost::nodeOf(sets[i])->name(), faces);
    }
    return out;
}

}  // namespace history_test
