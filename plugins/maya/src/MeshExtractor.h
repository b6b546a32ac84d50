#pragma once
// Reads the faces of one shading set of a Maya mesh into a triangle object.

#include "sceneapi/model/TriangleObject.h"

#include <maya/MDagPath.h>
#include <maya/MObject.h>

#include <memory>

class MeshExtractor {
 public:
  virtual ~MeshExtractor() = default;
  // `component` holds the set's polygons; the null object stands for all of them.
  virtual void extract(const MDagPath& shape, std::shared_ptr<orb::TriangleObject> object, MObject component) = 0;
};

// Through Maya's display geometry: what Maya would draw is what the renderer gets.
class LegacyMeshExtractor final : public MeshExtractor {
 public:
  void extract(const MDagPath& shape, std::shared_ptr<orb::TriangleObject> object, MObject component) override;
};
