#pragma once
// Progress of one geometry export, shared by the geometry managers: every
// converted shape advances it, and the scene hears of it in steps of at
// least one percent.

#include "sceneapi/orbSceneapi_oo.h"

#include <cstdint>
#include <string>

struct ProgressCounter {
  orb::orbSceneapi_oo* scene = nullptr;
  std::int32_t total = 0;  // shapes in the scene; -1 when they could not be counted
  std::int32_t done = 0;
  float lastFraction = -1.0f;

  void advance(const std::string& label);
};
