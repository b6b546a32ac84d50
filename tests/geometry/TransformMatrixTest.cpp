// Matrices, vectors, Euler rotations, quaternions, the full transform and
// joint compositions and the camera answers, checked against elementary
// matrices written out here and against hand-derived numbers.

#include "math/CameraMath.h"
#include "math/TransformMath.h"
#include "MeshTestUtil.h"

#include <maya/MEulerRotation.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatPoint.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <gtest/gtest.h>

#include <array>
#include <numbers>

namespace {

using namespace mayahost;
using namespace meshtest;
using TM = MTransformationMatrix;
constexpr double kPi = std::numbers::pi;
constexpr double kTol = 1e-12;
const auto kObj = MSpace::kTransform;

MMatrix rx(double a) { return rows({1, 0, 0, 0, 0, cos(a), sin(a), 0, 0, -sin(a), cos(a), 0, 0, 0, 0, 1}); }
MMatrix ry(double a) { return rows({cos(a), 0, -sin(a), 0, 0, 1, 0, 0, sin(a), 0, cos(a), 0, 0, 0, 0, 1}); }
MMatrix rz(double a) { return rows({cos(a), sin(a), 0, 0, -sin(a), cos(a), 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}); }

void expectNear(const MPoint& p, double x, double y, double z) {
    EXPECT_TRUE(meshtest::near({p.x, p.y, p.z}, {x, y, z}, 1e-9)) << p.x << " " << p.y << " " << p.z;
}

TEST(TransformMatrix, ProductInverseDeterminantAndTranspose) {
    const MMatrix a = rows({2, 0, 0, 0, 1, 3, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1});
    const MMatrix b = rows({1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    const MMatrix ab = a * b;
    // Row 1 of a times b: (1, 3, 0, 0) * b = (1, 5, 0, 0); row 3: (5, 16, 7, 1).
    EXPECT_TRUE(ab == rows({2, 4, 0, 0, 1, 5, 0, 0, 0, 0, 4, 0, 5, 16, 7, 1}));
    // Lower triangular: the determinant is the diagonal's product.
    EXPECT_DOUBLE_EQ(a.det4x4(), 24.0);
    EXPECT_DOUBLE_EQ(a.det3x3(), 24.0);
    EXPECT_TRUE((a * a.inverse()).isEquivalent(MMatrix::identity, kTol));
    EXPECT_TRUE((a.inverse() * a).isEquivalent(MMatrix::identity, kTol));
    EXPECT_DOUBLE_EQ(a.transpose()(0, 3), 5.0);
    EXPECT_TRUE(a.transpose().transpose() == a);
    EXPECT_TRUE(a.adjoint().isEquivalent(a.inverse() * a.det4x4(), 1e-9));  // adjoint = det * inverse
    MMatrix prod, inPlace = a;
    prod.setToProduct(a, b);
    inPlace *= b;
    EXPECT_TRUE(prod == ab && inPlace == ab);
    // Singular: no inverse (identity instead).
    const MMatrix flat = rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    EXPECT_TRUE(flat.isSingular());
    EXPECT_DOUBLE_EQ(flat.det4x4(), 0.0);
    EXPECT_TRUE(flat.inverse() == MMatrix::identity);
    EXPECT_FALSE(MMatrix::identity.isSingular());
    EXPECT_TRUE((MMatrix::identity * 0.0).isSingular());
}

TEST(TransformMatrix, EquivalenceUsesTolerance) {
    MMatrix m;
    m(2, 1) = 1e-11;
    EXPECT_TRUE(m.isEquivalent(MMatrix::identity));
    EXPECT_FALSE(m == MMatrix::identity);
    m(2, 1) = 1e-3;
    EXPECT_FALSE(m.isEquivalent(MMatrix::identity));
    EXPECT_TRUE(m.isEquivalent(MMatrix::identity, 1e-2));
}

TEST(TransformMatrix, PointsTakeTranslationVectorsDoNot) {
    const MMatrix m = rz(kPi / 2) * translation(10, 20, 30);
    // (1, 0, 0) turns a quarter about z to (0, 1, 0), then moves.
    expectNear(MPoint(1, 0, 0) * m, 10, 21, 30);
    EXPECT_TRUE((MVector(1, 0, 0) * m).isEquivalent(MVector(0, 1, 0), kTol));
    // A rational point: w scales the translation and cartesianize divides it out.
    MPoint rational = MPoint(2, 0, 0, 2) * m;
    EXPECT_NEAR(rational.w, 2.0, kTol);
    rational.cartesianize();
    expectNear(rational, 10, 21, 30);
    EXPECT_DOUBLE_EQ(rational.w, 1.0);
    // A projective last column reaches w.
    MMatrix projective;
    projective(2, 3) = 1.0;
    EXPECT_DOUBLE_EQ((MPoint(0, 0, 4) * projective).w, 5.0);
}

TEST(TransformMatrix, VectorAlgebra) {
    const MVector x = MVector::xAxis, y = MVector::yAxis;
    EXPECT_TRUE((x ^ y) == MVector::zAxis);
    EXPECT_TRUE((y ^ x) == MVector::zNegAxis);
    EXPECT_DOUBLE_EQ(MVector(1, 2, 3) * MVector(4, -5, 6), 12.0);
    EXPECT_DOUBLE_EQ(MVector(3, 4, 0).length(), 5.0);
    EXPECT_TRUE(MVector(0, 0, 7).normal() == MVector::zAxis);
    MVector zero;
    EXPECT_FALSE(zero.normalize());
    EXPECT_TRUE(zero == MVector::zero);
    EXPECT_NEAR(x.angle(MVector(1, 1, 0)), kPi / 4, kTol);
    EXPECT_TRUE(MVector(2, 0, 0).isParallel(MVector(-5, 0, 0)));
    EXPECT_FALSE(MVector(2, 0, 0).isParallel(MVector(1, 1, 0)));
    EXPECT_TRUE(MVector::xNegAxis == -MVector::xAxis && MVector::yNegAxis == -MVector::yAxis);
    EXPECT_TRUE(MVector(MPoint(1, 2, 3, 9)) == MVector(1, 2, 3));
    EXPECT_TRUE((MPoint(5, 5, 5) - MPoint(1, 2, 3)) == MVector(4, 3, 2));
    EXPECT_DOUBLE_EQ(MPoint(0, 0, 0).distanceTo(MPoint(0, 3, 4)), 5.0);
    // Stretching y by 2 turns the plane x = y into y = 2x; the transformed
    // normal must stay perpendicular to it and unit length.
    const MVector n = MVector(1, -1, 0).normal().transformAsNormal(scaling(1, 2, 1));
    EXPECT_NEAR(n * (MVector(1, 1, 0) * scaling(1, 2, 1)), 0.0, kTol);
    EXPECT_NEAR(n.length(), 1.0, kTol);
}

TEST(TransformMatrix, FloatTypesAndPointArrays) {
    float raw[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {3, 4, 5, 1}};
    const MFloatMatrix fm(raw);
    const MFloatPoint p = MFloatPoint(1, 0, 0) * fm;
    EXPECT_FLOAT_EQ(p.x, 3.0F);
    EXPECT_FLOAT_EQ(p.y, 5.0F);
    EXPECT_TRUE((fm * fm.inverse()).isEquivalent(MFloatMatrix()));
    EXPECT_FLOAT_EQ(fm.det4x4(), 1.0F);
    EXPECT_TRUE(MMatrix(raw).isEquivalent(MMatrix(fm.matrix)));

    MPointArray points;
    points.append(1, 2, 3);
    points.append(MPoint(4, 5, 6, 2));
    ASSERT_EQ(points.length(), 2u);
    double out[2][4];
    points.get(out);
    EXPECT_DOUBLE_EQ(out[0][2], 3.0);
    EXPECT_DOUBLE_EQ(out[0][3], 1.0);
    EXPECT_DOUBLE_EQ(out[1][3], 2.0);
    EXPECT_FALSE(points.set(MPoint(), 5));
}

// The order names the axes in the sequence they act on a row vector.
TEST(TransformMatrix, EulerOrdersComposeAndDecompose) {
    const double x = 0.3, y = -1.1, z = 2.4;
    const MMatrix X = rx(x), Y = ry(y), Z = rz(z);
    const std::pair<MEulerRotation::RotationOrder, MMatrix> orders[] = {
        {MEulerRotation::kXYZ, X * Y * Z}, {MEulerRotation::kYZX, Y * Z * X}, {MEulerRotation::kZXY, Z * X * Y},
        {MEulerRotation::kXZY, X * Z * Y}, {MEulerRotation::kYXZ, Y * X * Z}, {MEulerRotation::kZYX, Z * Y * X}};
    for (const auto& [order, product] : orders) {
        SCOPED_TRACE(testing::Message() << "order " << order);
        const MEulerRotation e(x, y, z, order);
        EXPECT_TRUE(e.asMatrix().isEquivalent(product, kTol));
        EXPECT_TRUE(e.asQuaternion().asMatrix().isEquivalent(e.asMatrix(), kTol));
        for (double b : {0.4, -1.2, kPi / 2, -kPi / 2, 2.9}) {
            const MEulerRotation turn(0.7, b, -2.0, order);
            const MEulerRotation back = MEulerRotation::decompose(turn.asMatrix(), order);
            EXPECT_EQ(back.order, order);
            // Angles may differ (gimbal lock, other branch); the rotation may not.
            EXPECT_TRUE(back.asMatrix().isEquivalent(turn.asMatrix(), 1e-9)) << " y=" << b;
        }
    }
    // (0, 1, 0): a quarter about x gives (0, 0, 1), then a quarter about y gives (1, 0, 0).
    expectNear(MPoint(0, 1, 0) * MEulerRotation(kPi / 2, kPi / 2, 0, MEulerRotation::kXYZ).asMatrix(), 1, 0, 0);
    // y first leaves (0, 1, 0) alone, then x sends it to (0, 0, 1).
    expectNear(MPoint(0, 1, 0) * MEulerRotation(kPi / 2, kPi / 2, 0, MEulerRotation::kYXZ).asMatrix(), 0, 0, 1);
    // Positive angles turn counter-clockwise seen from the axis: z by 90 takes x to y.
    expectNear(MPoint(1, 0, 0) * MEulerRotation(0, 0, kPi / 2).asMatrix(), 0, 1, 0);
}

TEST(TransformMatrix, QuaternionProductsComposeLikeMatrices) {
    const MQuaternion a(0.8, MVector(1, 2, 3)), b(-1.3, MVector(0, 1, -1));
    EXPECT_TRUE((a * b).asMatrix().isEquivalent(a.asMatrix() * b.asMatrix(), kTol));
    EXPECT_TRUE((a * a.inverse()).isEquivalent(MQuaternion::identity, kTol));
    MVector axis;
    double angle = 0;
    ASSERT_TRUE(a.getAxisAngle(axis, angle));
    EXPECT_NEAR(angle, 0.8, kTol);
    EXPECT_TRUE(axis.isEquivalent(MVector(1, 2, 3).normal(), kTol));
    // The shortest arc from x to y is a quarter turn about z.
    EXPECT_TRUE(MQuaternion(MVector::xAxis, MVector::yAxis).asMatrix().isEquivalent(rz(kPi / 2), kTol));
    expectNear(MPoint(1, 0, 0) * MQuaternion(MVector::xAxis, MVector::xNegAxis).asMatrix(), -1, 0, 0);
    EXPECT_TRUE(a.asEulerRotation().asMatrix().isEquivalent(a.asMatrix(), 1e-9));
}

// --- The transform composition -------------------------------------------------

// A transformation matrix from its values, pivots set without balancing.
struct TransformValues {
    std::array<double, 3> s{1, 1, 1}, sh{}, r{};
    TM::RotationOrder order = TM::kXYZ;
    MVector t, sp, spt, rp, rpt;
    MQuaternion ra;
};
TM compose(const TransformValues& p) {
    TM tm;
    tm.setScale(p.s.data(), kObj);
    tm.setShear(p.sh.data(), kObj);
    tm.setScalePivot(MPoint(p.sp), kObj, false);
    tm.setScalePivotTranslation(p.spt, kObj);
    tm.setRotatePivot(MPoint(p.rp), kObj, false);
    tm.setRotatePivotTranslation(p.rpt, kObj);
    tm.setRotationOrientation(p.ra);
    tm.setRotation(p.r.data(), p.order);
    tm.setTranslation(p.t, kObj);
    return tm;
}

TEST(TransformComposition, PivotsShearAndRotateAxis) {
    EXPECT_TRUE(TM().asMatrix() == MMatrix::identity);
    EXPECT_TRUE(TM::identity.asMatrix() == MMatrix::identity);
    const TransformValues turn{.r = {0, 0, kPi / 2}, .rp = {1, 0, 0}}, stretch{.s = {2, 3, 1}, .sp = {1, 1, 1}};
    const struct {
        const char* what;
        TransformValues values;
        MPoint in, out;
    } cases[] = {
        // (2, 0, 0) is one unit right of the pivot; a quarter turn puts it one unit above.
        {"rotate pivot", turn, {2, 0, 0}, {1, 1, 0}},
        {"the rotate pivot stays", turn, {1, 0, 0}, {1, 0, 0}},
        {"pivot translation", {.r = turn.r, .t = {10, 0, 0}, .rp = turn.rp, .rpt = {0, 0, 5}}, {2, 0, 0}, {11, 1, 5}},
        {"scale pivot", stretch, {2, 2, 1}, {3, 4, 1}},
        {"the scale pivot stays", stretch, {1, 1, 1}, {1, 1, 1}},
        {"scale pivot translation", {.s = stretch.s, .sp = stretch.sp, .spt = {0, -1, 0}}, {1, 1, 1}, {1, 0, 1}},
        // Shear xy, xz, yz: x moves with y and z, y with z.
        {"shear xy", {.sh = {0.5, 0.25, 2.0}}, {0, 2, 0}, {1, 2, 0}},
        {"shear xz yz", {.sh = {0.5, 0.25, 2.0}}, {0, 0, 4}, {1, 8, 4}},
        // x -> y by the rotate axis, then y -> z by the rotation.
        {"rotate axis", {.r = {kPi / 2, 0, 0}, .ra = MEulerRotation(0, 0, kPi / 2).asQuaternion()}, {1, 0, 0}, {0, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        expectNear(c.in * compose(c.values).asMatrix(), c.out.x, c.out.y, c.out.z);
    }
    double back[3];
    compose(cases[6].values).getShear(back, kObj);
    EXPECT_DOUBLE_EQ(back[2], 2.0);
}

TEST(TransformComposition, FullCompositionMatchesTheExplicitProduct) {
    TransformValues p{.s = {1.5, 0.5, 2.0}, .sh = {0.2, -0.3, 0.4}, .r = {0.3, -0.7, 1.9}, .t = {7, -8, 9}, .sp = {0.5, -1, 2},
            .spt = {0.1, 0.2, 0.3}, .rp = {-1, 2, 0.5}, .rpt = {3, 0, -1}};
    const MEulerRotation ra(0.2, 0.4, -0.6);
    p.ra = ra.asQuaternion();
    const MMatrix shear = rows({1, 0, 0, 0, p.sh[0], 1, 0, 0, p.sh[1], p.sh[2], 1, 0, 0, 0, 0, 1});
    auto move = [](const MVector& v, double sign = 1) { return translation(sign * v.x, sign * v.y, sign * v.z); };
    for (int o = 0; o < 6; ++o) {
        p.order = TM::RotationOrder(TM::kXYZ + o);
        const TM tm = compose(p);
        const MMatrix expected = move(p.sp, -1) * scaling(p.s[0], p.s[1], p.s[2]) * shear * move(p.sp) * move(p.spt) *
                                 move(p.rp, -1) * ra.asMatrix() *
                                 MEulerRotation(p.r[0], p.r[1], p.r[2], MEulerRotation::RotationOrder(o)).asMatrix() *
                                 move(p.rp) * move(p.rpt) * move(p.t);
        EXPECT_TRUE(tm.asMatrix().isEquivalent(expected, kTol)) << "order " << p.order;
        EXPECT_EQ(tm.rotationOrder(), p.order);
    }
}

TEST(TransformComposition, BalancedPivotsAndReorderKeepTheMatrix) {
    TM tm = compose({.s = {2, 2, 3}, .r = {0.5, 1.0, -0.25}, .order = TM::kZXY, .t = {1, 2, 3}});
    const MMatrix before = tm.asMatrix();
    tm.setRotatePivot(MPoint(4, -2, 1), kObj, true);
    tm.setScalePivot(MPoint(-3, 0, 2), kObj, true);
    EXPECT_TRUE(tm.asMatrix().isEquivalent(before, kTol));
    EXPECT_FALSE(tm.rotatePivotTranslation(kObj).isEquivalent(MVector::zero));
    // Without balance the same moves change the matrix.
    TM loose(tm);
    loose.setRotatePivot(MPoint(0, 0, 0), kObj, false);
    EXPECT_FALSE(loose.asMatrix().isEquivalent(before, 1e-6));

    const double r[3] = {0.4, 0.9, -1.3};
    TM re = compose({.r = {r[0], r[1], r[2]}});
    const MMatrix turned = re.asMatrix();
    ASSERT_TRUE(re.setRotationOrder(TM::kZYX, true));
    EXPECT_EQ(re.rotationOrder(), TM::kZYX);
    EXPECT_TRUE(re.asMatrix().isEquivalent(turned, 1e-9));
    ASSERT_TRUE(re.setRotationOrder(TM::kXYZ, false));
    EXPECT_FALSE(re.asMatrix().isEquivalent(turned, 1e-6));
    EXPECT_EQ(re.setRotationOrder(TM::kInvalid, true), MStatus::kInvalidParameter);
    EXPECT_EQ(re.setRotation(r, TM::kLast), MStatus::kInvalidParameter);
}

TEST(TransformComposition, MatrixSplitsIntoComponentsAndBlendsFromRest) {
    const TransformValues p{.s = {2, 0.5, 3}, .sh = {0.3, 0, -0.2}, .r = {0.1, -0.5, 0.8}, .t = {-4, 5, 6}};
    const TM split(compose(p).asMatrix());
    EXPECT_TRUE(split.asMatrix().isEquivalent(compose(p).asMatrix(), kTol));
    double gotScale[3], gotShear[3], gotRot[3];
    TM::RotationOrder order;
    split.getScale(gotScale, kObj);
    split.getShear(gotShear, kObj);
    split.getRotation(gotRot, order);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(gotScale[i], p.s[i], kTol);
        EXPECT_NEAR(gotShear[i], p.sh[i], kTol);
        EXPECT_NEAR(gotRot[i], p.r[i], kTol);
    }
    EXPECT_TRUE(split.getTranslation(MSpace::kWorld).isEquivalent(p.t));
    // A mirrored matrix splits into a negative scale and a proper rotation.
    const MMatrix mirrored = scaling(1, 1, -1) * MEulerRotation(0.3, 0.2, 0.1).asMatrix();
    EXPECT_TRUE(TM(mirrored).asMatrix().isEquivalent(mirrored, kTol));

    const TM blend = compose({.s = {3, 1, 1}, .t = {10, 0, 0}});
    expectNear(MPoint(1, 0, 0) * blend.asMatrix(0.5), 2 + 5, 0, 0);
    EXPECT_TRUE(blend.asMatrix(0.0).isEquivalent(MMatrix::identity));
    EXPECT_TRUE(blend.asMatrix(1.0).isEquivalent(blend.asMatrix()));
}

TEST(JointComposition, MatchesTheExplicitProductAndTheTransformationMatrix) {
    const double v[3] = {0.3, -0.4, 1.1};
    const JointComponents j{.translate = {1, 2, 3}, .rotate = {v[0], v[1], v[2]},
                                      .rotateOrder = MEulerRotation::kYZX, .scale = {1.0, 1.5, 2.0},
                                      .rotateAxis = {v[1], v[2], v[0]}, .jointOrient = {v[2], v[0], v[1]},
                                      .inverseScale = {2.0, 1.75, 1.5}};
    const MMatrix expected = scaling(1.0, 1.5, 2.0) * MEulerRotation(v[1], v[2], v[0]).asMatrix() *
                             MEulerRotation(v[0], v[1], v[2], MEulerRotation::kYZX).asMatrix() *
                             MEulerRotation(v[2], v[0], v[1]).asMatrix() * scaling(1 / 2.0, 1 / 1.75, 1 / 1.5) *
                             translation(1, 2, 3);
    EXPECT_TRUE(jointMatrix(j).isEquivalent(expected, kTol));

    const JointComponents k{.translate = {0, 4, 0}, .rotate = {0.5, 0, -0.2}, .rotateOrder = MEulerRotation::kZXY,
                                      .scale = {2, 1, 1}, .rotateAxis = {0, 0.3, 0}, .jointOrient = {0, 0, 1.2},
                                      .inverseScale = {3, 1, 0.5}};
    TM tm = compose({.s = {2, 1, 1}, .r = {0.5, 0, -0.2}, .order = TM::kZXY, .t = {0, 4, 0},
                     .ra = MEulerRotation(0, 0.3, 0).asQuaternion()});
    tm.setJointOrientation(MEulerRotation(0, 0, 1.2).asQuaternion());
    const double parent[3] = {3, 1, 0.5};
    tm.setInverseParentScale(parent, true);
    EXPECT_TRUE(tm.asMatrix().isEquivalent(jointMatrix(k), kTol));
    // A balanced pivot move keeps a joint's matrix too.
    const MMatrix before = tm.asMatrix();
    tm.setRotatePivot(MPoint(1, 2, 3), kObj, true);
    EXPECT_TRUE(tm.asMatrix().isEquivalent(before, kTol));
    double back[3];
    bool compensate = false;
    tm.getInverseParentScale(back, compensate);
    EXPECT_TRUE(compensate);
    EXPECT_DOUBLE_EQ(back[2], 0.5);
}

TEST(JointComposition, OrientTurnsAfterTheRotationAndInverseScaleCompensates) {
    // The rotation about x takes y to z, the orient about z takes x to y:
    // (0, 1, 0) goes to z by the rotation and stays; (1, 0, 0) only meets the orient.
    const MMatrix turned = jointMatrix({.rotate = {kPi / 2, 0, 0}, .jointOrient = {0, 0, kPi / 2}});
    expectNear(MPoint(0, 1, 0) * turned, 0, 0, 1);
    expectNear(MPoint(1, 0, 0) * turned, 0, 1, 0);

    JointComponents child{.translate = {1, 0, 0}, .inverseScale = {2, 2, 2}};
    auto segment = [&] {
        const MMatrix world = jointMatrix(child) * scaling(2, 2, 2);
        return (MPoint(1, 0, 0) * world).distanceTo(MPoint(0, 0, 0) * world);
    };
    // The child sits where the scaled parent puts it, but a unit below it stays a unit long.
    expectNear(MPoint(0, 0, 0) * jointMatrix(child) * scaling(2, 2, 2), 2, 0, 0);
    EXPECT_NEAR(segment(), 1.0, kTol);
    child.segmentScaleCompensate = false;
    EXPECT_NEAR(segment(), 2.0, kTol);

    const MMatrix m = jointMatrix({.inverseScale = {1, 0, 1}});
    for (unsigned i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(m(i / 4, i % 4))) << "zero parent scale";
}

// --- Cameras -----------------------------------------------------------------------

TEST(CameraMath, FieldOfViewFromFocalLengthAndAperture) {
    constexpr double kDegrees = 180.0 / kPi;
    CameraAttributes camera;
    // 36 x 24 mm film back at 35 mm.
    EXPECT_NEAR(horizontalFieldOfView(camera), 2 * std::atan(18.0 / 35.0), 1e-5);
    EXPECT_NEAR(verticalFieldOfView(camera), 2 * std::atan(12.0 / 35.0), 1e-5);
    camera.horizontalFilmAperture = 1.41732;
    // 2 * atan(0.5 * 1.41732 * 25.4 / 35) = 54.432 degrees; at 50 mm 2 * atan(0.36) = 39.598.
    EXPECT_NEAR(horizontalFieldOfView(camera) * kDegrees, 54.432, 0.0005);
    camera.focalLength = 50.0;
    EXPECT_NEAR(horizontalFieldOfView(camera) * kDegrees, 39.598, 0.0005);
    camera.focalLength = 85.0;
    EXPECT_NEAR(focalLengthForHorizontalFieldOfView(camera, horizontalFieldOfView(camera)), 85.0, 1e-9);
    for (double focal : {0.0, -10.0, std::nan("")}) {
        camera.focalLength = focal;
        EXPECT_NEAR(horizontalFieldOfView(camera), kPi, kTol) << focal;
    }
}

TEST(CameraMath, ObjectSpaceIgnoresThePlacementWorldSpaceFollowsIt) {
    const MMatrix placed = MEulerRotation(0.3, 1.2, -0.4).asMatrix() * 5.0;
    for (MSpace::Space space : {MSpace::kObject, MSpace::kTransform, MSpace::kPostTransform}) {
        EXPECT_TRUE(eyePoint(placed, space) == MPoint(0, 0, 0));
        EXPECT_TRUE(viewDirection(placed, space) == MVector(0, 0, -1));
        EXPECT_TRUE(upDirection(placed, space) == MVector(0, 1, 0));
        EXPECT_TRUE(rightDirection(placed, space) == MVector(1, 0, 0));
    }
    // A quarter turn about y, scaled by 4, moved to (1, 2, 3): the camera looks
    // down -x from the move, its directions stay unit length.
    const MMatrix world = MEulerRotation(0, kPi / 2, 0).asMatrix() * scaling(4, 4, 4) * translation(1, 2, 3);
    EXPECT_TRUE(eyePoint(world, MSpace::kWorld).isEquivalent(MPoint(1, 2, 3), kTol));
    EXPECT_TRUE(viewDirection(world, MSpace::kWorld).isEquivalent(MVector(-1, 0, 0), kTol));
    EXPECT_TRUE(upDirection(world, MSpace::kWorld).isEquivalent(MVector(0, 1, 0), kTol));
    CameraAttributes camera;
    camera.centerOfInterest = 2.0;
    // Two object units ahead, scaled by 4, along -x.
    EXPECT_TRUE(centerOfInterestPoint(camera, world, MSpace::kWorld).isEquivalent(MPoint(-7, 2, 3), kTol));
    EXPECT_TRUE(centerOfInterestPoint(camera, world, MSpace::kObject) == MPoint(0, 0, -2));
}

}  // namespace
