#include "plugins/maya/src/GeometryManager.h"

#include "common/Log.h"
#include "plugins/maya/src/StatusCheck.h"

#include <maya/MDagPathArray.h>
#include <maya/MFnDependencyNode.h>

GeometryManager::~GeometryManager() {
  // The geometry goes before the material provider it may refer to.
  geometryMap.clear();
  materialProvider.reset();
}

void GeometryManager::addGeometry(const MObject& shape, GeometryList geometry) {
  MDagPathArray paths;
  STATUS_REPORT(MDagPath::getAllPathsTo(shape, paths), "get all paths");
  for (unsigned i = 0; i < paths.length(); ++i) {
    const std::string fullPath = paths[i].fullPathName().asChar();
    LOG(logDEBUG3) << "Create map entry for:" << fullPath;
    geometryMap[fullPath] = geometry;
  }
  if (progress) progress->advance(MFnDependencyNode(shape).name().asChar());
}

GeometryList GeometryManager::getGeometry(const MDagPath& path) const {
  const std::string fullPath = path.fullPathName().asChar();
  LOG(logDEBUG2) << "Get mesh for " << fullPath;
  const auto found = geometryMap.find(fullPath);
  return found == geometryMap.end() ? GeometryList() : found->second;
}
