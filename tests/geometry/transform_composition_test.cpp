// The full transform composition (pivots, pivot translations, shear, rotate
// axis, rotate order) and the joint composition, against explicit products of
// elementary matrices and hand-derived points.

#include "math/TransformMath.h"

#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

MMatrix translate(double x, double y, double z) {
    MMatrix m;
    m(3, 0) = x;
    m(3, 1) = y;
    m(3, 2) = z;
    return m;
}

MMatrix scale(double x, double y, double z) {
    MMatrix m;
    m(0, 0) = x;
    m(1, 1) = y;
    m(2, 2) = z;
    return m;
}

void expectPoint(const MPoint& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}

TEST(TransformComposition, DefaultIsIdentity) {
    EXPECT_TRUE(MTransformationMatrix().asMatrix() == MMatrix::identity);
    EXPECT_TRUE(MTransformationMatrix::identity.asMatrix() == MMatrix::identity);
}

TEST(TransformComposition, RotatePivotTurnsAboutThePivot) {
    MTransformationMatrix tm;
    const double r[3] = {0, 0, kPi / 2};
    tm.setRotation(r, MTransformationMatrix::kXYZ);
    tm.setRotatePivot(MPoint(1, 0, 0), MSpace::kTransform, false);
    // (2, 0, 0) is one unit right of the pivot; a quarter turn puts it one unit above.
    expectPoint(MPoint(2, 0, 0) * tm.asMatrix(), 1, 1, 0);
    // The pivot itself does not move.
    expectPoint(MPoint(1, 0, 0) * tm.asMatrix(), 1, 0, 0);
    tm.setRotatePivotTranslation(MVector(0, 0, 5), MSpace::kTransform);
    tm.setTranslation(MVector(10, 0, 0), MSpace::kTransform);
    expectPoint(MPoint(2, 0, 0) * tm.asMatrix(), 11, 1, 5);
}

TEST(TransformComposition, ScalePivotScalesAboutThePivot) {
    MTransformationMatrix tm;
    const double s[3] = {2, 3, 1};
    tm.setScale(s, MSpace::kTransform);
    tm.setScalePivot(MPoint(1, 1, 1), MSpace::kTransform, false);
    expectPoint(MPoint(2, 2, 1) * tm.asMatrix(), 3, 4, 1);
    expectPoint(MPoint(1, 1, 1) * tm.asMatrix(), 1, 1, 1);
    tm.setScalePivotTranslation(MVector(0, -1, 0), MSpace::kTransform);
    expectPoint(MPoint(1, 1, 1) * tm.asMatrix(), 1, 0, 1);
}

TEST(TransformComposition, ShearMovesXWithYAndZ) {
    MTransformationMatrix tm;
    const double sh[3] = {0.5, 0.25, 2.0};  // xy, xz, yz
    tm.setShear(sh, MSpace::kTransform);
    expectPoint(MPoint(0, 2, 0) * tm.asMatrix(), 1, 2, 0);
    expectPoint(MPoint(0, 0, 4) * tm.asMatrix(), 1, 8, 4);
    double back[3];
    tm.getShear(back, MSpace::kTransform);
    EXPECT_DOUBLE_EQ(back[2], 2.0);
}

TEST(TransformComposition, RotateAxisActsBeforeTheRotation) {
    MTransformationMatrix tm;
    tm.setRotationOrientation(MEulerRotation(0, 0, kPi / 2).asQuaternion());
    const double r[3] = {kPi / 2, 0, 0};
    tm.setRotation(r, MTransformationMatrix::kXYZ);
    // x -> y by the rotate axis, then y -> z by the rotation.
    expectPoint(MPoint(1, 0, 0) * tm.asMatrix(), 0, 0, 1);
}

TEST(TransformComposition, FullCompositionMatchesTheExplicitProduct) {
    const double s[3] = {1.5, 0.5, 2.0}, sh[3] = {0.2, -0.3, 0.4}, r[3] = {0.3, -0.7, 1.9};
    const MVector sp(0.5, -1, 2), spt(0.1, 0.2, 0.3), rp(-1, 2, 0.5), rpt(3, 0, -1), t(7, -8, 9);
    const MEulerRotation ra(0.2, 0.4, -0.6);
    for (auto [order, eulerOrder] :
         {std::pair{MTransformationMatrix::kXYZ, MEulerRotation::kXYZ}, {MTransformationMatrix::kYZX, MEulerRotation::kYZX},
          {MTransformationMatrix::kZXY, MEulerRotation::kZXY}, {MTransformationMatrix::kXZY, MEulerRotation::kXZY},
          {MTransformationMatrix::kYXZ, MEulerRotation::kYXZ}, {MTransformationMatrix::kZYX, MEulerRotation::kZYX}}) {
        MTransformationMatrix tm;
        tm.setScale(s, MSpace::kTransform);
        tm.setShear(sh, MSpace::kTransform);
        tm.setScalePivot(MPoint(sp), MSpace::kTransform, false);
        tm.setScalePivotTranslation(spt, MSpace::kTransform);
        tm.setRotatePivot(MPoint(rp), MSpace::kTransform, false);
        tm.setRotatePivotTranslation(rpt, MSpace::kTransform);
        tm.setRotationOrientation(ra.asQuaternion());
        tm.setRotation(r, order);
        tm.setTranslation(t, MSpace::kTransform);

        MMatrix shear;
        shear(1, 0) = sh[0];
        shear(2, 0) = sh[1];
        shear(2, 1) = sh[2];
        const MMatrix expected = translate(-sp.x, -sp.y, -sp.z) * scale(s[0], s[1], s[2]) * shear *
                                 translate(sp.x, sp.y, sp.z) * translate(spt.x, spt.y, spt.z) *
                                 translate(-rp.x, -rp.y, -rp.z) * ra.asMatrix() *
                                 MEulerRotation(r[0], r[1], r[2], eulerOrder).asMatrix() * translate(rp.x, rp.y, rp.z) *
                                 translate(rpt.x, rpt.y, rpt.z) * translate(t.x, t.y, t.z);
        EXPECT_TRUE(tm.asMatrix().isEquivalent(expected, 1e-12)) << "order " << order;
        EXPECT_EQ(tm.rotationOrder(), order);
    }
}

TEST(TransformComposition, BalancedPivotChangesKeepTheMatrix) {
    MTransformationMatrix tm;
    const double s[3] = {2, 2, 3}, r[3] = {0.5, 1.0, -0.25};
    tm.setScale(s, MSpace::kTransform);
    tm.setRotation(r, MTransformationMatrix::kZXY);
    tm.setTranslation(MVector(1, 2, 3), MSpace::kTransform);
    const MMatrix before = tm.asMatrix();
    tm.setRotatePivot(MPoint(4, -2, 1), MSpace::kTransform, true);
    tm.setScalePivot(MPoint(-3, 0, 2), MSpace::kTransform, true);
    EXPECT_TRUE(tm.asMatrix().isEquivalent(before, 1e-12));
    EXPECT_FALSE(tm.rotatePivotTranslation(MSpace::kTransform).isEquivalent(MVector::zero));
    // Without balance the same moves change the matrix.
    MTransformationMatrix loose(tm);
    loose.setRotatePivot(MPoint(0, 0, 0), MSpace::kTransform, false);
    EXPECT_FALSE(loose.asMatrix().isEquivalent(before, 1e-6));
}

TEST(TransformComposition, ReorderKeepsTheRotation) {
    MTransformationMatrix tm;
    const double r[3] = {0.4, 0.9, -1.3};
    tm.setRotation(r, MTransformationMatrix::kXYZ);
    const MMatrix before = tm.asMatrix();
    ASSERT_TRUE(tm.setRotationOrder(MTransformationMatrix::kZYX, true));
    EXPECT_EQ(tm.rotationOrder(), MTransformationMatrix::kZYX);
    EXPECT_TRUE(tm.asMatrix().isEquivalent(before, 1e-9));
    ASSERT_TRUE(tm.setRotationOrder(MTransformationMatrix::kXYZ, false));
    EXPECT_FALSE(tm.asMatrix().isEquivalent(before, 1e-6));
    EXPECT_EQ(tm.setRotationOrder(MTransformationMatrix::kInvalid, true), MStatus::kInvalidParameter);
    EXPECT_EQ(tm.setRotation(r, MTransformationMatrix::kLast), MStatus::kInvalidParameter);
}

TEST(TransformComposition, MatrixSplitsIntoComponents) {
    MTransformationMatrix tm;
    const double s[3] = {2, 0.5, 3}, sh[3] = {0.3, 0, -0.2}, r[3] = {0.1, -0.5, 0.8};
    tm.setScale(s, MSpace::kTransform);
    tm.setShear(sh, MSpace::kTransform);
    tm.setRotation(r, MTransformationMatrix::kXYZ);
    tm.setTranslation(MVector(-4, 5, 6), MSpace::kTransform);
    const MTransformationMatrix split(tm.asMatrix());
    EXPECT_TRUE(split.asMatrix().isEquivalent(tm.asMatrix(), 1e-12));
    double gotScale[3], gotShear[3], gotRot[3];
    MTransformationMatrix::RotationOrder order;
    split.getScale(gotScale, MSpace::kTransform);
    split.getShear(gotShear, MSpace::kTransform);
    split.getRotation(gotRot, order);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(gotScale[i], s[i], 1e-12);
        EXPECT_NEAR(gotShear[i], sh[i], 1e-12);
        EXPECT_NEAR(gotRot[i], r[i], 1e-12);
    }
    EXPECT_TRUE(split.getTranslation(MSpace::kWorld).isEquivalent(MVector(-4, 5, 6)));
    // A mirrored matrix splits into a negative scale and a proper rotation.
    const MTransformationMatrix mirror(scale(1, 1, -1) * MEulerRotation(0.3, 0.2, 0.1).asMatrix());
    EXPECT_TRUE(mirror.asMatrix().isEquivalent(scale(1, 1, -1) * MEulerRotation(0.3, 0.2, 0.1).asMatrix(), 1e-12));
}

TEST(TransformComposition, PercentBlendsFromRest) {
    MTransformationMatrix tm;
    tm.setTranslation(MVector(10, 0, 0), MSpace::kTransform);
    const double s[3] = {3, 1, 1};
    tm.setScale(s, MSpace::kTransform);
    expectPoint(MPoint(1, 0, 0) * tm.asMatrix(0.5), 2 + 5, 0, 0);
    EXPECT_TRUE(tm.asMatrix(0.0).isEquivalent(MMatrix::identity));
    EXPECT_TRUE(tm.asMatrix(1.0).isEquivalent(tm.asMatrix()));
}

TEST(JointComposition, MatchesTheExplicitProduct) {
    mayahost::JointComponents j;
    const double values[3] = {0.3, -0.4, 1.1};
    for (int i = 0; i < 3; ++i) {
        j.translate[i] = i + 1.0;
        j.rotate[i] = values[i];
        j.rotateAxis[i] = values[(i + 1) % 3];
        j.jointOrient[i] = values[(i + 2) % 3];
        j.scale[i] = 1.0 + 0.5 * i;
        j.inverseScale[i] = 2.0 - 0.25 * i;
    }
    j.rotateOrder = MEulerRotation::kYZX;
    const MMatrix expected = scale(1.0, 1.5, 2.0) *
                             MEulerRotation(values[1], values[2], values[0]).asMatrix() *
                             MEulerRotation(values[0], values[1], values[2], MEulerRotation::kYZX).asMatrix() *
                             MEulerRotation(values[2], values[0], values[1]).asMatrix() *
                             scale(1 / 2.0, 1 / 1.75, 1 / 1.5) * translate(1, 2, 3);
    EXPECT_TRUE(mayahost::jointMatrix(j).isEquivalent(expected, 1e-12));
}

TEST(JointComposition, TransformationMatrixCarriesTheJointParts) {
    mayahost::JointComponents j;
    j.translate[1] = 4.0;
    j.rotate[0] = 0.5;
    j.rotate[2] = -0.2;
    j.rotateOrder = MEulerRotation::kZXY;
    j.rotateAxis[1] = 0.3;
    j.jointOrient[2] = 1.2;
    j.scale[0] = 2.0;
    j.inverseScale[0] = 3.0;
    j.inverseScale[2] = 0.5;
    MTransformationMatrix tm;
    const double s[3] = {2, 1, 1}, r[3] = {0.5, 0, -0.2}, parent[3] = {3, 1, 0.5};
    tm.setScale(s, MSpace::kTransform);
    tm.setRotation(r, MTransformationMatrix::kZXY);
    tm.setRotationOrientation(MEulerRotation(0, 0.3, 0).asQuaternion());
    tm.setJointOrientation(MEulerRotation(0, 0, 1.2).asQuaternion());
    tm.setInverseParentScale(parent, true);
    tm.setTranslation(MVector(0, 4, 0), MSpace::kTransform);
    EXPECT_TRUE(tm.asMatrix().isEquivalent(mayahost::jointMatrix(j), 1e-12));
    // A balanced pivot move keeps a joint's matrix too.
    const MMatrix before = tm.asMatrix();
    tm.setRotatePivot(MPoint(1, 2, 3), MSpace::kTransform, true);
    EXPECT_TRUE(tm.asMatrix().isEquivalent(before, 1e-12));
    double back[3];
    bool compensate = false;
    tm.getInverseParentScale(back, compensate);
    EXPECT_TRUE(compensate);
    EXPECT_DOUBLE_EQ(back[2], 0.5);
}

TEST(JointComposition, JointOrientTurnsAfterTheRotation) {
    mayahost::JointComponents j;
    j.rotate[0] = kPi / 2;       // x: y -> z
    j.jointOrient[2] = kPi / 2;  // z: x -> y
    // (0, 1, 0) -> (0, 0, 1) by the rotation; the orient about z leaves it there.
    expectPoint(MPoint(0, 1, 0) * mayahost::jointMatrix(j), 0, 0, 1);
    // (1, 0, 0) is untouched by the rotation, then the orient turns it to y.
    expectPoint(MPoint(1, 0, 0) * mayahost::jointMatrix(j), 0, 1, 0);
}

TEST(JointComposition, InverseScaleKeepsChildSegmentsUnscaled) {
    const MMatrix parentWorld = scale(2, 2, 2);
    mayahost::JointComponents child;
    child.translate[0] = 1.0;
    child.inverseScale[0] = child.inverseScale[1] = child.inverseScale[2] = 2.0;
    const MMatrix world = mayahost::jointMatrix(child) * parentWorld;
    // The child still sits where the scaled parent puts it ...
    expectPoint(MPoint(0, 0, 0) * world, 2, 0, 0);
    // ... but a unit length below the child stays a unit long.
    EXPECT_NEAR((MPoint(1, 0, 0) * world).distanceTo(MPoint(0, 0, 0) * world), 1.0, 1e-12);
    child.segmentScaleCompensate = false;
    const MMatrix uncompensated = mayahost::jointMatrix(child) * parentWorld;
    EXPECT_NEAR((MPoint(1, 0, 0) * uncompensated).distanceTo(MPoint(0, 0, 0) * uncompensated), 2.0, 1e-12);
}

TEST(JointComposition, ZeroParentScaleStaysFinite) {
    mayahost::JointComponents child;
    child.inverseScale[1] = 0.0;
    const MMatrix m = mayahost::jointMatrix(child);
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c) EXPECT_TRUE(std::isfinite(m(r, c)));
}

}  // namespace
