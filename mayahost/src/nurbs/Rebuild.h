#pragma once
// Maya's rebuildCurve and rebuildSurface, for the rebuild types whose rule is
// known:
// - uniform (0): `spans` spans of `degree` on evenly spaced knots (an open
//   input gives clamped knots, a periodic one stays periodic), the control
//   points a least-squares fit to the input sampled evenly over its range;
//   keepEndPoints makes the fit pass through the input's ends. keepControlPoints
//   keeps the points and degree and only spaces the knots evenly.
// - reduce spans (1): interior knots are removed where that moves the
//   control points less than `tolerance`.
// keepRange: 0 maps the result's range onto [0, 1], 1 keeps the input's,
// 2 makes it [0, spans].

#include "nurbs/NurbsData.h"

#include <string>

namespace mayahost {

struct RebuildParams {
    int type = 0;                    // rebuildType (rt)
    int spans = 4;                   // spans (s); 0 keeps the input's
    int degree = 3;                  // degree (d); 0 keeps the input's
    int keepRange = 1;               // keepRange (kr)
    bool keepControlPoints = false;  // keepControlPoints (kcp)
    bool keepEndPoints = true;       // keepEndPoints (kep)
    double tolerance = 0.01;         // tolerance (tol)
};

// True for the rebuild types built here.
bool rebuildTypeBuilt(int type);

// Empty on success, else why no curve comes out.
std::string rebuildCurve(const NurbsCurve& in, const RebuildParams& params, NurbsCurve& out);

// `direction` 0 rebuilds along u, 1 along v, 2 both; the spans and degrees
// are per direction (spansU, spansV, degreeU, degreeV).
std::string rebuildSurface(const NurbsSurface& in, RebuildParams u, RebuildParams v, int direction, NurbsSurface& out);

}  // namespace mayahost
