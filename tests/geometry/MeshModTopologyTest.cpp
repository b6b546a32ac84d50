// Modifiers that change faces, edges or their flags: polyNormal, polySoftEdge,
// polyTriangulate, polyUnite, deleteComponent, polySubdFace and
// polyExtrudeFace, polyCloseBorder, polySmoothFace, polySplit, and the
// component lists they read.

#include "mesh/MeshModifiers.h"
#include "mesh/PolyCreators.h"
#include "mesh/MeshNormals.h"
#include "mesh/MeshValidate.h"

#include "MeshTestUtil.h"

#include <gtest/gtest.h>

#include <limits>

using namespace mayahost;
using namespace meshtest;

namespace {

// +1 when face f points outward, -1 when inward (unit cube faces only).
std::vector<int> cubeSides(const MeshData& m) {
    std::vector<float> n = computeFaceNormals(m);
    std::vector<int> sides;
    for (size_t f = 0; f < 6; ++f) sides.push_back(normalAt(n, f).dot(kCubeNormals[f]) > 0 ? 1 : -1);
    return sides;
}
std::vector<int> all(int side) { return std::vector<int>(6, side); }

MeshData cubeWithFlipped(std::initializer_list<size_t> faces) {
    MeshData cube = kCube;
    for (size_t f : faces) cube = applyPolyNormal(cube, {.inputComponents = list({"f[" + std::to_string(f) + "]"})}, nullptr);
    return cube;
}

double totalArea(const MeshData& m) {
    double area = 0;
    for (size_t f = 0; f < m.numFaces(); ++f) area += 0.5 * newell(m, f).length();
    return area;
}

size_t count(const std::vector<uint8_t>& flags, uint8_t value) { return size_t(std::count(flags.begin(), flags.end(), value)); }

MeshData unitSquare() { return makeMesh({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, {{{0, 1, 2, 3}}}, false); }

// --- Component lists ------------------------------------------------------------

TEST(ComponentList, ItemsOfEveryKindAreMergedSortedAndUnique) {
    const ComponentLimits cube = componentLimits(makeCube(false, true));
    EXPECT_EQ(std::tuple(cube.vertices, cube.edges, cube.faces, cube.uvs), std::tuple(8u, 12u, 6u, 14u));
    ComponentSelection sel;
    ASSERT_EQ(parseComponentList({"f[3:5]", "f[0]", "f[4]", "vtx[7]", "vtx[2:3]", "e[*]", "map[12:13]"}, cube, sel), "");
    EXPECT_EQ(std::tuple(sel.faces, sel.vertices, sel.edges, sel.uvs),
              std::tuple(Ids{0, 3, 4, 5}, Ids{2, 3, 7}, Ids{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, Ids{12, 13}));
    // An empty list, and a star on nothing, select nothing.
    for (auto [items, limits] : {std::pair{std::vector<std::string>{}, cube}, {{"f[*]", "vtx[*]"}, ComponentLimits{}}})
        EXPECT_TRUE(parseComponentList(items, limits, sel).empty() && sel.empty()) << items.size();
    // Bad items are rejected by name and leave nothing.
    for (const char* item : {"f[6]", "f[2:6]", "f[3:1]", "f[a]", "f[]", "f[1:]", "[1]", "f1", "f[-1]", "x[1]", "f[1",
                             "vtxFace[1][2]", "f[99999999999999999999]", "map[14]", "e[12]", "vtx[8]", "f[1:2:3]",
                             "f[ 1]"}) {
        EXPECT_TRUE(mentions(parseComponentList({"f[0]", item}, cube, sel), item)) << item;
        EXPECT_TRUE(sel.empty()) << item;
    }
    // Uv limits come from the chosen set.
    MeshData twoSets = makeCube(false, true);
    twoSets.uvSets.push_back({"small", {0.f, 1.f}, {0.f, 1.f}, {}});
    EXPECT_EQ(std::pair(componentLimits(twoSets, 1).uvs, componentLimits(twoSets, 5).uvs), std::pair(size_t(2), size_t(0)));
}

TEST(GroupParts, RemovedComponentsAreTakenOutAndMalformedListsTagNothing) {
    std::string warning;
    EXPECT_EQ(groupPartsComponents(kCube, {{"f[0:3]"}, {"f[1:2]"}}, &warning).faces, (Ids{0, 3}));
    EXPECT_EQ(groupPartsComponents(kCube, {{"f[0]", "f[3]"}, {}}, &warning).faces, (Ids{0, 3}));
    EXPECT_EQ(warning, "");
    EXPECT_TRUE(groupPartsComponents(kCube, {{"f[0:9]"}, {}}, &warning).empty());
    EXPECT_TRUE(mentions(warning, "groupParts")) << warning;
    EXPECT_TRUE(groupPartsComponents(kCube, {{"f[0]"}, {"f[x]"}}, nullptr).empty());  // a null warning is allowed
}

// --- polyNormal -------------------------------------------------------------

TEST(PolyNormal, ReverseKeepsTheFirstCornerAndCarriesCornerData) {
    const MeshData cube = cubeWithUserNormals();
    PolyNormalParams params{.inputComponents = list({"f[0]"})};
    MeshData out = applyPolyNormal(cube, params, nullptr);
    EXPECT_EQ(std::pair(faceCorners(out, 0), faceCorners(out, 1)), std::pair(Ids{0, 2, 3, 1}, faceCorners(cube, 1)));
    EXPECT_EQ(Ids(out.uvSets[0].faceVertexUV.begin(), out.uvSets[0].faceVertexUV.begin() + 4), (Ids{0, 3, 2, 1}));
    for (size_t c = 0; c < 4; ++c) EXPECT_TRUE(near(normalAt(out.faceVertexNormals, c), {0, 0, -1})) << c;
    EXPECT_TRUE(near(normalAt(out.faceVertexNormals, 4), {0, 1, 0}));
    EXPECT_EQ(cubeSides(out), (std::vector<int>{-1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(meshDataError(out), "");
    params.userNormalMode = false;
    EXPECT_TRUE(near(normalAt(applyPolyNormal(cube, params, nullptr).faceVertexNormals, 0), {0, 0, 1}));
    // Without components everything flips; twice gives the original loops back.
    out = applyPolyNormal(kCube, {}, nullptr);
    EXPECT_EQ(cubeSides(out), all(-1));
    EXPECT_EQ(applyPolyNormal(out, {}, nullptr).faceVertices, kCube.faceVertices);
}

TEST(PolyNormal, PropagateAndConformTurnTheShellToAgree) {
    const MeshData twoIn = cubeWithFlipped({2, 4});
    auto sides = [](const MeshData& m, PolyNormalMode mode, Components components) {
        return cubeSides(applyPolyNormal(m, {.inputComponents = components, .normalMode = mode}, nullptr));
    };
    EXPECT_EQ(sides(twoIn, PolyNormalMode::Propagate, list({"f[0]"})), all(1));
    EXPECT_EQ(sides(twoIn, PolyNormalMode::Propagate, list({"f[2]"})), all(-1)) << "an inward face leads";
    EXPECT_EQ(sides(twoIn, PolyNormalMode::ReverseAndPropagate, list({"f[2]"})), all(1));
    // Conform follows the majority of each touched shell.
    EXPECT_EQ(sides(twoIn, PolyNormalMode::Conform, {}), all(1));
    EXPECT_EQ(sides(cubeWithFlipped({0, 1, 2, 4}), PolyNormalMode::Conform, {}), all(-1));

    // Two shells: a cube and two detached triangles that disagree along their
    // shared edge; only the selected shell is conformed.
    MeshData cube = cubeWithFlipped({3});
    cube.points.insert(cube.points.end(), {5, 0, 0, 6, 0, 0, 5, 1, 0, 6, 1, 0});
    cube.faceVertices.insert(cube.faceVertices.end(), {8, 9, 10, 9, 10, 11});
    cube.loopStart.insert(cube.loopStart.end(), {27, 30});
    cube.faceLoopStart.insert(cube.faceLoopStart.end(), {7, 8});
    cube.edges.insert(cube.edges.end(), {8, 9, 9, 10, 10, 8, 10, 11, 11, 9});
    cube.edgeSmooth.insert(cube.edgeSmooth.end(), {0, 0, 0, 0, 0});
    ASSERT_EQ(meshDataError(cube), "");
    PolyNormalParams params{.inputComponents = list({"f[0]"}), .normalMode = PolyNormalMode::Conform};
    MeshData out = applyPolyNormal(cube, params, nullptr);
    EXPECT_EQ(cubeSides(out), all(1));
    EXPECT_EQ(std::pair(faceCorners(out, 6), faceCorners(out, 7)), std::pair(Ids{8, 9, 10}, Ids{9, 10, 11}));
    // Selecting the pair conforms it: on a tie the first face leads.
    params.inputComponents = list({"f[6:7]"});
    out = applyPolyNormal(cube, params, nullptr);
    EXPECT_EQ(std::pair(faceCorners(out, 6), faceCorners(out, 7)), std::pair(Ids{8, 9, 10}, Ids{9, 11, 10}));
    EXPECT_EQ(cubeSides(out)[3], -1);  // the cube was not touched
}

TEST(PolyNormal, ReverseAndCutAndUnknownModesWarn) {
    for (auto [mode, sides, phrase] : {std::tuple{PolyNormalMode::ReverseAndCut, -1, "reverseAndCut"},
                                     {PolyNormalMode(9), 1, "normalMode 9"}}) {
        std::string warning;
        EXPECT_EQ(cubeSides(applyPolyNormal(kCube, {.inputComponents = {}, .normalMode = mode}, &warning)), all(sides));
        EXPECT_TRUE(mentions(warning, phrase)) << warning;
    }
}

// --- polySoftEdge -------------------------------------------------------------

TEST(PolySoftEdge, EdgesHardenWhenTheirFacesMeetBeyondTheAngle) {
    const MeshData soft = makeCube(true, false);
    auto flags = [](const MeshData& m, double angle, Components components = {}, std::string* warning = nullptr) {
        return applyPolySoftEdge(m, {.inputComponents = components, .angle = angle}, warning).edgeSmooth;
    };
    // The default 30 degrees makes the cube's right angles hard; exactly 90 is not beyond.
    EXPECT_EQ(applyPolySoftEdge(soft, {}, nullptr).edgeSmooth, std::vector<uint8_t>(12, 0));
    EXPECT_EQ(flags(kCube, 90), std::vector<uint8_t>(12, 1));
    EXPECT_EQ(flags(soft, 89.9), std::vector<uint8_t>(12, 0));
    // Only listed edges change, and faces list their edges (face 0's sides are the first four).
    EXPECT_EQ(flags(soft, 30, list({"e[3]"})), (std::vector<uint8_t>{1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(flags(soft, 30, list({"f[0]"})), (std::vector<uint8_t>{0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(flags(soft, 30, list({})), soft.edgeSmooth) << "an empty list changes nothing";
    std::string warning;
    EXPECT_EQ(flags(soft, 30, list({"e[12]"}), &warning), soft.edgeSmooth);
    EXPECT_TRUE(mentions(warning, "e[12]")) << warning;

    // Two squares folded by 60 degrees along their shared edge 2-3 (edge 2),
    // flags absent (all hard): borders become soft, the fold only below 60 degrees.
    MeshData folded = makeMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1.5, std::sqrt(0.75)},
                                {1, 1.5, std::sqrt(0.75)}},
                               {{{0, 1, 2, 3}}, {{3, 2, 5, 4}}}, false);
    folded.edgeSmooth.clear();
    EXPECT_EQ(flags(folded, 59), (std::vector<uint8_t>{1, 1, 0, 1, 1, 1, 1}));
    EXPECT_EQ(flags(folded, 61), std::vector<uint8_t>(7, 1));
}

// --- polyTriangulate ---------------------------------------------------------

TEST(PolyTriangulate, CubeBecomesTwelveTrianglesInPlace) {
    const MeshData cube = cubeWithUserNormals();
    const auto [out, warning] = warned(applyPolyTriangulate, cube, {});
    ASSERT_EQ(warning + meshDataError(out), "");
    ASSERT_EQ(shape(out), Shape(8, 12, 18));
    EXPECT_EQ(out.numFaceVertices(), 36u);
    EXPECT_EQ(std::vector<uint8_t>(out.edgeSmooth.begin(), out.edgeSmooth.begin() + 12), cube.edgeSmooth);
    EXPECT_EQ(std::vector<uint8_t>(out.edgeSmooth.begin() + 12, out.edgeSmooth.end()), std::vector<uint8_t>(6, 1))
        << "new edges are soft";
    for (size_t t = 0; t < 12; ++t) {
        // Triangles 2f and 2f+1 come from face f, wound the same way; every
        // corner keeps the uv and user normal it had on its face.
        EXPECT_TRUE(near(newell(out, t).normalized(), kCubeNormals[t / 2])) << t;
        for (size_t c = 3 * t; c < 3 * t + 3; ++c) {
            size_t src = 4 * (t / 2);
            while (src < 4 * (t / 2) + 4 && cube.faceVertices[src] != out.faceVertices[c]) ++src;
            ASSERT_LT(src, 4 * (t / 2) + 4) << "triangle " << t << " uses a vertex not on its quad";
            EXPECT_EQ(out.uvSets[0].faceVertexUV[c], cube.uvSets[0].faceVertexUV[src]) << c;
            EXPECT_TRUE(near(normalAt(out.faceVertexNormals, c), normalAt(cube.faceVertexNormals, src))) << c;
        }
    }
}

TEST(PolyTriangulate, OnlySelectedFacesSplitAndHolesKeepTheirArea) {
    MeshData out = applyPolyTriangulate(kCube, {.inputComponents = list({"f[1]"})}, nullptr);
    ASSERT_EQ(out.numFaces(), 7u);
    EXPECT_EQ(faceCorners(out, 0), faceCorners(kCube, 0));
    EXPECT_EQ(std::pair(faceCorners(out, 1).size(), faceCorners(out, 2).size()), std::pair(size_t(3), size_t(3)));
    for (size_t f = 2; f < 6; ++f) EXPECT_EQ(faceCorners(out, f + 1), faceCorners(kCube, f)) << f;
    EXPECT_EQ(out.numEdges(), 13u);
    // A 4 x 4 square with a 2 x 2 square hole: 8 triangles of total area 12, wound like the outer loop.
    out = applyPolyTriangulate(makeMesh({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {1, 1, 0}, {1, 3, 0}, {3, 3, 0}, {3, 1, 0}},
                                        {{{0, 1, 2, 3}, {4, 5, 6, 7}}}, true),
                               {}, nullptr);
    ASSERT_EQ(std::pair(out.numFaces(), out.numLoops()), std::pair(size_t(8), size_t(8)));
    for (size_t f = 0; f < 8; ++f) EXPECT_GT(newell(out, f).z, 0) << f;
    EXPECT_NEAR(totalArea(out), 12.0, 1e-9);
}

TEST(PolyTriangulate, EmptyOrBadSelectionAndDegenerateFacesLeaveTheMesh) {
    EXPECT_EQ(applyPolyTriangulate(kCube, {.inputComponents = list({})}, nullptr).faceVertices, kCube.faceVertices);
    expectPassedThrough(applyPolyTriangulate, kCube, {.inputComponents = list({"f[6]"})}, "f[6]");
    std::string warning;
    MeshData out = applyPolyTriangulate(makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1}}, {{0, 1, 2}}}, true), {}, &warning);
    EXPECT_EQ(faceLoops(out), (std::vector<Ids>{{0, 1}, {0, 1, 2}}));
    EXPECT_TRUE(mentions(warning, "1 faces without enough corners")) << warning;
}

// --- polyUnite -------------------------------------------------------------------

TEST(PolyUnite, ConcatenatesInIndexOrderWithIdsOffset) {
    MeshData flagless = makeCube(true, false);
    flagless.edgeSmooth.clear();  // no flags: every edge hard
    std::string warning;
    MeshData out = applyPolyUnite({.inputs = {{makeCube(true, false), MMatrix()}, {flagless, translation(5, 0, 0)}}}, &warning);
    EXPECT_EQ(warning + meshDataError(out), "");
    ASSERT_EQ(shape(out), Shape(16, 12, 24));
    EXPECT_EQ(faceCorners(out, 6), (Ids{8, 9, 11, 10}));
    EXPECT_EQ(out.edges[24], out.edges[0] + 8);
    EXPECT_TRUE(near(pointOf(out, 9), {5.5, -.5, .5}) && near(pointOf(out, 1), {.5, -.5, .5}));
    EXPECT_EQ(std::pair(count(out.edgeSmooth, 1), out.edgeSmooth[12]), std::pair(size_t(12), uint8_t(0)));

    // Points go through as row vectors: turned about z then moved, (.5 -.5 .5)
    // -> (.5 .5 .5) -> (.5 .5 3.5). User normals through the inverse
    // transpose: face 4's were +x, turned they point along +y; the second cube has none set.
    out = applyPolyUnite({.inputs = {{cubeWithUserNormals(), turnZ90() * translation(0, 0, 3)}, {kCube, scaling(2, 1, 1)}}},
                         nullptr);
    ASSERT_EQ(meshDataError(out), "");
    EXPECT_TRUE(near(pointOf(out, 1), {.5, .5, 3.5}) && near(pointOf(out, 9), {1, -.5, .5}));
    ASSERT_EQ(out.faceVertexNormals.size(), 3u * 48u);
    EXPECT_TRUE(near(normalAt(out.faceVertexNormals, 16), {0, 1, 0}));
    EXPECT_GT(out.faceVertexNormals[3 * 24], 1e19f);
}

TEST(PolyUnite, UVAndColourSetsMergeByNameOrStayApart) {
    MeshData second = makeCube(false, true);
    second.uvSets.insert(second.uvSets.begin(), {"extra", {0, 1, 1, 0}, {0, 0, 1, 1}, {0, 1, 2, 3}});
    second.uvSets[0].faceVertexUV.resize(24, -1);
    second.currentUVSet = 1;
    PolyUniteParams params{.inputs = {{makeCube(false, true), MMatrix()}, {second, MMatrix()}}};
    MeshData merged = applyPolyUnite(params, nullptr);
    ASSERT_EQ(std::pair(meshDataError(merged), names(merged.uvSets)), std::pair(std::string(), std::vector<std::string>{"map1", "extra"}));
    EXPECT_EQ(merged.currentUVSet, 0) << "the first input's current set";
    EXPECT_EQ(merged.uvSets[0].u.size(), 28u);
    EXPECT_EQ(merged.uvSets[0].faceVertexUV[24 + 5], 14 + 2) << "the second cube's ids after the first's 14 uvs";
    EXPECT_EQ(merged.uvSets[1].faceVertexUV[0], -1) << "the first cube has no extra uvs";
    EXPECT_EQ(merged.uvSets[1].faceVertexUV[24 + 3], 3);

    params.mergeUVSets = UnionUVSets::NoMerge;
    MeshData apart = applyPolyUnite(params, nullptr);
    ASSERT_EQ(std::pair(meshDataError(apart), names(apart.uvSets)),
              std::pair(std::string(), std::vector<std::string>{"map1", "extra", "map11"}));
    EXPECT_EQ(std::tuple(apart.uvSets[2].u.size(), apart.uvSets[2].faceVertexUV[24 + 5], apart.uvSets[0].faceVertexUV[24 + 5]),
              std::tuple(size_t(14), 2, -1));
    params.mergeUVSets = UnionUVSets::ByUVLinks;
    EXPECT_EQ(applyPolyUnite(params, nullptr).uvSets.size(), 2u) << "treated as merge by name";

    MeshData first = kCube, other = kCube;
    first.colorSets.push_back({"colorSet1", {1, 0, 0, 1}, std::vector<int32_t>(24, 0)});
    other.colorSets.push_back({"colorSet1", {0, 1, 0, 1, 0, 0, 1, 1}, std::vector<int32_t>(24, 1)});
    MeshData out = applyPolyUnite({.inputs = {{first, MMatrix()}, {other, MMatrix()}}}, nullptr);
    ASSERT_EQ(std::pair(meshDataError(out), out.colorSets.size()), std::pair(std::string(), size_t(1)));
    EXPECT_EQ(std::tuple(out.colorSets[0].rgba.size(), out.colorSets[0].faceVertexColor[0], out.colorSets[0].faceVertexColor[24]),
              std::tuple(12u, 0, 2));
}

TEST(PolyUnite, BrokenInputsAreLeftOutWithAWarning) {
    MeshData broken = kCube;
    broken.faceVertices[3] = 99;
    const MMatrix infinite = translation(std::numeric_limits<double>::infinity(), 0, 0);
    std::string warning;
    MeshData out = applyPolyUnite({.inputs = {{broken, MMatrix()}, {kCube, infinite}, {unitSquare(), MMatrix()}}}, &warning);
    EXPECT_EQ(std::pair(meshDataError(out), out.numFaces()), std::pair(std::string(), size_t(1)));
    for (const char* phrase : {"input 0 left out", "input 1 left out"}) EXPECT_TRUE(mentions(warning, phrase)) << warning;
    MeshData none = applyPolyUnite(PolyUniteParams{}, nullptr);
    EXPECT_EQ(std::pair(meshDataError(none), none.numFaces()), std::pair(std::string(), size_t(0)));
}

// --- deleteComponent ---------------------------------------------------------------

TEST(DeleteComponent, FacesGoWithTheVerticesEdgesAndUVsOnlyTheyUsed) {
    MeshData cube = makeCube(false, true);
    cube.edgeSmooth[11] = 1;
    auto [out, warning] = warned(applyDeleteComponent, cube, {{"f[0:1]", "f[4]"}});
    ASSERT_EQ(warning + meshDataError(out), "");
    // Vertex 3 was only on the deleted faces; 4 to 7 move down by one.
    ASSERT_EQ(shape(out), Shape(7, 3, 9));
    EXPECT_TRUE(near(pointOf(out, 3), {-.5, .5, -.5}));
    EXPECT_EQ(faceCorners(out, 0), (Ids{3, 4, 6, 5}));
    EXPECT_EQ(count(out.edgeSmooth, 1), 1u) << "the soft edge kept its flag";
    // uvs 1, 2, 10 and 11 were used by the deleted faces alone.
    const MeshUVSet& uv = out.uvSets[0];
    ASSERT_EQ(uv.u.size(), 10u);
    EXPECT_EQ(Ids(uv.faceVertexUV.begin(), uv.faceVertexUV.begin() + 4), (Ids{3, 2, 4, 5}));
    EXPECT_EQ(std::pair(uv.u[1], uv.v[1]), std::pair(.375f, .25f));

    // Corner data follows, and everything may go.
    MeshData painted = cubeWithUserNormals();
    painted.colorSets.push_back({"c", {1, 1, 1, 1, 0, 0, 0, 1}, std::vector<int32_t>(24, 1)});
    out = applyDeleteComponent(painted, {{"f[0]"}}, nullptr);
    ASSERT_EQ(meshDataError(out), "");
    EXPECT_TRUE(near(normalAt(out.faceVertexNormals, 0), {0, 1, 0}));
    EXPECT_EQ(std::pair(out.colorSets[0].rgba.size(), out.colorSets[0].faceVertexColor[0]), std::pair(size_t(4), 0))
        << "colour 0 is no longer used";
    MeshData empty = applyDeleteComponent(painted, {{"f[*]"}}, nullptr);
    EXPECT_EQ(std::tuple(meshDataError(empty), shape(empty), empty.uvSets[0].u.size()), std::tuple("", Shape(0, 0, 0), size_t(0)));
}

TEST(DeleteComponent, EdgesMergeTheirFacesVerticesAndBadListsWarn) {
    // Cube edge 2 (3-2) lies between faces 0 and 1: face 0 takes face 1's corners
    // in its place; 2 and 3, left with two edges, stay.
    const MeshData merged = clean(applyDeleteComponent, kCube, {{"e[2]"}});
    EXPECT_EQ(shape(merged), (Shape{8, 5, 11}));
    EXPECT_EQ(faceCorners(merged, 0), (Ids{0, 1, 3, 5, 4, 2}));
    EXPECT_EQ(faceCorners(merged, 1), (Ids{4, 5, 7, 6}));
    for (const char* item : {"map[0]", "f[6]", "f[x]"}) expectPassedThrough(applyDeleteComponent, kCube, {{item}}, "deleteComponent: ");
    // A border edge has one face: it stays. Faces listed with edges stay too.
    expectPassedThrough(applyDeleteComponent, applyDeleteComponent(kCube, {{"f[1]"}}, nullptr), {{"e[2]"}}, "not between two faces");
    // A face with a hole beside the merge keeps both its loops.
    const MeshData withHole = makeMesh({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {1, 1, 0}, {1, 2, 0}, {2, 2, 0}, {8, 0, 0}, {8, 4, 0}, {12, 0, 0}, {12, 4, 0}},
                                       {{{0, 1, 2, 3}, {4, 5, 6}}, {{1, 7, 8, 2}}, {{7, 9, 10, 8}}}, true);
    std::string shared;
    for (size_t e = 0; e < withHole.numEdges(); ++e)
        if (withHole.edges[2 * e] + withHole.edges[2 * e + 1] == 15 && std::min(withHole.edges[2 * e], withHole.edges[2 * e + 1]) == 7) shared = "e[" + std::to_string(e) + "]";
    const MeshData joined = applyDeleteComponent(withHole, {{shared}}, nullptr);
    ASSERT_EQ(joined.numFaces(), 2u);
    EXPECT_EQ(joined.faceLoopStart[1] - joined.faceLoopStart[0], 2u);
    EXPECT_EQ(faceCorners(joined, 1), (Ids{1, 7, 9, 10, 8, 2}));
    std::string warning;
    EXPECT_EQ(applyDeleteComponent(kCube, {{"f[0]", "e[3]"}}, &warning).numFaces(), 5u);
    EXPECT_TRUE(mentions(warning, "faces listed with edges")) << warning;
}

// --- polySubdFace ---------------------------------------------------------------

TEST(PolySubdFace, AQuadBecomesFourInADocumentedOrderAndDivisionsRepeat) {
    auto [out, warning] = warned(applyPolySubdFace, unitSquare(), {});
    ASSERT_EQ(warning + meshDataError(out), "");
    ASSERT_EQ(shape(out), Shape(9, 4, 12));
    // Midpoints of sides 0-1, 1-2, 2-3, 3-0, then the centre.
    for (auto [v, p] : {std::pair{4, MeshVec{1, 0, 0}}, {7, {0, 1, 0}}, {8, {1, 1, 0}}}) EXPECT_TRUE(near(pointOf(out, v), p)) << v;
    EXPECT_EQ(std::tuple(faceCorners(out, 0), faceCorners(out, 1), faceCorners(out, 3)),
              std::tuple(Ids{0, 4, 8, 7}, Ids{1, 5, 8, 4}, Ids{3, 7, 8, 6}));
    EXPECT_EQ(std::pair(count(out.edgeSmooth, 0), count(out.edgeSmooth, 1)), std::pair(size_t(8), size_t(4))) << "halves hard, inner soft";
    for (size_t f = 0; f < 4; ++f) EXPECT_GT(newell(out, f).z, 0) << f;
    EXPECT_NEAR(totalArea(out), 4.0, 1e-9);

    // Two divisions: 16 quads, or 4 * 3^(divisions - 1) triangles for a square; none leaves it whole.
    for (auto [mode, faces, vertices, corners] : {std::tuple{SubdFaceMode::Quads, 16u, 25u, 4u},
                                                  {SubdFaceMode::Triangles, 12u, 9u, 3u}}) {
        out = applyPolySubdFace(unitSquare(), {.inputComponents = {}, .divisions = 2, .mode = mode}, nullptr);
        ASSERT_EQ(std::tuple(meshDataError(out), out.numFaces(), out.numVertices()), std::tuple(std::string(), size_t(faces), size_t(vertices)));
        EXPECT_NEAR(totalArea(out), 4.0, 1e-9);
        for (size_t f = 0; f < out.numFaces(); ++f) EXPECT_EQ(faceCorners(out, f).size(), corners);
    }
    EXPECT_EQ(applyPolySubdFace(unitSquare(), {.divisions = 0, .mode = SubdFaceMode::Triangles}, nullptr).numFaces(), 1u);
}

TEST(PolySubdFace, NeighboursOfASplitFaceGainItsMidpointsAndUVsAreShared) {
    MeshData out = applyPolySubdFace(cubeWithUserNormals(), {.inputComponents = list({"f[0]"})}, nullptr);
    ASSERT_EQ(std::pair(meshDataError(out), shape(out)), std::pair(std::string(), Shape(13, 9, 20)));
    EXPECT_EQ(faceCorners(out, 1).size(), 5u) << "the top shares the front's upper side";
    EXPECT_EQ(faceCorners(out, 2).size(), 4u) << "the back shares none";
    EXPECT_NEAR(totalArea(out), 6.0, 1e-9);
    // The top's new corner takes the top's normal, the front's pieces keep the front's.
    const uint32_t top = out.loopStart[out.faceLoopStart[1]];
    for (uint32_t c = top; c < top + 5; ++c) EXPECT_TRUE(near(normalAt(out.faceVertexNormals, c), {0, 1, 0})) << c;
    for (uint32_t c = 0; c < 4; ++c) EXPECT_TRUE(near(normalAt(out.faceVertexNormals, c), {0, 0, 1})) << c;

    out = applyPolySubdFace(makeCube(false, true), {}, nullptr);
    ASSERT_EQ(std::pair(meshDataError(out), out.numFaces()), std::pair(std::string(), size_t(24)));
    // 14 uvs, one centre per face, one midpoint per side except the 5 sides
    // the cross layout shares between faces.
    const MeshUVSet& uv = out.uvSets[0];
    EXPECT_EQ(uv.u.size(), 14u + 6u + 19u);
    // Face 0's first piece: corner uv 0, midpoint of uvs 0-1, centre, midpoint of 3-0.
    auto at = [&](size_t c) { return std::pair(uv.u[size_t(uv.faceVertexUV[c])], uv.v[size_t(uv.faceVertexUV[c])]); };
    EXPECT_EQ(std::pair(at(2), at(1)), std::pair(std::pair(.5f, .125f), std::pair(.5f, 0.f)));
}

TEST(PolySubdFace, ACubeKeepsItsShapeAreaAndOrientation) {
    for (SubdFaceMode mode : {SubdFaceMode::Quads, SubdFaceMode::Triangles}) {
        MeshData cube = makeCube(true, true);
        // Red where z is +.5, blue where it is -.5: a colour linear in z.
        cube.colorSets.push_back({"c", {1, 0, 0, 1, 0, 0, 1, 1}, {}});
        for (int32_t v : cube.faceVertices) cube.colorSets[0].faceVertexColor.push_back(pointOf(cube, size_t(v)).z > 0 ? 0 : 1);
        MeshData out = applyPolySubdFace(cube, {.inputComponents = {}, .divisions = 2, .mode = mode}, nullptr);
        ASSERT_EQ(std::pair(meshDataError(out), out.numFaces()), std::pair(std::string(), size_t(mode == SubdFaceMode::Quads ? 96 : 72)));
        EXPECT_NEAR(totalArea(out), 6.0, 1e-9);
        // Every point stays on the cube's surface, every piece faces outward
        // and every side is walked once each way (the surface stays closed and oriented).
        for (size_t v = 0; v < out.numVertices(); ++v) {
            const MeshVec p = pointOf(out, v);
            EXPECT_NEAR(std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}), 0.5, 1e-7) << v;
        }
        EXPECT_EQ(closedProblem(out), "");
        for (size_t f = 0; f < out.numFaces(); ++f) {
            const Ids c = faceCorners(out, f);
            MeshVec middle;
            for (int32_t v : c) middle += pointOf(out, size_t(v)) * (1.0 / double(c.size()));
            EXPECT_GT(newell(out, f).dot(middle), 0) << f;
        }
        // Interpolation keeps a linear colour linear: red is z + .5 at every corner.
        const MeshColorSet& colors = out.colorSets[0];
        ASSERT_EQ(colors.faceVertexColor.size(), out.numFaceVertices());
        for (size_t c = 0; c < out.numFaceVertices(); ++c)
            EXPECT_NEAR(colors.rgba[4 * size_t(colors.faceVertexColor[c])], pointOf(out, out.faceVertices[c]).z + .5, 1e-6)
                << c;
    }
}

TEST(PolySubdFace, HolesBadModesAndBadListsPassThroughWithAWarning) {
    const MeshData holed = makeMesh({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {1, 1, 0}, {1, 2, 0}, {2, 2, 0}},
                                    {{{0, 1, 2, 3}, {4, 5, 6}}}, true);
    const std::tuple<MeshData, PolySubdFaceParams, const char*> cases[] = {
        {holed, {}, "kept whole"},
        {unitSquare(), {.inputComponents = {}, .divisions = 1, .mode = SubdFaceMode(7)}, "mode 7"},
        {unitSquare(), {.inputComponents = list({"f[3]"})}, "polySubdFace: component list ignored"}};
    for (const auto& [mesh, params, phrase] : cases) expectPassedThrough(applyPolySubdFace, mesh, params, phrase);
}

// --- polyExtrudeFace ----------------------------------------------------------

TEST(PolyExtrudeFace, CountsAndNumberingFollowTheRegions) {
    // Adjacent faces 0 and 1 share edge 2-3 (cube edge 2); the whole cube has no outline.
    const struct {
        const char* name;
        PolyExtrudeFaceParams params;
        Shape shape;
        int droppedEdge;  // the cube edge left inside the region, -1 for none
    } cases[] = {
        {"one face", {.inputComponents = list({"f[1]"})}, {12, 10, 20}, -1},
        {"two kept together", {.inputComponents = list({"f[0:1]"})}, {14, 12, 24}, 2},
        {"two apart", {.inputComponents = list({"f[0:1]"}), .keepFacesTogether = false}, {16, 14, 28}, -1},
        {"two divisions", {.inputComponents = list({"f[1]"}), .divisions = 2}, {16, 14, 28}, -1},
        {"whole shell", {}, {16, 18, 32}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MeshData out = clean(applyPolyExtrudeFace, kCube, c.params);
        EXPECT_EQ(shape(out), c.shape);
        // The cube's edges keep their order, but for an edge no face walks any
        // more; old vertices stay where they were.
        Ids kept(kCube.edges.begin(), kCube.edges.end());
        if (c.droppedEdge >= 0) kept.erase(kept.begin() + 2 * c.droppedEdge, kept.begin() + 2 * c.droppedEdge + 2);
        EXPECT_EQ(Ids(out.edges.begin(), out.edges.begin() + long(kept.size())), kept);
        for (size_t v = 0; v < 8; ++v) EXPECT_TRUE(near(pointOf(out, v), pointOf(kCube, v))) << v;
        if (c.params.inputComponents) {
            EXPECT_EQ(closedProblem(out), "");
        }
    }
    // Vertices inside a region go, and later ones move down: the middle
    // vertex of a 2 x 2 plane, and the four edges to it.
    const MeshData plane = makePolyPlane({.subdivisionsWidth = 2, .subdivisionsHeight = 2});
    const MeshData lifted = applyPolyExtrudeFace(plane, {.inputComponents = list({"f[0:3]"})}, nullptr);
    EXPECT_EQ(shape(lifted), (Shape{17, 12, 28}));
    EXPECT_TRUE(near(pointOf(lifted, 4), pointOf(plane, 5)));
    EXPECT_EQ(meshDataError(lifted), "");
    // New vertices in order of first use: face 1 walks 2 3 5 4.
    const MeshData one = applyPolyExtrudeFace(kCube, {.inputComponents = list({"f[1]"})}, nullptr);
    EXPECT_EQ(faceCorners(one, 1), (Ids{8, 9, 10, 11}));
    // The side of face 1's first side 2->3, walked back on top.
    EXPECT_EQ(faceCorners(one, 6), (Ids{2, 3, 9, 8}));
    // Two squares whose first side is the one they share: that side brings
    // the upward edges at its ends before its lifted edge, which moves the
    // first face's lifted outline up by one (the CornerRoom bevels after
    // extrusions of two and three tiles name the outline by this numbering).
    const MeshData strip = makeMesh({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}},
                                    {{{1, 4, 3, 0}}, {{1, 2, 5, 4}}}, false);
    const MeshData wall = applyPolyExtrudeFace(strip, {.inputComponents = list({"f[0:1]"})}, nullptr);
    Ids rim;
    for (size_t e = 0; e < wall.numEdges(); ++e) {
        const int32_t a = std::min(wall.edges[2 * e], wall.edges[2 * e + 1]), b = std::max(wall.edges[2 * e], wall.edges[2 * e + 1]);
        if (a >= 6 && !(a == 6 && b == 7)) rim.push_back(int32_t(e));   // 6-7 is the lifted shared side
    }
    const int32_t base = int32_t(strip.numEdges()) - 1;   // the shared edge goes
    EXPECT_EQ(rim, (Ids{base + 4, base + 6, base + 7, base + 9, base + 11, base + 12}));
}

TEST(PolyExtrudeFace, FacesMoveInTheirFrameAndAboutThePivot) {
    const MeshVec up{0, 1, 0};
    const struct {
        const char* name;
        PolyExtrudeFaceParams params;
        MeshVec corner;   // where the top face's first corner (was -.5 .5 .5) goes
    } cases[] = {
        {"local translate", {.inputComponents = list({"f[1]"}), .localTranslate = {0, 0, 2}}, {-.5, 2.5, .5}},
        {"thickness", {.inputComponents = list({"f[1]"}), .thickness = 1}, {-.5, 1.5, .5}},
        {"local scale", {.inputComponents = list({"f[1]"}), .localScale = {.5, .5, 1}}, {-.25, .5, .25}},
        {"translate in world space",
         {.inputComponents = list({"f[1]"}), .translate = {1, 0, 0}, .worldSpace = true,
          .inputMatrix = translation(10, 0, 0)},
         {.5, .5, .5}},
        {"scale about the pivot", {.inputComponents = list({"f[1]"}), .scale = {2, 2, 2}, .pivot = {0, .5, 0}},
         {-1, .5, 1}},
        {"rotate", {.inputComponents = list({"f[1]"}), .rotate = {0, 3.14159265358979 / 2, 0}, .pivot = {0, .5, 0}},
         {.5, .5, .5}},
    };
    for (const auto& c : cases) {
        const MeshData out = applyPolyExtrudeFace(kCube, c.params, nullptr);
        ASSERT_EQ(out.numVertices(), 12u) << c.name;
        EXPECT_TRUE(near(pointOf(out, 8), c.corner, 1e-6)) << c.name;
        EXPECT_GT(newell(out, 1).dot(up), 0) << c.name;
    }
    // Each face scales about its own centre and shared corners take the mean:
    // a strip of two faces along X, scaled twice along X, spreads its ends to
    // 0.75 from the middle (not 1, as one frame for the region would).
    const MeshData strip = makePolyPlane({.subdivisionsWidth = 2, .subdivisionsHeight = 1});
    const MeshData spread = applyPolyExtrudeFace(strip, {.inputComponents = list({"f[0:1]"}), .localScale = {2, 1, 1}}, nullptr);
    float lo = 1e9f, hi = -1e9f;
    for (size_t v = strip.numVertices(); v < spread.numVertices(); ++v) {
        lo = std::min(lo, float(pointOf(spread, v).x));
        hi = std::max(hi, float(pointOf(spread, v).x));
    }
    EXPECT_NEAR(lo, -0.75, 1e-6);
    EXPECT_NEAR(hi, 0.75, 1e-6);
    // Two divisions put a ring half way.
    const MeshData two = applyPolyExtrudeFace(kCube, {.inputComponents = list({"f[1]"}), .divisions = 2,
                                                      .localTranslate = {0, 0, 2}}, nullptr);
    EXPECT_TRUE(near(pointOf(two, 8), {-.5, 1.5, .5}));
    EXPECT_TRUE(near(pointOf(two, 12), {-.5, 2.5, .5}));
}

TEST(PolyExtrudeFace, SidesKeepCapFlagsJoinByAngleAndCarryNoUVs) {
    MeshData cube = makeCube(true, true);
    const MeshData out = applyPolyExtrudeFace(cube, {.inputComponents = list({"f[1]"}), .localTranslate = {0, 0, 1}}, nullptr);
    // Cap edges lifted from soft edges stay soft; the four joining edges meet
    // at right angles: hard. Each side brings its new edges up, then across.
    EXPECT_EQ(std::vector<uint8_t>(out.edgeSmooth.begin() + 12, out.edgeSmooth.end()),
              (std::vector<uint8_t>{0, 0, 1, 0, 1, 0, 1, 1}));
    const MeshUVSet& uvs = out.uvSets[0];
    ASSERT_EQ(uvs.faceVertexUV.size(), out.numFaceVertices());
    EXPECT_EQ(Ids(uvs.faceVertexUV.begin() + 4, uvs.faceVertexUV.begin() + 8), (Ids{3, 2, 4, 5}));   // the cap keeps its uvs
    EXPECT_EQ(Ids(uvs.faceVertexUV.begin() + 24, uvs.faceVertexUV.end()), Ids(16, -1));
    // Bad divisions and lists leave the mesh.
    for (const PolyExtrudeFaceParams& bad : {PolyExtrudeFaceParams{.divisions = 0},
                                            PolyExtrudeFaceParams{.inputComponents = list({"f[9]"})}})
        expectPassedThrough(applyPolyExtrudeFace, cube, bad);
}

TEST(PolyCloseBorder, ListedBordersCloseTurnedWithTheirNeighbours) {
    // The cube without its top (1) and bottom (3): two border loops.
    const MeshData tube = applyDeleteComponent(kCube, {.deleteComponents = {"f[1]", "f[3]"}}, nullptr);
    ASSERT_EQ(tube.numFaces(), 4u);
    const struct {
        const char* name;
        Components ics;
        size_t faces;
    } cases[] = {{"every border", {}, 6}, {"the loop of one listed edge", list({"e[0]"}), 5}, {"no border edge", list({"e[1]"}), 4}};
    for (const auto& c : cases) {
        const auto [out, warning] = warned(applyPolyCloseBorder, tube, {.inputComponents = c.ics});
        EXPECT_EQ(std::tuple(out.numFaces(), out.numEdges(), warning), std::tuple(c.faces, tube.numEdges(), std::string()))
            << c.name;
        EXPECT_EQ(meshDataError(out), "") << c.name;
        if (c.faces == 6) {
            EXPECT_EQ(closedProblem(out), "") << c.name;
        }
    }
    // Two borders through one vertex: left as it is.
    const MeshData bowtie = makeMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {-1, 0, 0}, {-1, -1, 0}}, {{{0, 1, 2}}, {{0, 3, 4}}}, true);
    expectPassedThrough(applyPolyCloseBorder, bowtie, {}, "two border sides");
}

TEST(PolySmoothFace, ACubeSmoothsByCatmullClarkLevelAfterLevel) {
    const struct {
        const char* name;
        PolySmoothFaceParams params;
        Shape shape;
        MeshVec corner;   // where vertex 3 (.5 .5 .5) goes
    } cases[] = {
        {"one level", {}, {26, 24, 48}, {5. / 18, 5. / 18, 5. / 18}},
        {"two levels", {.divisions = 2}, {98, 96, 192}, {}},
        {"linear", {.linear = true}, {26, 24, 48}, {.5, .5, .5}},
        {"no level", {.divisions = 0}, {8, 6, 12}, {.5, .5, .5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MeshData out = clean(applyPolySmoothFace, kCube, c.params);
        EXPECT_EQ(shape(out), c.shape);
        EXPECT_EQ(closedProblem(out), "");
        if (c.params.divisions == 1) {
            EXPECT_TRUE(near(pointOf(out, 3), c.corner, 1e-6));
        }
        // Every edge comes out soft.
        EXPECT_EQ(count(out.edgeSmooth, 0), c.params.divisions ? 0u : 12u);
    }
    // The split's order: face 0 (0 1 3 2) makes the points of its sides, then its centre.
    const MeshData one = applyPolySmoothFace(kCube, {}, nullptr);
    EXPECT_TRUE(near(pointOf(one, 8), {0, -.375, .375}));   // side 0-1
    EXPECT_TRUE(near(pointOf(one, 12), {0, 0, .5}));        // face 0's centre
    // Two levels shrink toward the limit surface, never outside the cube.
    const MeshData two = applyPolySmoothFace(kCube, {.divisions = 2}, nullptr);
    for (size_t v = 0; v < two.numVertices(); ++v) EXPECT_LT(pointOf(two, v).length(), .87) << v;
}

TEST(PolySmoothFace, BordersStayOrSmoothAndPartsPassThrough) {
    // A 2x2 grid of quads, its first border bent at vertex 1.
    const MeshData grid = makeMesh({{0, 0, 0}, {1, -.5, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {0, 2, 0}, {1, 2, 0}, {2, 2, 0}},
                                   {{{0, 1, 4, 3}}, {{1, 2, 5, 4}}, {{3, 4, 7, 6}}, {{4, 5, 8, 7}}}, true);
    const MeshData kept = applyPolySmoothFace(grid, {}, nullptr);
    const MeshData smoothed = applyPolySmoothFace(grid, {.keepBorder = false}, nullptr);
    EXPECT_TRUE(near(pointOf(kept, 1), {1, -.5, 0}));
    EXPECT_TRUE(near(pointOf(smoothed, 1), {1, -.375, 0}));        // (a + 6 p + b) / 8 along the border
    EXPECT_TRUE(near(pointOf(kept, 0), {0, 0, 0}));                // a corner stays either way
    EXPECT_TRUE(near(pointOf(smoothed, 0), {0, 0, 0}));
    expectPassedThrough(applyPolySmoothFace, grid, {.inputComponents = list({"f[0]"})}, "part of a mesh");
}

TEST(PolySplit, CutsRunFaceToFaceThroughPointsOnEdges) {
    // Cube edges: 0 is 0-1, 2 is 3-2 (both on face 0), 5 is 5-4 (on face 1, after 2).
    const struct {
        const char* name;
        std::vector<SplitPoint> points;
        Shape shape;
        Ids face0, last;   // face 0 and the last face afterwards
    } cases[] = {
        // The part with the face's first corner starts there, the other at
        // the cut's later corner, crossing the cut first (the CornerRoom
        // floor's tiles, several cuts each, start where its extrusions of
        // two and three tiles need them).
        {"across one face", {{true, 0, .5}, {true, 2, .5}}, {10, 7, 15}, {0, 8, 9, 2}, {9, 8, 1, 3}},
        // The face keeps the part from the cut's end round to its start.
        {"across it the other way", {{true, 2, .5}, {true, 0, .5}}, {10, 7, 15}, {8, 9, 1, 3}, {0, 9, 8, 2}},
        {"on through the next", {{true, 0, .5}, {true, 2, .5}, {true, 5, .5}}, {11, 8, 17}, {0, 8, 9, 2}, {10, 9, 3, 5}},
        {"corner to corner", {{true, 0, 0}, {true, 2, 0}}, {8, 7, 13}, {0, 3, 2}, {3, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MeshData out = clean(applyPolySplit, makeCube(false, true), {c.points});
        EXPECT_EQ(shape(out), c.shape);
        EXPECT_EQ(faceCorners(out, 0), c.face0);
        EXPECT_EQ(faceCorners(out, out.numFaces() - 1), c.last);
        EXPECT_EQ(closedProblem(out), "");
    }
    // The edges a cut makes: the second halves of the split edges in point
    // order, then the cut's own edges (a saved scene's next split names a cut
    // edge by that number).
    const MeshData through = applyPolySplit(makeCube(false, true), {cases[2].points}, nullptr);
    EXPECT_EQ(std::vector<int32_t>(through.edges.begin() + 24, through.edges.end()),
              (std::vector<int32_t>{8, 1, 9, 2, 10, 4, 8, 9, 9, 10}));
    // The new point sits at its fraction; face 0 and its neighbour across edge 0 get uvs of their own there.
    const MeshData cut = applyPolySplit(makeCube(false, true), {{{true, 0, .25}, {true, 2, .5}}}, nullptr);
    EXPECT_TRUE(near(pointOf(cut, 8), {-.25, -.5, .5}));
    EXPECT_EQ(cut.uvSets[0].u.size(), 14u + 3u);
    // Points inside faces, points that do not continue the cut and unknown edges leave the mesh.
    for (const std::vector<SplitPoint>& bad : {std::vector<SplitPoint>{{false, 0, .5}, {true, 2, .5}},
                                              std::vector<SplitPoint>{{true, 0, .5}, {true, 5, .5}},
                                              std::vector<SplitPoint>{{true, 99, .5}}})
        expectPassedThrough(applyPolySplit, kCube, {bad}, "polySplit: point");
}

TEST(PolySplitRing, ALoopRunsRoundTheRingAtTheWeight) {
    // Cube edges 0 (0-1), 2 (3-2), 5 (5-4), 8 (7-6) run along X round faces 0 to 3.
    const struct {
        const char* name;
        PolySplitRingParams params;
        Shape shape;
        float x;  // where every new point sits
    } cases[] = {
        {"closed ring", {.inputComponents = list({"e[0]", "e[2]", "e[5]", "e[8]"}), .weight = .25, .rootEdge = 0},
         {12, 10, 20}, -.25f},
        {"measured from the root's other end", {.inputComponents = list({"e[0]", "e[2]", "e[5]", "e[8]"}), .weight = .25,
                                                .direction = false, .rootEdge = 2}, {12, 10, 20}, -.25f},
        {"open ring", {.inputComponents = list({"e[0]", "e[2]"}), .weight = .5}, {10, 7, 15}, 0.f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MeshData out = clean(applyPolySplitRing, kCube, c.params);
        EXPECT_EQ(shape(out), c.shape);
        for (size_t v = 8; v < out.numVertices(); ++v) EXPECT_NEAR(pointOf(out, v).x, c.x, 1e-6) << v;
        EXPECT_EQ(closedProblem(out), "");
    }
    // The same loop as a polySplit that names its first point again to close.
    const MeshData loop = applyPolySplit(kCube, {{{true, 0, .5}, {true, 2, .5}, {true, 5, .5}, {true, 8, .5}, {true, 0, .5}}}, nullptr);
    EXPECT_EQ(shape(loop), (Shape{12, 10, 20}));
    // An edge with no quad beyond it, or no listed edges, leaves the mesh.
    expectPassedThrough(applyPolySplitRing, makePolyPlane({.subdivisionsWidth = 1, .subdivisionsHeight = 1}),
                        {.inputComponents = list({"e[0]"})}, "polySplitRing");
}

}  // namespace
