// The scenes of the corpus's oracle folder against Maya's own OBJ export of
// them (world space, one group per transform): every exported transform's
// mesh has Maya's vertices and faces, in Maya's order, at Maya's positions.
// Meshes made through history (lofts, tessellation, extrusions) show here
// whether the stand-in numbers and places what it builds as Maya does.

#include <maya/MDagPath.h>
#include <maya/MFileIO.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MItDag.h>
#include <maya/MPointArray.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Group {
    std::string name;
    std::vector<std::array<double, 3>> points;
    std::vector<std::vector<int>> faces;  // vertex ids within the group
};

// The export writes each group's vertices before its faces, and a group's
// faces use a run of vertices of their own.
std::vector<Group> readObjGroups(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::array<double, 3>> all;
    std::vector<Group> groups;
    std::string name;
    bool newGroup = true;
    for (std::string line; std::getline(in, line);) {
        std::istringstream l(line);
        std::string tag;
        l >> tag;
        if (tag == "g") {
            l >> name;
            newGroup = true;
        } else if (tag == "v") {
            auto& p = all.emplace_back();
            l >> p[0] >> p[1] >> p[2];
        } else if (tag == "f") {
            if (newGroup) groups.push_back({name, {}, {}});
            newGroup = false;
            auto& face = groups.back().faces.emplace_back();
            for (std::string corner; l >> corner;) face.push_back(std::stoi(corner.substr(0, corner.find('/'))) - 1);
        }
    }
    for (Group& g : groups) {
        int lo = g.faces[0][0], hi = lo;
        for (const auto& f : g.faces)
            for (int v : f) lo = std::min(lo, v), hi = std::max(hi, v);
        g.points.assign(all.begin() + lo, all.begin() + hi + 1);
        for (auto& f : g.faces)
            for (int& v : f) v -= lo;
    }
    return groups;
}

// Every mesh of the open scene, named after its transform.
std::vector<Group> sceneMeshes() {
    std::vector<Group> out;
    for (MItDag it(MItDag::kDepthFirst, MFn::kMesh); !it.isDone(); it.next()) {
        MDagPath path;
        it.getPath(path);
        MFnMesh mesh(path);
        if (mesh.isIntermediateObject()) continue;
        MDagPath parent = path;
        parent.pop();
        Group& g = out.emplace_back();
        g.name = MFnDagNode(parent).name().asChar();
        MPointArray points;
        mesh.getPoints(points, MSpace::kWorld);
        for (unsigned i = 0; i < points.length(); ++i) g.points.push_back({points[i].x, points[i].y, points[i].z});
        for (int f = 0; f < mesh.numPolygons(); ++f) {
            MIntArray ids;
            mesh.getPolygonVertices(f, ids);
            auto& face = g.faces.emplace_back();
            for (unsigned k = 0; k < ids.length(); ++k) face.push_back(ids[k]);
        }
    }
    return out;
}

double extent(const Group& g) {
    double size = 0;
    for (int c = 0; c < 3; ++c) {
        auto [lo, hi] = std::minmax_element(g.points.begin(), g.points.end(),
                                            [c](const auto& a, const auto& b) { return a[c] < b[c]; });
        size = std::max(size, (*hi)[c] - (*lo)[c]);
    }
    return size;
}

// Transforms whose positions are known to follow Maya's only roughly, with
// the share of the object's size they may be off by, and why.
struct Approximate {
    double share;
    const char* why;
};
const std::map<std::string, Approximate> kApproximate = {
    {"Hat/loftedSurface4", {0.01, "the cubic loft's end tangents are not Maya's (same length, other direction)"}},
};

class ObjOracle : public testing::TestWithParam<fs::path> {};

TEST_P(ObjOracle, MeshesMatchMayasExportPerTransform) {
    const fs::path scene = GetParam();
    const std::string base = scene.stem().string();
    const std::string shortName = base.substr(base.rfind("__") + 2);
    const fs::path obj = scene.parent_path() / (base.substr(0, base.rfind("__")) + "__ObjExports__" + shortName + ".obj");
    if (!fs::exists(obj)) GTEST_SKIP() << "no OBJ export beside " << scene;
    ASSERT_TRUE(MFileIO::open(scene.string().c_str(), nullptr, true, 2, true));
    std::vector<Group> ours = sceneMeshes();
    std::vector<bool> used(ours.size(), false);
    for (const Group& maya : readObjGroups(obj)) {
        // Names repeat under different parents: the first unused one of the same size.
        auto it = std::find_if(ours.begin(), ours.end(), [&](const Group& g) {
            return !used[size_t(&g - ours.data())] && g.name == maya.name && g.points.size() == maya.points.size() &&
                   g.faces.size() == maya.faces.size();
        });
        ASSERT_NE(it, ours.end()) << shortName << ": no mesh under " << maya.name << " with " << maya.points.size()
                                  << " vertices and " << maya.faces.size() << " faces";
        used[size_t(it - ours.begin())] = true;
        EXPECT_EQ(it->faces, maya.faces) << shortName << "/" << maya.name;
        const auto approx = kApproximate.find(shortName + "/" + maya.name);
        const double share = approx == kApproximate.end() ? 1e-4 : approx->second.share;
        const double tolerance = share * extent(maya) + 1e-5;  // the export prints 6 decimals
        double worst = 0;
        for (size_t v = 0; v < maya.points.size(); ++v) {
            double d = 0;
            for (int c = 0; c < 3; ++c) d += (it->points[v][c] - maya.points[v][c]) * (it->points[v][c] - maya.points[v][c]);
            worst = std::max(worst, std::sqrt(d));
        }
        EXPECT_LE(worst, tolerance) << shortName << "/" << maya.name;
        if (approx != kApproximate.end())
            std::cout << "[ approx   ] " << shortName << "/" << maya.name << ": off by " << worst << " ("
                      << approx->second.why << ")\n";
    }
}

std::vector<fs::path> oracleScenes() {
    std::vector<fs::path> scenes;
    std::error_code error;
    for (const auto& e : fs::directory_iterator(fs::path(GLOWBOX_CORPUS_DIR) / "oracle", error))
        if (e.path().extension() == ".ma") scenes.push_back(e.path());
    std::sort(scenes.begin(), scenes.end());
    return scenes;
}

INSTANTIATE_TEST_SUITE_P(Corpus, ObjOracle, testing::ValuesIn(oracleScenes()),
                         [](const testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             return name.substr(name.rfind("__") + 2);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ObjOracle);

}  // namespace
