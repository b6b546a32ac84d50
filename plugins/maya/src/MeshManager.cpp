#include "plugins/maya/src/MeshManager.h"

#include "common/Log.h"
#include "plugins/maya/src/GroupStack.h"
#include "plugins/maya/src/StatusCheck.h"

#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MObjectArray.h>

MeshManager::MeshManager() : meshExtractor(std::make_shared<LegacyMeshExtractor>()) {}

void MeshManager::extractAll(IDirtyChecker& checker) {
  int converted = 0;
  for (MItDependencyNodes meshes(MFn::kMesh); !meshes.isDone(); meshes.next()) {
    MStatus status;
    MFnMesh mesh(meshes.item(), &status);
    STATUS_REPORT(status, "extracting mesh");
    if (status.error()) continue;
    MDagPath path;
    mesh.getPath(path);
    if (checker.isDirty(path) && isVisible(path, nullptr)) {
      addGeometry(path.node(), extractGeometry(path));
      ++converted;
    }
  }
  LOG(logINFO) << "Loaded " << converted << " meshes";
}

GeometryList MeshManager::extractGeometry(const MDagPath& shape) {
  LOG(logDEBUG3) << "extract geometry for " << shape.fullPathName();
  MStatus status;
  MFnDagNode dagNode(shape, &status);
  STATUS_REPORT(status, "create dagnode");
  MFnMesh mesh(shape);
  mesh.syncObject();
  const unsigned instance = shape.isInstanced() ? shape.instanceNumber() : 0;
  LOG(logDEBUG2) << "MFnMesh::getConnectedSetsAndMembers:" << " instanceNum:" << instance;
  MObjectArray sets;
  MObjectArray components;
  if (!mesh.getConnectedSetsAndMembers(instance, sets, components, true).error())
    LOG(logDEBUG2) << "MFnMesh::getConnectedSetsAndMembers";
  LOG(logDEBUG2) << "MFnMesh::getConnectedSetsAndMembers:" << " instanceNum:" << instance
                 << " fPolygonSets:" << sets.length() << " fPolygonComponents:" << components.length();
  LOG(logDEBUG4) << "PolyWriter output setcount:" << sets.length();

  GeometryList result;
  for (unsigned i = 0; i < sets.length(); ++i) {
    const MObject set = sets[i];
    // Maya keeps the two arrays parallel; a short one must not be read past.
    const MObject component = i < components.length() ? components[i] : MObject::kNullObj;
    // Only asked whether the faces can be walked: the iterator holds the
    // mesh, and must not keep it through the extraction.
    const bool walkable = [&] {
      MStatus status;
      MItMeshPolygon polygons(shape, component, &status);
      return status != MStatus::kFailure;
    }();
    if (!walkable) {
      LOG(logERROR) << "MItMeshPolygon::MItMeshPolygon";
      continue;
    }
    auto object = std::make_shared<orb::TriangleObject>(dagNode.name().asChar());
    meshExtractor->extract(shape, object, component);
    if (materialProvider) object->setMaterial(materialProvider->materialForShadingGroup(set, object->name()));
    if (instanceScene) {
      object->writeInstanceSource(*instanceScene);
      LOG(logDEBUG2) << "instantiate :" << object->name();
    }
    result.push_back(object);
  }
  return result;
}
