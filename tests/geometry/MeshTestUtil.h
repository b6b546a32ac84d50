#pragma once
// Helpers shared by the geometry tests: meshes from plain face lists, the
// default cube, point and corner access, row-vector matrices, files, what a
// modifier's result must satisfy, and creator attributes by short name.

#include "mesh/MeshData.h"
#include "mesh/MeshValidate.h"
#include "mesh/MeshVec.h"
#include "mesh/PolyCreators.h"

#include <maya/MMatrix.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

// The tests set parameters with designated initializers and mean the fields
// they leave out to keep their defaults; GCC 12 still warns about those.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace meshtest {

using mayahost::MeshData;
using mayahost::MeshVec;

// A face as loops of vertex ids: outer loop first, then holes.
using Face = std::vector<std::vector<int32_t>>;
using Ids = std::vector<int32_t>;
using Components = std::optional<std::vector<std::string>>;
inline Components list(std::vector<std::string> items) { return items; }

// Builds a mesh from points and faces. Edges are derived from the loops;
// every edge gets `smooth`, except the vertex pairs listed in `flipped`.
inline MeshData makeMesh(const std::vector<MeshVec>& points, const std::vector<Face>& faces, bool smooth,
                         const std::vector<std::pair<int32_t, int32_t>>& flipped = {}) {
    MeshData m;
    for (const MeshVec& p : points) m.points.insert(m.points.end(), {float(p.x), float(p.y), float(p.z)});
    std::map<std::pair<int32_t, int32_t>, size_t> edgeIds;
    m.faceLoopStart.push_back(0);
    m.loopStart.push_back(0);
    for (const Face& face : faces) {
        for (const auto& loop : face) {
            for (size_t i = 0; i < loop.size(); ++i) {
                int32_t a = loop[i], b = loop[(i + 1) % loop.size()];
                std::pair<int32_t, int32_t> key{std::min(a, b), std::max(a, b)};
                if (edgeIds.emplace(key, m.edgeSmooth.size()).second) {
                    m.edges.insert(m.edges.end(), {a, b});
                    bool flip = std::find(flipped.begin(), flipped.end(), key) != flipped.end();
                    m.edgeSmooth.push_back(uint8_t(smooth != flip));
                }
                m.faceVertices.push_back(a);
            }
            m.loopStart.push_back(uint32_t(m.faceVertices.size()));
        }
        m.faceLoopStart.push_back(uint32_t(m.loopStart.size() - 1));
    }
    return m;
}

// Outward normal of each face of the default cube, in face order.
inline const MeshVec kCubeNormals[] = {{0, 0, 1}, {0, 1, 0}, {0, 0, -1}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};

// Maya's default polyCube: points, face loops and the map1 layout.
inline MeshData makeCube(bool smooth, bool withUVs) {
    MeshData m = makeMesh({{-.5, -.5, .5}, {.5, -.5, .5}, {-.5, .5, .5}, {.5, .5, .5},
                           {-.5, .5, -.5}, {.5, .5, -.5}, {-.5, -.5, -.5}, {.5, -.5, -.5}},
                          {{{0, 1, 3, 2}}, {{2, 3, 5, 4}}, {{4, 5, 7, 6}}, {{6, 7, 1, 0}}, {{1, 7, 5, 3}}, {{6, 0, 2, 4}}},
                          smooth);
    if (withUVs)
        m.uvSets.push_back({"map1",
                            {.375f, .625f, .625f, .375f, .625f, .375f, .625f, .375f, .625f, .375f, .875f, .875f, .125f, .125f},
                            {0, 0, .25f, .25f, .5f, .5f, .75f, .75f, 1, 1, 0, .25f, 0, .25f},
                            {0, 1, 2, 3, 3, 2, 4, 5, 5, 4, 6, 7, 7, 6, 8, 9, 1, 10, 11, 2, 12, 0, 3, 13}});
    return m;
}

inline const MeshData kCube = makeCube(false, false);
inline const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Two unit quads side by side along X from x0, sharing the edge 1-4; with
// uvs, one per vertex: u = (x - x0) / 2, v = y.
inline MeshData twoQuads(double x0 = 0, bool withUVs = false) {
    MeshData m = makeMesh({{x0, 0, 0}, {x0 + 1, 0, 0}, {x0 + 2, 0, 0}, {x0, 1, 0}, {x0 + 1, 1, 0}, {x0 + 2, 1, 0}},
                          {{{0, 1, 4, 3}}, {{1, 2, 5, 4}}}, true);
    if (withUVs) m.uvSets.push_back({"map1", {0, .5f, 1, 0, .5f, 1}, {0, 0, 0, 1, 1, 1}, {0, 1, 4, 3, 1, 2, 5, 4}});
    return m;
}

// The default cube with uvs and a user normal on every corner: the outward face normal.
inline MeshData cubeWithUserNormals() {
    MeshData cube = makeCube(false, true);
    for (size_t c = 0; c < 24; ++c) {
        const MeshVec& n = kCubeNormals[c / 4];
        cube.faceVertexNormals.insert(cube.faceVertexNormals.end(), {float(n.x), float(n.y), float(n.z)});
    }
    return cube;
}

inline MeshVec normalAt(const std::vector<float>& normals, size_t i) {
    return {normals[3 * i], normals[3 * i + 1], normals[3 * i + 2]};
}
inline MeshVec pointOf(const MeshData& m, size_t v) { return normalAt(m.points, v); }

inline bool near(const MeshVec& a, const MeshVec& b, double tol = 1e-6) {
    return std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol && std::fabs(a.z - b.z) <= tol;
}

// Vertex ids of face f, all its loops in order.
inline std::vector<int32_t> faceCorners(const MeshData& m, size_t f) {
    return {m.faceVertices.begin() + m.loopStart[m.faceLoopStart[f]],
            m.faceVertices.begin() + m.loopStart[m.faceLoopStart[f + 1]]};
}
inline std::vector<std::vector<int32_t>> faceLoops(const MeshData& m) {
    std::vector<std::vector<int32_t>> out;
    for (size_t f = 0; f < m.numFaces(); ++f) out.push_back(faceCorners(m, f));
    return out;
}

// Newell vector of face f: its direction is the normal, half its length the area.
inline MeshVec newell(const MeshData& m, size_t f) {
    const std::vector<int32_t> c = faceCorners(m, f);
    MeshVec n;
    for (size_t i = 0; i < c.size(); ++i) n += pointOf(m, size_t(c[i])).cross(pointOf(m, size_t(c[(i + 1) % c.size()])));
    return n;
}

// Vertex, face and edge counts, to compare at once.
using Shape = std::tuple<size_t, size_t, size_t>;
inline Shape shape(const MeshData& m) { return {m.numVertices(), m.numFaces(), m.numEdges()}; }

template <class Set>
std::vector<std::string> names(const std::vector<Set>& sets) {
    std::vector<std::string> out;
    for (const Set& s : sets) out.push_back(s.name);
    return out;
}

// What a modifier made and the warning it gave.
template <class Params>
std::pair<MeshData, std::string> warned(MeshData (*apply)(const MeshData&, const Params&, std::string*), const MeshData& in,
                                        const Params& params) {
    std::string warning;
    MeshData out = apply(in, params, &warning);
    return {std::move(out), warning};
}

inline bool mentions(const std::string& text, const std::string& phrase) { return text.find(phrase) != std::string::npos; }

// What a modifier made when it must neither warn nor leave the mesh inconsistent.
template <class Params>
MeshData clean(MeshData (*apply)(const MeshData&, const Params&, std::string*), const MeshData& in, const Params& params) {
    auto [out, warning] = warned(apply, in, params);
    EXPECT_EQ(warning, "");
    EXPECT_EQ(mayahost::meshDataError(out), "");
    return out;
}

// A modifier that cannot use its input must hand it on unchanged and say why.
template <class Params>
void expectPassedThrough(MeshData (*apply)(const MeshData&, const Params&, std::string*), const MeshData& in,
                         const Params& params, const std::string& phrase = "") {
    const auto [out, warning] = warned(apply, in, params);
    EXPECT_EQ(shape(out), shape(in));
    EXPECT_EQ(std::tie(out.points, out.faceVertices), std::tie(in.points, in.faceVertices));
    EXPECT_EQ(mayahost::meshDataError(out), "");
    EXPECT_NE(warning, "");
    EXPECT_TRUE(mentions(warning, phrase)) << warning;
}

// "" when every side of every loop is walked once each way (a closed surface
// turned one way) and the edge list holds exactly those sides; else what is wrong.
inline std::string closedProblem(const MeshData& m) {
    std::map<std::pair<int32_t, int32_t>, int> walks;
    for (size_t l = 0; l < m.numLoops(); ++l)
        for (uint32_t c = m.loopStart[l]; c < m.loopStart[l + 1]; ++c)
            ++walks[{m.faceVertices[c], m.faceVertices[c + 1 < m.loopStart[l + 1] ? c + 1 : m.loopStart[l]]}];
    std::set<std::pair<int32_t, int32_t>> edges;
    for (size_t e = 0; e < m.numEdges(); ++e) edges.insert(std::minmax(m.edges[2 * e], m.edges[2 * e + 1]));
    for (const auto& [side, n] : walks) {
        const std::string name = "side " + std::to_string(side.first) + "-" + std::to_string(side.second);
        if (n != 1 || !walks.count({side.second, side.first})) return name + " is not walked once each way";
        if (!edges.count(std::minmax(side.first, side.second))) return name + " has no edge";
    }
    return 2 * m.numEdges() == walks.size() ? "" : "edges no face walks, or listed twice";
}

// Attribute values by short name, as a node hands them to a creator.
struct AttrReader : mayahost::PolyAttributeReader {
    using Numbers = std::map<std::string, double, std::less<>>;
    using Vectors = std::map<std::string, std::array<double, 3>, std::less<>>;
    Numbers numbers;
    Vectors vectors;
    explicit AttrReader(Numbers n = {}, Vectors v = {}) : numbers(std::move(n)), vectors(std::move(v)) {}
    bool number(std::string_view name, double& value) const override {
        auto it = numbers.find(name);
        return it != numbers.end() && (value = it->second, true);
    }
    bool vector3(std::string_view name, double (&value)[3]) const override {
        auto it = vectors.find(name);
        if (it != vectors.end()) std::copy(it->second.begin(), it->second.end(), value);
        return it != vectors.end();
    }
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Matrices for row vectors, written out independently of the library.
inline MMatrix rows(const std::vector<double>& v) {
    double m[4][4];
    for (unsigned i = 0; i < 16; ++i) m[i / 4][i % 4] = v[i];
    return MMatrix(m);
}
inline MMatrix translation(double x, double y, double z) { return rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}); }
inline MMatrix scaling(double x, double y, double z) { return rows({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}); }
// Turn about +Z by 90 degrees: x goes to y.
inline MMatrix turnZ90() { return rows({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}); }

}  // namespace meshtest
