// The creators against Maya's own output: the reference export of a default
// cube, cylinder, sphere and 1 x 1 plane, meshes Maya stored in scene files
// (read from the corpus or quoted here), and samples of a stored torus.

#include "mesh/PolyCreators.h"
#include "MeshTestUtil.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <sstream>

using namespace mayahost;
using namespace meshtest;

namespace {

const std::string kCorpus = GLOWBOX_CORPUS_DIR;
constexpr double kTol = 1e-6;
constexpr double kPointTol = 2e-7;  // points follow Maya's own single-precision rounding

// --- The reference export ------------------------------------------------------------

// The numbers of one field of one primitive in the reference export, flattened.
std::vector<double> jsonNumbers(const std::string& text, const std::string& primitive, const std::string& field) {
    std::vector<double> out;
    int depth = 0;
    for (size_t i = text.find('[', text.find('"' + field + '"', text.find('"' + primitive + '"'))); i < text.size(); ++i) {
        if (text[i] == '[' || text[i] == ']') {
            if ((depth += text[i] == '[' ? 1 : -1) == 0) break;
        } else if (text[i] == '-' || std::isdigit(static_cast<unsigned char>(text[i]))) {
            char* end = nullptr;
            out.push_back(std::strtod(text.c_str() + i, &end));
            i = size_t(end - text.c_str()) - 1;
        }
    }
    return out;
}

std::vector<int32_t> ids(const std::vector<double>& numbers) { return {numbers.begin(), numbers.end()}; }

// Renumbers ids in order of first appearance: two id lists with the same
// sharing pattern map to the same result.
std::vector<int32_t> firstAppearance(const std::vector<int32_t>& list) {
    std::map<int32_t, int32_t> seen;
    std::vector<int32_t> out;
    for (int32_t id : list) out.push_back(seen.emplace(id, int32_t(seen.size())).first->second);
    return out;
}

// Points and faces must agree, and so must the uv values per face-vertex and
// the way uvs are shared. The reference exporter renumbered some sets in order
// of first use; where it did, ids are compared after the same renumbering,
// else as they are. A set exported with one uv per face-vertex (its "indices"
// then merely repeat the vertex ids) lists the values corner by corner.
void expectMatchesExport(const MeshData& m, const std::string& text, const std::string& key) {
    const std::vector<double> points = jsonNumbers(text, key, "points"), counts = jsonNumbers(text, key, "faceVertexCounts"),
                              uvs = jsonNumbers(text, key, "uvs");
    const std::vector<int32_t> indices = ids(jsonNumbers(text, key, "faceVertexIndices")),
                               uvIndices = ids(jsonNumbers(text, key, "uvIndices"));
    ASSERT_EQ(m.points.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i) ASSERT_NEAR(m.points[i], points[i], kPointTol) << "coordinate " << i;
    ASSERT_EQ(m.numFaces(), counts.size());
    for (size_t f = 0; f < counts.size(); ++f) ASSERT_EQ(faceCorners(m, f).size(), size_t(counts[f])) << "face " << f;
    EXPECT_EQ(m.faceVertices, indices);
    ASSERT_EQ(m.uvSets.size(), 1u);
    const MeshUVSet& set = m.uvSets[0];
    EXPECT_EQ(set.name, "map1");
    ASSERT_EQ(std::pair(2 * set.u.size(), set.faceVertexUV.size()), std::pair(uvs.size(), uvIndices.size()));
    const bool perCorner = uvs.size() == 2 * indices.size() && uvIndices == indices;
    for (size_t i = 0; i < uvIndices.size(); ++i) {
        const int32_t mine = set.faceVertexUV[i], theirs = perCorner ? int32_t(i) : uvIndices[i];
        ASSERT_TRUE(mine >= 0 && size_t(mine) < set.u.size()) << "face-vertex " << i;
        ASSERT_NEAR(set.u[mine], uvs[2 * theirs], kTol) << "face-vertex " << i;
        ASSERT_NEAR(set.v[mine], uvs[2 * theirs + 1], kTol) << "face-vertex " << i;
    }
    if (perCorner)
        EXPECT_EQ(set.faceVertexUV, indices) << "Maya's own numbering: the plane's uvs follow its vertices";
    else if (firstAppearance(uvIndices) == uvIndices)
        EXPECT_EQ(firstAppearance(set.faceVertexUV), uvIndices);
    else
        EXPECT_EQ(set.faceVertexUV, uvIndices);
}

TEST(PolyCreatorOracle, DefaultsMatchMayaExport) {
    const std::string text = readFile(kCorpus + "/reference/maya-primitives.json");
    if (text.empty()) GTEST_SKIP() << "corpus reference/maya-primitives.json not present";
    // The cube and cylinder with the values the interactive command writes into scene files.
    const std::pair<const char*, MeshData> cases[] = {
        {"polyCube (default)", makePolyCube({.createUVs = 4})},
        {"polyCylinder (default)", makePolyCylinder({.subdivisionsCaps = 1, .createUVs = 3})},
        {"polySphere (default)", makePolySphere({})},
        {"polyPlane (1 x 1 subdivisions)", makePolyPlane({.subdivisionsWidth = 1, .subdivisionsHeight = 1, .createUVs = 2})}};
    for (const auto& [key, mesh] : cases) {
        SCOPED_TRACE(key);
        expectMatchesExport(mesh, text, key);
    }
}

// --- Meshes Maya stored ------------------------------------------------------------

// The numbers of one setAttr statement of the block, joined across lines.
std::vector<double> numbersAfter(const std::string& block, const std::string& attr) {
    const size_t at = block.find(attr);
    if (at == std::string::npos) return {};
    std::string body = block.substr(at + attr.size(), block.find(';', at) - at - attr.size());
    const size_t type = body.find("-type");
    if (type != std::string::npos) body = body.substr(body.find('"', body.find('"', type) + 1) + 1);
    std::istringstream in(body);
    std::vector<double> out;
    for (double x; in >> x;) out.push_back(x);
    return out;
}

// Compares a creator's mesh with a mesh block Maya stored: points, edges with
// their hard (0) / soft (1) flags, uv points, and the faces, each written
// "f <n> <edges...> mu 0 <n> <uv ids...>" (a negative edge -e-1 is edge e
// walked backwards). An excerpt that skips faces puts "face <index>" first.
void expectMatchesStored(const MeshData& m, const std::string& block, size_t vertices, size_t edges, size_t uvs,
                         size_t faces) {
    auto range = [](const char* attr, size_t n) { return std::string("\".") + attr + "[0:" + std::to_string(n - 1) + "]\""; };
    const std::vector<double> vt = numbersAfter(block, range("vt", vertices)), ed = numbersAfter(block, range("ed", edges)),
                              uv = numbersAfter(block, range("uvst[0].uvsp", uvs));
    ASSERT_EQ(std::tuple(vt.size(), ed.size(), uv.size(), m.numVertices()), std::tuple(3 * vertices, 3 * edges, 2 * uvs, vertices));
    for (size_t i = 0; i < vt.size(); ++i) EXPECT_NEAR(m.points[i], vt[i], kPointTol) << "coordinate " << i;
    ASSERT_EQ(m.numEdges(), edges);
    for (size_t e = 0; e < edges; ++e)
        EXPECT_EQ(std::tuple(m.edges[2 * e], m.edges[2 * e + 1], int(m.edgeSmooth[e])),
                  std::tuple(int32_t(ed[3 * e]), int32_t(ed[3 * e + 1]), int(ed[3 * e + 2])))
            << "edge " << e;
    const MeshUVSet& set = m.uvSets.at(0);
    ASSERT_EQ(set.u.size(), uvs);
    for (size_t i = 0; i < uvs; ++i) {
        EXPECT_NEAR(set.u[i], uv[2 * i], kTol) << "uv " << i;
        EXPECT_NEAR(set.v[i], uv[2 * i + 1], kTol) << "uv " << i;
    }
    std::istringstream in(block);
    size_t face = 0, checked = 0;
    for (std::string word; in >> word;) {
        if (word == "face") in >> face;
        if (word != "f") continue;
        size_t n = 0, nuv = 0;
        int uvSet = -1;
        std::string mu;
        in >> n;
        std::vector<int> sides(n);
        for (int& e : sides) in >> e;
        ASSERT_TRUE(in >> mu >> uvSet >> nuv && mu == "mu" && uvSet == 0 && nuv == n) << "face " << face;
        ASSERT_LT(face, m.numFaces());
        const std::vector<int32_t> corners = faceCorners(m, face);
        ASSERT_EQ(corners.size(), n) << "face " << face;
        for (size_t k = 0; k < n; ++k) {
            const int e = sides[k];
            int32_t uvId = -1;
            ASSERT_TRUE(in >> uvId);
            EXPECT_EQ(corners[k], e >= 0 ? int32_t(ed[3 * e]) : int32_t(ed[3 * (-e - 1) + 1]))
                << "face " << face << " corner " << k;
            EXPECT_EQ(set.faceVertexUV[m.loopStart[m.faceLoopStart[face]] + k], uvId) << "face " << face << " corner " << k;
        }
        ++face, ++checked;
    }
    EXPECT_EQ(checked, faces);
}

TEST(PolyCreatorOracle, DefaultCubeMatchesCubeStoredByMaya) {
    const std::string file = kCorpus + "/mayausd/UsdExportBlendShapesTest__blendShapesExport.ma";
    const std::string text = readFile(file);
    if (text.empty()) GTEST_SKIP() << "corpus scene not present: " << file;
    // The blend target "tgtShape" is a duplicate of a default cube: Maya wrote
    // its points, edges, faces and uvs out in full.
    const size_t begin = text.find("createNode mesh -n \"tgtShape\"");
    ASSERT_NE(begin, std::string::npos);
    expectMatchesStored(makePolyCube({.createUVs = 4}), text.substr(begin, text.find("createNode", begin + 10) - begin),
                        8, 12, 14, 6);
}

TEST(PolyCreatorOracle, TallCubeKeepsTheUnitCubeUVLayout) {
    // Maya (2022 or later) stores a cube of height 2 with the unit cube's
    // edges, faces and uv layout, its points stretched along y.
    const MeshData unit = makePolyCube({.createUVs = 4}), tall = makePolyCube({.height = 2, .createUVs = 4});
    const auto same = [](const MeshData& m) { return std::tie(m.edges, m.edgeSmooth, m.faceVertices, m.uvSets.at(0).u, m.uvSets[0].v, m.uvSets[0].faceVertexUV); };
    EXPECT_TRUE(same(tall) == same(unit));
    for (size_t v = 0; v < 8; ++v) {
        const MeshVec p = pointOf(unit, v);
        EXPECT_TRUE(near(pointOf(tall, v), {p.x, 2 * p.y, p.z})) << v;
    }
}

// Excerpts of public scenes saved by Maya. A polyCube with two subdivisions
// in every direction: its points, edges (with hard/soft flags), uvs and those
// faces the excerpt keeps.
constexpr const char* kMayaCube222 = R"(
setAttr -s 39 ".uvst[0].uvsp[0:38]" -type "float2" 0.375 0 0.5 0 0.625
 0 0.375 0.125 0.5 0.125 0.625 0.125 0.375 0.25 0.5 0.25 0.625 0.25 0.375 0.375 0.5
 0.375 0.625 0.375 0.375 0.5 0.5 0.5 0.625 0.5 0.375 0.625 0.5 0.625 0.625 0.625 0.375
 0.75 0.5 0.75 0.625 0.75 0.375 0.875 0.5 0.875 0.625 0.875 0.375 1 0.5 1 0.625 1
 0.875 0 0.75 0 0.875 0.125 0.75 0.125 0.875 0.25 0.75 0.25 0.125 0 0.25 0 0.125 0.125
 0.25 0.125 0.125 0.25 0.25 0.25;
setAttr -s 26 ".vt[0:25]"  -0.5 -0.5 0.5 0 -0.5 0.5 0.5 -0.5 0.5 -0.5 0 0.5
 0 0 0.5 0.5 0 0.5 -0.5 0.5 0.5 0 0.5 0.5 0.5 0.5 0.5 -0.5 0.5 0 0 0.5 0 0.5 0.5 0
 -0.5 0.5 -0.5 0 0.5 -0.5 0.5 0.5 -0.5 -0.5 0 -0.5 0 0 -0.5 0.5 0 -0.5 -0.5 -0.5 -0.5
 0 -0.5 -0.5 0.5 -0.5 -0.5 -0.5 -0.5 0 0 -0.5 0 0.5 -0.5 0 0.5 0 0 -0.5 0 0;
setAttr -s 48 ".ed[0:47]"  0 1 0 1 2 0 3 4 1 4 5 1 6 7 0 7 8 0 9 10 1
 10 11 1 12 13 0 13 14 0 15 16 1 16 17 1 18 19 0 19 20 0 21 22 1 22 23 1 0 3 0 1 4 1
 2 5 0 3 6 0 4 7 1 5 8 0 6 9 0 7 10 1 8 11 0 9 12 0 10 13 1 11 14 0 12 15 0 13 16 1
 14 17 0 15 18 0 16 19 1 17 20 0 18 21 0 19 22 1 20 23 0 21 0 0 22 1 1 23 2 0 17 24 1
 24 5 1 23 24 1 24 11 1 15 25 1 25 3 1 21 25 1 25 9 1;
face 0 f 4 0 17 -3 -17 mu 0 4 0 1 4 3
face 1 f 4 1 18 -4 -18 mu 0 4 1 2 5 4
face 2 f 4 2 20 -5 -20 mu 0 4 3 4 7 6
face 3 f 4 3 21 -6 -21 mu 0 4 4 5 8 7
face 4 f 4 4 23 -7 -23 mu 0 4 6 7 10 9
face 17 f 4 -40 42 41 -19 mu 0 4 2 28 30 5
face 18 f 4 -41 -31 -28 -44 mu 0 4 30 29 31 32
face 19 f 4 -42 43 -25 -22 mu 0 4 5 30 32 8
face 20 f 4 34 46 -45 31 mu 0 4 33 34 36 35
face 21 f 4 37 16 -46 -47 mu 0 4 34 0 3 36
face 22 f 4 44 47 25 28 mu 0 4 35 36 38 37
face 23 f 4 45 19 22 -48 mu 0 4 36 3 6 38
)";

// A default cone (the node's own defaults: flat base).
constexpr const char* kMayaCone = R"(
setAttr -s 42 ".uvst[0].uvsp[0:41]" -type "float2" 0.7377643 0.1727457
 0.70225441 0.1030536 0.64694643 0.04774563 0.5772543 0.012235746 0.5 -1.1920929e-07
 0.4227457 0.012235761 0.35305363 0.047745675 0.2977457 0.10305364 0.26223582 0.17274573
 0.24999994 0.25 0.26223582 0.32725427 0.2977457 0.39694634 0.35305366 0.4522543 0.42274573
 0.48776418 0.5 0.5 0.57725424 0.48776415 0.64694631 0.45225427 0.70225424 0.39694631
 0.73776412 0.32725424 0.75 0.25 0.25 0.5 0.27500001 0.5 0.30000001 0.5 0.32500002
 0.5 0.35000002 0.5 0.37500003 0.5 0.40000004 0.5 0.42500004 0.5 0.45000005 0.5 0.47500005
 0.5 0.50000006 0.5 0.52500004 0.5 0.55000001 0.5 0.57499999 0.5 0.59999996 0.5 0.62499994
 0.5 0.64999992 0.5 0.67499989 0.5 0.69999987 0.5 0.72499985 0.5 0.74999982 0.5 0.5
 1;
setAttr -s 21 ".vt[0:20]"  0.95105714 -1 -0.30901718 0.80901754 -1 -0.5877856
 0.5877856 -1 -0.80901748 0.30901715 -1 -0.95105702 0 -1 -1.000000476837 -0.30901715 -1 -0.95105696
 -0.58778548 -1 -0.8090173 -0.80901724 -1 -0.58778542 -0.95105678 -1 -0.30901706 -1.000000238419 -1 0
 -0.95105678 -1 0.30901706 -0.80901718 -1 0.58778536 -0.58778536 -1 0.80901712 -0.30901706 -1 0.95105666
 -2.9802322e-08 -1 1.000000119209 0.30901697 -1 0.9510566 0.58778524 -1 0.80901706
 0.809017 -1 0.5877853 0.95105654 -1 0.309017 1 -1 0 0 1 0;
setAttr -s 40 ".ed[0:39]"  0 1 0 1 2 0 2 3 0 3 4 0 4 5 0 5 6 0 6 7 0
 7 8 0 8 9 0 9 10 0 10 11 0 11 12 0 12 13 0 13 14 0 14 15 0 15 16 0 16 17 0 17 18 0
 18 19 0 19 0 0 0 20 1 1 20 1 2 20 1 3 20 1 4 20 1 5 20 1 6 20 1 7 20 1 8 20 1 9 20 1
 10 20 1 11 20 1 12 20 1 13 20 1 14 20 1 15 20 1 16 20 1 17 20 1 18 20 1 19 20 1;
face 0 f 20 -20 -19 -18 -17 -16 -15 -14 -13 -12 -11 -10 -9 -8 -7 -6 -5 -4 -3 -2 -1 mu 0 20 0 19 18 17 16 15 14 13 12 11 10 9 8 7 6 5 4 3 2 1
face 1 f 3 0 21 -21 mu 0 3 20 21 41
face 2 f 3 1 22 -22 mu 0 3 21 22 41
face 19 f 3 18 39 -39 mu 0 3 38 39 41
face 20 f 3 19 20 -40 mu 0 3 39 40 41
)";

// A default pyramid: points from one scene, edges, faces and uvs from
// another whose points were edited afterwards.
constexpr const char* kMayaPyramid = R"(
setAttr -s 10 ".uvst[0].uvsp[0:9]" -type "float2" 0.50000006 0 0.25
 0.24999999 0.5 0.5 0.75 0.25 0.25 0.5 0.375 0.5 0.5 0.5 0.625 0.5 0.75 0.5 0.5 1;
setAttr -s 5 ".vt[0:4]"  9.2725848e-008 -0.35355338 -0.70710677 -0.70710677 -0.35355338 -6.1817239e-008
 -3.090862e-008 -0.35355338 0.70710677 0.70710677 -0.35355338 0 0 0.35355338 0;
setAttr -s 8 ".ed[0:7]"  0 1 0 1 2 0 2 3 0 3 0 0 0 4 0 1 4 0 2 4 0
 3 4 0;
face 0 f 4 -4 -3 -2 -1 mu 0 4 0 3 2 1
face 1 f 3 0 5 -5 mu 0 3 4 5 9
face 2 f 3 1 6 -6 mu 0 3 5 6 9
face 3 f 3 2 7 -7 mu 0 3 6 7 9
face 4 f 3 3 4 -8 mu 0 3 7 8 9
)";

// A default prism, with the uv layout of the old Maya.
constexpr const char* kMayaPrism = R"(
setAttr -s 14 ".uvst[0].uvsp[0:13]" -type "float2" 0.421875 0.020933509
 0.421875 0.29156646 0.65625 0.15625 0.375 0.3125 0.45833334 0.3125 0.54166669 0.3125
 0.625 0.3125 0.375 0.68843985 0.45833334 0.68843985 0.54166669 0.68843985 0.625 0.68843985
 0.421875 0.70843351 0.421875 0.97906649 0.65625 0.84375;
setAttr -s 6 ".vt[0:5]"  -0.2886751 -1 -0.50000006 -0.28867516 -1 0.49999997
 0.57735026 -1 0 -0.2886751 1 -0.50000006 -0.28867516 1 0.49999997 0.57735026 1 0;
setAttr -s 9 ".ed[0:8]"  0 1 0 1 2 0 2 0 0 3 4 0 4 5 0 5 3 0 0 3 0
 1 4 0 2 5 0;
face 0 f 4 0 7 -4 -7 mu 0 4 3 4 8 7
face 1 f 4 1 8 -5 -8 mu 0 4 4 5 9 8
face 2 f 4 2 6 -6 -9 mu 0 4 5 6 10 9
face 3 f 3 -3 -2 -1 mu 0 3 0 2 1
face 4 f 3 3 4 5 mu 0 3 12 11 13
)";

TEST(PolyCreatorOracle, CreatorsMatchExcerptsMayaStored) {
    const struct {
        const char* name;
        MeshData mesh;
        const char* block;
        size_t vertices, edges, uvs, faces;
    } cases[] = {
        {"cube 2 x 2 x 2",
         makePolyCube({.subdivisionsWidth = 2, .subdivisionsHeight = 2, .subdivisionsDepth = 2, .createUVs = 4}),
         kMayaCube222, 26, 48, 39, 12},
        {"cone", makePolyCone({}), kMayaCone, 21, 40, 42, 5},
        {"pyramid", makePolyPyramid({}), kMayaPyramid, 5, 8, 10, 5},
        {"prism", makePolyPrism({}), kMayaPrism, 6, 9, 14, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectMatchesStored(c.mesh, c.block, c.vertices, c.edges, c.uvs, c.faces);
    }
}

// A default torus as Maya stored it is too long to quote whole: these are
// samples of its points, edges, faces and uvs.
TEST(PolyCreatorOracle, DefaultTorusMatchesSamplesOfMayaStoredData) {
    const MeshData m = makePolyTorus({});
    ASSERT_EQ(std::tuple(m.numVertices(), m.numEdges(), m.numFaces()), std::tuple(400u, 800u, 400u));
    for (auto [id, point] : {std::pair{0, MeshVec{0.47552857, 0, -0.15450859}}, {19, {0.5, 0, 0}},
                             {20, {0.4988026, 0.1545085, -0.16207078}}, {100, {0.95105714, 0.50000006, -0.30901718}},
                             {200, {1.42658579, 0, -0.4635258}}, {399, {0.5244714, -0.15450859, 0}}})
        EXPECT_TRUE(near(pointOf(m, size_t(id)), point, kTol)) << "vertex " << id;
    for (auto [id, a, b] : {std::tuple{0, 0, 1}, {19, 19, 0}, {20, 20, 21}, {400, 0, 20}, {663, 263, 283}, {780, 380, 0},
                            {799, 399, 19}}) {
        EXPECT_EQ(std::pair(m.edges[2 * id], m.edges[2 * id + 1]), std::pair(a, b)) << "edge " << id;
        EXPECT_EQ(m.edgeSmooth[id], 1) << "edge " << id;
    }
    const MeshUVSet& uv = m.uvSets.at(0);
    for (auto [id, corners, uvIds] : {std::tuple{0, std::vector<int32_t>{1, 0, 20, 21}, std::vector<int32_t>{1, 0, 21, 22}},
                                      {19, {0, 19, 39, 20}, {20, 19, 40, 41}}, {20, {21, 20, 40, 41}, {22, 21, 42, 43}}}) {
        EXPECT_EQ(faceCorners(m, id), corners) << "face " << id;
        EXPECT_EQ(std::vector<int32_t>(uv.faceVertexUV.begin() + 4 * id, uv.faceVertexUV.begin() + 4 * id + 4), uvIds)
            << "face " << id;
    }
    ASSERT_EQ(uv.u.size(), 441u);
    // Rows from the top of the texture down, with a seam column at u = 1.
    for (auto [id, isU, want] : {std::tuple{0, true, 0.0}, {0, false, 1.0}, {20, true, 1.0}, {21, false, 0.95}, {440, false, 0.0}})
        EXPECT_NEAR((isU ? uv.u : uv.v)[size_t(id)], want, 2e-7) << "uv " << id << (isU ? " u" : " v");
}

}  // namespace
