#pragma once
// Converts every shape of one kind before the scene walk and keeps the result
// by DAG path, so that the walk only has to pick up the nodes for each path it
// visits. All paths to one shape node share the same geometry nodes.

#include "plugins/maya/src/DirtyChecker.h"
#include "plugins/maya/src/MaterialManager.h"
#include "plugins/maya/src/ProgressCounter.h"
#include "sceneapi/model/LightGeometry.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <maya/MDagPath.h>
#include <maya/MObject.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using GeometryList = std::vector<std::shared_ptr<orb::LightGeometry>>;

class GeometryManager {
 public:
  GeometryManager() = default;
  GeometryManager(const GeometryManager&) = delete;
  GeometryManager& operator=(const GeometryManager&) = delete;
  virtual ~GeometryManager();

  // Converts every shape of the manager's kind in the open scene.
  virtual void extractAll(IDirtyChecker& checker) = 0;
  // The new geometry nodes for one shape instance.
  virtual GeometryList extractGeometry(const MDagPath& shape) = 0;

  void setMaterialProvider(std::shared_ptr<MaterialProvider> provider) { materialProvider = std::move(provider); }
  // When set, every geometry node is written as a shared definition as soon as it is made.
  void setInstanceScene(orb::orbSceneapi_oo* scene) { instanceScene = scene; }
  void setProgress(ProgressCounter* counter) { progress = counter; }

  // Every path to `shape` gets (a copy of) the list, replacing what it had.
  void addGeometry(const MObject& shape, GeometryList geometry);
  // The list stored for the path; empty when there is none.
  GeometryList getGeometry(const MDagPath& path) const;

 protected:
  std::shared_ptr<MaterialProvider> materialProvider;
  orb::orbSceneapi_oo* instanceScene = nullptr;  // not owned
  ProgressCounter* progress = nullptr;           // not owned

 private:
  std::map<std::string, GeometryList> geometryMap;  // by full path name
};
