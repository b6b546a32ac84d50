#include "mesh/MeshModifiers.h"
#include "mesh/MeshValidate.h"

#include "meshmod_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <set>

using namespace mayahost;
using namespace meshmodtest;
using meshtest::near;
using meshtest::normalAt;

namespace {

std::vector<int32_t> faceCorners(const MeshData& m, size_t f) {
    uint32_t b = m.loopStart[m.faceLoopStart[f]], e = m.loopStart[m.faceLoopStart[f + 1]];
    return {m.faceVertices.begin() + b, m.faceVertices.begin() + e};
}

// Newell vector of face f: its direction is the normal, half its length the area.
MeshVec newell(const MeshData& m, size_t f) {
    std::vector<int32_t> c = faceCorners(m, f);
    MeshVec n;
    for (size_t i = 0; i < c.size(); ++i) n += pointOf(m, size_t(c[i])).cross(pointOf(m, size_t(c[(i + 1) % c.size()])));
    return n;
}

double totalArea(const MeshData& m) {
    double area = 0;
    for (size_t f = 0; f < m.numFaces(); ++f) area += 0.5 * newell(m, f).length();
    return area;
}

size_t count(const std::vector<uint8_t>& flags, uint8_t value) { return size_t(std::count(flags.begin(), flags.end(), value)); }

MeshData unitSquare() { return meshtest::makeMesh({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, {{{0, 1, 2, 3}}}, false); }

// --- polyUnite -------------------------------------------------------------------

TEST(PolyUnite, ConcatenatesInIndexOrderWithIdsOffset) {
    PolyUniteParams params;
    params.inputs.push_back({meshtest::makeCube(true, false), translation(0, 0, 0)});
    MeshData flagless = meshtest::makeCube(true, false);
    flagless.edgeSmooth.clear();   // no flags: every edge hard
    params.inputs.push_back({flagless, translation(5, 0, 0)});
    std::string warning;
    MeshData out = applyPolyUnite(params, &warning);
    EXPECT_EQ(warning, "");
    EXPECT_EQ(meshDataError(out), "");
    ASSERT_EQ(out.numVertices(), 16u);
    ASSERT_EQ(out.numFaces(), 12u);
    ASSERT_EQ(out.numEdges(), 24u);
    EXPECT_EQ(faceCorners(out, 6), (std::vector<int32_t>{8, 9, 11, 10}));
    EXPECT_EQ(out.edges[24], out.edges[0] + 8);
    EXPECT_TRUE(near(pointOf(out, 9), {5.5, -.5, .5}));
    EXPECT_TRUE(near(pointOf(out, 1), {.5, -.5, .5}));
    EXPECT_EQ(count(out.edgeSmooth, 1), 12u);
    EXPECT_EQ(out.edgeSmooth[12], 0);
}

TEST(PolyUnite, PointsAsRowVectorsAndUserNormalsByTheInverseTranspose) {
    PolyUniteParams params;
    // Turned about z then moved: (.5 -.5 .5) -> (.5 .5 .5) -> (.5 .5 3.5).
    MMatrix turnThenMove = turnZ90() * translation(0, 0, 3);
    params.inputs.push_back({cubeWithUserNormals(), turnThenMove});
    params.inputs.push_back({meshtest::makeCube(false, false), scaling(2, 1, 1)});
    MeshData out = applyPolyUnite(params, nullptr);
    ASSERT_EQ(meshDataError(out), "");
    EXPECT_TRUE(near(pointOf(out, 1), {.5, .5, 3.5}, 1e-6));
    EXPECT_TRUE(near(pointOf(out, 9), {1, -.5, .5}));
    // Face 4's normals were +x; turned they point along +y. The second cube has none set.
    ASSERT_EQ(out.faceVertexNormals.size(), 3u * 48u);
    EXPECT_TRUE(near(normalAt(out.faceVertexNormals, 16), {0, 1, 0}, 1e-6));
    EXPECT_GT(out.faceVertexNormals[3 * 24], 1e19f);
}

TEST(PolyUnite, UVSetsMergeByNameOrStayApart) {
    MeshData first = meshtest::makeCube(false, true);
    MeshData second = meshtest::makeCube(false, true);
    MeshUVSet extra{"extra", {0, 1, 1, 0}, {0, 0, 1, 1}, std::vector<int32_t>(24, -1)};
    for (int c = 0; c < 4; ++c) extra.faceVertexUV[size_t(c)] = c;
    second.uvSets.insert(second.uvSets.begin(), extra);
    second.currentUVSet = 1;
    PolyUniteParams params;
    params.inputs = {{first, MMatrix()}, {second, MMatrix()}};

    MeshData merged = applyPolyUnite(params, nullptr);
    ASSERT_EQ(meshDataError(merged), "");
    ASSERT_EQ(merged.uvSets.size(), 2u);
    EXPECT_EQ(merged.uvSets[0].name, "map1");
    EXPECT_EQ(merged.uvSets[1].name, "extra");
    EXPECT_EQ(merged.currentUVSet, 0) << "the first input's current set";
    EXPECT_EQ(merged.uvSets[0].u.size(), 28u);
    EXPECT_EQ(merged.uvSets[0].faceVertexUV[24 + 5], 14 + 2) << "the second cube's ids after the first's 14 uvs";
    EXPECT_EQ(merged.uvSets[1].faceVertexUV[0], -1) << "the first cube has no extra uvs";
    EXPECT_EQ(merged.uvSets[1].faceVertexUV[24 + 3], 3);

    params.mergeUVSets = UnionUVSets::NoMerge;
    MeshData apart = applyPolyUnite(params, nullptr);
    ASSERT_EQ(meshDataError(apart), "");
    ASSERT_EQ(apart.uvSets.size(), 3u);
    EXPECT_EQ(apart.uvSets[0].name, "map1");
    EXPECT_EQ(apart.uvSets[1].name, "extra");
    EXPECT_EQ(apart.uvSets[2].name, "map11");
    EXPECT_EQ(apart.uvSets[2].u.size(), 14u);
    EXPECT_EQ(apart.uvSets[2].faceVertexUV[24 + 5], 2);
    EXPECT_EQ(apart.uvSets[0].faceVertexUV[24 + 5], -1);

    params.mergeUVSets = UnionUVSets::ByUVLinks;
    EXPECT_EQ(applyPolyUnite(params, nullptr).uvSets.size(), 2u) << "treated as merge by name";
}

TEST(PolyUnite, ColourSetsMergeByName) {
    MeshData first = meshtest::makeCube(false, false), second = meshtest::makeCube(false, false);
    first.colorSets.push_back({"colorSet1", {1, 0, 0, 1}, std::vector<int32_t>(24, 0)});
    second.colorSets.push_back({"colorSet1", {0, 1, 0, 1, 0, 0, 1, 1}, std::vector<int32_t>(24, 1)});
    PolyUniteParams params;
    params.inputs = {{first, MMatrix()}, {second, MMatrix()}};
    MeshData out = applyPolyUnite(params, nullptr);
    ASSERT_EQ(meshDataError(out), "");
    ASSERT_EQ(out.colorSets.size(), 1u);
    EXPECT_EQ(out.colorSets[0].rgba.size(), 12u);
    EXPECT_EQ(out.colorSets[0].faceVertexColor[0], 0);
    EXPECT_EQ(out.colorSets[0].faceVertexColor[24], 2);
}

TEST(PolyUnite, BrokenInputsAreLeftOutWithAWarning) {
    MeshData broken = meshtest::makeCube(false, false);
    broken.faceVertices[3] = 99;
    MMatrix infinite = translation(std::numeric_limits<double>::infinity(), 0, 0);
    PolyUniteParams params;
    params.inputs = {{broken, MMatrix()}, {meshtest::makeCube(false, false), infinite}, {unitSquare(), MMatrix()}};
    std::string warning;
    MeshData out = applyPolyUnite(params, &warning);
    EXPECT_EQ(meshDataError(out), "");
    EXPECT_EQ(out.numFaces(), 1u);
    EXPECT_TRUE(mentions(warning, "input 0 left out")) << warning;
    EXPECT_TRUE(mentions(warning, "input 1 left out")) << warning;

    MeshData none = applyPolyUnite(PolyUniteParams{}, nullptr);
    EXPECT_EQ(meshDataError(none), "");
    EXPECT_EQ(none.numFaces(), 0u);
}

// --- deleteComponent ---------------------------------------------------------------

TEST(DeleteComponent, FacesGoWithTheVerticesEdgesAndUVsOnlyTheyUsed) {
    MeshData cube = meshtest::makeCube(false, true);
    cube.edgeSmooth[11] = 1;
    DeleteComponentParams params{{"f[0:1]", "f[4]"}};
    std::string warning;
    MeshData out = applyDeleteComponent(cube, params, &warning);
    EXPECT_EQ(warning, "");
    ASSERT_EQ(meshDataError(out), "");
    ASSERT_EQ(out.numFaces(), 3u);
    // Vertex 3 was only on the deleted faces; 4 to 7 move down by one.
    ASSERT_EQ(out.numVertices(), 7u);
    EXPECT_TRUE(near(pointOf(out, 3), {-.5, .5, -.5}));
    EXPECT_EQ(faceCorners(out, 0), (std::vector<int32_t>{3, 4, 6, 5}));
    EXPECT_EQ(out.numEdges(), 9u);
    EXPECT_EQ(count(out.edgeSmooth, 1), 1u) << "the soft edge kept its flag";
    // uvs 1, 2, 10 and 11 were used by the deleted faces alone.
    const MeshUVSet& uv = out.uvSets[0];
    ASSERT_EQ(uv.u.size(), 10u);
    EXPECT_EQ(std::vector<int32_t>(uv.faceVertexUV.begin(), uv.faceVertexUV.begin() + 4), (std::vector<int32_t>{3, 2, 4, 5}));
    EXPECT_FLOAT_EQ(uv.u[1], .375f);
    EXPECT_FLOAT_EQ(uv.v[1], .25f);
}

TEST(DeleteComponent, CornerDataFollowsAndEverythingMayGo) {
    MeshData cube = cubeWithUserNormals();
    cube.colorSets.push_back({"c", {1, 1, 1, 1, 0, 0, 0, 1}, std::vector<int32_t>(24, 1)});
    MeshData out = applyDeleteComponent(cube, {{"f[0]"}}, nullptr);
    ASSERT_EQ(meshDataError(out), "");
    EXPECT_TRUE(near(normalAt(out.faceVertexNormals, 0), {0, 1, 0}));
    EXPECT_EQ(out.colorSets[0].rgba.size(), 4u) << "colour 0 is no longer used";
    EXPECT_EQ(out.colorSets[0].faceVertexColor[0], 0);

    MeshData empty = applyDeleteComponent(cube, {{"f[*]"}}, nullptr);
    EXPECT_EQ(meshDataError(empty), "");
    EXPECT_EQ(empty.numFaces(), 0u);
    EXPECT_EQ(empty.numVertices(), 0u);
    EXPECT_EQ(empty.numEdges(), 0u);
    EXPECT_EQ(empty.uvSets[0].u.size(), 0u);
}

TEST(DeleteComponent, EdgesVerticesAndBadListsLeaveTheMeshWithAWarning) {
    const MeshData cube = meshtest::makeCube(false, true);
    for (const std::vector<std::string>& list : {std::vector<std::string>{"e[2]"}, {"vtx[0:1]"}, {"f[6]"}, {"f[x]"}}) {
        std::string warning;
        MeshData out = applyDeleteComponent(cube, {list}, &warning);
        EXPECT_EQ(out.numFaces(), 6u) << list[0];
        EXPECT_EQ(out.numVertices(), 8u) << list[0];
        EXPECT_TRUE(mentions(warning, "deleteComponent: ")) << list[0] << ": " << warning;
    }
    std::string warning;
    MeshData out = applyDeleteComponent(cube, {{"f[0]", "e[3]"}}, &warning);
    EXPECT_EQ(out.numFaces(), 5u) << "the faces of a mixed list still go";
    EXPECT_TRUE(mentions(warning, "1 edges")) << warning;
}

// --- polySubdFace ---------------------------------------------------------------

TEST(PolySubdFace, AQuadBecomesFourInADocumentedOrder) {
    std::string warning;
    MeshData out = applyPolySubdFace(unitSquare(), {}, &warning);
    EXPECT_EQ(warning, "");
    ASSERT_EQ(meshDataError(out), "");
    ASSERT_EQ(out.numFaces(), 4u);
    ASSERT_EQ(out.numVertices(), 9u);
    // Midpoints of sides 0-1, 1-2, 2-3, 3-0, then the centre.
    EXPECT_TRUE(near(pointOf(out, 4), {1, 0, 0}));
    EXPECT_TRUE(near(pointOf(out, 7), {0, 1, 0}));
    EXPECT_TRUE(near(pointOf(out, 8), {1, 1, 0}));
    EXPECT_EQ(faceCorners(out, 0), (std::vector<int32_t>{0, 4, 8, 7}));
    EXPECT_EQ(faceCorners(out, 1), (std::vector<int32_t>{1, 5, 8, 4}));
    EXPECT_EQ(faceCorners(out, 3), (std::vector<int32_t>{3, 7, 8, 6}));
    EXPECT_EQ(out.numEdges(), 12u);
    EXPECT_EQ(count(out.edgeSmooth, 0), 8u) << "the halves keep their hard flag";
    EXPECT_EQ(count(out.edgeSmooth, 1), 4u) << "inner edges are soft";
    for (size_t f = 0; f < 4; ++f) EXPECT_GT(newell(out, f).z, 0) << f;
    EXPECT_NEAR(totalArea(out), 4.0, 1e-9);
}

TEST(PolySubdFace, DivisionsRepeatOnTheNewFaces) {
    PolySubdFaceParams params;
    params.divisions = 2;
    MeshData quads = applyPolySubdFace(unitSquare(), params, nullptr);
    ASSERT_EQ(meshDataError(quads), "");
    EXPECT_EQ(quads.numFaces(), 16u);
    EXPECT_EQ(quads.numVertices(), 25u);
    EXPECT_NEAR(totalArea(quads), 4.0, 1e-9);

    params.mode = SubdFaceMode::Triangles;   // 4 * 3^(divisions - 1) for a square
    MeshData triangles = applyPolySubdFace(unitSquare(), params, nullptr);
    ASSERT_EQ(meshDataError(triangles), "");
    EXPECT_EQ(triangles.numFaces(), 12u);
    EXPECT_EQ(triangles.numVertices(), 4u + 1u + 4u);
    EXPECT_NEAR(totalArea(triangles), 4.0, 1e-9);
    for (size_t f = 0; f < triangles.numFaces(); ++f) EXPECT_EQ(faceCorners(triangles, f).size(), 3u);

    params.divisions = 0;
    EXPECT_EQ(applyPolySubdFace(unitSquare(), params, nullptr).numFaces(), 1u);
}

TEST(PolySubdFace, NeighboursOfASplitFaceGainItsMidpoints) {
    PolySubdFaceParams params;
    params.inputComponents = std::vector<std::string>{"f[0]"};
    MeshData out = applyPolySubdFace(cubeWithUserNormals(), params, nullptr);
    ASSERT_EQ(meshDataError(out), "");
    EXPECT_EQ(out.numFaces(), 9u);
    EXPECT_EQ(out.numVertices(), 13u);
    EXPECT_EQ(out.numEdges(), 20u);
    EXPECT_EQ(faceCorners(out, 1).size(), 5u) << "the top shares the front's upper side";
    EXPECT_EQ(faceCorners(out, 2).size(), 4u) << "the back shares none";
    EXPECT_NEAR(totalArea(out), 6.0, 1e-9);
    // The top's new corner takes the top's normal, the front's parts keep the front's.
    const uint32_t top = out.loopStart[out.faceLoopStart[1]];
    for (uint32_t c = top; c < top + 5; ++c) EXPECT_TRUE(near(normalAt(out.faceVertexNormals, c), {0, 1, 0}, 1e-6)) << c;
    for (uint32_t c = 0; c < 4; ++c) EXPECT_TRUE(near(normalAt(out.faceVertexNormals, c), {0, 0, 1}, 1e-6)) << c;
}

TEST(PolySubdFace, UVsAreInterpolatedAndSharedAcrossSeamlessSides) {
    MeshData out = applyPolySubdFace(meshtest::makeCube(false, true), {}, nullptr);
    ASSERT_EQ(meshDataError(out), "");
    ASSERT_EQ(out.numFaces(), 24u);
    // 14 uvs, one centre per face, one midpoint per side except the 5 sides
    // the cross layout shares between faces.
    const MeshUVSet& uv = out.uvSets[0];
    EXPECT_EQ(uv.u.size(), 14u + 6u + 19u);
    // Face 0's first part: corner uv 0, midpoint of uvs 0-1, centre, midpoint of 3-0.
    const int32_t centre = uv.faceVertexUV[2];
    EXPECT_FLOAT_EQ(uv.u[size_t(centre)], .5f);
    EXPECT_FLOAT_EQ(uv.v[size_t(centre)], .125f);
    const int32_t mid = uv.faceVertexUV[1];
    EXPECT_FLOAT_EQ(uv.u[size_t(mid)], .5f);
    EXPECT_FLOAT_EQ(uv.v[size_t(mid)], 0.f);
}

TEST(PolySubdFace, ACubeKeepsItsShapeAreaAndOrientation) {
    for (SubdFaceMode mode : {SubdFaceMode::Quads, SubdFaceMode::Triangles}) {
        PolySubdFaceParams params;
        params.mode = mode;
        params.divisions = 2;
        MeshData cube = meshtest::makeCube(true, true);
        // Red where z is +.5, blue where it is -.5: a colour linear in z.
        cube.colorSets.push_back({"c", {1, 0, 0, 1, 0, 0, 1, 1}, {}});
        for (int32_t v : cube.faceVertices) cube.colorSets[0].faceVertexColor.push_back(pointOf(cube, size_t(v)).z > 0 ? 0 : 1);
        MeshData out = applyPolySubdFace(cube, params, nullptr);
        ASSERT_EQ(meshDataError(out), "");
        EXPECT_EQ(out.numFaces(), mode == SubdFaceMode::Quads ? 96u : 72u);
        EXPECT_NEAR(totalArea(out), 6.0, 1e-9);
        // Every point stays on the cube's surface, every part faces outward
        // and no side is walked twice the same way (the surface stays closed and oriented).
        for (size_t v = 0; v < out.numVertices(); ++v) {
            const MeshVec p = pointOf(out, v);
            EXPECT_NEAR(std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}), 0.5, 1e-7) << v;
        }
        std::set<std::pair<int32_t, int32_t>> sides;
        for (size_t f = 0; f < out.numFaces(); ++f) {
            std::vector<int32_t> c = faceCorners(out, f);
            MeshVec middle;
            for (int32_t v : c) middle += pointOf(out, size_t(v)) * (1.0 / double(c.size()));
            EXPECT_GT(newell(out, f).dot(middle), 0) << f;
            for (size_t i = 0; i < c.size(); ++i) EXPECT_TRUE(sides.insert({c[i], c[(i + 1) % c.size()]}).second) << f;
        }
        // Every side is shared by two faces walking it in opposite directions.
        for (const auto& [a, b] : sides) EXPECT_TRUE(sides.count({b, a})) << a << "-" << b;
        // Interpolation keeps a linear colour linear: red is z + .5 at every corner.
        const MeshColorSet& colors = out.colorSets[0];
        ASSERT_EQ(colors.faceVertexColor.size(), out.numFaceVertices());
        for (size_t c = 0; c < out.numFaceVertices(); ++c)
            EXPECT_NEAR(colors.rgba[4 * size_t(colors.faceVertexColor[c])], pointOf(out, size_t(out.faceVertices[c])).z + .5, 1e-6) << c;
    }
}

TEST(PolySubdFace, HolesBadModesAndBadListsPassThroughWithAWarning) {
    MeshData holed = meshtest::makeMesh({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {1, 1, 0}, {1, 2, 0}, {2, 2, 0}},
                                        {{{0, 1, 2, 3}, {4, 5, 6}}}, true);
    std::string warning;
    MeshData out = applyPolySubdFace(holed, {}, &warning);
    EXPECT_EQ(out.numFaces(), 1u);
    EXPECT_EQ(meshDataError(out), "");
    EXPECT_TRUE(mentions(warning, "kept whole")) << warning;

    PolySubdFaceParams bad;
    bad.mode = SubdFaceMode(7);
    warning.clear();
    EXPECT_EQ(applyPolySubdFace(unitSquare(), bad, &warning).numFaces(), 1u);
    EXPECT_TRUE(mentions(warning, "mode 7")) << warning;

    PolySubdFaceParams beyond;
    beyond.inputComponents = std::vector<std::string>{"f[3]"};
    warning.clear();
    EXPECT_EQ(applyPolySubdFace(unitSquare(), beyond, &warning).numFaces(), 1u);
    EXPECT_TRUE(mentions(warning, "polySubdFace: component list ignored")) << warning;
}

}  // namespace
