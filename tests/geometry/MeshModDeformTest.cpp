// Modifiers that move points or paint attributes without changing topology:
// transformGeometry, tweak, skinCluster, blendShape, polyColorPerVertex and
// polyTweakUV, checked against hand-derived points.

#include "mesh/MeshModifiers.h"
#include "mesh/MeshValidate.h"

#include "MeshTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <limits>

using namespace mayahost;
using namespace meshtest;

namespace {


// Every vertex of `out` is where `f` puts the same vertex of `in`.
void expectMoved(const MeshData& out, const std::function<MeshVec(MeshVec)>& f, const MeshData& in = kCube,
                 double tol = 1e-6) {
    ASSERT_EQ(out.numVertices(), in.numVertices());
    for (size_t v = 0; v < in.numVertices(); ++v) EXPECT_TRUE(near(pointOf(out, v), f(pointOf(in, v)), tol)) << "vertex " << v;
}
auto shift(MeshVec d) { return [d](MeshVec p) { return p + d; }; }
std::vector<std::vector<SkinWeight>> all8(std::vector<SkinWeight> w) { return std::vector(8, w); }
MeshVec same(MeshVec p) { return p; }

// --- transformGeometry ----------------------------------------------------

TEST(TransformGeometry, PointsGoThroughTheMatrixAsRowVectors) {
    const MeshData cube = makeCube(false, true);
    // As a .ma file stores it: scale 0.1, then move by -0.5.
    const MMatrix stored = rows({0.1, 0, 0, 0, 0, 0.1, 0, 0, 0, 0, 0.1, 0, -0.5, -0.5, -0.5, 1});
    const auto [out, warning] = warned(applyTransformGeometry, cube, {.transform = stored});
    EXPECT_EQ(warning, "");
    expectMoved(out, [](MeshVec p) { return p * 0.1 + MeshVec{-0.5, -0.5, -0.5}; }, cube);
    EXPECT_TRUE(out.faceVertices == cube.faceVertices && out.uvSets[0].faceVertexUV == cube.uvSets[0].faceVertexUV);
    // A projective matrix divides by w.
    MMatrix w2;
    w2(3, 3) = 2;
    expectMoved(applyTransformGeometry(kCube, {.transform = w2}, nullptr), [](MeshVec p) { return p * 0.5; });
    // The inverted transform undoes the transform.
    const MMatrix forward = turnZ90() * translation(3, -2, 1) * scaling(2, 2, 2);
    MeshData there = applyTransformGeometry(kCube, {.transform = forward}, nullptr);
    EXPECT_FALSE(near(pointOf(there, 0), pointOf(kCube, 0)));
    expectMoved(applyTransformGeometry(there, {.transform = forward, .invertTransform = true}, nullptr), same, kCube, 1e-5);
}

TEST(TransformGeometry, UserNormalsFollowTheInverseTransposeUnlessFrozen) {
    MeshData cube = cubeWithUserNormals();
    // Turn the first corner's normal to (1, 1, 0)/sqrt2 so that a non-uniform scale bends it.
    const float s = float(1 / std::sqrt(2.0));
    cube.faceVertexNormals[0] = s, cube.faceVertexNormals[1] = s, cube.faceVertexNormals[2] = 0;
    cube.faceVertexNormals[3] = 1e20f;  // an unset corner stays unset
    MeshData out = applyTransformGeometry(cube, {.transform = scaling(2, 1, 1)}, nullptr);
    // Inverse transpose of diag(2, 1, 1) is diag(0.5, 1, 1): (0.5, 1, 0) normalised.
    EXPECT_TRUE(near(normalAt(out.faceVertexNormals, 0), MeshVec{0.5, 1, 0}.normalized()));
    EXPECT_GT(out.faceVertexNormals[3], 1e19f);
    EXPECT_TRUE(near(normalAt(out.faceVertexNormals, 16), {1, 0, 0}));  // face 4 (+X) stays +X
    MeshData frozen = applyTransformGeometry(cube, {.transform = scaling(2, 1, 1), .freezeNormals = 1}, nullptr);
    EXPECT_EQ(frozen.faceVertexNormals, cube.faceVertexNormals);
    EXPECT_NEAR(frozen.points[0], -1.0, 1e-6);  // the points still move
    // Reversing flips the winding and keeps the user normals.
    MeshData reversed = applyTransformGeometry(cube, {.reverseNormals = true}, nullptr);
    EXPECT_EQ(faceCorners(reversed, 0), (std::vector<int32_t>{0, 2, 3, 1}));
    EXPECT_TRUE(near(normalAt(reversed.faceVertexNormals, 1), {0, 0, 1}));
}

TEST(TransformGeometry, UnusableMatricesPassTheMeshThroughWithAWarning) {
    for (auto [what, params] : {std::pair{"inverted", TransformGeometryParams{scaling(1, 0, 1), true}},
                                {"non-finite", TransformGeometryParams{translation(kNaN, 0, 0)}}})
        expectPassedThrough(applyTransformGeometry, kCube, params, what);
    // A flattening matrix is fine forward: points land on the plane.
    expectMoved(applyTransformGeometry(kCube, {.transform = scaling(1, 0, 1)}, nullptr),
                [](MeshVec p) { return MeshVec{p.x, 0, p.z}; });
}

// --- tweak ----------------------------------------------------------------

TEST(Tweak, RelativeVectorsAreAddedAbsoluteOnesReplaceScaledByTheEnvelope) {
    TweakParams params{.vertex = {{0, 0, 0, -0.5f}, {2, 1, 2, 3}}};
    MeshData out = applyTweak(kCube, params, nullptr);
    for (auto [v, p] : {std::pair{0, MeshVec{-0.5, -0.5, 0.0}}, {2, {0.5, 2.5, 3.5}}, {1, pointOf(kCube, 1)}})
        EXPECT_TRUE(near(pointOf(out, size_t(v)), p)) << v;
    params.envelope = 0.5;
    EXPECT_TRUE(near(pointOf(applyTweak(kCube, params, nullptr), 2), {0.0, 1.5, 2.0}));

    TweakParams absolute{.vertex = {{5, 4, 4, 4}}, .relativeTweak = false};
    EXPECT_TRUE(near(pointOf(applyTweak(kCube, absolute, nullptr), 5), {4, 4, 4}));
    absolute.envelope = 0.5;  // half way from (0.5, 0.5, -0.5)
    EXPECT_TRUE(near(pointOf(applyTweak(kCube, absolute, nullptr), 5), {2.25, 2.25, 1.75}));
}

TEST(Tweak, IdsBeyondTheMeshAndBadValuesWarn) {
    const auto [out, warning] =
        warned(applyTweak, kCube, {.vertex = {{8, 1, 1, 1}, {-1, 1, 1, 1}, {1, float(kNaN), 0, 0}, {3, 0, 1, 0}}});
    for (const char* phrase : {"2 tweaks name vertices beyond", "non-finite"}) EXPECT_TRUE(mentions(warning, phrase)) << warning;
    EXPECT_TRUE(near(pointOf(out, 1), pointOf(kCube, 1)) && near(pointOf(out, 3), {0.5, 1.5, 0.5}));
}

// --- skinCluster ------------------------------------------------------------

// Joint 0 at rest, joint 1 moved up by 2; every vertex weighted `weights`.
SkinClusterParams twoJoints(std::vector<SkinWeight> weights, size_t vertices = 8) {
    SkinClusterParams params;
    params.matrix = {MMatrix::identity, translation(0, 2, 0)};
    params.weightList.assign(vertices, weights);
    return params;
}

TEST(SkinCluster, WeightsBlendTheJointsTransformsUnderTheEnvelope) {
    expectMoved(applySkinCluster(kCube, twoJoints({{0, 0.25}, {1, 0.75}}), nullptr), shift({0, 1.5, 0}));
    SkinClusterParams params = twoJoints({{1, 1.0}});
    params.envelope = 0.25;
    expectMoved(applySkinCluster(kCube, params, nullptr), shift({0, 0.5, 0}));
    // Weights not summing to one are normalised only when post.
    params = twoJoints({{1, 0.5}});
    for (SkinNormalizeWeights mode : {SkinNormalizeWeights::None, SkinNormalizeWeights::Interactive}) {
        params.normalizeWeights = mode;
        // 0.5 * (p + (0, 2, 0)): the point is pulled halfway to the origin.
        expectMoved(applySkinCluster(kCube, params, nullptr), [](MeshVec p) { return (p + MeshVec{0, 2, 0}) * 0.5; });
    }
    params = twoJoints({{0, 1.0}, {1, 3.0}});
    params.normalizeWeights = SkinNormalizeWeights::Post;
    expectMoved(applySkinCluster(kCube, params, nullptr), shift({0, 1.5, 0}));
}

TEST(SkinCluster, BindPreAndGeomMatrices) {
    // A joint bound at (1, 0, 0), now turned 90 degrees about Z in place:
    // (x - 1, y) turns to (-y, x - 1), then moves back by (1, 0).
    SkinClusterParams params{.weightList = all8({{0, 1.0}}),
                             .bindPreMatrix = {translation(-1, 0, 0)},
                             .matrix = {turnZ90() * translation(1, 0, 0)}};
    expectMoved(applySkinCluster(kCube, params, nullptr), [](MeshVec p) { return MeshVec{1 - p.y, p.x - 1, p.z}; });
    // The joint at rest (pm = inverse(world)) leaves the shape as it was;
    // moving it one unit up in world moves the object-space points by half a
    // unit: the shape was bound under a scale of 2.
    const MMatrix rest = translation(1, 1, 1);
    params = {.weightList = all8({{0, 1.0}}), .bindPreMatrix = {rest.inverse()}, .matrix = {rest},
              .geomMatrix = scaling(2, 2, 2) * translation(0, 0, 5)};
    expectMoved(applySkinCluster(kCube, params, nullptr), same);
    params.matrix = {rest * translation(0, 1, 0)};
    expectMoved(applySkinCluster(kCube, params, nullptr), shift({0, 0.5, 0}));
}

TEST(SkinCluster, ZeroWeightsGoToTheOriginMissingWeightsStay) {
    SkinClusterParams params = twoJoints({{1, 1.0}}, 4);
    params.geomMatrix = translation(0, 0, 3);
    params.weightList[2] = {{0, 0.0}, {1, 0.0}};
    const auto [out, warning] = warned(applySkinCluster, kCube, params);
    // Zero weights leave p * gm * 0 * inverse(gm): the shape's world origin in object space.
    for (auto [v, p] : {std::pair{2, MeshVec{0, 0, -3}}, {6, pointOf(kCube, 6)}, {0, {-0.5, 1.5, 0.5}}})
        EXPECT_TRUE(near(pointOf(out, size_t(v)), p)) << v;
    for (const char* phrase : {"1 vertices whose weights sum to zero", "4 vertices without weights"})
        EXPECT_TRUE(mentions(warning, phrase)) << warning;
}

TEST(SkinCluster, UserNormalsTurnWithTheJoint) {
    SkinClusterParams params{.weightList = all8({{0, 1.0}}), .matrix = {turnZ90()}};
    // Face 4 faces +X; turned about Z it faces +Y.
    EXPECT_TRUE(near(normalAt(applySkinCluster(cubeWithUserNormals(), params, nullptr).faceVertexNormals, 16), {0, 1, 0}));
    params.deformUserNormals = false;
    EXPECT_TRUE(near(normalAt(applySkinCluster(cubeWithUserNormals(), params, nullptr).faceVertexNormals, 16), {1, 0, 0}));
}

TEST(SkinCluster, BadInputWarnsAndNeverCrashes) {
    SkinClusterParams params = twoJoints({{1, 1.0}, {7, 0.5}, {-2, 0.5}, {0, kNaN}}, 10);
    auto [out, warning] = warned(applySkinCluster, kCube, params);
    for (const char* phrase : {"2 vertices beyond", "influences that have no matrix", "non-finite weights"})
        EXPECT_TRUE(mentions(warning, phrase)) << warning;
    EXPECT_TRUE(near(pointOf(out, 0), pointOf(kCube, 0) + MeshVec{0, 2, 0}));  // the good weight still applies

    params.geomMatrix = scaling(0, 1, 1);
    expectPassedThrough(applySkinCluster, kCube, params, "geomMatrix");

    params = twoJoints({{0, 0.5}, {1, 0.5}});
    params.matrix[1] = translation(kNaN, 0, 0);
    params.normalizeWeights = SkinNormalizeWeights::Post;
    std::tie(out, warning) = warned(applySkinCluster, kCube, params);
    EXPECT_TRUE(mentions(warning, "non-finite matrices")) << warning;
    EXPECT_TRUE(near(pointOf(out, 0), pointOf(kCube, 0)));  // only the usable joint, renormalised
    params.skinningMethod = 1;
    EXPECT_TRUE(mentions(warned(applySkinCluster, kCube, params).second, "skinningMethod 1"));
}

// --- blendShape ----------------------------------------------------------------

BlendShapeTarget storedTarget(int32_t index, std::vector<float> offsets, std::vector<std::string> components,
                              int32_t item = 6000) {
    return {index, {{.itemIndex = item, .inputPointsTarget = offsets, .inputComponentsTarget = components}}};
}

TEST(BlendShape, StoredOffsetsGoToTheirComponentsScaledByTheWeights) {
    BlendShapeParams params{.weight = {0.5}, .targets = {storedTarget(0, {1, 0, 0, 0, 2, 0, 0, 0, 4}, {"vtx[0]", "vtx[6:7]"})}};
    auto [out, warning] = warned(applyBlendShape, kCube, params);
    EXPECT_EQ(warning, "");
    const MeshVec offsets[] = {{0.5, 0, 0}, {}, {}, {}, {}, {}, {0, 1, 0}, {0, 0, 2}};
    for (size_t v = 0; v < 8; ++v) EXPECT_TRUE(near(pointOf(out, v), pointOf(kCube, v) + offsets[v])) << v;

    // Targets add up under envelope, target and base weights; weight 0 has no effect.
    params = {.weight = {1.0, 0.0, 2.0}, .envelope = 0.5,
              .targets = {storedTarget(0, {0, 1, 0}, {"vtx[1]"}), storedTarget(2, {0, 1, 0, 1, 0, 0}, {"vtx[1:2]"}),
                          storedTarget(1, {9, 9, 9}, {"vtx[1]"})},
              .baseWeights = {1.0f, 1.0f, 0.5f}};
    params.targets[1].targetWeights = {std::nullopt, 0.5f, 0.25f};
    out = applyBlendShape(kCube, params, nullptr);
    // vtx1: 0.5 * (1 * (0,1,0) + 2 * 0.5 * (0,1,0)) = (0, 1, 0); vtx2: 0.5 * 0.5 * (2 * 0.25 * (1,0,0)).
    for (auto [v, d] : {std::pair{1, MeshVec{0, 1, 0}}, {2, {0.125, 0, 0}}}) EXPECT_TRUE(near(pointOf(out, v), pointOf(kCube, v) + d)) << v;
}

TEST(BlendShape, InBetweensMakeAPiecewiseLinearPath) {
    BlendShapeTarget target = storedTarget(0, {0, 0, 2}, {"vtx[4]"}, 5500);  // A at weight 0.5
    target.items.push_back(storedTarget(0, {0, 2, 0}, {"vtx[4]"}).items[0]);  // B at weight 1
    // Half of A, A, A + (B - A) / 2, B, extended: A + 2 (B - A), extended below: -A.
    for (auto [weight, offset] : {std::pair{0.25, MeshVec{0, 0, 1}}, {0.5, {0, 0, 2}}, {0.75, {0, 1, 1}},
                                  {1.0, {0, 2, 0}}, {1.5, {0, 4, -2}}, {-0.5, {0, 0, -2}}}) {
        MeshData out = applyBlendShape(kCube, {.weight = {weight}, .targets = {target}}, nullptr);
        EXPECT_TRUE(near(pointOf(out, 4), pointOf(kCube, 4) + offset)) << weight;
    }
}

TEST(BlendShape, LiveTargetsAndOffsetsWithoutComponents) {
    // A live target three times the size: offsets from the base.
    std::vector<float> big = kCube.points;
    for (float& c : big) c *= 3;
    BlendShapeParams params{.weight = {0.5}, .targets = {{0, {{.inputGeomTarget = big}}}}};
    expectMoved(applyBlendShape(kCube, params, nullptr), [](MeshVec p) { return p * 2; });
    params.targets[0].items[0].inputGeomTarget->pop_back();
    expectPassedThrough(applyBlendShape, kCube, params, "target ignored");

    // Offsets without components cover every vertex, or nothing.
    params = {.weight = {1.0}, .targets = {{0, {{.inputPointsTarget = std::vector<float>(24, 0.25f)}}}}};
    expectMoved(applyBlendShape(kCube, params, nullptr), shift({0.25, 0.25, 0.25}));
    params.targets[0].items[0].inputPointsTarget.resize(12);
    expectPassedThrough(applyBlendShape, kCube, params, "without a component list");
}

TEST(BlendShape, ComponentsOutsideTheMeshWarnAndTheRestApplies) {
    std::string warning;
    auto blend = [&](std::vector<float> offsets, std::vector<std::string> components) {
        warning.clear();
        return applyBlendShape(kCube, {.weight = {1.0}, .targets = {storedTarget(0, offsets, components)}}, &warning);
    };
    EXPECT_TRUE(near(pointOf(blend({1, 0, 0, 1, 0, 0, 1, 0, 0}, {"vtx[7:9]"}), 7), pointOf(kCube, 7) + MeshVec{1, 0, 0}));
    EXPECT_TRUE(mentions(warning, "2 offsets for vertices beyond")) << warning;
    // Fewer components than offsets: the shorter count pairs up.
    EXPECT_NEAR(blend({1, 0, 0, 1, 0, 0}, {"vtx[3]"}).points[9], kCube.points[9] + 1, 1e-6);
    EXPECT_TRUE(mentions(warning, "1 components for 2 offsets")) << warning;
    // More components than offsets, a malformed list, another kind, a huge range: target ignored.
    for (const char* bad : {"vtx[0:5]", "vtx[x]", "f[0]", "vtx[0:4000000000]"}) {
        EXPECT_EQ(blend({1, 0, 0, 1, 0, 0}, {bad}).points, kCube.points) << bad;
        EXPECT_TRUE(mentions(warning, "target ignored")) << warning;
    }
}

// --- Deformer set membership and broken input ---------------------------------------

TEST(DeformerMembers, OnlyTheSetsVerticesMove) {
    const std::vector<int32_t> members{1, 6, 99};  // 99 is not on the mesh
    auto movedOnly = [&](const MeshData& out, MeshVec d) {
        for (size_t v = 0; v < 8; ++v)
            EXPECT_TRUE(near(pointOf(out, v), pointOf(kCube, v) + (v == 1 || v == 6 ? d : MeshVec{}))) << v;
    };
    TweakParams tweak{.members = members};
    for (int32_t v = 0; v < 8; ++v) tweak.vertex.push_back({v, 0, 1, 0});
    const auto [out, warning] = warned(applyTweak, kCube, tweak);
    movedOnly(out, {0, 1, 0});
    EXPECT_TRUE(mentions(warning, "tweak: 1 set members beyond")) << warning;
    SkinClusterParams skin = twoJoints({{1, 1.0}});
    skin.members = members;
    movedOnly(applySkinCluster(kCube, skin, nullptr), {0, 2, 0});
    BlendShapeParams blend{.weight = {1.0}, .targets = {storedTarget(0, std::vector<float>(24, 0.5f), {"vtx[*]"})},
                           .members = members};
    movedOnly(applyBlendShape(kCube, blend, nullptr), {0.5, 0.5, 0.5});
    blend.members = std::vector<int32_t>{};  // an empty set moves nothing
    EXPECT_EQ(applyBlendShape(kCube, blend, nullptr).points, kCube.points);
}

TEST(MeshModifiers, InconsistentInputPassesThroughWithAWarning) {
    MeshData broken = kCube;
    broken.faceVertices[5] = 42;  // a corner on a vertex that does not exist
    const std::pair<const char*, MeshData (*)(const MeshData&, std::string*)> calls[] = {
        {"transformGeometry", [](const MeshData& m, std::string* w) { return applyTransformGeometry(m, {}, w); }},
        {"tweak", [](const MeshData& m, std::string* w) { return applyTweak(m, {.vertex = {{0, 1, 1, 1}}}, w); }},
        {"polyNormal", [](const MeshData& m, std::string* w) { return applyPolyNormal(m, {}, w); }},
        {"polySoftEdge", [](const MeshData& m, std::string* w) { return applyPolySoftEdge(m, {}, w); }},
        {"polyTriangulate", [](const MeshData& m, std::string* w) { return applyPolyTriangulate(m, {}, w); }},
        {"polyColorPerVertex", [](const MeshData& m, std::string* w) { return applyPolyColorPerVertex(m, {}, w); }},
        {"polyTweakUV", [](const MeshData& m, std::string* w) { return applyPolyTweakUV(m, {}, w); }},
        {"skinCluster", [](const MeshData& m, std::string* w) { return applySkinCluster(m, {}, w); }},
        {"blendShape", [](const MeshData& m, std::string* w) { return applyBlendShape(m, {}, w); }},
    };
    for (auto [name, call] : calls) {
        std::string warning;
        MeshData out = call(broken, &warning);
        EXPECT_EQ(out.faceVertices, broken.faceVertices) << name;
        EXPECT_EQ(out.points, broken.points) << name;
        EXPECT_TRUE(mentions(warning, std::string(name) + ": input mesh passed through")) << warning;
    }
}

// --- polyColorPerVertex ------------------------------------------------------

using Rgba = std::array<float, 4>;
using Rgb = std::array<float, 3>;

// The colour of corner `c` in set `s`, or all -1 when the corner has none.
Rgba cornerColor(const MeshData& m, size_t s, size_t c) {
    const int32_t id = m.colorSets[s].faceVertexColor[c];
    if (id < 0) return {-1, -1, -1, -1};
    const float* p = &m.colorSets[s].rgba[4 * size_t(id)];
    return {p[0], p[1], p[2], p[3]};
}

TEST(PolyColorPerVertex, FaceColoursWinOverVertexColoursPerCorner) {
    PolyColorPerVertexParams params{.vertexColor = {
        {.vertex = 0, .rgb = Rgb{1, 0, 0}, .alpha = 0.5f},
        {.vertex = 1, .rgb = Rgb{0, 0, 1}, .alpha = {},
         .faceColors = {{0, Rgb{0, 1, 0}, std::nullopt}, {4, std::nullopt, 0.25f}}}}};
    const auto [out, warning] = warned(applyPolyColorPerVertex, kCube, params);
    ASSERT_EQ(warning + meshDataError(out), "");
    ASSERT_EQ(out.colorSets.size(), 1u);
    EXPECT_EQ(std::pair(out.colorSets[0].name, out.currentColorSet), std::pair(std::string("colorSet1"), 0));
    // Corners in the default cube's face order: face 0 (0 1 3 2), 3 (6 7 1 0), 4 (1 7 5 3), 5 (6 0 2 4).
    const std::pair<size_t, Rgba> corners[] = {
        {0, {1, 0, 0, 0.5f}}, {15, {1, 0, 0, 0.5f}}, {21, {1, 0, 0, 0.5f}},  // vertex 0 on faces 0, 3 and 5
        {1, {0, 1, 0, 1}},                                                    // vertex 1 on face 0: its face colour
        {14, {0, 0, 1, 1}},                                                   // vertex 1 on face 3: the vertex colour
        {16, {0, 0, 1, 0.25f}},                                               // vertex 1 on face 4: face alpha only
        {2, {-1, -1, -1, -1}}};                                               // vertex 3: not mentioned
    for (auto [corner, rgba] : corners) EXPECT_EQ(cornerColor(out, 0, corner), rgba) << "corner " << corner;
    // Equal colours share one entry.
    EXPECT_EQ(std::pair(out.colorSets[0].faceVertexColor[0], out.colorSets[0].rgba.size()),
              std::pair(out.colorSets[0].faceVertexColor[15], size_t(16)));
}

TEST(PolyColorPerVertex, ExistingSetIsUpdatedAndUnmentionedCornersKeepTheirColour) {
    MeshData cube = kCube;
    cube.colorSets = {{"other", {0.1f, 0.1f, 0.1f, 1}, std::vector<int32_t>(24, 0)},
                      {"paint", {0.2f, 0.3f, 0.4f, 0.6f}, std::vector<int32_t>(24, 0)}};
    // Alpha alone keeps the colour the corner had.
    PolyColorPerVertexParams params{.vertexColor = {{.vertex = 3, .alpha = 0.9f}, {.vertex = 5, .rgb = Rgb{2, -1, 0.5f}}},
                                    .colorSetName = "paint", .clamped = true};
    MeshData out = applyPolyColorPerVertex(cube, params, nullptr);
    ASSERT_EQ(std::pair(out.colorSets.size(), out.currentColorSet), std::pair(size_t(2), 0));  // an existing set does not become current
    EXPECT_EQ(out.colorSets[0].faceVertexColor, cube.colorSets[0].faceVertexColor);
    EXPECT_EQ(cornerColor(out, 1, 0), (Rgba{0.2f, 0.3f, 0.4f, 0.6f}));  // vertex 0
    EXPECT_EQ(cornerColor(out, 1, 2), (Rgba{0.2f, 0.3f, 0.4f, 0.9f}));  // vertex 3
    EXPECT_EQ(cornerColor(out, 1, 6), (Rgba{1, 0, 0.5f, 0.6f}));        // vertex 5, clamped, alpha kept
    params.clamped = false;
    EXPECT_EQ(cornerColor(applyPolyColorPerVertex(cube, params, nullptr), 1, 6), (Rgba{2, -1, 0.5f, 0.6f}));
}

TEST(PolyColorPerVertex, StrayIdsWarnAndAreIgnored) {
    // Vertex 8 is beyond the cube, face 1 does not hold vertex 0, vertex 2's colour is not finite.
    PolyColorPerVertexParams params{.vertexColor = {
        {.vertex = 8, .rgb = Rgb{1, 1, 1}},
        {.vertex = 0, .rgb = {}, .alpha = {}, .faceColors = {{1, Rgb{1, 1, 1}, 1.0f}}},
        {.vertex = 2, .rgb = Rgb{std::numeric_limits<float>::quiet_NaN(), 0, 0}}}};
    const auto [out, warning] = warned(applyPolyColorPerVertex, kCube, params);
    for (const char* phrase : {"1 colours for vertices beyond", "1 face colours name faces", "non-finite"})
        EXPECT_TRUE(mentions(warning, phrase)) << warning;
    EXPECT_EQ(out.colorSets[0].faceVertexColor, std::vector<int32_t>(24, -1));
    EXPECT_EQ(meshDataError(out), "");
}

// --- polyTweakUV -------------------------------------------------------------

TEST(PolyTweakUV, TweaksAreAddedToTheNamedSet) {
    MeshData cube = makeCube(false, true);
    cube.uvSets.push_back({"second", {0.f, 1.f}, {0.f, 1.f}, std::vector<int32_t>(24, 0)});
    MeshData out = applyPolyTweakUV(cube, {.uvTweak = {{2, 0.5f, -0.25f}, {13, 1, 1}}}, nullptr);  // the current set, map1
    EXPECT_EQ(std::tuple(out.uvSets[0].u[2], out.uvSets[0].v[2], out.uvSets[0].u[13], out.uvSets[0].u[1]),
              std::tuple(0.625f + 0.5f, 0.25f - 0.25f, 0.125f + 1, cube.uvSets[0].u[1]));
    EXPECT_EQ(out.uvSets[1].u, cube.uvSets[1].u);
    out = applyPolyTweakUV(cube, {.uvTweak = {{1, -1, -1}}, .uvSetName = "second"}, nullptr);
    EXPECT_TRUE((out.uvSets[1].u == std::vector<float>{0, 0}) && out.uvSets[0].u == cube.uvSets[0].u);
}

TEST(PolyTweakUV, MissingSetAndStrayIdsWarn) {
    const MeshData cube = makeCube(false, true);
    PolyTweakUVParams params{.uvTweak = {{14, 1, 1}, {-1, 1, 1}, {0, 0.5f, 0}}};
    auto [out, warning] = warned(applyPolyTweakUV, cube, params);
    EXPECT_FLOAT_EQ(out.uvSets[0].u[0], 0.875f);
    EXPECT_TRUE(mentions(warning, "2 tweaks name uvs beyond")) << warning;
    params.uvSetName = "nope";
    std::tie(out, warning) = warned(applyPolyTweakUV, cube, params);
    EXPECT_EQ(out.uvSets[0].u, cube.uvSets[0].u);
    EXPECT_TRUE(mentions(warning, "no uv set \"nope\"")) << warning;
    params.uvSetName.clear();
    std::tie(out, warning) = warned(applyPolyTweakUV, kCube, params);
    EXPECT_EQ(out.uvSets.size(), 0u);  // no uvs at all
    EXPECT_TRUE(mentions(warning, "polyTweakUV")) << warning;
}

}  // namespace
