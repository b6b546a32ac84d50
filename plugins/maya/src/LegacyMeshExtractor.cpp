#include "plugins/maya/src/MeshExtractor.h"

#include "common/Log.h"
#include "plugins/maya/src/Mesh2Orb.h"

#include <maya/MFn.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MGeometry.h>
#include <maya/MGeometryManager.h>
#include <maya/MGeometryRequirements.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>

void LegacyMeshExtractor::extract(const MDagPath& shape, std::shared_ptr<orb::TriangleObject> object,
                                  MObject component) {
  MFnMesh mesh(shape);
  MString uvSet;
  if (mesh.getCurrentUVSetName(uvSet) == MStatus::kFailure) {
    MGlobal::displayError("MFnMesh::getCurrentUVSetName");
    LOG(logERROR) << "MFnMesh::getCurrentUVSetName";
    return;
  }
  if (component.isNull()) {
    MFnSingleIndexedComponent all;
    component = all.create(MFn::kMeshPolygonComponent);
    all.setCompleteData(mesh.numPolygons());
  }
  MGeometryRequirements requirements;
  requirements.addPosition();
  requirements.addNormal();
  requirements.addTexCoord(uvSet);
  MGeometry geometry = MGeometryManager::getGeometry(shape, requirements, &component);
  writeGeometry(object.get(), geometry, uvSet);
}
