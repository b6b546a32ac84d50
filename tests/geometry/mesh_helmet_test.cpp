// The production helmet mesh: its stored data, built and drawn, must give the
// positions, uvs and normals of Maya's own OBJ export of it, triangle for triangle.

#include "geometry/DisplayGeometry.h"
#include "geometry/MeshFromStored.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <unordered_map>

using mayahost::StoredMesh;

namespace {

const std::string kScene = std::string(GLOWBOX_CORPUS_DIR) + "/maya2gltf/DamagedHelmet2024.ma";
const std::string kExport = std::string(GLOWBOX_CORPUS_DIR) + "/reference/DamagedHelmet2024.maya-export.obj";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> words(const std::string& statement) {
    std::istringstream in(statement);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::string unquote(const std::string& s) { return s.size() >= 2 && s.front() == '"' ? s.substr(1, s.size() - 2) : s; }

template <class T>
void store(std::vector<T>& target, size_t at, const std::vector<std::string>& values) {
    if (target.size() < at + values.size()) target.resize(at + values.size());
    for (size_t i = 0; i < values.size(); ++i) target[at + i] = T(std::stod(values[i]));
}

// polyFaces words: "f n e...", "h n e...", "mu set n ids...", "mc set n ids...".
void readFaces(const std::vector<std::string>& w, mayahost::ma::PolyFaces& f) {
    if (f.faceLoopStart.empty()) f.faceLoopStart.push_back(0), f.loopStart.push_back(0);
    uint32_t lastLoop = 0;
    for (size_t i = 0; i < w.size();) {
        const std::string& tag = w[i];
        if (tag == "f" || tag == "h") {
            if (tag == "f" && f.loopStart.size() > 1) f.faceLoopStart.push_back(uint32_t(f.loopStart.size() - 1));
            size_t n = std::stoul(w[i + 1]);
            for (size_t k = 0; k < n; ++k) f.edges.push_back(std::stoi(w[i + 2 + k]));
            lastLoop = uint32_t(f.loopStart.size() - 1);
            f.loopStart.push_back(uint32_t(f.edges.size()));
            i += 2 + n;
        } else if (tag == "mu" || tag == "mc") {
            int32_t set = std::stoi(w[i + 1]);
            uint32_t n = uint32_t(std::stoul(w[i + 2]));
            auto& loops = tag == "mu" ? f.uvLoops : f.colorLoops;
            auto& ids = tag == "mu" ? f.uvIds : f.colorIds;
            loops.push_back({lastLoop, set, uint32_t(ids.size()), n});
            for (size_t k = 0; k < n; ++k) ids.push_back(std::stoi(w[i + 3 + k]));
            i += 3 + n;
        } else {
            FAIL() << "unexpected polyFaces word " << tag;
        }
    }
}

// Just enough of the file to collect one mesh node's setAttr values.
StoredMesh readStoredMesh(const std::string& text, const std::string& node) {
    StoredMesh mesh;
    size_t begin = text.find("createNode mesh -n \"" + node + "\"");
    if (begin == std::string::npos) return mesh;
    begin = text.find(';', begin) + 1;
    size_t end = text.find("\ncreateNode ", begin);
    mayahost::StoredUVSet uvSet;
    while (begin < end) {
        size_t stop = text.find(';', begin);
        std::vector<std::string> w = words(text.substr(begin, stop - begin));
        begin = stop + 1;
        if (w.empty() || w[0] != "setAttr") continue;
        std::string attr;
        std::vector<std::string> values;
        for (size_t i = 1; i < w.size(); ++i) {
            if (w[i] == "-s" || w[i] == "-ch" || w[i] == "-k" || w[i] == "-type") ++i;
            else if (attr.empty() && w[i].rfind("\".", 0) == 0) attr = unquote(w[i]);
            else values.push_back(w[i]);
        }
        size_t bracket = attr.rfind('[');
        std::string name = attr.substr(1, bracket == std::string::npos || attr.back() != ']' ? std::string::npos : bracket - 1);
        size_t first = bracket == std::string::npos || attr.back() != ']' ? 0 : std::stoul(attr.substr(bracket + 1));
        if (values.empty()) continue;
        if (name == "vt") store(mesh.vertices, 3 * first, values);
        else if (name == "pt") store(mesh.tweaks, 3 * first, values);
        else if (name == "ed") store(mesh.edges, 3 * first, values);
        else if (name == "n") store(mesh.normals, 3 * first, values);
        else if (name == "uvst[0].uvsp") store(uvSet.points, 2 * first, values);
        else if (name == "uvst[0].uvsn") uvSet.name = unquote(values[0]);
        else if (name == "cuvs") mesh.currentUVSet = unquote(values[0]);
        else if (name == "fc") readFaces(values, mesh.faces);
    }
    if (mesh.faces.loopStart.size() > 1) mesh.faces.faceLoopStart.push_back(uint32_t(mesh.faces.loopStart.size() - 1));
    mesh.uvSets.push_back(uvSet);
    return mesh;
}

using Corner = std::array<float, 8>;  // position, uv, normal

struct ObjMesh {
    std::vector<Corner> corners;                // distinct corner values
    std::vector<std::array<size_t, 3>> triangles;  // into corners
};

ObjMesh readObj(const std::string& text) {
    std::vector<std::array<float, 3>> v, vn;
    std::vector<std::array<float, 2>> vt;
    std::map<Corner, size_t> ids;
    ObjMesh out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream l(line);
        std::string tag;
        l >> tag;
        if (tag == "v") v.emplace_back(), l >> v.back()[0] >> v.back()[1] >> v.back()[2];
        else if (tag == "vn") vn.emplace_back(), l >> vn.back()[0] >> vn.back()[1] >> vn.back()[2];
        else if (tag == "vt") vt.emplace_back(), l >> vt.back()[0] >> vt.back()[1];
        else if (tag == "f") {
            std::array<size_t, 3> tri{};
            for (size_t k = 0; k < 3; ++k) {
                std::string ref;
                l >> ref;
                size_t a = std::stoul(ref), b = std::stoul(ref.substr(ref.find('/') + 1)),
                       c = std::stoul(ref.substr(ref.rfind('/') + 1));
                Corner corner = {v.at(a - 1)[0], v.at(a - 1)[1], v.at(a - 1)[2], vt.at(b - 1)[0], vt.at(b - 1)[1],
                                 vn.at(c - 1)[0], vn.at(c - 1)[1], vn.at(c - 1)[2]};
                tri[k] = ids.emplace(corner, ids.size()).first->second;
            }
            out.triangles.push_back(tri);
        }
    }
    out.corners.resize(ids.size());
    for (auto& [corner, id] : ids) out.corners[id] = corner;
    return out;
}

// Finds the export's corner closest to a value set, within `tol` on every
// value, through a grid on the position.
class CornerIndex {
public:
    explicit CornerIndex(const std::vector<Corner>& corners) : corners_(corners) {
        for (size_t i = 0; i < corners.size(); ++i) cells_[cell(corners[i][0], corners[i][1], corners[i][2])].push_back(i);
    }
    int64_t find(const Corner& c, float tol) const {
        int64_t best = -1;
        float bestError = tol + 1;
        int64_t x = int64_t(std::floor(c[0] / kCell)), y = int64_t(std::floor(c[1] / kCell)), z = int64_t(std::floor(c[2] / kCell));
        for (int64_t dx = -1; dx <= 1; ++dx)
            for (int64_t dy = -1; dy <= 1; ++dy)
                for (int64_t dz = -1; dz <= 1; ++dz) {
                    auto it = cells_.find(key(x + dx, y + dy, z + dz));
                    if (it == cells_.end()) continue;
                    for (size_t i : it->second) {
                        float worst = 0;
                        for (size_t k = 0; k < 8; ++k) worst = std::max(worst, std::fabs(corners_[i][k] - c[k]));
                        if (worst <= tol && worst < bestError) bestError = worst, best = int64_t(i);
                    }
                }
        return best;
    }

private:
    static constexpr double kCell = 1e-3;
    static uint64_t key(int64_t x, int64_t y, int64_t z) {
        return (uint64_t(x) * 73856093u) ^ (uint64_t(y) * 19349663u) ^ (uint64_t(z) * 83492791u);
    }
    static uint64_t cell(float x, float y, float z) {
        return key(int64_t(std::floor(x / kCell)), int64_t(std::floor(y / kCell)), int64_t(std::floor(z / kCell)));
    }
    const std::vector<Corner>& corners_;
    std::unordered_map<uint64_t, std::vector<size_t>> cells_;
};

std::array<size_t, 3> canonical(std::array<size_t, 3> t) {
    while (t[0] > t[1] || t[0] > t[2]) t = {t[1], t[2], t[0]};
    return t;
}

TEST(MeshHelmet, DisplayGeometryMatchesMayasExport) {
    std::string scene = readFile(kScene), exported = readFile(kExport);
    ASSERT_FALSE(scene.empty()) << kScene;
    ASSERT_FALSE(exported.empty()) << kExport;

    mayahost::MeshData mesh;
    auto built = mayahost::meshFromStored(readStoredMesh(scene, "helmet:helmetShape"), mesh);
    ASSERT_EQ(built.error, "");
    EXPECT_EQ(mesh.numVertices(), 13341u);
    EXPECT_EQ(mesh.numFaces(), 15452u);

    mayahost::DisplayRequest request;
    request.uvSetName = mesh.uvSets.at(size_t(mesh.currentUVSet)).name;
    mayahost::DisplayGeometry g;
    ASSERT_EQ(mayahost::buildDisplayGeometry(mesh, request, g), "");
    ASSERT_EQ(g.triangleCount(), 15452u);
    ASSERT_EQ(g.uvs.size(), 2 * g.vertexCount());

    ObjMesh obj = readObj(exported);
    ASSERT_EQ(obj.triangles.size(), 15452u);
    CornerIndex index(obj.corners);
    std::vector<size_t> match(g.vertexCount());
    std::vector<bool> used(obj.corners.size(), false);
    size_t unmatched = 0;
    for (size_t v = 0; v < g.vertexCount(); ++v) {
        Corner c = {g.positions[3 * v], g.positions[3 * v + 1], g.positions[3 * v + 2], g.uvs[2 * v], g.uvs[2 * v + 1],
                    g.normals[3 * v], g.normals[3 * v + 1], g.normals[3 * v + 2]};
        int64_t found = index.find(c, 1e-5f);
        if (found < 0) {
            if (++unmatched <= 5) ADD_FAILURE() << "display vertex " << v << " is not in the export";
            continue;
        }
        match[v] = size_t(found);
        used[size_t(found)] = true;
    }
    ASSERT_EQ(unmatched, 0u);
    EXPECT_EQ(std::count(used.begin(), used.end(), false), 0) << "export corners missing from the display geometry";

    std::vector<std::array<size_t, 3>> ours, theirs;
    for (size_t t = 0; t < g.triangleCount(); ++t)
        ours.push_back(canonical({match[g.triangles[3 * t]], match[g.triangles[3 * t + 1]], match[g.triangles[3 * t + 2]]}));
    for (const auto& t : obj.triangles) theirs.push_back(canonical(t));
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    EXPECT_TRUE(ours == theirs) << "same corners, but not the same triangles (or windings)";
}

}  // namespace
