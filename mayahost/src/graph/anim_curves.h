#pragma once
// Animation at load: a plug driven by an animation curve shows the curve's
// value at the scene's current time, as Maya shows the scene when it opens it.
// The evaluators installed here compute animation curve outputs and unit
// conversions on demand when the scene database reads a plug.

#include "geometry/AnimCurve.h"
#include "graph/Scene.h"

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

}  // namespace mayahost
