#pragma once
// What a camera shape answers, computed from its attributes. The shape has no
// placement of its own: in object space the eye sits at the origin looking
// down -z with +y up; world answers go through the path's world matrix.

#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MSpace.h>
#include <maya/MVector.h>

namespace mayahost {

inline constexpr double kMillimetresPerInch = 25.4;

// The camera attributes that shape its view, with the values of a new camera.
struct CameraAttributes {
    double focalLength = 35.0;                  // mm
    double horizontalFilmAperture = 1.41732;    // inches
    double verticalFilmAperture = 0.94488;      // inches
    double cameraScale = 1.0;
    bool orthographic = false;
    double orthographicWidth = 30.0;
    double nearClippingPlane = 0.1;
    double farClippingPlane = 10000.0;
    double centerOfInterest = 5.0;
};

// Field of view in radians across the film back's width (height), from the
// focal length: 2 * atan(aperture * 25.4 / (2 * focal)). A non-positive focal
// length gives a half-turn, the limit of a vanishing focal length.
double horizontalFieldOfView(const CameraAttributes& camera);
double verticalFieldOfView(const CameraAttributes& camera);
// The focal length (mm) giving the horizontal field of view `fov` (radians).
double focalLengthForHorizontalFieldOfView(const CameraAttributes& camera, double fov);

// kWorld goes through `world` (the camera path's inclusive matrix); every
// other space is the shape's own object space.
MPoint eyePoint(const MMatrix& world, MSpace::Space space);
MVector viewDirection(const MMatrix& world, MSpace::Space space);
MVector upDirection(const MMatrix& world, MSpace::Space space);
MVector rightDirection(const MMatrix& world, MSpace::Space space);
MPoint centerOfInterestPoint(const CameraAttributes& camera, const MMatrix& world, MSpace::Space space);

}  // namespace mayahost
