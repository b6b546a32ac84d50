#include "plugins/maya/src/NurbsManager.h"

#include "common/Log.h"
#include "plugins/maya/src/GroupStack.h"
#include "plugins/maya/src/NurbsTessellator.h"
#include "plugins/maya/src/StatusCheck.h"
#include "plugins/maya/src/mayautil.h"
#include "sceneapi/model/NurbsSurface.h"

#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnNurbsSurface.h>
#include <maya/MItDependencyNodes.h>

void NurbsManager::extractAll(IDirtyChecker&) {
  // Every visible surface is converted, dirty or not: surfaces are cheap to
  // read again and the walk may ask for any of them.
  int converted = 0;
  for (MItDependencyNodes surfaces(MFn::kNurbsSurface); !surfaces.isDone(); surfaces.next()) {
    MStatus status;
    MFnNurbsSurface surface(surfaces.item(), &status);
    STATUS_REPORT(status, "extracting nurbs");
    if (status.error()) continue;
    MDagPath path;
    surface.getPath(path);
    if (isVisible(path, nullptr)) {
      addGeometry(path.node(), extractGeometry(path));
      ++converted;
    }
  }
  LOG(logINFO) << "Loaded " << converted << " NurbSurfaces";
}

GeometryList NurbsManager::extractGeometry(const MDagPath& shape) {
  MStatus status;
  MFnDagNode dagNode(shape, &status);
  STATUS_REPORT(status, "create dagnode");
  auto surface = std::make_shared<orb::NurbsSurface>(dagNode.name().asChar());
  GeometryList result{surface};
  MFnNurbsSurface nurbs(shape, &status);
  STATUS_REPORT(status, "nurbs constructor");
  if (status.error()) return result;
  readNurbsSurface(nurbs, *surface);
  if (tessellate) {
    std::shared_ptr<orb::TriangleObject> triangles = LegacyNurbsTessalator().tessellate(shape);
    if (materialProvider) triangles->setMaterial(materialProvider->materialForPath(shape));
    surface->setAlternative(triangles);
  }
  if (materialProvider) surface->setMaterial(materialProvider->materialForPath(shape));
  if (instanceScene) surface->writeInstanceSource(*instanceScene);
  return result;
}
