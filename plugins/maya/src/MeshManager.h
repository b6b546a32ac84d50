#pragma once
// Polygon meshes: one triangle object per shading set of each visible mesh
// instance, named after the shape and carrying the set's material.

#include "plugins/maya/src/GeometryManager.h"
#include "plugins/maya/src/MeshExtractor.h"

#include <memory>

class MeshManager final : public GeometryManager {
 public:
  MeshManager();

  void extractAll(IDirtyChecker& checker) override;
  GeometryList extractGeometry(const MDagPath& shape) override;

 private:
  std::shared_ptr<MeshExtractor> meshExtractor;
};
