#include "mesh/MeshModifiers.h"
#include "mesh/MeshNormals.h"
#include "mesh/MeshValidate.h"

#include "meshmod_test_util.h"

#include <gtest/gtest.h>

#include <set>

using namespace mayahost;
using namespace meshmodtest;
using meshtest::near;
using meshtest::normalAt;

namespace {

const MeshVec kOutward[] = {{0, 0, 1}, {0, 1, 0}, {0, 0, -1}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};

std::vector<int32_t> faceCorners(const MeshData& m, size_t f) {
    uint32_t b = m.loopStart[m.faceLoopStart[f]], e = m.loopStart[m.faceLoopStart[f + 1]];
    return {m.faceVertices.begin() + b, m.faceVertices.begin() + e};
}

// +1 when face f points outward, -1 when inward (unit cube faces only).
std::vector<int> cubeSides(const MeshData& m) {
    std::vector<float> n = computeFaceNormals(m);
    std::vector<int> sides;
    for (size_t f = 0; f < 6; ++f) sides.push_back(normalAt(n, f).dot(kOutward[f]) > 0 ? 1 : -1);
    return sides;
}

MeshData cubeWithFlipped(std::initializer_list<size_t> faces) {
    MeshData cube = meshtest::makeCube(false, false);
    PolyNormalParams flip;
    for (size_t f : faces) {
        flip.inputComponents = std::vector<std::string>{"f[" + std::to_string(f) + "]"};
        cube = applyPolyNormal(cube, flip, nullptr);
    }
    return cube;
}

// --- polyNormal -------------------------------------------------------------

TEST(PolyNormal, ReverseKeepsTheFirstCornerAndCarriesCornerData) {
    MeshData cube = cubeWithUserNormals();
    PolyNormalParams params;
    params.inputComponents = std::vector<std::string>{"f[0]"};
    MeshData out = applyPolyNormal(cube, params, nullptr);
    EXPECT_EQ(faceCorners(out, 0), (std::vector<int32_t>{0, 2, 3, 1}));
    EXPECT_EQ(faceCorners(out, 1), faceCorners(cube, 1));
    EXPECT_EQ(std::vector<int32_t>(out.uvSets[0].faceVertexUV.begin(), out.uvSets[0].faceVertexUV.begin() + 4),
              (std::vector<int32_t>{0, 3, 2, 1}));
    for (size_t c = 0; c < 4; ++c) EXPECT_TRUE(near(normalAt(out.faceVertexNormals, c), {0, 0, -1})) << c;
    EXPECT_TRUE(near(normalAt(out.faceVertexNormals, 4), {0, 1, 0}));
    EXPECT_EQ(cubeSides(out), (std::vector<int>{-1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(meshDataError(out), "");

    params.userNormalMode = false;
    out = applyPolyNormal(cube, params, nullptr);
    EXPECT_TRUE(near(normalAt(out.faceVertexNormals, 0), {0, 0, 1}));
}

TEST(PolyNormal, ReverseWithoutComponentsFlipsEverything) {
    MeshData cube = meshtest::makeCube(false, false);
    MeshData out = applyPolyNormal(cube, {}, nullptr);
    EXPECT_EQ(cubeSides(out), std::vector<int>(6, -1));
    // Reversing twice gives the original loops back.
    EXPECT_EQ(applyPolyNormal(out, {}, nullptr).faceVertices, cube.faceVertices);
}

TEST(PolyNormal, PropagateTurnsTheShellToAgreeWithTheSelection) {
    MeshData cube = cubeWithFlipped({2, 4});
    PolyNormalParams params;
    params.normalMode = PolyNormalMode::Propagate;
    params.inputComponents = std::vector<std::string>{"f[0]"};
    EXPECT_EQ(cubeSides(applyPolyNormal(cube, params, nullptr)), std::vector<int>(6, 1));
    params.inputComponents = std::vector<std::string>{"f[2]"};  // an inward face leads
    EXPECT_EQ(cubeSides(applyPolyNormal(cube, params, nullptr)), std::vector<int>(6, -1));
    params.normalMode = PolyNormalMode::ReverseAndPropagate;
    EXPECT_EQ(cubeSides(applyPolyNormal(cube, params, nullptr)), std::vector<int>(6, 1));
}

TEST(PolyNormal, ConformFollowsTheMajorityOfEachTouchedShell) {
    PolyNormalParams params;
    params.normalMode = PolyNormalMode::Conform;
    EXPECT_EQ(cubeSides(applyPolyNormal(cubeWithFlipped({2, 4}), params, nullptr)), std::vector<int>(6, 1));
    EXPECT_EQ(cubeSides(applyPolyNormal(cubeWithFlipped({0, 1, 2, 4}), params, nullptr)), std::vector<int>(6, -1));

    // Two shells: a cube and two detached triangles that disagree along their
    // shared edge; only the selected shell is conformed.
    MeshData cube = cubeWithFlipped({3});
    cube.points.insert(cube.points.end(), {5, 0, 0, 6, 0, 0, 5, 1, 0, 6, 1, 0});
    for (std::vector<int32_t> tri : {std::vector<int32_t>{8, 9, 10}, std::vector<int32_t>{9, 10, 11}}) {
        cube.faceVertices.insert(cube.faceVertices.end(), tri.begin(), tri.end());
        cube.loopStart.push_back(uint32_t(cube.faceVertices.size()));
        cube.faceLoopStart.push_back(uint32_t(cube.loopStart.size() - 1));
    }
    cube.edges.insert(cube.edges.end(), {8, 9, 9, 10, 10, 8, 10, 11, 11, 9});
    cube.edgeSmooth.insert(cube.edgeSmooth.end(), {0, 0, 0, 0, 0});
    ASSERT_EQ(meshDataError(cube), "");
    params.inputComponents = std::vector<std::string>{"f[0]"};
    MeshData out = applyPolyNormal(cube, params, nullptr);
    EXPECT_EQ(cubeSides(out), std::vector<int>(6, 1));
    EXPECT_EQ(faceCorners(out, 6), (std::vector<int32_t>{8, 9, 10}));
    EXPECT_EQ(faceCorners(out, 7), (std::vector<int32_t>{9, 10, 11}));
    // Selecting the pair conforms it: on a tie the first face leads.
    params.inputComponents = std::vector<std::string>{"f[6:7]"};
    out = applyPolyNormal(cube, params, nullptr);
    EXPECT_EQ(faceCorners(out, 6), (std::vector<int32_t>{8, 9, 10}));
    EXPECT_EQ(faceCorners(out, 7), (std::vector<int32_t>{9, 11, 10}));
    EXPECT_EQ(cubeSides(out)[3], -1);  // the cube was not touched
}

TEST(PolyNormal, ReverseAndCutWarnsThatNoCutIsMade) {
    PolyNormalParams params;
    params.normalMode = PolyNormalMode::ReverseAndCut;
    std::string warning;
    MeshData out = applyPolyNormal(meshtest::makeCube(false, false), params, &warning);
    EXPECT_EQ(cubeSides(out), std::vector<int>(6, -1));
    EXPECT_TRUE(mentions(warning, "reverseAndCut")) << warning;

    params.normalMode = PolyNormalMode(9);
    warning.clear();
    out = applyPolyNormal(meshtest::makeCube(false, false), params, &warning);
    EXPECT_EQ(cubeSides(out), std::vector<int>(6, 1));
    EXPECT_TRUE(mentions(warning, "normalMode 9")) << warning;
}

// --- polySoftEdge -------------------------------------------------------------

TEST(PolySoftEdge, EdgesHardenWhenTheirFacesMeetBeyondTheAngle) {
    MeshData cube = meshtest::makeCube(true, false);
    PolySoftEdgeParams params;  // 30 degrees: the cube's right angles are hard
    EXPECT_EQ(applyPolySoftEdge(cube, params, nullptr).edgeSmooth, std::vector<uint8_t>(12, 0));
    params.angle = 90;  // exactly 90 is not beyond
    EXPECT_EQ(applyPolySoftEdge(meshtest::makeCube(false, false), params, nullptr).edgeSmooth,
              std::vector<uint8_t>(12, 1));
    params.angle = 89.9;
    EXPECT_EQ(applyPolySoftEdge(cube, params, nullptr).edgeSmooth, std::vector<uint8_t>(12, 0));
}

TEST(PolySoftEdge, OnlyListedEdgesChangeAndFacesListTheirEdges) {
    MeshData cube = meshtest::makeCube(true, false);
    PolySoftEdgeParams params;
    params.inputComponents = std::vector<std::string>{"e[3]"};
    std::vector<uint8_t> expected(12, 1);
    expected[3] = 0;
    EXPECT_EQ(applyPolySoftEdge(cube, params, nullptr).edgeSmooth, expected);

    params.inputComponents = std::vector<std::string>{"f[0]"};
    MeshData out = applyPolySoftEdge(cube, params, nullptr);
    std::set<std::pair<int32_t, int32_t>> hard;
    for (size_t e = 0; e < 12; ++e)
        if (!out.edgeSmooth[e]) hard.insert(std::minmax(out.edges[2 * e], out.edges[2 * e + 1]));
    EXPECT_EQ(hard, (std::set<std::pair<int32_t, int32_t>>{{0, 1}, {1, 3}, {2, 3}, {0, 2}}));

    params.inputComponents = std::vector<std::string>{};  // an empty list changes nothing
    EXPECT_EQ(applyPolySoftEdge(cube, params, nullptr).edgeSmooth, cube.edgeSmooth);
    params.inputComponents = std::vector<std::string>{"e[12]"};
    std::string warning;
    EXPECT_EQ(applyPolySoftEdge(cube, params, &warning).edgeSmooth, cube.edgeSmooth);
    EXPECT_TRUE(mentions(warning, "e[12]")) << warning;
}

TEST(PolySoftEdge, FlatMeshAndBordersAreSoftAndMissingFlagsAreFilled) {
    // Two squares folded by 60 degrees along their shared edge, flags absent (all hard).
    MeshData folded = meshtest::makeMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                          {0, 1 + 0.5, std::sqrt(0.75)}, {1, 1 + 0.5, std::sqrt(0.75)}},
                                         {{{0, 1, 2, 3}}, {{3, 2, 5, 4}}}, false);
    folded.edgeSmooth.clear();
    PolySoftEdgeParams params;
    params.angle = 59;
    MeshData out = applyPolySoftEdge(folded, params, nullptr);
    ASSERT_EQ(out.edgeSmooth.size(), out.numEdges());
    for (size_t e = 0; e < out.numEdges(); ++e) {
        std::pair<int32_t, int32_t> ends = std::minmax(out.edges[2 * e], out.edges[2 * e + 1]);
        bool shared = ends == std::pair<int32_t, int32_t>{2, 3};
        EXPECT_EQ(out.edgeSmooth[e], shared ? 0 : 1) << e;
    }
    params.angle = 61;
    out = applyPolySoftEdge(folded, params, nullptr);
    EXPECT_EQ(out.edgeSmooth, std::vector<uint8_t>(out.numEdges(), 1));
}

// --- polyTriangulate ---------------------------------------------------------

TEST(PolyTriangulate, CubeBecomesTwelveTrianglesInPlace) {
    MeshData cube = cubeWithUserNormals();
    std::string warning;
    MeshData out = applyPolyTriangulate(cube, {}, &warning);
    EXPECT_EQ(warning, "");
    ASSERT_EQ(meshDataError(out), "");
    ASSERT_EQ(out.numFaces(), 12u);
    EXPECT_EQ(out.numFaceVertices(), 36u);
    ASSERT_EQ(out.numEdges(), 18u);
    for (size_t e = 0; e < 12; ++e) EXPECT_EQ(out.edgeSmooth[e], cube.edgeSmooth[e]) << e;
    for (size_t e = 12; e < 18; ++e) EXPECT_EQ(out.edgeSmooth[e], 1) << "new edge " << e;

    std::vector<float> inNormals = computeFaceNormals(cube), outNormals = computeFaceNormals(out);
    for (size_t t = 0; t < 12; ++t) {
        size_t f = t / 2;  // triangles 2f and 2f+1 come from face f
        std::vector<int32_t> quad = faceCorners(cube, f);
        for (int32_t v : faceCorners(out, t))
            EXPECT_NE(std::find(quad.begin(), quad.end(), v), quad.end()) << "triangle " << t;
        EXPECT_TRUE(near(normalAt(outNormals, t), normalAt(inNormals, f))) << t;  // winding kept
    }
    // Every corner keeps the uv and user normal it had on its face.
    for (size_t c = 0; c < out.numFaceVertices(); ++c) {
        size_t f = 0;
        while (out.faceLoopStart[f + 1] <= c / 3) ++f;
        size_t src = 4 * (f / 2);
        while (cube.faceVertices[src] != out.faceVertices[c]) ++src;
        EXPECT_EQ(out.uvSets[0].faceVertexUV[c], cube.uvSets[0].faceVertexUV[src]) << c;
        EXPECT_TRUE(near(normalAt(out.faceVertexNormals, c), normalAt(cube.faceVertexNormals, src))) << c;
    }
}

TEST(PolyTriangulate, OnlySelectedFacesSplitAndLaterFacesFollow) {
    MeshData cube = meshtest::makeCube(false, false);
    PolyTriangulateParams params;
    params.inputComponents = std::vector<std::string>{"f[1]"};
    MeshData out = applyPolyTriangulate(cube, params, nullptr);
    ASSERT_EQ(out.numFaces(), 7u);
    EXPECT_EQ(faceCorners(out, 0), faceCorners(cube, 0));
    EXPECT_EQ(faceCorners(out, 1).size(), 3u);
    EXPECT_EQ(faceCorners(out, 2).size(), 3u);
    for (size_t f = 2; f < 6; ++f) EXPECT_EQ(faceCorners(out, f + 1), faceCorners(cube, f)) << f;
    EXPECT_EQ(out.numEdges(), 13u);
}

TEST(PolyTriangulate, HolesAndConcaveFacesKeepTheirArea) {
    // A 4 x 4 square with a 2 x 2 square hole: 8 triangles of total area 12.
    MeshData holed = meshtest::makeMesh({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0},
                                         {1, 1, 0}, {1, 3, 0}, {3, 3, 0}, {3, 1, 0}},
                                        {{{0, 1, 2, 3}, {4, 5, 6, 7}}}, true);
    MeshData out = applyPolyTriangulate(holed, {}, nullptr);
    ASSERT_EQ(out.numFaces(), 8u);
    ASSERT_EQ(out.numLoops(), 8u);
    double area = 0;
    for (size_t f = 0; f < out.numFaces(); ++f) {
        std::vector<int32_t> t = faceCorners(out, f);
        MeshVec a = pointOf(out, size_t(t[0])), b = pointOf(out, size_t(t[1])), c = pointOf(out, size_t(t[2]));
        MeshVec n = (b - a).cross(c - a);
        EXPECT_GT(n.z, 0) << f;  // wound like the outer loop
        area += n.length() / 2;
    }
    EXPECT_NEAR(area, 12.0, 1e-9);
}

TEST(PolyTriangulate, EmptyOrBadSelectionAndDegenerateFacesLeaveTheMesh) {
    MeshData cube = meshtest::makeCube(false, false);
    PolyTriangulateParams params;
    params.inputComponents = std::vector<std::string>{};
    EXPECT_EQ(applyPolyTriangulate(cube, params, nullptr).faceVertices, cube.faceVertices);
    params.inputComponents = std::vector<std::string>{"f[6]"};
    std::string warning;
    EXPECT_EQ(applyPolyTriangulate(cube, params, &warning).numFaces(), 6u);
    EXPECT_TRUE(mentions(warning, "f[6]")) << warning;

    MeshData sliver = meshtest::makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1}}, {{0, 1, 2}}}, true);
    warning.clear();
    MeshData out = applyPolyTriangulate(sliver, {}, &warning);
    EXPECT_EQ(out.numFaces(), 2u);
    EXPECT_EQ(faceCorners(out, 0), (std::vector<int32_t>{0, 1}));
    EXPECT_TRUE(mentions(warning, "1 faces without enough corners")) << warning;
}

}  // namespace
