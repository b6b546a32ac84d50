#include "mesh/MeshNormals.h"

#include "mesh_test_util.h"

#include <gtest/gtest.h>

using namespace meshtest;
using mayahost::computeFaceNormals;
using mayahost::computeFaceVertexNormals;
using mayahost::NormalWeighting;

namespace {

const double kInvSqrt3 = 1 / std::sqrt(3.0);

// Outward axis normal of each default-cube face, in face order.
const MeshVec kCubeFaceNormals[] = {{0, 0, 1}, {0, 1, 0}, {0, 0, -1}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};

TEST(MeshNormals, FaceNormalsFollowTheWinding) {
    MeshData cube = makeCube(false, false);
    std::vector<float> normals = computeFaceNormals(cube);
    ASSERT_EQ(normals.size(), 18u);
    for (size_t f = 0; f < 6; ++f) EXPECT_TRUE(near(normalAt(normals, f), kCubeFaceNormals[f])) << "face " << f;
}

TEST(MeshNormals, HardCubeCornersTakeTheirFaceNormal) {
    MeshData cube = makeCube(false, false);
    std::vector<float> normals = computeFaceVertexNormals(cube);
    ASSERT_EQ(normals.size(), 3 * cube.numFaceVertices());
    for (size_t c = 0; c < cube.numFaceVertices(); ++c)
        EXPECT_TRUE(near(normalAt(normals, c), kCubeFaceNormals[c / 4])) << "corner " << c;
}

TEST(MeshNormals, SoftCubeCornersPointAlongTheDiagonal) {
    MeshData cube = makeCube(true, false);
    std::vector<float> normals = computeFaceVertexNormals(cube);
    for (size_t c = 0; c < cube.numFaceVertices(); ++c) {
        const float* p = &cube.points[3 * size_t(cube.faceVertices[c])];
        MeshVec expected{p[0] * 2 * kInvSqrt3, p[1] * 2 * kInvSqrt3, p[2] * 2 * kInvSqrt3};
        EXPECT_TRUE(near(normalAt(normals, c), expected)) << "corner " << c;
    }
}

// A strip folded along the middle row: two faces lie flat, two rise at 45
// degrees. The fold edges decide whether the middle vertices are shared.
struct Fold {
    std::vector<MeshVec> points = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0},
                                   {0, 2, 1}, {1, 2, 1}, {2, 2, 1}};
    std::vector<Face> faces = {{{0, 1, 4, 3}}, {{1, 2, 5, 4}}, {{3, 4, 7, 6}}, {{4, 5, 8, 7}}};
    // Corner of face f at vertex 4 (the middle vertex).
    static size_t cornerAt4(size_t face) { return face * 4 + (face == 0 ? 2 : face == 1 ? 3 : face == 2 ? 1 : 0); }
};

TEST(MeshNormals, HardEdgesSplitTheFanAndSoftEdgesJoinIt) {
    Fold fold;
    MeshVec flat{0, 0, 1}, raised = MeshVec{0, -1, 1}.normalized(), between = (flat + raised).normalized();

    MeshData soft = makeMesh(fold.points, fold.faces, true);
    std::vector<float> n = computeFaceVertexNormals(soft);
    for (size_t f = 0; f < 4; ++f) EXPECT_TRUE(near(normalAt(n, Fold::cornerAt4(f)), between)) << "face " << f;

    // Hard along the fold (3-4 and 4-5), soft elsewhere: the flat pair and the raised pair separate.
    MeshData folded = makeMesh(fold.points, fold.faces, true, {{3, 4}, {4, 5}});
    n = computeFaceVertexNormals(folded);
    for (size_t f = 0; f < 2; ++f) EXPECT_TRUE(near(normalAt(n, Fold::cornerAt4(f)), flat)) << "face " << f;
    for (size_t f = 2; f < 4; ++f) EXPECT_TRUE(near(normalAt(n, Fold::cornerAt4(f)), raised)) << "face " << f;

    // Hard only across the strip (1-4 and 4-7): left and right halves separate, but each still bends.
    MeshData split = makeMesh(fold.points, fold.faces, true, {{1, 4}, {4, 7}});
    n = computeFaceVertexNormals(split);
    for (size_t f = 0; f < 4; ++f) EXPECT_TRUE(near(normalAt(n, Fold::cornerAt4(f)), between)) << "face " << f;

    // One hard edge alone (4-5) does not cut the fan: faces 1 and 3 still meet through faces 0 and 2.
    MeshData oneHard = makeMesh(fold.points, fold.faces, true, {{4, 5}});
    n = computeFaceVertexNormals(oneHard);
    for (size_t f = 0; f < 4; ++f) EXPECT_TRUE(near(normalAt(n, Fold::cornerAt4(f)), between)) << "face " << f;
}

TEST(MeshNormals, WeightingModes) {
    // At vertex 0: a big face (area 4) facing +z, a small triangle (area 1) facing -y, joined softly along 0-1.
    std::vector<MeshVec> pts = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, -1}};
    std::vector<Face> faces = {{{0, 1, 2, 3}}, {{0, 4, 1}}};
    MeshData m = makeMesh(pts, faces, true);
    auto at0 = [&](NormalWeighting w) { return normalAt(computeFaceVertexNormals(m, w), 0); };
    EXPECT_TRUE(near(at0(NormalWeighting::Unweighted), MeshVec{0, -1, 1}.normalized()));
    EXPECT_TRUE(near(at0(NormalWeighting::AreaWeighted), MeshVec{0, -1, 4}.normalized()));
    // Right angles at vertex 0 in both faces: angle weighting equals unweighted here ...
    EXPECT_TRUE(near(at0(NormalWeighting::AngleWeighted), MeshVec{0, -1, 1}.normalized()));
    // ... but not at vertex 1, where the triangle's corner is only atan(1/2).
    MeshVec at1 = normalAt(computeFaceVertexNormals(m, NormalWeighting::AngleWeighted), 1);
    double small = std::atan(0.5), right = std::numbers::pi / 2;
    EXPECT_TRUE(near(at1, MeshVec{0, -small, right}.normalized()));
    MeshVec both = normalAt(computeFaceVertexNormals(m, NormalWeighting::AngleAndArea), 1);
    EXPECT_TRUE(near(both, MeshVec{0, -small, right * 4}.normalized()));
}

TEST(MeshNormals, UserNormalsOverrideCornerByCorner) {
    MeshData cube = makeCube(true, false);
    cube.faceVertexNormals.assign(3 * cube.numFaceVertices(), 1e20f);
    cube.faceVertexNormals[3 * 5 + 0] = 0.6f;
    cube.faceVertexNormals[3 * 5 + 1] = 0.8f;
    cube.faceVertexNormals[3 * 5 + 2] = 0.0f;
    std::vector<float> n = computeFaceVertexNormals(cube);
    EXPECT_TRUE(near(normalAt(n, 5), MeshVec{0.6, 0.8, 0}));
    // Corner 1 is the same vertex (1) in face 0: still the smoothed value.
    EXPECT_TRUE(near(normalAt(n, 1), MeshVec{kInvSqrt3, -kInvSqrt3, kInvSqrt3}));
}

TEST(MeshNormals, DegenerateAndBrokenMeshes) {
    // A face without area next to a real one: no NaN anywhere.
    std::vector<MeshVec> pts = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 0, 0}};
    MeshData m = makeMesh(pts, {{{0, 1, 2}}, {{0, 3, 1}}}, true);
    std::vector<float> n = computeFaceVertexNormals(m);
    for (float v : n) EXPECT_FALSE(std::isnan(v));
    EXPECT_TRUE(near(normalAt(n, 0), MeshVec{0, 0, 1}));

    MeshData broken = makeCube(false, false);
    broken.faceVertices[3] = 99;
    EXPECT_TRUE(computeFaceVertexNormals(broken).empty());
    EXPECT_TRUE(computeFaceNormals(broken).empty());
}

}  // namespace
