#pragma once
// A camera shape's view attributes as the database reads them.

#include "math/CameraMath.h"
#include "db/Scene.h"

namespace mayahost {

// The attributes of a camera node; defaults of a new camera where the file
// sets nothing (or the node is no camera).
CameraAttributes cameraAttributesOf(const Scene& scene, const Node& cameraNode);

}  // namespace mayahost
