#pragma once
// NURBS surfaces: one exact surface per visible shape, with its trim loops
// and, when tessellation is on, its triangles as the alternative for
// renderers that place triangles only.

#include "plugins/maya/src/GeometryManager.h"

class NurbsManager final : public GeometryManager {
 public:
  void extractAll(IDirtyChecker& checker) override;
  GeometryList extractGeometry(const MDagPath& shape) override;

  void setTessellate(bool on) { tessellate = on; }

 private:
  bool tessellate = false;
};
