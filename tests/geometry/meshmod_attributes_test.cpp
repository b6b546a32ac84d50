#include "mesh/MeshModifiers.h"
#include "mesh/MeshValidate.h"

#include "meshmod_test_util.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

using namespace mayahost;
using namespace meshmodtest;

namespace {

using Rgba = std::array<float, 4>;

// The colour of corner `c` in set `s`, or all -1 when the corner has none.
Rgba cornerColor(const MeshData& m, size_t s, size_t c) {
    int32_t id = m.colorSets[s].faceVertexColor[c];
    if (id < 0) return {-1, -1, -1, -1};
    const float* p = &m.colorSets[s].rgba[4 * size_t(id)];
    return {p[0], p[1], p[2], p[3]};
}

// --- polyColorPerVertex ------------------------------------------------------

TEST(PolyColorPerVertex, FaceColoursWinOverVertexColoursPerCorner) {
    MeshData cube = meshtest::makeCube(false, false);
    PolyColorPerVertexParams params;
    VertexColor v0;
    v0.vertex = 0;
    v0.rgb = std::array<float, 3>{1, 0, 0};
    v0.alpha = 0.5f;
    VertexColor v1;
    v1.vertex = 1;
    v1.rgb = std::array<float, 3>{0, 0, 1};
    v1.faceColors = {{0, std::array<float, 3>{0, 1, 0}, std::nullopt}, {4, std::nullopt, 0.25f}};
    params.vertexColor = {v0, v1};
    std::string warning;
    MeshData out = applyPolyColorPerVertex(cube, params, &warning);
    EXPECT_EQ(warning, "");
    ASSERT_EQ(meshDataError(out), "");
    ASSERT_EQ(out.colorSets.size(), 1u);
    EXPECT_EQ(out.colorSets[0].name, "colorSet1");
    EXPECT_EQ(out.currentColorSet, 0);
    // Corners in the default cube's face order: face 0 (0 1 3 2), 3 (6 7 1 0), 4 (1 7 5 3), 5 (6 0 2 4).
    EXPECT_EQ(cornerColor(out, 0, 0), (Rgba{1, 0, 0, 0.5f}));   // vertex 0 on face 0
    EXPECT_EQ(cornerColor(out, 0, 15), (Rgba{1, 0, 0, 0.5f}));  // vertex 0 on face 3
    EXPECT_EQ(cornerColor(out, 0, 21), (Rgba{1, 0, 0, 0.5f}));  // vertex 0 on face 5
    EXPECT_EQ(cornerColor(out, 0, 1), (Rgba{0, 1, 0, 1}));      // vertex 1 on face 0: its face colour
    EXPECT_EQ(cornerColor(out, 0, 14), (Rgba{0, 0, 1, 1}));     // vertex 1 on face 3: the vertex colour
    EXPECT_EQ(cornerColor(out, 0, 16), (Rgba{0, 0, 1, 0.25f})); // vertex 1 on face 4: face alpha only
    EXPECT_EQ(cornerColor(out, 0, 2), (Rgba{-1, -1, -1, -1}));  // vertex 3: not mentioned
    // Equal colours share one entry.
    EXPECT_EQ(out.colorSets[0].faceVertexColor[0], out.colorSets[0].faceVertexColor[15]);
    EXPECT_EQ(out.colorSets[0].rgba.size(), 16u);
}

TEST(PolyColorPerVertex, ExistingSetIsUpdatedAndUnmentionedCornersKeepTheirColour) {
    MeshData cube = meshtest::makeCube(false, false);
    MeshColorSet other{"other", {0.1f, 0.1f, 0.1f, 1}, std::vector<int32_t>(24, 0)};
    MeshColorSet mine{"paint", {0.2f, 0.3f, 0.4f, 0.6f}, std::vector<int32_t>(24, 0)};
    cube.colorSets = {other, mine};
    PolyColorPerVertexParams params;
    params.colorSetName = "paint";
    VertexColor v3;
    v3.vertex = 3;
    v3.alpha = 0.9f;  // alpha alone keeps the colour the corner had
    VertexColor v5;
    v5.vertex = 5;
    v5.rgb = std::array<float, 3>{2, -1, 0.5f};
    params.vertexColor = {v3, v5};
    params.clamped = true;
    MeshData out = applyPolyColorPerVertex(cube, params, nullptr);
    ASSERT_EQ(out.colorSets.size(), 2u);
    EXPECT_EQ(out.currentColorSet, 0);  // an existing set does not become current
    EXPECT_EQ(out.colorSets[0].faceVertexColor, other.faceVertexColor);
    EXPECT_EQ(cornerColor(out, 1, 0), (Rgba{0.2f, 0.3f, 0.4f, 0.6f}));  // vertex 0
    EXPECT_EQ(cornerColor(out, 1, 2), (Rgba{0.2f, 0.3f, 0.4f, 0.9f}));  // vertex 3
    EXPECT_EQ(cornerColor(out, 1, 6), (Rgba{1, 0, 0.5f, 0.6f}));        // vertex 5, clamped, alpha kept

    params.clamped = false;
    out = applyPolyColorPerVertex(cube, params, nullptr);
    EXPECT_EQ(cornerColor(out, 1, 6), (Rgba{2, -1, 0.5f, 0.6f}));
}

TEST(PolyColorPerVertex, StrayIdsWarnAndAreIgnored) {
    MeshData cube = meshtest::makeCube(false, false);
    PolyColorPerVertexParams params;
    VertexColor far;
    far.vertex = 8;
    far.rgb = std::array<float, 3>{1, 1, 1};
    VertexColor wrongFace;
    wrongFace.vertex = 0;
    wrongFace.faceColors = {{1, std::array<float, 3>{1, 1, 1}, 1.0f}};  // face 1 does not hold vertex 0
    VertexColor nan;
    nan.vertex = 2;
    nan.rgb = std::array<float, 3>{std::numeric_limits<float>::quiet_NaN(), 0, 0};
    params.vertexColor = {far, wrongFace, nan};
    std::string warning;
    MeshData out = applyPolyColorPerVertex(cube, params, &warning);
    EXPECT_TRUE(mentions(warning, "1 colours for vertices beyond")) << warning;
    EXPECT_TRUE(mentions(warning, "1 face colours name faces")) << warning;
    EXPECT_TRUE(mentions(warning, "non-finite")) << warning;
    EXPECT_EQ(out.colorSets[0].faceVertexColor, std::vector<int32_t>(24, -1));
    EXPECT_EQ(meshDataError(out), "");
}

// --- polyTweakUV -------------------------------------------------------------

TEST(PolyTweakUV, TweaksAreAddedToTheNamedSet) {
    MeshData cube = meshtest::makeCube(false, true);
    cube.uvSets.push_back({"second", {0.f, 1.f}, {0.f, 1.f}, std::vector<int32_t>(24, 0)});
    PolyTweakUVParams params;
    params.uvTweak = {{2, 0.5f, -0.25f}, {13, 1, 1}};
    MeshData out = applyPolyTweakUV(cube, params, nullptr);  // the current set, map1
    EXPECT_FLOAT_EQ(out.uvSets[0].u[2], 0.625f + 0.5f);
    EXPECT_FLOAT_EQ(out.uvSets[0].v[2], 0.25f - 0.25f);
    EXPECT_FLOAT_EQ(out.uvSets[0].u[13], 0.125f + 1);
    EXPECT_EQ(out.uvSets[0].u[1], cube.uvSets[0].u[1]);
    EXPECT_EQ(out.uvSets[1].u, cube.uvSets[1].u);

    params.uvSetName = "second";
    params.uvTweak = {{1, -1, -1}};
    out = applyPolyTweakUV(cube, params, nullptr);
    EXPECT_EQ(out.uvSets[1].u, (std::vector<float>{0, 0}));
    EXPECT_EQ(out.uvSets[0].u, cube.uvSets[0].u);
}

TEST(PolyTweakUV, MissingSetAndStrayIdsWarn) {
    MeshData cube = meshtest::makeCube(false, true);
    PolyTweakUVParams params;
    params.uvTweak = {{14, 1, 1}, {-1, 1, 1}, {0, 0.5f, 0}};
    std::string warning;
    MeshData out = applyPolyTweakUV(cube, params, &warning);
    EXPECT_TRUE(mentions(warning, "2 tweaks name uvs beyond")) << warning;
    EXPECT_FLOAT_EQ(out.uvSets[0].u[0], 0.875f);

    params.uvSetName = "nope";
    warning.clear();
    out = applyPolyTweakUV(cube, params, &warning);
    EXPECT_EQ(out.uvSets[0].u, cube.uvSets[0].u);
    EXPECT_TRUE(mentions(warning, "no uv set \"nope\"")) << warning;

    MeshData bare = meshtest::makeCube(false, false);  // no uvs at all
    warning.clear();
    params.uvSetName.clear();
    EXPECT_EQ(applyPolyTweakUV(bare, params, &warning).uvSets.size(), 0u);
    EXPECT_TRUE(mentions(warning, "polyTweakUV")) << warning;
}

}  // namespace
