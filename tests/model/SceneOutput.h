#pragma once
// Test support: a scene front over the real file writer on a temporary
// stream, and the byte forms of binary array blocks built independently of
// the writer, so that expected output is spelled out in the tests.

#include "sceneapi/LightFactory.h"
#include "sceneapi/model/LightNode.h"
#include "sceneapi/orbScene_api.h"
#include "sceneapi/orbScene_api_file.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>

namespace modeltest {

// What the scene front writes at its start, before any node.
inline const std::string kPrelude =
    "#print \"Glowbox SceneApi oo 6.2.85  (built Mon Oct 26 10:26:53 2015)\"\nversion 6\n\n";

// The default material of every triangle object and surface, unindented.
inline const std::string kDefaultMaterial =
    "material \"default\" {\n"
    "surface \"orb_diffuse\" {\n"
    "\"diffuse\" 0.75 0.5 0.5,\n"
    "}\n"
    "}\n";

class SceneOutput {
public:
    // readable: indentation on and text arrays, as after setFlags(1);
    // otherwise the importer's normal form with binary arrays.
    explicit SceneOutput(bool readable = false) {
        stream_ = std::tmpfile();
        if (stream_ == nullptr)
            throw std::runtime_error("no temporary file");
        api_ = std::make_unique<orbScene_api_file>(stream_, true);
        factory_ = std::make_unique<orb::PassThroughFactory>(api_.get());
        scene_ = std::make_unique<orb::orbSceneapi_oo>(factory_.get());
        if (readable)
            scene_->api()->setFlags(1);
        start_ = all().size();
    }
    ~SceneOutput() {
        scene_.reset();
        factory_.reset();
        api_.reset();
        std::fclose(stream_);
    }
    SceneOutput(const SceneOutput&) = delete;
    SceneOutput& operator=(const SceneOutput&) = delete;

    orb::orbSceneapi_oo& scene() { return *scene_; }
    orbScene_api& api() { return *scene_->api(); }

    // Everything written since the front's start records.
    std::string text() { return all().substr(start_); }

    std::string all() {
        std::fflush(stream_);
        const long end = std::ftell(stream_);
        std::string bytes(static_cast<std::size_t>(end), '\0');
        std::rewind(stream_);
        const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), stream_);
        bytes.resize(got);
        std::fseek(stream_, 0, SEEK_END);
        return bytes;
    }

private:
    FILE* stream_ = nullptr;
    std::unique_ptr<orbScene_api_file> api_;
    std::unique_ptr<orb::PassThroughFactory> factory_;
    std::unique_ptr<orb::orbSceneapi_oo> scene_;
    std::size_t start_ = 0;
};

inline std::string le32(std::uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFFu);
    return s;
}

inline std::string le64(std::uint64_t v) {
    std::string s;
    for (int i = 0; i < 8; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFFu);
    return s;
}

inline std::string marker(char tag, std::size_t count) {
    return std::string("\x01\x02\x03", 3) + tag + le32(static_cast<std::uint32_t>(count));
}

// Float blocks: tag 'f' for plain float arrays, 'c' for float triples (the
// count is the number of floats either way).
inline std::string floatBlock(char tag, std::initializer_list<float> values) {
    std::string s = marker(tag, values.size());
    for (float f : values) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        s += le32(bits);
    }
    return s;
}

inline std::string intBlock(std::initializer_list<std::int32_t> values) {
    std::string s = marker('i', values.size());
    for (std::int32_t v : values)
        s += le32(static_cast<std::uint32_t>(v));
    return s;
}

inline std::string doubleBlock(std::initializer_list<double> values) {
    std::string s = marker('r', values.size());
    for (double d : values) {
        std::uint64_t bits;
        std::memcpy(&bits, &d, 8);
        s += le64(bits);
    }
    return s;
}

// A shader-mode array parameter line holding a binary block.
inline std::string arrayParam(const std::string& key, const std::string& block) {
    return "\"" + key + "\" [ " + block + "] ,\n";
}

// A node that leaves one recognisable record wherever it is written.
class MarkerNode final : public orb::LightNode {
public:
    explicit MarkerNode(std::string label) : label_(std::move(label)) {}
    void write(orb::orbSceneapi_oo& scene) override {
        ++writes;
        scene.api()->print(label_.c_str());
    }
    void writeInstanceSource(orb::orbSceneapi_oo&) override {}
    bool isInstance() const override { return false; }
    int writes = 0;

private:
    std::string label_;
};

} // namespace modeltest
