#pragma once
// A transformation kept as its components. asMatrix() composes them as
//   [Sp^-1 * S * Sh * Sp * St] * [Rp^-1 * Ra * R * Rp * Rt] * T
// (row vectors): scale S and shear Sh about the scale pivot Sp, moved by the
// scale pivot translation St; rotate axis Ra and rotation R (in its rotation
// order) about the rotate pivot Rp, moved by Rt; then the translation T.
//
// The components have no parent, so every space answers alike: kTransform,
// kObject and kWorld give the same values.
//
// A joint's transformation also carries its joint orient JO, applied right
// after the rotation, and the inverse of its parent's scale IS, applied before
// the translation: with zero pivots S * Sh * Ra * R * JO * IS * T.

#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MSpace.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

class MTransformationMatrix {
public:
    enum RotationOrder { kInvalid, kXYZ, kYZX, kZXY, kXZY, kYXZ, kZYX, kLast };

    MTransformationMatrix() = default;
    MTransformationMatrix(const MTransformationMatrix& src) = default;
    // Splits a matrix into translation, rotation (kXYZ), scale and shear, with
    // zero pivots and no rotate axis.
    MTransformationMatrix(const MMatrix& src);  // NOLINT: implicit as in the API
    MTransformationMatrix& operator=(const MTransformationMatrix& src) = default;
    MTransformationMatrix& operator=(const MMatrix& src);

    MMatrix asMatrix() const;
    MMatrix asMatrix(double percent) const;
    MMatrix asMatrixInverse() const;
    MMatrix asScaleMatrix() const;
    MMatrix asRotateMatrix() const;

    MStatus getScale(double scale[3], MSpace::Space space) const;
    MStatus setScale(const double scale[3], MSpace::Space space);
    MStatus getShear(double shear[3], MSpace::Space space) const;
    MStatus setShear(const double shear[3], MSpace::Space space);

    MVector getTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setTranslation(const MVector& vector, MSpace::Space space);
    MStatus addTranslation(const MVector& vector, MSpace::Space space);

    MPoint scalePivot(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setScalePivot(const MPoint& point, MSpace::Space space, bool balance);
    MVector scalePivotTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setScalePivotTranslation(const MVector& vector, MSpace::Space space);
    MPoint rotatePivot(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setRotatePivot(const MPoint& point, MSpace::Space space, bool balance);
    MVector rotatePivotTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setRotatePivotTranslation(const MVector& vector, MSpace::Space space);

    MQuaternion rotation() const;
    MEulerRotation eulerRotation() const { return rotation_; }
    MStatus getRotation(double rotation[3], RotationOrder& order) const;
    MStatus setRotation(const double rotation[3], RotationOrder order);
    MTransformationMatrix& rotateTo(const MEulerRotation& rotation);
    MTransformationMatrix& rotateTo(const MQuaternion& rotation);
    RotationOrder rotationOrder(MStatus* ReturnStatus = NULL) const;
    // Changes the order; with reorder the angles are recomputed so that the
    // rotation stays the same, otherwise the angles stay and the rotation changes.
    MStatus setRotationOrder(RotationOrder order, bool reorder);

    MQuaternion rotationOrientation() const { return rotateAxis_; }
    MTransformationMatrix& setRotationOrientation(const MQuaternion& q);

    // Stand-in extensions for joints.
    MQuaternion jointOrientation() const { return jointOrient_; }
    MTransformationMatrix& setJointOrientation(const MQuaternion& q);
    // The parent's scale that a joint compensates for (when `compensate`).
    MStatus setInverseParentScale(const double parentScale[3], bool compensate);
    MStatus getInverseParentScale(double parentScale[3], bool& compensate) const;

    bool isEquivalent(const MTransformationMatrix& other, double tolerance = MMatrix_kTol) const;
    bool operator==(const MTransformationMatrix& other) const;
    bool operator!=(const MTransformationMatrix& other) const { return !(*this == other); }

    static const MTransformationMatrix identity;

private:
    double scale_[3] = {1.0, 1.0, 1.0};
    double shear_[3] = {0.0, 0.0, 0.0};  // xy, xz, yz
    MPoint scalePivot_;
    MVector scalePivotTranslation_;
    MPoint rotatePivot_;
    MVector rotatePivotTranslation_;
    MQuaternion rotateAxis_;
    MEulerRotation rotation_;
    MVector translation_;
    MQuaternion jointOrient_;
    double parentScale_[3] = {1.0, 1.0, 1.0};
    bool compensateParentScale_ = false;
};
