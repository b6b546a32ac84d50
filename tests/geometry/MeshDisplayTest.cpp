// Meshes from stored data, their shading normals and the welded display
// geometry drawn from them.

#include "mesh/DisplayGeometry.h"
#include "mesh/MeshFromStored.h"
#include "mesh/MeshNormals.h"

#include "MeshTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numbers>
#include <set>

using namespace mayahost;
using namespace meshtest;

namespace {

DisplayGeometry draw(const MeshData& mesh, const std::string& uvSet = "map1", const std::vector<int32_t>* faces = nullptr) {
    DisplayGeometry out;
    EXPECT_EQ(buildDisplayGeometry(mesh, {.faces = faces, .uvSetName = uvSet}, out), "");
    return out;
}

MeshVec displayPoint(const DisplayGeometry& g, size_t t, size_t k) { return normalAt(g.positions, g.triangles[3 * t + k]); }

// The welding contract: indices in range, and no two display vertices carrying
// the same position, normal and uv. With `facing`, every triangle also faces
// along its first vertex's normal (flat-shaded meshes).
void expectWelded(const DisplayGeometry& g, bool facing = false) {
    ASSERT_EQ(std::pair(g.normals.size(), g.uvs.size()), std::pair(g.positions.size(), g.uvs.empty() ? 0 : 2 * g.vertexCount()));
    for (uint32_t i : g.triangles) ASSERT_LT(i, g.vertexCount());
    std::set<std::vector<float>> seen;
    for (size_t v = 0; v < g.vertexCount(); ++v) {
        std::vector<float> key(g.positions.begin() + 3 * v, g.positions.begin() + 3 * v + 3);
        key.insert(key.end(), g.normals.begin() + 3 * v, g.normals.begin() + 3 * v + 3);
        if (!g.uvs.empty()) key.insert(key.end(), g.uvs.begin() + 2 * v, g.uvs.begin() + 2 * v + 2);
        EXPECT_TRUE(seen.insert(key).second) << "display vertex " << v << " is a duplicate";
    }
    for (size_t t = 0; facing && t < g.triangleCount(); ++t) {
        MeshVec n = (displayPoint(g, t, 1) - displayPoint(g, t, 0)).cross(displayPoint(g, t, 2) - displayPoint(g, t, 0));
        EXPECT_GT(n.dot(normalAt(g.normals, g.triangles[3 * t])), 0) << "triangle " << t;
    }
}

// --- Display geometry -----------------------------------------------------------

TEST(MeshDisplay, CubeVertexCountsFollowHardAndSoftEdgesAndUVs) {
    // With map1 each uv belongs to one vertex: the 14 uvs split the soft cube's
    // corners at the seams, the hard cube stays at 24.
    for (auto [smooth, uvs, vertices] : {std::tuple{false, false, 24u}, {true, false, 8u}, {true, true, 14u},
                                         {false, true, 24u}}) {
        SCOPED_TRACE(testing::Message() << "smooth " << smooth << " uvs " << uvs);
        DisplayGeometry g = draw(makeCube(smooth, uvs));
        EXPECT_EQ(std::tuple(g.vertexCount(), g.triangleCount(), g.uvs.size()),
                  std::tuple(size_t(vertices), size_t(12), size_t(uvs ? 2 * vertices : 0)));
        expectWelded(g, !smooth);
    }
    // Each display vertex of the hard cube comes from one corner with the same values.
    MeshData cube = makeCube(false, true);
    DisplayGeometry g = draw(cube);
    for (size_t v = 0; v < g.vertexCount(); ++v) {
        bool found = false;
        for (size_t c = 0; c < cube.numFaceVertices() && !found; ++c) {
            const size_t uv = size_t(cube.uvSets[0].faceVertexUV[c]);
            found = near(pointOf(cube, size_t(cube.faceVertices[c])), normalAt(g.positions, v), 0) &&
                    cube.uvSets[0].u[uv] == g.uvs[2 * v] && cube.uvSets[0].v[uv] == g.uvs[2 * v + 1] &&
                    near(normalAt(g.normals, v), kCubeNormals[c / 4]);
        }
        EXPECT_TRUE(found) << "display vertex " << v << " matches no corner";
    }
}

TEST(MeshDisplay, FaceSubsets) {
    MeshData cube = makeCube(false, true);
    std::vector<int32_t> two = {4, 0, 4}, none, bad = {1, 6};
    DisplayGeometry g = draw(cube, "map1", &two);
    EXPECT_EQ(std::pair(g.triangleCount(), g.vertexCount()), std::pair(size_t(4), size_t(8)));
    // Drawn in the order asked: the first triangle lies on face 4 (x = 0.5).
    EXPECT_EQ(g.positions[3 * g.triangles[0]], 0.5f);
    EXPECT_EQ(draw(cube, "map1", &none).triangleCount(), 0u);
    for (std::vector<int32_t> faces : {bad, {-1}}) EXPECT_NE(buildDisplayGeometry(cube, {.faces = &faces, .uvSetName = ""}, g), "");
    EXPECT_EQ(g.vertexCount(), 0u);
}

TEST(MeshDisplay, UVSetSelection) {
    MeshData cube = makeCube(true, true);
    // A second set mapping only face 0.
    cube.uvSets.push_back({"flat", {0, 1}, {0, 1}, std::vector<int32_t>(24, -1)});
    for (int c = 0; c < 4; ++c) cube.uvSets[1].faceVertexUV[size_t(c)] = c % 2;
    for (const char* set : {"", "nosuchset"}) EXPECT_TRUE(draw(cube, set).uvs.empty()) << set;
    DisplayGeometry g = draw(cube, "flat");
    ASSERT_EQ(g.uvs.size(), 2 * g.vertexCount());
    // The unmapped faces weld to the 8 soft vertices at uv (0, 0). Face 0's corners at
    // vertices 0 and 3 have uv (0, 0) too and join them; those at 1 and 2 (uv (1, 1)) split off.
    EXPECT_EQ(g.vertexCount(), 8u + 2u);
    expectWelded(g);
    std::vector<int32_t> unmapped = {1, 2};
    EXPECT_TRUE(draw(cube, "flat", &unmapped).uvs.empty()) << "faces without uvs in the set give no uv array";
}

TEST(MeshDisplay, ConcaveFacesAndHoles) {
    // An L-shaped face and a square face with a square hole, side by side.
    MeshData m = makeMesh({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}, {3, 0, 0}, {7, 0, 0},
                           {7, 4, 0}, {3, 4, 0}, {4, 1, 0}, {4, 3, 0}, {6, 3, 0}, {6, 1, 0}},
                          {{{0, 1, 2, 3, 4, 5}}, {{6, 7, 8, 9}, {10, 11, 12, 13}}}, false);
    DisplayGeometry g = draw(m);
    EXPECT_EQ(std::pair(g.triangleCount(), g.vertexCount()), std::pair(size_t(4 + 8), size_t(14)));
    expectWelded(g, true);
    double area = 0;
    for (size_t t = 0; t < g.triangleCount(); ++t)
        area += (displayPoint(g, t, 1) - displayPoint(g, t, 0)).cross(displayPoint(g, t, 2) - displayPoint(g, t, 0)).z / 2;
    EXPECT_NEAR(area, 3.0 + 16.0 - 4.0, 1e-9);
}

TEST(MeshDisplay, PrecomputedNormalsAndInconsistentMeshes) {
    MeshData cube = makeCube(false, false);
    // Every corner its own entry, all pointing up: welds to 8 by value.
    CornerNormals normals;
    for (size_t c = 0; c < cube.numFaceVertices(); ++c) {
        normals.ofCorner.push_back(uint32_t(c));
        normals.values.insert(normals.values.end(), {0.f, 1.f, 0.f});
    }
    DisplayGeometry g;
    EXPECT_EQ(buildDisplayGeometry(cube, {.uvSetName = "", .cornerNormals = &normals}, g), "");
    EXPECT_EQ(g.vertexCount(), 8u);
    normals.ofCorner.pop_back();
    EXPECT_NE(buildDisplayGeometry(cube, {.uvSetName = "", .cornerNormals = &normals}, g), "");

    const std::pair<const char*, void (*)(MeshData&)> spoilers[] = {
        {"vertex id past the end", [](MeshData& m) { m.faceVertices[7] = 8; }},
        {"loop offset past the end", [](MeshData& m) { m.loopStart[3] = 30; }},
        {"face without a loop", [](MeshData& m) { m.faceLoopStart[2] = 1; }},
        {"uv id past the end", [](MeshData& m) { m.uvSets[0].faceVertexUV[0] = 14; }},
        {"u and v counts differ", [](MeshData& m) { m.uvSets[0].v.pop_back(); }},
        {"negative edge vertex", [](MeshData& m) { m.edges[5] = -2; }},
        {"user normal count", [](MeshData& m) { m.faceVertexNormals.resize(5); }},
        {"partial point", [](MeshData& m) { m.points.pop_back(); }},
    };
    for (auto [what, spoil] : spoilers) {
        MeshData m = makeCube(true, true);
        spoil(m);
        EXPECT_NE(buildDisplayGeometry(m, {}, g), "") << what;
        EXPECT_EQ(g.vertexCount(), 0u) << what;
    }
}

// A grid of quads, large enough that a quadratic step would show.
TEST(MeshDisplay, LargeGridScalesLinearly) {
    const int n = 400;  // 160,000 quads
    std::vector<MeshVec> points;
    std::vector<Face> faces;
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) {
            points.push_back({double(x), double(y), 0});
            const int id = y * (n + 1) + x;
            if (x < n && y < n) faces.push_back({{id, id + 1, id + n + 2, id + n + 1}});
        }
    const MeshData m = makeMesh(points, faces, true);
    auto start = std::chrono::steady_clock::now();
    DisplayGeometry g = draw(m, "");
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(std::pair(g.triangleCount(), g.vertexCount()), std::pair(size_t(2 * n * n), size_t(n + 1) * (n + 1)));
    for (size_t v = 0; v < g.vertexCount(); v += 997) EXPECT_EQ(g.normals[3 * v + 2], 1.f);
    // Generous even for a sanitizer build on a busy machine; a quadratic weld would take minutes.
    EXPECT_LT(seconds, 20.0);
}

// --- Shading normals -------------------------------------------------------------

TEST(MeshNormals, CubeFaceAndCornerNormals) {
    const double kInvSqrt3 = 1 / std::sqrt(3.0);
    MeshData hard = makeCube(false, false), soft = makeCube(true, false);
    std::vector<float> faces = computeFaceNormals(hard), corners = computeFaceVertexNormals(hard),
                       smooth = computeFaceVertexNormals(soft);
    ASSERT_EQ(std::pair(faces.size(), corners.size()), std::pair(size_t(18), 3 * hard.numFaceVertices()));
    for (size_t f = 0; f < 6; ++f) EXPECT_TRUE(near(normalAt(faces, f), kCubeNormals[f])) << "face " << f;
    for (size_t c = 0; c < 24; ++c) {
        EXPECT_TRUE(near(normalAt(corners, c), kCubeNormals[c / 4])) << "hard corner " << c;
        // Soft corners point along the diagonal.
        EXPECT_TRUE(near(normalAt(smooth, c), pointOf(soft, size_t(soft.faceVertices[c])) * (2 * kInvSqrt3))) << c;
    }
    // User normals override corner by corner: corner 1 is the same vertex (1) in face 0 and keeps the smoothed value.
    soft.faceVertexNormals.assign(3 * soft.numFaceVertices(), 1e20f);
    soft.faceVertexNormals[15] = 0.6f, soft.faceVertexNormals[16] = 0.8f, soft.faceVertexNormals[17] = 0.0f;
    smooth = computeFaceVertexNormals(soft);
    EXPECT_TRUE(near(normalAt(smooth, 5), MeshVec{0.6, 0.8, 0}));
    EXPECT_TRUE(near(normalAt(smooth, 1), MeshVec{kInvSqrt3, -kInvSqrt3, kInvSqrt3}));
}

// A strip folded along the middle row: two faces lie flat, two rise at 45
// degrees. The hard edges decide whether the faces' corners at the middle
// vertex 4 share a normal.
TEST(MeshNormals, HardEdgesSplitTheFanAndSoftEdgesJoinIt) {
    const std::vector<MeshVec> points = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0},
                                         {2, 1, 0}, {0, 2, 1}, {1, 2, 1}, {2, 2, 1}};
    const std::vector<Face> faces = {{{0, 1, 4, 3}}, {{1, 2, 5, 4}}, {{3, 4, 7, 6}}, {{4, 5, 8, 7}}};
    const size_t cornerAt4[] = {2, 7, 9, 12};
    const MeshVec flat{0, 0, 1}, raised = MeshVec{0, -1, 1}.normalized(), between = (flat + raised).normalized();
    const struct {
        const char* what;
        std::vector<std::pair<int32_t, int32_t>> hard;
        MeshVec expected[4];
    } cases[] = {
        {"all soft", {}, {between, between, between, between}},
        {"hard along the fold: flat and raised pairs separate", {{3, 4}, {4, 5}}, {flat, flat, raised, raised}},
        {"hard across the strip: halves separate but still bend", {{1, 4}, {4, 7}}, {between, between, between, between}},
        {"one hard edge does not cut the fan", {{4, 5}}, {between, between, between, between}},
    };
    for (const auto& c : cases) {
        std::vector<float> n = computeFaceVertexNormals(makeMesh(points, faces, true, c.hard));
        for (size_t f = 0; f < 4; ++f) EXPECT_TRUE(near(normalAt(n, cornerAt4[f]), c.expected[f])) << c.what << ", face " << f;
    }
}

TEST(MeshNormals, WeightingModes) {
    // At vertex 0: a big face (area 4) facing +z, a small triangle (area 1) facing -y, joined softly along 0-1.
    MeshData m = makeMesh({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, -1}}, {{{0, 1, 2, 3}}, {{0, 4, 1}}}, true);
    auto at = [&](NormalWeighting w, size_t corner) { return normalAt(computeFaceVertexNormals(m, w), corner); };
    EXPECT_TRUE(near(at(NormalWeighting::Unweighted, 0), MeshVec{0, -1, 1}.normalized()));
    EXPECT_TRUE(near(at(NormalWeighting::AreaWeighted, 0), MeshVec{0, -1, 4}.normalized()));
    // Right angles at vertex 0 in both faces: angle weighting equals unweighted
    // there, but not at vertex 1, where the triangle's corner is only atan(1/2).
    EXPECT_TRUE(near(at(NormalWeighting::AngleWeighted, 0), MeshVec{0, -1, 1}.normalized()));
    const double small = std::atan(0.5), right = std::numbers::pi / 2;
    EXPECT_TRUE(near(at(NormalWeighting::AngleWeighted, 1), MeshVec{0, -small, right}.normalized()));
    EXPECT_TRUE(near(at(NormalWeighting::AngleAndArea, 1), MeshVec{0, -small, right * 4}.normalized()));
}

TEST(MeshNormals, DegenerateAndBrokenMeshes) {
    // A face without area next to a real one: no NaN anywhere.
    std::vector<float> n = computeFaceVertexNormals(
        makeMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 0, 0}}, {{{0, 1, 2}}, {{0, 3, 1}}}, true));
    for (float v : n) EXPECT_FALSE(std::isnan(v));
    EXPECT_TRUE(near(normalAt(n, 0), MeshVec{0, 0, 1}));
    MeshData broken = makeCube(false, false);
    broken.faceVertices[3] = 99;
    EXPECT_TRUE(computeFaceVertexNormals(broken).empty() && computeFaceNormals(broken).empty());
}

// --- Meshes from stored data -----------------------------------------------------------

// Appends one face: loops of signed edge ids (outer first), and for each loop
// its uv ids in uv set 0 (none when `uvs` is empty).
void addFace(scenefile::PolyFaces& f, const std::vector<std::vector<int32_t>>& loops,
             const std::vector<std::vector<int32_t>>& uvs = {}) {
    if (f.faceLoopStart.empty()) f.faceLoopStart.push_back(0), f.loopStart.push_back(0);
    for (size_t l = 0; l < loops.size(); ++l) {
        if (l < uvs.size()) {
            f.uvLoops.push_back({uint32_t(f.loopStart.size() - 1), 0, uint32_t(f.uvIds.size()), uint32_t(uvs[l].size())});
            f.uvIds.insert(f.uvIds.end(), uvs[l].begin(), uvs[l].end());
        }
        f.edges.insert(f.edges.end(), loops[l].begin(), loops[l].end());
        f.loopStart.push_back(uint32_t(f.edges.size()));
    }
    f.faceLoopStart.push_back(uint32_t(f.loopStart.size() - 1));
}

// The default cube exactly as Maya saves it without history.
StoredMesh storedCube() {
    StoredMesh s;
    s.vertices = makeCube(false, false).points;
    s.edges = {0, 1, 0, 2, 3, 0, 4, 5, 0, 6, 7, 0, 0, 2, 0, 1, 3, 0, 2, 4, 0, 3, 5, 0, 4, 6, 0, 5, 7, 0, 6, 0, 0, 7, 1, 0};
    // Each face's sides (a negative id -e-1 walks edge e backwards) and uv ids.
    const std::vector<int32_t> sides[] = {{0, 5, -2, -5},   {1, 7, -3, -7},     {2, 9, -4, -9},
                                          {3, 11, -1, -11}, {-12, -10, -8, -6}, {10, 4, 6, 8}};
    const std::vector<int32_t> uvs[] = {{0, 1, 3, 2}, {2, 3, 5, 4}, {4, 5, 7, 6}, {6, 7, 9, 8}, {1, 10, 11, 3}, {12, 0, 2, 13}};
    for (int f = 0; f < 6; ++f) addFace(s.faces, {sides[f]}, {uvs[f]});
    s.uvSets.push_back({0, "map1", {0.375f, 0, 0.625f, 0, 0.375f, 0.25f, 0.625f, 0.25f, 0.375f, 0.5f, 0.625f, 0.5f,
                                    0.375f, 0.75f, 0.625f, 0.75f, 0.375f, 1, 0.625f, 1, 0.875f, 0, 0.875f, 0.25f,
                                    0.125f, 0, 0.125f, 0.25f}});
    s.currentUVSet = "map1";
    return s;
}

// The built mesh, or the error (a refused mesh must stay empty).
MeshData build(const StoredMesh& s, std::string* error = nullptr, size_t* warnings = nullptr) {
    MeshData m;
    auto result = meshFromStored(s, m);
    if (warnings) *warnings = result.warnings.size();
    EXPECT_TRUE(error || result.error.empty()) << result.error;
    if (error) *error = result.error;
    EXPECT_TRUE(result.error.empty() || m.numVertices() == 0) << "a refused mesh stays empty";
    return m;
}
std::string errorOf(const StoredMesh& s) {
    std::string error;
    build(s, &error);
    return error;
}

TEST(MeshStored, CubeWithReversedEdgesGivesMayasFaceVertices) {
    MeshData m = build(storedCube());
    // Maya's own face-vertex list and uv ids for the default cube.
    EXPECT_EQ(m.faceVertices, makeCube(false, false).faceVertices);
    EXPECT_EQ(std::tuple(m.numFaces(), m.numEdges(), m.edgeSmooth), std::tuple(size_t(6), size_t(12), std::vector<uint8_t>(12, 0)));
    ASSERT_EQ(m.uvSets.size(), 1u);
    EXPECT_EQ(m.uvSets[0].faceVertexUV,
              (std::vector<int32_t>{0, 1, 3, 2, 2, 3, 5, 4, 4, 5, 7, 6, 6, 7, 9, 8, 1, 10, 11, 3, 12, 0, 2, 13}));
    EXPECT_EQ(std::pair(m.uvSets[0].u[3], m.uvSets[0].v[3]), std::pair(0.625f, 0.25f));
    DisplayGeometry g = draw(m);
    EXPECT_EQ(std::pair(g.vertexCount(), g.triangleCount()), std::pair(size_t(24), size_t(12)));
}

TEST(MeshStored, TweaksHolesAndAnEmptyMesh) {
    StoredMesh s = storedCube();
    s.tweaks = {0, 0, 0, 0.25f, 1, -2};  // only the first two vertices carry tweaks
    MeshData m = build(s);
    EXPECT_TRUE(near(pointOf(m, 1), {0.75, 0.5, -1.5}));
    EXPECT_TRUE(near(pointOf(m, 2), {-0.5, 0.5, 0.5})) << "untweaked vertices keep their place";
    // Tweaks of vertices that a later edit removed are kept by Maya and move
    // nothing; said only when one of them would have moved a point.
    s.tweaks.assign(27, 0.f);
    s.tweaks[26] = 7e-9f;
    size_t warnings = 0;
    EXPECT_EQ(build(s, nullptr, &warnings).points, storedCube().vertices);  // build() also expects no error
    EXPECT_EQ(warnings, 0u);
    s.tweaks[26] = 7.f;
    EXPECT_EQ(build(s, nullptr, &warnings).points, storedCube().vertices);
    EXPECT_EQ(warnings, 1u);

    StoredMesh holed;
    holed.vertices = {0, 0, 0, 4, 0, 0, 4, 4, 0, 0, 4, 0, 1, 1, 0, 1, 3, 0, 3, 3, 0, 3, 1, 0};
    holed.edges = {0, 1, 1, 1, 2, 1, 2, 3, 1, 3, 0, 1, 4, 5, 1, 5, 6, 1, 6, 7, 1, 7, 4, 1};
    addFace(holed.faces, {{0, 1, 2, 3}, {-8, -7, -6, -5}});  // the hole written against its edges
    m = build(holed);
    ASSERT_EQ(m.numLoops(), 2u);
    EXPECT_EQ(m.faceVertices, (std::vector<int32_t>{0, 1, 2, 3, 4, 7, 6, 5}));
    EXPECT_EQ(draw(m, "").triangleCount(), 8u);

    m = build(StoredMesh{});
    EXPECT_EQ(m.numFaces() + draw(m, "").triangleCount(), 0u);
}

TEST(MeshStored, UVSetsByIndexAndCurrentByName) {
    StoredMesh s = storedCube();
    // A second set at multi index 3 mapping only face 2; the sets arrive out of order.
    s.uvSets.insert(s.uvSets.begin(), {3, "decal", {0, 0, 1, 0, 1, 1, 0, 1}});
    s.faces.uvLoops.push_back({2, 3, uint32_t(s.faces.uvIds.size()), 4});
    s.faces.uvIds.insert(s.faces.uvIds.end(), {0, 1, 2, 3});
    s.currentUVSet = "decal";
    MeshData m = build(s);
    ASSERT_EQ(m.uvSets.size(), 2u);
    EXPECT_EQ(std::pair(names(m.uvSets), m.currentUVSet), std::pair(std::vector<std::string>{"map1", "decal"}, 1));
    std::vector<int32_t> decal(24, -1);
    for (int c = 0; c < 4; ++c) decal[size_t(8 + c)] = c;
    EXPECT_EQ(m.uvSets[1].faceVertexUV, decal);
    s.uvSets[0].index = 0;  // now two sets claim index 0
    EXPECT_NE(errorOf(s), "");
}

TEST(MeshStored, UserNormalsAndColours) {
    StoredMesh s = storedCube();
    s.normals.assign(3 * 5, 1e20f);  // the file stops early; the rest is unset too
    s.normals[12] = 1, s.normals[13] = 0, s.normals[14] = 0;
    s.colorSets.push_back({0, "colorSet1", {1, 0, 0, 1, 0, 1, 0, 1}});
    s.currentColorSet = "colorSet1";
    // The second list names a set the mesh lacks: dropped with a warning.
    s.faces.colorLoops = {{0, 0, 0, 4}, {1, 5, 4, 4}};
    s.faces.colorIds = {0, 1, 1, 0, 0, 0, 0, 0};
    size_t warnings = 0;
    MeshData m = build(s, nullptr, &warnings);
    ASSERT_EQ(std::pair(warnings, m.faceVertexNormals.size()), std::pair(size_t(1), size_t(72)));
    // The set normal is kept, unset ones stay unset.
    EXPECT_TRUE(m.faceVertexNormals[12] == 1.f && m.faceVertexNormals[15] > 1e19f && m.faceVertexNormals[71] > 1e19f);
    ASSERT_EQ(m.colorSets.size(), 1u);
    EXPECT_EQ(std::pair(m.colorSets[0].faceVertexColor[2], m.colorSets[0].faceVertexColor[4]), std::pair(1, -1));
    // The locked normal reaches the display geometry: corner 4 (vertex 2 at
    // (-0.5, 0.5, 0.5), on none of the +x faces) splits from its hard-edged neighbours.
    DisplayGeometry g = draw(m, "");
    EXPECT_EQ(g.vertexCount(), 24u);
    bool found = false;
    for (size_t v = 0; v < g.vertexCount(); ++v)
        found |= g.normals[3 * v] == 1.f && near(normalAt(g.positions, v), {-0.5, 0.5, 0.5}, 0);
    EXPECT_TRUE(found);
}

TEST(MeshStored, BadDataIsRefusedWithAReason) {
    const std::pair<const char*, void (*)(StoredMesh&)> cases[] = {
        {"vertex list cut mid-point", [](StoredMesh& s) { s.vertices.pop_back(); }},
        {"edge to a missing vertex", [](StoredMesh& s) { s.edges[4] = 8; }},
        {"negative edge vertex", [](StoredMesh& s) { s.edges[0] = -1; }},
        {"edge list cut mid-edge", [](StoredMesh& s) { s.edges.pop_back(); }},
        {"face uses a missing edge", [](StoredMesh& s) { s.faces.edges[1] = 12; }},
        {"face uses a missing reversed edge", [](StoredMesh& s) { s.faces.edges[2] = -13; }},
        {"loop does not chain", [](StoredMesh& s) { s.faces.edges[1] = 7; }},
        // 0-1-3-5: chains but ends away from its start.
        {"loop does not close", [](StoredMesh& s) { s.faces = {}; addFace(s.faces, {{0, 5, 7}}); }},
        {"two-edge loop", [](StoredMesh& s) { s.faces = {}; addFace(s.faces, {{0, -1}}); }},
        {"loop offsets past the edges", [](StoredMesh& s) { s.faces.loopStart.back() = 30; }},
        {"face offsets past the loops", [](StoredMesh& s) { s.faces.faceLoopStart.back() = 9; }},
        {"uv count differs from the loop", [](StoredMesh& s) { s.faces.uvLoops[1].count = 3; }},
        {"uv id out of range", [](StoredMesh& s) { s.faces.uvIds[5] = 14; }},
        {"uv ids past their list", [](StoredMesh& s) { s.faces.uvLoops[5].start = 22; }},
        {"uv ids name a missing loop", [](StoredMesh& s) { s.faces.uvLoops[0].loop = 6; }},
        {"uv set missing", [](StoredMesh& s) { s.faces.uvLoops[0].set = 1; }},
        {"odd uv coordinates", [](StoredMesh& s) { s.uvSets[0].points.pop_back(); }},
        {"too many normals", [](StoredMesh& s) { s.normals.assign(75, 0.f); }},
        {"colour id out of range", [](StoredMesh& s) {
             s.colorSets.push_back({0, "c", {1, 1, 1, 1}});
             s.faces.colorLoops.push_back({0, 0, 0, 4});
             s.faces.colorIds = {0, 0, 1, 0};
         }},
    };
    for (auto [what, spoil] : cases) {
        StoredMesh s = storedCube();
        spoil(s);
        EXPECT_NE(errorOf(s), "") << what;
    }
}

}  // namespace
