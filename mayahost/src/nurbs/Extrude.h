#pragma once
// Maya's extrude: a surface from a profile curve, swept along a direction
// (distance) or along a path curve (flat: the profile keeps its orientation;
// tube: it turns with the path). u follows the profile, v the extrusion.
//
// distance: the profile moved by `length` along `direction` (or along the
// profile's own plane normal with useProfileNormal), degreeAlongLength + 1
// rows over knots 0 .. 1 (clamped). flat: row j is the profile moved by the
// path's control point j less its first (the surface stays at the profile;
// with fixedPath it moves to the path, the profile's first point on the path's
// start). Both are exact for non-rational curves. tube: each path control
// point carries the profile turned by the rotation that takes the path's start
// tangent to the tangent at that point's Greville parameter (turned on from
// the last, so that it does not twist); an approximation, said so. rotation
// and scale grow linearly over the rows, about the pivot and the extrusion
// direction (approximated, said so).

#include "nurbs/NurbsCreators.h"
#include "nurbs/NurbsData.h"

#include <string>

namespace mayahost {

struct ExtrudeParams {
    int extrudeType = 2;                   // extrudeType (et): 0 distance, 1 flat, 2 tube
    NurbsVector direction{0.0, 1.0, 0.0};  // direction (d)
    double length = 1.0;                   // length (l)
    int degreeAlongLength = 1;             // degreeAlongLength (dl)
    bool fixedPath = false;                // fixedPath (fpt)
    bool useProfileNormal = false;         // useProfileNormal (upn)
    double rotation = 0.0;                 // rotation (ro), radians
    double scale = 1.0;                    // scale (sc)
    NurbsVector pivot{};                   // pivot (p)
};

// `path` may be null (a distance extrusion). Empty on success, else why not;
// `approximate` (may be null) receives a note when the result is approximate.
std::string extrudeSurface(const NurbsCurve& profile, const NurbsCurve* path, const ExtrudeParams& params,
                           NurbsSurface& out, std::string* approximate);

}  // namespace mayahost
