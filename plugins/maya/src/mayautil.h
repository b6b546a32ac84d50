#pragma once
// Scene-wide settings read from Maya and conversions of Maya values into the
// forms the scene object model stores.

#include "sceneapi/Matrix4d.h"

#include <maya/MMatrix.h>
#include <maya/MString.h>

// Row-major, translation in the last row as Maya keeps it; the projective
// column is forced to (0, 0, 0, 1), whatever the source holds there.
void toOrbMatrix(const MMatrix& source, Matrix4d& target);

// The name between the last "/" and the last ".": "C:/scenes/ship.v2.ma" gives
// "ship.v2". Only "/" separates folders.
MString fileBaseName(const MString& path);
