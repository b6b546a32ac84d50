#pragma once
// Hands out the display geometry of shapes.

#include <maya/MDagPath.h>
#include <maya/MGeometry.h>
#include <maya/MGeometryRequirements.h>
#include <maya/MObject.h>

class MGeometryManager {
public:
    // The triangulated geometry Maya draws for the shape's faces in
    // `components` (a polygon component; null or a null object: all faces).
    static MGeometry getGeometry(const MDagPath& shapePath, MGeometryRequirements& requirements, MObject* components);
};
