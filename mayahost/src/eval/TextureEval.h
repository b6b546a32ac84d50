#pragma once
// What a texture's colour output reads as. Images are not loaded, so a 2D
// texture shows what Maya shows for a texture it cannot sample: its default
// colour, through its colour gain and offset.

#include "db/Scene.h"

namespace mayahost {

void installTextureEvaluators(Scene& scene);

}  // namespace mayahost
