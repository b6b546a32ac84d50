// The production helmet mesh: its stored data, built and drawn, must give the
// positions, uvs and normals of Maya's own OBJ export of it, triangle for triangle.

#include "mesh/DisplayGeometry.h"
#include "mesh/MeshFromStored.h"
#include "MeshTestUtil.h"
#include "ObjReference.h"

#include <gtest/gtest.h>

using mayahost::StoredMesh;

namespace {

const std::string kScene = std::string(GLOWBOX_CORPUS_DIR) + "/maya2gltf/DamagedHelmet2024.ma";
const std::string kExport = std::string(GLOWBOX_CORPUS_DIR) + "/reference/DamagedHelmet2024.maya-export.obj";

std::string unquote(const std::string& s) { return s.size() >= 2 && s.front() == '"' ? s.substr(1, s.size() - 2) : s; }

template <class T>
void store(std::vector<T>& target, size_t at, const std::vector<std::string>& values) {
    if (target.size() < at + values.size()) target.resize(at + values.size());
    for (size_t i = 0; i < values.size(); ++i) target[at + i] = T(std::stod(values[i]));
}

// polyFaces words: "f n e...", "h n e...", "mu set n ids...", "mc set n ids...".
void readFaces(const std::vector<std::string>& w, mayahost::scenefile::PolyFaces& f) {
    if (f.faceLoopStart.empty()) f.faceLoopStart.push_back(0), f.loopStart.push_back(0);
    uint32_t lastLoop = 0;
    for (size_t i = 0; i < w.size();) {
        const std::string& tag = w[i];
        if (tag == "f" || tag == "h") {
            if (tag == "f" && f.loopStart.size() > 1) f.faceLoopStart.push_back(uint32_t(f.loopStart.size() - 1));
            const size_t n = std::stoul(w[i + 1]);
            for (size_t k = 0; k < n; ++k) f.edges.push_back(std::stoi(w[i + 2 + k]));
            lastLoop = uint32_t(f.loopStart.size() - 1);
            f.loopStart.push_back(uint32_t(f.edges.size()));
            i += 2 + n;
        } else {
            ASSERT_TRUE(tag == "mu" || tag == "mc") << "unexpected polyFaces word " << tag;
            const uint32_t n = uint32_t(std::stoul(w[i + 2]));
            auto& ids = tag == "mu" ? f.uvIds : f.colorIds;
            (tag == "mu" ? f.uvLoops : f.colorLoops).push_back({lastLoop, std::stoi(w[i + 1]), uint32_t(ids.size()), n});
            for (size_t k = 0; k < n; ++k) ids.push_back(std::stoi(w[i + 3 + k]));
            i += 3 + n;
        }
    }
}

// Just enough of the file to collect one mesh node's setAttr values.
StoredMesh readStoredMesh(const std::string& text, const std::string& node) {
    StoredMesh mesh;
    size_t begin = text.find("createNode mesh -n \"" + node + "\"");
    if (begin == std::string::npos) return mesh;
    begin = text.find(';', begin) + 1;
    const size_t end = text.find("\ncreateNode ", begin);
    mayahost::StoredUVSet uvSet;
    while (begin < end) {
        const size_t stop = text.find(';', begin);
        std::istringstream statement(text.substr(begin, stop - begin));
        begin = stop + 1;
        std::string word, attr;
        std::vector<std::string> values;
        if (!(statement >> word) || word != "setAttr") continue;
        while (statement >> word) {
            if (word == "-s" || word == "-ch" || word == "-k" || word == "-type") statement >> word;
            else if (attr.empty() && word.rfind("\".", 0) == 0) attr = unquote(word);
            else values.push_back(word);
        }
        if (values.empty() || attr.empty()) continue;
        const size_t bracket = attr.back() == ']' ? attr.rfind('[') : std::string::npos;
        const std::string name = attr.substr(1, bracket == std::string::npos ? std::string::npos : bracket - 1);
        const size_t first = bracket == std::string::npos ? 0 : std::stoul(attr.substr(bracket + 1));
        if (auto* floats = name == "vt" ? &mesh.vertices : name == "pt" ? &mesh.tweaks : name == "n" ? &mesh.normals : nullptr)
            store(*floats, 3 * first, values);
        else if (name == "ed") store(mesh.edges, 3 * first, values);
        else if (name == "uvst[0].uvsp") store(uvSet.points, 2 * first, values);
        else if (name == "uvst[0].uvsn") uvSet.name = unquote(values[0]);
        else if (name == "cuvs") mesh.currentUVSet = unquote(values[0]);
        else if (name == "fc") readFaces(values, mesh.faces);
    }
    if (mesh.faces.loopStart.size() > 1) mesh.faces.faceLoopStart.push_back(uint32_t(mesh.faces.loopStart.size() - 1));
    mesh.uvSets.push_back(uvSet);
    return mesh;
}

TEST(MeshHelmet, DisplayGeometryMatchesMayasExport) {
    const std::string scene = meshtest::readFile(kScene), exported = meshtest::readFile(kExport);
    ASSERT_FALSE(scene.empty() || exported.empty()) << kScene << " or " << kExport;
    mayahost::MeshData mesh;
    ASSERT_EQ(mayahost::meshFromStored(readStoredMesh(scene, "helmet:helmetShape"), mesh).error, "");
    EXPECT_EQ(std::pair(mesh.numVertices(), mesh.numFaces()), std::pair(size_t(13341), size_t(15452)));
    mayahost::DisplayGeometry g;
    ASSERT_EQ(mayahost::buildDisplayGeometry(mesh, {.uvSetName = mesh.uvSets.at(size_t(mesh.currentUVSet)).name}, g), "");
    ASSERT_EQ(std::pair(g.triangleCount(), g.uvs.size()), std::pair(size_t(15452), 2 * g.vertexCount()));
    const objref::ObjMesh obj = objref::readObj(exported);
    ASSERT_EQ(obj.triangles.size(), 15452u);
    EXPECT_EQ(objref::compareWithExport(g.positions, g.uvs, g.normals, g.triangles, obj, 1e-5f), "");
}

}  // namespace
