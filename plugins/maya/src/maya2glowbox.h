#pragma once
// The export driver: opens one Maya scene and writes it through the scene
// front: the render module, the cameras, the shared materials, then the
// transform hierarchy as one tree of groups holding the converted geometry.

#include "common/ImportArgs.h"
#include "plugins/maya/src/DirtyChecker.h"
#include "plugins/maya/src/GroupStack.h"
#include "plugins/maya/src/MaterialManager.h"
#include "plugins/maya/src/MeshManager.h"
#include "plugins/maya/src/NurbsManager.h"
#include "sceneapi/model/LightCamera.h"
#include "sceneapi/model/LightNode.h"
#include "sceneapi/model/OrbGroup.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <maya/MDagPath.h>
#include <maya/MFnCamera.h>
#include <maya/MStatus.h>

#include <memory>
#include <string>
#include <vector>

class Maya2Glowbox {
 public:
  Maya2Glowbox(orb::orbSceneapi_oo* scene, const ImportArgs& args);
  Maya2Glowbox(const Maya2Glowbox&) = delete;
  Maya2Glowbox& operator=(const Maya2Glowbox&) = delete;

  // Opens IMPORT_FILENAME and exports it; the first failing status or success.
  MStatus openAndExport();
  MStatus exportFullScene(IDirtyChecker& checker);
  MStatus exportFullScene();

  // "perspShape" -> "persp", "frontShape1" -> "front1"; a name without
  // "Shape" after its second character stays as it is.
  static std::string cameraName(const MFnCamera& camera);
  static std::shared_ptr<orb::LightCamera> convertCamera(const MDagPath& path);

  // Groups of the walk: the node's name, local matrix and the walk's flags.
  std::shared_ptr<orb::OrbGroup> makeGroup(const MDagPath& path) const;
  std::shared_ptr<orb::OrbGroup> makeTransformGroup(const MDagPath& path) const;

  // A copy of the group the path leads to, placed with its world matrix;
  // empty when the path does not lead to a group below `root`.
  static std::shared_ptr<orb::OrbGroup> locateGroup(const std::shared_ptr<orb::OrbGroup>& root,
                                                    const MDagPath& path);

  // "Export geometry. Using Maya2011. Glowbox 6.2.85 (built ...)".
  static std::string versionString();

  // 0x8000, or 0x8001 when the hierarchy is not to be collapsed. Read from
  // the settings of the first call in the process and kept from then on.
  static unsigned groupFlags(const ImportArgs& args);

 private:
  MStatus exportCameras();
  MStatus exportGeometry(IDirtyChecker& checker);
  void prepareManagers(IDirtyChecker& checker);
  std::vector<std::shared_ptr<orb::LightNode>> extractGeometry(const MDagPath& path);
  void addEmptyNurbsGroup(GroupStack& stack, const std::string& name) const;
  std::shared_ptr<orb::OrbGroup> splitLayers(const std::shared_ptr<orb::OrbGroup>& root);

  orb::orbSceneapi_oo* scene;  // not owned
  ImportArgs args;
  std::shared_ptr<MaterialManager> materialProvider;
  MeshManager meshManager;
  NurbsManager nurbsManager;
};
