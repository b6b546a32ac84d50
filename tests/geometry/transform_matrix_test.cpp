// Matrices, vectors, points, Euler rotations and quaternions, checked against
// elementary matrices written out here and against hand-derived numbers.

#include <maya/MEulerRotation.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatPoint.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MQuaternion.h>
#include <maya/MVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTol = 1e-12;

MMatrix fromRows(std::initializer_list<std::initializer_list<double>> rows) {
    MMatrix m;
    unsigned r = 0;
    for (const auto& row : rows) {
        unsigned c = 0;
        for (double v : row) m(r, c++) = v;
        ++r;
    }
    return m;
}

// Row-vector rotations, written independently of the library.
MMatrix rx(double a) {
    const double c = std::cos(a), s = std::sin(a);
    return fromRows({{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}});
}
MMatrix ry(double a) {
    const double c = std::cos(a), s = std::sin(a);
    return fromRows({{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}});
}
MMatrix rz(double a) {
    const double c = std::cos(a), s = std::sin(a);
    return fromRows({{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
}

void expectNear(const MPoint& p, double x, double y, double z, double tol = 1e-9) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

TEST(TransformMatrix, ProductInverseDeterminantAndTranspose) {
    const MMatrix a = fromRows({{2, 0, 0, 0}, {1, 3, 0, 0}, {0, 0, 4, 0}, {5, 6, 7, 1}});
    const MMatrix b = fromRows({{1, 2, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    const MMatrix ab = a * b;
    // Row 1 of a times b: (1, 3, 0, 0) * b = (1, 2 + 3, 0, 0).
    EXPECT_DOUBLE_EQ(ab(1, 0), 1.0);
    EXPECT_DOUBLE_EQ(ab(1, 1), 5.0);
    // Row 3: (5, 6, 7, 1) * b = (5, 10 + 6, 7, 1).
    EXPECT_DOUBLE_EQ(ab(3, 1), 16.0);
    EXPECT_DOUBLE_EQ(ab(3, 3), 1.0);
    // Lower triangular: the determinant is the diagonal's product.
    EXPECT_DOUBLE_EQ(a.det4x4(), 24.0);
    EXPECT_DOUBLE_EQ(a.det3x3(), 24.0);
    EXPECT_TRUE((a * a.inverse()).isEquivalent(MMatrix::identity, kTol));
    EXPECT_TRUE((a.inverse() * a).isEquivalent(MMatrix::identity, kTol));
    EXPECT_DOUBLE_EQ(a.transpose()(0, 3), 5.0);
    EXPECT_TRUE(a.transpose().transpose() == a);
    // adjoint = det * inverse
    EXPECT_TRUE(a.adjoint().isEquivalent(a.inverse() * a.det4x4(), 1e-9));
    MMatrix prod;
    prod.setToProduct(a, b);
    EXPECT_TRUE(prod == ab);
    MMatrix inPlace = a;
    inPlace *= b;
    EXPECT_TRUE(inPlace == ab);
}

TEST(TransformMatrix, SingularMatrixHasNoInverse) {
    const MMatrix flat = fromRows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 1}});
    EXPECT_TRUE(flat.isSingular());
    EXPECT_DOUBLE_EQ(flat.det4x4(), 0.0);
    EXPECT_TRUE(flat.inverse() == MMatrix::identity);
    EXPECT_FALSE(MMatrix::identity.isSingular());
    MMatrix zero = MMatrix::identity * 0.0;
    EXPECT_TRUE(zero.isSingular());
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
    const MMatrix m = rz(kPi / 2) * fromRows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {10, 20, 30, 1}});
    // (1, 0, 0) turns a quarter about z to (0, 1, 0), then moves.
    expectNear(MPoint(1, 0, 0) * m, 10, 21, 30);
    const MVector v = MVector(1, 0, 0) * m;
    EXPECT_NEAR(v.x, 0, kTol);
    EXPECT_NEAR(v.y, 1, kTol);
    EXPECT_NEAR(v.z, 0, kTol);
    // A rational point: w scales the translation and cartesianize divides it out.
    MPoint rational = MPoint(2, 0, 0, 2) * m;
    EXPECT_NEAR(rational.w, 2.0, kTol);
    rational.cartesianize();
    expectNear(rational, 10, 21, 30);
    EXPECT_DOUBLE_EQ(rational.w, 1.0);
    // A projective last column reaches w.
    MMatrix projective;
    projective(2, 3) = 1.0;
    const MPoint p = MPoint(0, 0, 4) * projective;
    EXPECT_DOUBLE_EQ(p.w, 5.0);
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
    EXPECT_TRUE(MVector::xNegAxis == -MVector::xAxis);
    EXPECT_TRUE(MVector::yNegAxis == -MVector::yAxis);
    EXPECT_TRUE(MVector(MPoint(1, 2, 3, 9)) == MVector(1, 2, 3));
    EXPECT_TRUE((MPoint(5, 5, 5) - MPoint(1, 2, 3)) == MVector(4, 3, 2));
    EXPECT_DOUBLE_EQ(MPoint(0, 0, 0).distanceTo(MPoint(0, 3, 4)), 5.0);
}

TEST(TransformMatrix, NormalsUseTheInverseTranspose) {
    // Stretching y by 2 turns the plane x = y into y = 2x; the transformed
    // normal must stay perpendicular to it.
    MMatrix squash;
    squash(1, 1) = 2.0;
    const MVector n = MVector(1, -1, 0).normal().transformAsNormal(squash);
    const MVector inPlane = MVector(1, 1, 0) * squash;
    EXPECT_NEAR(n * inPlane, 0.0, kTol);
    EXPECT_NEAR(n.length(), 1.0, kTol);
}

TEST(TransformMatrix, FloatTypesFollowTheDoubleOnes) {
    float raw[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {3, 4, 5, 1}};
    const MFloatMatrix fm(raw);
    const MFloatPoint p = MFloatPoint(1, 0, 0) * fm;
    EXPECT_FLOAT_EQ(p.x, 3.0F);
    EXPECT_FLOAT_EQ(p.y, 5.0F);
    EXPECT_TRUE((fm * fm.inverse()).isEquivalent(MFloatMatrix()));
    EXPECT_FLOAT_EQ(fm.det4x4(), 1.0F);
    EXPECT_TRUE(MMatrix(raw).isEquivalent(MMatrix(fm.matrix)));
}

TEST(TransformMatrix, PointArrayAppendAndGet) {
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

struct OrderCase {
    MEulerRotation::RotationOrder order;
    const char* name;
};

class EulerOrders : public ::testing::TestWithParam<OrderCase> {};

// The order names the axes in the sequence they act on a row vector.
MMatrix explicitProduct(MEulerRotation::RotationOrder order, double x, double y, double z) {
    const MMatrix X = rx(x), Y = ry(y), Z = rz(z);
    switch (order) {
    case MEulerRotation::kXYZ: return X * Y * Z;
    case MEulerRotation::kYZX: return Y * Z * X;
    case MEulerRotation::kZXY: return Z * X * Y;
    case MEulerRotation::kXZY: return X * Z * Y;
    case MEulerRotation::kYXZ: return Y * X * Z;
    case MEulerRotation::kZYX: return Z * Y * X;
    }
    return MMatrix();
}

TEST_P(EulerOrders, MatrixIsTheProductOfAxisRotationsInOrder) {
    const auto order = GetParam().order;
    const double x = 0.3, y = -1.1, z = 2.4;
    const MEulerRotation e(x, y, z, order);
    EXPECT_TRUE(e.asMatrix().isEquivalent(explicitProduct(order, x, y, z), kTol)) << GetParam().name;
    EXPECT_TRUE(e.asQuaternion().asMatrix().isEquivalent(e.asMatrix(), 1e-12)) << GetParam().name;
}

TEST_P(EulerOrders, DecomposeRecoversTheRotation) {
    const auto order = GetParam().order;
    for (double y : {0.4, -1.2, kPi / 2, -kPi / 2, 2.9}) {
        const MEulerRotation e(0.7, y, -2.0, order);
        const MEulerRotation back = MEulerRotation::decompose(e.asMatrix(), order);
        EXPECT_EQ(back.order, order);
        // Angles may differ (gimbal lock, other branch); the rotation may not.
        EXPECT_TRUE(back.asMatrix().isEquivalent(e.asMatrix(), 1e-9)) << GetParam().name << " y=" << y;
    }
}

INSTANTIATE_TEST_SUITE_P(AllSix, EulerOrders,
                         ::testing::Values(OrderCase{MEulerRotation::kXYZ, "xyz"}, OrderCase{MEulerRotation::kYZX, "yzx"},
                                           OrderCase{MEulerRotation::kZXY, "zxy"}, OrderCase{MEulerRotation::kXZY, "xzy"},
                                           OrderCase{MEulerRotation::kYXZ, "yxz"}, OrderCase{MEulerRotation::kZYX, "zyx"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TransformMatrix, RotationOrderDecidesWhichAxisTurnsFirst) {
    // (0, 1, 0): a quarter about x gives (0, 0, 1), then a quarter about y (0, 0, 1) -> (1, 0, 0).
    expectNear(MPoint(0, 1, 0) * MEulerRotation(kPi / 2, kPi / 2, 0, MEulerRotation::kXYZ).asMatrix(), 1, 0, 0);
    // y first leaves (0, 1, 0) alone, then x sends it to (0, 0, 1).
    expectNear(MPoint(0, 1, 0) * MEulerRotation(kPi / 2, kPi / 2, 0, MEulerRotation::kYXZ).asMatrix(), 0, 0, 1);
    // Positive angles turn counter-clockwise seen from the axis: z by 90 takes x to y.
    expectNear(MPoint(1, 0, 0) * MEulerRotation(0, 0, kPi / 2).asMatrix(), 0, 1, 0);
}

TEST(TransformMatrix, QuaternionProductsComposeLikeMatrices) {
    const MQuaternion a(0.8, MVector(1, 2, 3));
    const MQuaternion b(-1.3, MVector(0, 1, -1));
    EXPECT_TRUE((a * b).asMatrix().isEquivalent(a.asMatrix() * b.asMatrix(), 1e-12));
    EXPECT_TRUE((a * a.inverse()).isEquivalent(MQuaternion::identity, 1e-12));
    MVector axis;
    double angle = 0;
    ASSERT_TRUE(a.getAxisAngle(axis, angle));
    EXPECT_NEAR(angle, 0.8, 1e-12);
    EXPECT_TRUE(axis.isEquivalent(MVector(1, 2, 3).normal(), 1e-12));
    // The shortest arc from x to y is a quarter turn about z.
    const MQuaternion arc(MVector::xAxis, MVector::yAxis);
    EXPECT_TRUE(arc.asMatrix().isEquivalent(rz(kPi / 2), 1e-12));
    const MQuaternion half(MVector::xAxis, MVector::xNegAxis);
    expectNear(MPoint(1, 0, 0) * half.asMatrix(), -1, 0, 0);
    EXPECT_TRUE(a.asEulerRotation().asMatrix().isEquivalent(a.asMatrix(), 1e-9));
}

}  // namespace
