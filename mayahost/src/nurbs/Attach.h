#pragma once
// Maya's attachSurface: the end of the first surface joined to the start of
// the second along one direction (u when directionU, else v).
//
// Before the join each surface may be swapped (u and v exchanged), reversed
// along the attach direction, and the second one reversed across it (twist).
// Across the join both are brought to one knot vector over the first one's
// range; along it each is clamped and the second one's knots follow the
// first one's, shifted to start where the first ends.
//
// connect keeps both shapes: coinciding edges share one row of control
// points with a knot of full multiplicity there; edges apart are joined by a
// straight span. Without keepMultipleKnots the join's knots are then removed
// where that leaves the shape unchanged.
// blend leaves a single knot at the join: the shared row is dropped and the
// knot removed down to one copy, each new row taken blendBias of the way
// from what the first surface asks towards what the second asks.
// blendKnotInsertion first adds a knot into each surface's span next to the
// join, `parameter` of that span away from the edge.

#include "nurbs/NurbsData.h"

#include <string>

namespace mayahost {

struct AttachParams {
    bool directionU = true;           // directionU (du)
    int method = 0;                   // method (m): 0 connect, 1 blend
    double blendBias = 0.5;           // blendBias (bb)
    bool blendKnotInsertion = false;  // blendKnotInsertion (bki)
    double parameter = 0.1;           // parameter (p)
    bool keepMultipleKnots = true;    // keepMultipleKnots (kmk)
    bool reverse1 = false, reverse2 = false;  // reverse1 (rv1), reverse2 (rv2)
    bool swap1 = false, swap2 = false;        // swap1 (sw1), swap2 (sw2)
    bool twist = false;                       // twist (tw)
};

// Empty on success, else why no surface comes out.
std::string attachSurfaces(NurbsSurface first, NurbsSurface second, const AttachParams& params, NurbsSurface& out);

}  // namespace mayahost
