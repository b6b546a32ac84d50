#include "math/CameraMath.h"
#include "common/platform/StableMath.h"

#include <cmath>
#include <numbers>

namespace mayahost {

namespace {

double fieldOfView(double apertureInches, const CameraAttributes& camera) {
    // The camera scale makes the film back behave as if it were that much larger.
    const double focal = camera.focalLength;
    if (!(focal > 0.0)) return std::numbers::pi;
    const double width = apertureInches * kMillimetresPerInch * camera.cameraScale;
    return 2.0 * stablemath::atan(0.5 * width / focal);
}

MVector objectToSpace(const MVector& v, const MMatrix& world, MSpace::Space space) {
    if (space != MSpace::kWorld) return v;
    // Directions lose the world scale: callers expect unit vectors.
    return (v * world).normal();
}

}  // namespace

double horizontalFieldOfView(const CameraAttributes& camera) {
    return fieldOfView(camera.horizontalFilmAperture, camera);
}

double verticalFieldOfView(const CameraAttributes& camera) {
    return fieldOfView(camera.verticalFilmAperture, camera);
}

double focalLengthForHorizontalFieldOfView(const CameraAttributes& camera, double fov) {
    const double width = camera.horizontalFilmAperture * kMillimetresPerInch * camera.cameraScale;
    return 0.5 * width / stablemath::tan(0.5 * fov);
}

MPoint eyePoint(const MMatrix& world, MSpace::Space space) {
    MPoint eye = MPoint::origin;
    if (space == MSpace::kWorld) (eye *= world).cartesianize();
    return eye;
}

MVector viewDirection(const MMatrix& world, MSpace::Space space) {
    return objectToSpace(MVector(0.0, 0.0, -1.0), world, space);
}

MVector upDirection(const MMatrix& world, MSpace::Space space) {
    return objectToSpace(MVector(0.0, 1.0, 0.0), world, space);
}

MVector rightDirection(const MMatrix& world, MSpace::Space space) {
    return objectToSpace(MVector(1.0, 0.0, 0.0), world, space);
}

MPoint centerOfInterestPoint(const CameraAttributes& camera, const MMatrix& world, MSpace::Space space) {
    MPoint coi(0.0, 0.0, -camera.centerOfInterest);
    if (space == MSpace::kWorld) (coi *= world).cartesianize();
    return coi;
}

}  // namespace mayahost
