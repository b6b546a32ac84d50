#pragma once
// Function set of camera shapes. In object space the eye sits at the origin
// looking down -z with +y up; world answers go through the path's world
// matrix. Distances are in internal units (centimetres), angles in radians.

#include <maya/MFnDagNode.h>
#include <maya/MPoint.h>
#include <maya/MSpace.h>
#include <maya/MVector.h>

class MFnCamera : public MFnDagNode {
public:
    MFnCamera() = default;
    MFnCamera(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnCamera(const MDagPath& object, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kCamera; }

    MPoint eyePoint(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MVector viewDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MVector upDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MVector rightDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MPoint centerOfInterestPoint(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;

    double horizontalFieldOfView(MStatus* ReturnStatus = NULL) const;
    double verticalFieldOfView(MStatus* ReturnStatus = NULL) const;
    double focalLength(MStatus* ReturnStatus = NULL) const;
    double horizontalFilmAperture(MStatus* ReturnStatus = NULL) const;
    double verticalFilmAperture(MStatus* ReturnStatus = NULL) const;
    double aspectRatio(MStatus* ReturnStatus = NULL) const;
    double cameraScale(MStatus* ReturnStatus = NULL) const;
    double nearClippingPlane(MStatus* ReturnStatus = NULL) const;
    double farClippingPlane(MStatus* ReturnStatus = NULL) const;
    double centerOfInterest(MStatus* ReturnStatus = NULL) const;
    bool isOrtho(MStatus* ReturnStatus = NULL) const;
    double orthoWidth(MStatus* ReturnStatus = NULL) const;
};
