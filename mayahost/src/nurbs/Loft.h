#pragma once
// Maya's loft: a surface through a row of section curves. Along the curves
// the surface keeps their degree and knots (the curves are first brought to
// one knot vector: each curve's domain is mapped onto [0, 1] and the knots of
// all curves are inserted into each); across them it is linear (degree 1) or
// interpolates the sections at one parameter each (degree 2 and more), with
// the sections' parameters 0, 1, 2 ... (uniform) or the cumulated mean
// distance between matching control points (chord length).
//
// An interpolating loft has one span per pair of neighbouring sections, so n
// sections give n + degree - 1 control rows; the degree - 1 conditions left
// over are taken at the ends: zero second derivative at both ends for the
// cubic (a natural spline), at the start for the quadratic; higher degrees
// are not built. With fewer sections than degree + 1 the degree drops to
// sections - 1, as Maya does.
//
// The surface's u runs across the sections and v along them; reversing the
// surface normals swaps the two directions.

#include "nurbs/NurbsData.h"

#include <string>
#include <vector>

namespace mayahost {

struct LoftParams {
    bool uniform = false;                // uniform (u): else chord length
    bool close = false;                  // close (c): back to the first section
    int degree = 3;                      // degree (d)
    bool autoReverse = true;             // autoReverse (ar): turn sections that run against the first
    int sectionSpans = 1;                // sectionSpans (ss): spans between neighbouring sections
    bool reverseSurfaceNormals = false;  // reverseSurfaceNormals (rsn)
    std::vector<bool> reverse{};         // reverse (r): per section, taken backwards
};

// Empty on success, else why no surface comes out. `approximate` (may be
// null) receives a note when the result only approximates Maya's.
std::string loftSurface(std::vector<NurbsCurve> sections, const LoftParams& params, NurbsSurface& out,
                        std::string* approximate);

// Inserts knot `t` once into the curve (open or closed form; a periodic curve
// becomes closed). False when t lies outside the curve's domain.
bool insertCurveKnot(NurbsCurve& curve, double t);

}  // namespace mayahost
