// MTransformationMatrix: the component form of a transform node's matrix.

#include "math/TransformMath.h"

#include <maya/MStatus.h>
#include <maya/MTransformationMatrix.h>

#include <cmath>

using mayahost::scaleMatrix;
using mayahost::shearMatrix;
using mayahost::translationMatrix;

namespace {

MEulerRotation::RotationOrder toEulerOrder(MTransformationMatrix::RotationOrder order) {
    switch (order) {
    case MTransformationMatrix::kYZX: return MEulerRotation::kYZX;
    case MTransformationMatrix::kZXY: return MEulerRotation::kZXY;
    case MTransformationMatrix::kXZY: return MEulerRotation::kXZY;
    case MTransformationMatrix::kYXZ: return MEulerRotation::kYXZ;
    case MTransformationMatrix::kZYX: return MEulerRotation::kZYX;
    default: return MEulerRotation::kXYZ;
    }
}

MTransformationMatrix::RotationOrder toTransformOrder(MEulerRotation::RotationOrder order) {
    return static_cast<MTransformationMatrix::RotationOrder>(static_cast<int>(order) + 1);
}

bool validOrder(MTransformationMatrix::RotationOrder order) {
    return order > MTransformationMatrix::kInvalid && order < MTransformationMatrix::kLast;
}

void setIf(MStatus* status, MStatus value) {
    if (status) *status = value;
}

// The 3x3 part of a matrix, as a matrix without translation.
MMatrix linearPart(const MMatrix& m) {
    MMatrix out;
    for (unsigned r = 0; r < 3; ++r)
        for (unsigned c = 0; c < 3; ++c) out(r, c) = m(r, c);
    return out;
}

}  // namespace

const MTransformationMatrix MTransformationMatrix::identity;

MTransformationMatrix::MTransformationMatrix(const MMatrix& src) { *this = src; }

MTransformationMatrix& MTransformationMatrix::operator=(const MMatrix& src) {
    *this = MTransformationMatrix();
    translation_ = MVector(src(3, 0), src(3, 1), src(3, 2));
    // Rows of the 3x3 part are S * Sh * R: Gram-Schmidt recovers scale, shear
    // and the rotation's rows in order x, y, z.
    MVector row[3];
    for (unsigned r = 0; r < 3; ++r) row[r] = MVector(src(r, 0), src(r, 1), src(r, 2));
    scale_[0] = row[0].length();
    MVector r0 = scale_[0] > 0.0 ? row[0] / scale_[0] : MVector::xAxis;
    MVector r1 = row[1] - r0 * (row[1] * r0);
    scale_[1] = r1.length();
    r1 = scale_[1] > 0.0 ? r1 / scale_[1] : (r0 ^ MVector::zAxis).normal();
    MVector r2 = row[2] - r0 * (row[2] * r0) - r1 * (row[2] * r1);
    scale_[2] = r2.length();
    r2 = scale_[2] > 0.0 ? r2 / scale_[2] : (r0 ^ r1);
    shear_[0] = scale_[1] > 0.0 ? (row[1] * r0) / scale_[1] : 0.0;
    shear_[1] = scale_[2] > 0.0 ? (row[2] * r0) / scale_[2] : 0.0;
    shear_[2] = scale_[2] > 0.0 ? (row[2] * r1) / scale_[2] : 0.0;
    if (((r0 ^ r1) * r2) < 0.0) {
        // A mirror: carry it in the z scale so the rotation stays proper.
        scale_[2] = -scale_[2];
        r2 = -r2;
    }
    MMatrix rot;
    for (unsigned c = 0; c < 3; ++c) {
        rot(0, c) = r0[c];
        rot(1, c) = r1[c];
        rot(2, c) = r2[c];
    }
    rotation_ = MEulerRotation::decompose(rot, MEulerRotation::kXYZ);
    return *this;
}

MMatrix MTransformationMatrix::asScaleMatrix() const {
    const MVector sp(scalePivot_);
    return translationMatrix(-sp) * scaleMatrix(scale_) * shearMatrix(shear_) * translationMatrix(sp) *
           translationMatrix(scalePivotTranslation_);
}

MMatrix MTransformationMatrix::asRotateMatrix() const {
    const MVector rp(rotatePivot_);
    return translationMatrix(-rp) * rotateAxis_.asMatrix() * rotation_.asMatrix() * jointOrient_.asMatrix() *
           translationMatrix(rp) * translationMatrix(rotatePivotTranslation_);
}

MMatrix MTransformationMatrix::asMatrix() const {
    MMatrix m = asScaleMatrix() * asRotateMatrix();
    if (compensateParentScale_) {
        // A zero parent scale has no inverse; such an axis stays collapsed.
        double inverse[3];
        for (int i = 0; i < 3; ++i) inverse[i] = parentScale_[i] != 0.0 ? 1.0 / parentScale_[i] : 0.0;
        m *= scaleMatrix(inverse);
    }
    return m * translationMatrix(translation_);
}

MMatrix MTransformationMatrix::asMatrix(double percent) const {
    // Every component moved `percent` of the way from its rest value.
    MTransformationMatrix part(*this);
    for (int i = 0; i < 3; ++i) {
        part.scale_[i] = 1.0 + (scale_[i] - 1.0) * percent;
        part.shear_[i] = shear_[i] * percent;
    }
    part.rotation_ = MEulerRotation(rotation_.x * percent, rotation_.y * percent, rotation_.z * percent,
                                    rotation_.order);
    MVector axis;
    double angle = 0.0;
    rotateAxis_.getAxisAngle(axis, angle);
    part.rotateAxis_ = MQuaternion(angle * percent, axis);
    part.translation_ = translation_ * percent;
    part.scalePivotTranslation_ = scalePivotTranslation_ * percent;
    part.rotatePivotTranslation_ = rotatePivotTranslation_ * percent;
    return part.asMatrix();
}

MMatrix MTransformationMatrix::asMatrixInverse() const { return asMatrix().inverse(); }

MStatus MTransformationMatrix::getScale(double scale[3], MSpace::Space) const {
    for (int i = 0; i < 3; ++i) scale[i] = scale_[i];
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::setScale(const double scale[3], MSpace::Space) {
    for (int i = 0; i < 3; ++i) scale_[i] = scale[i];
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::getShear(double shear[3], MSpace::Space) const {
    for (int i = 0; i < 3; ++i) shear[i] = shear_[i];
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::setShear(const double shear[3], MSpace::Space) {
    for (int i = 0; i < 3; ++i) shear_[i] = shear[i];
    return MStatus::kSuccess;
}

MVector MTransformationMatrix::getTranslation(MSpace::Space, MStatus* status) const {
    setIf(status, MStatus::kSuccess);
    return translation_;
}

MStatus MTransformationMatrix::setTranslation(const MVector& v, MSpace::Space) {
    translation_ = v;
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::addTranslation(const MVector& v, MSpace::Space) {
    translation_ += v;
    return MStatus::kSuccess;
}

MPoint MTransformationMatrix::scalePivot(MSpace::Space, MStatus* status) const {
    setIf(status, MStatus::kSuccess);
    return scalePivot_;
}

MStatus MTransformationMatrix::setScalePivot(const MPoint& point, MSpace::Space, bool balance) {
    if (balance) {
        // Keep the matrix: the pivot's move through scale and shear goes into
        // the pivot translation.
        const MVector delta = MVector(point) - MVector(scalePivot_);
        const MMatrix scaleShear = scaleMatrix(scale_) * shearMatrix(shear_);
        scalePivotTranslation_ += delta * scaleShear - delta;
    }
    scalePivot_ = point;
    scalePivot_.cartesianize();
    return MStatus::kSuccess;
}

MVector MTransformationMatrix::scalePivotTranslation(MSpace::Space, MStatus* status) const {
    setIf(status, MStatus::kSuccess);
    return scalePivotTranslation_;
}

MStatus MTransformationMatrix::setScalePivotTranslation(const MVector& v, MSpace::Space) {
    scalePivotTranslation_ = v;
    return MStatus::kSuccess;
}

MPoint MTransformationMatrix::rotatePivot(MSpace::Space, MStatus* status) const {
    setIf(status, MStatus::kSuccess);
    return rotatePivot_;
}

MStatus MTransformationMatrix::setRotatePivot(const MPoint& point, MSpace::Space, bool balance) {
    if (balance) {
        const MVector delta = MVector(point) - MVector(rotatePivot_);
        const MMatrix rotate = linearPart(rotateAxis_.asMatrix() * rotation_.asMatrix() * jointOrient_.asMatrix());
        rotatePivotTranslation_ += delta * rotate - delta;
    }
    rotatePivot_ = point;
    rotatePivot_.cartesianize();
    return MStatus::kSuccess;
}

MVector MTransformationMatrix::rotatePivotTranslation(MSpace::Space, MStatus* status) const {
    setIf(status, MStatus::kSuccess);
    return rotatePivotTranslation_;
}

MStatus MTransformationMatrix::setRotatePivotTranslation(const MVector& v, MSpace::Space) {
    rotatePivotTranslation_ = v;
    return MStatus::kSuccess;
}

MQuaternion MTransformationMatrix::rotation() const { return rotation_.asQuaternion(); }

MStatus MTransformationMatrix::getRotation(double rotation[3], RotationOrder& order) const {
    rotation[0] = rotation_.x;
    rotation[1] = rotation_.y;
    rotation[2] = rotation_.z;
    order = toTransformOrder(rotation_.order);
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::setRotation(const double rotation[3], RotationOrder order) {
    if (!validOrder(order)) return MStatus::kInvalidParameter;
    rotation_ = MEulerRotation(rotation[0], rotation[1], rotation[2], toEulerOrder(order));
    return MStatus::kSuccess;
}

MTransformationMatrix& MTransformationMatrix::rotateTo(const MEulerRotation& rotation) {
    rotation_ = rotation;
    return *this;
}

MTransformationMatrix& MTransformationMatrix::rotateTo(const MQuaternion& rotation) {
    rotation_ = MEulerRotation::decompose(rotation.asMatrix(), rotation_.order);
    return *this;
}

MTransformationMatrix::RotationOrder MTransformationMatrix::rotationOrder(MStatus* status) const {
    setIf(status, MStatus::kSuccess);
    return toTransformOrder(rotation_.order);
}

MStatus MTransformationMatrix::setRotationOrder(RotationOrder order, bool reorder) {
    if (!validOrder(order)) return MStatus::kInvalidParameter;
    if (reorder)
        rotation_ = MEulerRotation::decompose(rotation_.asMatrix(), toEulerOrder(order));
    else
        rotation_.order = toEulerOrder(order);
    return MStatus::kSuccess;
}

MTransformationMatrix& MTransformationMatrix::setRotationOrientation(const MQuaternion& q) {
    rotateAxis_ = q.normal();
    return *this;
}

MTransformationMatrix& MTransformationMatrix::setJointOrientation(const MQuaternion& q) {
    jointOrient_ = q.normal();
    return *this;
}

MStatus MTransformationMatrix::setInverseParentScale(const double parentScale[3], bool compensate) {
    for (int i = 0; i < 3; ++i) parentScale_[i] = parentScale[i];
    compensateParentScale_ = compensate;
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::getInverseParentScale(double parentScale[3], bool& compensate) const {
    for (int i = 0; i < 3; ++i) parentScale[i] = parentScale_[i];
    compensate = compensateParentScale_;
    return MStatus::kSuccess;
}

bool MTransformationMatrix::isEquivalent(const MTransformationMatrix& other, double tolerance) const {
    return asMatrix().isEquivalent(other.asMatrix(), tolerance);
}

bool MTransformationMatrix::operator==(const MTransformationMatrix& other) const {
    return asMatrix() == other.asMatrix();
}
