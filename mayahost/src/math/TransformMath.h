#pragma once
// Elementary matrices in the API's row-vector convention and the composition
// of a joint, shared by MTransformationMatrix, MFnTransform and the tests.

#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MVector.h>

namespace mayahost {

MMatrix translationMatrix(const MVector& t);
MMatrix scaleMatrix(const double scale[3]);
// Shear (xy, xz, yz): x picks up xy * y and xz * z, y picks up yz * z.
MMatrix shearMatrix(const double shear[3]);
// Rotation about axis 0 (x), 1 (y) or 2 (z) by `angle` radians.
MMatrix axisRotationMatrix(int axis, double angle);

// A joint's own attributes. Its matrix is
//   S * Sh * Ra * R * JO * IS * T
// scale, shear, rotate axis (x-y-z order), rotation in its order, joint orient
// (x-y-z order), the inverse of the parent's scale when segment scale
// compensation is on, and translation. Joint pivots are not part of it.
struct JointComponents {
    double translate[3] = {0.0, 0.0, 0.0};
    double rotate[3] = {0.0, 0.0, 0.0};  // radians
    MEulerRotation::RotationOrder rotateOrder = MEulerRotation::kXYZ;
    double scale[3] = {1.0, 1.0, 1.0};
    double shear[3] = {0.0, 0.0, 0.0};
    double rotateAxis[3] = {0.0, 0.0, 0.0};   // radians
    double jointOrient[3] = {0.0, 0.0, 0.0};  // radians
    double inverseScale[3] = {1.0, 1.0, 1.0};  // the parent's scale
    bool segmentScaleCompensate = true;
};

MMatrix jointMatrix(const JointComponents& joint);

}  // namespace mayahost
