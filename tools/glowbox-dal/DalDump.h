#pragma once
// A scene file in its readable form whatever form it was written in: binary
// array blocks become text exactly as the writer writes text arrays, and the
// layout is fixed, so that two scenes compare with diff and a scene's binary
// and readable forms dump alike.

#include "sceneapi/DalReader.h"

#include <iosfwd>

namespace daltool {

void dump(std::ostream& out, const dal::Document& document);

}  // namespace daltool
