#pragma once
// Reading the up axis a scene sets. Maya keeps it in the user's preferences;
// a scene saved Z-up carries a script node, "upAxisScriptNode", whose
// before-script switches the axis when the file is opened. Maya itself saves
//   string $currentAxis = "z"; if ($currentAxis != `upAxis -q -ax`){ upAxis -ax $currentAxis; ... }
// and other writers name the axis directly: upAxis -ax "z".

#include <string_view>

namespace mayahost {

// 'y' or 'z': the axis the script sets, 'y' when it sets none the host knows.
char upAxisFromScript(std::string_view script);

}  // namespace mayahost
