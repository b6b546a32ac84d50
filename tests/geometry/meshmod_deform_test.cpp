#include "mesh/MeshModifiers.h"

#include "meshmod_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace mayahost;
using namespace meshmodtest;
using meshtest::near;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// --- transformGeometry ----------------------------------------------------

TEST(TransformGeometry, PointsGoThroughTheMatrixAsRowVectors) {
    MeshData cube = meshtest::makeCube(false, true);
    TransformGeometryParams params;
    // As a .ma file stores it: scale 0.1, then move by -0.5.
    params.transform = rows(0.1, 0, 0, 0, 0, 0.1, 0, 0, 0, 0, 0.1, 0, -0.5, -0.5, -0.5, 1);
    std::string warning;
    MeshData out = applyTransformGeometry(cube, params, &warning);
    EXPECT_EQ(warning, "");
    ASSERT_EQ(out.numVertices(), 8u);
    for (size_t v = 0; v < 8; ++v) {
        MeshVec p = pointOf(cube, v);
        EXPECT_TRUE(near(pointOf(out, v), {p.x * 0.1 - 0.5, p.y * 0.1 - 0.5, p.z * 0.1 - 0.5})) << v;
    }
    EXPECT_EQ(out.faceVertices, cube.faceVertices);
    EXPECT_EQ(out.uvSets[0].faceVertexUV, cube.uvSets[0].faceVertexUV);
}

TEST(TransformGeometry, InvertedTransformUndoesTheTransform) {
    MeshData cube = meshtest::makeCube(false, false);
    TransformGeometryParams forward;
    forward.transform = turnZ90() * translation(3, -2, 1) * scaling(2, 2, 2);
    TransformGeometryParams back = forward;
    back.invertTransform = true;
    MeshData there = applyTransformGeometry(cube, forward, nullptr);
    EXPECT_FALSE(near(pointOf(there, 0), pointOf(cube, 0)));
    MeshData out = applyTransformGeometry(there, back, nullptr);
    for (size_t v = 0; v < 8; ++v) EXPECT_TRUE(near(pointOf(out, v), pointOf(cube, v), 1e-5)) << v;
}

TEST(TransformGeometry, ProjectiveMatrixDividesByW) {
    MeshData cube = meshtest::makeCube(false, false);
    TransformGeometryParams params;
    params.transform = rows(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2);
    MeshData out = applyTransformGeometry(cube, params, nullptr);
    for (size_t v = 0; v < 8; ++v) {
        MeshVec p = pointOf(cube, v);
        EXPECT_TRUE(near(pointOf(out, v), {p.x / 2, p.y / 2, p.z / 2})) << v;
    }
}

TEST(TransformGeometry, UserNormalsFollowTheInverseTransposeUnlessFrozen) {
    MeshData cube = cubeWithUserNormals();
    // Turn the first corner's normal to (1, 1, 0)/sqrt2 so that a non-uniform scale bends it.
    const float s = float(1 / std::sqrt(2.0));
    cube.faceVertexNormals[0] = s, cube.faceVertexNormals[1] = s, cube.faceVertexNormals[2] = 0;
    cube.faceVertexNormals[3] = 1e20f;  // an unset corner stays unset
    TransformGeometryParams params;
    params.transform = scaling(2, 1, 1);
    MeshData out = applyTransformGeometry(cube, params, nullptr);
    // Inverse transpose of diag(2, 1, 1) is diag(0.5, 1, 1): (0.5, 1, 0) normalised.
    const double len = std::sqrt(1.25);
    EXPECT_TRUE(near(meshtest::normalAt(out.faceVertexNormals, 0), {0.5 / len, 1 / len, 0}, 1e-6));
    EXPECT_GT(out.faceVertexNormals[3], 1e19f);
    EXPECT_TRUE(near(meshtest::normalAt(out.faceVertexNormals, 16), {1, 0, 0}));  // face 4 (+X) stays +X

    params.freezeNormals = 1;
    MeshData frozen = applyTransformGeometry(cube, params, nullptr);
    EXPECT_EQ(frozen.faceVertexNormals, cube.faceVertexNormals);
    EXPECT_NEAR(frozen.points[0], -1.0, 1e-6);  // the points still move
}

TEST(TransformGeometry, ReverseNormalsFlipsWindingAndKeepsUserNormals) {
    MeshData cube = cubeWithUserNormals();
    TransformGeometryParams params;
    params.reverseNormals = true;
    MeshData out = applyTransformGeometry(cube, params, nullptr);
    EXPECT_EQ(std::vector<int32_t>(out.faceVertices.begin(), out.faceVertices.begin() + 4),
              (std::vector<int32_t>{0, 2, 3, 1}));
    EXPECT_TRUE(near(meshtest::normalAt(out.faceVertexNormals, 1), {0, 0, 1}));
}

TEST(TransformGeometry, UnusableMatricesPassTheMeshThroughWithAWarning) {
    MeshData cube = meshtest::makeCube(false, false);
    TransformGeometryParams singular;
    singular.transform = scaling(1, 0, 1);
    singular.invertTransform = true;
    std::string warning;
    MeshData out = applyTransformGeometry(cube, singular, &warning);
    EXPECT_EQ(out.points, cube.points);
    EXPECT_TRUE(mentions(warning, "inverted")) << warning;

    TransformGeometryParams broken;
    broken.transform = translation(kNaN, 0, 0);
    warning.clear();
    out = applyTransformGeometry(cube, broken, &warning);
    EXPECT_EQ(out.points, cube.points);
    EXPECT_TRUE(mentions(warning, "non-finite")) << warning;

    // A flattening matrix is fine forward: points land on the plane.
    singular.invertTransform = false;
    warning.clear();
    out = applyTransformGeometry(cube, singular, &warning);
    for (size_t v = 0; v < 8; ++v) EXPECT_EQ(out.points[3 * v + 1], 0.0f);
}

// --- tweak ----------------------------------------------------------------

TEST(Tweak, RelativeVectorsAreAddedScaledByTheEnvelope) {
    MeshData cube = meshtest::makeCube(false, false);
    TweakParams params;
    params.vertex = {{0, 0, 0, -0.5f}, {2, 1, 2, 3}};
    MeshData out = applyTweak(cube, params, nullptr);
    EXPECT_TRUE(near(pointOf(out, 0), {-0.5, -0.5, 0.0}));
    EXPECT_TRUE(near(pointOf(out, 2), {0.5, 2.5, 3.5}));
    EXPECT_TRUE(near(pointOf(out, 1), pointOf(cube, 1)));

    params.envelope = 0.5;
    out = applyTweak(cube, params, nullptr);
    EXPECT_TRUE(near(pointOf(out, 2), {0.0, 1.5, 2.0}));
}

TEST(Tweak, AbsoluteTweaksReplaceThePoint) {
    MeshData cube = meshtest::makeCube(false, false);
    TweakParams params;
    params.relativeTweak = false;
    params.vertex = {{5, 4, 4, 4}};
    MeshData out = applyTweak(cube, params, nullptr);
    EXPECT_TRUE(near(pointOf(out, 5), {4, 4, 4}));
    params.envelope = 0.5;  // half way from (0.5, 0.5, -0.5)
    out = applyTweak(cube, params, nullptr);
    EXPECT_TRUE(near(pointOf(out, 5), {2.25, 2.25, 1.75}));
}

TEST(Tweak, IdsBeyondTheMeshAndBadValuesWarn) {
    MeshData cube = meshtest::makeCube(false, false);
    TweakParams params;
    params.vertex = {{8, 1, 1, 1}, {-1, 1, 1, 1}, {1, float(kNaN), 0, 0}, {3, 0, 1, 0}};
    std::string warning;
    MeshData out = applyTweak(cube, params, &warning);
    EXPECT_TRUE(mentions(warning, "2 tweaks name vertices beyond")) << warning;
    EXPECT_TRUE(mentions(warning, "non-finite")) << warning;
    EXPECT_TRUE(near(pointOf(out, 1), pointOf(cube, 1)));
    EXPECT_TRUE(near(pointOf(out, 3), {0.5, 1.5, 0.5}));
}

// --- skinCluster ------------------------------------------------------------

SkinClusterParams twoJoints() {
    SkinClusterParams params;
    params.matrix = {MMatrix::identity, translation(0, 2, 0)};
    return params;
}

TEST(SkinCluster, WeightsBlendTheJointsTransforms) {
    MeshData cube = meshtest::makeCube(false, false);
    SkinClusterParams params = twoJoints();
    params.weightList.assign(8, {{0, 0.25}, {1, 0.75}});
    MeshData out = applySkinCluster(cube, params, nullptr);
    for (size_t v = 0; v < 8; ++v) {
        MeshVec p = pointOf(cube, v);
        EXPECT_TRUE(near(pointOf(out, v), {p.x, p.y + 1.5, p.z})) << v;
    }
}

TEST(SkinCluster, BindPreMatrixTakesPointsIntoTheJointsRestSpace) {
    MeshData cube = meshtest::makeCube(false, false);
    // A joint bound at (1, 0, 0), now turned 90 degrees about Z in place:
    // points turn about (1, 0, 0).
    SkinClusterParams params;
    params.bindPreMatrix = {translation(-1, 0, 0)};
    params.matrix = {turnZ90() * translation(1, 0, 0)};
    params.weightList.assign(8, {{0, 1.0}});
    MeshData out = applySkinCluster(cube, params, nullptr);
    for (size_t v = 0; v < 8; ++v) {
        MeshVec p = pointOf(cube, v);
        // (x - 1, y) turned to (-y, x - 1), then moved back by (1, 0).
        EXPECT_TRUE(near(pointOf(out, v), {1 - p.y, p.x - 1, p.z}, 1e-6)) << v;
    }
}

TEST(SkinCluster, GeomMatrixIsUndoneAfterSkinning) {
    MeshData cube = meshtest::makeCube(false, false);
    SkinClusterParams params;
    params.geomMatrix = scaling(2, 2, 2) * translation(0, 0, 5);
    // The joint at rest (pm = inverse(world)) leaves the shape as it was.
    MMatrix rest = translation(1, 1, 1);
    params.bindPreMatrix = {rest.inverse()};
    params.matrix = {rest};
    params.weightList.assign(8, {{0, 1.0}});
    MeshData out = applySkinCluster(cube, params, nullptr);
    for (size_t v = 0; v < 8; ++v) EXPECT_TRUE(near(pointOf(out, v), pointOf(cube, v), 1e-6)) << v;

    // Moving the joint one unit up in world moves the object-space points by
    // half a unit: the shape was bound under a scale of 2.
    params.matrix = {rest * translation(0, 1, 0)};
    out = applySkinCluster(cube, params, nullptr);
    for (size_t v = 0; v < 8; ++v) {
        MeshVec p = pointOf(cube, v);
        EXPECT_TRUE(near(pointOf(out, v), {p.x, p.y + 0.5, p.z}, 1e-6)) << v;
    }
}

TEST(SkinCluster, WeightsNotSummingToOneAreNormalisedOnlyWhenPost) {
    MeshData cube = meshtest::makeCube(false, false);
    SkinClusterParams params = twoJoints();
    params.weightList.assign(8, {{1, 0.5}});
    for (SkinNormalizeWeights mode : {SkinNormalizeWeights::None, SkinNormalizeWeights::Interactive}) {
        params.normalizeWeights = mode;
        MeshData out = applySkinCluster(cube, params, nullptr);
        MeshVec p = pointOf(cube, 3);
        // 0.5 * (p + (0, 2, 0)): the point is pulled halfway to the origin.
        EXPECT_TRUE(near(pointOf(out, 3), {0.5 * p.x, 0.5 * (p.y + 2), 0.5 * p.z})) << int(mode);
    }
    params.normalizeWeights = SkinNormalizeWeights::Post;
    params.weightList.assign(8, {{0, 1.0}, {1, 3.0}});
    MeshData out = applySkinCluster(cube, params, nullptr);
    MeshVec p = pointOf(cube, 3);
    EXPECT_TRUE(near(pointOf(out, 3), {p.x, p.y + 1.5, p.z}));
}

TEST(SkinCluster, ZeroWeightsGoToTheOriginMissingWeightsStay) {
    MeshData cube = meshtest::makeCube(false, false);
    SkinClusterParams params = twoJoints();
    params.geomMatrix = translation(0, 0, 3);
    params.weightList.assign(4, {{1, 1.0}});
    params.weightList[2] = {{0, 0.0}, {1, 0.0}};
    std::string warning;
    MeshData out = applySkinCluster(cube, params, &warning);
    // Zero weights leave p * gm * 0 * inverse(gm): the shape's world origin in object space.
    EXPECT_TRUE(near(pointOf(out, 2), {0, 0, -3}));
    EXPECT_TRUE(near(pointOf(out, 6), pointOf(cube, 6)));
    EXPECT_TRUE(near(pointOf(out, 0), {-0.5, 1.5, 0.5}));
    EXPECT_TRUE(mentions(warning, "1 vertices whose weights sum to zero")) << warning;
    EXPECT_TRUE(mentions(warning, "4 vertices without weights")) << warning;
}

TEST(SkinCluster, EnvelopeBlendsWithTheInput) {
    MeshData cube = meshtest::makeCube(false, false);
    SkinClusterParams params = twoJoints();
    params.weightList.assign(8, {{1, 1.0}});
    params.envelope = 0.25;
    MeshData out = applySkinCluster(cube, params, nullptr);
    MeshVec p = pointOf(cube, 7);
    EXPECT_TRUE(near(pointOf(out, 7), {p.x, p.y + 0.5, p.z}));
}

TEST(SkinCluster, UserNormalsTurnWithTheJoint) {
    MeshData cube = cubeWithUserNormals();
    SkinClusterParams params;
    params.matrix = {turnZ90()};
    params.weightList.assign(8, {{0, 1.0}});
    MeshData out = applySkinCluster(cube, params, nullptr);
    // Face 4 faces +X; turned about Z it faces +Y.
    EXPECT_TRUE(near(meshtest::normalAt(out.faceVertexNormals, 16), {0, 1, 0}, 1e-6));
    params.deformUserNormals = false;
    out = applySkinCluster(cube, params, nullptr);
    EXPECT_TRUE(near(meshtest::normalAt(out.faceVertexNormals, 16), {1, 0, 0}));
}

TEST(SkinCluster, BadInputWarnsAndNeverCrashes) {
    MeshData cube = meshtest::makeCube(false, false);
    SkinClusterParams params = twoJoints();
    params.weightList.assign(10, {{1, 1.0}, {7, 0.5}, {-2, 0.5}, {0, kNaN}});
    std::string warning;
    MeshData out = applySkinCluster(cube, params, &warning);
    EXPECT_TRUE(mentions(warning, "2 vertices beyond")) << warning;
    EXPECT_TRUE(mentions(warning, "influences that have no matrix")) << warning;
    EXPECT_TRUE(mentions(warning, "non-finite weights")) << warning;
    MeshVec p = pointOf(cube, 0);
    EXPECT_TRUE(near(pointOf(out, 0), {p.x, p.y + 2, p.z}));  // the good weight still applies

    params.geomMatrix = scaling(0, 1, 1);
    warning.clear();
    out = applySkinCluster(cube, params, &warning);
    EXPECT_EQ(out.points, cube.points);
    EXPECT_TRUE(mentions(warning, "geomMatrix")) << warning;

    params.geomMatrix = MMatrix::identity;
    params.matrix[1] = translation(kNaN, 0, 0);
    params.weightList.assign(8, {{0, 0.5}, {1, 0.5}});
    params.normalizeWeights = SkinNormalizeWeights::Post;
    warning.clear();
    out = applySkinCluster(cube, params, &warning);
    EXPECT_TRUE(mentions(warning, "non-finite matrices")) << warning;
    EXPECT_TRUE(near(pointOf(out, 0), p));  // only the usable joint, renormalised

    params.skinningMethod = 1;
    warning.clear();
    applySkinCluster(cube, params, &warning);
    EXPECT_TRUE(mentions(warning, "skinningMethod 1")) << warning;
}

// --- blendShape ----------------------------------------------------------------

BlendShapeTarget storedTarget(int32_t index, std::vector<float> offsets, std::vector<std::string> components,
                              int32_t item = 6000) {
    BlendShapeTarget t;
    t.index = index;
    BlendShapeTargetItem it;
    it.itemIndex = item;
    it.inputPointsTarget = std::move(offsets);
    it.inputComponentsTarget = std::move(components);
    t.items.push_back(std::move(it));
    return t;
}

TEST(BlendShape, StoredOffsetsGoToTheirComponentsScaledByTheWeight) {
    MeshData cube = meshtest::makeCube(false, false);
    BlendShapeParams params;
    params.weight = {0.5};
    params.targets = {storedTarget(0, {1, 0, 0, 0, 2, 0, 0, 0, 4}, {"vtx[0]", "vtx[6:7]"})};
    std::string warning;
    MeshData out = applyBlendShape(cube, params, &warning);
    EXPECT_EQ(warning, "");
    auto moved = [&](size_t v, MeshVec d) {
        MeshVec p = pointOf(cube, v);
        return MeshVec{p.x + d.x, p.y + d.y, p.z + d.z};
    };
    EXPECT_TRUE(near(pointOf(out, 0), moved(0, {0.5, 0, 0})));
    EXPECT_TRUE(near(pointOf(out, 6), moved(6, {0, 1, 0})));
    EXPECT_TRUE(near(pointOf(out, 7), moved(7, {0, 0, 2})));
    for (size_t v = 1; v < 6; ++v) EXPECT_TRUE(near(pointOf(out, v), pointOf(cube, v))) << v;
}

TEST(BlendShape, TargetsAddUpUnderEnvelopeTargetAndBaseWeights) {
    MeshData cube = meshtest::makeCube(false, false);
    BlendShapeParams params;
    params.weight = {1.0, 0.0, 2.0};
    params.envelope = 0.5;
    params.targets = {storedTarget(0, {0, 1, 0}, {"vtx[1]"}), storedTarget(2, {0, 1, 0, 1, 0, 0}, {"vtx[1:2]"}),
                      storedTarget(1, {9, 9, 9}, {"vtx[1]"})};  // weight 0: no effect
    params.targets[1].targetWeights = {std::nullopt, 0.5f, 0.25f};
    params.baseWeights = {1.0f, 1.0f, 0.5f};
    MeshData out = applyBlendShape(cube, params, nullptr);
    // vtx1: 0.5 * (1 * (0,1,0) + 2 * 0.5 * (0,1,0)) = (0, 1, 0)
    MeshVec p1 = pointOf(cube, 1);
    EXPECT_TRUE(near(pointOf(out, 1), {p1.x, p1.y + 1, p1.z}));
    // vtx2: 0.5 * 0.5 * (2 * 0.25 * (1,0,0)) = (0.125, 0, 0)
    MeshVec p2 = pointOf(cube, 2);
    EXPECT_TRUE(near(pointOf(out, 2), {p2.x + 0.125, p2.y, p2.z}));
}

TEST(BlendShape, InBetweensMakeAPiecewiseLinearPath) {
    MeshData cube = meshtest::makeCube(false, false);
    BlendShapeTarget target = storedTarget(0, {0, 0, 2}, {"vtx[4]"}, 5500);  // A at weight 0.5
    BlendShapeTargetItem full;
    full.itemIndex = 6000;  // B at weight 1
    full.inputPointsTarget = {0, 2, 0};
    full.inputComponentsTarget = std::vector<std::string>{"vtx[4]"};
    target.items.push_back(full);
    BlendShapeParams params;
    params.targets = {target};
    const MeshVec p = pointOf(cube, 4);
    struct Case {
        double weight;
        MeshVec offset;
    } cases[] = {
        {0.25, {0, 0, 1}},    // half of A
        {0.5, {0, 0, 2}},     // A
        {0.75, {0, 1, 1}},    // A + (B - A) / 2
        {1.0, {0, 2, 0}},     // B
        {1.5, {0, 4, -2}},    // extended: A + 2 (B - A)
        {-0.5, {0, 0, -2}},   // extended below: -A
    };
    for (const Case& c : cases) {
        params.weight = {c.weight};
        MeshData out = applyBlendShape(cube, params, nullptr);
        EXPECT_TRUE(near(pointOf(out, 4), {p.x + c.offset.x, p.y + c.offset.y, p.z + c.offset.z})) << c.weight;
    }
}

TEST(BlendShape, LiveTargetMeshGivesOffsetsFromTheBase) {
    MeshData cube = meshtest::makeCube(false, false);
    BlendShapeTarget target;
    BlendShapeTargetItem item;
    std::vector<float> targetPoints = cube.points;
    for (size_t i = 0; i < targetPoints.size(); ++i) targetPoints[i] *= 3;  // a cube three times the size
    item.inputGeomTarget = targetPoints;
    target.items = {item};
    BlendShapeParams params;
    params.weight = {0.5};
    params.targets = {target};
    MeshData out = applyBlendShape(cube, params, nullptr);
    for (size_t i = 0; i < cube.points.size(); ++i) EXPECT_NEAR(out.points[i], cube.points[i] * 2, 1e-6) << i;

    params.targets[0].items[0].inputGeomTarget->pop_back();
    std::string warning;
    out = applyBlendShape(cube, params, &warning);
    EXPECT_EQ(out.points, cube.points);
    EXPECT_TRUE(mentions(warning, "target ignored")) << warning;
}

TEST(BlendShape, ComponentsOutsideTheMeshWarnAndTheRestApplies) {
    MeshData cube = meshtest::makeCube(false, false);
    BlendShapeParams params;
    params.weight = {1.0};
    params.targets = {storedTarget(0, {1, 0, 0, 1, 0, 0, 1, 0, 0}, {"vtx[7:9]"})};
    std::string warning;
    MeshData out = applyBlendShape(cube, params, &warning);
    EXPECT_TRUE(mentions(warning, "2 offsets for vertices beyond")) << warning;
    MeshVec p = pointOf(cube, 7);
    EXPECT_TRUE(near(pointOf(out, 7), {p.x + 1, p.y, p.z}));

    // Fewer components than offsets: the shorter count pairs up.
    params.targets = {storedTarget(0, {1, 0, 0, 1, 0, 0}, {"vtx[3]"})};
    warning.clear();
    out = applyBlendShape(cube, params, &warning);
    EXPECT_TRUE(mentions(warning, "1 components for 2 offsets")) << warning;
    EXPECT_NEAR(out.points[9], cube.points[9] + 1, 1e-6);

    // More components than offsets, a malformed list, another kind, a huge range: target ignored.
    for (std::vector<std::string> bad : {std::vector<std::string>{"vtx[0:5]"}, {"vtx[x]"}, {"f[0]"},
                                         {"vtx[0:4000000000]"}}) {
        params.targets = {storedTarget(0, {1, 0, 0, 1, 0, 0}, bad)};
        warning.clear();
        out = applyBlendShape(cube, params, &warning);
        EXPECT_EQ(out.points, cube.points) << bad[0];
        EXPECT_TRUE(mentions(warning, "target ignored")) << warning;
    }
}

TEST(BlendShape, OffsetsWithoutComponentsCoverEveryVertexOrNothing) {
    MeshData cube = meshtest::makeCube(false, false);
    BlendShapeParams params;
    params.weight = {1.0};
    BlendShapeTarget t;
    BlendShapeTargetItem item;
    item.inputPointsTarget.assign(24, 0.25f);
    t.items = {item};
    params.targets = {t};
    MeshData out = applyBlendShape(cube, params, nullptr);
    for (size_t i = 0; i < 24; ++i) EXPECT_NEAR(out.points[i], cube.points[i] + 0.25f, 1e-6);
    params.targets[0].items[0].inputPointsTarget.resize(12);
    std::string warning;
    out = applyBlendShape(cube, params, &warning);
    EXPECT_EQ(out.points, cube.points);
    EXPECT_TRUE(mentions(warning, "without a component list")) << warning;
}

// --- Deformer set membership ----------------------------------------------------

TEST(DeformerMembers, OnlyTheSetsVerticesMove) {
    MeshData cube = meshtest::makeCube(false, false);
    const std::vector<int32_t> members{1, 6, 99};  // 99 is not on the mesh
    auto movedOnly = [&](const MeshData& out, MeshVec d) {
        for (size_t v = 0; v < 8; ++v) {
            MeshVec p = pointOf(cube, v);
            bool member = v == 1 || v == 6;
            EXPECT_TRUE(near(pointOf(out, v), member ? MeshVec{p.x + d.x, p.y + d.y, p.z + d.z} : p)) << v;
        }
    };

    TweakParams tweak;
    for (int32_t v = 0; v < 8; ++v) tweak.vertex.push_back({v, 0, 1, 0});
    tweak.members = members;
    std::string warning;
    movedOnly(applyTweak(cube, tweak, &warning), {0, 1, 0});
    EXPECT_TRUE(mentions(warning, "tweak: 1 set members beyond")) << warning;

    SkinClusterParams skin = twoJoints();
    skin.weightList.assign(8, {{1, 1.0}});
    skin.members = members;
    movedOnly(applySkinCluster(cube, skin, nullptr), {0, 2, 0});

    BlendShapeParams blend;
    blend.weight = {1.0};
    blend.targets = {storedTarget(0, std::vector<float>(24, 0.5f), {"vtx[*]"})};
    blend.members = members;
    movedOnly(applyBlendShape(cube, blend, nullptr), {0.5, 0.5, 0.5});

    blend.members = std::vector<int32_t>{};  // an empty set moves nothing
    EXPECT_EQ(applyBlendShape(cube, blend, nullptr).points, cube.points);
}

// --- Every modifier on a broken mesh --------------------------------------------

TEST(MeshModifiers, InconsistentInputPassesThroughWithAWarning) {
    MeshData broken = meshtest::makeCube(false, false);
    broken.faceVertices[5] = 42;  // a corner on a vertex that does not exist
    std::vector<std::pair<const char*, MeshData (*)(const MeshData&, std::string*)>> calls = {
        {"transformGeometry", [](const MeshData& m, std::string* w) { return applyTransformGeometry(m, {}, w); }},
        {"tweak",
         [](const MeshData& m, std::string* w) {
             TweakParams tweak;
             tweak.vertex = {{0, 1, 1, 1}};
             return applyTweak(m, tweak, w);
         }},
        {"polyNormal", [](const MeshData& m, std::string* w) { return applyPolyNormal(m, {}, w); }},
        {"polySoftEdge", [](const MeshData& m, std::string* w) { return applyPolySoftEdge(m, {}, w); }},
        {"polyTriangulate", [](const MeshData& m, std::string* w) { return applyPolyTriangulate(m, {}, w); }},
        {"polyColorPerVertex", [](const MeshData& m, std::string* w) { return applyPolyColorPerVertex(m, {}, w); }},
        {"polyTweakUV", [](const MeshData& m, std::string* w) { return applyPolyTweakUV(m, {}, w); }},
        {"skinCluster", [](const MeshData& m, std::string* w) { return applySkinCluster(m, {}, w); }},
        {"blendShape", [](const MeshData& m, std::string* w) { return applyBlendShape(m, {}, w); }},
    };
    for (auto& [name, call] : calls) {
        std::string warning;
        MeshData out = call(broken, &warning);
        EXPECT_EQ(out.faceVertices, broken.faceVertices) << name;
        EXPECT_EQ(out.points, broken.points) << name;
        EXPECT_TRUE(mentions(warning, std::string(name) + ": input mesh passed through")) << warning;
    }
}

}  // namespace
