#include "mesh/MeshFromStored.h"

#include "mesh/DisplayGeometry.h"

#include <gtest/gtest.h>

using mayahost::MeshData;
using mayahost::meshFromStored;
using mayahost::StoredMesh;
using mayahost::scenefile::PolyFaces;

namespace {

// Appends one face: loops of signed edge ids (outer first), and for each loop
// its uv ids in uv set `uvSet` (none when `uvs` is empty).
void addFace(PolyFaces& f, const std::vector<std::vector<int32_t>>& loops,
             const std::vector<std::vector<int32_t>>& uvs = {}, int32_t uvSet = 0) {
    if (f.faceLoopStart.empty()) f.faceLoopStart.push_back(0);
    if (f.loopStart.empty()) f.loopStart.push_back(0);
    for (size_t l = 0; l < loops.size(); ++l) {
        uint32_t loop = uint32_t(f.loopStart.size() - 1);
        f.edges.insert(f.edges.end(), loops[l].begin(), loops[l].end());
        f.loopStart.push_back(uint32_t(f.edges.size()));
        if (l < uvs.size()) {
            f.uvLoops.push_back({loop, uvSet, uint32_t(f.uvIds.size()), uint32_t(uvs[l].size())});
            f.uvIds.insert(f.uvIds.end(), uvs[l].begin(), uvs[l].end());
        }
    }
    f.faceLoopStart.push_back(uint32_t(f.loopStart.size() - 1));
}

// The default cube exactly as Maya saves it without history.
StoredMesh storedCube() {
    StoredMesh s;
    s.vertices = {-0.5f, -0.5f, 0.5f, 0.5f, -0.5f, 0.5f, -0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f,
                  -0.5f, 0.5f, -0.5f, 0.5f, 0.5f, -0.5f, -0.5f, -0.5f, -0.5f, 0.5f, -0.5f, -0.5f};
    s.edges = {0, 1, 0, 2, 3, 0, 4, 5, 0, 6, 7, 0, 0, 2, 0, 1, 3, 0, 2, 4, 0, 3, 5, 0, 4, 6, 0, 5, 7, 0, 6, 0, 0, 7, 1, 0};
    addFace(s.faces, {{0, 5, -2, -5}}, {{0, 1, 3, 2}});
    addFace(s.faces, {{1, 7, -3, -7}}, {{2, 3, 5, 4}});
    addFace(s.faces, {{2, 9, -4, -9}}, {{4, 5, 7, 6}});
    addFace(s.faces, {{3, 11, -1, -11}}, {{6, 7, 9, 8}});
    addFace(s.faces, {{-12, -10, -8, -6}}, {{1, 10, 11, 3}});
    addFace(s.faces, {{10, 4, 6, 8}}, {{12, 0, 2, 13}});
    s.uvSets.push_back({0, "map1", {0.375f, 0, 0.625f, 0, 0.375f, 0.25f, 0.625f, 0.25f, 0.375f, 0.5f, 0.625f, 0.5f,
                                    0.375f, 0.75f, 0.625f, 0.75f, 0.375f, 1, 0.625f, 1, 0.875f, 0, 0.875f, 0.25f,
                                    0.125f, 0, 0.125f, 0.25f}});
    s.currentUVSet = "map1";
    return s;
}

MeshData build(StoredMesh s) {
    MeshData m;
    auto result = meshFromStored(std::move(s), m);
    EXPECT_EQ(result.error, "");
    return m;
}

std::string errorOf(StoredMesh s) {
    MeshData m;
    auto result = meshFromStored(std::move(s), m);
    if (!result.error.empty()) {
        EXPECT_EQ(m.numVertices(), 0u) << "a refused mesh stays empty";
    }
    return result.error;
}

TEST(MeshStored, CubeWithReversedEdgesGivesMayasFaceVertices) {
    MeshData m = build(storedCube());
    // Maya's own face-vertex list for the default cube.
    std::vector<int32_t> expected = {0, 1, 3, 2, 2, 3, 5, 4, 4, 5, 7, 6, 6, 7, 1, 0, 1, 7, 5, 3, 6, 0, 2, 4};
    EXPECT_EQ(m.faceVertices, expected);
    EXPECT_EQ(m.numFaces(), 6u);
    EXPECT_EQ(m.numEdges(), 12u);
    EXPECT_EQ(m.edgeSmooth, std::vector<uint8_t>(12, 0));
    ASSERT_EQ(m.uvSets.size(), 1u);
    EXPECT_EQ(m.uvSets[0].faceVertexUV,
              (std::vector<int32_t>{0, 1, 3, 2, 2, 3, 5, 4, 4, 5, 7, 6, 6, 7, 9, 8, 1, 10, 11, 3, 12, 0, 2, 13}));
    EXPECT_EQ(m.uvSets[0].u[3], 0.625f);
    EXPECT_EQ(m.uvSets[0].v[3], 0.25f);

    mayahost::DisplayGeometry g;
    mayahost::DisplayRequest request;
    request.uvSetName = "map1";
    EXPECT_EQ(mayahost::buildDisplayGeometry(m, request, g), "");
    EXPECT_EQ(g.vertexCount(), 24u);
    EXPECT_EQ(g.triangleCount(), 12u);
}

TEST(MeshStored, TweaksAreAddedToTheVertices) {
    StoredMesh s = storedCube();
    s.tweaks = {0, 0, 0, 0.25f, 1, -2};  // only the first two vertices carry tweaks
    MeshData m = build(s);
    EXPECT_EQ(m.points[3], 0.75f);
    EXPECT_EQ(m.points[4], 0.5f);
    EXPECT_EQ(m.points[5], -1.5f);
    EXPECT_EQ(m.points[6], -0.5f) << "untweaked vertices keep their place";

    // Tweaks of vertices that a later edit removed are kept by Maya and move nothing.
    s.tweaks.assign(27, 0.f);
    s.tweaks[26] = 7.f;
    EXPECT_EQ(errorOf(s), "");
    EXPECT_EQ(build(s).points, storedCube().vertices);
}

TEST(MeshStored, FaceWithAHole) {
    StoredMesh s;
    s.vertices = {0, 0, 0, 4, 0, 0, 4, 4, 0, 0, 4, 0, 1, 1, 0, 1, 3, 0, 3, 3, 0, 3, 1, 0};
    s.edges = {0, 1, 1, 1, 2, 1, 2, 3, 1, 3, 0, 1, 4, 5, 1, 5, 6, 1, 6, 7, 1, 7, 4, 1};
    addFace(s.faces, {{0, 1, 2, 3}, {-8, -7, -6, -5}});  // the hole written against its edges
    MeshData m = build(s);
    ASSERT_EQ(m.numLoops(), 2u);
    EXPECT_EQ(m.faceVertices, (std::vector<int32_t>{0, 1, 2, 3, 4, 7, 6, 5}));
    mayahost::DisplayGeometry g;
    EXPECT_EQ(mayahost::buildDisplayGeometry(m, {}, g), "");
    EXPECT_EQ(g.triangleCount(), 8u);
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
    EXPECT_EQ(m.uvSets[0].name, "map1");
    EXPECT_EQ(m.uvSets[1].name, "decal");
    EXPECT_EQ(m.currentUVSet, 1);
    std::vector<int32_t> decal(24, -1);
    for (int c = 0; c < 4; ++c) decal[size_t(8 + c)] = c;
    EXPECT_EQ(m.uvSets[1].faceVertexUV, decal);

    s.uvSets[0].index = 0;  // now two sets claim index 0
    EXPECT_NE(errorOf(s), "");
}

TEST(MeshStored, UserNormalsAndColours) {
    StoredMesh s = storedCube();
    s.normals.assign(3 * 5, 1e20f);  // the file stops early; the rest is unset too
    s.normals[3 * 4 + 0] = 1;
    s.normals[3 * 4 + 1] = 0;
    s.normals[3 * 4 + 2] = 0;
    s.colorSets.push_back({0, "colorSet1", {1, 0, 0, 1, 0, 1, 0, 1}});
    s.currentColorSet = "colorSet1";
    s.faces.colorLoops.push_back({0, 0, 0, 4});
    s.faces.colorIds = {0, 1, 1, 0};
    s.faces.colorLoops.push_back({1, 5, 4, 4});  // a set the mesh lacks: dropped with a warning
    s.faces.colorIds.insert(s.faces.colorIds.end(), {0, 0, 0, 0});
    MeshData m;
    auto result = meshFromStored(s, m);
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.warnings.size(), 1u);
    ASSERT_EQ(m.faceVertexNormals.size(), 72u);
    EXPECT_EQ(m.faceVertexNormals[12], 1.f);
    EXPECT_GT(m.faceVertexNormals[15], 1e19f);
    EXPECT_GT(m.faceVertexNormals[71], 1e19f);
    ASSERT_EQ(m.colorSets.size(), 1u);
    EXPECT_EQ(m.colorSets[0].faceVertexColor[2], 1);
    EXPECT_EQ(m.colorSets[0].faceVertexColor[4], -1);

    // The locked normal reaches the display geometry: the corner splits from its hard-edged neighbours.
    mayahost::DisplayGeometry g;
    EXPECT_EQ(mayahost::buildDisplayGeometry(m, {}, g), "");
    EXPECT_EQ(g.vertexCount(), 24u);
    bool found = false;
    // Corner 4 is vertex 2 (-0.5, 0.5, 0.5), on none of the +x faces.
    for (size_t v = 0; v < g.vertexCount(); ++v)
        found |= g.normals[3 * v] == 1.f && g.positions[3 * v] == -0.5f && g.positions[3 * v + 1] == 0.5f &&
                 g.positions[3 * v + 2] == 0.5f;
    EXPECT_TRUE(found);
}

TEST(MeshStored, BadDataIsRefusedWithAReason) {
    struct Case { const char* what; void (*spoil)(StoredMesh&); };
    const Case cases[] = {
        {"vertex list cut mid-point", [](StoredMesh& s) { s.vertices.pop_back(); }},
        {"edge to a missing vertex", [](StoredMesh& s) { s.edges[4] = 8; }},
        {"negative edge vertex", [](StoredMesh& s) { s.edges[0] = -1; }},
        {"edge list cut mid-edge", [](StoredMesh& s) { s.edges.pop_back(); }},
        {"face uses a missing edge", [](StoredMesh& s) { s.faces.edges[1] = 12; }},
        {"face uses a missing reversed edge", [](StoredMesh& s) { s.faces.edges[2] = -13; }},
        {"loop does not chain", [](StoredMesh& s) { s.faces.edges[1] = 7; }},
        {"loop does not close", [](StoredMesh& s) {
             s.faces = {};
             addFace(s.faces, {{0, 5, 7}});  // 0-1-3-5: chains but ends away from its start
         }},
        {"two-edge loop", [](StoredMesh& s) {
             s.faces = {};
             addFace(s.faces, {{0, -1}});
         }},
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
    for (const Case& c : cases) {
        StoredMesh s = storedCube();
        c.spoil(s);
        EXPECT_NE(errorOf(s), "") << c.what;
    }
}

TEST(MeshStored, EmptyMeshIsValid) {
    StoredMesh s;
    MeshData m = build(s);
    EXPECT_EQ(m.numFaces(), 0u);
    mayahost::DisplayGeometry g;
    EXPECT_EQ(mayahost::buildDisplayGeometry(m, {}, g), "");
    EXPECT_EQ(g.triangleCount(), 0u);
}

}  // namespace
