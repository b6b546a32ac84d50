#pragma once
// The scene's up axis. Maya keeps it in the user's preferences; a scene saved
// Z-up carries a script node, "upAxisScriptNode", whose before-script switches
// the axis when the file is opened. Maya itself saves
//   string $currentAxis = "z"; if ($currentAxis != `upAxis -q -ax`){ upAxis -ax $currentAxis; ... }
// and other writers name the axis directly: upAxis -ax "z".

#include "graph/Scene.h"

#include <string_view>

namespace mayahost {

// 'y' or 'z': the axis the script sets, 'y' when it sets none the host knows.
char upAxisFromScript(std::string_view script);

// The axis the scene's up-axis script node sets; 'y' without one.
char sceneUpAxis(const Scene& scene);

}  // namespace mayahost
