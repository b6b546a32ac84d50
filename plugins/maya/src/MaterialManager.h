#pragma once
// Maya's Lambert-family shaders as scene materials. Shaders are found through
// the nodes their colour output feeds (shading sets, mostly), converted once
// and, unless every object is to get its own copy, defined ahead in the scene
// so that geometry refers to them by name.

#include "sceneapi/model/Material.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <maya/MDagPath.h>
#include <maya/MObject.h>

#include <map>
#include <memory>
#include <string>

class MaterialProvider {
 public:
  // The material of the shading set a shape belongs to.
  virtual std::shared_ptr<orb::Material> materialForPath(const MDagPath& shape) = 0;
  // `instanceName` names the copy when every object gets its own material.
  virtual std::shared_ptr<orb::Material> materialForShadingGroup(MObject shadingSet, std::string instanceName) = 0;
  virtual void loadMaterials() = 0;

 protected:
  // Never deleted through this interface.
  ~MaterialProvider() = default;
};

class MaterialManager final : public MaterialProvider {
 public:
  std::shared_ptr<orb::Material> materialForPath(const MDagPath& shape) override;
  std::shared_ptr<orb::Material> materialForShadingGroup(MObject shadingSet, std::string instanceName) override;
  void loadMaterials() override;

  void setInstanceScene(orb::orbSceneapi_oo* scene) { instanceScene = scene; }
  void setUniqueMaterials(bool unique) { uniqueMaterials = unique; }

  // A new material for the shader; the fallback material for the null object.
  static std::shared_ptr<orb::Material> convertNodeToMaterial(const MObject& shader);

 private:
  void defineMaterials();
  MObject shaderOfSet(const std::string& setName) const;
  MObject shaderOfMesh(const MDagPath& shape) const;
  MObject shaderOfNurbsSurface(const MDagPath& shape) const;
  std::shared_ptr<orb::Material> materialFor(const MObject& shader, const std::string& instanceName);

  std::map<std::string, std::shared_ptr<orb::Material>> materials;  // by shader name
  std::map<std::string, MObject> shaderMap;  // shader by the name of the node its outColor feeds
  orb::orbSceneapi_oo* instanceScene = nullptr;
  bool uniqueMaterials = false;
};
