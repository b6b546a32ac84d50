#pragma once
// Scene-wide settings read from Maya and conversions of Maya values into the
// forms the scene object model stores.

#include "sceneapi/Matrix4d.h"
#include "sceneapi/model/NurbsCurve.h"
#include "sceneapi/model/NurbsSurface.h"

#include <maya/MDagPath.h>
#include <maya/MFnNurbsSurface.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <memory>
#include <string>
#include <vector>

// 0 to 5 for +X, +Y, +Z, -X, -Y, -Z; -1 (with a Maya warning) for anything else.
int upAxis();

// Scene length units in one meter, for the scene's current linear unit;
// 100 (centimetres) when Maya cannot say, 0 for a unit it does not know.
double meterScale();

// The node's own transformation matrix; the identity for a node that is no transform.
Matrix4d localMatrix(const MDagPath& path);

// Row-major, translation in the last row as Maya keeps it; the projective
// column is forced to (0, 0, 0, 1), whatever the source holds there.
void toOrbMatrix(const MMatrix& source, Matrix4d& target);

// The node's short name, "unknown object" for a node that is no DAG node.
std::string nodeName(const MObject& node);

// "|group1|pCube1|pCubeShape1" gives "group1", "pCube1", "pCubeShape1".
MStringArray pathComponents(const MDagPath& path);

// The name between the last "/" and the last ".": "C:/scenes/ship.v2.ma" gives
// "ship.v2". Only "/" separates folders.
MString fileBaseName(const MString& path);

// The nodes a display layer feeds through its connections (its members), in
// the order of the connections.
std::vector<MObject> layerMembers(const MObject& layer);

// The exact surface: range, orders, Maya's knots extended by a mirrored knot
// at each end, homogeneous control points row by row with u varying fastest,
// and the trim loops when the surface is trimmed.
void readNurbsSurface(const MFnNurbsSurface& nurbs, orb::NurbsSurface& surface);

// Every trim loop of every region, in parameter space; a region's first
// boundary is marked as its outside.
std::shared_ptr<orb::NurbsCurve> readTrimCurves(const MFnNurbsSurface& nurbs);
