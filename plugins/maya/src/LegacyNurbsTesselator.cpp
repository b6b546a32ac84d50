#include "plugins/maya/src/MeshExtractor.h"
#include "plugins/maya/src/NurbsTessellator.h"
#include "plugins/maya/src/StatusCheck.h"

#include <maya/MFnDagNode.h>
#include <maya/MFnNurbsSurface.h>
#include <maya/MTesselationParams.h>

std::shared_ptr<orb::TriangleObject> LegacyNurbsTessalator::tessellate(const MDagPath& shape) {
  auto triangles = std::make_shared<orb::TriangleObject>("tessellation");
  MStatus status;
  MFnNurbsSurface surface(shape, &status);
  STATUS_REPORT(status, "nurbs constructor");
  const MTesselationParams params(MTesselationParams::kStandardFitFormat, MTesselationParams::kTriangles);
  // The new mesh stays in the open scene: nothing after this needs it gone.
  const MObject tessellated = surface.tesselate(params, MObject::kNullObj, &status);
  STATUS_REPORT(status, "tessellation");
  if (status.error()) return triangles;
  MFnDagNode node(tessellated, &status);
  STATUS_REPORT(status, "tri node");
  MDagPath path;
  STATUS_REPORT(node.getPath(path), "tri path");
  path.extendToShape();
  LegacyMeshExtractor().extract(path, triangles, MObject::kNullObj);
  return triangles;
}
