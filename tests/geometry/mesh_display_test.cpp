#include "mesh/DisplayGeometry.h"

#include "mesh_test_util.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <tuple>

using namespace meshtest;
using mayahost::buildDisplayGeometry;
using mayahost::DisplayGeometry;
using mayahost::DisplayRequest;

namespace {

DisplayGeometry draw(const MeshData& mesh, const std::string& uvSet = "map1", const std::vector<int32_t>* faces = nullptr) {
    DisplayRequest request;
    request.uvSetName = uvSet;
    request.faces = faces;
    DisplayGeometry out;
    std::string error = buildDisplayGeometry(mesh, request, out);
    EXPECT_EQ(error, "");
    return out;
}

// Checks the welding contract: indices in range, and no two display vertices
// carrying the same position, normal and uv.
void expectWelded(const DisplayGeometry& g) {
    ASSERT_EQ(g.normals.size(), g.positions.size());
    if (!g.uvs.empty()) {
        ASSERT_EQ(g.uvs.size() / 2, g.vertexCount());
    }
    for (uint32_t i : g.triangles) ASSERT_LT(i, g.vertexCount());
    std::set<std::vector<float>> seen;
    for (size_t v = 0; v < g.vertexCount(); ++v) {
        std::vector<float> key(g.positions.begin() + 3 * v, g.positions.begin() + 3 * v + 3);
        key.insert(key.end(), g.normals.begin() + 3 * v, g.normals.begin() + 3 * v + 3);
        if (!g.uvs.empty()) key.insert(key.end(), g.uvs.begin() + 2 * v, g.uvs.begin() + 2 * v + 2);
        EXPECT_TRUE(seen.insert(key).second) << "display vertex " << v << " is a duplicate";
    }
}

// Every triangle must face along its display vertices' normals on flat-shaded meshes.
void expectFacingNormals(const DisplayGeometry& g) {
    for (size_t t = 0; t < g.triangleCount(); ++t) {
        auto p = [&](size_t k) {
            size_t v = g.triangles[3 * t + k];
            return MeshVec{g.positions[3 * v], g.positions[3 * v + 1], g.positions[3 * v + 2]};
        };
        MeshVec n = (p(1) - p(0)).cross(p(2) - p(0));
        size_t v0 = g.triangles[3 * t];
        EXPECT_GT(n.dot(normalAt(g.normals, v0)), 0) << "triangle " << t;
    }
}

TEST(MeshDisplay, CubeVertexCountsFollowHardAndSoftEdges) {
    DisplayGeometry hard = draw(makeCube(false, false));
    EXPECT_EQ(hard.vertexCount(), 24u);
    EXPECT_EQ(hard.triangleCount(), 12u);
    EXPECT_TRUE(hard.uvs.empty());
    expectWelded(hard);
    expectFacingNormals(hard);

    DisplayGeometry soft = draw(makeCube(true, false));
    EXPECT_EQ(soft.vertexCount(), 8u);
    EXPECT_EQ(soft.triangleCount(), 12u);
    expectWelded(soft);

    // With map1 each uv belongs to one vertex: the 14 uvs split the soft cube's
    // corners at the seams, the hard cube stays at 24.
    DisplayGeometry softUV = draw(makeCube(true, true));
    EXPECT_EQ(softUV.vertexCount(), 14u);
    EXPECT_EQ(softUV.uvs.size(), 28u);
    expectWelded(softUV);
    DisplayGeometry hardUV = draw(makeCube(false, true));
    EXPECT_EQ(hardUV.vertexCount(), 24u);
    expectWelded(hardUV);
}

TEST(MeshDisplay, VerticesCarryTheirOwnPositionNormalAndUV) {
    MeshData cube = makeCube(false, true);
    DisplayGeometry g = draw(cube);
    // Each display vertex must come from one corner of the cube with the same values.
    for (size_t v = 0; v < g.vertexCount(); ++v) {
        bool found = false;
        for (size_t c = 0; c < cube.numFaceVertices() && !found; ++c) {
            const float* p = &cube.points[3 * size_t(cube.faceVertices[c])];
            int32_t uv = cube.uvSets[0].faceVertexUV[c];
            found = p[0] == g.positions[3 * v] && p[1] == g.positions[3 * v + 1] && p[2] == g.positions[3 * v + 2] &&
                    cube.uvSets[0].u[size_t(uv)] == g.uvs[2 * v] && cube.uvSets[0].v[size_t(uv)] == g.uvs[2 * v + 1] &&
                    near(normalAt(g.normals, v), [&] {
                        static const MeshVec axes[] = {{0, 0, 1}, {0, 1, 0}, {0, 0, -1}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
                        return axes[c / 4];
                    }());
        }
        EXPECT_TRUE(found) << "display vertex " << v << " matches no corner";
    }
}

TEST(MeshDisplay, FaceSubsets) {
    MeshData cube = makeCube(false, true);
    std::vector<int32_t> two = {4, 0, 4};
    DisplayGeometry g = draw(cube, "map1", &two);
    EXPECT_EQ(g.triangleCount(), 4u);
    EXPECT_EQ(g.vertexCount(), 8u);
    // Drawn in the order asked: the first triangle lies on face 4 (x = 0.5).
    EXPECT_EQ(g.positions[3 * g.triangles[0]], 0.5f);

    std::vector<int32_t> none;
    EXPECT_EQ(draw(cube, "map1", &none).triangleCount(), 0u);

    std::vector<int32_t> bad = {1, 6};
    DisplayRequest request;
    request.faces = &bad;
    DisplayGeometry out;
    EXPECT_NE(buildDisplayGeometry(cube, request, out), "");
    bad = {-1};
    EXPECT_NE(buildDisplayGeometry(cube, request, out), "");
    EXPECT_EQ(out.vertexCount(), 0u);
}

TEST(MeshDisplay, UVSetSelection) {
    MeshData cube = makeCube(true, true);
    mayahost::MeshUVSet second;
    second.name = "flat";
    second.u = {0, 1};
    second.v = {0, 1};
    second.faceVertexUV.assign(cube.numFaceVertices(), -1);
    for (int c = 0; c < 4; ++c) second.faceVertexUV[size_t(c)] = c % 2;  // only face 0 mapped
    cube.uvSets.push_back(second);

    EXPECT_TRUE(draw(cube, "").uvs.empty());
    EXPECT_TRUE(draw(cube, "nosuchset").uvs.empty());

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
    std::vector<MeshVec> pts = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0},
                                {3, 0, 0}, {7, 0, 0}, {7, 4, 0}, {3, 4, 0}, {4, 1, 0}, {4, 3, 0}, {6, 3, 0}, {6, 1, 0}};
    MeshData m = makeMesh(pts, {{{0, 1, 2, 3, 4, 5}}, {{6, 7, 8, 9}, {10, 11, 12, 13}}}, false);
    DisplayGeometry g = draw(m);
    EXPECT_EQ(g.triangleCount(), 4u + 8u);
    EXPECT_EQ(g.vertexCount(), 14u);
    expectWelded(g);
    expectFacingNormals(g);
    double area = 0;
    for (size_t t = 0; t < g.triangleCount(); ++t) {
        auto p = [&](size_t k) {
            size_t v = g.triangles[3 * t + k];
            return MeshVec{g.positions[3 * v], g.positions[3 * v + 1], g.positions[3 * v + 2]};
        };
        area += (p(1) - p(0)).cross(p(2) - p(0)).z / 2;
    }
    EXPECT_NEAR(area, 3.0 + 16.0 - 4.0, 1e-9);
}

TEST(MeshDisplay, PrecomputedNormalsAreUsedAndChecked) {
    MeshData cube = makeCube(false, false);
    std::vector<float> normals(3 * cube.numFaceVertices(), 0.f);
    for (size_t c = 0; c < cube.numFaceVertices(); ++c) normals[3 * c + 1] = 1;  // all up: welds to 8
    DisplayRequest request;
    request.faceVertexNormals = &normals;
    DisplayGeometry g;
    EXPECT_EQ(buildDisplayGeometry(cube, request, g), "");
    EXPECT_EQ(g.vertexCount(), 8u);
    normals.pop_back();
    EXPECT_NE(buildDisplayGeometry(cube, request, g), "");
}

TEST(MeshDisplay, InconsistentMeshesAreRefused) {
    DisplayGeometry g;
    auto refuse = [&](MeshData m, const char* what) {
        EXPECT_NE(buildDisplayGeometry(m, DisplayRequest{}, g), "") << what;
        EXPECT_EQ(g.vertexCount(), 0u) << what;
    };
    MeshData m = makeCube(true, true);
    m.faceVertices[7] = 8;
    refuse(m, "vertex id past the end");
    m = makeCube(true, true);
    m.loopStart[3] = 30;
    refuse(m, "loop offset past the end");
    m = makeCube(true, true);
    m.faceLoopStart[2] = 1;
    refuse(m, "face without a loop");
    m = makeCube(true, true);
    m.uvSets[0].faceVertexUV[0] = 14;
    refuse(m, "uv id past the end");
    m = makeCube(true, true);
    m.uvSets[0].v.pop_back();
    refuse(m, "u and v counts differ");
    m = makeCube(true, true);
    m.edges[5] = -2;
    refuse(m, "negative edge vertex");
    m = makeCube(true, true);
    m.faceVertexNormals.resize(5);
    refuse(m, "user normal count");
    m = makeCube(true, true);
    m.points.pop_back();
    refuse(m, "partial point");
}

// A grid of quads, large enough that a quadratic step would show.
TEST(MeshDisplay, LargeGridScalesLinearly) {
    const int n = 400;  // 160,000 quads
    MeshData m;
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) m.points.insert(m.points.end(), {float(x), float(y), 0.f});
    m.faceLoopStart.push_back(0);
    m.loopStart.push_back(0);
    auto id = [&](int x, int y) { return y * (n + 1) + x; };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            m.faceVertices.insert(m.faceVertices.end(), {id(x, y), id(x + 1, y), id(x + 1, y + 1), id(x, y + 1)});
            m.loopStart.push_back(uint32_t(m.faceVertices.size()));
            m.faceLoopStart.push_back(uint32_t(m.loopStart.size() - 1));
        }
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) {
            if (x < n) m.edges.insert(m.edges.end(), {id(x, y), id(x + 1, y)});
            if (y < n) m.edges.insert(m.edges.end(), {id(x, y), id(x, y + 1)});
        }
    m.edgeSmooth.assign(m.numEdges(), 1);
    auto start = std::chrono::steady_clock::now();
    DisplayGeometry g = draw(m, "");
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(g.triangleCount(), 2u * n * n);
    EXPECT_EQ(g.vertexCount(), size_t(n + 1) * (n + 1));
    for (size_t v = 0; v < g.vertexCount(); v += 997) EXPECT_EQ(g.normals[3 * v + 2], 1.f);
    // Generous even for a sanitizer build on a busy machine; a quadratic weld would take minutes.
    EXPECT_LT(seconds, 20.0);
}

}  // namespace
