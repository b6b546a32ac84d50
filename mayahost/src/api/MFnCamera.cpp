// MFnCamera over the scene database.

#include <maya/MFnCamera.h>

#include "eval/CameraEval.h"

using namespace mayahost;

namespace {

void report(MStatus* out, const MStatus& s) {
    if (out) *out = s;
}

MStatus detached() { return MStatus::withReason(MStatus::kInvalidParameter, "MFnCamera has no camera node"); }

// The attached camera's attributes; a new camera's when detached.
CameraAttributes attributes(const MObject& obj, MStatus* ReturnStatus) {
    const Node* n = nodeOf(obj);
    report(ReturnStatus, n ? MStatus(MStatus::kSuccess) : detached());
    return n ? cameraAttributesOf(n->scene(), *n) : CameraAttributes();
}

}  // namespace

MFnCamera::MFnCamera(const MObject& object, MStatus* ReturnStatus) { report(ReturnStatus, setObject(object)); }

MFnCamera::MFnCamera(const MDagPath& object, MStatus* ReturnStatus) { report(ReturnStatus, setObject(object)); }

namespace {

// Only world answers need the placement; the others never read it.
MMatrix placement(const MDagPath& path, MSpace::Space space) {
    return space == MSpace::kWorld ? path.inclusiveMatrix() : MMatrix();
}

}  // namespace

MPoint MFnCamera::eyePoint(MSpace::Space space, MStatus* ReturnStatus) const {
    report(ReturnStatus, obj_.isNull() ? detached() : MStatus(MStatus::kSuccess));
    return mayahost::eyePoint(placement(path_, space), space);
}

MVector MFnCamera::viewDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    report(ReturnStatus, obj_.isNull() ? detached() : MStatus(MStatus::kSuccess));
    return mayahost::viewDirection(placement(path_, space), space);
}

MVector MFnCamera::upDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    report(ReturnStatus, obj_.isNull() ? detached() : MStatus(MStatus::kSuccess));
    return mayahost::upDirection(placement(path_, space), space);
}

MVector MFnCamera::rightDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    report(ReturnStatus, obj_.isNull() ? detached() : MStatus(MStatus::kSuccess));
    return mayahost::rightDirection(placement(path_, space), space);
}

MPoint MFnCamera::centerOfInterestPoint(MSpace::Space space, MStatus* ReturnStatus) const {
    const CameraAttributes camera = attributes(obj_, ReturnStatus);
    return mayahost::centerOfInterestPoint(camera, placement(path_, space), space);
}

double MFnCamera::horizontalFieldOfView(MStatus* ReturnStatus) const {
    return mayahost::horizontalFieldOfView(attributes(obj_, ReturnStatus));
}

double MFnCamera::verticalFieldOfView(MStatus* ReturnStatus) const {
    return mayahost::verticalFieldOfView(attributes(obj_, ReturnStatus));
}

double MFnCamera::focalLength(MStatus* ReturnStatus) const { return attributes(obj_, ReturnStatus).focalLength; }

double MFnCamera::horizontalFilmAperture(MStatus* ReturnStatus) const {
    return attributes(obj_, ReturnStatus).horizontalFilmAperture;
}

double MFnCamera::verticalFilmAperture(MStatus* ReturnStatus) const {
    return attributes(obj_, ReturnStatus).verticalFilmAperture;
}

double MFnCamera::aspectRatio(MStatus* ReturnStatus) const {
    const CameraAttributes camera = attributes(obj_, ReturnStatus);
    return camera.verticalFilmAperture != 0.0 ? camera.horizontalFilmAperture / camera.verticalFilmAperture : 1.0;
}

double MFnCamera::cameraScale(MStatus* ReturnStatus) const { return attributes(obj_, ReturnStatus).cameraScale; }

double MFnCamera::nearClippingPlane(MStatus* ReturnStatus) const {
    return attributes(obj_, ReturnStatus).nearClippingPlane;
}

double MFnCamera::farClippingPlane(MStatus* ReturnStatus) const {
    return attributes(obj_, ReturnStatus).farClippingPlane;
}

double MFnCamera::centerOfInterest(MStatus* ReturnStatus) const {
    return attributes(obj_, ReturnStatus).centerOfInterest;
}

bool MFnCamera::isOrtho(MStatus* ReturnStatus) const { return attributes(obj_, ReturnStatus).orthographic; }

double MFnCamera::orthoWidth(MStatus* ReturnStatus) const { return attributes(obj_, ReturnStatus).orthographicWidth; }
