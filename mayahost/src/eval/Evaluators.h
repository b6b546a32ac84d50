#pragma once
// The plug evaluators every new scene needs: animation curves, unit
// conversions and texture outputs. Installed explicitly, because a static
// registration in a library would be dropped by the linker.

#include "db/Scene.h"

namespace mayahost {

void installSceneEvaluators(Scene& scene);

}  // namespace mayahost
