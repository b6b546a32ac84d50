#include "eval/CameraEval.h"

#include <cmath>

namespace mayahost {

CameraAttributes cameraAttributesOf(const Scene& scene, const Node& node) {
    CameraAttributes camera;
    if (!node.hasFn(MFn::kCamera)) return camera;
    auto read = [&](const char* name, double& field) {
        const double v = scene.readDouble(node, name, field);
        if (std::isfinite(v)) field = v;
    };
    read("focalLength", camera.focalLength);
    read("horizontalFilmAperture", camera.horizontalFilmAperture);
    read("verticalFilmAperture", camera.verticalFilmAperture);
    read("cameraScale", camera.cameraScale);
    read("orthographicWidth", camera.orthographicWidth);
    read("nearClipPlane", camera.nearClippingPlane);
    read("farClipPlane", camera.farClippingPlane);
    read("centerOfInterest", camera.centerOfInterest);
    camera.orthographic = scene.readDouble(node, "orthographic", 0.0) != 0.0;
    return camera;
}

}  // namespace mayahost
