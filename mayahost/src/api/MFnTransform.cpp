// MFnTransform over the scene database.

#include <maya/MFnTransform.h>

#include "eval/TransformEval.h"

using namespace mayahost;

namespace {

void report(MStatus* out, const MStatus& s) {
    if (out) *out = s;
}

MStatus detached() { return MStatus::withReason(MStatus::kInvalidParameter, "MFnTransform has no transform node"); }

}  // namespace

MFnTransform::MFnTransform(const MObject& object, MStatus* ReturnStatus) { report(ReturnStatus, setObject(object)); }

MFnTransform::MFnTransform(const MDagPath& object, MStatus* ReturnStatus) { report(ReturnStatus, setObject(object)); }

MTransformationMatrix MFnTransform::transformation(MStatus* ReturnStatus) const {
    const Node* n = nodeOf(obj_);
    report(ReturnStatus, n ? MStatus(MStatus::kSuccess) : detached());
    return n ? transformationOf(n->scene(), *n) : MTransformationMatrix();
}

MVector MFnTransform::getTranslation(MSpace::Space space, MStatus* ReturnStatus) const {
    const MTransformationMatrix tm = transformation(ReturnStatus);
    if (space == MSpace::kWorld && !obj_.isNull()) {
        const MMatrix world = path_.inclusiveMatrix();
        return {world(3, 0), world(3, 1), world(3, 2)};
    }
    return tm.getTranslation(space);
}

MStatus MFnTransform::getScale(double scale[3]) const {
    MStatus s;
    const MTransformationMatrix tm = transformation(&s);
    tm.getScale(scale, MSpace::kTransform);
    return s;
}

MStatus MFnTransform::getShear(double shear[3]) const {
    MStatus s;
    const MTransformationMatrix tm = transformation(&s);
    tm.getShear(shear, MSpace::kTransform);
    return s;
}

MStatus MFnTransform::getRotation(MQuaternion& quaternion, MSpace::Space) const {
    MStatus s;
    quaternion = transformation(&s).rotation();
    return s;
}

MStatus MFnTransform::getRotation(MEulerRotation& rotation) const {
    MStatus s;
    rotation = transformation(&s).eulerRotation();
    return s;
}

MStatus MFnTransform::getRotation(double rotation[3], MTransformationMatrix::RotationOrder& order) const {
    MStatus s;
    transformation(&s).getRotation(rotation, order);
    return s;
}

MTransformationMatrix::RotationOrder MFnTransform::rotationOrder(MStatus* ReturnStatus) const {
    return transformation(ReturnStatus).rotationOrder();
}

MQuaternion MFnTransform::rotateOrientation(MSpace::Space, MStatus* ReturnStatus) const {
    return transformation(ReturnStatus).rotationOrientation();
}

MPoint MFnTransform::scalePivot(MSpace::Space space, MStatus* ReturnStatus) const {
    return transformation(ReturnStatus).scalePivot(space);
}

MPoint MFnTransform::rotatePivot(MSpace::Space space, MStatus* ReturnStatus) const {
    return transformation(ReturnStatus).rotatePivot(space);
}

MVector MFnTransform::scalePivotTranslation(MSpace::Space space, MStatus* ReturnStatus) const {
    return transformation(ReturnStatus).scalePivotTranslation(space);
}

MVector MFnTransform::rotatePivotTranslation(MSpace::Space space, MStatus* ReturnStatus) const {
    return transformation(ReturnStatus).rotatePivotTranslation(space);
}
