#pragma once
// Test support: a scene front over the real file writer on a temporary
// stream, and the expected forms of what the model nodes write, spelled out
// independently of the writer.

#include "../sceneapi/WriterFixture.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/model/BezierCurves.h"
#include "sceneapi/model/LightCamera.h"
#include "sceneapi/model/LightModule.h"
#include "sceneapi/model/Material.h"
#include "sceneapi/model/NurbsCurve.h"
#include "sceneapi/model/NurbsSurface.h"
#include "sceneapi/model/OrbGroup.h"
#include "sceneapi/model/TriangleObject.h"
#include "sceneapi/orbScene_api_file.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>

namespace modeltest {

using namespace orb;

// What the scene front writes at its start, before any node.
inline const std::string kPrelude =
    "#print \"Glowbox SceneApi oo 6.2.85  (built Mon Oct 26 10:26:53 2015)\"\nversion 6\n\n";

// The default material of every triangle object and surface, unindented.
inline const std::string kDefaultMaterial =
    "material \"default\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" 0.75 0.5 0.5,\n}\n}\n";

class SceneOutput {
public:
    // readable: indentation on and text arrays, as after setFlags(1);
    // otherwise the importer's normal form with binary arrays.
    explicit SceneOutput(bool readable = false) : api_(capture_.stream(), true), factory_(&api_), scene_(&factory_) {
        if (readable)
            api_.setFlags(1);
        start_ = capture_.bytes().size();
    }

    orbSceneapi_oo& scene() { return scene_; }
    orbScene_api& api() { return api_; }
    // Everything written since the front's start records.
    std::string text() { return capture_.bytes().substr(start_); }

private:
    sceneapitest::StreamCapture capture_;
    orbScene_api_file api_;
    PassThroughFactory factory_;
    orbSceneapi_oo scene_;
    std::size_t start_ = 0;
};

// What a node writes on a fresh front.
inline std::string written(LightNode& node, bool readable = false) {
    SceneOutput out(readable);
    out.scene().write(&node);
    return out.text();
}

// Binary blocks: tag 'c' for float triples, 'f' for plain floats (the count is
// the number of floats either way), 'i' for ints, 'r' for doubles.
inline std::string floatBlock(char tag, std::initializer_list<float> v) {
    return sceneapitest::blockHeader(tag, static_cast<std::uint32_t>(v.size())) +
           sceneapitest::littleEndian(v.begin(), v.size());
}
inline std::string intBlock(std::initializer_list<int> v) {
    return sceneapitest::blockHeader('i', static_cast<std::uint32_t>(v.size())) +
           sceneapitest::littleEndian(v.begin(), v.size());
}
inline std::string doubleBlock(std::initializer_list<double> v) {
    return sceneapitest::blockHeader('r', static_cast<std::uint32_t>(v.size())) +
           sceneapitest::littleEndian(v.begin(), v.size());
}

// A shader-mode array parameter line holding a binary block.
inline std::string arrayParam(const std::string& key, const std::string& block) {
    return "\"" + key + "\" [ " + block + "] ,\n";
}

// An in-place object block, unindented.
inline std::string objectBlock(const std::string& name, const std::string& geometry, const std::string& body,
                               const std::string& material = kDefaultMaterial) {
    return "object \"" + name + "\" {\ngeometry \"" + geometry + "\" {\n" + body + "}\n" + material + "}\n";
}

// The import module's load block, unindented; `values` holds its eleven
// settings in their written order, separated by blanks. Bare keys are the
// settings form of the enclosing block.
inline std::string moduleBlock(const std::string& values, bool bareKeys = false) {
    static const char* const keys[] = {"import_mode", "import_merge_groups", "import_merge_objects",
                                       "import_up_vector", "meter_scale", "import_keep_original",
                                       "import_center_geometry", "import_snap_to_ground", "import_adjust_camera",
                                       "import_adjust_environment", "ext"};
    std::istringstream in(values);
    std::string text = "load \"orbrtopt.so\" {\n", value;
    for (const char* key : keys) {
        in >> value;
        if (bareKeys) text.append(key).append(" ").append(value).append("\n");
        else text.append("\"").append(key).append("\" ").append(value).append(",\n");
    }
    return text + "}\n";
}

// A node that leaves one recognisable record wherever it is written.
class MarkerNode final : public LightNode {
public:
    explicit MarkerNode(std::string label) : label_(std::move(label)) {}
    void write(orbSceneapi_oo& scene) override {
        ++writes;
        scene.api()->print(label_.c_str());
    }
    void writeInstanceSource(orbSceneapi_oo&) override {}
    bool isInstance() const override { return false; }
    int writes = 0;

private:
    std::string label_;
};

} // namespace modeltest
