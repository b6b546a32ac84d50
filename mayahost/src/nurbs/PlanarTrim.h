#pragma once
// Maya's planarTrimSurface: a flat surface filling closed curves. The curves
// are chained head to tail into closed loops (a closed curve is a loop by
// itself); they must lie in one plane. The surface is a bilinear patch over
// the loops' bounding rectangle in that plane, its normal the turn of the
// largest loop (counter-clockwise seen from the normal's tip), u along the
// projection of X onto the plane (of Y when X stands on it), both parameters
// over [0, 1]. Every loop becomes a trim boundary of one region, the largest
// first; the others are holes or further islands, as the even-odd rule of
// the trimmed tessellation reads them.

#include "nurbs/NurbsData.h"

#include <string>
#include <vector>

namespace mayahost {

// Empty on success, else why there is no surface (open chains, curves off
// one plane, no area enclosed).
std::string planarTrimSurface(const std::vector<NurbsCurve>& curves, TrimmedSurface& out);

}  // namespace mayahost
