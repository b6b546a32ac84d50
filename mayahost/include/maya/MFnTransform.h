#pragma once
// Function set of transform nodes (joints included): the node's
// transformation composed from its attributes as they read at load time.

#include <maya/MEulerRotation.h>
#include <maya/MFnDagNode.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MSpace.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

class MFnTransform : public MFnDagNode {
public:
    MFnTransform() = default;
    MFnTransform(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnTransform(const MDagPath& object, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kTransform; }

    MTransformationMatrix transformation(MStatus* ReturnStatus = NULL) const;

    // kWorld answers through the path's world matrix; other spaces give the
    // node's own values.
    MVector getTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus getScale(double scale[3]) const;
    MStatus getShear(double shear[3]) const;
    MStatus getRotation(MQuaternion& quaternion, MSpace::Space space = MSpace::kTransform) const;
    MStatus getRotation(MEulerRotation& rotation) const;
    MStatus getRotation(double rotation[3], MTransformationMatrix::RotationOrder& order) const;
    MTransformationMatrix::RotationOrder rotationOrder(MStatus* ReturnStatus = NULL) const;
    MQuaternion rotateOrientation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MPoint scalePivot(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MPoint rotatePivot(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MVector scalePivotTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MVector rotatePivotTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
};
