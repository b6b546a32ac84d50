// The creators against Maya's own output: the reference export of a default
// cube, cylinder, sphere and 1 x 1 plane, and a default cube that Maya
// stored in a scene file with its edges and uvs.

#include "mesh/PolyCreators.h"
#include "polycreator_util.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using mayahost::MeshData;
using polytest::Json;

namespace {

const std::string kCorpus = GLOWBOX_CORPUS_DIR;
constexpr double kTol = 1e-6;
constexpr double kPointTol = 2e-7;  // points follow Maya's own single-precision rounding

struct Reference {
    std::vector<std::array<double, 3>> points;
    std::vector<int32_t> counts, indices, uvIndices;
    std::vector<std::array<double, 2>> uvs;
};

// Loads one primitive of the reference file; GTEST_SKIP when the corpus is absent.
bool loadReference(const std::string& key, Reference& ref, std::string& why) {
    std::string text;
    if (!polytest::readFile(kCorpus + "/reference/maya-primitives.json", text)) {
        why = "corpus reference/maya-primitives.json not present";
        return false;
    }
    const Json root = polytest::JsonParser(text).parse();
    const Json& prim = root.at(key);
    for (const Json& p : prim.at("points").items)
        ref.points.push_back({p.items.at(0).number, p.items.at(1).number, p.items.at(2).number});
    for (const Json& c : prim.at("faceVertexCounts").items) ref.counts.push_back(int32_t(c.number));
    for (const Json& c : prim.at("faceVertexIndices").items) ref.indices.push_back(int32_t(c.number));
    for (const Json& c : prim.at("uvIndices").items) ref.uvIndices.push_back(int32_t(c.number));
    for (const Json& p : prim.at("uvs").items) ref.uvs.push_back({p.items.at(0).number, p.items.at(1).number});
    return true;
}

void expectPointsMatch(const MeshData& m, const Reference& ref) {
    ASSERT_EQ(m.numVertices(), ref.points.size());
    for (size_t v = 0; v < ref.points.size(); ++v)
        for (int c = 0; c < 3; ++c)
            ASSERT_NEAR(m.points[3 * v + c], ref.points[v][c], kPointTol) << "vertex " << v << " coordinate " << c;
}

void expectFacesMatch(const MeshData& m, const Reference& ref) {
    const auto loops = polytest::faceLoops(m);
    ASSERT_EQ(loops.size(), ref.counts.size());
    size_t at = 0;
    for (size_t f = 0; f < loops.size(); ++f) {
        ASSERT_EQ(loops[f].size(), size_t(ref.counts[f])) << "face " << f;
        for (int32_t v : loops[f]) ASSERT_EQ(v, ref.indices[at++]) << "face " << f;
    }
}

// Uv values per face-vertex must agree exactly, and so must the way uvs are
// shared. The reference exporter renumbered some sets in order of first use;
// where it did, ids are compared after the same renumbering, else as they are.
// A set exported with one uv per face-vertex (its "indices" then merely
// repeat the vertex ids) lists the values corner by corner.
void expectUVsMatch(const MeshData& m, const Reference& ref) {
    ASSERT_EQ(m.uvSets.size(), 1u);
    const mayahost::MeshUVSet& set = m.uvSets[0];
    EXPECT_EQ(set.name, "map1");
    ASSERT_EQ(set.u.size(), ref.uvs.size());
    ASSERT_EQ(set.faceVertexUV.size(), ref.uvIndices.size());
    const bool perCorner = ref.uvs.size() == ref.indices.size() && ref.uvIndices == ref.indices;
    for (size_t i = 0; i < ref.uvIndices.size(); ++i) {
        const int32_t mine = set.faceVertexUV[i], theirs = perCorner ? int32_t(i) : ref.uvIndices[i];
        ASSERT_GE(mine, 0);
        ASSERT_LT(size_t(mine), set.u.size());
        ASSERT_NEAR(set.u[mine], ref.uvs[theirs][0], kTol) << "face-vertex " << i;
        ASSERT_NEAR(set.v[mine], ref.uvs[theirs][1], kTol) << "face-vertex " << i;
    }
    if (perCorner) {
        // Maya's own numbering: the plane's uvs follow its vertices.
        EXPECT_EQ(set.faceVertexUV, ref.indices);
        return;
    }
    const bool renumbered = polytest::firstAppearance(ref.uvIndices) == ref.uvIndices;
    if (renumbered)
        EXPECT_EQ(polytest::firstAppearance(set.faceVertexUV), ref.uvIndices);
    else
        EXPECT_EQ(set.faceVertexUV, ref.uvIndices);
}

#define LOAD_OR_SKIP(key, ref)                         \
    Reference ref;                                     \
    {                                                  \
        std::string why;                               \
        if (!loadReference(key, ref, why)) GTEST_SKIP() << why; \
    }

TEST(PolyCreatorOracle, DefaultCubeMatchesMayaExport) {
    LOAD_OR_SKIP("polyCube (default)", ref);
    mayahost::PolyCubeParams p;
    p.createUVs = 4;  // what the interactive command writes
    const MeshData m = mayahost::makePolyCube(p);
    expectPointsMatch(m, ref);
    expectFacesMatch(m, ref);
    expectUVsMatch(m, ref);
}

TEST(PolyCreatorOracle, DefaultCylinderMatchesMayaExport) {
    LOAD_OR_SKIP("polyCylinder (default)", ref);
    mayahost::PolyCylinderParams p;
    p.subdivisionsCaps = 1;  // the command's defaults, as scene files store them
    p.createUVs = 3;
    const MeshData m = mayahost::makePolyCylinder(p);
    expectPointsMatch(m, ref);
    expectFacesMatch(m, ref);
    expectUVsMatch(m, ref);
}

TEST(PolyCreatorOracle, DefaultSphereMatchesMayaExport) {
    LOAD_OR_SKIP("polySphere (default)", ref);
    const MeshData m = mayahost::makePolySphere({});
    expectPointsMatch(m, ref);
    expectFacesMatch(m, ref);
    expectUVsMatch(m, ref);
}

TEST(PolyCreatorOracle, UnitPlaneMatchesMayaExport) {
    LOAD_OR_SKIP("polyPlane (1 x 1 subdivisions)", ref);
    mayahost::PolyPlaneParams p;
    p.subdivisionsWidth = 1;
    p.subdivisionsHeight = 1;
    p.createUVs = 2;
    const MeshData m = mayahost::makePolyPlane(p);
    expectPointsMatch(m, ref);
    expectFacesMatch(m, ref);
    expectUVsMatch(m, ref);
}

// --- A default cube as Maya stored it in a scene --------------------------------

// The numbers of one setAttr statement of the block, joined across lines.
std::vector<double> numbersAfter(const std::string& block, const std::string& attr) {
    const size_t at = block.find(attr);
    if (at == std::string::npos) return {};
    size_t end = block.find(';', at);
    std::string body = block.substr(at + attr.size(), end - at - attr.size());
    const size_t type = body.find("-type");
    if (type != std::string::npos) body = body.substr(body.find('"', body.find('"', type) + 1) + 1);
    std::istringstream in(body);
    std::vector<double> out;
    double x;
    while (in >> x) out.push_back(x);
    return out;
}

TEST(PolyCreatorOracle, DefaultCubeMatchesCubeStoredByMaya) {
    std::string text;
    const std::string file = kCorpus + "/mayausd/UsdExportBlendShapesTest__blendShapesExport.ma";
    if (!polytest::readFile(file, text)) GTEST_SKIP() << "corpus scene not present: " << file;
    // The blend target "tgtShape" is a duplicate of a default cube: Maya wrote
    // its points, edges, faces and uvs out in full.
    const size_t begin = text.find("createNode mesh -n \"tgtShape\"");
    ASSERT_NE(begin, std::string::npos);
    const std::string block = text.substr(begin, text.find("createNode", begin + 10) - begin);

    const std::vector<double> vt = numbersAfter(block, "\".vt[0:7]\"");
    const std::vector<double> ed = numbersAfter(block, "\".ed[0:11]\"");
    const std::vector<double> uv = numbersAfter(block, "\".uvst[0].uvsp[0:13]\"");
    ASSERT_EQ(vt.size(), 24u);
    ASSERT_EQ(ed.size(), 36u);
    ASSERT_EQ(uv.size(), 28u);

    mayahost::PolyCubeParams p;
    p.createUVs = 4;
    const MeshData m = mayahost::makePolyCube(p);
    ASSERT_EQ(m.numVertices(), 8u);
    for (size_t i = 0; i < vt.size(); ++i) EXPECT_NEAR(m.points[i], vt[i], kPointTol);

    // Edges in Maya's order with its hard (0) / soft (1) flags.
    ASSERT_EQ(m.numEdges(), 12u);
    for (size_t e = 0; e < 12; ++e) {
        EXPECT_EQ(m.edges[2 * e], int32_t(ed[3 * e])) << "edge " << e;
        EXPECT_EQ(m.edges[2 * e + 1], int32_t(ed[3 * e + 1])) << "edge " << e;
        EXPECT_EQ(m.edgeSmooth[e], uint8_t(ed[3 * e + 2])) << "edge " << e;
    }

    // Uv points in Maya's own order.
    const mayahost::MeshUVSet& set = m.uvSets.at(0);
    ASSERT_EQ(set.u.size(), 14u);
    for (size_t i = 0; i < 14; ++i) {
        EXPECT_NEAR(set.u[i], uv[2 * i], kTol) << "uv " << i;
        EXPECT_NEAR(set.v[i], uv[2 * i + 1], kTol) << "uv " << i;
    }

    // Faces: "f" lists edges (negative: walked backwards, ~e), "mu" the uv ids.
    std::regex faceRe("f 4 (-?\\d+) (-?\\d+) (-?\\d+) (-?\\d+)\\s+mu 0 4 (\\d+) (\\d+) (\\d+) (\\d+)");
    const auto loops = polytest::faceLoops(m);
    size_t f = 0;
    for (auto it = std::sregex_iterator(block.begin(), block.end(), faceRe); it != std::sregex_iterator(); ++it, ++f) {
        ASSERT_LT(f, loops.size());
        for (int k = 0; k < 4; ++k) {
            const int e = std::stoi((*it)[1 + k].str());
            const int32_t start = e >= 0 ? int32_t(ed[3 * e]) : int32_t(ed[3 * (-e - 1) + 1]);
            EXPECT_EQ(loops[f][k], start) << "face " << f << " corner " << k;
            EXPECT_EQ(set.faceVertexUV[4 * f + k], std::stoi((*it)[5 + k].str())) << "face " << f;
        }
    }
    EXPECT_EQ(f, 6u);
}

// --- A 2 x 2 x 2 cube as Maya stored it -------------------------------------------

// Excerpt of a public scene saved by Maya: a polyCube with two subdivisions
// in every direction, its points, edges (with hard/soft flags), uvs and
// those faces the excerpt keeps (index, edge loop, uv ids).
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

// Compares a creator's mesh with an excerpt of a mesh Maya stored: points,
// edges with flags, uv points, and the faces the excerpt lists as
// "face <index> f <n> <edges...> mu 0 <n> <uv ids...>".
void expectMatchesStored(const MeshData& m, const std::string& block, size_t vertices, size_t edges,
                         size_t uvs, size_t facesListed) {
    const std::string last = [](size_t n) { return std::to_string(n - 1) + "]\""; }(vertices);
    const std::vector<double> vt = numbersAfter(block, "\".vt[0:" + last);
    const std::vector<double> ed = numbersAfter(block, "\".ed[0:" + std::to_string(edges - 1) + "]\"");
    const std::vector<double> uv = numbersAfter(block, "\".uvst[0].uvsp[0:" + std::to_string(uvs - 1) + "]\"");
    ASSERT_EQ(vt.size(), 3 * vertices);
    ASSERT_EQ(ed.size(), 3 * edges);
    ASSERT_EQ(uv.size(), 2 * uvs);

    ASSERT_EQ(m.numVertices(), vertices);
    for (size_t i = 0; i < vt.size(); ++i) EXPECT_NEAR(m.points[i], vt[i], kPointTol) << "coordinate " << i;
    ASSERT_EQ(m.numEdges(), edges);
    for (size_t e = 0; e < edges; ++e) {
        EXPECT_EQ(m.edges[2 * e], int32_t(ed[3 * e])) << "edge " << e;
        EXPECT_EQ(m.edges[2 * e + 1], int32_t(ed[3 * e + 1])) << "edge " << e;
        EXPECT_EQ(m.edgeSmooth[e], uint8_t(ed[3 * e + 2])) << "edge " << e;
    }
    const mayahost::MeshUVSet& set = m.uvSets.at(0);
    ASSERT_EQ(set.u.size(), uvs);
    for (size_t i = 0; i < uvs; ++i) {
        EXPECT_NEAR(set.u[i], uv[2 * i], kTol) << "uv " << i;
        EXPECT_NEAR(set.v[i], uv[2 * i + 1], kTol) << "uv " << i;
    }
    const auto loops = polytest::faceLoops(m);
    std::istringstream lines(block);
    std::string line;
    size_t checked = 0;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string word, f, mu;
        size_t face = 0, n = 0, nuv = 0;
        int set0 = 0;
        if (!(in >> word) || word != "face") continue;
        ASSERT_TRUE(in >> face >> f >> n) << line;
        ASSERT_LT(face, loops.size());
        ASSERT_EQ(loops[face].size(), n) << "face " << face;
        size_t first = 0;
        for (size_t i = 0; i < m.faceLoopStart[face]; ++i) first += loops[i].size();
        std::vector<int> edgeIds(n);
        for (size_t k = 0; k < n; ++k) ASSERT_TRUE(in >> edgeIds[k]);
        ASSERT_TRUE(in >> mu >> set0 >> nuv) << line;
        ASSERT_EQ(nuv, n);
        for (size_t k = 0; k < n; ++k) {
            const int e = edgeIds[k];
            const int32_t start = e >= 0 ? int32_t(ed[3 * e]) : int32_t(ed[3 * (-e - 1) + 1]);
            EXPECT_EQ(loops[face][k], start) << "face " << face << " corner " << k;
            int32_t uvId = -1;
            ASSERT_TRUE(in >> uvId);
            EXPECT_EQ(set.faceVertexUV[first + k], uvId) << "face " << face << " corner " << k;
        }
        ++checked;
    }
    EXPECT_EQ(checked, facesListed);
}

TEST(PolyCreatorOracle, SubdividedCubeMatchesMayaStoredData) {
    mayahost::PolyCubeParams p;
    p.subdivisionsWidth = p.subdivisionsHeight = p.subdivisionsDepth = 2;
    p.createUVs = 4;
    expectMatchesStored(mayahost::makePolyCube(p), kMayaCube222, 26, 48, 39, 12);
}

// Excerpt of a default cone (the node's own defaults: flat base) as Maya
// stored it.
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

TEST(PolyCreatorOracle, DefaultConeMatchesMayaStoredData) {
    expectMatchesStored(mayahost::makePolyCone({}), kMayaCone, 21, 40, 42, 5);
}

// A default torus as Maya stored it is too long to quote whole: these are
// samples of its points, edges, faces and uvs.
TEST(PolyCreatorOracle, DefaultTorusMatchesSamplesOfMayaStoredData) {
    const MeshData m = mayahost::makePolyTorus({});
    ASSERT_EQ(m.numVertices(), 400u);
    ASSERT_EQ(m.numEdges(), 800u);
    ASSERT_EQ(m.numFaces(), 400u);
    struct Point { int id; double x, y, z; };
    for (const Point& q : {Point{0, 0.47552857, 0, -0.15450859}, Point{19, 0.5, 0, 0},
                           Point{20, 0.4988026, 0.1545085, -0.16207078},
                           Point{100, 0.95105714, 0.50000006, -0.30901718},
                           Point{200, 1.42658579, 0, -0.4635258}, Point{399, 0.5244714, -0.15450859, 0}}) {
        EXPECT_NEAR(m.points[3 * q.id], q.x, kTol) << "vertex " << q.id;
        EXPECT_NEAR(m.points[3 * q.id + 1], q.y, kTol) << "vertex " << q.id;
        EXPECT_NEAR(m.points[3 * q.id + 2], q.z, kTol) << "vertex " << q.id;
    }
    struct Edge { int id, a, b, smooth; };
    for (const Edge& e : {Edge{0, 0, 1, 1}, Edge{19, 19, 0, 1}, Edge{20, 20, 21, 1}, Edge{400, 0, 20, 1},
                          Edge{663, 263, 283, 1}, Edge{780, 380, 0, 1}, Edge{799, 399, 19, 1}}) {
        EXPECT_EQ(m.edges[2 * e.id], e.a) << "edge " << e.id;
        EXPECT_EQ(m.edges[2 * e.id + 1], e.b) << "edge " << e.id;
        EXPECT_EQ(m.edgeSmooth[e.id], e.smooth) << "edge " << e.id;
    }
    const auto loops = polytest::faceLoops(m);
    const auto& uv = m.uvSets.at(0);
    struct Face { int id; std::array<int32_t, 4> v, t; };
    for (const Face& f : {Face{0, {1, 0, 20, 21}, {1, 0, 21, 22}}, Face{19, {0, 19, 39, 20}, {20, 19, 40, 41}},
                          Face{20, {21, 20, 40, 41}, {22, 21, 42, 43}}}) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(loops[f.id][k], f.v[k]) << "face " << f.id;
            EXPECT_EQ(uv.faceVertexUV[4 * f.id + k], f.t[k]) << "face " << f.id;
        }
    }
    ASSERT_EQ(uv.u.size(), 441u);
    // Rows from the top of the texture down, with a seam column at u = 1.
    EXPECT_NEAR(uv.u[0], 0.0, kTol);
    EXPECT_NEAR(uv.v[0], 1.0, kTol);
    EXPECT_NEAR(uv.u[20], 1.0, 2e-7);
    EXPECT_NEAR(uv.v[21], 0.95, kTol);
    EXPECT_NEAR(uv.v[440], 0.0, 2e-7);
}

// A default pyramid as Maya stored it: points from one scene, edges, faces
// and uvs from another whose points were edited afterwards.
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

TEST(PolyCreatorOracle, DefaultPyramidMatchesMayaStoredData) {
    expectMatchesStored(mayahost::makePolyPyramid({}), kMayaPyramid, 5, 8, 10, 5);
}

// A default prism as Maya stored it, with the uv layout of the old Maya.
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

TEST(PolyCreatorOracle, DefaultPrismMatchesMayaStoredData) {
    expectMatchesStored(mayahost::makePolyPrism({}), kMayaPrism, 6, 9, 14, 5);
}

// A cube of height 2 as Maya (2022 or later) stored it: its uvs are laid
// out as for the unit cube.
constexpr const char* kMayaTallCube = R"(
setAttr -s 14 ".uvst[0].uvsp[0:13]" -type "float2" 0.375 0 0.625 0 0.375
 0.25 0.625 0.25 0.375 0.5 0.625 0.5 0.375 0.75 0.625 0.75 0.375 1 0.625 1 0.875 0
 0.875 0.25 0.125 0 0.125 0.25;
setAttr -s 8 ".vt[0:7]"  -0.5 -1 0.5 0.5 -1 0.5 -0.5 1 0.5 0.5 1 0.5
 -0.5 1 -0.5 0.5 1 -0.5 -0.5 -1 -0.5 0.5 -1 -0.5;
setAttr -s 12 ".ed[0:11]"  0 1 0 2 3 0 4 5 0 6 7 0 0 2 0 1 3 0 2 4 0
 3 5 0 4 6 0 5 7 0 6 0 0 7 1 0;
face 0 f 4 0 5 -2 -5 mu 0 4 0 1 3 2
face 1 f 4 1 7 -3 -7 mu 0 4 2 3 5 4
face 2 f 4 2 9 -4 -9 mu 0 4 4 5 7 6
face 3 f 4 3 11 -1 -11 mu 0 4 6 7 9 8
face 4 f 4 -12 -10 -8 -6 mu 0 4 1 10 11 3
face 5 f 4 10 4 6 8 mu 0 4 12 0 2 13
)";

TEST(PolyCreatorOracle, TallCubeKeepsTheUnitCubeUVLayout) {
    mayahost::PolyCubeParams p;
    p.height = 2;
    p.createUVs = 4;
    expectMatchesStored(mayahost::makePolyCube(p), kMayaTallCube, 8, 12, 14, 6);
}

}  // namespace
