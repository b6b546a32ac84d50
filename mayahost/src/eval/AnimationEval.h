#pragma once
// Animation at load: a plug driven by an animation curve shows the curve's
// value at the scene's current time, as Maya shows the scene when it opens it.
// The evaluators installed here compute animation curve outputs and unit
// conversions on demand when the scene database reads a plug.

#include "math/AnimCurve.h"
#include "db/Scene.h"

namespace mayahost {

// time1's outTime in the file's time unit (1 when the file does not set it).
double sceneCurrentTime(const Scene& scene);

// The curve an animCurve node stores. Key values and the y of stored tangents
// are in the file's units (degrees, metres ... as currentUnit says) and come
// back in internal units (radians, centimetres); the x of stored tangents is in
// seconds, so the file's time unit turns it into frames.
AnimCurve animCurveOf(const Scene& scene, const Node& curveNode);

// Registers the evaluators for every animCurve type and unitConversion.
void installAnimationEvaluators(Scene& scene);

// True when `plug` (or the compound holding it) is fed by a node output the
// database cannot compute: an expression, a constraint, a pair blend ... whose
// output the file does not store. Such an attribute keeps its stored value.
bool drivenByUnevaluatedNode(const Scene& scene, const Node& node, const PlugPath& plug);

// After loading: one warning per type of such driver, naming a plug it drives.
void reportUnevaluatedDrivers(Scene& scene);

}  // namespace mayahost
