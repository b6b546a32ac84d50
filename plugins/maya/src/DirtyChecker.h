#pragma once
// Which shapes an export converts. The driver and the geometry managers ask
// the same checker for every shape path.

#include <maya/MDagPath.h>

// Never deleted through the interface.
class IDirtyChecker {
 public:
  virtual bool isDirty(const MDagPath& path) = 0;

 protected:
  ~IDirtyChecker() = default;
};

// A full export: every shape is converted.
class AlwaysDirty final : public IDirtyChecker {
 public:
  bool isDirty(const MDagPath&) override { return true; }
};
