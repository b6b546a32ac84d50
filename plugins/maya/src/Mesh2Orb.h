#pragma once
// Maya's display geometry of a mesh as triangle object arrays.

#include "sceneapi/model/TriangleObject.h"

#include <maya/MGeometry.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

// Appends the geometry's vertices, normals and triangles to `object`, and its
// texture coordinates of `uvSet` when it has any; positions, normals and uvs
// share one numbering.
MStatus writeGeometry(orb::TriangleObject* object, MGeometry& geometry, MString uvSet);
