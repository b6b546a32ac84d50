#pragma once
// Turns a NURBS surface shape into triangles, the form a renderer without
// NURBS support places instead of the exact surface.

#include "sceneapi/model/TriangleObject.h"

#include <maya/MDagPath.h>

#include <memory>

class NurbsTessellator {
 public:
  virtual ~NurbsTessellator() = default;
  virtual std::shared_ptr<orb::TriangleObject> tessellate(const MDagPath& shape) = 0;
};

// Maya's own tessellation (standard fit, triangles, every other parameter at
// Maya's default), read back through the mesh path.
class LegacyNurbsTessalator final : public NurbsTessellator {
 public:
  std::shared_ptr<orb::TriangleObject> tessellate(const MDagPath& shape) override;
};
